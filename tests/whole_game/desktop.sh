#!/usr/bin/env bash
# The real game on a desktop with a window manager (openbox, started here on the X server
# this script runs in), from a copy of the game folder in a temporary folder:
#  1. Full screen at start; minimised, it is still minimised 3 s later.
#  2. Alt+Enter gives a window; a resize request changes it, the picture follows and a
#     click on "Старт" lands on it.
#  3. Alt+Enter twice: the window comes back to its place and size.
#  4. A close request while minimised ends the game; it remembers the window's place,
#     and a windowed start opens there.
#  5. The set-up program's title reaches the window system as UTF-8.
# Usage: desktop.sh GAME_DIR (inside an X server of its own, e.g. by scripts/with-xvfb.sh).
set -euo pipefail
game_dir=$1
work=$(mktemp -d)
wm="" setup=""
finish() {
  local status=$?
  stop_game
  kill $setup $wm 2>/dev/null || true
  # A failed run shows what the game itself said, before its folder goes.
  if [ "$status" != 0 ] && [ -s "$work/game.log" ]; then sed 's/^/game: /' "$work/game.log"; fi
  rm -rf "$work"
}
trap finish EXIT
cp -r "$game_dir" "$work/game"
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data SDL_AUDIODRIVER=dummy LANG=C.UTF-8 MAGICK_TEMPORARY_PATH=$work
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# shellcheck source=tests/whole_game/screens.sh
source "$(dirname "$0")/screens.sh"
# shellcheck disable=SC2154 # $game, the game's process, is set by start_game there
game_ended() { ! kill -0 "$game" 2>/dev/null; }
wait_for() { wait_until 10 "$@" 2>/dev/null; }

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }
state() { xprop -id "$window" WM_STATE _NET_WM_STATE 2>/dev/null; }
is_iconic() { state | grep -q "window state: Iconic"; }
is_normal() { state | grep -q "window state: Normal"; }
is_fullscreen() { state | grep -q "_NET_WM_STATE_FULLSCREEN"; }
is_windowed() { is_normal && ! is_fullscreen; }
has_size() { [ "$(geometry | cut -d' ' -f3-4)" = "$1 $2" ]; }
# The set-up program's window, polled: a search while other windows come and go can fail.
setup_window_shows() {
  window=$(xdotool search --onlyvisible --pid "$setup" 2>/dev/null | head -1)
  [ -n "$window" ]
}

openbox --sm-disable >"$work/wm.log" 2>&1 &
wm=$!
wait_for wm_running || { echo "FAIL: openbox did not start"; exit 1; }

# Pixels that differ in the face panel's area (picture 130,150 to 450,400) between shots.
panel_changes() {
  local x0 y0 x1 y1
  measure_window
  read -r x0 y0 < <(root_point 130 150)
  read -r x1 y1 < <(root_point 450 400)
  local crop="$((x1 - x0))x$((y1 - y0))+$x0+$y0"
  convert "$1" -crop "$crop" +repage "$work/panel_before.png"
  convert "$2" -crop "$crop" +repage "$work/panel_after.png"
  # compare prints the count on stderr and exits 1 when the pictures differ.
  compare -metric AE -fuzz 10% "$work/panel_before.png" "$work/panel_after.png" null: 2>&1 |
    awk '{ printf "%d", $1 }' || true
}

# 1. Full screen, minimised.
start_game
wait_until 30 on_menu || fail "the main menu does not show"
wait_for is_fullscreen || fail "the game did not start full screen"
xdotool windowminimize "$window"
wait_for is_iconic || fail "the game could not be minimised"
sleep 3
is_iconic || fail "the minimised full-screen game came back by itself"
xdotool windowactivate "$window"
wait_for is_normal || fail "the game did not come back when asked"

# 2. A window, resized; the picture follows and clicks land on it.
xdotool key --window "$window" alt+Return
wait_for is_windowed || fail "Alt+Enter left no window"
xdotool windowsize "$window" 1000 600
wait_for has_size 1000 600 || fail "the window did not take the size asked: $(geometry)"
sleep 1
import -window root "$work/before.png"
click_picture 556 180  # the middle of "Старт"
sleep 1
import -window root "$work/after.png"
changed=$(panel_changes "$work/before.png" "$work/after.png")
echo "a click on Старт: $changed pixels of the panel changed"
if ! [ "$changed" -ge 20000 ] 2>/dev/null; then fail "no face choice after a click on Старт ($changed pixels changed)"; fi
click_picture 425 407  # "Отмена"
sleep 0.5

# 3. Full screen and back: the same place and size.
placed=$(geometry)
xdotool key --window "$window" alt+Return
wait_for is_fullscreen || fail "Alt+Enter gave no full screen"
sleep 0.5
xdotool key --window "$window" alt+Return
wait_for is_windowed || fail "Alt+Enter gave no window again"
sleep 0.5
[ "$(geometry)" = "$placed" ] || fail "the window came back at $(geometry), not at $placed"

# 4. A close request while minimised; the place is remembered.
xdotool windowminimize "$window"
wait_for is_iconic || fail "the window could not be minimised"
wmctrl -i -c "$window"
wait_for game_ended || fail "the minimised game did not answer the close request"
grep -q "^Window=" "$XDG_CONFIG_HOME/Brindle/settings.ini" || fail "the window's place was not kept"
VARK_WINDOWED=1 start_game
wait_for is_windowed || fail "no window at a windowed start"
[ "$(geometry)" = "$placed" ] || fail "the next start opened at $(geometry), not at $placed"
stop_game

# 5. The set-up program's title.
(cd "$work/game" && exec ./RIZAVORUV.exe) >"$work/setup.log" 2>&1 &
setup=$!
wait_for setup_window_shows || fail "the set-up program shows no window"
title=$(xprop -id "$window" _NET_WM_NAME || true)
[ "$title" = '_NET_WM_NAME(UTF8_STRING) = "Project: VARK — настройка"' ] || fail "set-up title: $title"

[ "$failures" = 0 ] || exit 1
echo "desktop: all checks passed"
