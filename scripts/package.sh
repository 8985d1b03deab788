#!/usr/bin/env bash
# Makes the Debian package from a configured and built tree (build/) and checks it: the
# AppStream metainfo with appstreamcli, the package with lintian (an error fails; warnings are
# shown). Prints the package's path last.
# Usage: scripts/package.sh [OUT-DIR [BUILD-DIR]]   (default: build/ for both)
set -euo pipefail
PO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PO_ROOT/scripts/setup.sh"
BUILD=${2:-$PO_ROOT/build}
OUT=$(mkdir -p "${1:-$BUILD}" && cd "${1:-$BUILD}" && pwd)

po_install_packages
[ -f "$BUILD/CPackConfig.cmake" ] || { echo "package: configure and build first (./test.sh)" >&2; exit 1; }

appstreamcli validate --no-net "$PO_ROOT/packaging/pelmora-po.metainfo.xml" >/dev/null ||
  { appstreamcli validate --no-net "$PO_ROOT/packaging/pelmora-po.metainfo.xml" >&2; exit 1; }

po_stage "Making the Debian package in $OUT"
log=$(mktemp "${TMPDIR:-/tmp}/pelmora-po-package.XXXXXX.log")
if ! (cd "$OUT" && cpack --config "$BUILD/CPackConfig.cmake" -B "$OUT") >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
rm -f "$log"
deb=$(ls -t "$OUT"/pelmora-po_*.deb | head -n 1)

po_stage "Checking it with lintian"
# As root lintian says it should not be run so; that line is not about the package.
report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v '^running with root privileges' || true)
[ -z "$report" ] || echo "$report"
if grep -q '^E: ' <<<"$report"; then
  echo "package: lintian found errors in $deb" >&2
  exit 1
fi
echo "$deb"
