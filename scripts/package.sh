#!/usr/bin/env bash
# Makes the Debian packages as they ship: a Release build with warnings as errors and the
# game in /usr/games, packed by CPack into vark (the programs) and the
# architecture-independent vark-data. Then checks them: lintian must find no error and no
# warning in either (its informational notes are shown), and the man page must read
# cleanly without a UTF-8 locale (nothing blank, no troff warning).
# Usage: scripts/package.sh [BUILD_DIR] (default build-package); the packages are left there.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-package}"

fail() {
  echo "package: FAILED: $*" >&2
  exit 1
}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVARK_INSTALL_BINDIR=games -DVARK_TESTS=OFF -DVARK_BENCH=OFF \
  -DVARK_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && rm -f ./*.deb && cpack -G DEB >/dev/null)
debs=("$build"/vark_*.deb "$build"/vark-data_*.deb)
for deb in "${debs[@]}"; do
  [ -f "$deb" ] || fail "CPack made no $deb"
  dpkg-deb --field "$deb" Package Version Architecture Depends
  lintian --info --display-info --fail-on error,warning "$deb" || fail "lintian found errors or warnings in $deb"
done

manual="$(LC_ALL=C MANWIDTH=80 man --warnings -l "$build/packaging/vark.6.gz" 2>&1)" || fail "man cannot show vark(6)"
if grep -q "warning" <<<"$manual"; then fail "vark(6) gives troff warnings under LC_ALL=C: $(grep warning <<<"$manual")"; fi
tr -s ' \n' ' ' <<<"$manual" | grep -qF '"Sokhranit i igrat" (save and play)' ||
  fail "vark(6) under LC_ALL=C lacks the button's name"
echo "package: ${debs[*]} passed lintian and the man page check"
