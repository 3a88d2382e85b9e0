#!/usr/bin/env bash
# The one list of Debian packages the game, its tools and its tests need.
# Installs whatever is missing; safe to run again.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsdl2-ttf-dev
  libfontconfig-dev libx11-dev libxss-dev libxrandr-dev fonts-dejavu-core fonts-paratype
  fluidsynth libfluidsynth-dev timgm6mb-soundfont libmpg123-dev
  libcairo2-dev libgif-dev libpng-dev libmp3lame-dev
  libgtest-dev googletest
  clang libclang-rt-dev
  xvfb xauth xdotool imagemagick openbox icewm fluxbox wmctrl x11-utils shellcheck
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-xkb-utils
  desktop-file-utils appstream
  debootstrap lintian man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
