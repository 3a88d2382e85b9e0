#!/usr/bin/env bash
# Lays out the files the page loads as the installed game has them: the game's data in
# /usr/share/vark (from a native build's data folder, without its programs and profiles),
# and the three Debian fonts the screens are drawn with, at Debian's own paths. The page
# has no FluidSynth, so each MIDI tune is shipped as an MP3 under its own name (the game
# reads a sound's format from its bytes): webtunes renders it as the desktop game hears it
# (same soundfont, levels and device rate) and LAME encodes it. Rendered tunes are kept in
# TUNES_DIR by the MIDI file's and the soundfont's hashes.
#
#   bash scripts/web/data.sh NATIVE_BUILD_DIR TUNES_DIR OUT_DIR
set -euo pipefail

build=$(realpath "$1")
tunes=$(realpath -m "$2")
out=$(realpath -m "$3")
# 96 kbit/s: a quarter less than 128 kbit/s, no audible loss on these tunes, and the
# whole page stays well under 12 MB gzipped (64 kbit/s dulls the cymbals).
kbps=96
# The desktop game's sound device runs at this rate, so its tunes are decoded to it.
device_rate=22050
FONTS=(
  /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
  /usr/share/fonts/truetype/paratype/PTN77F.ttf
)

soundfont=$(find /usr/share/sounds/sf2 -maxdepth 1 -name '*.sf2' | LC_ALL=C sort | head -n1)
if [ -z "$soundfont" ]; then
  echo "web: no soundfont under /usr/share/sounds/sf2" >&2
  exit 1
fi

rm -rf "$out"
mkdir -p "$out/usr/share/vark" "$tunes"
cp -r "$build/game/." "$out/usr/share/vark/"
find "$out/usr/share/vark" -type f \( -name vark -o -name '*.exe' -o -iname '*.pro' \) -delete
for font in "${FONTS[@]}"; do
  mkdir -p "$out$(dirname "$font")"
  cp "$font" "$out$font"
done

font_hash=$(sha256sum "$soundfont" | cut -c1-16)
while IFS= read -r -d '' midi; do
  mp3=$tunes/$(sha256sum "$midi" | cut -c1-16)-$font_hash-$kbps.mp3
  if [ ! -f "$mp3" ]; then
    "$build/tools/webtunes/webtunes" "$soundfont" "$device_rate" "$midi" "$tunes/render.wav"
    lame --quiet --noreplaygain -b "$kbps" "$tunes/render.wav" "$mp3.part"
    rm "$tunes/render.wav"
    mv "$mp3.part" "$mp3"
  fi
  cp "$mp3" "$midi"
done < <(find "$out/usr/share/vark" -type f -iname '*.mid' -print0)
