#!/usr/bin/env bash
# The Inkscape extension run as Inkscape runs it (the SVG on the command line, the
# dialog's choices as --name=value): Cut against cutter-sim on a socat pty pair, Preview,
# and its refusals.
set -u
python=$1 inkscape=$2 extension=$3 bin=$4 drawings=$5
# Where Inkscape keeps its own extensions, inkex among them.
inkscape_extensions=$("$inkscape" --system-data-directory)/extensions
dir=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$dir"' EXIT
source "$(dirname "$0")/../../common/tests/shell_checks.sh"
harvel() {  # harvel [--option=value ...] DRAWING.svg: the extension, as Inkscape starts it
  PATH=$bin:$PATH PYTHONPATH=$inkscape_extensions PYTHONDONTWRITEBYTECODE=1 \
    "$python" "$extension/harvel_cut.py" "$@"
}
cuttersim=$bin/cutter-sim
source "$(dirname "$0")/../../common/tests/virtual_cable.sh"
field() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" "$2"; }  # field NAME FILE: a value of a summary
size_is() {  # size_is SUMMARY WIDTHxHEIGHT: the cut box's size within 0.05 mm
  field bbox_mm "$1" | awk -F, -v size="$2" '{ split(size, s, "x"); w = $3 - $1 - s[1]; h = $4 - $2 - s[2]
    print (w * w <= 0.0025 && h * h <= 0.0025 ? "yes" : sprintf("%.3fx%.3f", $3 - $1, $4 - $2)) }'
}
# The preview layers of FILE.svg, given to a few lines of Python
layer() {
  PYTHONPATH=$inkscape_extensions "$python" -c "import inkex, sys
layers = [e for e in inkex.load_svg(sys.argv[1]).getroot() if e.get('id') == 'harvel-preview']
$2" "$1"
}
preview_label() { layer "$1" "print(len(layers), layers[0].label)"; }
preview_nodes() {  # the blade cut's points, to 0.1 mm, in order
  layer "$1" "blade = [p for p in layers[0] if p.label == 'Blade cut'][0]
print(' '.join('%.1f,%.1f' % (p.x, p.y) for p in blade.path.end_points))"
}

cable
for drawing in rectangle:100x50 circle:40x40 star:47.553x45.225; do
  name=${drawing%%:*} size=${drawing#*:}
  svg=$drawings/$name.svg

  # Inkscape's own HPGL export with its plot features off, sent by cutsend.
  "$python" "$inkscape_extensions/hpgl_output.py" --resolutionX=1016 --resolutionY=1016 \
    --toolOffset=0 --overcut=0 --precut=false "$svg" >"$dir/$name.hpgl"
  cutter "$name-export" --first-byte-ms 20000
  "$bin/cutsend" --quiet --hpgl --offset 0.25 --overcut 1 --port "$dir/port" "$dir/$name.hpgl"
  wait "$cutter_pid"

  cutter "$name" --first-byte-ms 20000
  harvel --mode=cut --port="$dir/port" "$svg" >"$dir/$name.out" 2>"$dir/$name.err"
  check "$name: cut" 0 $?
  wait "$cutter_pid"
  check "$name: the cutter received cutsend --hpgl of Inkscape's export" yes \
    "$(cmp -s "$dir/$name.raw" "$dir/$name-export.raw" && echo yes)"
  check "$name: cutsend's report passed on" yes "$(grep -q '^cutsend: ' "$dir/$name.err" && echo yes)"
  check "$name: the document is left as it was" 0 "$(stat -c %s "$dir/$name.out")"

  cutter "$name-plain" --first-byte-ms 20000
  harvel --mode=cut --port="$dir/port" --offset=0 --overcut=0 "$svg" >/dev/null 2>&1
  wait "$cutter_pid"
  check "$name: the cut box is the drawing's $size mm" yes "$(size_is "$dir/$name-plain.summary" "$size")"

  # Preview: the figures cutter-sim gives for what the cutter received.
  "$bin/cutconv" --hpgl --port "$dir/$name.hpgl" "$dir/$name-plain.th0"
  "$bin/cutter-sim" --blade 0.25 --drawing "$dir/$name-plain.th0" "$dir/$name.raw" \
    >"$dir/$name.blade" 2>/dev/null
  miss=$(field corner_miss_mm "$dir/$name.blade")
  [ "$miss" == none ] && corners="no sharp corner" || corners="corner miss $miss mm"
  harvel --mode=preview "$svg" >"$dir/$name-preview.svg"
  check "$name: preview" 0 $?
  check "$name: preview layer and its figures" \
    "1 Harvel preview: $corners, blade cut $(field blade_mm "$dir/$name.blade") mm" \
    "$(preview_label "$dir/$name-preview.svg")"
done

# The preview lies on the drawing: without offset the blade cuts the star itself, from
# its top tip on, point by point, on the page's own coordinates (the star's path).
harvel --mode=preview --offset=0 --overcut=0 "$drawings/star.svg" >"$dir/plain-preview.svg"
check "preview placed on the drawing" \
  "60.0,25.0 65.9,41.9 83.8,42.3 69.5,53.1 74.7,70.2 60.0,60.0 45.3,70.2 50.5,53.1 36.2,42.3 54.1,41.9 60.0,25.0" \
  "$(preview_nodes "$dir/plain-preview.svg")"

# A second preview replaces the first; a cut leaves the preview layer out.
harvel --mode=preview --offset=0.5 "$dir/star-preview.svg" >"$dir/again.svg"
check "a new preview replaces the old" yes \
  "$([[ $(preview_label "$dir/again.svg") == "1 Harvel preview: corner miss "* ]] && echo yes)"
cutter again --first-byte-ms 20000
harvel --mode=cut --port="$dir/port" "$dir/again.svg" >/dev/null 2>&1
wait "$cutter_pid"
check "the preview layer is not cut" yes "$(cmp -s "$dir/again.raw" "$dir/star.raw" && echo yes)"

# Text still text is refused before the port is touched; the selection alone is cut.
err=$(harvel --mode=cut --port="$dir/no-such-port" "$drawings/text.svg" 2>&1 >/dev/null); rc=$?
check "text refused" yes "$([ "$rc" -ne 0 ] && echo yes)"
check "text refusal counts and advises" yes \
  "$([[ $err == *"3 text objects are still text"*"Path > Object to Path"* ]] && echo yes)"
harvel --mode=preview --offset=0 --overcut=0 --selection_only=true --id=frame --id=picture \
  "$drawings/text.svg" >"$dir/frame.svg"
check "selection only: the frame without its text, and no bitmap" "1 Harvel preview: corner miss 0.000 mm, blade cut 320.000 mm" \
  "$(preview_label "$dir/frame.svg")"

# No port named: the ports cutsend finds, and nothing sent.
err=$(harvel --mode=cut --port= "$drawings/star.svg" 2>&1 >/dev/null); rc=$?
check "no port named: refused with cutsend's list" yes \
  "$([ "$rc" -ne 0 ] && [[ $err == "Name the cutter's serial port in the dialog; cutsend --list finds:"* ]] && echo yes)"

# A missing port: cutsend's own message and status.
err=$(harvel --mode=cut --port="$dir/no-such-port" "$drawings/star.svg" 2>&1 >/dev/null); rc=$?
check "missing port fails as cutsend does" 2 "$rc"
check "missing port: cutsend's message" yes "$([[ $err == *"cutsend: no serial port $dir/no-such-port"* ]] && echo yes)"

# Cancelled while the cutter holds the line: cutsend stops, says so, and is gone.
{
  echo '<svg xmlns="http://www.w3.org/2000/svg" width="400mm" height="400mm" viewBox="0 0 400 400"><path fill="none" stroke="#000" d="'
  for i in $(seq 0 2999); do echo "M $((i % 60 * 6)),$((i / 60 * 6)) h 4 v 4 h -4 z"; done
  echo '"/></svg>'
} >"$dir/many.svg"
cutter many --first-byte-ms 20000 --hold-after 20000 --hold-ms 8000 --quiet-ms 1500
PATH=$bin:$PATH PYTHONPATH=$inkscape_extensions PYTHONDONTWRITEBYTECODE=1 \
  "$python" "$extension/harvel_cut.py" \
  --mode=cut --port="$dir/port" "$dir/many.svg" >/dev/null 2>"$dir/many.err" &
extension_pid=$!  # the extension itself, as Inkscape sees it
for _ in $(seq 100); do grep -q 'cutsend: sending' "$dir/many.err" && break; sleep 0.1; done
sleep 1
kill -TERM "$extension_pid"
wait "$extension_pid"
check "cancel ends with cutsend's status" 143 $?
check "cancel: cutsend's stop report passed on" yes "$(grep -q 'stopped' "$dir/many.err" && echo yes)"
check "cancel: no sender left" "" "$(pgrep -f "cutsend .*$dir/port")"
wait "$cutter_pid"

echo "$fails failed"
[ "$fails" -eq 0 ]
