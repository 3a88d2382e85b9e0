// The game's button: a coloured, styled caption on a face, also used as a caption box.
// Its look is set through numbered appearance properties, named in `btn` below; colours
// are packed as red + 256 x green + 65536 x blue. A "&" in the caption marks the next
// letter as the keyboard letter: it is underlined and the "&" is not shown, and Alt with
// that letter's key presses the button.
// Only a button that can be clicked (enabled, with a click action) answers the pointer:
// it lights up while the pointer is over it (with the hover colours, or a lighter face
// when none of them is set) and looks pressed in while the left mouse button is held on
// it. A caption box nobody can click keeps one look.
#pragma once

#include <initializer_list>
#include <map>
#include <string>

#include "platform/forms/control.h"
#include "platform/video/font.h"
#include "platform/base/owned.h"

namespace vark {

// The appearance properties by their numbers.
namespace btn {
inline constexpr int kStyle = 11;   // kRaisedFace or kCaptionBox
inline constexpr int kFramed = 14;  // 1 draws a frame around the face
inline constexpr int kCaptionColor = 45;
inline constexpr int kFaceColor = 46;
inline constexpr int kFrameWidth = 74;  // in pixels
inline constexpr int kFrameColor = 79;
inline constexpr int kShadowColor = 80;  // the caption's shadow
inline constexpr int kHoverCaptionColor = 81;
inline constexpr int kLowerFaceColor = 82;  // the face fades into it towards the bottom
inline constexpr int kHoverFrameColor = 83;
inline constexpr int kHoverFaceColor = 84;
inline constexpr int kShadowDepth = 88;  // the caption's shadow, in pixels

// Values of kStyle.
inline constexpr int kRaisedFace = 1;  // a raised button face
inline constexpr int kCaptionBox = 4;  // no face: the caption with a shadow
}  // namespace btn

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
  void SetHovered(bool h) override;
  // The left mouse button is held on the button (pressed look).
  bool Pressed() const { return pressed_; }
  void SetPressed(bool p) override;
  // True when a click does something: the button answers the pointer only then.
  bool Clickable() const { return Enabled() && OnClick != nullptr; }
  // A button with a click action takes the focus ring; a caption box does not.
  bool Focusable() const override { return OnClick != nullptr || Control::Focusable(); }
  // The caption's "&"-marked letter.
  std::string KeyboardLetter() const override;

  // The caption's size in points (0: it follows the button's height and shrinks to fit).
  void SetCaptionSize(double pt);
  // The font the caption is drawn in at the button's present size.
  FontSpec CaptionFont() const;

  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 protected:
  void EnabledChanged() override { DropCache(); }

 private:
  void DropCache() const;
  Color ColorOr(int number, Color fallback) const;
  bool Lit() const;
  bool PressedIn() const { return pressed_ && Clickable(); }
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
  bool pressed_ = false;
  double captionSize_ = 0;
  mutable OwnedSurface face_;  // the whole button drawn once, until it changes
};

// The caption without its "&" marks, and the character index of the marked letter (-1).
std::string StripMnemonic(const std::string& caption, int& markedIndex);

// The keyboard letter of a caption (UTF-8), empty when it has none.
std::string MnemonicLetter(const std::string& caption);

// Gives buttons that stand together one caption size: the largest at which every one of
// their captions fits.
void MatchCaptionSizes(std::initializer_list<BtnEnh*> buttons);

}  // namespace vark
