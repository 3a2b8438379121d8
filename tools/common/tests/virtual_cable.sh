# The cable and the cutter of the tools' end-to-end tests, sourced by them: a
# socat pty pair, and cutter-sim on its far end. The test sets $dir (its scratch
# folder), $cuttersim and the array pids, whose processes it ends on exit.

# A fresh cable: $dir/port (the sender's end) and $dir/cutter (the cutter's end).
cable() {
  [ -n "${socat:-}" ] && kill "$socat" 2>/dev/null && wait "$socat" 2>/dev/null
  rm -f "$dir/port" "$dir/cutter"
  socat pty,raw,echo=0,link="$dir/port" pty,raw,echo=0,link="$dir/cutter" 2>/dev/null &
  socat=$!
  pids+=("$socat")
  for _ in $(seq 50); do [ -e "$dir/port" ] && [ -e "$dir/cutter" ] && return; sleep 0.1; done
  echo "FAIL socat did not come up"; exit 1
}

# cutter NAME [cutter-sim options]: receives into NAME.raw and NAME.summary.
cutter() {
  local name=$1; shift
  "$cuttersim" --raw "$dir/$name.raw" --summary "$dir/$name.summary" "$@" "$dir/cutter" \
    >/dev/null 2>&1 &
  cutter_pid=$!
  pids+=("$cutter_pid")
  sleep 0.3  # let it open its end
}
