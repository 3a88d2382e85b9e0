#include "platform/display.h"

#include <SDL.h>

#include <optional>

#include "platform/screen.h"

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

  void Change(const DisplayMode& mode) override {
    switched_ = mode;
    if (mode.width == 640 && mode.height == 480) Screen::Get().ShowGameMode();
    else Screen::Get().ShowDesktopMode();
  }

 private:
  std::optional<DisplayMode> switched_;
};

std::unique_ptr<DisplayService>& Service() {
  static std::unique_ptr<DisplayService> service = MakeScaledDisplay();
  return service;
}

}  // namespace

DisplayMode DesktopMode() {
  // Read once, before the game's window covers the display.
  static const DisplayMode desktop = [] {
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(0, &m) != 0) return DisplayMode{640, 480, 32};
    return DisplayMode{m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format))};
  }();
  return desktop;
}

std::unique_ptr<DisplayService> MakeScaledDisplay() { return std::make_unique<ScaledDisplay>(); }

DisplayService& Display() { return *Service(); }

void SetDisplayService(std::unique_ptr<DisplayService> service) {
  Service() = service ? std::move(service) : MakeScaledDisplay();
}

}  // namespace vark
