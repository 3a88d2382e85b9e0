#include "platform/video/display.h"

#include <SDL.h>

#include <algorithm>
#include <optional>

#include "platform/base/geometry.h"
#include "platform/base/run_state.h"
#include "platform/video/window.h"

namespace vark {
namespace {

class ScaledDisplay : public DisplayService {
 public:
  std::vector<DisplayMode> Modes() override {
    std::vector<DisplayMode> modes;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
      SDL_DisplayMode m;
      if (SDL_GetDisplayMode(0, i, &m) == 0) modes.push_back({m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format))});
    }
    // The scaled screen offers 640 x 480 at both depths whatever the monitor can do.
    modes.push_back({640, 480, 32});
    modes.push_back({640, 480, 16});
    return modes;
  }

  // The desktop's mode until the game asks for another, then the one asked for.
  DisplayMode Current() override { return switched_ ? *switched_ : DesktopMode(); }

  int RefreshRate() override {
    SDL_Window* window = GameWindow::Get().Handle();
    int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
    SDL_DisplayMode mode;
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
  }

  void Change(const DisplayMode& mode) override {
    switched_ = mode;
    if (mode.width == 640 && mode.height == 480) GameWindow::Get().ShowGameMode();
    else GameWindow::Get().ShowDesktopMode();
  }

 private:
  std::optional<DisplayMode> switched_;
};

// The run's display service, and the desktop's mode as first read.
struct DisplayState {
  std::unique_ptr<DisplayService> service = MakeScaledDisplay();
  std::optional<DisplayMode> desktop;
};

std::unique_ptr<DisplayService>& Service() { return CurrentRun().Get<DisplayState>().service; }

DisplayMode ReadDesktopMode() {
  SDL_DisplayMode m;
  if (SDL_GetDesktopDisplayMode(0, &m) != 0) return DisplayMode{640, 480, 32};
  return DisplayMode{m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format))};
}

}  // namespace

DisplayMode DesktopMode() {
  // Read once, before the game's window covers the display.
  std::optional<DisplayMode>& desktop = CurrentRun().Get<DisplayState>().desktop;
  if (!desktop) desktop = ReadDesktopMode();
  return *desktop;
}

int PassesPerSecond(int refreshHz) {
  return refreshHz > 0 ? std::min(refreshHz, kMostPassesPerSecond) : kMostPassesPerSecond;
}

std::unique_ptr<DisplayService> MakeScaledDisplay() { return std::make_unique<ScaledDisplay>(); }

DisplayService& Display() { return *Service(); }

void SetDisplayService(std::unique_ptr<DisplayService> service) {
  Service() = service ? std::move(service) : MakeScaledDisplay();
}

}  // namespace vark
