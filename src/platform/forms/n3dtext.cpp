#include "platform/forms/n3dtext.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "platform/forms/controls.h"

namespace vark {
namespace {

Color Blend(Color a, Color b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto m = [t](int x, int y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
  return Color{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// The columns of a mask row to paint: [first, last).
struct MaskColumns {
  int first;
  int last;
};

// Paints `color(x, y)` through the alpha of a white text mask at an offset, over the
// pixels of `under` (the same size as `dst`; may be `dst` itself), on the columns
// `columns(y)` of each mask row.
template <class ColorAt, class ColumnsOf>
void StampMask(SDL_Surface* dst, SDL_Surface* under, SDL_Surface* mask, int ox, int oy, ColorAt color,
               ColumnsOf columns) {
  SDL_LockSurface(dst);
  SDL_LockSurface(under);
  SDL_LockSurface(mask);
  for (int y = 0; y < mask->h; ++y) {
    int ty = y + oy;
    if (ty < 0 || ty >= dst->h) continue;
    auto* src = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(mask->pixels) + y * mask->pitch);
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(dst->pixels) + ty * dst->pitch);
    auto* below = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(under->pixels) + ty * under->pitch);
    MaskColumns span = columns(y);
    for (int x = std::max(span.first, 0); x < std::min(span.last, mask->w); ++x) {
      int tx = x + ox;
      uint32_t a = src[x] >> 24;
      if (tx < 0 || tx >= dst->w || a == 0) continue;
      Color c = color(x, y);
      uint32_t old = below[tx];
      uint32_t oa = old >> 24;
      auto mix = [a](uint32_t bottom, uint32_t over) { return (over * a + bottom * (255 - a)) / 255; };
      uint32_t r = mix((old >> 16) & 0xFF, c.r), g = mix((old >> 8) & 0xFF, c.g), b = mix(old & 0xFF, c.b);
      uint32_t na = std::max(oa, a);
      row[tx] = (na << 24) | (r << 16) | (g << 8) | b;
    }
  }
  SDL_UnlockSurface(mask);
  SDL_UnlockSurface(under);
  SDL_UnlockSurface(dst);
}

template <class ColorAt>
void StampMask(SDL_Surface* dst, SDL_Surface* mask, int ox, int oy, ColorAt color) {
  StampMask(dst, dst, mask, ox, oy, color, [mask](int) { return MaskColumns{0, mask->w}; });
}

constexpr double kGlintReach = 18;  // mask pixels this close to the glint's line are lit

}  // namespace

N3dText::N3dText(Form& form, std::string name, int index, Control* parent, Rect box)
    : Control(form, std::move(name), index, parent, box) {}

SDL_Surface* N3dText::Mask(const SDL_Rect& box, int depth) const {
  if (mask_ && maskWidth_ == box.w && maskHeight_ == box.h) return mask_.get();
  FontSpec font = font_;
  font.sizePt = (box.h - depth) * 0.72 * 72.0 / 96.0;
  font = FitFont(font, caption_, box.w - depth - 4);
  mask_ = RenderText(caption_, font, RGB(255, 255, 255));
  maskWidth_ = box.w;
  maskHeight_ = box.h;
  return mask_.get();
}

void N3dText::DropCache() const {
  cacheKey_ = -1;
  baseValid_ = false;
  Invalidate();
}

void N3dText::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  maskWidth_ = -1;
  DropCache();
}

void N3dText::SetFont(FontSpec f) {
  font_ = std::move(f);
  maskWidth_ = -1;
  DropCache();
}

void N3dText::SetColor(int slot, Color c) {
  colors_.at(slot) = c;
  DropCache();
}

Color N3dText::ColorOf(int slot) const {
  if (colors_.at(slot)) return *colors_[slot];
  switch (slot) {
    case 0: return ColorOf(5);
    case 1:
    case 2: return ColorOf(4);
    case 3: return RGB(0, 0, 0);
    case 4: return RGB(125, 125, 125);
    default: return RGB(255, 255, 255);
  }
}

void N3dText::SetNumber(int slot, double v) { numbers_.at(slot) = v; }

void N3dText::SetSwitch(int slot, bool on) {
  switches_.at(slot) = on;
  DropCache();
}

void N3dText::SetValue(double v) {
  if (v == value_) return;
  value_ = v;
  // Only the letters' glint follows the value; the extrusion stays.
  cacheKey_ = -1;
  Invalidate();
}

SDL_Surface* N3dText::Extrusion(const SDL_Rect& box, int depth, SDL_Surface* mask, int ox, int oy) const {
  if (base_ && baseValid_ && base_->w == box.w && base_->h == box.h) return base_.get();
  base_.reset(SDL_CreateRGBSurfaceWithFormat(0, box.w, box.h, 32, SDL_PIXELFORMAT_ARGB8888));
  if (!base_) return nullptr;
  SDL_FillRect(base_.get(), nullptr, 0);
  // The extrusion, from its far end to the letters.
  for (int d = depth; d >= 1; --d) {
    Color c = Blend(ColorOf(2), ColorOf(3), static_cast<double>(d) / depth);
    StampMask(base_.get(), mask, ox + d, oy + d, [c](int, int) { return c; });
  }
  // The outline does not move with the glint either, so it is part of the base.
  if (switches_[0]) Outline(base_.get(), mask, ox, oy);
  baseValid_ = true;
  face_.reset();
  return base_.get();
}

SDL_Surface* N3dText::Face(SDL_Surface* base, SDL_Surface* mask, int ox, int oy) const {
  if (face_) return face_.get();
  face_.reset(SDL_ConvertSurface(base, base->format, 0));
  if (!face_) return nullptr;
  std::vector<Color> gradient = FaceGradient(mask->h);
  StampMask(face_.get(), mask, ox, oy, [&](int, int y) { return gradient[y]; });
  return face_.get();
}

void N3dText::Outline(SDL_Surface* target, SDL_Surface* mask, int ox, int oy) const {
  Color edge = ColorOf(3);
  for (auto [dx, dy] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}})
    StampMask(target, mask, ox + dx, oy + dy, [edge](int, int) { return edge; });
}

std::vector<Color> N3dText::FaceGradient(int height) const {
  std::vector<Color> rows(std::max(0, height));
  for (int y = 0; y < height; ++y)
    rows[y] = Blend(ColorOf(0), ColorOf(1), static_cast<double>(y) / std::max(1, height - 1));
  return rows;
}

void N3dText::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  if (caption_.empty() || box.w <= 0 || box.h <= 0) return;
  // The glint moves in steps of a few pixels; redraw only when it has moved.
  int key = static_cast<int>(value_) / 2;
  if (!cache_ || cache_->w != box.w || cache_->h != box.h || cacheKey_ != key) {
    int depth = std::max(3, box.h / 14);
    SDL_Surface* mask = Mask(box, depth);
    if (!mask) return;
    int ox = (box.w - mask->w - depth) / 2;
    int oy = (box.h - mask->h - depth) / 2;
    SDL_Surface* base = Extrusion(box, depth, mask, ox, oy);
    SDL_Surface* face = base ? Face(base, mask, ox, oy) : nullptr;
    if (!face) return;
    if (!cache_ || cache_->w != box.w || cache_->h != box.h) {
      cache_.reset(SDL_CreateRGBSurfaceWithFormat(0, box.w, box.h, 32, SDL_PIXELFORMAT_ARGB8888));
      if (!cache_) return;
    }
    SDL_SetSurfaceBlendMode(face, SDL_BLENDMODE_NONE);
    SDL_BlitSurface(face, nullptr, cache_.get(), nullptr);
    SDL_SetSurfaceBlendMode(cache_.get(), SDL_BLENDMODE_BLEND);
    cacheKey_ = key;
    // The glint: a slanted band across the letters, lighter towards its middle line. Only
    // the band differs from the plain letters, so only its pixels are painted again, over
    // the extrusion as the plain letters were.
    double glint = std::fmod(value_ * 3.0, mask->w + mask->h + 160.0) - 80.0;
    Color light = ColorOf(5);
    std::vector<Color> gradient = FaceGradient(mask->h);
    StampMask(
        cache_.get(), base, mask, ox, oy,
        [&](int x, int y) {
          Color c = gradient[y];
          double dist = std::abs((x + y * 0.5) - glint);
          return dist < kGlintReach ? Blend(c, light, (kGlintReach - dist) / 24.0) : c;
        },
        [&](int y) {
          double middle = glint - y * 0.5;
          return MaskColumns{static_cast<int>(std::floor(middle - kGlintReach)),
                             static_cast<int>(std::ceil(middle + kGlintReach)) + 1};
        });
    // Beyond the letters, their outline and their depth the text is see-through.
    inked_ = SDL_Rect{ox - 1, oy - 1, mask->w + depth + 2, mask->h + depth + 2};
    const SDL_Rect whole{0, 0, box.w, box.h};
    if (!SDL_IntersectRect(&inked_, &whole, &inked_)) inked_ = SDL_Rect{0, 0, 0, 0};
  }
  SDL_Rect dst{box.x + inked_.x, box.y + inked_.y, inked_.w, inked_.h};
  SDL_BlitSurface(cache_.get(), &inked_, target, &dst);
}

}  // namespace vark
