#include "platform/video/display.h"

#include <SDL.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>

#include "platform/base/geometry.h"
#include "platform/base/run_state.h"
#include "platform/video/presenter.h"
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

SDL_Rect FirstWindowPlace(const SDL_Rect& usable) {
  // Room for a frame and a title bar around the window.
  constexpr int kFrameWidth = 32, kFrameHeight = 64;
  const int roomW = std::max(usable.w - kFrameWidth, kScreenWidthPx / 4);
  const int roomH = std::max(usable.h - kFrameHeight, kScreenHeightPx / 4);
  const int times = std::min(roomW / kScreenWidthPx, roomH / kScreenHeightPx);
  SDL_Rect size = times >= 1 ? SDL_Rect{0, 0, kScreenWidthPx * times, kScreenHeightPx * times}
                             : FitInto(kScreenWidthPx, kScreenHeightPx, roomW, roomH);
  return SDL_Rect{usable.x + (usable.w - size.w) / 2, usable.y + (usable.h - size.h) / 2, size.w, size.h};
}

std::string WindowPlaceText(const SDL_Rect& place) {
  return std::to_string(place.x) + "," + std::to_string(place.y) + "," + std::to_string(place.w) + "," +
         std::to_string(place.h);
}

std::optional<SDL_Rect> ParseWindowPlace(const std::string& text) {
  constexpr int kFarthest = 65535, kLargest = 16384;
  int numbers[4];
  const char* at = text.data();
  const char* end = text.data() + text.size();
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && (at == end || *at++ != ',')) return std::nullopt;
    auto [next, error] = std::from_chars(at, end, numbers[i]);
    if (error != std::errc()) return std::nullopt;
    at = next;
  }
  SDL_Rect place{numbers[0], numbers[1], numbers[2], numbers[3]};
  bool sensible = at == end && std::abs(place.x) <= kFarthest && std::abs(place.y) <= kFarthest && place.w > 0 &&
                  place.h > 0 && place.w <= kLargest && place.h <= kLargest;
  return sensible ? std::optional<SDL_Rect>(place) : std::nullopt;
}

std::unique_ptr<DisplayService> MakeScaledDisplay() { return std::make_unique<ScaledDisplay>(); }

DisplayService& Display() { return *Service(); }

void SetDisplayService(std::unique_ptr<DisplayService> service) {
  Service() = service ? std::move(service) : MakeScaledDisplay();
}

}  // namespace vark
