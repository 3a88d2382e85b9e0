#!/usr/bin/env bash
# Builds the proof program (web/proof/proof.cpp) against the libraries in PREFIX, with its
# data: a font from Debian's DejaVu package and a short MP3 tone encoded by LAME.
#
#   bash scripts/web/proof.sh PREFIX WORK_DIR      leaves proof.js, .wasm and .data in WORK_DIR
set -euo pipefail

prefix=$(realpath "$1")
work=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
data=$work/data
mkdir -p "$data"

cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$data/"
# Two seconds of a 440 Hz tone that fades out, as raw 16-bit stereo, then MP3.
python3 -c '
import math, struct, sys
rate = 44100
frames = [int(8000 * (1 - i / (2 * rate)) * math.sin(2 * math.pi * 440 * i / rate)) for i in range(2 * rate)]
sys.stdout.buffer.write(b"".join(struct.pack("<hh", s, s) for s in frames))' >"$work/tone.raw"
lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -m j -b 96 "$work/tone.raw" "$data/tone.mp3"
rm "$work/tone.raw"

# SDL's browser back end calls these emscripten helpers; emcc adds them only for its own
# SDL port, so they are asked for here.
# By path, not -lNAME: emcc takes -lSDL2 and the like as a request for its own ports.
libraries=()
for library in SDL2_ttf freetype SDL2_image png16 jpeg z SDL2_mixer SDL2 mpg123 gif; do
  libraries+=("$prefix/lib/lib$library.a")
done
em++ -std=c++20 -O2 -fexceptions -Wall -Wextra -Wpedantic -Wshadow -Wno-dollar-in-identifier-extension -I"$prefix/include" -I"$prefix/include/SDL2" \
  "$root/web/proof/proof.cpp" -o "$work/proof.js" "${libraries[@]}" -lidbfs.js \
  -fexceptions -sALLOW_MEMORY_GROWTH=1 -sEXPORTED_RUNTIME_METHODS=ccall \
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE="['\$autoResumeAudioContext','\$dynCall']" \
  --preload-file "$data@/data"
