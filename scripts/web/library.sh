#!/usr/bin/env bash
# Builds one library from its Debian source folder with emscripten and installs it, as a
# static library with its headers, CMake and pkg-config files, into the web build's own
# root (PREFIX). Only what the game needs is switched on: no shared libraries, no
# programs, no threads, no formats the game never reads.
#
#   bash scripts/web/library.sh NAME SOURCE_DIR PREFIX
set -euo pipefail

name=$1
source_dir=$(realpath "$2")
prefix=$(realpath -m "$3")
work=$prefix/../work/$name
export CFLAGS="-O2" CXXFLAGS="-O2"
# Only the web root's own pkg-config files, never the machine's.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=""
jobs=2

cmake_build() {
  rm -rf "$work"
  emcmake cmake -S "$source_dir" -B "$work" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@"
  cmake --build "$work" -j"$jobs"
  cmake --install "$work"
}

# giflib ships only a plain Makefile for the host: its few library files are compiled here.
build_giflib() {
  rm -rf "$work"
  mkdir -p "$work" "$prefix/lib" "$prefix/include"
  local file objects=()
  for file in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
    emcc $CFLAGS -c "$source_dir/$file.c" -o "$work/$file.o"
    objects+=("$work/$file.o")
  done
  emar rcs "$prefix/lib/libgif.a" "${objects[@]}"
  cp "$source_dir/gif_lib.h" "$prefix/include/"
}

# mpg123's config.sub does not know emscripten: a plain wasm32 host makes configure
# cross-compile. Only the decoding library is built and installed.
build_mpg123() {
  rm -rf "$work"
  mkdir -p "$work" "$prefix/lib/pkgconfig" "$prefix/include"
  (cd "$work" && emconfigure "$source_dir/configure" --host=wasm32-unknown-none --prefix="$prefix" \
    --disable-shared --enable-static --enable-modules=no --with-cpu=generic_fpu --with-audio=dummy \
    --enable-network=no --enable-ipv6=no --enable-buffer=no &&
    emmake make -j"$jobs" src/libmpg123/libmpg123.la)
  cp "$work/src/libmpg123/.libs/libmpg123.a" "$prefix/lib/"
  cp "$work/src/libmpg123/mpg123.h" "$source_dir/src/libmpg123/fmt123.h" "$prefix/include/"
  cp "$work/libmpg123.pc" "$prefix/lib/pkgconfig/"
}

case $name in
  zlib)
    rm -rf "$work"
    mkdir -p "$work"
    (cd "$work" && cp -a "$source_dir/." . && emconfigure ./configure --static --prefix="$prefix" &&
      emmake make -j"$jobs" libz.a && emmake make install) ;;
  libpng) cmake_build -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF ;;
  giflib) build_giflib ;;
  # CMake 3.25 misreads type sizes from a wasm object (it finds 9 bytes for size_t): they are given.
  libjpeg-turbo) cmake_build -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4 ;;
  freetype) cmake_build -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON \
    -DFT_DISABLE_BROTLI=ON ;;
  sdl2) cmake_build -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF ;;
  sdl2-ttf) cmake_build -DSDL2TTF_SAMPLES=OFF -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF ;;
  sdl2-image) cmake_build -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_DEPS_SHARED=OFF \
    -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_BMP=ON -DSDL2IMAGE_GIF=ON -DSDL2IMAGE_JPG=ON -DSDL2IMAGE_PNG=ON \
    -DSDL2IMAGE_LBM=OFF -DSDL2IMAGE_PCX=OFF -DSDL2IMAGE_PNM=OFF -DSDL2IMAGE_QOI=OFF -DSDL2IMAGE_SVG=OFF \
    -DSDL2IMAGE_TGA=OFF -DSDL2IMAGE_XCF=OFF -DSDL2IMAGE_XPM=OFF -DSDL2IMAGE_XV=OFF ;;
  # The game decodes every sound itself: the mixer only mixes channels.
  sdl2-mixer) cmake_build -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=OFF -DSDL2MIXER_WAVE=ON ;;
  mpg123) build_mpg123 ;;
  *)
    echo "web: no recipe for library $name" >&2
    exit 1 ;;
esac
