#!/usr/bin/env bash
# Builds the web version: the libraries from Debian's own sources with Debian's
# emscripten, then the program and its page, into DIR (default build-web/). DIR holds only
# what the page loads; the fetched sources and built libraries are kept beside it in
# DIR-cache/, keyed by version, so a second run only rebuilds what changed.
#
# The program is for now the proof program (web/proof/), which shows every library and the
# page at work. The game takes its place as a CMake build of the top-level CMakeLists.txt
# through emcmake, pointed at the same library root, with the desktop-only parts switched
# off by options; its output goes through the same page step.
#
#   bash scripts/web.sh [DIR]
set -euo pipefail

# Debian packages the web build and its browser test need (beside install-deps.sh's).
WEB_PACKAGES=(emscripten dpkg-dev lame chromium python3-websocket)

here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath -m "${1:-build-web}")
cache=${out%/}-cache
prefix=$cache/root

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

check_packages() {
  local missing=() p
  for p in "${WEB_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "web: missing Debian packages: ${missing[*]} (apt-get install ${missing[*]})" >&2
    exit 1
  fi
}

# Debian's emscripten runs its JavaScript parts with the first node on the PATH; a newer
# node than Debian's does not look in Debian's module folder for acorn by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# A library is built again when its Debian version or the build recipes change.
build_libraries() {
  local entry name dev source_dir stamp recipes
  recipes=$(sha256sum "$here/web/library.sh" | cut -c1-12)
  mkdir -p "$cache/built" "$prefix"
  for entry in "${LIBRARIES[@]}"; do
    read -r name dev <<<"$entry"
    source_dir=$(bash "$here/web/sources.sh" "$cache" "$dev")
    stamp=$cache/built/$name@$(basename "$source_dir")@$recipes
    if [ -f "$stamp" ]; then continue; fi
    echo "web: building $name from $(basename "$source_dir")" >&2
    rm -f "$cache/built/$name@"*
    bash "$here/web/library.sh" "$name" "$source_dir" "$prefix" >"$cache/built/$name.log" 2>&1 || {
      echo "web: $name failed to build; the end of $cache/built/$name.log:" >&2
      tail -n 30 "$cache/built/$name.log" >&2
      exit 1
    }
    touch "$stamp"
  done
}

build_program() {
  bash "$here/web/proof.sh" "$prefix" "$cache/proof" >"$cache/proof.log" 2>&1 || {
    echo "web: the proof program failed to build; the end of $cache/proof.log:" >&2
    tail -n 30 "$cache/proof.log" >&2
    exit 1
  }
  bash "$here/web/page.sh" "$cache/proof" proof "$out"
}

check_packages
bash "$here/web/page.sh" --check "$out"
build_libraries
build_program
echo "web: the page is in $out (try: python3 -m http.server -d $out)" >&2
