#!/usr/bin/env bash
# The real game on a desktop with two monitors and a window manager (openbox, started here):
# the left one 1280 x 1024 at 0,0, the right one 1024 x 768 at 1280,0, as
# scripts/with-two-monitors.sh sets them up. The primary monitor is the right one.
#  1. A first start with the pointer on the right covers the right monitor; Alt+Enter gives
#     a window on it, and full screen again on it.
#  2. The window moved to the left monitor goes full screen there; a shooter round there
#     keeps the pointer on it, and the question to leave the round frees it; back to a window,
#     a close request ends the game.
#  3. Started again with the pointer on the right, the game covers the left monitor, where
#     its window was, and Alt+Enter gives the window there.
#  4. With the primary monitor on the left and no settings, a start with the pointer on the
#     right covers the right monitor.
# Each step waits for what it needs. The game plays from a copy of the game folder.
# Usage: two_monitors.sh GAME_DIR (inside scripts/with-two-monitors.sh).
set -euo pipefail
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/../../scripts/drive_game.sh"
begin_checks "$1"

left="0 0 1280 1024"
right="1280 0 1024 768"

# The window exactly covers a monitor ("x y w h").
covers() { [ "$(geometry)" = "$1" ]; }
# The window lies on a monitor, smaller than it.
inside() {
  local mx my mw mh x y w h
  read -r mx my mw mh <<<"$1"
  read -r x y w h < <(geometry)
  [ "$x" -ge "$mx" ] && [ "$y" -ge "$my" ] && [ $((x + w)) -le $((mx + mw)) ] && [ $((y + h)) -le $((my + mh)) ] &&
    [ "$w" -lt "$mw" ]
}
# Full screen on a monitor, or a window on it, after what the step did.
expect() {
  local how=$1 monitor=$2 what=$3
  wait_until 10 "$how" "$monitor" || fail "$what: the window is at $(geometry)"
}

# The pointer sent to the middle of the right monitor stays on the left one.
pointer_kept_left() {
  xdotool mousemove 1792 384
  [ "$(xdotool getmouselocation --shell | sed -n 's/^X=//p')" -lt 1280 ]
}
pointer_free() { ! pointer_kept_left; }

close_game() {
  wmctrl -i -c "$window"
  wait_until 10 bash -c "! kill -0 $game 2>/dev/null" || fail "the game did not end on a close request"
  game=""
}

xrandr --output DUMMY1 --primary
start_window_manager

# 1. The first start, on the monitor holding the pointer (the primary one).
xdotool mousemove 1792 384
start_game
expect covers "$right" "a first start with the pointer on the right"
xdotool key --window "$window" alt+Return
expect inside "$right" "Alt+Enter from full screen on the right"
xdotool key --window "$window" alt+Return
expect covers "$right" "Alt+Enter back to full screen on the right"

# 2. The window on the left: full screen there, and a shooter round keeps the pointer there.
xdotool key --window "$window" alt+Return
expect inside "$right" "Alt+Enter to a window again"
xdotool windowmove "$window" 200 200
expect inside "$left" "the window moved to the left monitor"
xdotool key --window "$window" alt+Return
expect covers "$left" "Alt+Enter with the window on the left"
wait_until 30 on_menu || fail "no main menu full screen on the left"
create_profile Tester || true
pointer_kept_left && fail "the pointer is kept on the left outside a shooter round"
click "the shooter's button"
wait_until 30 pointer_kept_left || fail "the pointer left the monitor of the full-screen shooter round"
xdotool key --window "$window" Escape
wait_until 10 pointer_free || fail "the pointer is still kept on the left under the question to leave"
click_to "the shooter's ДА to leave" on_episode_screen "no episode screen after ДА to the question to leave the round" || true
xdotool key --window "$window" alt+Return
expect inside "$left" "Alt+Enter from full screen on the left"
close_game

# 3. Started again with the pointer on the right: where the window was.
xdotool mousemove 1792 384
start_game
expect covers "$left" "a start with the window's place on the left and the pointer on the right"
xdotool key --window "$window" alt+Return
expect inside "$left" "Alt+Enter after a start full screen on the left"
close_game

# 4. No settings and the primary monitor on the left: the monitor holding the pointer.
rm -rf "$XDG_CONFIG_HOME"
xrandr --output DUMMY0 --primary
xdotool mousemove 1792 384
start_game
expect covers "$right" "a first start with the pointer on the right and the primary monitor on the left"
stop_game

finish_checks "two monitors"
