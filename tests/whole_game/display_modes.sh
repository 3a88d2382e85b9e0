#!/usr/bin/env bash
# The real game under Xvfb with SDL's X11 driver and no window manager: full screen and a
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
game_source=$1
start_x=${2:-556}
start_y=${3:-180}
work=$(mktemp -d)
game=""
window=""
failures=0

stop_game() {
  [ -n "$game" ] || return 0
  kill "$game" 2>/dev/null || true
  wait "$game" 2>/dev/null || true
  game=""
}
trap 'stop_game; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data SDL_AUDIODRIVER=dummy MAGICK_TEMPORARY_PATH=$work
cp -R "$game_source" "$work/game"
# Profiles a developer made playing from the build tree are not part of the game.
rm -f "$work/game"/*.pro

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs a check every 0.2 s until it holds (true) or `seconds` have passed (false).
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

x_server_answers() { xdotool getdisplaygeometry >/dev/null 2>&1; }
# Found by its class: the title is set as UTF-8 text, which xdotool's name search misses.
game_window_shows() {
  window=$(xdotool search --onlyvisible --class '^vark$' 2>/dev/null | head -1)
  [ -n "$window" ]
}

start_game() {
  (cd "$work/game" && ./RIZAVORUV.exe --defaults && exec ./vark) >>"$work/game.log" 2>&1 &
  game=$!
  wait_until 90 game_window_shows || { fail "no game window"; cat "$work/game.log"; exit 1; }
}

# Window geometry as "x y w h".
geometry() {
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$window")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# Where the window is now, for root_point.
measure_window() { read -r win_x win_y win_w win_h < <(geometry); }

# A 640 x 480 picture point on the root window, through the window's aspect-kept scaling
# (the window as last measured).
root_point() {
  local px=$1 py=$2 x=$win_x y=$win_y w=$win_w h=$win_h vw vh
  vw=$w
  vh=$((w * 480 / 640))
  if [ "$vh" -gt "$h" ]; then
    vh=$h
    vw=$((h * 640 / 480))
  fi
  echo "$((x + (w - vw) / 2 + px * vw / 640)) $((y + (h - vh) / 2 + py * vh / 480))"
}

click_picture() {
  local x y
  measure_window
  read -r x y < <(root_point "$1" "$2")
  xdotool mousemove "$x" "$y" click 1
}

# The percentage of pixels of a kind (light, yellow or red) in the picture box x0 y0 x1 y1
# of the last screenshot.
share() {
  local x0 y0 x1 y1
  read -r x0 y0 < <(root_point "$1" "$2")
  read -r x1 y1 < <(root_point "$3" "$4")
  convert "$work/screen.miff" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage -depth 8 txt:- |
    awk -F'[(,)]' -v kind="$5" '
      NR > 1 {
        r = $3; g = $4; b = $5; n++
        if (kind == "light") m += r > 150 && g > 150 && b > 150
        if (kind == "yellow") m += r > 200 && g > 180 && b < 90
        if (kind == "red") m += r > 110 && g < 60 && b < 60
      }
      END { print n ? int(100 * m / n) : 0 }'
}

# What the screen reads as, from a fresh screenshot: the title strip of the profile panel
# ("ВЫБЕРИ СЕБЯ !" or "ВВЕДИ ИМЯ ПРОФИЛЯ:") is yellow, the typed name under the face is
# large yellow letters, the "Старт" button is light, the episode screen's title is red.
read_screen() {
  measure_window
  import -window root "$work/screen.miff"
  panel_title=$(share 190 130 400 165 yellow)
  typed_name=$(share 255 292 330 318 yellow)
  start_button=$(share 500 160 610 200 light)
  episode_title=$(share 133 7 480 40 red)
}
on_menu() { read_screen && [ "$start_button" -ge 40 ] && [ "$panel_title" -lt 2 ] && [ "$episode_title" -lt 5 ]; }
on_face_choice() { read_screen && [ "$panel_title" -ge 5 ] && [ "$typed_name" -lt 20 ]; }
on_name_prompt() { read_screen && [ "$panel_title" -ge 5 ] && [ "$typed_name" -ge 25 ]; }
on_episode_screen() { read_screen && [ "$episode_title" -ge 30 ]; }

# Clicks a picture point, then waits for the screen the click should lead to.
click_to() {
  local x=$1 y=$2 screen=$3 what=$4
  click_picture "$x" "$y"
  wait_until 30 "$screen" || { fail "$what"; return 1; }
}

check_start_opens_face_choice() {
  local what=$1
  wait_until 30 on_menu || { fail "$what: the main menu does not show"; return; }
  click_to "$start_x" "$start_y" on_face_choice "$what: no face choice after a click on Старт" || return 0
  click_to 425 407 on_menu "$what: Отмена leaves the face choice open" || true
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
if click_to "$start_x" "$start_y" on_face_choice "windowed start: no face choice for a new profile"; then
  click_picture 160 209 # the first face
  click_to 339 407 on_name_prompt "no name prompt after a face and Поехали!" &&
    click_to 232 395 on_episode_screen "no episode screen after OK under the suggested name" &&
    click_to 152 436 on_menu "no main menu after the episode screen's ВЫХОД" &&
    check_size "windowed, back from the episode screen" 0 &&
    check_start_opens_face_choice "windowed, back from the episode screen"
fi
stop_game
[ "$failures" = 0 ] || exit 1
