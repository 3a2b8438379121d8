#!/usr/bin/env bash
# The command-line converter: exact outputs, exit codes, and no partial output.
set -u
cutconv=$1
samples=$2  # the worked square and its expected outputs
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fails=0
check() {  # name, expected, actual
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2] got [$3]"; fails=$((fails + 1)); fi
}

cp "$samples/square.plt" "$dir/square.plt"

"$cutconv" "$dir/square.plt" "$dir/plain.plt"
check "plain square" "$(cat "$samples/square_out_plain.plt")" "$(cat "$dir/plain.plt")"

"$cutconv" --offset 20 --overcut 300 "$dir/square.plt" "$dir/comp.plt"
check "compensated square" "$(cat "$samples/square_out_offset20_overcut300.plt")" "$(cat "$dir/comp.plt")"

"$cutconv" --port --offset 20 --overcut 300 "$dir/square.plt" "$dir/port.th0"
check "port stream" "$(cat "$samples/square_out_offset20_overcut300.th0")" "$(cat "$dir/port.th0")"

# Inkscape's manner: many points per command, other instructions between.
printf 'IN;SP1;PU0,0;\nPD0,200,200,200,200,0,0,0;\nPU0,0;VS32;' >"$dir/square.hpgl"
err=$("$cutconv" --hpgl --port --offset 20 --overcut 300 "$dir/square.hpgl" "$dir/hpgl.th0" 2>&1)
check "multi-point HPGL square cut as the square" "$(cat "$samples/square_out_offset20_overcut300.th0")" "$(cat "$dir/hpgl.th0")"
check "skipped instructions counted" "cutconv: $dir/square.hpgl: skipped VS 1" "$err"

# HPGL: a drawing with curves that are not read is refused, not cut with parts missing.
printf 'IN;PU0,0;PD100,100;BZ100,200,200,200,200,100;' >"$dir/curved.hpgl"
err=$("$cutconv" --hpgl "$dir/curved.hpgl" "$dir/curved.plt" 2>&1); rc=$?
check "HPGL curves refused, nothing written" "2 no" "$rc $([ -e "$dir/curved.plt" ] && echo yes || echo no)"
check "refusal names the instruction" "yes" "$([[ $err == *"uses BZ (Bezier curves)"* ]] && echo yes)"
printf 'PU0,0;PD5000000000,0;LBhi\003PD10,0;' >"$dir/label.hpgl"
err=$("$cutconv" --hpgl "$dir/label.hpgl" "$dir/label.plt" 2>&1)
check "dropped points and labels said" "cutconv: $dir/label.hpgl: dropped 1 point outside the 32-bit range
cutconv: $dir/label.hpgl: 1 label not cut: text must be turned into paths first (in Inkscape, Path > Object to Path)" "$err"

err=$("$cutconv" "$dir/missing.plt" "$dir/none.plt" 2>&1); rc=$?
check "missing input fails" "1" "$rc"
check "missing input named" "yes" "$([[ $err == *missing.plt* ]] && echo yes)"
check "no output for missing input" "no" "$([ -e "$dir/none.plt" ] && echo yes || echo no)"

err=$("$cutconv" "$dir/square.plt" "$dir/no/such/dir/out.plt" 2>&1); rc=$?
check "uncreatable output fails" "1" "$rc"
check "uncreatable output named with the system's reason" \
  "cutconv: cannot create $dir/no/such/dir/out.plt: No such file or directory" "$err"

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
