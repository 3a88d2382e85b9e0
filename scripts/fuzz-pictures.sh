#!/usr/bin/env bash
# Runs the picture decoder under libFuzzer for a bounded time, starting from the game's own
# pictures (build/game must exist) and a few small files of the formats the game does not
# ship (fuzz/seeds). A crash, an input that takes over 1 s or a single
# allocation over 64 MB fails the run; the offending input is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j"$(nproc)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/seeds" build-fuzz/findings
find build/game -type f \( -iname '*.dat' -o -iname '*.jpg' -o -iname '*.gif' -o -iname '*.png' \) \
  -exec sh -c 'for f; do cp "$f" "$0/$(echo "$f" | tr / _)"; done' "$work/seeds" {} +
cp fuzz/seeds/* "$work/seeds/"

build-fuzz/picture_fuzz -max_total_time="$seconds" -timeout=1 -malloc_limit_mb=64 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix=build-fuzz/findings/ "$work/corpus" "$work/seeds" 2>&1 | tail -n 25
