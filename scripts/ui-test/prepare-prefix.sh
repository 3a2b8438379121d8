#!/usr/bin/env bash
# Creates the UI tests' Wine prefix ($WINEPREFIX) once and sets what a session
# without a window manager needs. Run without a display: the session it starts
# is ended before the tests start their own.
#
# usage: prepare-prefix.sh WINE_RUN
set -euo pipefail
wine_run=$1
stamp=$WINEPREFIX/.harvel-ui-prepared
[ -f "$stamp" ] && exit 0

# There is no window manager: Managed=N keeps Wine from waiting for one (each
# hidden window would cost a 2 s time-out), and Decorated=N makes Wine draw
# caption and frame itself, so that the screenshots show them.
# ShowCrashDialog=0: a crashing program ends instead of waiting for someone to
# close Wine's crash dialog.
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
cat >"$reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF

"$wine_run" regedit /S "$(echo "Z:$reg" | tr / '\\')" >/dev/null 2>&1
wineserver -w
# Debian's Wine does not find the Marlett font of fonts-wine by itself; without
# it the caption buttons show letters.
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
touch "$stamp"
