#!/usr/bin/env bash
# cutsend end to end: a socat pty pair stands for the cable, cutter-sim for
# the cutter on its far end.
set -u
cutsend=$1 cutconv=$2 cuttersim=$3 samples=$4
dir=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$dir"' EXIT
source "$(dirname "$0")/../../common/tests/shell_checks.sh"

source "$(dirname "$0")/../../common/tests/virtual_cable.sh"

# Many squares: far more than the pty and socat buffer, so holds reach cutsend.
for i in $(seq 0 3999); do
  x=$((i % 60 * 300)) y=$((i / 60 * 300))
  printf 'PU%d,%d;PD%d,%d;PD%d,%d;PD%d,%d;PD%d,%d;' $x $y $x $((y + 200)) $((x + 200)) \
    $((y + 200)) $((x + 200)) $y $x $y
done >"$dir/big.plt"
"$cutconv" --port --offset 0.5 --overcut 7.5 "$dir/big.plt" "$dir/big.th0"

# The bytes Drovane sends: the same as cutconv --port with the same lengths.
cable
"$cutconv" --port --offset 0.5 --overcut 7.5 "$samples/nested.plt" "$dir/nested.th0"
cutter nested --first-byte-ms 20000
"$cutsend" --quiet --offset 0.5 --overcut 7.5 --port "$dir/port" "$samples/nested.plt"
check "nested sample sent" 0 $?
wait "$cutter_pid"
check "cutter received the conversion byte for byte" yes \
  "$(cmp -s "$dir/nested.raw" "$dir/nested.th0" && echo yes)"

# Inkscape's manner, many points per command: the same cut as our square.
printf 'IN;SP1;PU0,0;\nPD0,200,200,200,200,0,0,0;\nPU0,0;DF;' >"$dir/square.hpgl"
"$cutconv" --port --offset 0.5 --overcut 7.5 "$samples/square.plt" "$dir/square.th0"
cutter square --first-byte-ms 20000
"$cutsend" --quiet --hpgl --offset 0.5 --overcut 7.5 --port "$dir/port" "$dir/square.hpgl"
wait "$cutter_pid"
check "multi-point HPGL square cut as the square" yes \
  "$(cmp -s "$dir/square.raw" "$dir/square.th0" && echo yes)"

# The cutter holds the line for 3 s, then takes the rest.
cutter hold --first-byte-ms 20000 --hold-after 20000 --hold-ms 3000
start=$(now)
"$cutsend" --quiet --offset 0.5 --overcut 7.5 --port "$dir/port" "$dir/big.plt"
check "sent after the hold" 0 $?
wait "$cutter_pid"
check "the hold lasted its time" yes "$(awk -v s="$start" -v e="$(now)" 'BEGIN { print (e - s >= 3 ? "yes" : "no") }')"
check "everything arrived after the hold" yes "$(cmp -s "$dir/hold.raw" "$dir/big.th0" && echo yes)"
check "the cutter held once" yes "$(grep -q ' complete holds=1$' "$dir/hold.summary" && echo yes)"

# Progress on a line at 38400 baud: the rate is the line's, and the last line
# comes when the cutter has the last byte (a virtual port tells no more).
head -c 25000 "$dir/big.plt" | sed 's/[^;]*$//' >"$dir/mid.plt"
cutter line --baud 38400 --first-byte-ms 20000 --quiet-ms 3000
start=$(now)
"$cutsend" --offset 0.5 --overcut 7.5 --port "$dir/port" "$dir/mid.plt" 2>"$dir/line.err"
check "sent at the line's pace" 0 $?
wait "$cutter_pid"
rates=$(sed -n 's/.* \([0-9]*\) bytes\/s.*/\1/p' "$dir/line.err")
check "rates shown, each within 5 % of 3840 ($(echo $rates))" yes \
  "$([ -n "$rates" ] && echo "$rates" | awk '$1 < 3648 || $1 > 4032 { bad = 1 } END { print bad ? "no" : "yes" }')"
took=$(sed -n 's/.*sent [0-9]* bytes in \([0-9.]*\) s$/\1/p' "$dir/line.err")
last=$(stat -c %.Y "$dir/line.raw")
check "the last line's time is the last byte's (${took:-?} s, cutter $(awk -v s="$start" -v l="$last" 'BEGIN { printf "%.1f", l - s }') s)" yes \
  "$(awk -v s="$start" -v t="${took:-0}" -v l="$last" 'BEGIN { d = s + t - l; print (d * d <= 1 ? "yes" : "no") }')"
check "no hold where none was" no "$(grep -q 'holding' "$dir/line.err" && echo yes || echo no)"

# Nothing reads the port (the cutter off): a word after 10 s, and waiting goes on.
cable
"$cutsend" --port "$dir/port" "$dir/big.plt" 2>"$dir/nothing.err" &
sender=$!
sleep 11.5
check "the cutter that takes nothing named" yes \
  "$(grep -q 'cutter has taken nothing for 10 s: check that it is switched on, online, on this port, with a cable that carries CTS' "$dir/nothing.err" && echo yes)"
kill -INT "$sender"
wait "$sender"
check "still waiting until stopped" 130 $?

# Ctrl-C while the cutter holds: the stop's last bytes are waited for 2 s at
# most, then given up; nothing but the stream's start arrives, and the user is
# told to reset the cutter.
cable
cutter cancel --first-byte-ms 20000 --hold-after 20000 --hold-ms 5000 --quiet-ms 1500
"$cutsend" --offset 0.5 --overcut 7.5 --port "$dir/port" "$dir/big.plt" 2>"$dir/cancel.err" &
sender=$!
sleep 2
kill -INT "$sender"
asked=$(now)
wait "$sender"
rc=$?
took=$(seconds_since "$asked")
check "cancel exits 130" 130 "$rc"
check "cancel during a hold within 2.5 s (took $took s)" yes "$(awk -v t="$took" 'BEGIN { print (t <= 2.5 ? "yes" : "no") }')"
wait "$cutter_pid"
received=$(stat -c %s "$dir/cancel.raw")
reported=$(sed -n 's/.*stopped after \([0-9]*\) of.*/\1/p' "$dir/cancel.err")
check "what arrived is the stream's start" yes \
  "$(cmp -s "$dir/cancel.raw" <(head -c "$received" "$dir/big.th0") && echo yes)"
check "nothing beyond the chunk in flight ($received received, ${reported:-?} reported)" yes \
  "$([ -n "$reported" ] && [ "$received" -le $((reported + 1024)) ] && [ "$received" -lt "$(stat -c %s "$dir/big.th0")" ] && echo yes)"
check "the stop tells the contour and how to go on" yes "$(grep -q '^cutsend: stopped in contour [0-9]* of 4000, ' "$dir/cancel.err" &&
  grep -q "^cutsend: to go on from there: $cutsend --from-contour [0-9]* --offset 0.5 --overcut 7.5 --port $dir/port $dir/big.plt\$" "$dir/cancel.err" && echo yes)"
check "the stop says to reset the cutter" yes "$(grep -q 'reset the cutter before the next job' "$dir/cancel.err" && echo yes)"

# A second Ctrl-C does not wait for the line: cutsend ends at once.
cable
cutter twice --first-byte-ms 20000 --hold-forever-after 20000 --quiet-ms 3000
"$cutsend" --quiet --port "$dir/port" "$dir/big.plt" 2>/dev/null &
sender=$!
sleep 1
kill -INT "$sender"
sleep 0.2
kill -INT "$sender"
asked=$(now)
wait "$sender"
rc=$?
took=$(seconds_since "$asked")
check "a second Ctrl-C ends at once (took $took s after it)" yes \
  "$([ "$rc" = 130 ] && awk -v t="$took" 'BEGIN { exit !(t < 1.2) }' && echo yes)"
wait "$cutter_pid"

# --from-contour K: the header, then the whole job's stream from contour K's
# pen-up move on, byte for byte.
cable
"$cutconv" --port --offset 0.5 --overcut 7.5 "$samples/sign.plt" "$dir/sign.th0"
contours=$(tr ';' '\n' <"$dir/sign.th0" | grep -c '^U')
contours=$((contours - 1))  # the ending's move home is no contour
for k in 1 7 "$contours"; do
  from=$(awk -v k="$k" 'BEGIN { RS = ";" } /^U/ && ++n == k { print off; exit } { off += length($0) + 1 }' "$dir/sign.th0")
  cutter "from$k" --first-byte-ms 20000
  "$cutsend" --quiet --from-contour "$k" --offset 0.5 --overcut 7.5 --port "$dir/port" "$samples/sign.plt"
  check "--from-contour $k sent" 0 $?
  wait "$cutter_pid"
  check "--from-contour $k: the header, then the stream from contour $k" yes \
    "$(cmp -s "$dir/from$k.raw" <(printf 'CDR;'; tail -c +$((from + 1)) "$dir/sign.th0") && echo yes)"
done
cutter beyond --first-byte-ms 1500
for k in 0 $((contours + 1)); do
  "$cutsend" --quiet --from-contour "$k" --port "$dir/port" "$samples/sign.plt" 2>/dev/null
  check "--from-contour $k refused" 2 $?
done
wait "$cutter_pid"
check "nothing sent for a contour out of range" yes "$(grep -q '^bytes=0 ' "$dir/beyond.summary" && echo yes)"

# SIGHUP (a closed terminal) while the cutter holds: 128+1, scratch folder gone.
cable
mkdir "$dir/tmp"
cutter hangup --first-byte-ms 20000 --hold-after 20000 --hold-ms 5000 --quiet-ms 1500
TMPDIR=$dir/tmp "$cutsend" --quiet --port "$dir/port" "$dir/big.plt" &
sender=$!
sleep 1
kill -HUP "$sender"
wait "$sender"
check "SIGHUP exits 129" 129 $?
check "SIGHUP leaves no scratch folder" "" "$(ls "$dir/tmp")"
wait "$cutter_pid"

# Bad input: one line, non-zero, and not a byte on the line.
cable
cutter bad --first-byte-ms 1500
err=$("$cutsend" --port "$dir/no-such-port" "$samples/nested.plt" 2>&1); rc=$?
check "missing port fails" 2 "$rc"
check "missing port lists the ports" yes "$([[ $err == *"no serial port $dir/no-such-port; ports here: "* ]] && echo yes)"
err=$("$cutsend" --offset 0,5 --port "$dir/port" "$samples/nested.plt" 2>&1); rc=$?
check "length that is no number fails" 2 "$rc"
check "length named" yes "$([[ $err == "cutsend: --offset wants a length"* ]] && echo yes)"
"$cutsend" --overcut -1 --port "$dir/port" "$samples/nested.plt" 2>/dev/null
check "negative length fails" 2 $?
err=$("$cutsend" --offset 25 --port "$dir/port" "$samples/nested.plt" 2>&1); rc=$?
check "an offset no knife has refused without --force" "2 yes" \
  "$rc $([[ $err == "cutsend: --offset 25 mm is no drag knife's offset"*"--force"* ]] && echo yes)"
err=$("$cutsend" --offset 0.5 --overcut 3 --max-size 200x100 --port "$dir/port" "$samples/sign.plt" 2>&1); rc=$?
check "the cut's size first, then a drawing beyond --max-size refused" "2
cutsend: cutting 200.0 × 60.0 mm at 1.0, 1.0
cutsend: the cut reaches 201.0 × 61.0 mm from the origin, beyond --max-size 200×100 mm; nothing sent" \
  "$rc
$err"
inkscape=$samples/../tools/tests/hpgl_files/inkscape.hpgl
err=$("$cutsend" --offset 0.25 --overcut 1 --port "$dir/port" "$inkscape" 2>&1); rc=$?
check "Inkscape's HPGL without --hpgl refused with the hint" "2 yes" \
  "$rc $([[ $err == "cutsend: $inkscape: at byte "*"add --hpgl"* ]] && echo yes)"
"$cutsend" --port "$dir/port" "$dir/missing.plt" 2>/dev/null
check "missing drawing fails" 2 $?
mkfifo "$dir/fifo.plt"
timeout 5 "$cutsend" --port "$dir/port" "$dir/fifo.plt" 2>/dev/null
check "FIFO drawing refused at once" 2 $?
err=$(TMPDIR=$dir/no-such-dir "$cutsend" --port "$dir/port" "$samples/nested.plt" 2>&1); rc=$?
check "bad TMPDIR is a clear failure" \
  "1:cutsend: cannot create a scratch folder in $dir/no-such-dir (TMPDIR): No such file or directory" \
  "$rc:$err"
wait "$cutter_pid"
check "nothing sent on bad input" yes "$(grep -q '^bytes=0 ' "$dir/bad.summary" && echo yes)"

check "--version" yes "$([[ $("$cutsend" --version) =~ ^cutsend\ [0-9]+\.[0-9]+\.[0-9]+$ ]] && echo yes)"

echo "$fails failed"
[ "$fails" -eq 0 ]
