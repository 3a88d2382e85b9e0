// The terrain renderer on small synthetic maps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "intro/voxel.h"
#include "intro/voxel_plain.h"
#include "platform/base/owned.h"

namespace vark {
namespace {

OwnedSurface ByteSurface(int w, int h, uint8_t fill) {
  OwnedSurface s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 8, SDL_PIXELFORMAT_INDEX8));
  SDL_FillRect(s.get(), nullptr, fill);
  return s;
}

// The byte a viewer sees at column x, row y counted from the bottom, read straight from
// the surface's top-down memory.
uint8_t Shown(const SDL_Surface* s, int x, int y) {
  return static_cast<const uint8_t*>(s->pixels)[(s->h - 1 - y) * s->pitch + x];
}

void FillRandom(SDL_Surface* s, unsigned seed) {
  std::mt19937 gen(seed);
  auto* p = static_cast<uint8_t*>(s->pixels);
  for (int i = 0; i < s->pitch * s->h; ++i) p[i] = static_cast<uint8_t>(gen());
}

struct Scene {
  OwnedSurface frame = ByteSurface(kFrameWidth, kFrameHeight, 0xEE);  // stale bytes to be cleared
  OwnedSurface texture = ByteSurface(kMapSize, kMapSize, 7);
  OwnedSurface height = ByteSurface(kMapSize, kMapSize, 100);
  Camera cam;

  void Draw() { DrawFrame(cam, frame.get(), texture.get(), height.get()); }
  // Rows drawn in a column: the count of non-zero rows, which must all lie at the bottom.
  int FilledRows(int column) const {
    int rows = 0;
    while (rows < kFrameHeight && Shown(frame.get(), column, rows) != 0) ++rows;
    for (int r = rows; r < kFrameHeight; ++r) EXPECT_EQ(Shown(frame.get(), column, r), 0) << column << "," << r;
    return rows;
  }
};

TEST(IntroVoxel, MapCellRoundsHalvesToEvenAndWrapsNegativeValues) {
  EXPECT_EQ(MapCell(0.5), 0);
  EXPECT_EQ(MapCell(1.5), 2);
  EXPECT_EQ(MapCell(2.5), 2);
  EXPECT_EQ(MapCell(2.5000001), 3);
  EXPECT_EQ(MapCell(-0.5), 0);
  EXPECT_EQ(MapCell(-1.5), 510);
  EXPECT_EQ(MapCell(-1), 511);
  EXPECT_EQ(MapCell(511.5), 0);
  EXPECT_EQ(MapCell(-512.6), 511);
  std::mt19937 gen(5);
  std::uniform_real_distribution<double> wide(-3e6, 3e6);
  for (int i = 0; i < 100000; ++i) {
    double v = i % 2 ? wide(gen) : std::floor(wide(gen)) + 0.5;
    auto expected = static_cast<int>(static_cast<int64_t>(std::nearbyint(v)) & 511);
    ASSERT_EQ(MapCell(v), expected) << v;
  }
}

TEST(IntroVoxel, FlatTerrainBelowTheCameraFillsEachColumnFromTheBottomUntilTheRayPassesIt) {
  Scene s;
  // Values exact in binary: the first sample ahead of the camera is 5.25 below the
  // ground; each drawn row lifts the ray by 1/32, so 169 rows pass the ground.
  s.cam.CamZ = 201;
  s.cam.PitchStep = 0.0625;
  s.Draw();
  for (int c = 0; c < kFrameWidth; ++c) {
    ASSERT_EQ(s.FilledRows(c), 169) << c;
    EXPECT_EQ(Shown(s.frame.get(), c, 0), 7);
  }
}

TEST(IntroVoxel, HeightByteIsHalfTheTerrainHeight) {
  struct Case {
    uint8_t cell;
    double camZ;
    int rows;
  };
  // No pitch: the ray stays level, so it either starts inside the terrain (every row
  // but the top one) or never meets it.
  for (Case c : {Case{0, 0.5, 0}, Case{0, -0.5, 239}, Case{255, 509.5, 239}, Case{255, 510.5, 0}}) {
    Scene s;
    SDL_FillRect(s.height.get(), nullptr, c.cell);
    s.cam.CamZ = c.camZ;
    s.cam.PitchStep = 0;
    s.Draw();
    EXPECT_EQ(s.FilledRows(0), c.rows) << int(c.cell) << " at " << c.camZ;
    EXPECT_EQ(s.FilledRows(319), c.rows) << int(c.cell) << " at " << c.camZ;
  }
  Scene s;
  SDL_FillRect(s.height.get(), nullptr, 255);  // 510: just above the starting camera
  s.Draw();
  EXPECT_EQ(s.FilledRows(160), 239);
}

TEST(IntroVoxel, CameraPositionsWrapModulo512) {
  Scene base;
  FillRandom(base.height.get(), 1);
  FillRandom(base.texture.get(), 2);
  base.cam.CamX = 200.25;
  base.cam.CamY = 37.75;
  base.Draw();
  for (auto [dx, dy] : {std::pair{512, 0}, {0, 1024}, {-512, -512}, {-1536, 2048}}) {
    Scene moved;
    FillRandom(moved.height.get(), 1);
    FillRandom(moved.texture.get(), 2);
    moved.cam.CamX = base.cam.CamX + dx;
    moved.cam.CamY = base.cam.CamY + dy;
    moved.Draw();
    for (int r = 0; r < kFrameHeight; ++r)
      for (int c = 0; c < kFrameWidth; ++c)
        ASSERT_EQ(Shown(moved.frame.get(), c, r), Shown(base.frame.get(), c, r)) << dx << "," << dy;
  }
}

TEST(IntroVoxel, TopRowStaysSkyAndNothingOutsideTheFrameIsWritten) {
  for (double camZ : {-1000.0, 0.0, 500.0}) {
    Scene s;
    s.frame = ByteSurface(kFrameWidth + 10, kFrameHeight + 6, 0xEE);
    FillRandom(s.height.get(), 3);
    FillRandom(s.texture.get(), 4);
    s.cam.CamZ = camZ;
    s.Draw();
    for (int c = 0; c < kFrameWidth; ++c) ASSERT_EQ(Shown(s.frame.get(), c, kFrameHeight - 1), 0) << camZ;
    for (int r = 0; r < s.frame->h; ++r)
      for (int c = 0; c < s.frame->w; ++c)
        if (r >= kFrameHeight || c >= kFrameWidth) {
          ASSERT_EQ(Shown(s.frame.get(), c, r), 0xEE) << c << "," << r;
        }
  }
}

void FillHills(SDL_Surface* s) {
  auto* p = static_cast<uint8_t*>(s->pixels);
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->pitch; ++x)
      p[y * s->pitch + x] = static_cast<uint8_t>(127.5 + 127 * std::sin(x / 23.0) * std::cos(y / 17.0));
}

// The fast renderer draws exactly the bytes of the plain one: rough and smooth terrain,
// cameras high and low, pitched up, level and down, far from the origin, on maps and
// frames larger than needed (rows longer than 512 bytes, more rows than 512).
TEST(IntroVoxel, DrawsTheSameBytesAsThePlainCaster) {
  const Camera cameras[] = {
      {200, 200, 500, 100, 0.05},  {-731.5, 4000.25, 300, 900, 0.05}, {40, 470, 150, 2000, 0.08},
      {256, 256, 520, 1500, 0.02}, {1e5, -1e5, 380, 0, 0.05},         {10, 20, -50, 700, -0.03},
      {300, 100, 600, 2200, 0.0},  {77.5, 12.5, 255, 1234, 0.3},      {-3.5, 511.5, 200, 2261, 0.01}};
  struct Maps {
    int mapW, mapH, frameW, frameH;
    bool smooth;
  };
  for (Maps m : {Maps{kMapSize, kMapSize, kFrameWidth, kFrameHeight, true},
                 Maps{kMapSize, kMapSize, kFrameWidth, kFrameHeight, false},
                 Maps{kMapSize + 9, kMapSize + 5, kFrameWidth + 7, kFrameHeight + 3, true}}) {
    OwnedSurface texture = ByteSurface(m.mapW, m.mapH, 0);
    OwnedSurface height = ByteSurface(m.mapW, m.mapH, 0);
    FillRandom(texture.get(), 11);
    m.smooth ? FillHills(height.get()) : FillRandom(height.get(), 12);
    OwnedSurface fast = ByteSurface(m.frameW, m.frameH, 0xEE);
    OwnedSurface plain = ByteSurface(m.frameW, m.frameH, 0xEE);
    for (const Camera& cam : cameras) {
      DrawFrame(cam, fast.get(), texture.get(), height.get());
      PlainDrawFrame(cam, plain.get(), texture.get(), height.get());
      auto* f = static_cast<const uint8_t*>(fast->pixels);
      auto* p = static_cast<const uint8_t*>(plain->pixels);
      ASSERT_TRUE(std::equal(f, f + fast->pitch * fast->h, p))
          << "map " << m.mapW << "x" << m.mapH << (m.smooth ? " smooth" : " rough") << ", camera " << cam.CamX << ","
          << cam.CamY << "," << cam.CamZ << " heading " << cam.Heading << " pitch " << cam.PitchStep;
    }
  }
}

TEST(IntroVoxel, HeadingWrapsWithinOneTurn) {
  Camera cam;
  cam.Heading = 2250;
  cam.Turn(30);
  EXPECT_EQ(cam.Heading, 18);
  cam.Turn(-30);
  EXPECT_EQ(cam.Heading, 2250);
  cam.Heading = 10;
  cam.Turn(-30);
  EXPECT_EQ(cam.Heading, 2242);
  for (int i = 0; i < 5000; ++i) {
    cam.Turn(30);
    ASSERT_GE(cam.Heading, 0);
    ASSERT_LT(cam.Heading + kFrameWidth, 32768);
  }
}

}  // namespace
}  // namespace vark
