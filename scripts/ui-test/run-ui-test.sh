#!/usr/bin/env bash
# Runs one UI test program under Wine with everything it needs on the Linux
# side, then takes it all down again:
#   - a Wine prefix of its own in the build tree (<build>/ui-wineprefix),
#   - a private Xvfb display (there is no window manager, so Wine draws the
#     window frames itself and no window ever has the focus),
#   - the system locale the program should see (Wine takes the system default
#     language from the Unix locale of the process that starts it),
#   - the fixture agent that serves the test's requests for virtual serial
#     ports, the virtual cutter, native conversions and screenshots.
#
# usage: run-ui-test.sh --build DIR [--locale NAME] [--tools DIR] [--timeout S] -- PROGRAM [ARGS...]
#
# Exit status: the test program's, or 77 when a tool the UI tests need is
# missing (CTest reports the test as skipped).
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=""
locale_name="C.UTF-8"
tools=""
timeout_s=500
while (($#)); do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --locale) locale_name=$2; shift 2 ;;
    --tools) tools=$2; shift 2 ;;
    --timeout) timeout_s=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "run-ui-test: unknown option $1" >&2; exit 2 ;;
  esac
done
if [ -z "$build" ] || (($# == 0)); then
  echo "usage: run-ui-test.sh --build DIR [--locale NAME] [--tools DIR] -- PROGRAM [ARGS...]" >&2
  exit 2
fi
build=$(cd "$build" && pwd)

for tool in wine wineserver Xvfb socat perl import; do
  if ! command -v "$tool" >/dev/null; then
    echo "run-ui-test: $tool is missing (scripts/install-deps.sh installs it); skipping" >&2
    exit 77
  fi
done

ui_root=$build/ui-test
artifacts=$ui_root/artifacts
mkdir -p "$artifacts"
run_dir=$(mktemp -d "$ui_root/run.XXXXXX")
mkdir -p "$run_dir/ctl" "$run_dir/state"

export HARVEL_WINEPREFIX=$build/ui-wineprefix
export WINEPREFIX=$HARVEL_WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
unset DISPLAY

# A tty held with TIOCEXCL refuses further opens except to CAP_SYS_ADMIN. Run as
# root, Wine would have that capability and open a held port all the same, so
# the whole Wine session runs without it.
drop=()
if [ "$(id -u)" -eq 0 ] && setpriv --bounding-set -sys_admin true 2>/dev/null; then
  drop=(setpriv --bounding-set -sys_admin)
fi

xvfb_pid=""
server_pid=""
agent_pid=""
cleanup() {
  if [ -n "$agent_pid" ]; then
    kill -TERM "$agent_pid" 2>/dev/null
    wait "$agent_pid" 2>/dev/null
    kill -KILL -- "-$agent_pid" 2>/dev/null
  fi
  wineserver -k 2>/dev/null
  [ -n "$server_pid" ] && wait "$server_pid" 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$run_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A session left behind by an interrupted run would keep its old display.
wineserver -k 2>/dev/null

bash "$here/prepare-prefix.sh" "$build/wine-run" || exit 1

case "$locale_name" in
  zh_CN*)
    # Wine honours LC_ALL=zh_CN.UTF-8 even without the glibc locale, but the
    # rest of the process (and LANG alone) needs it; build it privately when
    # the system lacks it.
    if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
      locales=$ui_root/locale
      if [ ! -d "$locales/zh_CN.UTF-8" ]; then
        mkdir -p "$locales"
        localedef -i zh_CN -f UTF-8 "$locales/zh_CN.UTF-8" 2>/dev/null ||
          echo "run-ui-test: could not build the zh_CN.UTF-8 locale; relying on LC_ALL" >&2
      fi
      [ -d "$locales/zh_CN.UTF-8" ] && export LOCPATH=$locales
    fi
    ;;
esac
export LC_ALL=$locale_name

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$run_dir/display" \
  >"$run_dir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$run_dir/display" ] && break
  sleep 0.1
done
if [ ! -s "$run_dir/display" ]; then
  echo "run-ui-test: Xvfb did not start" >&2
  cat "$run_dir/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$run_dir/display")"

# One persistent session for the whole program, so that every process the
# tests start finds the wineserver, services and the desktop already up. The
# server stays in the foreground, in our session: a daemonised wineserver leads
# a session of its own, takes the first COM port's pty as its controlling
# terminal and, when that pty goes, gets SIGHUP (and dumps all its objects).
# Wine clients wait for a server that is still starting.
"${drop[@]}" wineserver -f -p 2>"$run_dir/wineserver.log" &
server_pid=$!
"${drop[@]}" "$build/wine-run" reg query 'HKLM\HARDWARE\DEVICEMAP' >/dev/null 2>&1

export HARVEL_UI_CTL=$run_dir/ctl
export HARVEL_UI_ARTIFACTS=$artifacts
export HARVEL_UI_BIN=$build/bin
export HARVEL_UI_TOOLS=$tools
# Job control puts the agent into a process group of its own, so that
# everything it started ends with it. (Not setsid: a session leader would take
# the first pty it opens as its controlling terminal and die of its hang-up.)
set -m
bash "$here/fixture-agent.sh" "$run_dir/ctl" "$run_dir/state" 2>"$run_dir/agent.log" &
agent_pid=$!
set +m

# Our own time limit, below CTest's: a hung test still gets its clean-up here.
"${drop[@]}" timeout --kill-after=10 "$timeout_s" "$build/wine-run" "$@"
status=$?
[ "$status" -eq 124 ] && echo "run-ui-test: timed out after ${timeout_s}s" >&2
if [ -s "$run_dir/agent.log" ]; then
  echo "--- fixture agent log" >&2
  cat "$run_dir/agent.log" >&2
fi
exit $status
