#!/usr/bin/env bash
# Installs the built game into a temporary prefix and plays it from there the way a player
# would, on a virtual display of its own: the first start opens the set-up program, whose
# "Сохранить и играть" starts the installed game; a profile is created with the mouse and
# the keyboard; the quiz is opened with a quiz file of the player's own; vark --setup
# opens the set-up program again. Checks that the profile lands in the player's folder,
# that the player's quiz file is the one read, and that nothing under the prefix changed. Also validates the desktop entry and the
# AppStream data. Usage: scripts/install_test.sh [BUILD_DIR]
set -euo pipefail

build="$(realpath "${1:-build}")"

# A display of its own, 640 x 480 so the game's screen
# fills it one to one and the coordinates below are the game's own.
if [ -z "${VARK_INSTALL_TEST_ON_DISPLAY:-}" ]; then
  exec env VARK_INSTALL_TEST_ON_DISPLAY=1 bash "$(dirname "$0")/with-xvfb.sh" 640x480 bash "$0" "$build"
fi

work="$(mktemp -d)"
prefix="$work/prefix"
# The installed programs this test started: those running from the prefix.
running() { pgrep -f "^$prefix/$1" >/dev/null; }
stop_installed() { for pid in $(pgrep -f "^$prefix/"); do kill "$pid" 2>/dev/null || true; done; }
trap 'stop_installed; rm -rf "$work"' EXIT

# shellcheck source=scripts/drive_game.sh
source "$(dirname "$0")/drive_game.sh"
fail() {
  echo "install test: FAILED: $*" >&2
  import -window root "$build/install_test_failure.png" 2>/dev/null &&
    echo "install test: the screen is in $build/install_test_failure.png" >&2
  [ -f "$work/game.log" ] && sed 's/^/  game: /' "$work/game.log" >&2
  exit 1
}

game="$prefix/$(sed -n 's/^VARK_INSTALL_BINDIR:STRING=//p' "$build/CMakeCache.txt")/vark"
cmake --install "$build" --prefix "$prefix" >/dev/null
desktop-file-validate "$prefix"/share/applications/*.desktop || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml >/dev/null || fail "the AppStream data is not valid"
for size in 32 64 128 256; do
  [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/vark.png" ] || fail "no ${size} px icon"
done

# shellcheck disable=SC2016 # the quoted script is for the inner sh, which expands it
checksums() { (cd "$prefix" && find . -print0 | sort -z | xargs -0 -n 64 sh -c 'for f; do if [ -f "$f" ]; then sha256sum "$f"; else echo "$f"; fi; done' sh); }
checksums >"$work/before"

export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
export SDL_AUDIODRIVER=dummy
unset VARK_WINDOWED
player="$XDG_DATA_HOME/vark"
cd "$work"

[ "$("$game" --version)" = "vark $(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")" ] ||
  fail "--version does not give the project's version"
status=0
"$game" --no-such-option 2>"$work/usage" || status=$?
if [ "$status" != 2 ] || ! grep -q "Usage: vark" "$work/usage"; then
  fail "an unknown option is not refused with status 2 and the usage"
fi


# First start: no settings yet, so the game hands over to the set-up program and ends.
"$game" >"$work/game.log" 2>&1 &
wait_until 20 running lib/vark/ || fail "the set-up program did not start"
wait_until 20 on_setup || fail "the set-up program shows no window"
[ -d "$player" ] || fail "the player's folder $player was not created"

click "Сохранить и играть"
wait_until 20 test -f "$XDG_CONFIG_HOME/Brindle/settings.ini" || fail "the set-up program wrote no settings"
wait_until 20 running "${game#"$prefix/"}\$" || fail "the set-up program did not start the installed game"
wait_until 30 on_menu || fail "the game shows no main menu"

create_profile Tester
[ -f "$player/Tester.pro" ] || fail "the profile did not land in the player's folder"

# A quiz file of the player's own, too short for a game, replaces the shipped one: opening
# the quiz must report its two questions.
printf 'One?\r\na\r\nb\r\nc\r\nd\r\n1\r\nTwo?\r\na\r\nb\r\nc\r\nd\r\n2\r\n[END]\r\n' >"$player/quest.DAT"
click "the quiz's button"
wait_until 20 grep -q "Quest.dat: 2 usable questions" "$work/game.log" ||
  fail "the quiz did not read the player's own quiz file"

stop_installed

# Once settings exist, the set-up program opens again on request.
wait_until 20 eval '! window_shows' || fail "the game's window did not close"
"$game" --setup || fail "vark --setup did not start the set-up program"
wait_until 20 running lib/vark/ || fail "vark --setup did not start the set-up program"
wait_until 20 on_setup || fail "the set-up program opened by vark --setup shows no window"
stop_installed

checksums >"$work/after"
diff -u "$work/before" "$work/after" >&2 || fail "files under the installation prefix changed"
find "$prefix" -name '*.pro' | grep -q . && fail "a profile was written under the prefix"
echo "install test: passed"
