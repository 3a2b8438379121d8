#!/usr/bin/env bash
# Every test of the project on a fresh Debian machine: installs what is missing,
# then configures, builds and tests the native, sanitizer and Windows (Wine)
# builds, and runs the fuzz targets briefly. Ends with one summary line.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1

passed=0
failed=0
status=0
mkdir -p build

run_preset() {
  local preset=$1 jobs=$2
  echo "=== $preset"
  if ! cmake --preset "$preset" >"build/configure-$preset.log" 2>&1; then
    cat "build/configure-$preset.log"
    status=1
    return
  fi
  if ! cmake --build --preset "$preset"; then
    status=1
    return
  fi
  ctest --preset "$preset" -j "$jobs" 2>&1 | tee "build/ctest-$preset.log"
  local rc=${PIPESTATUS[0]}
  [ "$rc" -ne 0 ] && status=1
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "build/ctest-$preset.log" | tail -1)
  if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  else
    status=1
  fi
}

run_preset native 2
run_preset native-asan 2
# The Windows tests share one Wine prefix and one X display: one at a time.
run_preset windows 1

if [ -x scripts/fuzz-smoke.sh ]; then
  echo "=== fuzz"
  if scripts/fuzz-smoke.sh; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    status=1
  fi
fi

echo "tests: $passed passed, $failed failed"
exit $status
