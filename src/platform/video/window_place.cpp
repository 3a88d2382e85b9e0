#include "platform/video/window_place.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "platform/base/geometry.h"
#include "platform/video/presenter.h"

namespace vark {

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

}  // namespace vark
