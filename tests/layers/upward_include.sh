#!/usr/bin/env bash
# The layer check must fail, naming the offence, on a copy of the tree where a small editor
# includes the sheet window and the printed order links the sheet library.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp -r "$ROOT"/{storage,platform,order,dialogs,sheet,report,commands,app} "$copy/"
echo '#include "TPurchaseOrderForm.h"' >>"$copy/dialogs/TLineItems.cpp"
sed -i 's/po_order po_platform/po_sheet po_platform/' "$copy/report/CMakeLists.txt"
out=$(bash "$ROOT/scripts/check-layers.sh" "$copy")
rc=$?
echo "$out"
[ $rc -ne 0 ] || { echo "FAIL: the check passed an upward include"; exit 1; }
grep -q 'dialogs/TLineItems.cpp (dialogs) includes TPurchaseOrderForm.h (sheet)' <<<"$out" ||
  { echo "FAIL: the include was not named"; exit 1; }
grep -q 'po_report links po_sheet$' <<<"$out" || { echo "FAIL: the link was not named"; exit 1; }
[ "$(wc -l <<<"$out")" -eq 2 ] || { echo "FAIL: offences beyond the two made"; exit 1; }
echo "PASS"
