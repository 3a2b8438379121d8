#!/usr/bin/env bash
# Runs one UI test program under Wine with everything it needs on the Linux
# side, then takes it all down again:
#   - the Wine session of scripts/wine-session.sh: a prefix of its own in the
#     build tree (<build>/ui-wineprefix), a private Xvfb display without a
#     window manager, a wineserver for this program alone,
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

for tool in wine wineserver Xvfb socat perl import iconv; do
  if ! command -v "$tool" >/dev/null; then
    echo "run-ui-test: $tool is missing (scripts/install-deps.sh installs it); skipping" >&2
    exit 77
  fi
done

ui_root=$build/ui-test
artifacts=$ui_root/artifacts
mkdir -p "$artifacts"
run_dir=$(mktemp -d "$ui_root/run.XXXXXX")
mkdir -p "$run_dir/ctl"

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

source "$here/../wine-session.sh"
agent_pid=""
cleanup() {
  if [ -n "$agent_pid" ]; then
    kill -TERM "$agent_pid" 2>/dev/null
    wait "$agent_pid" 2>/dev/null
    kill -KILL -- "-$agent_pid" 2>/dev/null
  fi
  session_end
  rm -rf "$run_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export HARVEL_WINEPREFIX=$build/ui-wineprefix
session_start "$HARVEL_WINEPREFIX" "$run_dir/state" --own-display || exit 1

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
"${session_drop[@]}" timeout --kill-after=10 "$timeout_s" "$build/wine-run" "$@"
status=$?
[ "$status" -eq 124 ] && echo "run-ui-test: timed out after ${timeout_s}s" >&2
if [ -s "$run_dir/agent.log" ]; then
  echo "--- fixture agent log" >&2
  cat "$run_dir/agent.log" >&2
fi
exit $status
