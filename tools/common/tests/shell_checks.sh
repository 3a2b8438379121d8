# The checks of the shell tests, sourced by them: `check NAME EXPECTED ACTUAL`
# prints "ok" or "FAIL" with both values and counts failures in $fails, which
# the test's last line turns into its status.
fails=0
check() {  # name, expected, actual
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2] got [$3]"; fails=$((fails + 1)); fi
}

# The wall clock in seconds, and the seconds since such a time (to 1 ms).
now() { date +%s.%N; }
seconds_since() { awk -v s="$1" -v e="$(now)" 'BEGIN { printf "%.3f", e - s }'; }
