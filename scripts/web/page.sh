#!/usr/bin/env bash
# Puts a program built with emscripten into the page folder: its script, its wasm and its
# data package, and web/index.html filled in with their names and sizes, so the page can
# show one loading bar for everything it downloads. The folder ends up holding nothing else.
#
#   bash scripts/web/page.sh BUILT_DIR NAME OUT_DIR
#   bash scripts/web/page.sh --check OUT_DIR     only says whether OUT_DIR may be used
set -euo pipefail

# The folder is emptied before the page goes in, so that files of an older build do not
# stay behind; a folder that holds anything but an earlier page is never touched.
check_out() {
  local out=$1
  [ -d "$out" ] && [ -n "$(ls -A "$out")" ] || return 0
  if ! grep -qs 'const FILES = ' "$out/index.html" || [ -n "$(find "$out" -mindepth 1 ! -type f)" ]; then
    echo "web: $out holds other things than an earlier web build; give an empty or new folder" >&2
    exit 1
  fi
}

if [ "$1" = --check ]; then
  check_out "$2"
  exit 0
fi
built=$1
name=$2
out=$3
page=$(cd "$(dirname "$0")/../.." && pwd)/web/index.html

check_out "$out"
mkdir -p "$out"
find "$out" -mindepth 1 -maxdepth 1 -type f -delete
files=()
for suffix in wasm data; do
  [ -f "$built/$name.$suffix" ] || continue
  cp "$built/$name.$suffix" "$out/"
  files+=("{\"name\": \"$name.$suffix\", \"size\": $(stat -c %s "$built/$name.$suffix")}")
done
cp "$built/$name.js" "$out/"
list=$(IFS=,; echo "[${files[*]}]")
sed -e "s|@FILES@|$list|" -e "s|@SCRIPT@|$name.js|" "$page" >"$out/index.html"

# What a static host serving gzip sends: each file and the whole page.
total=0
for file in "$out"/*; do
  size=$(gzip -9 -c "$file" | wc -c)
  total=$((total + size))
  printf 'web: %-12s %9d bytes, %9d gzipped\n' "$(basename "$file")" "$(stat -c %s "$file")" "$size" >&2
done
printf 'web: the page downloads %d bytes gzipped\n' "$total" >&2
