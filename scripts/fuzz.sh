#!/usr/bin/env bash
# Runs each libFuzzer target for a bounded time (seconds per target, default 60): the
# picture decoder and the sound decoders start from the game's own files (build/game must
# exist) and the small hand-made files in fuzz/seeds/<kind>; the settings writer starts
# from fuzz/seeds/settings. A crash, an input that takes over 1 s or a single allocation
# over 64 MB fails the run; the offending input is kept in build-fuzz/findings/.
#   scripts/fuzz.sh [seconds] [target...]   (targets: picture sound settings)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(picture sound settings)

cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j"$(nproc)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p build-fuzz/findings

game_files() {
  case "$1" in
    picture) find build/game -type f \( -iname '*.dat' -o -iname '*.jpg' -o -iname '*.gif' -o -iname '*.png' \) ;;
    sound) find build/game -type f \( -iname '*.wav' -o -iname '*.mid' -o -iname '*.mp3' \) ;;
  esac
}

# FluidSynth spreads its work over OpenMP threads, whose waiting spins would take the core
# the fuzzer runs on; an input is small work, done at once on one thread.
export OMP_NUM_THREADS=1
for target in "${targets[@]}"; do
  name="${target}_fuzz"
  mkdir -p "$work/$target/corpus" "$work/$target/seeds"
  game_files "$target" | while read -r f; do cp "$f" "$work/$target/seeds/$(echo "$f" | tr / _)"; done
  cp fuzz/seeds/"$target"/* "$work/$target/seeds/"
  echo "== $name for $seconds s"
  TMPDIR="$work" build-fuzz/"$name" -max_total_time="$seconds" -timeout=1 -malloc_limit_mb=64 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix=build-fuzz/findings/"$target"- \
    "$work/$target/corpus" "$work/$target/seeds" 2>&1 | tail -n 12
done
