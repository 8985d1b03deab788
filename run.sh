#!/usr/bin/env bash
# Builds the program (installing what is missing) and starts it.
set -euo pipefail
PO_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$PO_ROOT/scripts/setup.sh"

po_install_packages
po_configure "$PO_ROOT/build"
po_build "$PO_ROOT/build" --target pelmora-po

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found. Start it under Xvfb: xvfb-run -a -s '-screen 0 1280x1024x24' \"$PO_ROOT/build/pelmora-po\""
  exit 1
fi
exec "$PO_ROOT/build/pelmora-po"
