#!/usr/bin/env bash
# The command-line converter: exact outputs, exit codes, and no partial output.
set -u
cutconv=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fails=0
check() {  # name, expected, actual
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2] got [$3]"; fails=$((fails + 1)); fi
}

printf 'IN;PU0,0;PD0,200;PD200,200;PD200,0;PD0,0;PU0,0;' >"$dir/square.plt"

"$cutconv" "$dir/square.plt" "$dir/plain.plt"
check "plain square" "IN;U240,40;D40,40;D40,240;D240,240;D240,40;U0,0;@;@;@;" "$(cat "$dir/plain.plt")"

"$cutconv" --offset 20 --overcut 300 "$dir/square.plt" "$dir/comp.plt"
check "compensated square" \
  "IN;U240,40;D20,40;D40,60;D40,260;D60,240;D260,240;D240,220;D240,20;D230,41;D20,40;D40,60;D40,120;U0,0;@;@;@;" \
  "$(cat "$dir/comp.plt")"

"$cutconv" --port --offset 20 --overcut 300 "$dir/square.plt" "$dir/port.th0"
check "port stream" \
  "CDR;U2072,1564;D1852,1564;D1872,1584;D1872,1784;D1892,1764;D2092,1764;D2072,1744;D2072,1544;D2062,1565;D1852,1564;D1872,1584;D1872,1644;U0,0;@;@;@;" \
  "$(cat "$dir/port.th0")"

err=$("$cutconv" "$dir/missing.plt" "$dir/none.plt" 2>&1); rc=$?
check "missing input fails" "1" "$rc"
check "missing input named" "yes" "$([[ $err == *missing.plt* ]] && echo yes)"
check "no output for missing input" "no" "$([ -e "$dir/none.plt" ] && echo yes || echo no)"

err=$("$cutconv" "$dir/square.plt" "$dir/no/such/dir/out.plt" 2>&1); rc=$?
check "uncreatable output fails" "1" "$rc"
check "uncreatable output named" "yes" "$([[ $err == *out.plt* ]] && echo yes)"

err=$("$cutconv" --offset ten "$dir/square.plt" "$dir/bad.plt" 2>&1); rc=$?
check "bad argument fails" "2" "$rc"
check "bad argument named" "yes" "$([[ $err == *--offset* ]] && echo yes)"
check "no output for bad argument" "no" "$([ -e "$dir/bad.plt" ] && echo yes || echo no)"

printf 'older' >"$dir/kept.plt"
"$cutconv" "$dir/square.plt" 2>/dev/null; rc=$?
check "missing output argument fails" "2" "$rc"
chmod 000 "$dir/square.plt"
if [ "$(id -u)" -ne 0 ]; then
  "$cutconv" "$dir/square.plt" "$dir/kept.plt" 2>/dev/null; rc=$?
  check "unreadable input keeps an older output" "older" "$(cat "$dir/kept.plt")"
fi

[ "$fails" -eq 0 ]
