#!/usr/bin/env bash
# The Linux side of the UI tests. A test inside Wine cannot start or signal
# Linux processes itself, so it drops one-line requests into CTL as NNNNNN.req;
# the agent serves them in order and answers in NNNNNN.out: a first line "ok"
# or "fail <why>", then any output. tests/ui/README.md describes the requests.
#
# usage: fixture-agent.sh CTL STATE   (environment: WINEPREFIX, DISPLAY,
#        HARVEL_UI_ARTIFACTS, HARVEL_UI_TOOLS with cutter-sim and cutconv)
set -uo pipefail
ctl=$1
artifacts=$HARVEL_UI_ARTIFACTS
tools=${HARVEL_UI_TOOLS:-}
source "$(dirname "$0")/../wine-session.sh"
session_join "$2"
state=$2

# Debian's ImageMagick; some machines put a stand-in `convert` earlier on PATH.
convert=convert
[ -x /usr/bin/convert ] && convert=/usr/bin/convert

declare -A holder_pid=() cutter_pid=() refused=()

stop_pid() {
  kill -TERM "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

wait_for() {  # wait_for TENTHS COMMAND...: until COMMAND succeeds
  local tries=$1
  shift
  while ((tries-- > 0)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Everything on COMn goes, then the line itself.
port_close() {
  [ -n "${cutter_pid[$1]:-}" ] && stop_pid "${cutter_pid[$1]}"
  [ -n "${holder_pid[$1]:-}" ] && stop_pid "${holder_pid[$1]}"
  unset "cutter_pid[$1]" "holder_pid[$1]"
  session_port_close "$1"
}

port_open() {
  port_close "$1"
  session_port_open "$1" 2>&1 && echo ok || echo "fail COM$1"
}

require_port() {
  [ -n "$(session_port_relay "$1")" ] || { echo "fail COM$1 is not open"; return 1; }
}

# Another program has COMn open with TIOCEXCL, so that Wine cannot open it.
port_hold() {
  require_port "$1" || return
  rm -f "$state/hold-$1"
  perl -e 'open(my $f, "+<", $ARGV[0]) or die "$ARGV[0]: $!\n";
           ioctl($f, 0x540C, 0) or die "TIOCEXCL: $!\n";   # TIOCEXCL
           open(my $r, ">", $ARGV[1]) or die; close $r; sleep' \
    "$state/com$1.wine" "$state/hold-$1" &
  holder_pid[$1]=$!
  if wait_for 50 test -e "$state/hold-$1"; then echo ok; else echo "fail holder did not start"; fi
}

# COMn is a device that opens but takes no line settings (/dev/null: Wine
# refuses every serial control on it).
port_refuse() {
  port_close "$1"
  refused[$1]=1
  ln -sfn /dev/null "$WINEPREFIX/dosdevices/com$1" && echo ok || echo "fail ln"
}

# Stops or continues the relay between the two ends: the line stalls as if the
# cutter held it.
port_signal() {
  require_port "$1" || return
  kill "-$2" "$(session_port_relay "$1")" && echo ok || echo "fail kill -$2"
}

has_open() {  # has_open PID PATH: PID has PATH (a device) open
  local want fd
  want=$(readlink -f "$2")
  for fd in /proc/"$1"/fd/*; do
    [ "$(readlink "$fd" 2>/dev/null)" = "$want" ] && return 0
  done
  return 1
}

cutter_start() {
  local n=$1 name=$2
  shift 2
  require_port "$n" || return
  [ -x "$tools/cutter-sim" ] || { echo "fail no cutter-sim in '$tools'"; return; }
  "$tools/cutter-sim" --raw "$artifacts/$name.raw" --svg "$artifacts/$name.svg" \
    --summary "$artifacts/$name.summary" "$@" "$state/com$n.far" \
    >"$state/cutter-$n.out" 2>&1 &
  cutter_pid[$n]=$!
  # Bytes written before the cutter listens would wait in the pty anyway, but
  # a cutter that failed to start should be reported here.
  if wait_for 50 has_open "${cutter_pid[$n]}" "$state/com$n.far"; then
    echo ok
  else
    echo "fail cutter-sim did not open the port"
    cat "$state/cutter-$n.out"
  fi
}

cutter_wait() {
  local n=$1 pid=${cutter_pid[$1]:-}
  [ -n "$pid" ] || { echo "fail no cutter on COM$n"; return; }
  if ! wait_for $(($2 * 10)) eval "! kill -0 $pid 2>/dev/null"; then
    echo "fail cutter-sim still running"
    return
  fi
  wait "$pid"
  local status=$?
  unset "cutter_pid[$n]"
  echo ok
  echo "exit=$status"
  cat "$state/cutter-$n.out"
}

svg_png() {
  # ImageMagick draws an SVG at its size in millimetres, a few pixels for a
  # small drawing: make the longer side 800 pixels first.
  perl -pe 'if (/<svg / && /width="([\d.]+)mm" height="([\d.]+)mm"/) {
              my $s = 800 / ($1 > $2 ? $1 : $2);
              my ($w, $h) = (int($1 * $s + 0.5), int($2 * $s + 0.5));
              s/width="[\d.]+mm" height="[\d.]+mm"/width="$w" height="$h"/ }' \
    "$artifacts/$1.svg" >"$state/picture.svg" &&
    "$convert" -background white "$state/picture.svg" -flatten "$artifacts/$1.png" 2>&1 &&
    echo ok || echo "fail convert"
}

reset_all() {
  local n
  for n in "${!session_socat_pid[@]}" "${!refused[@]}"; do port_close "$n"; done
  refused=()
}

serve() {
  local cmd=$1
  shift
  case "$cmd" in
    reset) reset_all; echo ok ;;
    port-open) port_open "$1" ;;
    port-hold) port_hold "$1" ;;
    port-refuse) port_refuse "$1" ;;
    port-pause) port_signal "$1" STOP ;;
    port-resume) port_signal "$1" CONT ;;
    port-close) port_close "$1"; echo ok ;;
    cutter-start) cutter_start "$@" ;;
    cutter-wait) cutter_wait "$1" "$2" ;;
    cutconv)
      local out
      if out=$("$tools/cutconv" "$@" 2>&1); then echo ok; else echo "fail cutconv: $out"; fi
      ;;
    svg-png) svg_png "$1" ;;
    screenshot)
      import -display "$DISPLAY" -window root -crop "${4}x${5}+${2}+${3}" +repage \
        "$artifacts/$1.png" 2>&1 && echo ok || echo "fail import"
      ;;
    *) echo "fail unknown request '$cmd'" ;;
  esac
}

trap 'reset_all; exit 0' TERM INT

# read -t on a FIFO that never gets data sleeps without starting a process.
mkfifo "$state/.idle"
exec {idle}<>"$state/.idle"
while :; do
  for req in "$ctl"/*.req; do
    [ -e "$req" ] || continue
    id=${req%.req}
    words=()
    read -r -a words <"$req"
    rm -f "$req"
    if ((${#words[@]})); then
      serve "${words[@]}" >"$id.part" 2>&1
    else
      echo "fail empty request" >"$id.part"
    fi
    mv "$id.part" "$id.out"
  done
  read -r -t 0.02 -u "$idle"
done
