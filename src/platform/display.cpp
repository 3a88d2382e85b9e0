#include "platform/display.h"

#include <SDL.h>

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
      if (SDL_GetDisplayMode(0, i, &m) == 0)
        modes.push_back({m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format))});
    }
    // The scaled screen offers 640 x 480 at both depths whatever the monitor can do.
    modes.push_back({640, 480, 32});
    modes.push_back({640, 480, 16});
    return modes;
  }

  DisplayMode Current() override {
    if (Screen::Get().HasWindow() && Screen::Get().Fullscreen()) return {640, 480, 32};
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(0, &m) != 0) return {640, 480, 32};
    return {m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format))};
  }

  void Change(const DisplayMode& mode) override {
    // The start-up switches to 640 x 480 on its own; a player who asked for a window keeps it.
    Screen::Get().SetFullscreen(mode.width == 640 && mode.height == 480 && !Screen::Get().WindowChosen());
  }
};

std::unique_ptr<DisplayService>& Service() {
  static std::unique_ptr<DisplayService> service = MakeScaledDisplay();
  return service;
}

}  // namespace

std::unique_ptr<DisplayService> MakeScaledDisplay() { return std::make_unique<ScaledDisplay>(); }

DisplayService& Display() { return *Service(); }

void SetDisplayService(std::unique_ptr<DisplayService> service) {
  Service() = service ? std::move(service) : MakeScaledDisplay();
}

}  // namespace vark
