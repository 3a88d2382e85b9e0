#!/usr/bin/env bash
# The Debian package on a player's fresh Debian 12, where nothing of the build machine
# helps it: a minimal root made by debootstrap (kept as a tarball in the build folder, so
# a second run starts at once), entered with chroot inside a private mount namespace with
# /proc, /dev and the X socket folder bound in. There apt installs the package; every
# program's libraries must resolve, --version must answer, and a new player with an empty
# home starts the game on a virtual display of this test's own: the set-up program opens,
# "Сохранить и играть" starts the game with the desktop entry's window class and an icon,
# a profile lands in ~/.local/share/vark and vark --setup opens the set-up again. Last,
# apt removes the package: nothing of it may stay under /usr, the player's files must.
# Needs root. Usage: scripts/clean_root_test.sh [BUILD_DIR] (default build-package, which
# holds the package made by scripts/package.sh).
set -euo pipefail

build="$(realpath "${1:-build-package}")"
scripts="$(cd "$(dirname "$0")" && pwd)"
cache="$build/clean-root"
tarball="$cache/bookworm-minbase.tar"
root="$cache/run/root"

fail() {
  echo "clean-root test: FAILED: $*" >&2
  if [ -n "${DISPLAY:-}" ] && import -window root "$cache/failure.png" 2>/dev/null; then
    echo "clean-root test: the screen is in $cache/failure.png" >&2
  fi
  [ -f "$root/tmp/game.log" ] && sed 's/^/  game: /' "$root/tmp/game.log" >&2
  exit 1
}

# The apt sources of this machine for Debian 12 (main), which the root uses too.
apt_sources() { apt-get indextargets --format '$(SITE) $(RELEASE) $(COMPONENT)' | awk '$3 == "main" && $2 ~ /^bookworm/ { print "deb " $1 " " $2 " main" }' | sort -u; }

make_root_tarball() {
  local mirror fresh="$cache/debootstrap"
  mirror="$(apt_sources | awk '$3 == "bookworm" { print $2; exit }')"
  [ -n "$mirror" ] || fail "no Debian 12 mirror in this machine's apt sources"
  echo "clean-root test: making a minimal Debian 12 root from $mirror (once)"
  rm -rf "$fresh"
  debootstrap --variant=minbase bookworm "$fresh" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
    fail "debootstrap failed (see $cache/debootstrap.log)"
  tar -C "$fresh" -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
  rm -rf "$fresh"
}

# Nothing may be mounted below the root when it is unpacked or removed: the mounts live
# only in the test's own namespace, so this holds unless that namespace still runs.
remove_root() {
  if findmnt -rno TARGET | grep -q "^$cache/run/"; then fail "something is still mounted below $cache/run"; fi
  rm -rf "$cache/run"
}

if [ -z "${VARK_CLEAN_ROOT_INSIDE:-}" ]; then
  [ "$(id -u)" = 0 ] || fail "needs root (debootstrap, chroot and mounts)"
  compgen -G "$build/vark_*.deb" >/dev/null || fail "no package in $build (make it with scripts/package.sh)"
  mkdir -p "$cache/archives"
  [ -f "$tarball" ] || make_root_tarball
  remove_root
  mkdir -p "$root"
  tar -C "$root" -xf "$tarball"
  status=0
  VARK_CLEAN_ROOT_INSIDE=1 unshare --mount --propagation private \
    bash "$scripts/with-xvfb.sh" 640x480 bash "$0" "$build" || status=$?
  remove_root
  [ "$status" = 0 ] && echo "clean-root test: passed"
  exit "$status"
fi

# ---- Inside the private mount namespace, on the test's own display ----
source "$scripts/play_steps.sh"

root_pids=()
stop_root_programs() {
  for pid in $(programs_in_root); do kill "$pid" 2>/dev/null || true; done
  wait_for eval '[ -z "$(programs_in_root)" ]' || true
}
trap stop_root_programs EXIT

# The processes running in the root, or those of one program there.
programs_in_root() {
  local dir pid
  for dir in /proc/[0-9]*; do
    pid="${dir#/proc/}"
    [ "$(readlink "$dir/root" 2>/dev/null)" = "$root" ] || continue
    if [ -z "${1:-}" ] || [ "$(readlink "$dir/exe" 2>/dev/null)" = "$root$1" ]; then echo "$pid"; fi
  done
}
running_in_root() { [ -n "$(programs_in_root "$1")" ]; }

mkdir -p "$root/tmp/.X11-unix" "$root/var/cache/apt/archives"
mount --rbind /proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
# Downloaded packages are kept between runs.
mount --bind "$cache/archives" "$root/var/cache/apt/archives"
cp /etc/resolv.conf "$root/etc/resolv.conf"
apt_sources >"$root/etc/apt/sources.list"

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

# ---- Installing: apt brings what the package's dependencies name, and nothing else ----
deb="$(ls "$build"/vark_*.deb | head -n 1)"
cp "$deb" "$root/tmp/"
in_root apt-get update -qq || fail "apt-get update failed in the root"
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")" >"$cache/apt-install.log" 2>&1 ||
  fail "apt-get install of the package failed (see $cache/apt-install.log)"
echo "clean-root test: apt installed the package and $(($(grep -c '^Setting up' "$cache/apt-install.log") - 1)) others"
mapfile -t package_files < <(in_root dpkg-query -L vark)

# Every program and library in the package finds its libraries.
programs=0
for f in "${package_files[@]}"; do
  [ -f "$root$f" ] && [ ! -L "$root$f" ] && cmp -s -n 4 "$root$f" <(printf '\177ELF') || continue
  programs=$((programs + 1))
  in_root ldd "$f" >"$cache/ldd.txt" 2>&1 || fail "ldd $f failed: $(cat "$cache/ldd.txt")"
  if grep -q "not found" "$cache/ldd.txt"; then fail "$f lacks libraries: $(grep 'not found' "$cache/ldd.txt" | tr -s ' \t' ' ')"; fi
done
[ "$programs" -ge 2 ] || fail "only $programs programs found in the package"
echo "clean-root test: the libraries of all $programs programs resolve"

# ---- A new player with an empty home ----
in_root useradd --no-create-home --shell /bin/bash player
player_uid="$(in_root id -u player)"
home="$root/home/player"
mkdir -p "$home" && chown "$player_uid:$player_uid" "$home"
as_player() {
  chroot --userspec="$player_uid:$player_uid" --groups="$player_uid" "$root" env -i HOME=/home/player USER=player \
    LOGNAME=player PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games LANG=C.UTF-8 DISPLAY="$DISPLAY" \
    SDL_AUDIODRIVER=dummy "$@"
}

version="$(dpkg-deb --field "$deb" Version)"
[ "$(as_player vark --version)" = "vark $version" ] || fail "vark --version does not answer \"vark $version\""

# The class the desktop entry expects of the game's windows.
wm_class="$(sed -n 's/^StartupWMClass=//p' "$root"/usr/share/applications/*.desktop)"
[ -n "$wm_class" ] || fail "the desktop entry names no StartupWMClass"
# Usage: check_window PROGRAM_PATH DESCRIPTION
check_window() {
  local window
  window="$(xdotool search --onlyvisible --pid "$(programs_in_root "$1" | head -n 1)" 2>/dev/null | head -n 1)"
  [ -n "$window" ] || fail "$2 shows no window of its own"
  xprop -id "$window" WM_CLASS | grep -qF "= \"$wm_class\", \"$wm_class\"" ||
    fail "$2's window class is not the desktop entry's $wm_class: $(xprop -id "$window" WM_CLASS)"
  xprop -id "$window" _NET_WM_ICON | grep -q "not found" && fail "$2's window has no icon"
  echo "clean-root test: $2: $(xprop -id "$window" WM_CLASS), $(xprop -id "$window" _NET_WM_ICON | head -n 1 | tr -s ' \t' ' ')"
}

# First start: the set-up program opens; "Сохранить и играть" starts the game.
as_player vark >"$root/tmp/game.log" 2>&1 &
wait_for running_in_root /usr/lib/vark/RIZAVORUV.exe || fail "the first start did not open the set-up program"
wait_for window_shown || fail "the set-up program shows no window"
sleep 1
import -window root "$cache/setup.png"
check_window /usr/lib/vark/RIZAVORUV.exe "the set-up program"
press_save_and_play
wait_for test -f "$home/.config/Brindle/settings.ini" || fail "the set-up program wrote no settings"
wait_for running_in_root /usr/games/vark || fail "the set-up program did not start the game"
wait_for window_shown || fail "the game shows no window"
sleep 2
check_window /usr/games/vark "the game"
import -window root "$cache/main_menu.png"

create_profile Tester
wait_for test -f "$home/.local/share/vark/Tester.pro" || fail "no profile in ~/.local/share/vark"
sleep 1
import -window root "$cache/episodes.png"
stop_root_programs

# The way back to the settings.
as_player vark --setup || fail "vark --setup failed"
wait_for running_in_root /usr/lib/vark/RIZAVORUV.exe || fail "vark --setup did not open the set-up program"
wait_for window_shown || fail "the set-up program opened by vark --setup shows no window"
stop_root_programs

# ---- Removing: nothing of the package stays under /usr; the player's files do ----
in_root apt-get remove -y -qq vark >>"$cache/apt-install.log" 2>&1 || fail "apt-get remove vark failed"
for f in "${package_files[@]}"; do
  [[ "$f" == /usr/* ]] || continue
  if [ -d "$root$f" ] && [ ! -L "$root$f" ]; then
    in_root dpkg-query -S "$f" >/dev/null 2>&1 || fail "the package's folder $f stayed after removal"
  elif [ -e "$root$f" ] || [ -L "$root$f" ]; then
    fail "the package's file $f stayed after removal"
  fi
done
[ -f "$home/.local/share/vark/Tester.pro" ] && [ -f "$home/.config/Brindle/settings.ini" ] ||
  fail "removing the package touched the player's files"
