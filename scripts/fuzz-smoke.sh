#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzz target for a bounded time on a copy
# of its seed corpus: first with inputs of up to 4 KiB, then with inputs of up
# to 256 KiB (several of the engine's 64 KiB reading blocks), starting from a
# large seed made of the corpus. Prints each run's executions per second.
# Fails when a target finds an input that breaks a check.
#
#   scripts/fuzz-smoke.sh [SECONDS_PER_TARGET]      (default 30; the large
#                                                    inputs get half of it more)
#
# FUZZ_BUILD_DIR overrides the build directory (default: build/fuzz).
# Inputs that fail are kept in <build>/fuzz-artifacts/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
large_seconds=$(((seconds + 1) / 2))
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
targets=(command_scan conversion hpgl)

cd "$root"
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"

# run TARGET MAX_LEN SECONDS [libFuzzer options...]
run() {
  local target=$1 max_len=$2 time=$3
  shift 3
  local log=$work/$target-$max_len.log
  echo "fuzz_$target: ${time} s, inputs up to $max_len bytes"
  if "$build/bin/fuzz_$target" -max_total_time="$time" -max_len="$max_len" -print_final_stats=1 \
      -artifact_prefix="$artifacts/$target-" "$@" "$work/$target" >"$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log" | sed "s/^/  /"
  else
    echo "fuzz_$target FAILED; the failing input is in $artifacts:"
    tail -n 40 "$log"
    status=1
  fi
}

# The HPGL reader starts from the other programs' files its tests cut.
corpus() {
  if [ "$1" == hpgl ]; then echo tools/tests/hpgl_files; else echo "fuzz/corpus/$1"; fi
}

status=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  cp "$(corpus "$target")"/* "$work/$target/"
  run "$target" 4096 "$seconds"
  # The seeds one after another, to 160 KiB: a start the fuzzer can cut and splice.
  while [ "$(stat -c %s "$work/$target/large-seed" 2>/dev/null || echo 0)" -lt 163840 ]; do
    cat "$(corpus "$target")"/* >>"$work/$target/large-seed"
  done
  run "$target" 262144 "$large_seconds" -len_control=0
done
exit $status
