#!/usr/bin/env bash
# Remakes the benchmark figures of bench/README.md: builds the benchmarks alone in a release
# build with debug info (build-bench/, RelWithDebInfo, only what they need) and runs them with the
# repetitions the figures are medians of. Extra arguments go to the benchmark program (for
# instance --benchmark_filter=Keystroke).
set -euo pipefail
PO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PO_ROOT/scripts/setup.sh"

po_install_packages
po_configure "$PO_ROOT/build-bench" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPO_BUILD_BENCH=ON
po_build "$PO_ROOT/build-bench" --target po_bench
po_stage "Running the benchmarks (medians of 5)"
QT_QPA_PLATFORM=offscreen "$PO_ROOT/build-bench/bench/po_bench" --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true "$@" 2> >(grep -v 'does not support' >&2) |
  grep -E '_median|^-|^Benchmark|^Run on|^CPU|^Load'
