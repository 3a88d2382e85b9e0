#!/usr/bin/env bash
# Renders the game's MIDI tunes for the web page, which has no FluidSynth: the native
# build's webtunes decodes each as the desktop game hears it (same soundfont, levels and
# device rate), and LAME encodes it as MP3 at each bit rate asked for. Prints the size of
# each file and of all of them, plain and gzipped, so a bit rate can be chosen.
#
#   bash scripts/web/tunes.sh NATIVE_BUILD_DIR OUT_DIR [KBPS ...]     (default 64 96 128)
set -euo pipefail

build=$(realpath "$1")
out=$(realpath -m "$2")
shift 2
rates=("$@")
[ ${#rates[@]} -gt 0 ] || rates=(64 96 128)
# The desktop game's sound device runs at this rate, so its tunes are decoded to it.
device_rate=22050

webtunes=$build/tools/webtunes/webtunes
# The game plays MIDI with the first soundfont in Debian's soundfont folder, by name.
soundfont=$(find /usr/share/sounds/sf2 -maxdepth 1 -name '*.sf2' | LC_ALL=C sort | head -n1)
if [ -z "$soundfont" ]; then
  echo "web: no soundfont under /usr/share/sounds/sf2" >&2
  exit 1
fi

mkdir -p "$out"
work=$(mktemp -d "$out/.render.XXXXXX")
trap 'rm -rf "$work"' EXIT
declare -A total total_gzip
for rate in "${rates[@]}"; do total[$rate]=0 total_gzip[$rate]=0; done
printf '%-12s %8s' tune seconds
for rate in "${rates[@]}"; do printf ' %10s %10s' "${rate}k" "${rate}k.gz"; done
echo
for midi in "$build"/game/Sfx/*.mid; do
  name=$(basename "$midi" .mid)
  "$webtunes" "$soundfont" "$device_rate" "$midi" "$work/$name.wav"
  seconds=$(( ($(stat -c %s "$work/$name.wav") - 44) / (device_rate * 4) ))
  printf '%-12s %8s' "$name" "$seconds"
  for rate in "${rates[@]}"; do
    mp3=$out/$name-$rate.mp3
    lame --quiet --noreplaygain -b "$rate" "$work/$name.wav" "$mp3"
    size=$(stat -c %s "$mp3")
    gz=$(gzip -9 -c "$mp3" | wc -c)
    total[$rate]=$((total[$rate] + size))
    total_gzip[$rate]=$((total_gzip[$rate] + gz))
    printf ' %10s %10s' "$size" "$gz"
  done
  echo
done
printf '%-12s %8s' all ""
for rate in "${rates[@]}"; do printf ' %10s %10s' "${total[$rate]}" "${total_gzip[$rate]}"; done
echo
