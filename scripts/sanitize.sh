#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole
# test suite under them; any report fails the run.
set -euo pipefail
PO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PO_ROOT/scripts/setup.sh"

po_install_packages
po_configure "$PO_ROOT/build-asan" -DPO_SANITIZE=ON -DPO_BUILD_BENCH=OFF
po_build "$PO_ROOT/build-asan"
cd "$PO_ROOT/build-asan"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PO_ROOT/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
