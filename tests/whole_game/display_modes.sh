#!/usr/bin/env bash
# The real game under Xvfb with SDL's X11 driver and no window manager (one that ran and
# was killed left its name on the root window, as a crashed one does): full screen and a
# window both show the whole picture and take clicks where the picture shows them.
#  1. Full screen at start, then Alt+Enter three times; after each switch the window has
#     the expected size and a click on the middle of "Старт" opens the face choice.
#  2. Windowed at start, then to the episode screen and back to a new main menu: the
#     screens ask for 640 x 480 and the window stays; the same checks.
# Each step waits for what it needs (the X server, the window, a screen that reads as the
# menu or the face choice), never for a fixed time. Screens are recognised by the share of
# pixels of one kind in a few boxes of the 640 x 480 picture. The game plays from a copy of
# the game folder, since run from a build tree it keeps its profiles beside itself.
# Usage: display_modes.sh GAME_DIR [X Y] (inside an X server, e.g. by scripts/with-xvfb.sh).
# X Y is where the click for "Старт" lands (its middle by default): any empty spot there
# must make the test fail.
set -euo pipefail
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/../../scripts/drive_game.sh"
begin_checks "$1"
shift
start=${*:-the Старт button}

check_start_opens_face_choice() {
  local what=$1
  wait_until 30 on_menu || { fail "$what: the main menu does not show"; return; }
  click_to "$start" on_face_choice "$what: no face choice after a click on Старт" || return 0
  click_to "the face choice's Отмена" on_menu "$what: Отмена leaves the face choice open" || true
}

size_is() {
  local full=$1 x y w h
  read -r x y w h < <(geometry)
  if [ "$full" = 1 ]; then
    [ "$w" = "$screen_w" ] && [ "$h" = "$screen_h" ]
  else
    [ "$w" -lt "$screen_w" ] && [ $((w * 3)) = $((h * 4)) ]
  fi
}

check_size() {
  local what=$1 full=$2 x y w h
  wait_until 10 size_is "$full" || true
  read -r x y w h < <(geometry)
  size_is "$full" || fail "$what: the window is ${w}x${h} (the screen ${screen_w}x${screen_h})"
  echo "$what: window ${w}x${h} at $x,$y"
}

wait_until 10 x_server_answers || { fail "the X server does not answer on $DISPLAY"; exit 1; }
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
# The server runs with -noreset (scripts/with-xvfb.sh), so the root keeps the name when the
# window manager goes.
start_window_manager
kill -9 "$wm"
wait "$wm" 2>/dev/null || true
wm=""
window_manager_named || fail "the killed window manager left no name behind: that case goes unchecked"

start_game
full=1
for toggle in 0 1 2 3; do
  what="full screen start, after $toggle Alt+Enter"
  check_size "$what" "$full"
  check_start_opens_face_choice "$what"
  [ "$toggle" = 3 ] && break
  xdotool key --window "$window" alt+Return
  full=$((1 - full))
done
stop_game

VARK_WINDOWED=1 start_game
check_size "windowed start" 0
check_start_opens_face_choice "windowed start"
# A new profile leads to the episode screen; its exit brings a new main menu, which asks
# for 640 x 480 again.
if click_to "$start" on_face_choice "windowed start: no face choice for a new profile"; then
  click "the first face"
  click_to "the Поехали button" on_name_prompt "no name prompt after a face and Поехали!" &&
    click_to "the name prompt's ОК" on_episode_screen "no episode screen after OK under the suggested name" &&
    click_to "the episode screen's ВЫХОД" on_menu "no main menu after the episode screen's ВЫХОД" &&
    check_size "windowed, back from the episode screen" 0 &&
    check_start_opens_face_choice "windowed, back from the episode screen"
fi
stop_game
finish_checks "display modes"
