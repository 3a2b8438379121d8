#!/usr/bin/env bash
# A saved file is on disk before it takes its name, and the name is on disk
# once its folder is: cutconv, watched with strace, flushes the temporary file
# before the rename and the folder after it.
set -u
cutconv=$1
samples=$2
command -v strace >/dev/null || { echo "FAIL strace is missing (scripts/install-deps.sh)"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/out"
out=$(cd "$dir/out" && pwd -P)

# -y names each descriptor's file: fsync(3</…/saved.plt.partial>). The leak
# checker of a sanitized build cannot run under ptrace; other tests run it.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -y -qq -o "$dir/trace" -e trace=fsync,rename,renameat,renameat2 \
  "$cutconv" "$samples/square.plt" "$out/saved.plt" || { echo "FAIL cutconv under strace"; exit 1; }

line_of() { grep -n -F "$1" "$dir/trace" | head -1 | cut -d: -f1; }
file_sync=$(line_of "<$out/saved.plt.partial>)")
renamed=$(grep -n 'rename' "$dir/trace" | head -1 | cut -d: -f1)
folder_sync=$(line_of "<$out>)")
echo "fsync of the file at line ${file_sync:-none}, rename ${renamed:-none}, fsync of the folder ${folder_sync:-none}"
if [ -n "$file_sync" ] && [ -n "$renamed" ] && [ -n "$folder_sync" ] &&
   [ "$file_sync" -lt "$renamed" ] && [ "$renamed" -lt "$folder_sync" ]; then
  echo "ok   file flushed before its rename, folder after"
  exit 0
fi
echo "FAIL expected fsync(file) < rename < fsync(folder):"
cat "$dir/trace"
exit 1
