// Prints what the shooter's tick costs with a full playfield, and how many ticks per
// second the running shooter achieves in the real event loop.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/runtime/app.h"
#include "platform/platform.h"
#include "profiles/stack.h"
#include "shooter/caco.h"
#include "support/driver.h"

using namespace vark;

namespace {

// Eleven monsters, eleven falling bullets and six rising shots, none of them near the
// cannon, so that a tick runs every pass in full.
void FillPlayfield(Caco& c) {
  c.Level = LevelParams{10, 6, 1000000, 1, 11};
  c.PutSet();
  c.Image8.SetLeft(-3000);
  for (int j = 0; j < shooter::kBulletSlots; ++j) {
    c.BullY[j] = 2000;
    c.BullX[j] = 300 + 800 * j;
    c.Bullet[j]->Move(c.BullX[j], c.BullY[j], 240, 240);
    c.Bullet[j]->SetVisible(true);
  }
  for (int i = 0; i < 6; ++i) {
    c.VarkBull[i]->Move(200 + 1500 * i, 5000, 270, 270);
    c.VarkBull[i]->SetVisible(true);
  }
}

void MeasureTickCost() {
  Driver d;
  TempFolder dir;
  dir.LinkGameData(VARK_GAME_DIR);
  Caco& c = Forms::Show<Caco>();
  const int rounds = 20000;
  std::chrono::nanoseconds spent{0};
  for (int n = 0; n < rounds; ++n) {
    FillPlayfield(c);
    auto start = std::chrono::steady_clock::now();
    c.RunGame();
    spent += std::chrono::steady_clock::now() - start;
  }
  std::printf("RunGame with 11 monsters, 11 bullets, 6 shots: %.2f us per tick (%d ticks)\n",
              spent.count() / 1000.0 / rounds, rounds);
}

void MeasureTickRate() {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("VARK_WINDOWED", "1", 1);
  std::filesystem::current_path(VARK_GAME_DIR);
  if (!InitGamePlatform()) return;
  Forms::Get<Stack>();
  Caco& c = Forms::Show<Caco>();
  c.Timer9.SetInterval(1);
  App& app = App::Get();
  app.WaitUntil(app.Now() + 5);
  c.Level.FireOdds = 1;  // nobody fires: the cannon lives through the measurement
  uint64_t firstTick = c.TicksRun;
  uint64_t start = app.Now();
  app.WaitUntil(start + 5000);
  double seconds = (app.Now() - start) / 1000.0;
  std::printf("running shooter: %.1f ticks per second over %.1f s in the real loop\n",
              (c.TicksRun - firstTick) / seconds, seconds);
  ShutdownGamePlatform();
}

}  // namespace

int main() {
  MeasureTickCost();
  MeasureTickRate();
  return 0;
}
