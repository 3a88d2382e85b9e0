#!/usr/bin/env bash
# The real game under Xvfb with SDL's X11 driver and no window manager: full screen and a
# window both show the whole picture and take clicks where the picture shows them.
#  1. Full screen at start, then Alt+Enter three times; after each switch the window has
#     the expected size and a click on the middle of "Старт" opens the face choice.
#  2. Windowed at start, then to the episode screen and back to a new main menu: the
#     screens ask for 640 x 480 and the window stays; the same checks.
# Usage: display_modes.sh GAME_DIR (run inside an X server, e.g. by scripts/with-xvfb.sh).
set -euo pipefail
game_dir=$1
work=$(mktemp -d)
game=""
trap 'kill "$game" 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data SDL_AUDIODRIVER=dummy
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

start_game() {
  (cd "$game_dir" && ./RIZAVORUV.exe --defaults && exec ./vark) > "$work/game.log" 2>&1 &
  game=$!
  window=$(xdotool search --sync --onlyvisible --name "Project: VARK" | head -1)
  sleep 3  # start-up screen, then the main menu
}

stop_game() {
  kill "$game" 2>/dev/null || true
  wait "$game" 2>/dev/null || true
}

# Window geometry as "x y w h".
geometry() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# A 640 x 480 picture point on the root window, through the window's aspect-kept scaling.
root_point() {
  local px=$1 py=$2 x y w h vw vh
  read -r x y w h < <(geometry)
  vw=$w; vh=$((w * 480 / 640))
  if [ "$vh" -gt "$h" ]; then vh=$h; vw=$((h * 640 / 480)); fi
  echo "$((x + (w - vw) / 2 + px * vw / 640)) $((y + (h - vh) / 2 + py * vh / 480))"
}

# Pixels that differ in the face panel's area between two screenshots.
panel_changes() {
  local a=$1 b=$2 x0 y0 x1 y1
  read -r x0 y0 < <(root_point 130 150)
  read -r x1 y1 < <(root_point 450 400)
  local crop="$((x1 - x0))x$((y1 - y0))+$x0+$y0"
  compare -metric AE -fuzz 10% <(convert "$a" -crop "$crop" png:-) <(convert "$b" -crop "$crop" png:-) null: 2>&1 || true
}

click_picture() {
  read -r x y < <(root_point "$1" "$2")
  xdotool mousemove "$x" "$y" click 1
}

check_start_opens_face_choice() {
  local what=$1
  import -window root "$work/before.png"
  click_picture 556 180  # the middle of "Старт"
  sleep 1
  import -window root "$work/after.png"
  local changed
  changed=$(panel_changes "$work/before.png" "$work/after.png")
  if [ "${changed%% *}" -lt 20000 ] 2>/dev/null; then fail "$what: no face choice after a click on Старт ($changed)"; fi
  click_picture 425 407  # "Отмена" closes it again
  sleep 1
}

check_size() {
  local what=$1 full=$2 x y w h
  read -r x y w h < <(geometry)
  if [ "$full" = 1 ]; then
    [ "$w" = "$screen_w" ] && [ "$h" = "$screen_h" ] || fail "$what: full screen window is ${w}x${h}"
  else
    [ "$w" -lt "$screen_w" ] && [ $((w * 3)) = $((h * 4)) ] || fail "$what: window is ${w}x${h}"
  fi
  echo "$what: window ${w}x${h} at $x,$y"
}

start_game
full=1
for toggle in 0 1 2 3; do
  what="full screen start, after $toggle Alt+Enter"
  check_size "$what" "$full"
  check_start_opens_face_choice "$what"
  [ "$toggle" = 3 ] && break
  xdotool key --window "$window" alt+Return
  full=$((1 - full))
  sleep 1
done
stop_game

VARK_WINDOWED=1 start_game
check_size "windowed start" 0
check_start_opens_face_choice "windowed start"
# A new profile leads to the episode screen; its exit brings a new main menu, which asks
# for 640 x 480 again.
click_picture 556 180  # "Старт"
sleep 1
click_picture 160 209  # the first face
click_picture 339 407  # "Поехали!"
sleep 1
click_picture 232 395  # "OK" under the suggested name
sleep 2
click_picture 152 436  # the episode screen's "ВЫХОД"
sleep 2
check_size "windowed, back from the episode screen" 0
check_start_opens_face_choice "windowed, back from the episode screen"
stop_game
[ "$failures" = 0 ] || exit 1
