// Screen units and colours shared by every control.
#pragma once

#include <cstdint>

namespace vark {

// Positions and sizes are in twips: 15 to a pixel on the 640 x 480 screen.
constexpr int kTwipsPerPixel = 15;
constexpr int kScreenWidthPx = 640;
constexpr int kScreenHeightPx = 480;

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Pixel index of a twip position, rounding towards minus infinity so that negative
// positions (controls placed above or left of the screen) stay consistent.
constexpr int TwipsToPx(int twips) {
  return twips >= 0 ? twips / kTwipsPerPixel : -((-twips + kTwipsPerPixel - 1) / kTwipsPerPixel);
}

struct Color {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

constexpr Color RGB(int r, int g, int b) {
  return Color{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

// The plain colours the screens use by name.
inline constexpr Color kBlack = RGB(0, 0, 0);
inline constexpr Color kWhite = RGB(255, 255, 255);
inline constexpr Color kRed = RGB(255, 0, 0);
inline constexpr Color kGreen = RGB(0, 255, 0);
inline constexpr Color kYellow = RGB(255, 255, 0);

// The packed form some numbered properties use: red + 256 x green + 65536 x blue.
constexpr int32_t PackColor(Color c) { return c.r | (c.g << 8) | (c.b << 16); }
constexpr Color UnpackColor(int32_t v) {
  return Color{static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>((v >> 8) & 0xFF),
               static_cast<uint8_t>((v >> 16) & 0xFF)};
}

}  // namespace vark
