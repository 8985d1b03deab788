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
# Two minutes of random use of the real window, on a seed of its own each run (printed).
po_stage "Random real-window use under the sanitizers, ${PO_MONKEY_SECONDS:-120} s"
E2E_XWINDOW="$PO_ROOT/build-asan/tests/e2e_xwindow" \
  bash "$PO_ROOT/tests/e2e/monkey.sh" "$PO_ROOT/build-asan/pelmora-po" "${PO_MONKEY_SECONDS:-120}"
