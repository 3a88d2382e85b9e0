// Figures for showing the picture: the cost of presenting a one-tile change and a
// whole-screen change (median and worst), and the wall time of a memory-game tile flip
// (78 steps, each a tile repaint and a 3 ms pause). Run it under X (Xvfb is fine) for the
// real display path; VARK_PRESENT=surface or =renderer picks the path, VARK_WINDOWED=1 a
// window. Prints, asserts nothing.
#include <SDL.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/platform.h"
#include "platform/runtime/app.h"
#include "platform/video/window.h"

namespace {

constexpr int kSteps = 78;
constexpr int kPauseMs = 3;
constexpr int kRepeats = 200;

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

vark::Picture Striped(int w, int h) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      static_cast<Uint32*>(s->pixels)[y * s->pitch / 4 + x] = 0xFF000000u | ((x * 7) << 16) | ((y * 5) << 8) | (x ^ y);
  return vark::Picture::FromSurface(s);
}

// A board like the memory game's: a picture behind, one tile in front.
class Board : public vark::Form {
 public:
  Board() : Form("Board") {
    Back.SetStretch(true);
    Back.SetPicture(Striped(640, 480));
    Tile.SetStretch(true);
    Tile.SetPicture(Striped(81, 105));
  }
  vark::Image& Back = AddImage("Back", {0, 0, 9600, 7200});
  vark::Image& Tile = AddImage("Tile", {1440, 120, 1215, 1575});
};

struct Figures {
  double median;
  double worst;
};

Figures Summarise(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.back()};
}

// One flip step: the tile squeezes (or opens) and is repainted at once.
void Step(Board& b, int direction) {
  b.Tile.Move(b.Tile.Left(), b.Tile.Top() + 10 * direction, b.Tile.Width(), b.Tile.Height() - 20 * direction);
  b.Tile.Refresh();
}

Figures OneTile(Board& b) {
  std::vector<double> ms;
  for (int i = 0; i < kRepeats; ++i) {
    auto start = Clock::now();
    Step(b, (i / kSteps) % 2 == 0 ? 1 : -1);
    ms.push_back(MsSince(start));
  }
  return Summarise(ms);
}

Figures WholeScreen() {
  std::vector<double> ms;
  for (int i = 0; i < kRepeats / 4; ++i) {
    auto start = Clock::now();
    vark::Screen::Get().InvalidateAll();
    vark::Screen::Get().Present();
    ms.push_back(MsSince(start));
  }
  return Summarise(ms);
}

// Paced as the memory game paces its steps: each ends one pause after the one before.
double FlipHalfMs(Board& b, int direction) {
  auto start = Clock::now();
  uint64_t due = vark::App::Get().Now();
  for (int step = 0; step < kSteps; ++step) {
    Step(b, direction);
    due += kPauseMs;
    uint64_t now = vark::App::Get().Now();
    if (due > now) vark::App::Get().GetClock().Pause(static_cast<int>(due - now));
  }
  return MsSince(start);
}

}  // namespace

int main() {
  if (!getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
  SDL_Init(SDL_INIT_VIDEO);
  const char* windowed = getenv("VARK_WINDOWED");
  vark::ConnectPlatform();
  vark::Screen::Get().Init(true, !(windowed && std::strcmp(windowed, "1") == 0));
  auto& board = vark::Forms::Show<Board>();
  vark::Screen::Get().Present();
  vark::App::Get().WaitUntil(vark::App::Get().Now() + 500);  // the window is up and drawn
  std::printf("video driver %s, showing through the %s\n", SDL_GetCurrentVideoDriver(),
              vark::GameWindow::Get().PresentPath());

  Figures tile = OneTile(board);
  std::printf("present one tile change: median %.3f ms, max %.3f ms (target well under 1 ms)\n", tile.median,
              tile.worst);
  Figures whole = WholeScreen();
  std::printf("present whole-screen change: median %.3f ms, max %.3f ms\n", whole.median, whole.worst);
  double closing = FlipHalfMs(board, 1);
  double opening = FlipHalfMs(board, -1);
  std::printf("tile flip, %d + %d steps with %d ms pauses: %.0f ms + %.0f ms = %.0f ms (design %d ms, within 20%%)\n",
              kSteps, kSteps, kPauseMs, closing, opening, closing + opening, 2 * kSteps * kPauseMs);
  vark::Forms::UnloadAll();
  vark::Screen::Get().Shutdown();
  SDL_Quit();
  return 0;
}
