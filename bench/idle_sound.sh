#!/usr/bin/env bash
# Processor use and wake-ups of each thread of the real game idling on its main menu, as a
# share of one core, in three cases: no sound device (sound off), the menu's tune ended
# (a one-second tune stands in for it), and the menu's tune playing. Run on SDL's dummy
# driver, and on a PulseAudio server when one can be started here (else that part is
# skipped). Target: at most 0.1 % of a core in all with nothing playing.
# Usage: idle_sound.sh GAME_DIR [seconds]
set -euo pipefail
game_dir=$(cd "$1" && pwd)
seconds=${2:-30}
if [ -z "${INSIDE_XVFB:-}" ]; then
  INSIDE_XVFB=1 exec bash "$(dirname "$0")/../scripts/with-xvfb.sh" 1280x1024 "$0" "$game_dir" "$seconds"
fi
work=$(mktemp -d)
game=
cleanup() {
  if [ -n "$game" ]; then kill "$game" 2>/dev/null || true; fi
  if [ -n "${PULSE_SERVER_STARTED:-}" ]; then pulseaudio --kill 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# A copy of the game folder whose menu tune is one organ note of a second (the programs
# are copied: the game enters the folder its program is in).
short=$work/short
mkdir -p "$short/Sfx"
for entry in "$game_dir"/*; do
  case $(basename "$entry") in
    Sfx) ;;
    vark | *.exe) cp "$entry" "$short/" ;;
    *) ln -s "$entry" "$short/" ;;
  esac
done
for entry in "$game_dir"/Sfx/*; do ln -s "$entry" "$short/Sfx/"; done
rm "$short/Sfx/Track1.mid"
printf 'MThd\0\0\0\6\0\0\0\1\1\340MTrk\0\0\0\20\0\300\23\0\220\74\144\207\100\200\74\0\0\377\57\0' > "$short/Sfx/Track1.mid"

# Per thread: name, processor ticks and voluntary wake-ups, one line each.
snapshot() {
  for task in /proc/"$game"/task/*; do
    printf '%s %s %s\n' "$(basename "$task")" "$(awk '{print $14 + $15}' "$task/stat")" \
      "$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status")"
  done
}

measure() { # CASE FOLDER SETTLE_SECONDS
  (cd "$2" && { ./RIZAVORUV.exe --defaults > /dev/null 2>&1 || true; })
  (cd "$2" && exec ./vark > "$work/game.log" 2>&1) &
  game=$!
  sleep "$3"
  snapshot > "$work/before"
  sleep "$seconds"
  snapshot > "$work/after"
  hz=$(getconf CLK_TCK)
  join "$work/before" "$work/after" | while read -r tid ticks0 wakes0 ticks1 wakes1; do
    printf '  %-16s %6.2f%% %7.1f wake-ups/s\n' "$(cat "/proc/$game/task/$tid/comm" 2>/dev/null || echo gone)" \
      "$(echo "($ticks1 - $ticks0) * 100 / $hz / $seconds" | bc -l)" "$(echo "($wakes1 - $wakes0) / $seconds" | bc -l)"
  done > "$work/threads"
  total=$(awk '{sum += $2} END {printf "%.2f", sum}' "$work/threads")
  echo "$1: $total% of one core in all"
  cat "$work/threads"
  kill "$game"
  wait "$game" 2>/dev/null || true
  game=
}

run_cases() {
  echo "== SDL_AUDIODRIVER=$SDL_AUDIODRIVER, $seconds s each =="
  SDL_AUDIODRIVER=vark-none measure "sound off (no device)" "$game_dir" 6
  measure "sound on, the tune ended" "$short" 10
  measure "the menu's tune playing" "$game_dir" 6
}

SDL_AUDIODRIVER=dummy run_cases
if command -v pulseaudio > /dev/null && pulseaudio --start --exit-idle-time=-1 --daemonize=yes 2> /dev/null; then
  PULSE_SERVER_STARTED=1
  SDL_AUDIODRIVER=pulseaudio run_cases
else
  echo "== PulseAudio: no server could be started here; skipped =="
fi
