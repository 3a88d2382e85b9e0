#!/usr/bin/env bash
# The shooter's sound key under three keyboard layouts of the X server, in the real game:
# the key printed M on a French (AZERTY: where US has ";") and a German (QWERTZ) keyboard,
# and the key at the M position under the Russian layout (it types "ь"), each switch the
# sound off and on again. The sound is recorded (SDL's disk driver) and heard as silence or
# not in its last quarter second. xdotool presses the key that carries a key symbol in the
# layout of the moment. Each step waits for what it needs.
# Usage: keyboard_layouts.sh GAME_DIR (inside an X server of its own, e.g. scripts/with-xvfb.sh).
set -euo pipefail
game_source=$1
work=$(mktemp -d)
failures=0
trap 'stop_game; rm -rf "$work"' EXIT
trap 'echo "FAIL: line $LINENO stopped the check"' ERR
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data LANG=C.UTF-8 MAGICK_TEMPORARY_PATH=$work
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/sound.raw
cp -R "$game_source" "$work/game"
rm -f "$work/game"/*.pro

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# shellcheck source=tests/whole_game/screens.sh
source "$(dirname "$0")/screens.sh"

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
  click_picture 151 171 # АТАКА КАКОДЕМОНОВ
  wait_until 10 sounding || fail "$layout: no sound in the shooter round"
  xdotool key --window "$window" "$key"
  wait_until 10 silent || fail "$layout: the key $key did not switch the sound off"
  xdotool key --window "$window" "$key"
  wait_until 10 sounding || fail "$layout: the key $key did not switch the sound on again"
  xdotool key --window "$window" Escape
  click_to 262 264 on_episode_screen "$layout: no episode screen after leaving the round" || exit 1
}

wait_until 10 x_server_answers || { fail "the X server does not answer on $DISPLAY"; exit 1; }
start_game
wait_until 30 on_menu || { fail "the main menu does not show"; exit 1; }
click_to 556 180 on_face_choice "no face choice after a click on Старт" || exit 1
click_picture 160 209 # the first face
click_to 339 407 on_name_prompt "no name prompt after a face and Поехали!" || exit 1
click_to 232 395 on_episode_screen "no episode screen after OK under the suggested name" || exit 1

check_sound_key fr m
check_sound_key de m
check_sound_key ru Cyrillic_softsign
stop_game
[ "$failures" = 0 ] || exit 1
echo "keyboard layouts: all checks passed"
