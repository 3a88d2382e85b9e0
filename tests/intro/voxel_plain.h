// The terrain ray caster written the obvious way, kept beside the fast one as the picture
// it must match byte for byte: rounding through the library, every byte through an
// indexing helper, the clear pixel by pixel, and no early way out of a column.
#pragma once

#include <SDL.h>

#include <cmath>
#include <cstdint>

#include "intro/voxel.h"

namespace vark {

inline void PlainDrawFrame(const Camera& cam, SDL_Surface* frame, SDL_Surface* texture, SDL_Surface* height) {
  auto at = [](SDL_Surface* s, int x, int y) -> uint8_t& {
    return static_cast<uint8_t*>(s->pixels)[(s->h - 1 - y) * s->pitch + x];
  };
  auto cell = [](double v) { return static_cast<int32_t>(std::nearbyint(v)) & 511; };
  for (int c = 0; c < 320; ++c)
    for (int r = 0; r < 240; ++r) at(frame, c, r) = 0;
  for (int c = 0; c < 320; ++c) {
    double x = cam.CamX, y = cam.CamY, z = cam.CamZ;
    double a = static_cast<int16_t>(cam.Heading + c) / 360.0;
    double dx = std::cos(a), dy = std::sin(a), dz = cam.PitchStep * -100, rise = 0;
    int row = 0;
    for (int step = 0; step <= 300 && row < 239; ++step) {
      int i = cell(x), j = cell(y);
      double h = 2.0 * at(height, i, j);
      if (h > z) {
        uint8_t k = at(texture, i, j);
        do {
          at(frame, c, row) = k;
          dz += cam.PitchStep;
          z += rise;
          ++row;
        } while (row < 239 && !(z > h));
      }
      x += dx;
      y += dy;
      z += dz;
      rise += cam.PitchStep * 0.5;
    }
  }
}

}  // namespace vark
