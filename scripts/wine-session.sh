# One Wine session for the programs on Linux, shared by the unattended chain
# (scripts/run-chain.sh) and the UI tests (scripts/ui-test/run-ui-test.sh).
# Source it, then:
#
#   session_start PREFIX STATE [--own-display]
#       the prefix (created on first use), an X display (a private Xvfb with
#       --own-display or when there is none, else the current one), the
#       settings below, and a wineserver for this session alone
#   session_join STATE     for another process of a running session (the
#                          fixture agent): the port functions below
#   session_port_open N / session_port_close N
#       a virtual serial line: a socat pty pair, COMn in the prefix is one end,
#       STATE/comN.far the other (the cutter's)
#   session_list_ports COM1 [COM5 ...]
#       the system's serial port list (SERIALCOMM), in this order
#   session_wine ARGS...   wine in this session
#   session_end            takes everything down again
#
# The settings every session gets:
#   - no window manager on a private display: Managed=N keeps Wine from waiting
#     for one (each hidden window would cost a 2 s time-out), Decorated=N makes
#     Wine draw caption and frame itself, so that screenshots show them;
#   - a crashing program ends instead of waiting in Wine's crash dialog;
#   - the dialogs' font 宋体 is drawn with AR PL UMing, a Ming face whose
#     Latin letters are as wide as 宋体's, so that the labels fit as they do on
#     Windows (Wine's own stand-in is wider and clips "mm" to "mr");
#   - Marlett for the caption buttons (Debian's Wine does not find it itself).
#
# A tty held with TIOCEXCL refuses further opens except to CAP_SYS_ADMIN. Run
# as root, Wine would have that capability and open a held port all the same,
# so the whole session runs without it.

session_xvfb_pid=""
session_server_pid=""
session_drop=()
declare -A session_socat_pid=() session_wine_fd=() session_far_fd=()

session_start() {
  local prefix=$1 state=$2 own_display=${3:-}
  session_state=$state
  mkdir -p "$state"
  export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$(id -u)" -eq 0 ] && setpriv --bounding-set -sys_admin true 2>/dev/null; then
    session_drop=(setpriv --bounding-set -sys_admin)
  fi

  # A session left behind by an interrupted run would keep its old display.
  wineserver -k 2>/dev/null || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    (unset DISPLAY; wine wineboot -i >"$state/wineboot.log" 2>&1; wineserver -w) ||
      { echo "wine-session: could not create the prefix $WINEPREFIX" >&2; return 1; }
  fi
  local marlett=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$marlett" ]; then cp -u "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"; fi

  if [ -n "$own_display" ] || [ -z "${DISPLAY:-}" ]; then
    session_start_xvfb || return 1
    own_display=1
  fi

  # The server stays in the foreground, in our session: a daemonised
  # wineserver leads a session of its own, takes the first COM port's pty as
  # its controlling terminal and, when that pty goes, gets SIGHUP. Clients wait
  # for a server that is still starting.
  "${session_drop[@]}" wineserver -f -p 2>"$state/wineserver.log" &
  session_server_pid=$!
  # Wine links COM ports to the machine's serial devices whenever its services
  # start: wineboot waits for that, so that our links made later stay.
  "${session_drop[@]}" wine wineboot >>"$state/wineboot.log" 2>&1 || true
  session_import_settings "$own_display"
}

session_join() {
  session_state=$1
}

session_start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$session_state/display" \
    >"$session_state/xvfb.log" 2>&1 &
  session_xvfb_pid=$!
  local _
  for _ in $(seq 100); do
    [ -s "$session_state/display" ] && break
    sleep 0.1
  done
  if [ ! -s "$session_state/display" ]; then
    echo "wine-session: Xvfb did not start" >&2
    cat "$session_state/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$session_state/display")"
}

# Imports a registry file written as UTF-8 (stdin); regedit reads non-ASCII
# names only from a UTF-16 file.
session_import_reg() {
  local reg=$session_state/import.reg
  { printf '\xff\xfe'; { echo 'Windows Registry Editor Version 5.00'; echo; cat; } |
      sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  "${session_drop[@]}" wine regedit /S "$(echo "Z:$reg" | tr / '\\')" >/dev/null 2>&1 ||
    { echo "wine-session: regedit could not import $reg" >&2; return 1; }
}

session_import_settings() {
  local managed='"Decorated"=-
"Managed"=-'
  if [ -n "$1" ]; then
    managed='"Decorated"="N"
"Managed"="N"'
  fi
  session_import_reg <<EOF
[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
$managed

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"宋体"="AR PL UMing CN"
EOF
}

session_list_ports() {
  local i=0 port values=""
  for port in "$@"; do
    values+=$(printf '"\\\\Device\\\\Serial%02d"="%s"' "$i" "$port")$'\n'
    i=$((i + 1))
  done
  # The key is volatile (Wine's mount manager makes it at start-up) and must
  # stay so: empty it rather than delete it.
  session_wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /va /f >/dev/null 2>&1 || true
  session_import_reg <<EOF
[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]
$values
EOF
}

session_wine() {
  "${session_drop[@]}" wine "$@"
}

session_port_open() {
  local n=$1 wine_end=$session_state/com$1.wine far_end=$session_state/com$1.far
  if [ -n "${session_socat_pid[$n]:-}" ]; then session_port_close "$n"; fi
  socat PTY,link="$wine_end",raw,echo=0 PTY,link="$far_end",raw,echo=0 \
    2>>"$session_state/socat-$n.log" &
  session_socat_pid[$n]=$!
  local _
  for _ in $(seq 50); do
    [ -e "$far_end" ] && [ -e "$wine_end" ] && break
    sleep 0.1
  done
  if ! [ -e "$far_end" ] || ! [ -e "$wine_end" ]; then
    echo "socat did not create the pty pair for COM$n" >&2
    return 1
  fi
  # Keep both ends open ourselves: when Wine or the cutter closes its end the
  # pair stays, as a real line does.
  exec {session_wine_fd[$n]}<>"$wine_end"
  exec {session_far_fd[$n]}<>"$far_end"
  ln -sfn "$wine_end" "$WINEPREFIX/dosdevices/com$n"
}

# The pair's relay process, for pausing the line.
session_port_relay() {
  echo "${session_socat_pid[$1]:-}"
}

session_port_close() {
  local n=$1
  if [ -n "${session_wine_fd[$n]:-}" ]; then exec {session_wine_fd[$n]}>&-; fi
  if [ -n "${session_far_fd[$n]:-}" ]; then exec {session_far_fd[$n]}>&-; fi
  if [ -n "${session_socat_pid[$n]:-}" ]; then
    kill -TERM "${session_socat_pid[$n]}" 2>/dev/null || true
    kill -CONT "${session_socat_pid[$n]}" 2>/dev/null || true
    wait "${session_socat_pid[$n]}" 2>/dev/null || true
  fi
  unset "session_socat_pid[$n]" "session_wine_fd[$n]" "session_far_fd[$n]"
  rm -f "$WINEPREFIX/dosdevices/com$n" "$session_state/com$n.wine" "$session_state/com$n.far"
}

session_end() {
  local n
  for n in "${!session_socat_pid[@]}"; do session_port_close "$n"; done
  wineserver -k 2>/dev/null || true
  if [ -n "$session_server_pid" ]; then wait "$session_server_pid" 2>/dev/null || true; fi
  if [ -n "$session_xvfb_pid" ]; then
    kill "$session_xvfb_pid" 2>/dev/null || true
    wait "$session_xvfb_pid" 2>/dev/null || true
  fi
  session_server_pid=""
  session_xvfb_pid=""
}
