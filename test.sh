#!/usr/bin/env bash
# Builds everything (installing what is missing) and runs the whole test suite.
# PO_WERROR=ON makes every compiler warning an error, as CI does.
set -euo pipefail
PO_ROOT=$(cd "$(dirname "$0")" && pwd)
source "$PO_ROOT/scripts/setup.sh"

po_install_packages
po_configure "$PO_ROOT/build" ${PO_WERROR:+-DPO_WERROR=$PO_WERROR}
po_build "$PO_ROOT/build"
cd "$PO_ROOT/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
