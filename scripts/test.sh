#!/usr/bin/env bash
# Installs what is missing (every group of scripts/install-deps.sh), builds everything and
# runs all tests: once as built, once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs="$(nproc)"
# CI sets VARK_WERROR=ON: a warning in our code then fails the build.
werror="-DVARK_WERROR=${VARK_WERROR:-OFF}"

# Runs a build's tests. Tests write only into temporary folders they own and remove, so the
# game folder and /tmp gain nothing; test names stay short, so no result line is over 150
# characters.
entries() { { find "$1/game"; find /tmp -mindepth 1 -maxdepth 1; } | sort; }
run_tests() {
  local before left
  before=$(entries "$1")
  (cd "$1" && ctest --output-on-failure --no-tests=error -j"$jobs") | tee "$1/ctest.log"
  left=$(comm -13 <(echo "$before") <(entries "$1"))
  # Another program's passing file in /tmp (a compiler's, say) goes within a minute; a file
  # a test left stays.
  for _ in $(seq 30); do
    [ -n "$left" ] || break
    sleep 2
    left=$(comm -12 <(echo "$left") <(entries "$1"))
  done
  if [ -n "$left" ]; then echo "Tests left files behind:"$'\n'"$left"; return 1; fi
  if grep -E '^ *[0-9]+/[0-9]+ Test' "$1/ctest.log" | grep -E '^.{151}'; then echo "Test result lines over 150 characters"; return 1; fi
}

# Every shell script passes shellcheck, also with the helpers it sources.
find .ci scripts tests bench -type f \( -name '*.sh' -o -path .ci/run \) -exec shellcheck -x -e SC1091 {} +

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARK_TESTS=ON -DVARK_BENCH=ON "$werror"
cmake --build build -j"$jobs"
run_tests build

# The web version, built from the same sources and played in headless Chromium.
bash scripts/web_test.sh build

# The installed game, played from a temporary prefix; the Debian packages (Release, warnings
# as errors, lintian), installed and played on a fresh Debian 12 root; and a newcomer's
# clone and scripts/run.sh on another (this stage runs itself through sudo).
bash scripts/install_test.sh build
bash scripts/package.sh build-package
bash scripts/clean_root_test.sh build-package

# System libraries (fontconfig, the X and sound connections) keep some memory for the
# whole run on purpose; only their own allocations are passed over (scripts/lsan.supp),
# so a leak of ours shows, also one made through SDL. The content generator runs during
# the build, so these apply there too.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Pictures and sounds are player-replaceable content, and settings must read back as
# saved: each fuzz target runs for 45 s.
bash scripts/fuzz.sh 45

# The sanitizer run comes last, so the output ends with the test runner's own summary.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVARK_SANITIZE=ON -DVARK_TESTS=ON -DVARK_BENCH=OFF "$werror"
cmake --build build-sanitize -j"$jobs" --target vark_tests
run_tests build-sanitize
