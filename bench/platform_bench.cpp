// Figures for the runtime: idle cost of the event loop, the achieved rate of a 10 ms timer,
// and the time from start until the main menu is shown. Prints, asserts nothing.
#include <SDL.h>
#include <SDL_ttf.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "platform/files/settings.h"
#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/platform.h"
#include "platform/runtime/app.h"
#include "profiles/form1.h"
#include "startup/form2.h"
#include "startup/options.h"

namespace {

double CpuSeconds() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class Idle : public vark::Form {
 public:
  Idle() : Form("Idle") {}
  int ticks = 0;
  vark::Timer& Blink = AddTimer("Blink", 500, [this] { ++ticks; });
  vark::Timer& Focus = AddTimer("Focus", 756, [this] { ++ticks; });
};

class Fast : public vark::Form {
 public:
  Fast() : Form("Fast") {}
  int ticks = 0;
  vark::Timer& Tick = AddTimer("Tick", 10, [this] { ++ticks; });
};

void RunFor(int ms) { vark::App::Get().WaitUntil(vark::App::Get().Now() + static_cast<uint64_t>(ms)); }

}  // namespace

int main() {
  // A real display when there is one: the offscreen driver cannot sleep in its event wait.
  if (!getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER);
  TTF_Init();
  vark::ConnectPlatform();
  vark::Screen::Get().Init(true, false);
  std::printf("video driver: %s\n", SDL_GetCurrentVideoDriver());

  double cpu0 = CpuSeconds();
  vark::Forms::Show<Idle>();
  RunFor(5000);
  double idleCpu = CpuSeconds() - cpu0;
  std::printf("idle loop, 500 ms and 756 ms timers, 5 s: %.3f s CPU = %.2f%% of one core (target < 1%%)\n", idleCpu,
              idleCpu / 5.0 * 100.0);
  vark::Forms::Unload<Idle>();

  auto& fast = vark::Forms::Show<Fast>();
  RunFor(5000);
  std::printf("10 ms timer over 5 s: %.1f ticks per second (target >= 99)\n", fast.ticks / 5.0);
  vark::Forms::Unload<Fast>();

  auto config = std::filesystem::temp_directory_path() / "vark-bench-config";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  vark::SaveSettings(vark::kGameApplication, vark::kGameSection, {{vark::kSafeModeKey, "0"}});
  vark::Options() = vark::ReadGameOptions();  // as main does, so the start-up does not open the set-up program
  auto start = std::chrono::steady_clock::now();
  vark::App::Get().Dispatch([] { vark::Forms::Show<vark::Form2>(); });
  while (!vark::App::Get().Ended() &&
         !(vark::Forms::IsLoaded<vark::Form1>() && vark::Forms::Get<vark::Form1>().Visible()))
    RunFor(1);
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("start until the main menu is shown: %.1f ms (design: 600 ms of timers + under 50 ms)\n", ms);
  std::filesystem::remove_all(config);
  vark::Forms::UnloadAll();
  vark::Screen::Get().Shutdown();
  SDL_Quit();
  return 0;
}
