#include "platform/video/smooth_scale.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vark {
namespace {

// A colour spread over four 16-bit lanes (blue, green, red, alpha from the bottom), so one
// multiplication weighs all four channels: 255 x 256 still fits a lane.
using Spread = uint64_t;
constexpr Spread kLanes = 0x00FF00FF00FF00FFull;
constexpr Spread kHalf = 0x0080008000800080ull;
// Two spread colours side by side, worked on together by the processor's vector unit.
using SpreadPair = uint16_t __attribute__((vector_size(16)));
using SpreadWords = uint64_t __attribute__((vector_size(16)));
using PixelPair = uint8_t __attribute__((vector_size(8)));

Spread SpreadOf(const SDL_Color& c) { return Spread{255} << 48 | Spread{c.r} << 32 | Spread{c.g} << 16 | Spread{c.b}; }

// `a` and `b` mixed, `weight` 256ths of the way from `a` to `b`, rounded to the nearest.
Spread Mix(Spread a, Spread b, uint32_t weight) { return ((a * (256 - weight) + b * weight + kHalf) >> 8) & kLanes; }
SpreadPair Mix(SpreadPair a, SpreadPair b, SpreadPair weight) { return (a * (256 - weight) + b * weight + 128) >> 8; }

SpreadPair PairOf(Spread a, Spread b) { return reinterpret_cast<SpreadPair>(SpreadWords{a, b}); }

uint32_t ToArgb(Spread s) {
  Spread pairs = s | (s >> 8);
  return static_cast<uint32_t>((pairs & 0xFFFF) | ((pairs >> 16) & 0xFFFF0000));
}

// The two picture pixels a target pixel lies between on one axis, and how far it is from
// the first towards the second (256ths, 0 to 256). Centres line up: the target pixel's centre is
// mapped into the picture, and pixels beyond the outer centres take the edge pixel.
struct Between {
  int first;
  int second;
  uint32_t weight;
};

Between BetweenAt(int target, int boxLength, int pictureLength) {
  int64_t pos = ((int64_t{2} * target + 1) * pictureLength << 16) / (int64_t{2} * boxLength) - (1 << 15);
  pos = std::clamp<int64_t>(pos, 0, int64_t{pictureLength - 1} << 16);
  int first = static_cast<int>(pos >> 16);
  return {first, std::min(first + 1, pictureLength - 1), static_cast<uint32_t>(((pos & 0xFFFF) + 128) >> 8)};
}

std::array<Spread, 256> PaletteSpreads(const SDL_Palette& palette) {
  std::array<Spread, 256> spreads;
  spreads.fill(SpreadOf(SDL_Color{0, 0, 0, 255}));
  for (int i = 0; i < std::min(palette.ncolors, 256); ++i) spreads[i] = SpreadOf(palette.colors[i]);
  return spreads;
}

// One target row's picture row: `upper` and `lower` mixed, `weight` 256ths of the way
// down, over the picture columns `from` to `to`.
void MixRows(const std::array<Spread, 256>& colours, const uint8_t* upper, const uint8_t* lower, uint32_t weight,
             int from, int to, Spread* mixed) {
  const SpreadPair weights = SpreadPair{} + static_cast<uint16_t>(weight);
  int x = from;
  for (; x < to; x += 2) {
    SpreadPair m = Mix(PairOf(colours[upper[x]], colours[upper[x + 1]]),
                       PairOf(colours[lower[x]], colours[lower[x + 1]]), weights);
    std::memcpy(mixed + x, &m, sizeof m);
  }
  if (x == to) mixed[x] = Mix(colours[upper[x]], colours[lower[x]], weight);
}

// The target columns of an area: the picture columns each lies between, and the weights of
// each two neighbours side by side, four lanes each.
struct Columns {
  std::vector<Between> each;
  std::vector<SpreadPair> pairWeights;

  Columns(int firstColumn, int count, int boxWidth, int pictureWidth) : each(count), pairWeights(count / 2) {
    for (int i = 0; i < count; ++i) each[i] = BetweenAt(firstColumn + i, boxWidth, pictureWidth);
    for (int k = 0; k < count / 2; ++k) {
      auto left = static_cast<uint16_t>(each[2 * k].weight);
      auto right = static_cast<uint16_t>(each[2 * k + 1].weight);
      pairWeights[k] = SpreadPair{left, left, left, left, right, right, right, right};
    }
  }
};

// One target row from its mixed picture row.
void MixColumns(const Spread* mixed, const Columns& columns, uint32_t* out) {
  const size_t count = columns.each.size();
  size_t i = 0;
  for (; i + 1 < count; i += 2) {
    const Between& left = columns.each[i];
    const Between& right = columns.each[i + 1];
    SpreadPair m = Mix(PairOf(mixed[left.first], mixed[right.first]), PairOf(mixed[left.second], mixed[right.second]),
                       columns.pairWeights[i / 2]);
    PixelPair pixels = __builtin_convertvector(m, PixelPair);
    std::memcpy(out + i, &pixels, sizeof pixels);
  }
  if (i < count) {
    const Between& last = columns.each[i];
    out[i] = ToArgb(Mix(mixed[last.first], mixed[last.second], last.weight));
  }
}

}  // namespace

bool CanScaleSmoothly(const SDL_Surface& picture, const SDL_Surface& target) {
  const SDL_Palette* palette = picture.format->palette;
  if (picture.format->BytesPerPixel != 1 || !palette || SDL_MUSTLOCK(&picture) || !picture.pixels) return false;
  if (SDL_HasColorKey(const_cast<SDL_Surface*>(&picture))) return false;
  if (!std::all_of(palette->colors, palette->colors + palette->ncolors,
                   [](const SDL_Color& c) { return c.a == SDL_ALPHA_OPAQUE; }))
    return false;
  return target.format->format == SDL_PIXELFORMAT_ARGB8888 && !SDL_MUSTLOCK(&target) && target.pixels;
}

// Row by row: the two picture rows are mixed once over the columns the area needs, then
// each target pixel mixes two neighbours of that mixed row. Two pixels are worked on at a
// time.
void ScaleSmoothly(const SDL_Surface& picture, SDL_Surface& target, const SDL_Rect& box, const SDL_Rect& clip) {
  const SDL_Rect whole{0, 0, target.w, target.h};
  SDL_Rect area;
  if (picture.w <= 0 || picture.h <= 0 || !SDL_IntersectRect(&box, &clip, &area) ||
      !SDL_IntersectRect(&area, &whole, &area))
    return;
  const std::array<Spread, 256> colours = PaletteSpreads(*picture.format->palette);
  const Columns columns(area.x - box.x, area.w, box.w, picture.w);
  const int from = columns.each.front().first;
  const int to = columns.each.back().second;
  std::vector<Spread> mixed(picture.w);
  auto pictureRow = [&](int y) { return static_cast<const uint8_t*>(picture.pixels) + ptrdiff_t{y} * picture.pitch; };
  for (int y = area.y; y < area.y + area.h; ++y) {
    const Between down = BetweenAt(y - box.y, box.h, picture.h);
    MixRows(colours, pictureRow(down.first), pictureRow(down.second), down.weight, from, to, mixed.data());
    auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target.pixels) + ptrdiff_t{y} * target.pitch);
    MixColumns(mixed.data(), columns, out + area.x);
  }
}

}  // namespace vark
