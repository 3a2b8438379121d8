#!/usr/bin/env bash
# The whole chain once, unattended, as a user would see it:
#   a Wine prefix with Plimsby and Drovane in C:\Harvel, a virtual COM port
#   wired to the virtual cutter, Plimsby waiting, a drawing exported into
#   C:\Harvel\Quelmar.plt in several growing writes, Plimsby starting Drovane,
#   Start pressed through the automation driver, the job streamed to the cutter.
# The picture of the cut and its summary land in build/chain/.
#
# usage: run-chain.sh [DRAWING.plt]      (default: samples/sign.plt)
# Without a display it runs on a private Xvfb; with one, the windows appear.
# CUTTER_HOLD_MS=15000 makes the cutter hold the line half-way for 15 s, as a
# real cutter does when its buffer is full or its pause key is pressed. The
# virtual line buffers some 40 KB, so the sender itself waits only with a
# drawing whose conversion is larger than that.
set -euo pipefail
[ -n "${CHAIN_TRACE:-}" ] && set -x
cd "$(dirname "$0")/.."
root=$(pwd)
drawing=$(realpath "${1:-samples/sign.plt}")
scripts/install-deps.sh

echo "== building"
cmake --preset native >/dev/null && cmake --build --preset native --target cutter-sim cutconv
cmake --preset windows >/dev/null && cmake --build --preset windows --target Drovane Plimsby ui-press

out=$root/build/chain
state=$out/state
rm -rf "$state" && mkdir -p "$state"
# Nothing an earlier run left may pass for this run's result.
rm -f "$out/cut.svg" "$out/cut.png" "$out/received.th0" "$out/summary.txt"

source scripts/wine-session.sh
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  session_end
}
trap cleanup EXIT

echo "== preparing C:\\Harvel and the virtual COM1"
session_start "$out/wineprefix" "$state"
harvel=$WINEPREFIX/drive_c/Harvel
mkdir -p "$harvel"
rm -f "$harvel"/Quelmar.plt "$harvel"/quelmar.th0 "$harvel"/Quelmar.th0
cp build/windows/bin/Drovane.exe build/windows/bin/Plimsby.exe build/windows/bin/ui-press.exe "$harvel/"
session_port_open 1
session_list_ports COM1
# The sender's settings for this run: first port, knife offset 0.5 mm and
# overcut 3 mm, both on (20 and 120 plotter units).
session_import_reg <<'REG'
[HKEY_CURRENT_USER\Software\应用程序向导生成的本地应用程序\Drovane\config]
"COM_i"=dword:00000000
"IsOffset"=dword:00000001
"IsClose"=dword:00000001
"OffsetVal"=dword:00000032
"CloseVal"=dword:0000012c
REG

# What the cutter must receive; with CUTTER_HOLD_MS the cutter holds the line
# once, half-way through the job, for that long.
build/native/bin/cutconv --port --plain --offset 0.5 --overcut 3 "$drawing" "$state/expected.th0"
# The plain conversion lets the picture show where the 0.5 mm blade really cuts
# and how far it misses the drawing's corners.
build/native/bin/cutconv --port --plain "$drawing" "$state/plain.th0"
hold=()
quiet_ms=5000
if [ -n "${CUTTER_HOLD_MS:-}" ]; then
  hold=(--hold-after $(($(stat -c %s "$state/expected.th0") / 2)) --hold-ms "$CUTTER_HOLD_MS")
  quiet_ms=$((quiet_ms + CUTTER_HOLD_MS))
  echo "== the cutter will hold the line for $CUTTER_HOLD_MS ms half-way"
fi
build/native/bin/cutter-sim --baud 38400 --quiet-ms "$quiet_ms" --first-byte-ms 120000 "${hold[@]}" \
  --blade 0.5 --drawing "$state/plain.th0" \
  --svg "$out/cut.svg" --raw "$out/received.th0" --summary "$out/summary.txt" "$state/com1.far" \
  >"$state/cutter.log" 2>&1 &
cutter=$!
pids+=($cutter)

echo "== Plimsby waits for the export"
session_wine 'C:\Harvel\Plimsby.exe' >/dev/null 2>&1 &
pids+=($!)
session_wine 'C:\Harvel\ui-press.exe' 'Drovanex  ( Baudrate : 38400 )' 1006 120000 >"$state/press.log" 2>&1 &
press=$!
sleep 2

echo "== exporting $(basename "$drawing") into C:\\Harvel\\Quelmar.plt"
python3 - "$drawing" "$harvel/Quelmar.plt" <<'PY'
import sys, time
data = open(sys.argv[1], "rb").read()
with open(sys.argv[2], "wb") as f:
    step = max(1, len(data) // 4)
    for i in range(0, len(data), step):
        f.write(data[i:i + step]); f.flush()
        time.sleep(0.05)
PY
written=$(date +%s.%N)

if ! wait "$press"; then
  echo "the sender's window did not appear:"; cat "$state/press.log"; exit 1
fi
pressed=$(date +%s.%N)
awk -v a="$written" -v b="$pressed" 'BEGIN { printf "Drovane was up and Start pressed %.2f s after the export ended\n", b - a }'

echo "== the cutter receives the job"
cutter_status=0
wait "$cutter" || cutter_status=$?
# The sender removes the exported drawing once its job has ended well.
for _ in $(seq 600); do [ -e "$harvel/Quelmar.plt" ] || break; sleep 0.1; done
echo
if [ -s "$out/summary.txt" ]; then cat "$out/summary.txt"; else echo "cutter-sim wrote no summary"; fi
[ -e "$harvel/Quelmar.plt" ] && echo "the sender kept the exported drawing: its job did not end well"
# The bytes are judged on their own: a failed picture or measure is told
# below and does not count against the sender.
verdict=0
if [ ! -e "$out/received.th0" ]; then
  echo "cutter-sim kept no received bytes (status $cutter_status):"; cat "$state/cutter.log"; exit 1
elif cmp -s "$state/expected.th0" "$out/received.th0"; then
  echo "the cutter received exactly the conversion of the drawing"
else
  echo "the cutter's bytes differ from the conversion of the drawing"; verdict=1
fi
if [ "$cutter_status" = 3 ] || grep -q ' blade=failed' "$out/summary.txt" 2>/dev/null; then
  echo "cutter-sim could not make the picture or the blade's measure:"
  grep '^cutter-sim: ' "$state/cutter.log" | grep -v ' bytes in ' || true
  verdict=1
elif [ "$cutter_status" != 0 ] && [ "$cutter_status" != 1 ]; then
  echo "cutter-sim failed (status $cutter_status):"; cat "$state/cutter.log"; verdict=1
fi
if [ -s "$out/cut.svg" ]; then
  if command -v rsvg-convert >/dev/null; then
    rsvg-convert -w 1000 -b white "$out/cut.svg" -o "$out/cut.png" && echo "picture: build/chain/cut.png"
  fi
  echo "picture: build/chain/cut.svg"
fi
[ "$verdict" = 0 ] && grep -qE ' complete( |$)' "$out/summary.txt"
