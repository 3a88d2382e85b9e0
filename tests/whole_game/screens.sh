# shellcheck shell=bash
# What the whole-game checks share, sourced by them: waiting for a condition, starting the
# game from the copy of the game folder in "$work/game" (its window then in $window, its
# process in $game), and reading the 640 x 480 picture through the window's aspect-kept
# scaling: clicks on picture points and the screen it shows. The sourcing script defines
# $work and fail.
# shellcheck disable=SC2034,SC2154
game="" window=""

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

stop_game() {
  [ -n "$game" ] || return 0
  kill "$game" 2>/dev/null || true
  wait "$game" 2>/dev/null || true
  game=""
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
