#!/usr/bin/env bash
# A user outside the port's group: a pty of group dialout, mode 660, opened by
# cutsend as nobody. It must refuse before sending and say how to join.
set -u
cutsend=$1 samples=$2
if [ "$(id -u)" -ne 0 ]; then echo "needs root to act as another user"; exit 77; fi
dir=$(mktemp -d)
chmod 755 "$dir"
socat pty,raw,echo=0,link="$dir/port" pty,raw,echo=0,link="$dir/cutter" 2>/dev/null &
socat=$!
trap 'kill "$socat" 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 50); do [ -e "$dir/port" ] && break; sleep 0.1; done
device=$(readlink -f "$dir/port")
chgrp dialout "$device" && chmod 660 "$device"
message=$(setpriv --reuid=nobody --regid=nogroup --clear-groups \
  "$cutsend" --port "$device" "$samples/square.plt" 2>&1)
status=$?
echo "$message"
[ "$status" -eq 2 ] || { echo "FAIL exit status $status, not 2"; exit 1; }
grep -q "members of group dialout" <<<"$message" &&
  grep -qF 'sudo usermod -aG dialout $USER' <<<"$message" &&
  grep -q "log out and log in again" <<<"$message" || { echo "FAIL no fix named"; exit 1; }
echo "ok   the fix is named"
