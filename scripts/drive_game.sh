# shellcheck shell=bash
# Driving the real game on an X display, for every script that plays it (the whole-game
# tests, the install and clean-root tests, the screenshots, the idle-menu benchmark):
# waiting for a condition, finding the game's window, clicking named points of its
# 640 x 480 picture through the window's scaling, and telling which screen it shows.
# The set-up program draws a 640 x 480 picture too, so its points work the same way.
# Sourced, not run. The sourcing script sets $work, a temporary folder of its own (the
# screen is read there, and start_game plays the copy of the game folder in $work/game).
# shellcheck disable=SC2034,SC2154 # $window, $game and $wm are for the sourcing script, $work is its
game="" window="" wm="" failures=0

# A failed check: counted, and the script goes on (a script that stops at the first one
# defines its own after sourcing this). finish_checks ends the script by the count.
fail() { echo "FAIL: $*" && failures=$((failures + 1)); }
finish_checks() { [ "$failures" = 0 ] && echo "$1: all checks passed" || exit 1; }
# Stops what the check started and removes $work; a failed run first shows what the game
# itself said.
end_checks() {
  local status=$?
  stop_game
  if [ -n "$wm" ]; then kill "$wm" 2>/dev/null || true; fi
  if [ "$status" != 0 ] && [ -s "$work/game.log" ]; then sed 's/^/game: /' "$work/game.log"; fi
  rm -rf "$work"
}

# Starts a whole-game check: a temporary folder $work, removed at the end, with a copy of
# the game folder GAME_DIR in $work/game, without profiles of anyone who played from the
# build tree (run from there the game keeps them beside itself), and a home in $work.
begin_checks() {
  work=$(mktemp -d)
  trap end_checks EXIT
  trap 'echo "FAIL: line $LINENO stopped the check"' ERR
  cp -R "$1" "$work/game"
  rm -f "$work/game"/*.pro
  export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8 MAGICK_TEMPORARY_PATH=$work
  export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
}

# The points of the picture, each at the middle of what it names.
declare -A POINT=(
  ["the Старт button"]="556 180"           # main menu
  ["the Интро button"]="556 325"           # main menu
  ["the first face"]="160 208"             # face choice
  ["the Поехали button"]="340 408"         # face choice
  ["the face choice's Отмена"]="426 408"   # face choice
  ["the name prompt's ОК"]="232 396"       # name prompt
  ["the shooter's button"]="152 172"       # episode screen: "АТАКА КАКОДЕМОНОВ"
  ["the quiz's button"]="152 236"          # episode screen: "СЛЕГКА ПОVARKАЕМ"
  ["the memory game's button"]="152 300"   # episode screen: "ТЕЛЕПОРТЕРЫ"
  ["the episode screen's ВЫХОД"]="152 436" # episode screen
  ["the shooter's ДА to leave"]="244 264"  # the question to leave a shooter round
  ["the memory game's ДА to leave"]="300 276"
  ["the middle"]="320 240"
  ["Сохранить и играть"]="164 392"         # the set-up program
)

# Runs a check every 0.2 s until it holds (true) or SECONDS have passed (false).
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# True when a check holds all through SECONDS (a thing that must not happen by itself).
holds_for() {
  local deadline=$((SECONDS + $1))
  shift
  while [ "$SECONDS" -lt "$deadline" ]; do
    "$@" || return 1
    sleep 0.2
  done
}

# A moment for an animation started by the last input to show, before a screenshot.
settle() { sleep 0.3; }

# A window manager's name on the root window (one that was killed leaves it there too).
window_manager_named() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }
# Starts openbox on this display; its process is then in $wm.
start_window_manager() {
  openbox --sm-disable >"$work/wm.log" 2>&1 &
  wm=$!
  wait_until 10 window_manager_named || { fail "openbox did not start"; exit 1; }
}

x_server_answers() { xdotool getdisplaygeometry >/dev/null 2>&1; }

# A visible window of the game or of its set-up program (both have the class vark), then
# in $window. Found by its class: the title is UTF-8 text, which xdotool's name search misses.
window_shows() {
  window=$(xdotool search --onlyvisible --class '^vark$' 2>/dev/null | head -n 1)
  [ -n "$window" ]
}

# The window's drawing area as "x y w h" in root coordinates. Under a window manager the
# window sits in a frame, so its own position is relative to that frame: the absolute
# position comes from xwininfo.
geometry() {
  xwininfo -id "$window" 2>/dev/null | awk -F: '
    /Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
    /Width/ { w = $2 } /Height/ { h = $2 }
    END { printf "%d %d %d %d\n", x, y, w, h }'
}

# A picture point, given as "X Y" or by its name in POINT, on the root window through the
# window's aspect-kept scaling.
root_point() {
  local px py x y w h vw vh
  read -r px py <<<"${POINT[$*]:-$*}"
  read -r x y w h < <(geometry)
  vw=$w
  vh=$((w * 480 / 640))
  if [ "$vh" -gt "$h" ]; then
    vh=$h
    vw=$((h * 640 / 480))
  fi
  echo "$((x + (w - vw) / 2 + px * vw / 640)) $((y + (h - vh) / 2 + py * vh / 480))"
}

# Clicks a picture point (a name in POINT, or X Y).
click() {
  local x y
  read -r x y < <(root_point "$@")
  xdotool mousemove "$x" "$y" click 1
}

# Clicks a picture point, then waits for the screen the click leads to; fails with WHAT.
click_to() {
  local point=$1 screen=$2 what=$3
  click "$point"
  wait_until 30 "$screen" || { fail "$what"; return 1; }
}

# Types text a key every 150 ms, slow enough for Cyrillic letters through a keymap change.
type_text() { xdotool type --delay 150 "$1"; }

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

screenshot() { window_shows && import -window root "$work/screen.miff"; }
# What the screen reads as, from a fresh screenshot: the title strip of the profile panel
# ("ВЫБЕРИ СЕБЯ !" or "ВВЕДИ ИМЯ ПРОФИЛЯ:") is yellow, the typed name under the face is
# large yellow letters, the "Старт" button is light, the episode screen's title is red.
read_screen() {
  screenshot || return 1
  panel_title=$(share 190 130 400 165 yellow)
  typed_name=$(share 255 292 330 318 yellow)
  start_button=$(share 500 160 610 200 light)
  episode_title=$(share 133 7 480 40 red)
}
on_menu() { read_screen && [ "$start_button" -ge 40 ] && [ "$panel_title" -lt 2 ] && [ "$episode_title" -lt 5 ]; }
on_face_choice() { read_screen && [ "$panel_title" -ge 5 ] && [ "$typed_name" -lt 20 ]; }
on_name_prompt() { read_screen && [ "$panel_title" -ge 5 ] && [ "$typed_name" -ge 25 ]; }
on_episode_screen() { read_screen && [ "$episode_title" -ge 30 ]; }
# The set-up program's title, "НАСТРОЙКА ИГРЫ", is yellow.
on_setup() { screenshot && [ "$(share 200 100 440 125 yellow)" -ge 10 ]; }

# From the main menu to the episode screen of a new profile: "Старт", then as below.
create_profile() {
  click_to "the Старт button" on_face_choice "no face choice after a click on Старт" &&
    choose_face_and_name "$1"
}
# From the face choice to the episode screen: the first face, "Поехали!", the name typed
# over the suggested one, Enter.
choose_face_and_name() {
  click "the first face"
  click_to "the Поехали button" on_name_prompt "no name prompt after a face and Поехали!" || return 1
  xdotool key --delay 100 BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  type_text "$1"
  xdotool key Return
  wait_until 30 on_episode_screen || { fail "no episode screen after the name $1"; return 1; }
}

# Starts the game from the copy of the game folder in $work/game, with default settings,
# and waits for its window; its process is then in $game.
start_game() {
  (cd "$work/game" && ./RIZAVORUV.exe --defaults && exec ./vark) >>"$work/game.log" 2>&1 &
  game=$!
  wait_until 90 window_shows || { fail "no game window"; cat "$work/game.log"; exit 1; }
}

stop_game() {
  [ -n "$game" ] || return 0
  kill "$game" 2>/dev/null || true
  wait "$game" 2>/dev/null || true
  game=""
}
