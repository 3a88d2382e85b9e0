#!/usr/bin/env bash
# Installs what building and playing need (the build group of scripts/install-deps.sh),
# builds the game with everything its installation takes, so that `cmake --install build`
# works next, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build
# The tests and benchmarks need the tests group: a first configure leaves them out, and
# scripts/test.sh turns them on.
options=()
[ -f build/CMakeCache.txt ] || options=(-DVARK_TESTS=OFF -DVARK_BENCH=OFF)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
cmake --build build -j"$(nproc)" --target installable
exec build/game/vark
