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
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

own_display=""
if [ -z "${DISPLAY:-}" ]; then
  own_display=1
  for n in $(seq 90 120); do [ -e /tmp/.X11-unix/X$n ] || break; done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=":$n"
  sleep 1
fi

echo "== preparing C:\\Harvel and the virtual COM1"
wineserver -k 2>/dev/null || true
[ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i >/dev/null 2>&1
harvel=$WINEPREFIX/drive_c/Harvel
mkdir -p "$harvel"
rm -f "$harvel"/Quelmar.plt "$harvel"/quelmar.th0 "$harvel"/Quelmar.th0
cp build/windows/bin/Drovane.exe build/windows/bin/Plimsby.exe build/windows/bin/ui-press.exe "$harvel/"

socat PTY,link="$state/com1",raw,echo=0 PTY,link="$state/cutter",raw,echo=0 2>"$state/socat.log" &
pids+=($!)
for _ in $(seq 50); do [ -e "$state/cutter" ] && break; sleep 0.1; done
# Wine lists its COM ports and links them to the machine's serial devices
# anew whenever its server starts: start it first, then point COM1 at the
# virtual cutter and make sure COM1 is listed.
wine wineboot >"$state/wine.log" 2>&1
# On our own display there is no window manager: Wine must neither wait for one
# (a 2 s time-out whenever a window closes) nor leave the frames undrawn.
x11='HKCU\Software\Wine\X11 Driver'
if [ -n "$own_display" ]; then
  wine reg add "$x11" /v Managed /d N /f >>"$state/wine.log" 2>&1
  wine reg add "$x11" /v Decorated /d N /f >>"$state/wine.log" 2>&1
else
  wine reg delete "$x11" /v Managed /f >>"$state/wine.log" 2>&1 || true
  wine reg delete "$x11" /v Decorated /f >>"$state/wine.log" 2>&1 || true
fi
ln -sfn "$state/com1" "$WINEPREFIX/dosdevices/com1"
wine reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' >"$state/serialcomm.txt" 2>&1 || true
if ! grep -q 'COM1$' "$state/serialcomm.txt"; then
  wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v Cutter /t REG_SZ /d COM1 /f >>"$state/wine.log" 2>&1
fi
# The sender's settings for this run: first port, knife offset 0.5 mm and
# overcut 3 mm, both on (20 and 120 plotter units).
config='HKCU\Software\应用程序向导生成的本地应用程序\Drovane\config'
for setting in COM_i=0 IsOffset=1 IsClose=1 OffsetVal=50 CloseVal=300; do
  LANG=C.UTF-8 wine reg add "$config" /v "${setting%=*}" /t REG_DWORD /d "${setting#*=}" /f \
    >>"$state/wine.log" 2>&1
done
# Hold the sender's end open as well, so that the cutter's end never sees a
# hang-up while no program has the port open.
exec 7<>"$state/com1"

build/native/bin/cutter-sim --baud 38400 --quiet-ms 5000 --first-byte-ms 120000 \
  --svg "$out/cut.svg" --raw "$out/received.th0" --summary "$out/summary.txt" "$state/cutter" \
  >"$state/cutter.log" 2>&1 &
cutter=$!
pids+=($cutter)

echo "== Plimsby waits for the export"
wine 'C:\Harvel\Plimsby.exe' >/dev/null 2>&1 &
pids+=($!)
wine 'C:\Harvel\ui-press.exe' 'Drovanex  ( Baudrate : 38400 )' 1006 120000 >"$state/press.log" 2>&1 &
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
wait "$cutter" || true
timeout 60 wineserver -w || true
echo
cat "$out/summary.txt"
build/native/bin/cutconv --port --offset 20 --overcut 120 "$drawing" "$state/expected.th0"
if cmp -s "$state/expected.th0" "$out/received.th0"; then
  echo "the cutter received exactly the conversion of the drawing"
else
  echo "the cutter's bytes differ from the conversion of the drawing"; exit 1
fi
if command -v rsvg-convert >/dev/null; then
  rsvg-convert -w 1000 -b white "$out/cut.svg" -o "$out/cut.png" && echo "picture: build/chain/cut.png"
fi
echo "picture: build/chain/cut.svg"
grep -q ' complete$' "$out/summary.txt"
