#!/usr/bin/env bash
# CPU of the real game idling on its main menu for 20 s, under Xvfb (its own display),
# as a share of one core. Target: at most 0.3 %. Usage: idle_menu.sh GAME_DIR [seconds]
set -euo pipefail
game_dir=$(cd "$1" && pwd)
seconds=${2:-20}
if [ -z "${INSIDE_XVFB:-}" ]; then
  INSIDE_XVFB=1 exec bash "$(dirname "$0")/../scripts/with-xvfb.sh" 1280x1024 "$0" "$game_dir" "$seconds"
fi
work=$(mktemp -d)
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data SDL_AUDIODRIVER=dummy
cd "$game_dir"
./RIZAVORUV.exe --defaults
./vark > "$work/game.log" 2>&1 &
game=$!
trap 'kill "$game" 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 6  # start-up, then the menu settles
ticks() { awk '{print $14 + $15}' "/proc/$game/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
  'BEGIN { printf "idle main menu, %d s: %.2f%% of one core (target <= 0.3%%)\n", s, t * 100 / hz / s }'
