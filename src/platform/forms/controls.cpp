#include "platform/forms/controls.h"

#include <SDL_ttf.h>

#include <algorithm>

#include "platform/base/utf8.h"
#include "platform/forms/form.h"
#include "platform/video/smooth_scale.h"

namespace vark {

OwnedSurface RenderText(const std::string& text, const FontSpec& font, Color color, int wrapWidth, Align align) {
  if (text.empty()) return nullptr;
  TTF_Font* f = OpenFont(font);
  if (!f) return nullptr;
  SDL_Color fg{color.r, color.g, color.b, 255};
  OwnedSurface rendered;
  if (wrapWidth > 0) {
    TTF_SetFontWrappedAlign(f, align == Align::Center  ? TTF_WRAPPED_ALIGN_CENTER
                               : align == Align::Right ? TTF_WRAPPED_ALIGN_RIGHT
                                                       : TTF_WRAPPED_ALIGN_LEFT);
    rendered.reset(TTF_RenderUTF8_Blended_Wrapped(f, text.c_str(), fg, static_cast<Uint32>(wrapWidth)));
  } else {
    rendered.reset(TTF_RenderUTF8_Blended(f, text.c_str(), fg));
  }
  if (!rendered) return nullptr;
  OwnedSurface argb(SDL_ConvertSurfaceFormat(rendered.get(), SDL_PIXELFORMAT_ARGB8888, 0));
  if (argb) SDL_SetSurfaceBlendMode(argb.get(), SDL_BLENDMODE_BLEND);
  return argb;
}

void BlitAligned(SDL_Surface* src, SDL_Surface* target, const SDL_Rect& box, Align align, bool vcenter) {
  if (!src) return;
  SDL_Rect dst{box.x, box.y, src->w, src->h};
  if (align == Align::Center) dst.x = box.x + (box.w - src->w) / 2;
  if (align == Align::Right) dst.x = box.x + box.w - src->w;
  if (vcenter) dst.y = box.y + (box.h - src->h) / 2;
  SDL_BlitSurface(src, nullptr, target, &dst);
}

// ---- Image -----------------------------------------------------------------------------

void Image::SetPicture(Picture p) {
  picture_ = std::move(p);
  if (!stretch_) FitToPicture();
  Invalidate();
}

void Image::SetStretch(bool s) {
  stretch_ = s;
  if (!stretch_) FitToPicture();
  Invalidate();
}

void Image::FitToPicture() {
  if (picture_.Empty()) return;
  Move(Left(), Top(), picture_.WidthPx() * kTwipsPerPixel, picture_.HeightPx() * kTwipsPerPixel);
}

namespace {

void InvertArea(SDL_Surface* target, const SDL_Rect& box) {
  SDL_Rect area = box;
  SDL_Rect clip;
  SDL_GetClipRect(target, &clip);
  if (!SDL_IntersectRect(&area, &clip, &area)) return;
  SDL_LockSurface(target);
  for (int y = area.y; y < area.y + area.h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) + y * target->pitch);
    for (int x = area.x; x < area.x + area.w; ++x) row[x] ^= 0x00FFFFFFu;
  }
  SDL_UnlockSurface(target);
}

}  // namespace

void Image::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  if (invert_) {
    InvertArea(target, box);
    return;
  }
  if (box.w <= 0 || box.h <= 0) return;
  // An opaque palette picture scaled (the intro's landscape, new on every frame) is scaled
  // straight into the screen: no colour copy, no scaled copy.
  SDL_Surface* raw = picture_.Raw();
  if (stretch_ && raw && (raw->w != box.w || raw->h != box.h) && CanScaleSmoothly(*raw, *target)) {
    SDL_Rect clip;
    SDL_GetClipRect(target, &clip);
    ScaleSmoothly(*raw, *target, box, clip);
    return;
  }
  SDL_Surface* src = picture_.Argb();
  if (!src) return;
  if (!stretch_ || (src->w == box.w && src->h == box.h)) {
    SDL_Rect dst{box.x, box.y, src->w, src->h};
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
    SDL_BlitSurface(src, nullptr, target, &dst);
    return;
  }
  // Stretched: scale smoothly into a cached copy at the box's size, then blend it.
  uint64_t key = picture_.Version() * 1000003u + static_cast<uint64_t>(box.w) * 4099u + static_cast<uint64_t>(box.h);
  if (!scaled_ || scaledVersion_ != key) {
    scaled_.reset(SDL_CreateRGBSurfaceWithFormat(0, box.w, box.h, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!scaled_) return;
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
    if (SDL_SoftStretchLinear(src, nullptr, scaled_.get(), nullptr) != 0)
      SDL_BlitScaled(src, nullptr, scaled_.get(), nullptr);
    scaledVersion_ = key;
  }
  // An opaque landscape redrawn every frame is copied: blending it would cost as much again.
  SDL_SetSurfaceBlendMode(scaled_.get(), picture_.Opaque() ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  SDL_Rect dst = box;
  SDL_BlitSurface(scaled_.get(), nullptr, target, &dst);
}

// ---- PictureBox ------------------------------------------------------------------------

void PictureBox::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  FillRect(target, box, back_);
  if (SDL_Surface* src = picture_.Argb()) {
    // The picture starts at the top-left corner and is cut at the box's edges.
    SDL_Rect part{0, 0, std::min(src->w, box.w), std::min(src->h, box.h)};
    SDL_Rect dst{box.x, box.y, part.w, part.h};
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
    SDL_BlitSurface(src, &part, target, &dst);
  }
  if (border_) FrameRect(target, box, RGB(128, 128, 128));
}

// ---- Label -----------------------------------------------------------------------------

void Label::SetCaption(std::string text) {
  if (text == caption_) return;
  caption_ = std::move(text);
  Changed();
}

void Label::Changed() {
  text_.reset();
  textWrap_ = -1;
  if (autoSize_) {
    SDL_Surface* s = Rendered(0);
    int w = s ? s->w : 0;
    int h = s ? s->h : 0;
    if (!s) {
      if (TTF_Font* f = OpenFont(font_)) h = TTF_FontHeight(f);
    }
    Control::Move(Left(), Top(), w * kTwipsPerPixel, h * kTwipsPerPixel);
  }
  Invalidate();
}

void Label::Move(int left, int top, int width, int height) {
  bool resized = width != Width();
  Control::Move(left, top, width, height);
  if (resized && (wrap_ || Fits())) text_.reset();
}

SDL_Surface* Label::Rendered(int wrapWidth) const {
  if (text_ && textWrap_ == wrapWidth) return text_.get();
  // Rendered in white and tinted when drawn, so a colour change costs no new rendering.
  FittedText shown = Shown();
  text_ = RenderText(shown.text, shown.font, RGB(255, 255, 255), wrapWidth, align_);
  textWrap_ = wrapWidth;
  coloured_.surface.reset();
  shadowCast_.surface.reset();
  return text_.get();
}

// A coloured copy blends faster than tinting the white text on every drawing, which
// matters for the lines drawn over the intro's landscape on every frame.
SDL_Surface* Label::InColour(SDL_Surface* white, Color colour, TintedCopy& copy) {
  if (copy.surface && copy.colour == colour) return copy.surface.get();
  copy.surface.reset(SDL_ConvertSurface(white, white->format, 0));
  SDL_Surface* tinted = copy.surface.get();
  if (!tinted) return nullptr;
  copy.colour = colour;
  SDL_LockSurface(tinted);
  for (int y = 0; y < tinted->h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(tinted->pixels) + y * tinted->pitch);
    for (int x = 0; x < tinted->w; ++x) {
      uint32_t p = row[x];
      auto tint = [p](int shift, uint8_t c) { return ((p >> shift & 0xFF) * c / 255) << shift; };
      row[x] = (p & 0xFF000000u) | tint(16, colour.r) | tint(8, colour.g) | tint(0, colour.b);
    }
  }
  SDL_UnlockSurface(tinted);
  SDL_SetSurfaceBlendMode(tinted, SDL_BLENDMODE_BLEND);
  return tinted;
}

FittedText Label::Shown() const {
  if (!Fits()) return {caption_, font_};
  return FitText(caption_, font_, Width() / kTwipsPerPixel - 2 * fitMarginPx_, fitSmallestPt_);
}

void Label::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  if (!transparent_) FillRect(target, box, back_);
  SDL_Surface* s = Rendered(wrap_ && !autoSize_ ? std::max(1, box.w) : 0);
  if (!s) return;
  if (shadowDepth_ > 0) {
    SDL_Rect cast{box.x + shadowDepth_, box.y + shadowDepth_, box.w, box.h};
    BlitAligned(InColour(s, shadow_, shadowCast_), target, cast, align_, vcenter_);
  }
  BlitAligned(InColour(s, fore_, coloured_), target, box, align_, vcenter_);
}

// ---- TextBox ---------------------------------------------------------------------------

void TextBox::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  caret_ = std::min(caret_, Utf8Length(text_));
  Invalidate();
  if (OnChange) OnChange();
}

void TextBox::SetSelStart(size_t pos) { caret_ = std::min(pos, Utf8Length(text_)); }
void TextBox::CaretEnd() { caret_ = Utf8Length(text_); }
void TextBox::SetFocus() { Owner().SetFocus(this); }

void TextBox::TypeText(std::string_view utf8) {
  std::string accepted;
  size_t count = Utf8Length(text_);
  for (size_t i = 0; i < utf8.size();) {
    size_t len = 1;
    while (i + len < utf8.size() && (static_cast<unsigned char>(utf8[i + len]) & 0xC0) == 0x80) ++len;
    std::string_view ch = utf8.substr(i, len);
    i += len;
    if (maxLength_ && count >= maxLength_) break;
    if (filter_ && !filter_(ch)) continue;
    accepted += ch;
    ++count;
  }
  if (accepted.empty()) return;
  std::string next = text_;
  next.insert(Utf8ByteOffset(next, caret_), accepted);
  caret_ += Utf8Length(accepted);
  SetText(std::move(next));
}

void TextBox::Backspace() {
  if (caret_ == 0) return;
  std::string next = text_;
  size_t from = Utf8ByteOffset(next, caret_ - 1), to = Utf8ByteOffset(next, caret_);
  next.erase(from, to - from);
  --caret_;
  SetText(std::move(next));
}

void TextBox::DeleteForward() {
  if (caret_ >= Utf8Length(text_)) return;
  std::string next = text_;
  size_t from = Utf8ByteOffset(next, caret_), to = Utf8ByteOffset(next, caret_ + 1);
  next.erase(from, to - from);
  SetText(std::move(next));
}

void TextBox::MoveCaret(int delta) {
  long pos = static_cast<long>(caret_) + delta;
  caret_ = static_cast<size_t>(std::clamp(pos, 0L, static_cast<long>(Utf8Length(text_))));
}

bool TextBox::EditKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_BACKSPACE: Backspace(); return true;
    case SDLK_DELETE: DeleteForward(); return true;
    case SDLK_LEFT: MoveCaret(-1); return true;
    case SDLK_RIGHT: MoveCaret(1); return true;
    case SDLK_HOME: CaretHome(); return true;
    case SDLK_END: CaretEnd(); return true;
    default: return false;
  }
}

void TextBox::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  FillRect(target, box, RGB(255, 255, 255));
  FrameRect(target, box, RGB(64, 64, 64));
  OwnedSurface s = RenderText(text_, FontSpec{}, RGB(0, 0, 0));
  SDL_Rect inner{box.x + 2, box.y, box.w - 4, box.h};
  BlitAligned(s.get(), target, inner, Align::Left, true);
}

// ---- Shape and CommandButton -----------------------------------------------------------

void Shape::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  if (filled_) FillRect(target, box, fill_);
  FrameRect(target, box, border_);
}

void CommandButton::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  FillRect(target, box, RGB(192, 192, 192));
  FrameRect(target, box, RGB(64, 64, 64));
  OwnedSurface s = RenderText(caption_, FontSpec{}, RGB(0, 0, 0));
  BlitAligned(s.get(), target, box, Align::Center, true);
}

}  // namespace vark
