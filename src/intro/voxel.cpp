#include "intro/voxel.h"

#include <cmath>
#include <cstring>

namespace vark {
namespace {

constexpr double kHighestGround = 2.0 * 255;

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

// One screen column: the ray walks away from the camera, and wherever the terrain rises
// above it, the column is filled upwards with that cell's colour until the ray, which
// climbs faster with every drawn row, passes over the terrain again. Everything is taken
// by value: the byte writes could otherwise alias the camera and the views, and the
// compiler would read them from memory again after every pixel.
void CastColumn(const Camera cam, int column, const ByteView screen, const ByteView colours, const ByteView heights) {
  const double pitch = cam.PitchStep;
  double x = cam.CamX;
  double y = cam.CamY;
  double z = cam.CamZ;
  double angle = static_cast<int16_t>(cam.Heading + column) / 360.0;
  double dx = std::cos(angle);
  double dy = std::sin(angle);
  double dz = pitch * -100;
  double rise = 0;
  int row = 0;
  for (int step = 0; step <= kLastStep; ++step) {
    int i = MapCell(x);
    int j = MapCell(y);
    double ground = 2.0 * heights(i, j);
    if (ground > z) {
      uint8_t colour = colours(i, j);
      do {
        screen(column, row) = colour;
        dz += pitch;
        z += rise;
        if (++row >= kFrameHeight - 1) return;  // the top row always stays sky
      } while (!(z > ground));
    }
    x += dx;
    y += dy;
    z += dz;
    rise += pitch * 0.5;
    // Above the highest possible terrain and not sinking: nothing more can be drawn.
    if (dz >= 0 && z >= kHighestGround) return;
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
  // Adding 1.5 x 2^52 pushes the fraction out of the mantissa: the sum is rounded to the
  // nearest integer (halves to even, the default rounding mode), and its low mantissa bits
  // are that integer in two's complement. Exact for |v| < 2^51; never out of range.
  double shifted = v + 6755399441055744.0;
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
  for (int column = 0; column < kFrameWidth; ++column) CastColumn(cam, column, screen, colours, heights);
}

}  // namespace vark
