#!/usr/bin/env bash
# The Debian package: built by CPack into a scratch folder, its control fields
# and files checked, unpacked into a scratch root whose programs must answer
# --help and convert the worked square and whose Inkscape extension must preview a
# drawing; lintian must find no error.
set -u
cpack=$1 config=$2 version=$3 samples=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
source "$(dirname "$0")/../../tools/common/tests/shell_checks.sh"

if ! "$cpack" --config "$config" -B "$dir" >"$dir/cpack.log" 2>&1; then
  cat "$dir/cpack.log"
  echo "FAIL cpack"
  exit 1
fi
deb=$dir/harvel-tools_${version}_amd64.deb
check "package file name" yes "$([ -f "$deb" ] && echo yes)"

field() { dpkg-deb --field "$deb" "$1"; }
check "Package" harvel-tools "$(field Package)"
check "Version" "$version" "$(field Version)"
check "Architecture" amd64 "$(field Architecture)"
check "depends on libserialport" yes "$(field Depends | grep -q 'libserialport0' && echo yes)"
check "has a maintainer and description" yes \
  "$([ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] && echo yes)"
check "Inkscape suggested, not needed" yes \
  "$([[ $(field Suggests) == *inkscape* && $(field Depends) != *inkscape* && -z $(field Recommends) ]] && echo yes)"

expected="./usr/bin/cutconv
./usr/bin/cutsend
./usr/bin/cutter-sim
./usr/share/doc/harvel-tools/README.md.gz
./usr/share/doc/harvel-tools/changelog.gz
./usr/share/doc/harvel-tools/copyright
./usr/share/doc/harvel-tools/docs/hpgl.md.gz
./usr/share/doc/harvel-tools/docs/linux.md.gz
./usr/share/inkscape/extensions/harvel_cut.inx
./usr/share/inkscape/extensions/harvel_cut.py
./usr/share/inkscape/extensions/harvel_drawing.py
./usr/share/inkscape/extensions/harvel_preview.py
./usr/share/inkscape/extensions/harvel_tools.py
./usr/share/man/man1/cutconv.1.gz
./usr/share/man/man1/cutsend.1.gz
./usr/share/man/man1/cutter-sim.1.gz"
check "files" "$expected" "$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)"

root=$dir/root
dpkg-deb --extract "$deb" "$root"
for tool in cutconv cutsend cutter-sim; do
  "$root/usr/bin/$tool" --help >"$dir/$tool.help" 2>&1
  check "$tool --help" 0 $?
  check "$tool --version" "$tool $version" "$("$root/usr/bin/$tool" --version)"
  # The page as man shows it: each example of --help whole on a line of its
  # own, sections at the top level, no Windows program named.
  page=$(LC_ALL=C MANWIDTH=80 man -l "$root/usr/share/man/man1/$tool.1.gz" 2>/dev/null | col -b)
  commands='^[[:space:]]+(cutsend|cutconv|cutter-sim|socat) '
  check "man $tool: each example one command per line" \
    "$(sed -n '/^Examples:/,$p' "$dir/$tool.help" | grep -E "$commands" | sed 's/^[[:space:]]*//')" \
    "$(sed -n '/^EXAMPLES/,/^[^[:space:]]/p' <<<"$page" | grep -E "$commands" | sed 's/^[[:space:]]*//')"
  check "man $tool: sections at the top level" yes \
    "$(grep -q '^EXIT STATUS' <<<"$page" && echo yes)"
  check "man $tool: no Windows program named" no "$(grep -q Drovane <<<"$page" && echo yes || echo no)"
done
"$root/usr/bin/cutconv" --offset 0.5 --overcut 7.5 "$samples/square.plt" "$dir/square.plt"
check "worked square converted" yes \
  "$(cmp -s "$dir/square.plt" "$samples/square_out_offset20_overcut300.plt" && echo yes)"
"$root/usr/bin/cutconv" --port --offset 0.5 --overcut 7.5 "$samples/square.plt" "$dir/square.th0"
"$root/usr/bin/cutter-sim" "$dir/square.th0" >/dev/null 2>&1
check "the cutter takes the stream whole" 0 $?

# The extension lies where this machine's Inkscape looks for its own, and runs from there
# with the package's tools: a preview of a 20 x 10 mm rectangle.
extensions=$(inkscape --system-data-directory)/extensions
check "extension in Inkscape's system folder" yes \
  "$([ -f "$root$extensions/harvel_cut.inx" ] && echo yes)"
echo '<svg xmlns="http://www.w3.org/2000/svg" width="50mm" height="50mm" viewBox="0 0 50 50">
<rect x="5" y="5" width="20" height="10" fill="none" stroke="#000"/></svg>' >"$dir/rectangle.svg"
PATH=$root/usr/bin:$PATH PYTHONPATH=$extensions /usr/bin/python3 \
  "$root$extensions/harvel_cut.py" --mode=preview --offset=0 --overcut=0 "$dir/rectangle.svg" \
  >"$dir/preview.svg"
check "the installed extension previews" yes \
  "$(grep -q 'Harvel preview: corner miss 0.000 mm, blade cut 60.000 mm' "$dir/preview.svg" && echo yes)"

lintian --fail-on error "$deb"
check "lintian finds no error" 0 $?

[ "$fails" -eq 0 ] && echo "all passed" || echo "$fails failed"
[ "$fails" -eq 0 ]
