#!/usr/bin/env bash
# The one list of Debian packages the project needs, in groups. Installs whatever is
# missing of the groups named (all of them when none is), without recommended packages
# and without a question; uses sudo when not run as root. Safe to run again.
#   scripts/install-deps.sh [GROUP...]
set -euo pipefail

declare -A PACKAGES=(
  # Building the game and playing it (scripts/run.sh): compilers, SDL, fonts, the
  # soundfont, and the libraries of the content generator.
  [build]="build-essential cmake pkg-config
    libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsdl2-ttf-dev
    libfontconfig-dev libx11-dev libxss-dev libxrandr-dev fonts-dejavu-core fonts-paratype
    libfluidsynth-dev timgm6mb-soundfont libmpg123-dev
    libcairo2-dev libgif-dev libpng-dev libmp3lame-dev"
  # The tests (scripts/test.sh): unit tests, the fuzzers, the real game on virtual
  # displays with and without a window manager, the installed game's desktop entry and
  # AppStream data, and the scripts' own check.
  [tests]="libgtest-dev googletest clang libclang-rt-dev
    xvfb xauth xdotool imagemagick openbox icewm fluxbox wmctrl x11-utils shellcheck
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-xkb-utils
    desktop-file-utils appstream"
  # The Debian packages (scripts/package.sh) and their checks: lintian, the man page, and
  # the fresh Debian root they are installed on (scripts/clean_root_test.sh).
  [packaging]="debootstrap lintian man-db"
  # The web build (scripts/web.sh: Debian's emscripten, the libraries' Debian sources,
  # LAME for the tunes) and its browser test (Debian's Chromium, driven from Python).
  [web]="emscripten dpkg-dev lame chromium python3-websocket"
)
ORDER=(build tests packaging web)

chosen=("$@")
[ ${#chosen[@]} -gt 0 ] || chosen=("${ORDER[@]}")
wanted=()
for group in "${chosen[@]}"; do
  if [ -z "${PACKAGES[$group]+set}" ]; then
    echo "install-deps: no group \"$group\" (the groups: ${ORDER[*]})" >&2
    exit 2
  fi
  read -r -d '' -a packages <<<"${PACKAGES[$group]}" || true
  wanted+=("${packages[@]}")
done

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages of ${chosen[*]} present"
  exit 0
fi

# The setting must reach apt through sudo, which drops the caller's environment.
as_root=(env DEBIAN_FRONTEND=noninteractive)
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo "${as_root[@]}"); fi
echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
