#!/usr/bin/env bash
# HPGL from other programs cut at the drawing's size (the port stream's
# bounding box, as cutter-sim measures it), and files without scaling cut as
# they always were. The files and how they were made: hpgl_files/README.md.
set -u
cutconv=$1
sim=$2
files=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
source "$(dirname "$0")/../common/tests/shell_checks.sh"
# Width and height of the cut in mm, from cutter-sim's bbox_mm=xmin,ymin,xmax,ymax.
size() {
  "$sim" "$1" 2>/dev/null | sed -n 's/.*bbox_mm=\([^ ]*\).*/\1/p' |
    awk -F, '{ printf "%.3f %.3f", $3 - $1, $4 - $2 }'
}
# name, file, expected width and height in mm, then cutconv's options
check_size() {
  local name=$1 file=$2 width=$3 height=$4
  shift 4
  "$cutconv" --hpgl --port "$@" "$files/$file" "$dir/$file.th0" 2>/dev/null
  local got
  got=$(size "$dir/$file.th0")
  check "$name cut at its size ($width x $height mm, got $got)" yes \
    "$(echo "$got" | awk -v w="$width" -v h="$height" \
      '{ d1 = $1 - w; d2 = $2 - h; print (d1 * d1 < 0.01 && d2 * d2 < 0.01 && NF == 2) ? "yes" : "no" }')"
}

check_size "plotutils (IP, SC, EA, CI, polygons)" plotutils.hpgl 137.14 131.02
check_size "fig2dev (RO90 turns it; IP, IW, SC in inches, AA)" fig2dev.hpgl 50.8 76.2
check_size "gnuplot pcl5 (encoded polylines)" gnuplot_pcl5.pcl 249.975 185.975
check_size "inkscape (many points per command)" inkscape.hpgl 93 45

# Without --hpgl, every file from another program is refused, with what was
# found, where, and the hint; nothing is written. A file in the exporter's
# own form is read as it always was.
for file in inkscape.hpgl plotutils.hpgl fig2dev.hpgl gnuplot.hpgl gnuplot_pcl5.pcl pstoedit.hpgl; do
  err=$("$cutconv" --port "$files/$file" "$dir/plain-$file.th0" 2>&1); rc=$?
  check "$file without --hpgl refused with the hint" "2 yes no" \
    "$rc $([[ $err == *"at byte "*"add --hpgl"* ]] && echo yes) $([ -e "$dir/plain-$file.th0" ] && echo yes || echo no)"
done
"$cutconv" --port "$files/inkscape_like.hpgl" "$dir/inkscape_like_plain.th0"
check "the exporter's form read without --hpgl" "$(cat "$files/inkscape_like_out.th0")" \
  "$(cat "$dir/inkscape_like_plain.th0")"
"$cutconv" --port --plain "$files/inkscape.hpgl" "$dir/inkscape_plain.th0"
check "--plain reads a file one point per command all the same" 0 $?

err=$("$cutconv" --hpgl --port "$files/gnuplot.hpgl" "$dir/refused.th0" 2>&1); rc=$?
check "SC without IP refused without the plotting area" 2 "$rc"
check "the refusal names SC" yes "$([[ $err == *SC* && $err == *--plot-area* ]] && echo yes)"
check "no stream from a refused file" no "$([ -e "$dir/refused.th0" ] && echo yes || echo no)"
"$cutconv" --hpgl --plot-area 250x-1 "$files/gnuplot.hpgl" "$dir/bad.th0" 2>/dev/null; rc=$?
check "a plotting area that is no size refused" 2 "$rc"
check_size "gnuplot hpgl with its plotting area" gnuplot.hpgl 249.975 187.475 --plot-area 250x187.5

# Polygons as writers emit them, cut as a plotter closes them: name, file,
# hand-computed cut length, width and height in mm (length within 0.5 %).
check_cut() {
  local got
  "$cutconv" --hpgl --port "$files/$2" "$dir/$2.th0" 2>/dev/null
  got=$("$sim" "$dir/$2.th0" 2>/dev/null | sed -n 's/.*cut_mm=\([^ ]*\) bbox_mm=\([^ ]*\).*/\1 \2/p')
  check "$1 ($3 mm, $4 x $5 mm; got $got)" yes "$(echo "$got" | awk -v l="$3" -v w="$4" -v h="$5" -F'[ ,]' \
    '{ d = ($1 - l) / l; dw = $4 - $2 - w; dh = $5 - $3 - h
       print (d * d < 0.000025 && dw * dw < 0.01 && dh * dh < 0.01) ? "yes" : "no" }')"
}
check_cut "two squares left open, closed each to its own first point" squares_open.hpgl 200 75 25
check_cut "two squares closed by their writer" squares_closed.hpgl 200 75 25
check_cut "a pen-up move in PM0 starts the square" square_after_pen_up.hpgl 100 25 25
check_cut "an outline with three holes, one closed by an arc, FP then EP" holes.hpgl 531.416 100 50

for name in pstoedit inkscape_like; do
  "$cutconv" --hpgl --port "$files/$name.hpgl" "$dir/$name.th0" 2>/dev/null
  check "$name converts to the same bytes" "$(cat "$files/${name}_out.th0")" "$(cat "$dir/$name.th0")"
done

[ "$fails" -eq 0 ]
