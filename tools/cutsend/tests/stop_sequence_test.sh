#!/usr/bin/env bash
# Twenty stops of cutsend at random moments, some while the line is free and
# some while the cutter holds it, each followed by the next job on the same
# running cutter-sim --jobs, then one whole job. A stop on a free line leaves
# the cutter between two commands with the knife up; every job decodes as its
# own stream; a stop during a hold ends within 2.5 s and says to reset.
set -u
cutsend=$1 cutconv=$2 cuttersim=$3
dir=$(mktemp -d)
pids=()
trap 'kill -CONT "${socat:-0}" 2>/dev/null; for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$dir"' EXIT
source "$(dirname "$0")/../../common/tests/shell_checks.sh"

# Many squares: a stream of some 200 KB, several seconds on the paced line.
for i in $(seq 0 3999); do
  x=$((i % 60 * 300)) y=$((i / 60 * 300))
  printf 'PU%d,%d;PD%d,%d;PD%d,%d;PD%d,%d;PD%d,%d;' $x $y $x $((y + 200)) $((x + 200)) \
    $((y + 200)) $((x + 200)) $y $x $y
done >"$dir/sign.plt"
"$cutconv" --port --offset 0.5 --overcut 7.5 "$dir/sign.plt" "$dir/sign.th0"
whole=$("$cuttersim" "$dir/sign.th0" 2>/dev/null)

socat pty,raw,echo=0,link="$dir/port" pty,raw,echo=0,link="$dir/cutter" 2>/dev/null &
socat=$!
pids+=("$socat")
for _ in $(seq 50); do [ -e "$dir/port" ] && [ -e "$dir/cutter" ] && break; sleep 0.1; done
# Ten times the line's rate, so that twenty jobs take a minute or two.
"$cuttersim" --jobs --baud 384000 --first-byte-ms 30000 --quiet-ms 6000 \
  --raw "$dir/line.raw" --summary "$dir/jobs" "$dir/cutter" >/dev/null 2>"$dir/cutter.err" &
cutter=$!
pids+=("$cutter")
sleep 0.3

kinds=()  # per job that reached the cutter: ended, gave-up or whole
gave_ups=0
RANDOM=26
for stop in $(seq 20); do
  held=$((stop % 3 == 0))
  # A stop that gives up throws away what the port still queues. A serial port's
  # driver has sent the last job's bytes before its sender ends; a pty cannot tell,
  # so the line is given time to carry them to the cutter first.
  [ "$held" = 1 ] && sleep 3
  "$cutsend" --quiet --offset 0.5 --overcut 7.5 --port "$dir/port" "$dir/sign.plt" \
    2>"$dir/stop$stop.err" &
  sender=$!
  sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.2f", 0.3 + r % 250 / 100 }')"
  if [ "$held" = 1 ]; then kill -STOP "$socat"; sleep 0.5; fi
  kill -INT "$sender"
  asked=$(now)
  wait "$sender"
  rc=$? took=$(seconds_since "$asked")
  check "stop $stop exits 130" 130 "$rc"
  err=$(cat "$dir/stop$stop.err")
  ended=$([[ $err == *"between two commands, knife up"* ]] && echo yes)
  gave_up=$([[ $err == *"reset the cutter before the next job"* ]] && echo yes)
  if [ "$held" = 1 ]; then
    # The driver may still have had room for the few last bytes; if not, the
    # stop gives them up after 2 s and says so.
    check "stop $stop during a hold ended within 2.5 s (took $took s)" yes \
      "$(awk -v t="$took" 'BEGIN { print (t <= 2.5 ? "yes" : "no") }')"
    check "stop $stop during a hold ended cleanly or said to reset the cutter" yes "$ended$gave_up"
    [ "$gave_up" = yes ] && gave_ups=$((gave_ups + 1))
    kill -CONT "$socat"
  else
    check "stop $stop on a free line leaves the knife up" yes "$ended"
  fi
  [[ $err == *"stopped in contour "* ]] && kinds+=("$([ "$gave_up" = yes ] && echo gave-up || echo ended)")
done
"$cutsend" --quiet --offset 0.5 --overcut 7.5 --port "$dir/port" "$dir/sign.plt"
check "the last job is sent whole" 0 $?
kinds+=(whole)
wait "$cutter"

check "every job that reached the cutter is one job there" "${#kinds[@]}" "$(wc -l <"$dir/jobs")"
offset=0 job=0 previous=
while read -r line; do
  kind=${kinds[$job]:-?}
  job=$((job + 1))
  bytes=$(sed 's/.*bytes=\([0-9]*\).*/\1/' <<<"$line")
  head -c $((offset + bytes)) "$dir/line.raw" | tail -c "$bytes" >"$dir/job"
  offset=$((offset + bytes))
  # Each job, from its header on, is its own stream (after a stop that gave up the
  # cutter's unfinished command takes the header's letters first).
  check "job $job decodes as its own stream" yes "$([[ $line == *" bad=0 "* ]] && echo yes)"
  if [ "$previous" != gave-up ]; then
    check "job $job began between two commands" yes "$([[ $line == *" start=clean "* ]] && echo yes)"
  fi
  case $kind in
    ended)
      body=$((bytes - 11))
      check "job $job (stopped) ends with a whole command and the ending" yes \
        "$([[ $line == *" complete start=clean end=ending" ]] && [ "$(tail -c 11 "$dir/job")" = 'U0,0;@;@;@;' ] &&
           [ "$(head -c "$body" "$dir/job" | tail -c 1)" = ';' ] &&
           cmp -s <(head -c "$body" "$dir/job") <(head -c "$body" "$dir/sign.th0") && echo yes)" ;;
    whole)
      check "the whole job after the stops is the stream itself" "$whole" \
        "$(sed 's/^job=[0-9]* //; s/ start=.*//' <<<"$line")"
      check "the whole job's bytes" yes "$(cmp -s "$dir/job" "$dir/sign.th0" && echo yes)" ;;
  esac
  previous=$kind
done <"$dir/jobs"

echo "info $gave_ups of the stops during a hold gave the last bytes up"
echo "$fails failed"
[ "$fails" -eq 0 ]
