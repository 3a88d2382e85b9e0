#!/usr/bin/env bash
# The shooter's sound key under three keyboard layouts of the X server, in the real game:
# the key printed M on a French (AZERTY: where US has ";") and a German (QWERTZ) keyboard,
# and the key at the M position under the Russian layout (it types "ь"), each switch the
# sound off and on again. The sound is recorded (SDL's disk driver) and heard as silence or
# not in its last quarter second. xdotool presses the key that carries a key symbol in the
# layout of the moment. Each step waits for what it needs.
# Usage: keyboard_layouts.sh GAME_DIR (inside an X server of its own, e.g. scripts/with-xvfb.sh).
set -euo pipefail
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/../../scripts/drive_game.sh"
begin_checks "$1"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/sound.raw

# The percentage of bytes that are not silence in the last quarter second of sound
# (16-bit samples: silence is 0, or -1 after rounding).
sound_level() {
  tail -c 22000 "$SDL_DISKAUDIOFILE" | od -An -v -tu1 |
    awk '{ for (i = 1; i <= NF; i++) { n++; m += $i != 0 && $i != 255 } } END { print n ? int(100 * m / n) : 0 }'
}
sounding() { [ "$(sound_level)" -ge 30 ]; }
silent() { [ "$(sound_level)" -lt 1 ]; }

# Presses the sound key twice in a shooter round: the sound goes, then comes back.
check_sound_key() {
  local layout=$1 key=$2
  setxkbmap "$layout"
  click "the shooter's button"
  wait_until 10 sounding || fail "$layout: no sound in the shooter round"
  xdotool key --window "$window" "$key"
  wait_until 10 silent || fail "$layout: the key $key did not switch the sound off"
  xdotool key --window "$window" "$key"
  wait_until 10 sounding || fail "$layout: the key $key did not switch the sound on again"
  xdotool key --window "$window" Escape
  click_to "the shooter's ДА to leave" on_episode_screen "$layout: no episode screen after leaving the round" || exit 1
}

wait_until 10 x_server_answers || { fail "the X server does not answer on $DISPLAY"; exit 1; }
start_game
wait_until 30 on_menu || { fail "the main menu does not show"; exit 1; }
create_profile Tester || exit 1

check_sound_key fr m
check_sound_key de m
check_sound_key ru Cyrillic_softsign
stop_game
finish_checks "keyboard layouts"
