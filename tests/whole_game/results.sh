#!/usr/bin/env bash
# Results kept across a restart, in the real game: a new profile plays a shooter round
# until it scores, leaves it, and finds its best score on the episode screen; the profile
# file holds it; after the game is started again the profile list shows it, where another
# profile that never played still reads "Фраг". The score and "Фраг" are told apart by
# comparing the pictures of the two lines; VARK_SHOTS=FOLDER keeps the screens to look at.
# Usage: results.sh GAME_DIR (inside an X server of its own, e.g. scripts/with-xvfb.sh).
set -euo pipefail
# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/../../scripts/drive_game.sh"
begin_checks "$1"

POINT["the Профиль button"]="556 252"
POINT["the profile list's Отмена"]="428 300"
POINT["Таблица рекордов"]="291 444"

# Saves the picture box x0 y0 x1 y1 of the last screenshot (picture points) as FILE.
crop() {
  local x0 y0 x1 y1
  read -r x0 y0 < <(root_point "$1" "$2")
  read -r x1 y1 < <(root_point "$3" "$4")
  convert "$work/screen.miff" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$5"
}
# True when two pictures differ in more than a few pixels.
differ() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" -gt 20 ]; }
keep() { if [ -n "${VARK_SHOTS:-}" ]; then convert "$work/screen.miff" "$VARK_SHOTS/$1"; fi; }
best_score() { sed -n 2p "$work/game/Tester.pro" | tr -d '\r'; }

# Fires across the field from the bottom, a shot at a time, until a monster is hit
# (the score's digits appear in the status bar); false when the round ended first.
play_until_a_score() {
  local deadline=$((SECONDS + 120)) x rx ry
  while [ "$SECONDS" -lt "$deadline" ]; do
    for x in 60 140 220 300 380 460 540 100 180 260 340 420 500; do
      read -r rx ry < <(root_point "$x" 400)
      xdotool mousemove "$rx" "$ry" click 1
      sleep 0.35
    done
    on_episode_screen && return 1
    # " 0" in the status bar is narrower than any other score.
    [ "$(share 500 440 562 465 red)" -ge 12 ] && return 0
  done
  return 1
}
# The question to leave opens only while play runs (not during a level's panel or the
# cannon's death), so it is asked for again until the episode screen shows.
leave_round() {
  xdotool key --window "$window" Escape
  sleep 0.5
  click "the shooter's ДА to leave"
  wait_until 3 on_episode_screen
}

wait_until 10 x_server_answers || { fail "the X server does not answer on $DISPLAY"; exit 1; }
start_game
wait_until 30 on_menu || { fail "the main menu does not show"; exit 1; }
create_profile Zed || exit 1
click_to "the episode screen's ВЫХОД" on_menu "no main menu after ВЫХОД" || exit 1
create_profile Tester || exit 1

# A round lost before a hit ends by itself on the episode screen: then another one.
for round in 1 2 3 4; do
  click "the shooter's button"
  sleep 1
  if play_until_a_score; then
    keep shooter.png
    wait_until 20 leave_round || { fail "no episode screen after leaving the round"; exit 1; }
    break
  fi
  wait_until 10 on_episode_screen || { fail "no episode screen after round $round"; exit 1; }
  # A round lost after a hit has kept its score all the same.
  [[ "$(best_score)" =~ ^[1-9] ]] && break
done
keep episodes.png
if ! [[ "$(best_score)" =~ ^[1-9][0-9]*$ ]]; then fail "line 2 of Tester.pro holds \"$(best_score)\", not a score"; fi
# The shooter's best beside its button, the quiz's "Фраг" beside the next one.
crop 312 147 632 172 "$work/shooter_best.png"
crop 312 224 632 249 "$work/quiz_best.png"
differ "$work/shooter_best.png" "$work/quiz_best.png" || fail "the episode screen shows no score beside the shooter"
stop_game

start_game
wait_until 30 on_menu || { fail "the main menu does not show after the restart"; exit 1; }
click "the Профиль button"
sleep 1
screenshot
keep profiles.png
# Slot 1 is Tester's, slot 2 Zed's: their shooter lines must differ.
crop 188 198 321 215 "$work/tester_line.png"
crop 188 262 321 279 "$work/zed_line.png"
differ "$work/tester_line.png" "$work/zed_line.png" || fail "the profile list shows no score for Tester"
# The table of records has Tester first in the shooter's column, Zed nowhere.
click "Таблица рекордов"
sleep 1
screenshot
keep records.png
crop 24 128 200 192 "$work/first_place.png"
crop 24 214 200 278 "$work/second_place.png"
differ "$work/first_place.png" "$work/second_place.png" || fail "the table of records shows no first place"
xdotool key --window "$window" Escape
sleep 0.5
click "the profile list's Отмена"
stop_game
finish_checks "results kept"
