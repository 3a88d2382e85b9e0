// Feeds arbitrary bytes to the picture decoder and, when it gives a picture, makes the 32-bit
// drawing copy the game would make. libFuzzer reports crashes, slow inputs and oversized
// allocations.
#include <SDL.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files/picture_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string problem;
  SDL_Surface* picture = vark::DecodePicture(std::string_view(reinterpret_cast<const char*>(data), size), problem);
  if (!picture) return 0;
  SDL_FreeSurface(SDL_ConvertSurfaceFormat(picture, SDL_PIXELFORMAT_ARGB8888, 0));
  SDL_FreeSurface(picture);
  return 0;
}
