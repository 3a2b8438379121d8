#!/usr/bin/env bash
# The command-line converter: exact outputs, exit codes, and no partial output.
set -u
cutconv=$1
samples=$2  # the worked square and its expected outputs
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
source "$(dirname "$0")/../../common/tests/shell_checks.sh"

cp "$samples/square.plt" "$dir/square.plt"

"$cutconv" "$dir/square.plt" "$dir/plain.plt"
check "plain square" "$(cat "$samples/square_out_plain.plt")" "$(cat "$dir/plain.plt")"

"$cutconv" --offset 20pu --overcut 300pu "$dir/square.plt" "$dir/comp.plt"
check "compensated square" "$(cat "$samples/square_out_offset20_overcut300.plt")" "$(cat "$dir/comp.plt")"

"$cutconv" --port --offset 0.5 --overcut 7.5 "$dir/square.plt" "$dir/port.th0"
check "port stream" "$(cat "$samples/square_out_offset20_overcut300.th0")" "$(cat "$dir/port.th0")"

# Inkscape's manner: many points per command, other instructions between.
printf 'IN;SP1;PU0,0;\nPD0,200,200,200,200,0,0,0;\nPU0,0;VS32;' >"$dir/square.hpgl"
err=$("$cutconv" --hpgl --port --offset 0.5 --overcut 7.5 "$dir/square.hpgl" "$dir/hpgl.th0" 2>&1)
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
check "missing input refused" "2" "$rc"
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

chmod 644 "$dir/square.plt"

# Lengths: the rule cutsend has; a negative one is refused, not taken as off.
"$cutconv" --offset -5 "$dir/square.plt" "$dir/neg.plt" 2>/dev/null; rc=$?
check "negative offset refused" "2" "$rc"
check "no output for a negative offset" "no" "$([ -e "$dir/neg.plt" ] && echo yes || echo no)"

# A drawing of 4 GiB or more is refused whole, even with commands at its end.
truncate -s 4G "$dir/huge.plt" && printf 'PU0,0;PD0,200;PD200,200;' >>"$dir/huge.plt"
err=$("$cutconv" "$dir/huge.plt" "$dir/huge-out.plt" 2>&1); rc=$?
rm -f "$dir/huge.plt"
check "4 GiB drawing refused" "2:cutconv: cannot read $dir/huge.plt: File too large" "$rc:$err"
check "no output for a 4 GiB drawing" "no" "$([ -e "$dir/huge-out.plt" ] && echo yes || echo no)"

# The output may not be the input, by any name, nor a folder: refused as a
# wrong argument is.
cp "$dir/square.plt" "$dir/same.plt"
ln -s same.plt "$dir/same-link.plt"
err=$("$cutconv" "$dir/same.plt" "$dir/same-link.plt" 2>&1); rc=$?
check "output that is the input refused" "2" "$rc"
check "input intact" "$(cat "$samples/square.plt")" "$(cat "$dir/same.plt")"
check "refusal says why" "yes" "$([[ $err == *"it is the input file"* ]] && echo yes)"
mkdir "$dir/folder"
err=$("$cutconv" "$dir/square.plt" "$dir/folder" 2>&1); rc=$?
check "output that is a folder refused" "2:cutconv: cannot create $dir/folder: a folder, not a file" \
  "$rc:$err"

# Not regular: a FIFO as input is refused at once; as output it is written in
# place, as is /dev/stdout.
mkfifo "$dir/fifo"
err=$(timeout 5 "$cutconv" "$dir/fifo" "$dir/fifo-out.plt" 2>&1); rc=$?
check "FIFO input refused at once" \
  "2:cutconv: cannot read $dir/fifo: not a regular file (a FIFO, a device)" "$rc:$err"
cat "$dir/fifo" >"$dir/from-fifo.plt" &
"$cutconv" "$dir/square.plt" "$dir/fifo"
wait
check "FIFO output written in place" "$(cat "$samples/square_out_plain.plt")" "$(cat "$dir/from-fifo.plt")"
check "FIFO still a FIFO, no partial file" "yes" \
  "$([ -p "$dir/fifo" ] && [ ! -e "$dir/fifo.partial" ] && echo yes)"
check "/dev/stdout" "$(cat "$samples/square_out_plain.plt")" "$("$cutconv" "$dir/square.plt" /dev/stdout)"
# Standard output that is a regular file is written at its place, not replaced.
{ echo before; "$cutconv" "$dir/square.plt" /dev/stdout; echo; echo after; } >"$dir/stdout.txt"
check "/dev/stdout into a file keeps what the shell wrote around it" \
  "$(printf 'before\n%s\nafter' "$(cat "$samples/square_out_plain.plt")")" "$(cat "$dir/stdout.txt")"

# One conversion writes a target at a time: while its partial file is held
# (here by flock, as a running cutconv holds it), a second is refused; once
# nobody holds it, the stale file is replaced.
printf 'older' >"$dir/held.plt"
flock "$dir/held.plt.partial" sleep 1 &
sleep 0.3
err=$("$cutconv" "$dir/square.plt" "$dir/held.plt" 2>&1); rc=$?
check "second conversion refused" \
  "1:cutconv: cannot create $dir/held.plt: another conversion is writing it" "$rc:$err"
check "target untouched" "older" "$(cat "$dir/held.plt")"
wait
"$cutconv" "$dir/square.plt" "$dir/held.plt"
check "stale partial file replaced" "$(cat "$samples/square_out_plain.plt")" "$(cat "$dir/held.plt")"

# No scratch files, with --hpgl too: nothing is opened for writing but the
# output, and TMPDIR is never looked at. (The leak check cannot run under strace.)
TMPDIR=$dir/no-such-dir ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
  strace -f -qq -e trace=openat,creat -o "$dir/opened" \
  "$cutconv" --hpgl "$dir/square.hpgl" "$dir/tmpdir.th0" 2>/dev/null; rc=$?
check "--hpgl without a usable TMPDIR writes the output alone" \
  "0 $dir/tmpdir.th0.partial" \
  "$rc $(grep -E 'O_WRONLY|O_RDWR|creat\(' "$dir/opened" | grep -o '"[^"]*"' | tr -d '"' | sort -u | paste -sd' ')"

# SIGHUP mid-job (a drawing of 256 MiB of nothing but zeros takes a while):
# the partial file goes, the older output stays, the exit status is 128+1.
truncate -s 256M "$dir/slow.plt"
printf 'older' >"$dir/slow-out.plt"
"$cutconv" "$dir/slow.plt" "$dir/slow-out.plt" &
job=$!
for _ in $(seq 1000); do [ -e "$dir/slow-out.plt.partial" ] && break; sleep 0.01; done
kill -HUP "$job"
wait "$job"; rc=$?
rm -f "$dir/slow.plt"
check "SIGHUP exits 129" "129" "$rc"
check "SIGHUP leaves no partial file and keeps the older output" "older:no" \
  "$(cat "$dir/slow-out.plt"):$([ -e "$dir/slow-out.plt.partial" ] && echo yes || echo no)"

# A long HPGL read (256 MiB of NUL bytes, none an instruction): SIGINT ends
# it at once, leaving nothing; a drawing truncated while read is refused.
truncate -s 256M "$dir/long.hpgl"
"$cutconv" --hpgl "$dir/long.hpgl" "$dir/long.th0" &
job=$!
sleep 0.5
start=$(date +%s%N)
kill -INT "$job"
wait "$job"; rc=$?
check "SIGINT during an HPGL read exits 130 within a second, nothing left" "130 yes " \
  "$rc $([ $(($(date +%s%N) - start)) -lt 1000000000 ] && echo yes) $(ls "$dir" | grep long.th0)"
"$cutconv" --hpgl "$dir/long.hpgl" "$dir/long.th0" 2>"$dir/long.err" &
job=$!
sleep 0.3
truncate -s 1M "$dir/long.hpgl"
wait "$job"; rc=$?
check "an HPGL drawing truncated while read refused" \
  "1 cutconv: cannot read $dir/long.hpgl: the drawing changed while it was read no" \
  "$rc $(cat "$dir/long.err") $([ -e "$dir/long.th0" ] && echo yes || echo no)"
rm -f "$dir/long.hpgl"
yes 'PD100,200,300,400;' | head -n 1000000 >"$dir/many.hpgl"
"$cutconv" --hpgl "$dir/many.hpgl" /dev/stdout 2>"$dir/pipe.err" | head -c 10 >/dev/null
check "a closed pipe: exit 141, a short word" \
  "141 cutconv: /dev/stdout: the output's reader closed the pipe" \
  "${PIPESTATUS[0]} $(cat "$dir/pipe.err")"

# A port cutsend streams on (it holds the port's lock) is not written into.
socat pty,link="$dir/pty",raw,echo=0 pty,link="$dir/pty2",raw,echo=0 &
pair=$!
for _ in $(seq 500); do [ -e "$dir/pty" ] && break; sleep 0.01; done
flock "$dir/pty" sleep 30 &
holder=$!
sleep 0.2
err=$("$cutconv" --port "$dir/square.plt" "$dir/pty" 2>&1); rc=$?
kill "$holder" "$pair" 2>/dev/null
check "a port held by another job refused" "2 cutconv: $dir/pty is busy: another program is using it (cutsend streams to it)" "$rc $err"

check "--version" "yes" "$([[ $("$cutconv" --version) =~ ^cutconv\ [0-9]+\.[0-9]+\.[0-9]+$ ]] && echo yes)"

[ "$fails" -eq 0 ]
