// The game's button: a coloured, styled caption on a face, also used as a caption box.
// Its look is set through numbered appearance properties:
//   11  style: 1 a raised button face, 4 a flat caption box (no face, caption with shadow)
//   14  1 draws a frame around the face
//   45  caption colour            46  face colour (read back by the main menu's blink)
//   79  frame colour              81  caption colour while the pointer is over the button
//   80  caption shadow colour     82  lower face colour (the face fades into it)
//   83  frame colour while the pointer is over the button
//   84  face colour while the pointer is over the button
//   74  frame width in pixels     88  caption shadow depth in pixels
// Colours are packed as red + 256 x green + 65536 x blue. A "&" in the caption marks the
// next letter as the keyboard letter: it is underlined and the "&" is not shown.
#pragma once

#include <map>
#include <string>

#include "platform/control.h"
#include "platform/font.h"

namespace vark {

class BtnEnh : public Control {
 public:
  BtnEnh(Form& form, std::string name, int index, Control* parent, Rect box);
  ~BtnEnh() override;

  void SetCaption(std::string caption);
  const std::string& Caption() const { return caption_; }
  void SetFont(FontSpec f);
  const FontSpec& Font() const { return font_; }

  void SetProperty(int number, int32_t value);
  void SetColorProperty(int number, Color c) { SetProperty(number, PackColor(c)); }
  int32_t Property(int number) const;

  // The pointer is over the button (hover look).
  bool Hovered() const { return hovered_; }
  void SetHovered(bool h);

  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 protected:
  void EnabledChanged() override { DropCache(); }

 private:
  void DropCache() const;
  Color ColorOr(int number, Color fallback) const;
  bool Lit() const;
  Color FaceColor() const;
  void PaintFace(SDL_Surface* s, Color face) const;
  void PaintFrame(SDL_Surface* s) const;
  void PaintCaption(SDL_Surface* s, Color face) const;
  void Underline(SDL_Surface* s, const std::string& text, int marked, const FontSpec& font, const SDL_Rect& at,
                 Color color) const;

  std::string caption_;
  FontSpec font_;
  std::map<int, int32_t> properties_;
  bool hovered_ = false;
  mutable SDL_Surface* face_ = nullptr;  // the whole button drawn once, until it changes
};

// The caption without its "&" marks, and the character index of the marked letter (-1).
std::string StripMnemonic(const std::string& caption, int& markedIndex);

}  // namespace vark
