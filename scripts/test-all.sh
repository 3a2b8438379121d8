#!/usr/bin/env bash
# Every test of the project on a fresh Debian machine: installs what is missing,
# then configures, builds and tests the native, sanitizer and Windows (Wine)
# builds, and runs the fuzz targets briefly. Ends with one summary line,
# counted from CTest's own JUnit results; a build that fails counts as a failed
# test, so that the line never hides it.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh || exit 1

passed=0
failed=0
status=0
mkdir -p build

fail() {
  echo "FAILED: $*"
  failed=$((failed + 1))
  status=1
}

# Prints "PASSED FAILED" from a CTest JUnit file: a test case passed when it
# ran without failure; skipped ones (not run, disabled) count as neither.
count_junit() {
  python3 - "$1" <<'PY'
import sys
import xml.etree.ElementTree as ET
cases = ET.parse(sys.argv[1]).getroot().iter("testcase")
statuses = [case.get("status") for case in cases]
print(statuses.count("run"), statuses.count("fail"))
PY
}

run_preset() {
  local preset=$1 jobs=$2 junit=build/ctest-$1.xml
  echo "=== $preset"
  if ! cmake --preset "$preset" >"build/configure-$preset.log" 2>&1; then
    cat "build/configure-$preset.log"
    fail "configuring $preset"
    return
  fi
  if ! cmake --build --preset "$preset"; then
    fail "building $preset"
    return
  fi
  rm -f "$junit"
  ctest --preset "$preset" -j "$jobs" --output-junit "$(pwd)/$junit"
  local rc=$? counts ran_ok ran_failed
  if ! counts=$(count_junit "$junit"); then
    fail "reading CTest's results of $preset"
    return
  fi
  read -r ran_ok ran_failed <<<"$counts"
  passed=$((passed + ran_ok))
  failed=$((failed + ran_failed))
  # CTest fails for more than failing tests (none found, a crash of its own).
  if [ "$rc" -ne 0 ]; then
    status=1
    [ "$ran_failed" -eq 0 ] && fail "ctest of $preset ended with status $rc"
  fi
}

run_preset native 2
run_preset native-asan 2
# The Windows tests share one Wine prefix and one X display: one at a time.
run_preset windows 1

echo "=== fuzz"
if bash scripts/fuzz-smoke.sh; then
  passed=$((passed + 1))
else
  fail "fuzz smoke run"
fi

echo "tests: $passed passed, $failed failed"
exit $status
