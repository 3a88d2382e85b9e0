#include "intro/voxel.h"

#include <array>
#include <cmath>
#include <cstring>

namespace vark {
namespace {

constexpr double kHighestGround = 2.0 * 255;

// The height above which a ray gives up: once it is above the highest possible terrain
// and not sinking, nothing more can be drawn. A sinking ray (or one that went wrong and
// lies at infinity, where it can meet no terrain either) goes on.
double GiveUpAbove(double dz) { return dz >= 0 ? kHighestGround : HUGE_VAL; }

// Keeps a surface's pixels addressable for the length of one frame.
class PixelLock {
 public:
  explicit PixelLock(SDL_Surface* s) : surface_(SDL_MUSTLOCK(s) && SDL_LockSurface(s) == 0 ? s : nullptr) {}
  ~PixelLock() {
    if (surface_) SDL_UnlockSurface(surface_);
  }
  PixelLock(const PixelLock&) = delete;
  PixelLock& operator=(const PixelLock&) = delete;

 private:
  SDL_Surface* surface_;
};

// Added to a map coordinate, 1.5 x 2^52 pushes the fraction out of the mantissa: the sum
// is rounded to the nearest integer (halves to even, the default rounding mode), and its
// low mantissa bits are that integer in two's complement. Exact for |v| < 2^51.
constexpr double kRoundingShift = 6755399441055744.0;

// The ray's x and y, stepped, rounded and cut to map cells together by one vector
// instruction each; every lane is computed exactly as a lone double would be.
using Pair = double __attribute__((vector_size(16)));
constexpr Pair kCellShift = {kRoundingShift, kRoundingShift};
using Cells = int64_t __attribute__((vector_size(16)));

// Twice each height byte: the terrain's height in the ray's units.
constexpr std::array<double, 256> kGround = [] {
  std::array<double, 256> ground{};
  for (int h = 0; h < 256; ++h) ground[h] = 2.0 * h;
  return ground;
}();

// A 512 x 512 map read from its bottom row up: the byte of cell (i, j) lies j pitches
// before the bottom row's byte i.
struct MapView {
  const uint8_t* bottom;
  ptrdiff_t pitch;

  explicit MapView(const ByteView& view) : bottom(view.Row(0)), pitch(view.pitch) {}
  uint8_t operator()(ptrdiff_t i, ptrdiff_t j) const { return bottom[i - j * pitch]; }
};

// One screen column: the ray walks away from the camera, and wherever the terrain rises
// above it, the column is filled upwards with that cell's colour until the ray, which
// climbs faster with every drawn row, passes over the terrain again. Everything is taken
// by value: the byte writes could otherwise alias the camera and the views, and the
// compiler would read them from memory again after every pixel. Each sample of the ray
// costs only a few instructions: the colour is read only where the terrain is drawn, and
// the pixels are walked with a pointer.
void CastColumn(const Camera cam, int column, const ByteView screen, const MapView colours, const MapView heights) {
  const double pitch = cam.PitchStep;
  const double halfPitch = pitch * 0.5;
  double angle = static_cast<int16_t>(cam.Heading + column) / 360.0;
  Pair ray = {cam.CamX, cam.CamY};
  const Pair dxy = {std::cos(angle), std::sin(angle)};
  double z = cam.CamZ;
  double dz = pitch * -100;
  double rise = 0;
  double giveUpAbove = GiveUpAbove(dz);
  uint8_t* pixel = &screen(column, 0);
  uint8_t* const topRow = &screen(column, kFrameHeight - 1);  // the top row always stays sky
  const ptrdiff_t up = -static_cast<ptrdiff_t>(screen.pitch);
  for (int step = 0; step <= kLastStep; ++step) {
    Cells cells;
    Pair shifted = ray + kCellShift;
    std::memcpy(&cells, &shifted, sizeof cells);
    cells &= kMapSize - 1;
    ptrdiff_t i = cells[0];
    ptrdiff_t j = cells[1];
    double ground = kGround[heights(i, j)];
    if (ground > z) {
      uint8_t colour = colours(i, j);
      do {
        *pixel = colour;
        pixel += up;
        if (pixel == topRow) return;
        dz += pitch;
        z += rise;
      } while (!(z > ground));
      giveUpAbove = GiveUpAbove(dz);
    }
    ray += dxy;
    z += dz;
    rise += halfPitch;
    if (z >= giveUpAbove) return;
  }
}

}  // namespace

ByteView ByteView::Of(SDL_Surface* surface) {
  return ByteView{static_cast<uint8_t*>(surface->pixels), surface->pitch, surface->h};
}

bool IsByteSurface(const SDL_Surface* surface, int w, int h) {
  return surface && surface->pixels && surface->format->BytesPerPixel == 1 && surface->format->BitsPerPixel == 8 &&
         surface->w >= w && surface->h >= h;
}

int MapCell(double v) {
  // Never out of range: only the low bits of the rounded coordinate are kept.
  double shifted = v + kRoundingShift;
  uint64_t bits;
  std::memcpy(&bits, &shifted, sizeof bits);
  return static_cast<int>(bits & (kMapSize - 1));
}

void Camera::Turn(int delta) {
  int wrapped = (Heading + delta) % kHeadingTurn;
  Heading = static_cast<int16_t>(wrapped < 0 ? wrapped + kHeadingTurn : wrapped);
}

void Camera::Drift(int mouseX, int mouseY, int w, int h, double share) {
  CamX = CamX - (mouseX - w / 2.0) / 10 * share;
  CamY = CamY - (mouseY - h / 2.0) / 10 * share;
}

void DrawFrame(const Camera& cam, SDL_Surface* frame, SDL_Surface* texture, SDL_Surface* height) {
  PixelLock lockFrame(frame), lockTexture(texture), lockHeight(height);
  ByteView screen = ByteView::Of(frame);
  ByteView colours = ByteView::Of(texture);
  ByteView heights = ByteView::Of(height);
  for (int row = 0; row < kFrameHeight; ++row) std::memset(screen.Row(row), 0, kFrameWidth);
  for (int column = 0; column < kFrameWidth; ++column)
    CastColumn(cam, column, screen, MapView(colours), MapView(heights));
}

}  // namespace vark
