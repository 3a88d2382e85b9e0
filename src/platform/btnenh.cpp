#include "platform/btnenh.h"

#include <SDL_ttf.h>

#include <algorithm>

#include "platform/controls.h"
#include "platform/text.h"

namespace vark {
namespace {

constexpr int kStyle = 11, kFramed = 14, kCaption = 45, kFace = 46, kFrameColor = 79, kHoverCaption = 81,
              kShadowColor = 80, kLowerFace = 82, kHoverFrame = 83, kHoverFace = 84, kFrameWidth = 74,
              kShadowDepth = 88;

const Color kDefaultFace = RGB(150, 150, 160);

int Luma(Color c) { return (c.r * 30 + c.g * 59 + c.b * 11) / 100; }

Color Mix(Color a, Color b, int percentB) {
  auto m = [&](int x, int y) { return static_cast<uint8_t>((x * (100 - percentB) + y * percentB) / 100); };
  return Color{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

void VerticalGradient(SDL_Surface* s, const SDL_Rect& r, Color top, Color bottom) {
  for (int y = 0; y < r.h; ++y) {
    SDL_Rect line{r.x, r.y + y, r.w, 1};
    FillRect(s, line, Mix(top, bottom, r.h > 1 ? y * 100 / (r.h - 1) : 0));
  }
}

}  // namespace

std::string StripMnemonic(const std::string& caption, int& markedIndex) {
  std::string out;
  markedIndex = -1;
  int chars = 0;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      if (caption[i + 1] == '&') {
        out += '&';
        ++i;
        ++chars;
        continue;
      }
      markedIndex = chars;
      continue;
    }
    out += caption[i];
    if ((static_cast<unsigned char>(caption[i]) & 0xC0) != 0x80) ++chars;
  }
  return out;
}

BtnEnh::BtnEnh(Form& form, std::string name, int index, Control* parent, Rect box)
    : Control(form, std::move(name), index, parent, box), font_{"Arial Black", 12, true} {}

BtnEnh::~BtnEnh() { DropCache(); }

void BtnEnh::DropCache() const {
  if (face_) SDL_FreeSurface(face_);
  face_ = nullptr;
  Invalidate();
}

void BtnEnh::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  DropCache();
}

void BtnEnh::SetFont(FontSpec f) {
  font_ = std::move(f);
  DropCache();
}

void BtnEnh::SetProperty(int number, int32_t value) {
  properties_[number] = value;
  DropCache();
}

int32_t BtnEnh::Property(int number) const {
  auto it = properties_.find(number);
  return it == properties_.end() ? 0 : it->second;
}

void BtnEnh::SetHovered(bool h) {
  if (h == hovered_) return;
  hovered_ = h;
  DropCache();
}

void BtnEnh::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  if (box.w <= 0 || box.h <= 0) return;
  if (!face_ || face_->w != box.w || face_->h != box.h) {
    if (face_) SDL_FreeSurface(face_);
    face_ = SDL_CreateRGBSurfaceWithFormat(0, box.w, box.h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!face_) return;
    SDL_FillRect(face_, nullptr, 0);
    SDL_SetSurfaceBlendMode(face_, SDL_BLENDMODE_BLEND);

    auto color = [&](int n, Color fallback) {
      return properties_.count(n) ? UnpackColor(properties_.at(n)) : fallback;
    };
    bool captionBox = Property(kStyle) == 4;
    bool lit = hovered_ && Enabled();
    SDL_Rect whole{0, 0, box.w, box.h};

    Color face = color(kFace, kDefaultFace);
    if (lit && properties_.count(kHoverFace)) face = color(kHoverFace, face);
    if (!captionBox) {
      Color lower = color(kLowerFace, Mix(face, RGB(0, 0, 0), 45));
      VerticalGradient(face_, whole, Mix(face, RGB(255, 255, 255), 25), lower);
      // Bevel: light top-left edge, dark bottom-right edge.
      FillRect(face_, SDL_Rect{0, 0, box.w, 1}, Mix(face, RGB(255, 255, 255), 60));
      FillRect(face_, SDL_Rect{0, 0, 1, box.h}, Mix(face, RGB(255, 255, 255), 60));
      FillRect(face_, SDL_Rect{0, box.h - 1, box.w, 1}, Mix(face, RGB(0, 0, 0), 70));
      FillRect(face_, SDL_Rect{box.w - 1, 0, 1, box.h}, Mix(face, RGB(0, 0, 0), 70));
    }
    if (Property(kFramed) == 1) {
      Color frame = color(kFrameColor, RGB(255, 255, 255));
      if (lit) frame = color(kHoverFrame, frame);
      FrameRect(face_, whole, frame, std::clamp(Property(kFrameWidth), 1, 4));
    }

    Color captionColor = color(kCaption, captionBox || Luma(face) < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    if (lit) captionColor = color(kHoverCaption, captionColor);
    if (!Enabled()) captionColor = Mix(captionColor, captionBox ? RGB(96, 96, 96) : face, 55);
    Color shadow = color(kShadowColor, Luma(captionColor) > 100 ? RGB(0, 0, 0) : RGB(255, 255, 255));
    int depth = properties_.count(kShadowDepth) ? std::clamp(Property(kShadowDepth), 0, 6) : (captionBox ? 2 : 1);

    int marked;
    std::string text = StripMnemonic(caption_, marked);
    // The caption's size follows the button's height, then shrinks to fit its width.
    FontSpec font = font_;
    double px = std::clamp(box.h * (captionBox ? 0.62 : 0.42), 9.0, 48.0);
    font.sizePt = px * 72.0 / 96.0;
    for (int tries = 0; tries < 12 && !text.empty(); ++tries) {
      TTF_Font* f = OpenFont(font);
      int w = 0, h = 0;
      if (f) TTF_SizeUTF8(f, text.c_str(), &w, &h);
      if (!f || w <= box.w - 8 || font.sizePt <= 6) break;
      font.sizePt *= 0.88;
    }
    SDL_Surface* front = RenderText(text, font, captionColor);
    SDL_Surface* back = depth > 0 ? RenderText(text, font, shadow) : nullptr;
    if (front) {
      SDL_Rect at{(box.w - front->w) / 2, (box.h - front->h) / 2, front->w, front->h};
      if (back) {
        SDL_Rect s{at.x + depth, at.y + depth, back->w, back->h};
        SDL_BlitSurface(back, nullptr, face_, &s);
      }
      SDL_BlitSurface(front, nullptr, face_, &at);
      if (marked >= 0) {
        // Underline the keyboard letter.
        TTF_Font* f = OpenFont(font);
        std::string before = text.substr(0, Utf8ByteOffset(text, marked));
        std::string upto = text.substr(0, Utf8ByteOffset(text, marked + 1));
        int x0 = 0, x1 = 0, h = 0;
        if (f) {
          TTF_SizeUTF8(f, before.c_str(), &x0, &h);
          TTF_SizeUTF8(f, upto.c_str(), &x1, &h);
          int y = at.y + TTF_FontAscent(f) + 2;
          FillRect(face_, SDL_Rect{at.x + x0, y, std::max(1, x1 - x0), std::max(1, h / 14)}, captionColor);
        }
      }
    }
    if (front) SDL_FreeSurface(front);
    if (back) SDL_FreeSurface(back);
  }
  SDL_Rect dst = box;
  SDL_BlitSurface(face_, nullptr, target, &dst);
}

}  // namespace vark
