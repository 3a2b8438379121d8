#!/usr/bin/env bash
# Builds the fuzz preset and runs each fuzz target for a bounded time on a copy
# of its seed corpus. Fails when a target finds an input that breaks a check.
#
#   scripts/fuzz-smoke.sh [SECONDS_PER_TARGET]      (default 30)
#
# FUZZ_BUILD_DIR overrides the build directory (default: build/fuzz).
# Inputs that fail are kept in <build>/fuzz-artifacts/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
build=${FUZZ_BUILD_DIR:-$root/build/fuzz}
targets=(command_scan conversion)

cd "$root"
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"

status=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  cp "fuzz/corpus/$target/"* "$work/$target/"
  log=$work/$target.log
  echo "fuzz_$target: ${seconds} s"
  if "$build/bin/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$target-" "$work/$target" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$log" | sed "s/^/  /"
  else
    echo "fuzz_$target FAILED; the failing input is in $artifacts:"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
