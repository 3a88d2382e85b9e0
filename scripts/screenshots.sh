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

work="$(mktemp -d)"
trap 'stop_game; rm -rf "$work"' EXIT
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/drive_game.sh"
fail() {
  echo "screenshots: FAILED: $*" >&2
  exit 1
}

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
export SDL_AUDIODRIVER=dummy
unset VARK_WINDOWED
"$prefix/lib/vark/RIZAVORUV.exe" --defaults

# Each picture is taken once the screen reads as the one wanted; a moving scene first
# plays for the given seconds, so that the picture shows it under way.
shoot() {
  sleep "$2"
  import -window root "$work/shot.png"
  convert "$work/shot.png" -resize 480x360 -dither FloydSteinberg -colors 256 "PNG8:$out/$1.png"
  echo "screenshots: $1.png"
}
# shellcheck disable=SC2154 # read_screen sets them
on_other_screen() { read_screen && [ "$start_button" -lt 40 ] && [ "$episode_title" -lt 30 ]; }

mkdir -p "$out"
"$prefix/bin/vark" >"$work/game.log" 2>&1 &
game=$!
wait_until 60 on_menu || fail "no main menu"
shoot main-menu 1

click_to "the Интро button" on_other_screen "no intro after a click on Интро"
shoot intro 5
click_to "the middle" on_menu "no main menu after a click on the intro"

click_to "the Старт button" on_face_choice "no face choice after a click on Старт"
shoot profile-panel 0.5
choose_face_and_name Варкер
shoot episodes 0.5

click_to "the shooter's button" on_other_screen "no shooter round"
shoot shooter 5
xdotool key Escape
settle
click_to "the shooter's ДА to leave" on_episode_screen "no episode screen after leaving the shooter"

click_to "the memory game's button" on_other_screen "no memory game"
shoot memory 2
xdotool key Escape
settle
click_to "the memory game's ДА to leave" on_episode_screen "no episode screen after leaving the memory game"

click_to "the quiz's button" on_other_screen "no quiz"
shoot quiz 9
