// The intro's landscape: a height-map terrain rendered by casting one ray per screen
// column through a 512 x 512 height map and colour map, straight into the palette bytes
// of an 8-bit frame buffer picture.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace vark {

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;
constexpr int kMapSize = 512;
// The ray takes samples 0 to kLastStep, so the view reaches kLastStep map units.
constexpr int kLastStep = 300;
// Heading wraps at the nearest whole number to a full turn (2 pi x 360).
constexpr int kHeadingTurn = 2262;

// The pixel bytes of an 8-bit picture as a two-dimensional array addressed from the
// bottom row up: (x, 0) is the leftmost byte of the bottom row. A view over the
// surface's own memory; nothing is copied.
struct ByteView {
  uint8_t* pixels = nullptr;
  int pitch = 0;
  int rows = 0;

  static ByteView Of(SDL_Surface* surface);
  uint8_t* Row(int y) const { return pixels + static_cast<ptrdiff_t>(rows - 1 - y) * pitch; }
  uint8_t& operator()(int x, int y) const { return Row(y)[x]; }
};

// True when the surface is an 8-bit picture of at least w x h pixels.
bool IsByteSurface(const SDL_Surface* surface, int w, int h);

// The map cell of a map coordinate: the nearest integer (halves to even), low 9 bits,
// which for negative coordinates equals the coordinate modulo 512.
int MapCell(double v);

struct Camera {
  double CamX = 200;
  double CamY = 200;
  double CamZ = 500;
  int16_t Heading = 100;
  double PitchStep = 0.05;

  // Turns the view, keeping Heading within one turn so that Heading plus a screen
  // column always fits its 16 bits.
  void Turn(int delta);
  // Moves the camera away from the mouse offset against the middle of a w x h box, by a
  // tenth of the offset times `share` (the part of one drift step that has passed).
  void Drift(int mouseX, int mouseY, int w, int h, double share = 1.0);
};

// Renders one frame of the terrain seen from the camera into `frame` (at least 320 x 240),
// with heights from `height` and palette indices from `texture` (both at least 512 x 512,
// all three 8-bit; the caller checks with IsByteSurface).
void DrawFrame(const Camera& cam, SDL_Surface* frame, SDL_Surface* texture, SDL_Surface* height);

}  // namespace vark
