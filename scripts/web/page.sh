#!/usr/bin/env bash
# Puts a program built with emscripten into the page folder: its script, its wasm and its
# data package, and web/index.html filled in with their names and sizes, so the page can
# show one loading bar for everything it downloads. The folder ends up holding nothing else.
#
#   bash scripts/web/page.sh BUILT_DIR NAME OUT_DIR
set -euo pipefail

built=$1
name=$2
out=$3
page=$(cd "$(dirname "$0")/../.." && pwd)/web/index.html

rm -rf "$out"
mkdir -p "$out"
files=()
for suffix in wasm data; do
  [ -f "$built/$name.$suffix" ] || continue
  cp "$built/$name.$suffix" "$out/"
  files+=("{\"name\": \"$name.$suffix\", \"size\": $(stat -c %s "$built/$name.$suffix")}")
done
cp "$built/$name.js" "$out/"
list=$(IFS=,; echo "[${files[*]}]")
sed -e "s|@FILES@|$list|" -e "s|@SCRIPT@|$name.js|" "$page" >"$out/index.html"
