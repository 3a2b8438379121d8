#!/usr/bin/env bash
# Draws a drawing's blade cut without and with corner compensation side by
# side, each whole and magnified around one corner, as one SVG picture.
#
#   blade-comparison.sh BIN_DIR DRAWING.plt OFFSET_UNITS OVERCUT_UNITS X_MM Y_MM OUT.svg
#
# BIN_DIR holds cutconv and cutter-sim; X_MM, Y_MM is the magnified corner in
# the cutter's frame (as the summary's bbox_mm). The blade trails by the offset.
set -euo pipefail
[ $# -eq 7 ] || { sed -n '5p' "$0" >&2; exit 2; }
bin=$1 drawing=$2 offset=$3 overcut=$4 cx=$5 cy=$6 out=$7
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
blade=$(awk -v u="$offset" 'BEGIN { printf "%.3f", u / 40 }')

"$bin/cutconv" --port "$drawing" "$work/plain.th0"
"$bin/cutconv" --port --offset "${offset}pu" --overcut "${overcut}pu" "$drawing" "$work/comp.th0"
for run in plain comp; do
  "$bin/cutter-sim" --blade "$blade" --drawing "$work/plain.th0" --svg "$work/$run.svg" \
    "$work/$run.th0" >"$work/$run.summary" 2>/dev/null || true
done

# A panel: the picture's paths inside a nested <svg> placed at x,y, size w x h,
# showing the given viewBox.
panel() {  # panel RUN X Y W H VIEWBOX
  printf '<svg x="%s" y="%s" width="%s" height="%s" viewBox="%s">\n' "$2" "$3" "$4" "$5" "$6"
  grep '^<path' "$work/$1.svg"
  printf '<rect x="%s" y="%s" width="%s" height="%s" fill="none" stroke="#ccc" stroke-width="%s"/>\n' \
    $(echo "$6" | awk '{ print $1, $2, $3, $4, $3 / 400 }')
  echo '</svg>'
}
whole=$(sed -n 's/.*viewBox="\([^"]*\)".*/\1/p' "$work/plain.svg" | head -1)
zoom=$(awk -v x="$cx" -v y="$cy" 'BEGIN { printf "%.3f %.3f 6 6", x - 3, y - 3 }')
miss() { sed -n 's/.*corner_miss_mm=\([^ ]*\).*/\1/p' "$work/$1.summary"; }
{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<svg xmlns="http://www.w3.org/2000/svg" width="1000" height="1060" viewBox="0 0 1000 1060">'
  echo '<title>The blade cut without and with corner compensation: drawing green, tool axis dashed, blade bold</title>'
  echo '<rect width="1000" height="1060" fill="#fff"/>'
  printf '<text x="250" y="24" font-family="sans-serif" font-size="18" text-anchor="middle">without compensation: corner miss %s mm</text>\n' "$(miss plain)"
  printf '<text x="750" y="24" font-family="sans-serif" font-size="18" text-anchor="middle">offset %s, overcut %s units: corner miss %s mm</text>\n' "$offset" "$overcut" "$(miss comp)"
  panel plain 10 40 480 480 "$whole"
  panel comp 510 40 480 480 "$whole"
  printf '<text x="500" y="550" font-family="sans-serif" font-size="16" text-anchor="middle">around the corner at %s, %s mm, magnified</text>\n' "$cx" "$cy"
  panel plain 10 570 480 480 "$zoom"
  panel comp 510 570 480 480 "$zoom"
  echo '</svg>'
} >"$out"
