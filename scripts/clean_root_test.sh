#!/usr/bin/env bash
# The project on a player's fresh Debian 12, where nothing of the build machine helps: a
# minimal root made by debootstrap (kept as a tarball in the build folder, so a second run
# starts at once), unpacked anew for each stage and entered with chroot inside a private
# mount namespace with /proc, /dev and the X socket folder bound in, on a virtual display
# of this test's own.
#  packages: apt installs the two packages made by scripts/package.sh (vark and vark-data)
#    and nothing they do not name; every program's libraries resolve, --version answers,
#    and a new player with an empty home starts the game: the set-up program opens,
#    "Сохранить и играть" starts the game with the desktop entry's window class and an
#    icon, a profile lands in ~/.local/share/vark and vark --setup opens the set-up again.
#    Removed, nothing of the packages stays under /usr; the player's files do.
#  first-hour: a newcomer with git and sudo clones the project and runs scripts/run.sh
#    with no terminal: it asks nothing, prints no error line, installs no test or packaging
#    tool and reaches the set-up program's window; then `cmake --install build` into a
#    temporary folder succeeds.
# Runs itself through sudo when not run as root. Usage: scripts/clean_root_test.sh
# [BUILD_DIR] [STAGE...] (default build-package, which holds the packages; all stages).
set -euo pipefail

build="$(realpath "${1:-build-package}")"
scripts="$(cd "$(dirname "$0")" && pwd)"
cache="$build/clean-root"
tarball="$cache/bookworm-minbase.tar"
root="$cache/run/root"
# The screen is read here, outside the root, so the root's programs never see it.
work="$cache/run"

# shellcheck source=scripts/drive_game.sh
source "$scripts/drive_game.sh"
fail() {
  echo "clean-root test: FAILED: $*" >&2
  if [ -n "${DISPLAY:-}" ] && import -window root "$cache/failure.png" 2>/dev/null; then
    echo "clean-root test: the screen is in $cache/failure.png" >&2
  fi
  [ -f "$root/tmp/game.log" ] && sed 's/^/  game: /' "$root/tmp/game.log" >&2
  exit 1
}

# The apt sources of this machine for Debian 12 (main), which the root uses too.
# shellcheck disable=SC2016 # $(SITE) and the rest are apt's own fields, not the shell's
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
  rm -rf "$cache/run" || fail "cannot remove the last run's root in $cache/run (is a program of it still running?)"
}

if [ -z "${VARK_CLEAN_ROOT_STAGE:-}" ]; then
  shift || true
  stages=("$@")
  [ $# -gt 0 ] || stages=(packages first-hour)
  if [ "$(id -u)" != 0 ]; then
    # The clone's source is made by the project's owner, whom git trusts with it.
    mkdir -p "$cache"
    git -C "$scripts/.." bundle create "$cache/project.bundle" HEAD 2>/dev/null
    exec sudo env VARK_CLEAN_ROOT_BUNDLE_MADE=1 bash "$0" "$build" "${stages[@]}"
  fi
  unshare --mount --propagation private true 2>/dev/null ||
    fail "this machine does not let a program make a private mount namespace (unshare --mount --propagation private), which the test needs to mount into its root: run it on a machine or in a container that allows it"
  for name in vark vark-data; do
    compgen -G "$build/${name}_*.deb" >/dev/null || fail "no $name package in $build (make it with scripts/package.sh)"
  done
  mkdir -p "$cache/archives"
  [ -n "${VARK_CLEAN_ROOT_BUNDLE_MADE:-}" ] || git -C "$scripts/.." bundle create "$cache/project.bundle" HEAD 2>/dev/null
  [ -f "$tarball" ] || make_root_tarball
  for stage in "${stages[@]}"; do
    remove_root
    mkdir -p "$root"
    tar -C "$root" -xf "$tarball"
    status=0
    VARK_CLEAN_ROOT_STAGE=$stage unshare --mount --propagation private \
      bash "$scripts/with-xvfb.sh" 640x480 bash "$0" "$build" || status=$?
    remove_root
    [ "$status" = 0 ] || exit "$status"
  done
  echo "clean-root test: passed"
  exit 0
fi

# ---- Inside the private mount namespace, on the test's own display ----
stop_root_programs() {
  for pid in $(programs_in_root); do kill "$pid" 2>/dev/null || true; done
  # shellcheck disable=SC2016 # eval expands it, on each try
  wait_until 20 eval '[ -z "$(programs_in_root)" ]' || true
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
# No services start in the root (it has no init system), and packages are told so.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
in_root apt-get update -qq || fail "apt-get update failed in the root"

# A new player, with a home of their own.
in_root useradd --create-home --shell /bin/bash player
player_uid="$(in_root id -u player)"
home="$root/home/player"
as_player() {
  chroot --userspec="$player_uid:$player_uid" --groups="$player_uid" "$root" env -i HOME=/home/player USER=player \
    LOGNAME=player PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games LANG=C.UTF-8 DISPLAY="$DISPLAY" \
    SDL_AUDIODRIVER=dummy "$@"
}

# ---- first-hour: git, a clone and scripts/run.sh as the README says ----
if [ "$VARK_CLEAN_ROOT_STAGE" = first-hour ]; then
  in_root apt-get install -y -qq --no-install-recommends git sudo >"$cache/apt-install.log" 2>&1 ||
    fail "apt-get install git sudo failed (see $cache/apt-install.log)"
  echo "player ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/player"
  cp "$cache/project.bundle" "$root/tmp/"
  as_player git -c advice.detachedHead=false clone -q /tmp/project.bundle /home/player/vark || fail "git clone failed"
  before="$(in_root dpkg-query -W | wc -l) $(du -sm "$root/usr" | cut -f1)"
  started=$SECONDS
  # No terminal: its own session, and nothing to read.
  as_player setsid bash -c 'cd ~/vark && bash scripts/run.sh; echo "run.sh ended with status $?"' \
    </dev/null >"$root/tmp/run.log" 2>&1 &
  run_failed() { grep -q "^run.sh ended with status [1-9]" "$root/tmp/run.log"; }
  if ! wait_until 2400 eval 'on_setup || run_failed' || run_failed; then
    fail "scripts/run.sh did not reach the set-up window: $(tail -n 20 "$root/tmp/run.log")"
  fi
  read -r packages usr <<<"$before"
  echo "clean-root test: scripts/run.sh reached the set-up window in $(((SECONDS - started) / 60)) min, installing" \
    "$(($(in_root dpkg-query -W | wc -l) - packages)) packages (/usr from $usr to $(du -sm "$root/usr" | cut -f1) MB)"
  import -window root "$cache/first-hour.png"
  stop_root_programs
  # A question debconf could not ask without a terminal shows as its frontend falling back;
  # the game and the set-up program say every problem on a line of their own after "vark: ".
  if grep -inE '\b(error|warning)\b|debconf: (unable|falling back)|^[EW]: |^vark: ' "$root/tmp/run.log"; then
    fail "scripts/run.sh printed the lines above"
  fi
  for tool in lintian debootstrap clang imagemagick; do
    if in_root dpkg-query -W "$tool" >/dev/null 2>&1; then fail "scripts/run.sh installed $tool, a test or packaging tool"; fi
  done
  as_player bash -c 'cd ~/vark && cmake --install build --prefix /tmp/prefix' >"$cache/install.log" 2>&1 ||
    fail "cmake --install build after scripts/run.sh failed: $(tail -n 5 "$cache/install.log")"
  [ -x "$root/tmp/prefix/bin/vark" ] || fail "cmake --install put no game in the prefix's bin"
  echo "clean-root test: cmake --install build after scripts/run.sh installed $(wc -l <"$cache/install.log") files"
  exit 0
fi

# ---- packages: apt brings what the packages' dependencies name and no recommended
# package, so a library a package forgets to name cannot arrive by chance ----
cp "$build"/vark_*.deb "$build"/vark-data_*.deb "$root/tmp/"
debs=("$root"/tmp/vark*.deb)
debs=("${debs[@]#"$root"}")
in_root apt-get install -y -qq --no-install-recommends "${debs[@]}" >"$cache/apt-install.log" 2>&1 ||
  fail "apt-get install of the packages failed (see $cache/apt-install.log)"
echo "clean-root test: apt installed the packages and $(($(grep -c '^Setting up' "$cache/apt-install.log") - 2)) others"
mapfile -t package_files < <(in_root dpkg-query -L vark vark-data)

# Every program and library in the packages finds its libraries.
programs=0
for f in "${package_files[@]}"; do
  if [ ! -f "$root$f" ] || [ -L "$root$f" ] || ! cmp -s -n 4 "$root$f" <(printf '\177ELF'); then continue; fi
  programs=$((programs + 1))
  in_root ldd "$f" >"$cache/ldd.txt" 2>&1 || fail "ldd $f failed: $(cat "$cache/ldd.txt")"
  if grep -q "not found" "$cache/ldd.txt"; then fail "$f lacks libraries: $(grep 'not found' "$cache/ldd.txt" | tr -s ' \t' ' ')"; fi
done
[ "$programs" -ge 2 ] || fail "only $programs programs found in the packages"
echo "clean-root test: the libraries of all $programs programs resolve"

version="$(dpkg-deb --field "$root${debs[0]}" Version)"
[ "$(as_player vark --version)" = "vark $version" ] || fail "vark --version does not answer \"vark $version\""

# The class the desktop entry expects of the game's windows.
wm_class="$(sed -n 's/^StartupWMClass=//p' "$root"/usr/share/applications/*.desktop)"
[ -n "$wm_class" ] || fail "the desktop entry names no StartupWMClass"
# Usage: check_window DESCRIPTION (of the window shown)
check_window() {
  xprop -id "$window" WM_CLASS | grep -qF "= \"$wm_class\", \"$wm_class\"" ||
    fail "$1's window class is not the desktop entry's $wm_class: $(xprop -id "$window" WM_CLASS)"
  xprop -id "$window" _NET_WM_ICON | grep -q "not found" && fail "$1's window has no icon"
  echo "clean-root test: $1: $(xprop -id "$window" WM_CLASS), $(xprop -id "$window" _NET_WM_ICON | head -n 1 | tr -s ' \t' ' ')"
}

# First start: the set-up program opens; "Сохранить и играть" starts the game.
as_player vark >"$root/tmp/game.log" 2>&1 &
wait_until 20 running_in_root /usr/lib/vark/RIZAVORUV.exe || fail "the first start did not open the set-up program"
wait_until 20 on_setup || fail "the set-up program shows no window"
check_window "the set-up program"
click "Сохранить и играть"
wait_until 20 test -f "$home/.config/Brindle/settings.ini" || fail "the set-up program wrote no settings"
wait_until 20 running_in_root /usr/games/vark || fail "the set-up program did not start the game"
wait_until 30 on_menu || fail "the game shows no main menu"
check_window "the game"
create_profile Tester
[ -f "$home/.local/share/vark/Tester.pro" ] || fail "no profile in ~/.local/share/vark"
stop_root_programs

# The way back to the settings.
as_player vark --setup || fail "vark --setup failed"
wait_until 20 running_in_root /usr/lib/vark/RIZAVORUV.exe || fail "vark --setup did not open the set-up program"
wait_until 20 on_setup || fail "the set-up program opened by vark --setup shows no window"
stop_root_programs

# ---- Removing: nothing of the packages stays under /usr; the player's files do ----
in_root apt-get remove -y -qq vark vark-data >>"$cache/apt-install.log" 2>&1 || fail "apt-get remove failed"
for f in "${package_files[@]}"; do
  [[ "$f" == /usr/* ]] || continue
  if [ -d "$root$f" ] && [ ! -L "$root$f" ]; then
    in_root dpkg-query -S "$f" >/dev/null 2>&1 || fail "the packages' folder $f stayed after removal"
  elif [ -e "$root$f" ] || [ -L "$root$f" ]; then
    fail "the packages' file $f stayed after removal"
  fi
done
if [ ! -f "$home/.local/share/vark/Tester.pro" ] || [ ! -f "$home/.config/Brindle/settings.ini" ]; then
  fail "removing the packages touched the player's files"
fi
