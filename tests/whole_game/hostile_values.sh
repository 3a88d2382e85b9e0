#!/usr/bin/env bash
# The real game started with values beside the player's files that it must bound, on an X
# server of its own with a window manager (openbox):
#  1. A kept window place of 16384 x 16384, and a stale temporary file of an unfinished save
#     beside the settings: the window opens no larger than the screen, no larger place is
#     kept at the end, and the game's save at the end removes the leftover; the game's peak
#     memory is printed.
#  2. A settings file just under the reader's 1 MB: after the game and the set-up program's
#     save it is still at most 1 MB, with its values.
#  3. Controller mappings named by SDL_GameControllerDB that are a named pipe or a 16 MB
#     file, and a named pipe among the player's fonts: the menu still shows.
#  4. No home at all (HOME and the XDG folders unset): the game and the set-up program end,
#     and nothing is written anywhere.
# Usage: hostile_values.sh GAME_DIR (inside an X server of its own, e.g. scripts/with-xvfb.sh).
set -euo pipefail
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/../../scripts/drive_game.sh"
begin_checks "$1"
wait_for() { wait_until 10 "$@" 2>/dev/null; }
game_ended() { ! kill -0 "$game" 2>/dev/null; }
settings=$XDG_CONFIG_HOME/Brindle/settings.ini
screen_size=$(xdotool getdisplaygeometry)
read -r screen_w screen_h <<<"$screen_size"

close_game() {
  wmctrl -i -c "$window"
  wait_for game_ended || fail "the game did not answer a close request"
  stop_game
}
# The menu shows within SECONDS of a start; the time it took is printed.
menu_within() {
  local began=$SECONDS
  start_game
  if wait_until "$1" on_menu; then echo "$2: the menu showed after $((SECONDS - began)) s"; else fail "$2: no menu"; fi
  stop_game
}

start_window_manager

# 1. A huge kept place, and a leftover of a killed save.
mkdir -p "$(dirname "$settings")"
printf '[KELP]\nSafeMode=0\nWindow=0,0,16384,16384\n' >"$settings"
leftover=$(dirname "$settings")/.settings.ini.Ab3dEf6hIj9k.tmp
echo "left behind" >"$leftover"
touch -d '1 hour ago' "$leftover"
(cd "$work/game" && VARK_WINDOWED=1 exec ./vark) >>"$work/game.log" 2>&1 &
game=$!
wait_until 30 window_shows || fail "no window with a 16384 x 16384 place"
wait_until 30 on_menu || fail "no menu with a 16384 x 16384 place"
read -r _ _ w h < <(geometry)
if [ "$w" -gt "$screen_w" ] || [ "$h" -gt "$screen_h" ]; then fail "a ${w} x ${h} window on a $screen_size screen"; fi
echo "huge place: a ${w} x ${h} window, peak memory $(sed -n 's/^VmHWM:[[:space:]]*//p' "/proc/$game/status")"
close_game
IFS=, read -r _ _ kept_w kept_h < <(sed -n 's/^Window=//p' "$settings")
if [ "$kept_w" -gt "$screen_w" ] || [ "$kept_h" -gt "$screen_h" ]; then fail "the place kept is ${kept_w} x ${kept_h}"; fi
[ ! -e "$leftover" ] || fail "the leftover of a killed save is still there after the game saved"

# 2. A settings file near the reader's limit.
{
  printf '[KELP]\nSafeMode=0\nNoSfx=1\n'
  head -c $((1048576 - 40)) /dev/zero | tr '\0' ';'
  printf '\n'
} >"$settings"
(cd "$work/game" && VARK_WINDOWED=1 exec ./vark) >>"$work/game.log" 2>&1 &
game=$!
wait_until 30 window_shows || fail "no window with a settings file near the limit"
sleep 1
close_game
(cd "$work/game" && ./RIZAVORUV.exe --defaults) >>"$work/game.log" 2>&1 || true
size=$(stat -c %s "$settings")
[ "$size" -le 1048576 ] || fail "the settings file grew to $size bytes, past what is read"
grep -q "^NoSfx=1" "$settings" || fail "the settings near the limit lost their values"

# 3. Controller mappings and fonts that would block or take long.
rm -f "$settings"
mkfifo "$work/mappings"
SDL_GameControllerDB=$work/mappings menu_within 30 "mappings in a named pipe"
head -c $((16 << 20)) /dev/zero | tr '\0' '\n' >"$work/large.txt"
SDL_GameControllerDB=$work/large.txt menu_within 30 "16 MB of mappings"
mkdir -p "$XDG_DATA_HOME/fonts" "$HOME/.local/share/fonts"
mkfifo "$HOME/.local/share/fonts/evil.ttf"
menu_within 30 "a named pipe among the fonts"

# 4. No home: nothing written anywhere. The game says so and starts the set-up program,
# which says why it cannot save.
mkdir "$work/start"
before=$(find "$work" -path "$work/game.log" -prune -o -print | sort)
(cd "$work/start" && env -u HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME timeout 60 "$work/game/vark") \
  >>"$work/game.log" 2>&1 || true
if wait_until 30 window_shows; then
  setup=$(xdotool getwindowpid "$window")
  wait_until 10 on_setup || fail "the set-up program started without a home shows no window"
  import -window root "$work/no_home.png"
  [ -z "${VARK_SHOTS:-}" ] || cp "$work/no_home.png" "$VARK_SHOTS/"
  xdotool key --window "$window" Return  # "Сохранить и играть": refused
  sleep 1
  kill "$setup"
fi
(cd "$work/start" && env -u HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME "$work/game/RIZAVORUV.exe" --defaults) \
  >>"$work/game.log" 2>&1 && fail "the set-up program saved without a home"
after=$(find "$work" -path "$work/game.log" -prune -o -path "$work/no_home.png" -prune -o -print | sort)
[ "$before" = "$after" ] || fail "without a home, files appeared: $(comm -13 <(echo "$before") <(echo "$after") | tr '\n' ' ')"

finish_checks hostile_values
