#!/usr/bin/env bash
# Makes the Debian package from a configured tree (build/), building only what the package
# holds (the program and its manual page, not the tests), and checks it: the AppStream
# metainfo with appstreamcli, the desktop entry with desktop-file-validate, the package with
# lintian (an error or a hardening tag fails; warnings are shown). Prints the package's path
# last.
# Usage: scripts/package.sh [OUT-DIR [BUILD-DIR]]   (default: build/ for both)
set -euo pipefail
PO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PO_ROOT/scripts/setup.sh"
BUILD=$(cd "${2:-$PO_ROOT/build}" && pwd)
OUT=$(mkdir -p "${1:-$BUILD}" && cd "${1:-$BUILD}" && pwd)

po_install_packages
[ -f "$BUILD/CPackConfig.cmake" ] || { echo "package: configure first (./test.sh or ./run.sh)" >&2; exit 1; }

appstreamcli validate --no-net "$PO_ROOT/packaging/pelmora-po.metainfo.xml" >/dev/null ||
  { appstreamcli validate --no-net "$PO_ROOT/packaging/pelmora-po.metainfo.xml" >&2; exit 1; }
desktop-file-validate "$PO_ROOT/app/pelmora-po.desktop" || exit 1

po_build "$BUILD" --target pelmora-po po_packaging_docs

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
report=$(lintian --display-info --tag-display-limit 0 "$deb" 2>&1 | grep -v '^running with root privileges' || true)
[ -z "$report" ] || echo "$report"
if grep -q '^E: ' <<<"$report"; then
  echo "package: lintian found errors in $deb" >&2
  exit 1
fi
if grep -q ' hardening-' <<<"$report"; then
  echo "package: the program is built without the distribution's hardening" >&2
  exit 1
fi
echo "$deb"
