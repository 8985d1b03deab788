#!/usr/bin/env bash
# Type a line item, right-click the sheet, Exit with saving; then the saved file is checked.
# Usage: run_e2e.sh PATH-TO-pelmora-po
source "$(dirname "$0")/lib.sh"
e2e_start "$1"

read -r QX QY <<<"$(cell 20 0)"      # quantity, row 0
read -r PX PY <<<"$(cell 640 0)"     # unit price, row 0
type_at "$QX" "$QY" "3"
type_at "$PX" "$PY" "2.5"
sleep 0.3
exit_saving

check Table00 3
check Table50 2.5
check Table60 7.50
check Label14 7.50
check Label19 7.50
check Label2 "Acme Tools Ltd."
sections=$(grep -c '^\[' "$SHEETFILE")
[ "$sections" -ge $((2 + 50 + 63)) ] || fail "only $sections sections saved"
echo "e2e: 1 passed, 0 failed"
