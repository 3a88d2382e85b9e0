#!/usr/bin/env bash
# The real game full screen on a monitor that is switched off under it, on two monitors
# (scripts/with-two-monitors.sh: 1280 x 1024 at 0,0 on the left, 1024 x 768 at 1280,0 on
# the right), under openbox and under icewm in turn:
#  1. Started with the pointer on the right, the game covers the right monitor.
#  2. The right monitor switched off (xrandr): the game is full screen on the left one.
#  3. Alt+Enter gives a window that lies on the left monitor.
# The right monitor is switched on again before the next manager.
# Usage: monitor_lost.sh GAME_DIR (inside scripts/with-two-monitors.sh).
set -euo pipefail
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/../../scripts/drive_game.sh"
begin_checks "$1"
wait_for() { wait_until 10 "$@" 2>/dev/null; }
# The manager named runs: its check window answers with its name (the name on the root
# window alone may be left by the manager before it).
manager_runs() { wmctrl -m 2>/dev/null | grep -qi "^Name: *$1"; }

left="0 0 1280 1024"
right="1280 0 1024 768"
covers() { [ "$(geometry)" = "$1" ]; }
is_fullscreen() { xprop -id "$window" _NET_WM_STATE 2>/dev/null | grep -q "_NET_WM_STATE_FULLSCREEN"; }
# A window, not full screen, wholly on the left monitor.
window_on_left() {
  local x y w h
  read -r x y w h < <(geometry)
  ! is_fullscreen && [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 1024 ]
}

for manager in openbox icewm; do
  if [ "$manager" = openbox ]; then openbox --sm-disable >"$work/wm.log" 2>&1 & else icewm >"$work/wm.log" 2>&1 & fi
  wm=$!
  wait_for manager_runs "$manager" || fail "$manager did not start"
  rm -rf "$XDG_CONFIG_HOME"
  xdotool mousemove 1792 384
  start_game
  wait_for covers "$right" || fail "$manager: the game does not cover the right monitor: $(geometry)"
  xrandr --output DUMMY1 --off
  wait_for covers "$left" || fail "$manager: with the right monitor off the game is at $(geometry), not on the left one"
  xdotool key --window "$window" alt+Return
  wait_for window_on_left || fail "$manager: Alt+Enter gave a window at $(geometry), not on the left monitor"
  stop_game
  kill "$wm" 2>/dev/null || true
  wait "$wm" 2>/dev/null || true
  wm=""
  xrandr --output DUMMY1 --mode 1024x768 --pos 1280x0
  xrandr --query >/dev/null
done

finish_checks monitor_lost
