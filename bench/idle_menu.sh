#!/usr/bin/env bash
# CPU of the real game idling on its main menu for 20 s, under Xvfb (its own display),
# as a share of one core. Target: at most 0.3 %. Usage: idle_menu.sh GAME_DIR [seconds]
set -euo pipefail
game_dir=$(cd "$1" && pwd)
seconds=${2:-20}
if [ -z "${INSIDE_XVFB:-}" ]; then
  INSIDE_XVFB=1 exec bash "$(dirname "$0")/../scripts/with-xvfb.sh" 1280x1024 "$0" "$game_dir" "$seconds"
fi
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/../scripts/drive_game.sh"
begin_checks "$game_dir"
start_game
wait_until 60 on_menu || exit 1
# The menu's entrance animation ends within a second of its first picture.
sleep 1
ticks() { awk '{print $14 + $15}' "/proc/$game/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
  'BEGIN { printf "idle main menu, %d s: %.2f%% of one core (target <= 0.3%%)\n", s, t * 100 / hz / s }'
