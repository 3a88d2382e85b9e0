#!/usr/bin/env bash
# Builds the web version of the whole game into DIR (default build-web/): the libraries from
# Debian's own sources with Debian's emscripten, the game's data with a native build (its
# content tool, and webtunes for the tunes), then the game itself from the same sources
# through emcmake (cmake/Web.cmake), and its page. DIR holds only what the page loads; the
# native build, the rendered tunes and the game's own build are kept beside it in
# DIR-cache/. The fetched sources and built libraries depend only on their Debian versions
# and recipes, so they are kept for every clone of the project on the machine, keyed by
# those, in VARK_WEB_LIBRARIES (default ~/.cache/vark-web): a new clone does not spend ten
# minutes building them again. VARK_NATIVE_BUILD names a native build folder to take the
# data from instead of building one (the tests' own).
#
#   bash scripts/web.sh [DIR]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
out=$(realpath -m "${1:-build-web}")
cache=${out%/}-cache
libraries=$(realpath -m "${VARK_WEB_LIBRARIES:-${XDG_CACHE_HOME:-$HOME/.cache}/vark-web}")
prefix=$libraries/root

# Libraries in build order (each after those it needs), with the -dev package whose
# version the desktop build uses.
LIBRARIES=(
  "zlib zlib1g-dev"
  "libpng libpng-dev"
  "giflib libgif-dev"
  "libjpeg-turbo libjpeg62-turbo-dev"
  "freetype libfreetype-dev"
  "mpg123 libmpg123-dev"
  "sdl2 libsdl2-dev"
  "sdl2-ttf libsdl2-ttf-dev"
  "sdl2-image libsdl2-image-dev"
  "sdl2-mixer libsdl2-mixer-dev"
)

# Debian's emscripten runs its JavaScript parts with the first node on the PATH; a newer
# node than Debian's does not look in Debian's module folder for acorn by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# emscripten's own temporary files stay beside the build, never in /tmp.
mkdir -p "$cache/tmp"
export TMPDIR=$cache/tmp

# Runs a step with its output in a log, and shows the log's end when it fails.
logged() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || {
    echo "web: $* failed; the end of $log:" >&2
    tail -n 30 "$log" >&2
    exit 1
  }
}

# A library is built again when its Debian version or the build recipes change.
build_libraries() {
  local entry name dev source_dir stamp recipes
  recipes=$(sha256sum "$here/web/library.sh" | cut -c1-12)
  mkdir -p "$libraries/built" "$prefix"
  for entry in "${LIBRARIES[@]}"; do
    read -r name dev <<<"$entry"
    source_dir=$(bash "$here/web/sources.sh" "$libraries" "$dev")
    stamp=$libraries/built/$name@$(basename "$source_dir")@$recipes
    if [ -f "$stamp" ]; then continue; fi
    echo "web: building $name from $(basename "$source_dir")" >&2
    rm -f "$libraries/built/$name@"*
    logged "$libraries/built/$name.log" bash "$here/web/library.sh" "$name" "$source_dir" "$prefix"
    touch "$stamp"
  done
}

# The content tool and webtunes are native programs.
build_data() {
  local native=${VARK_NATIVE_BUILD:-$cache/native}
  if [ -z "${VARK_NATIVE_BUILD:-}" ]; then
    echo "web: building the game's data" >&2
    logged "$cache/native.log" cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release -DVARK_TESTS=OFF -DVARK_BENCH=OFF
    logged "$cache/native.log" cmake --build "$native" -j2 --target gamedata webtunes
  fi
  logged "$cache/data.log" bash "$here/web/data.sh" "$native" "$cache/tunes" "$cache/data"
}

build_program() {
  echo "web: building the game for the browser" >&2
  logged "$cache/game.log" emcmake cmake -S "$root" -B "$cache/game" -DCMAKE_BUILD_TYPE=Release \
    -DVARK_WEB_ROOT="$prefix" -DVARK_WEB_DATA="$cache/data" -DVARK_TESTS=OFF -DVARK_BENCH=OFF
  logged "$cache/game.log" cmake --build "$cache/game" -j2 --target vark_web
  bash "$here/web/page.sh" "$cache/game" vark "$out"
}

# The web group of the one package list: emscripten, LAME, Chromium and the rest.
bash "$here/install-deps.sh" web >&2
bash "$here/web/page.sh" --check "$out"
build_libraries
build_data
build_program
echo "web: the page is in $out (try: python3 -m http.server -d $out)" >&2
