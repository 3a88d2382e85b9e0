#include "platform/forms/btnenh.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <utility>

#include "platform/forms/controls.h"
#include "platform/base/utf8.h"

namespace vark {
namespace {

using namespace btn;

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

std::string MnemonicLetter(const std::string& caption) {
  int marked;
  std::string text = StripMnemonic(caption, marked);
  if (marked < 0) return "";
  size_t from = Utf8ByteOffset(text, static_cast<size_t>(marked));
  return text.substr(from, Utf8ByteOffset(text, static_cast<size_t>(marked) + 1) - from);
}

void MatchCaptionSizes(std::initializer_list<BtnEnh*> buttons) {
  double smallest = 0;
  for (BtnEnh* b : buttons) {
    b->SetCaptionSize(0);
    double size = b->CaptionFont().sizePt;
    smallest = smallest == 0 ? size : std::min(smallest, size);
  }
  for (BtnEnh* b : buttons) b->SetCaptionSize(smallest);
}

BtnEnh::BtnEnh(Form& form, std::string name, int index, Control* parent, Rect box)
    : Control(form, std::move(name), index, parent, box), font_{"Arial Black", 12, true} {}

BtnEnh::~BtnEnh() { DropCache(); }

void BtnEnh::DropCache() const {
  face_.reset();
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

void BtnEnh::SetPressed(bool p) {
  if (p == pressed_) return;
  pressed_ = p;
  DropCache();
}

std::string BtnEnh::KeyboardLetter() const { return Clickable() ? MnemonicLetter(caption_) : std::string(); }

void BtnEnh::SetCaptionSize(double pt) {
  captionSize_ = pt;
  DropCache();
}

Color BtnEnh::ColorOr(int number, Color fallback) const {
  auto it = properties_.find(number);
  return it == properties_.end() ? fallback : UnpackColor(it->second);
}

bool BtnEnh::Lit() const { return hovered_ && Clickable(); }

Color BtnEnh::FaceColor() const {
  Color face = ColorOr(kFaceColor, kDefaultFace);
  if (!Lit() || PressedIn()) return face;
  // A button with no hover colours of its own lights up with a lighter face.
  bool ownHoverLook = properties_.count(kHoverFaceColor) || properties_.count(kHoverCaptionColor) ||
                      properties_.count(kHoverFrameColor);
  return ColorOr(kHoverFaceColor, ownHoverLook ? face : Mix(face, kWhite, 30));
}

void BtnEnh::PaintFace(SDL_Surface* s, Color face) const {
  SDL_Rect whole{0, 0, s->w, s->h};
  Color lower = ColorOr(kLowerFaceColor, Mix(face, kBlack, 45));
  Color light = Mix(face, kWhite, 60), dark = Mix(face, kBlack, 70);
  // Pressed in: the face darkens and its light falls from the other side.
  if (PressedIn()) {
    VerticalGradient(s, whole, Mix(lower, kBlack, 30), lower);
    std::swap(light, dark);
  } else {
    VerticalGradient(s, whole, Mix(face, kWhite, 25), lower);
  }
  // Bevel: top-left edge and bottom-right edge.
  FillRect(s, SDL_Rect{0, 0, s->w, 1}, light);
  FillRect(s, SDL_Rect{0, 0, 1, s->h}, light);
  FillRect(s, SDL_Rect{0, s->h - 1, s->w, 1}, dark);
  FillRect(s, SDL_Rect{s->w - 1, 0, 1, s->h}, dark);
}

void BtnEnh::PaintFrame(SDL_Surface* s) const {
  Color frame = ColorOr(kFrameColor, kWhite);
  if (Lit()) frame = ColorOr(kHoverFrameColor, frame);
  FrameRect(s, SDL_Rect{0, 0, s->w, s->h}, frame, std::clamp(Property(kFrameWidth), 1, 4));
}

void BtnEnh::PaintCaption(SDL_Surface* s, Color face) const {
  bool captionBox = Property(kStyle) == kCaptionBox;
  Color color = ColorOr(kCaptionColor, captionBox || Luma(face) < 128 ? kWhite : kBlack);
  if (Lit()) color = ColorOr(kHoverCaptionColor, color);
  if (!Enabled()) color = Mix(color, captionBox ? RGB(96, 96, 96) : face, 55);
  Color shadow = ColorOr(kShadowColor, Luma(color) > 100 ? kBlack : kWhite);
  int depth = properties_.count(kShadowDepth) ? std::clamp(Property(kShadowDepth), 0, 6) : (captionBox ? 2 : 1);

  int marked;
  std::string text = StripMnemonic(caption_, marked);
  FontSpec font = CaptionFont();
  OwnedSurface front = RenderText(text, font, color);
  if (!front) return;
  int sink = PressedIn() ? 1 : 0;  // a pressed button's caption sinks with its face
  SDL_Rect at{(s->w - front->w) / 2 + sink, (s->h - front->h) / 2 + sink, front->w, front->h};
  if (OwnedSurface back = depth > 0 ? RenderText(text, font, shadow) : nullptr) {
    SDL_Rect offset{at.x + depth, at.y + depth, back->w, back->h};
    SDL_BlitSurface(back.get(), nullptr, s, &offset);
  }
  SDL_BlitSurface(front.get(), nullptr, s, &at);
  if (marked >= 0) Underline(s, text, marked, font, at, color);
}

FontSpec BtnEnh::CaptionFont() const {
  FontSpec font = font_;
  if (captionSize_ > 0) {
    font.sizePt = captionSize_;
    return font;
  }
  // The caption's size follows the button's height, then shrinks to fit its width.
  SDL_Rect box = ScreenBox();
  int marked;
  font.sizePt = std::clamp(box.h * (Property(kStyle) == kCaptionBox ? 0.62 : 0.42), 9.0, 48.0) * 72.0 / 96.0;
  // A margin of an eighth of the width keeps a long caption clear of the button's edges.
  return FitFont(font, StripMnemonic(caption_, marked), box.w - std::max(8, box.w / 8));
}

void BtnEnh::Underline(SDL_Surface* s, const std::string& text, int marked, const FontSpec& font, const SDL_Rect& at,
                       Color color) const {
  TTF_Font* f = OpenFont(font);
  if (!f) return;
  std::string before = text.substr(0, Utf8ByteOffset(text, marked));
  std::string upto = text.substr(0, Utf8ByteOffset(text, marked + 1));
  int x0 = 0, x1 = 0, h = 0;
  TTF_SizeUTF8(f, before.c_str(), &x0, &h);
  TTF_SizeUTF8(f, upto.c_str(), &x1, &h);
  int y = at.y + TTF_FontAscent(f) + 2;
  FillRect(s, SDL_Rect{at.x + x0, y, std::max(1, x1 - x0), std::max(1, h / 14)}, color);
}

void BtnEnh::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  if (box.w <= 0 || box.h <= 0) return;
  // The whole button is drawn once into its own picture and reused until it changes.
  if (!face_ || face_->w != box.w || face_->h != box.h) {
    face_.reset(SDL_CreateRGBSurfaceWithFormat(0, box.w, box.h, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!face_) return;
    SDL_FillRect(face_.get(), nullptr, 0);
    SDL_SetSurfaceBlendMode(face_.get(), SDL_BLENDMODE_BLEND);
    Color face = FaceColor();
    if (Property(kStyle) != kCaptionBox) PaintFace(face_.get(), face);
    if (Property(kFramed) == 1) PaintFrame(face_.get());
    PaintCaption(face_.get(), face);
  }
  SDL_Rect dst = box;
  SDL_BlitSurface(face_.get(), nullptr, target, &dst);
}

}  // namespace vark
