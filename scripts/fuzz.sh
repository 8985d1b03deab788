#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds, first
# argument, default 60) on a copy of its seed corpus. Exits non-zero when a target fails.
set -uo pipefail
PO_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$PO_ROOT/scripts/setup.sh"
SECONDS_EACH=${1:-60}

po_install_packages "${PO_PACKAGES[@]}" "${PO_FUZZ_PACKAGES[@]}" || exit 1
source "$PO_ROOT/scripts/fuzz-libs.sh"
# Configures (again, should the libraries have moved) and builds the targets given in $1.
fuzz_build() {
  local dir=$1 targets=$2; shift 2
  po_stage "Configuring $dir with clang"
  CC=clang CXX=clang++ cmake -S "$PO_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPO_FUZZ=ON -DPO_BUILD_TESTS=OFF -DPO_BUILD_BENCH=OFF "$@" >/dev/null || return 1
  # shellcheck disable=SC2086
  po_build "$dir" --target $targets
}
BUILD="$PO_ROOT/build-fuzz"
# shellcheck disable=SC2046
fuzz_build "$BUILD" "fuzz_ini fuzz_numbers fuzz_logo" \
  $(po_fuzz_libs "$PO_ROOT/build-fuzz-libs/asan" "-fsanitize=fuzzer-no-link,address") || exit 1
# The sheet-file and logo targets explore in a build without sanitizers, several times as
# fast; the sanitized build then runs every input found and fuzzes on from them.
FAST="$PO_ROOT/build-fuzz-fast"
# shellcheck disable=SC2046
fuzz_build "$FAST" "fuzz_ini fuzz_logo" -DPO_FUZZ_SAN= \
  $(po_fuzz_libs "$PO_ROOT/build-fuzz-libs/coverage" "-fsanitize=fuzzer-no-link") || exit 1

# Runs one build of a target for some seconds on the work corpus; prints its rate.
fuzz_run() {
  local binary=$1 seconds=$2 label=$3
  TMPDIR="$work" QT_QPA_PLATFORM=offscreen "$binary" -max_total_time="$seconds" \
    "${limits[@]}" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" >"$work/log" 2>&1
  local rc=$?
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$work/log" | grep -o '[0-9]*$')
  echo "$label: ${runs:-0} runs in ${seconds}s ($(( ${runs:-0} / seconds ))/s), exit $rc"
  if [ $rc -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|Test unit written' "$work/log" >&2
    status=1
  fi
}

status=0
for target in ini numbers logo; do
  work=$(mktemp -d)
  mkdir -p "$work/corpus" "$work/artifacts"
  cp -r "$PO_ROOT/tests/fuzz/corpus/$target/." "$work/corpus/"
  # Sheet files' structure shows in small inputs; pictures need room. A picture may take
  # 1 GB at most, as the program would let it; only the sanitizers' allocator counts single
  # allocations, so the explorer is held by its whole memory alone.
  case $target in
    logo) limits=(-max_len=65536 -rss_limit_mb=1024) ;;
    *) limits=(-max_len=4096 -rss_limit_mb=2048) ;;
  esac
  po_stage "fuzz_$target: fuzzing for ${SECONDS_EACH}s"
  # Whatever a target leaves in the temporary folder goes with $work.
  if [ $target != numbers ]; then
    fuzz_run "$FAST/tests/fuzz/fuzz_$target" "$SECONDS_EACH" "fuzz_$target (coverage only)"
    [ $target = logo ] && limits+=(-malloc_limit_mb=1024)
    fuzz_run "$BUILD/tests/fuzz/fuzz_$target" $(( (SECONDS_EACH + 3) / 4 )) "fuzz_$target (ASan, UBSan)"
  else
    fuzz_run "$BUILD/tests/fuzz/fuzz_$target" "$SECONDS_EACH" "fuzz_$target"
  fi
  # Inputs that failed are kept for whoever mends the fault.
  if compgen -G "$work/artifacts/*" >/dev/null; then
    mkdir -p "$BUILD/artifacts/$target" && cp "$work"/artifacts/* "$BUILD/artifacts/$target/"
    echo "Failing inputs are in $BUILD/artifacts/$target" >&2
  fi
  rm -rf "$work"
done
exit $status
