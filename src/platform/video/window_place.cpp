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

std::optional<SDL_Rect> PlaceOnDisplays(const SDL_Rect& place, const std::vector<SDL_Rect>& displays) {
  // How much of the place's top must lie on a display: enough to grab and move the window.
  constexpr int kGrabbableWidth = 64, kGrabbableHeight = 32;
  const SDL_Rect top{place.x, place.y, std::min(place.w, kGrabbableWidth), kGrabbableHeight};
  for (const SDL_Rect& bounds : displays) {
    SDL_Rect shown;
    if (!SDL_IntersectRect(&top, &bounds, &shown) || !SDL_RectEquals(&shown, &top)) continue;
    SDL_Rect fitted{place.x, place.y, std::min(place.w, bounds.w), std::min(place.h, bounds.h)};
    if (fitted.w < place.w) fitted.x = std::clamp(fitted.x, bounds.x, bounds.x + bounds.w - fitted.w);
    if (fitted.h < place.h) fitted.y = std::clamp(fitted.y, bounds.y, bounds.y + bounds.h - fitted.h);
    return fitted;
  }
  return std::nullopt;
}

namespace {

// Whether the range from a0 to a1 (both in) meets the one from b0 to b1 (not in).
bool Meet(long a0, long a1, long b0, long b1) { return a0 < b1 && a1 >= b0; }

}  // namespace

SDL_Rect AreaLeftByPanel(const SDL_Rect& area, const PanelStrut& s, long rootW, long rootH) {
  long left = area.x, top = area.y, right = area.x + area.w, bottom = area.y + area.h;
  if (s[0] > left && Meet(s[4], s[5], top, bottom)) left = std::min(right, s[0]);
  if (rootW - s[1] < right && Meet(s[6], s[7], top, bottom)) right = std::max(left, rootW - s[1]);
  if (s[2] > top && Meet(s[8], s[9], left, right)) top = std::min(bottom, s[2]);
  if (rootH - s[3] < bottom && Meet(s[10], s[11], left, right)) bottom = std::max(top, rootH - s[3]);
  return SDL_Rect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                  static_cast<int>(bottom - top)};
}

std::vector<SDL_Rect> DisplayBounds() {
  std::vector<SDL_Rect> displays;
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(i, &bounds) == 0) displays.push_back(bounds);
  }
  return displays;
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
