#!/usr/bin/env bash
# The real game's window under three window managers (openbox, icewm and fluxbox), each
# started in turn on the X server this script runs in:
#  1. Alt+Enter three times there and back: the window comes back to exactly its place and
#     size, not one pixel off.
#  2. Maximised, it is maximised again after Alt+Enter twice.
#  3. Closed and started again, it opens where it was, and the place the settings keep
#     does not move with another round trip.
# Then, under openbox:
#  4. With the screensaver set to start after 2 s, it starts on the menu and stays off while
#     the intro plays (read through the X screensaver extension).
#  5. A window destroyed by another program ends the game quietly, with exit code 0.
# Usage: window_managers.sh GAME_DIR (inside an X server of its own, e.g. scripts/with-xvfb.sh).
set -euo pipefail
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/../../scripts/drive_game.sh"
begin_checks "$1"
wait_for() { wait_until 10 "$@" 2>/dev/null; }
# The manager named runs: its check window answers with its name (the name on the root
# window alone may be left by the manager before it).
manager_runs() { wmctrl -m 2>/dev/null | grep -qi "^Name: *$1"; }

state() { xprop -id "$window" _NET_WM_STATE 2>/dev/null; }
is_fullscreen() { state | grep -q "_NET_WM_STATE_FULLSCREEN"; }
is_maximised() { state | grep -q "_NET_WM_STATE_MAXIMIZED_VERT.*_NET_WM_STATE_MAXIMIZED_HORZ\|_NET_WM_STATE_MAXIMIZED_HORZ.*_NET_WM_STATE_MAXIMIZED_VERT"; }
is_windowed() { window_shows && ! is_fullscreen; }
is_at() { [ "$(geometry)" = "$1" ]; }
game_ended() { ! kill -0 "$game" 2>/dev/null; }
kept_place() { sed -n 's/^Window=//p' "$XDG_CONFIG_HOME/Brindle/settings.ini"; }

# Full screen and back, $2 times; the window must come back at place $1 each time.
round_trips() {
  local placed=$1 manager=$2 i
  for i in $(seq "$3"); do
    xdotool key --window "$window" alt+Return
    wait_for is_fullscreen || fail "$manager: Alt+Enter gave no full screen"
    settle
    xdotool key --window "$window" alt+Return
    wait_for is_windowed || fail "$manager: Alt+Enter gave no window again"
    # The manager may still move the window a moment after it is a window again.
    wait_for is_at "$placed" || fail "$manager: round trip $i brought the window back at $(geometry), not at $placed"
  done
}

close_game() {
  wmctrl -i -c "$window"
  wait_for game_ended || fail "$1: the game did not answer a close request"
  stop_game
}

# The X screensaver's state: off (it may start), on, or disabled (held off).
screensaver_state() {
  python3 - <<'EOF'
import ctypes
x11, xss = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXss.so.1")
class Info(ctypes.Structure):
    _fields_ = [("window", ctypes.c_ulong), ("state", ctypes.c_int), ("kind", ctypes.c_int),
                ("til_or_since", ctypes.c_ulong), ("idle", ctypes.c_ulong), ("event_mask", ctypes.c_ulong)]
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
xss.XScreenSaverQueryInfo.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Info)]
display = x11.XOpenDisplay(None)
info = Info()
xss.XScreenSaverQueryInfo(display, x11.XDefaultRootWindow(display), ctypes.byref(info))
print({0: "off", 1: "on", 2: "cycle", 3: "disabled"}.get(info.state, "unknown"))
EOF
}
screensaver_on() { [ "$(screensaver_state)" = on ]; }
screensaver_off() { [ "$(screensaver_state)" = off ]; }

for manager in openbox icewm fluxbox; do
  if [ "$manager" = openbox ]; then
    openbox --sm-disable >"$work/wm.log" 2>&1 &
  else
    "$manager" >"$work/wm.log" 2>&1 &
  fi
  wm=$!
  wait_for manager_runs "$manager" || fail "$manager did not start"
  rm -rf "$XDG_CONFIG_HOME"

  # 1. The round trip.
  VARK_WINDOWED=1 start_game
  wait_for is_windowed || fail "$manager: no window at a windowed start"
  sleep 1  # the manager places and frames the window
  placed=$(geometry)
  round_trips "$placed" "$manager" 3

  # 2. Maximised stays maximised.
  wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
  if wait_for is_maximised; then
    sleep 1
    round_trips "$(geometry)" "$manager" 1
    is_maximised || fail "$manager: a maximised window came back not maximised"
    wmctrl -i -r "$window" -b remove,maximized_vert,maximized_horz
    wait_for is_at "$placed" || fail "$manager: the window left maximised at $(geometry), not at $placed"
  else
    echo "$manager: cannot maximise here; step 2 skipped"
  fi

  # 3. The kept place does not drift.
  close_game "$manager"
  kept=$(kept_place)
  VARK_WINDOWED=1 start_game
  wait_for is_windowed || fail "$manager: no window at the second start"
  sleep 1
  [ "$(geometry)" = "$placed" ] || fail "$manager: the second start opened at $(geometry), not at $placed"
  round_trips "$placed" "$manager" 1
  close_game "$manager"
  [ "$(kept_place)" = "$kept" ] || fail "$manager: the kept place moved from $kept to $(kept_place)"
  echo "$manager: window at $placed, kept as $kept"

  if [ "$manager" = openbox ]; then
    # 4. The screensaver on the menu and in the intro (input wakes the screen).
    VARK_WINDOWED=1 start_game
    wait_until 30 on_menu || fail "no main menu"
    xset s 2 2
    wait_for screensaver_on || fail "the screensaver is $(screensaver_state) on the menu"
    click "the Интро button"
    sleep 1
    xset s reset
    holds_for 5 screensaver_off || fail "the screensaver started while the intro played"
    xset s off
    # 5. The window destroyed by another program.
    xdotool windowclose "$window"
    wait_for game_ended || fail "the game went on without its window"
    code=0
    wait "$game" || code=$?
    game=""
    [ "$code" = 0 ] || fail "the game ended with exit code $code when its window was destroyed"
    if grep -q "BadWindow" "$work/game.log"; then fail "the game reported an X error: $(grep BadWindow "$work/game.log")"; fi
  fi
  kill "$wm" 2>/dev/null || true
  wait "$wm" 2>/dev/null || true
  wm=""
done

finish_checks window_managers
