#!/usr/bin/env bash
# Makes the README's pictures from the real game: installs the built game into a
# temporary prefix, plays it on a virtual display of its own with the mouse and the
# keyboard, and writes small PNGs to docs/screenshots/. Run it after building
# (scripts/run.sh or the build command in the README). Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

build="$(realpath "${1:-build}")"
out="$PWD/docs/screenshots"

# 640 x 480: the game's screen fills the display one to one, so the coordinates below are
# the game's own.
if [ -z "${VARK_SCREENSHOTS_ON_DISPLAY:-}" ]; then
  exec env VARK_SCREENSHOTS_ON_DISPLAY=1 bash "$(dirname "$0")/with-xvfb.sh" 640x480 bash "$0" "$build"
fi

tmp="$(mktemp -d)"
game_pid=""
cleanup() {
  if [ -n "$game_pid" ]; then kill "$game_pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
export HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/data" XDG_CONFIG_HOME="$tmp/home/config"
export SDL_AUDIODRIVER=dummy
unset VARK_WINDOWED
"$prefix/lib/vark/RIZAVORUV.exe" --defaults

screen_sum() { import -window root png:- 2>/dev/null | md5sum; }
# Waits (up to 30 s) until the screen differs from what it showed before the last action,
# then lets animations run for the given seconds.
wait_for_change() {
  for _ in $(seq 150); do
    [ "$(screen_sum)" != "$before" ] && break
    sleep 0.2
  done
  sleep "$1"
}
act() { before="$(screen_sum)"; "$@"; }
click() { act xdotool mousemove "$1" "$2" click 1; }
key() { act xdotool key "$1"; }
shoot() {
  import -window root "$tmp/shot.png"
  convert "$tmp/shot.png" -resize 480x360 -dither FloydSteinberg -colors 256 "PNG8:$out/$1.png"
  echo "screenshots: $1.png"
}

mkdir -p "$out"
before=""
"$prefix/bin/vark" >"$tmp/game.log" 2>&1 &
game_pid=$!
wait_for_change 2
shoot main-menu

click 556 325  # "Интро"
wait_for_change 5
shoot intro
click 320 240  # a click returns to the menu
wait_for_change 1

click 556 180  # "Старт": the new-profile panel
wait_for_change 1
shoot profile-panel
click 160 208  # the first face
click 340 407  # "Поехали!"
sleep 1
xdotool key --delay 100 BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 300 "Варкер"
key Return
wait_for_change 1
shoot episodes

click 151 172  # "АТАКА КАКОДЕМОНОВ"
wait_for_change 5
shoot shooter
key Escape
wait_for_change 0.5
click 244 264  # "ДА"
wait_for_change 1

click 151 300  # "ТЕЛЕПОРТЕРЫ"
wait_for_change 2
shoot memory
key Escape
wait_for_change 0.5
click 300 276  # "ДА"
wait_for_change 1

click 151 236  # "СЛЕГКА ПОVARKАЕМ"
wait_for_change 9
shoot quiz
