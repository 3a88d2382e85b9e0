// Times the terrain renderer: one DrawFrame from several camera positions, beside a plain
// version of the same ray caster written the obvious way, and one whole pass of the intro
// with its screen composed, all in processor time. Uses the generated maps of the build when they are usable,
// else synthetic ones.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "intro/intro.h"
#include "intro/voxel.h"
#include "intro/voxel_plain.h"
#include "platform/video/display.h"
#include "platform/base/owned.h"
#include "platform/forms/screen.h"
#include "support/driver.h"

namespace {

using namespace vark;
namespace fs = std::filesystem;

void WriteByteSurface(const fs::path& file, int w, int h, const std::function<uint8_t(int, int)>& byteAt) {
  vark::OwnedSurface s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 8, SDL_PIXELFORMAT_INDEX8));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) static_cast<uint8_t*>(s->pixels)[y * s->pitch + x] = byteAt(x, y);
  fs::create_directories(file.parent_path());
  IMG_SavePNG(s.get(), file.c_str());
}

uint8_t Hills(int x, int y) {
  double v = 0.5 + 0.2 * std::sin(x * 2 * M_PI / 128) * std::cos(y * 2 * M_PI / 256) +
             0.15 * std::sin((x + 2 * y) * 2 * M_PI / 96) + 0.1 * std::cos(y * 2 * M_PI / 32);
  return static_cast<uint8_t>(std::clamp(v * 230, 0.0, 254.0));
}

// The three pictures as the intro loads them from the working folder.
struct Maps {
  Picture frame = Picture::LoadRaw("gfx\\title.gif");
  Picture texture = Picture::LoadRaw("gfx\\texture.gif");
  Picture height = Picture::LoadRaw("gfx\\height.gif");

  bool Usable() const {
    return IsByteSurface(frame.Raw(), kFrameWidth, kFrameHeight) && IsByteSurface(texture.Raw(), kMapSize, kMapSize) &&
           IsByteSurface(height.Raw(), kMapSize, kMapSize);
  }
};

void WriteSyntheticMaps(const TempFolder& dir) {
  WriteByteSurface(dir.Path() / "gfx/title.gif", kFrameWidth, kFrameHeight, [](int, int) { return uint8_t{0}; });
  WriteByteSurface(dir.Path() / "gfx/texture.gif", kMapSize, kMapSize,
                   [](int x, int y) { return uint8_t(1 + Hills(x, y)); });
  WriteByteSurface(dir.Path() / "gfx/height.gif", kMapSize, kMapSize, Hills);
}

// The processor time this thread has used, in milliseconds: what a pass costs of a core,
// also on a machine busy with other work.
double ThreadMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double MedianMs(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double start = ThreadMs();
    work();
    times.push_back(ThreadMs() - start);
  }
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[runs / 2];
}

std::vector<uint8_t> FrameBytes(const SDL_Surface* s) {
  auto* p = static_cast<const uint8_t*>(s->pixels);
  return {p, p + s->pitch * s->h};
}

void TimeRenderer(const Maps& maps) {
  SDL_Surface* frame = maps.frame.Raw();
  SDL_Surface* texture = maps.texture.Raw();
  SDL_Surface* height = maps.height.Raw();
  std::printf("%-24s %12s %12s %8s\n", "camera (x, y, z, heading)", "DrawFrame ms", "plain ms", "same");
  const Camera cameras[] = {{200, 200, 500, 100, 0.05},
                            {-731.5, 4000.25, 300, 900, 0.05},
                            {40, 470, 150, 2000, 0.08},
                            {256, 256, 520, 1500, 0.02},
                            {1e5, -1e5, 380, 0, 0.05}};
  for (const Camera& cam : cameras) {
    double fast = MedianMs(301, [&] { DrawFrame(cam, frame, texture, height); });
    auto fastBytes = FrameBytes(frame);
    double plain = MedianMs(101, [&] { PlainDrawFrame(cam, frame, texture, height); });
    bool same = fastBytes == FrameBytes(frame);
    std::printf("%6.0f %7.0f %4.0f %5d %12.4f %12.4f %8s\n", cam.CamX, cam.CamY, cam.CamZ, cam.Heading, fast, plain,
                same ? "yes" : "NO");
  }
}

// One pass of the running intro, on the maps of the working folder.
void TimeWholePass() {
  auto& intro = Forms::Show<INTRO>();
  intro.Picture1.SetVisible(false);
  constexpr double kPassMs = 1000.0 / kMostPassesPerSecond;
  double logic = MedianMs(301, [&] { intro.FramePass(kPassMs); });
  double pass = MedianMs(1001, [&] {
    intro.FramePass(kPassMs);
    Screen::Get().Compose();
    Screen::Get().Present();
  });
  std::printf("pass without composing the screen: %.4f ms\n", logic);
  std::printf("whole pass with the screen composed: %.4f ms (landscape %s)\n", pass,
              intro.VoxelReady() ? "rendered" : "missing");
  std::printf("%d passes a second take %.1f%% of a core\n", kMostPassesPerSecond, pass * kMostPassesPerSecond / 10);
}

}  // namespace

int main() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  Driver d;
  TempFolder dir;
  dir.LinkGameData(VARK_GAME_DIR);
  const char* source = "generated";
  // Without usable generated maps, synthetic ones in a folder of their own.
  std::optional<TempFolder> synthetic;
  if (!Maps{}.Usable()) {
    synthetic.emplace();
    WriteSyntheticMaps(*synthetic);
    source = "synthetic";
  }
  Maps maps;
  if (!maps.Usable()) {
    std::fprintf(stderr, "voxel_bench: no usable maps\n");
    return 1;
  }
  std::printf("maps: %s\n", source);
  TimeRenderer(maps);
  TimeWholePass();
  return 0;
}
