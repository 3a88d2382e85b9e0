#!/usr/bin/env bash
# The real game on a desktop with a window manager (openbox, started here on the X server
# this script runs in), from a copy of the game folder in a temporary folder:
#  1. Full screen at start; minimised, it stays minimised for 3 s.
#  2. Alt+Enter gives a window; resize requests change it, the picture follows, and a click
#     on "Старт" opens the face choice, also in the smallest window (320 x 240), where a
#     click placed by the framed window's position instead of its drawing area's would miss.
#  3. Alt+Enter twice: the window comes back to its place and size.
#  4. A close request while minimised ends the game; it remembers the window's place,
#     and a windowed start opens there.
#  5. The set-up program's title reaches the window system as UTF-8.
# Usage: desktop.sh GAME_DIR (inside an X server of its own, e.g. by scripts/with-xvfb.sh).
set -euo pipefail
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/../../scripts/drive_game.sh"
begin_checks "$1"
game_ended() { ! kill -0 "$game" 2>/dev/null; }
wait_for() { wait_until 10 "$@" 2>/dev/null; }

state() { xprop -id "$window" WM_STATE _NET_WM_STATE 2>/dev/null; }
is_iconic() { state | grep -q "window state: Iconic"; }
is_normal() { state | grep -q "window state: Normal"; }
is_fullscreen() { state | grep -q "_NET_WM_STATE_FULLSCREEN"; }
is_windowed() { is_normal && ! is_fullscreen; }
has_size() { [ "$(geometry | cut -d' ' -f3-4)" = "$1 $2" ]; }
is_at() { [ "$(geometry)" = "$1" ]; }
# The set-up program's window, polled: a search while other windows come and go can fail.
setup_window_shows() {
  window=$(xdotool search --onlyvisible --pid "$setup" 2>/dev/null | head -1)
  [ -n "$window" ]
}

# A window of the given size, whose "Старт" opens the face choice and "Отмена" closes it.
check_clicks_in_window() {
  xdotool windowsize "$window" "$1" "$2"
  wait_for has_size "$1" "$2" || fail "the window did not take the size $1 x $2: $(geometry)"
  wait_until 30 on_menu || fail "no main menu in a $1 x $2 window"
  if click_to "the Старт button" on_face_choice "no face choice after a click on Старт in a $1 x $2 window"; then
    click_to "the face choice's Отмена" on_menu "Отмена left the face choice open in a $1 x $2 window" || true
  fi
}

start_window_manager

# 1. Full screen, minimised.
start_game
wait_until 30 on_menu || fail "the main menu does not show"
wait_for is_fullscreen || fail "the game did not start full screen"
xdotool windowminimize "$window"
wait_for is_iconic || fail "the game could not be minimised"
holds_for 3 is_iconic || fail "the minimised full-screen game came back by itself"
xdotool windowactivate "$window"
wait_for is_normal || fail "the game did not come back when asked"

# 2. A window, resized; the picture follows and clicks land on it.
xdotool key --window "$window" alt+Return
wait_for is_windowed || fail "Alt+Enter left no window"
check_clicks_in_window 320 240
check_clicks_in_window 1000 600

# 3. Full screen and back: the same place and size.
placed=$(geometry)
xdotool key --window "$window" alt+Return
wait_for is_fullscreen || fail "Alt+Enter gave no full screen"
xdotool key --window "$window" alt+Return
wait_for is_windowed || fail "Alt+Enter gave no window again"
wait_for is_at "$placed" || fail "the window came back at $(geometry), not at $placed"

# 4. A close request while minimised; the place is remembered.
xdotool windowminimize "$window"
wait_for is_iconic || fail "the window could not be minimised"
wmctrl -i -c "$window"
wait_for game_ended || fail "the minimised game did not answer the close request"
grep -q "^Window=" "$XDG_CONFIG_HOME/Brindle/settings.ini" || fail "the window's place was not kept"
VARK_WINDOWED=1 start_game
wait_for is_windowed || fail "no window at a windowed start"
wait_for is_at "$placed" || fail "the next start opened at $(geometry), not at $placed"
stop_game

# 5. The set-up program's title.
(cd "$work/game" && exec ./RIZAVORUV.exe) >"$work/setup.log" 2>&1 &
setup=$!
wait_for setup_window_shows || fail "the set-up program shows no window"
title=$(xprop -id "$window" _NET_WM_NAME || true)
[ "$title" = '_NET_WM_NAME(UTF8_STRING) = "Project: VARK — настройка"' ] || fail "set-up title: $title"
kill "$setup"
finish_checks desktop
