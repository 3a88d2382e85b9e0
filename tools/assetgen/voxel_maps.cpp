// The intro's landscape: a 512 x 512 height map that tiles, a colour map made
// from it, and the 320 x 240 title picture that carries the landscape palette.
// The palette is built from ramps of 32 shades per material, so shading a
// cell is only an offset within its ramp.
#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "draw.h"
#include "generators.h"
#include "noise.h"

namespace assetgen {

namespace {

constexpr int kMap = 512;
constexpr int kShades = 32;
using Palette = std::array<Rgb, 256>;
using Indexed = std::vector<uint8_t>;

// First palette index of each ramp. Index 0 is the sky the renderer clears to.
enum Ramp {
  kTitleFire = 0,
  kWater = 32,
  kSand = 64,
  kGrass = 96,
  kForest = 128,
  kRock = 160,
  kSnow = 192,
  kDusk = 224
};

const Rgb kSky = Hex(0x3A2450);

void FillRamp(Palette& p, int first, Rgb dark, Rgb light) {
  for (int i = 0; i < kShades; ++i) p[first + i] = dark.Mix(light, i / double(kShades - 1));
}

Palette LandscapePalette() {
  Palette p{};
  FillRamp(p, kTitleFire, Hex(0x300404), Hex(0xFFE080));
  FillRamp(p, kWater, Hex(0x061630), Hex(0x4A90C0));
  FillRamp(p, kSand, Hex(0x3A3020), Hex(0xF0D8A0));
  FillRamp(p, kGrass, Hex(0x10280A), Hex(0x90D050));
  FillRamp(p, kForest, Hex(0x081808), Hex(0x4A8A30));
  FillRamp(p, kRock, Hex(0x201A1C), Hex(0xB8A8A0));
  FillRamp(p, kSnow, Hex(0x505870), Hex(0xFFFFFF));
  FillRamp(p, kDusk, Hex(0x08040E), kSky.Lighter(0.15));
  p[0] = kSky;
  return p;
}

Palette GreyPalette() {
  Palette p{};
  for (int i = 0; i < 256; ++i) p[i] = {i / 255.0, i / 255.0, i / 255.0};
  return p;
}

int AppendToString(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
  return length;
}

std::string EncodeGif(const Indexed& pixels, int w, int h, const Palette& palette) {
  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendToString, &error);
  if (gif == nullptr) return {};
  GifColorType colors[256];
  for (int i = 0; i < 256; ++i) {
    colors[i] = {static_cast<GifByteType>(std::lround(palette[i].r * 255)),
                 static_cast<GifByteType>(std::lround(palette[i].g * 255)),
                 static_cast<GifByteType>(std::lround(palette[i].b * 255))};
  }
  ColorMapObject* map = GifMakeMapObject(256, colors);
  bool ok =
      EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_OK && EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < h; ++y) ok = EGifPutLine(gif, const_cast<GifPixelType*>(&pixels[y * w]), w) == GIF_OK;
  GifFreeMapObject(map);
  if (EGifCloseFile(gif, &error) != GIF_OK || !ok) return {};
  return bytes;
}

void SaveGif(Output& out, const std::string& name, const Indexed& pixels, int w, int h, const Palette& palette) {
  Canvas preview(w, h);
  PaintPixels(preview.surface(), [&](int x, int y) { return palette[pixels[y * w + x]]; });
  out.SaveBytes(name, EncodeGif(pixels, w, h, palette), preview.surface());
}

// Rolling hills with higher ranges: fractal noise stretched to the full 0..255
// and bent so that valleys flatten and peaks sharpen.
Indexed HeightMap() {
  FractalNoise hills(301, 4, 7, 0.5), ranges(302, 2, 3, 0.5);
  std::vector<double> raw(kMap * kMap);
  for (int y = 0; y < kMap; ++y)
    for (int x = 0; x < kMap; ++x) {
      double u = x / double(kMap), v = y / double(kMap);
      raw[y * kMap + x] = hills.At(u, v) + 0.6 * std::max(0.0, ranges.At(u, v));
    }
  auto [lo, hi] = std::minmax_element(raw.begin(), raw.end());
  double low = *lo, span = *hi - *lo;
  Indexed height(kMap * kMap);
  for (size_t i = 0; i < raw.size(); ++i)
    height[i] = static_cast<uint8_t>(std::lround(std::pow((raw[i] - low) / span, 1.5) * 255));
  return height;
}

int Wrapped(int i) { return (i + kMap) % kMap; }

// The ramp a height belongs to; `jitter` blurs the borders between materials.
int MaterialOf(double h, double jitter) {
  h += jitter * 10;
  if (h < 40) return kWater;
  if (h < 50) return kSand;
  if (h < 105) return kGrass;
  if (h < 140) return kForest;
  if (h < 200) return kRock;
  return kSnow;
}

Indexed ColourMap(const Indexed& height) {
  FractalNoise jitter(311, 16, 3);
  auto at = [&](int x, int y) { return double(height[Wrapped(y) * kMap + Wrapped(x)]); };
  Indexed colour(kMap * kMap);
  for (int y = 0; y < kMap; ++y) {
    for (int x = 0; x < kMap; ++x) {
      double h = at(x, y), j = jitter.At(x / double(kMap), y / double(kMap));
      int ramp = MaterialOf(h, j);
      double shade;
      if (ramp == kWater) {
        shade = 8 + h * 0.45 + j * 3;  // deeper water is darker
      } else {                         // light from the west and a little from the north
        double slope = (at(x - 1, y) - at(x + 1, y)) + 0.5 * (at(x, y - 1) - at(x, y + 1));
        shade = 18 + slope * 1.6 + j * 2;
      }
      colour[y * kMap + x] = static_cast<uint8_t>(ramp + std::clamp(static_cast<int>(shade), 0, kShades - 1));
    }
  }
  return colour;
}

// The picture shown before the first landscape frame: dusk fading down to
// night with the title in fire colours.
Indexed TitleCard() {
  const int w = 320, h = 240;
  Canvas text(w, h, true);
  OutlinedText(text.cr(), "PROJECT: VARK", w / 2.0, h / 2.0 + 10, 30, {1, 1, 1}, {0.3, 0.3, 0.3});
  cairo_surface_flush(text.surface());
  const unsigned char* data = cairo_image_surface_get_data(text.surface());
  int stride = cairo_image_surface_get_stride(text.surface());
  Indexed card(w * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned char* px = data + y * stride + x * 4;  // B, G, R, A (premultiplied)
      int sky = kDusk + std::clamp((h - y) * kShades / h, 0, kShades - 1);
      bool lettering = px[3] > 100;
      int fire = kTitleFire + std::clamp(px[2] * kShades / 256 - (y - 100) / 6, 0, kShades - 1);
      card[y * w + x] = static_cast<uint8_t>(lettering ? fire : sky);
    }
  }
  return card;
}

}  // namespace

void MakeVoxelMaps(Output& out) {
  Palette landscape = LandscapePalette();
  Indexed height = HeightMap();
  SaveGif(out, "Gfx/title.gif", TitleCard(), 320, 240, landscape);
  SaveGif(out, "Gfx/height.gif", height, kMap, kMap, GreyPalette());
  SaveGif(out, "Gfx/texture.gif", ColourMap(height), kMap, kMap, landscape);
}

}  // namespace assetgen
