// The ordinary controls the screens are built from.
#pragma once

#include <SDL.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/base/owned.h"
#include "platform/forms/control.h"
#include "platform/video/font.h"
#include "platform/video/paint.h"

namespace vark {

// A picture on the screen: stretched to its box, or sizing the box to the picture.
class Image : public Control {
 public:
  using Control::Control;

  void SetPicture(Picture p);
  const Picture& GetPicture() const { return picture_; }
  void LoadPicture(std::string_view gameName) { SetPicture(Picture::Load(gameName)); }
  // The picture's pixels changed (code that works on its bytes): repaint.
  void PictureChanged() { Invalidate(); }

  void SetStretch(bool s);
  bool Stretch() const { return stretch_; }

  // Instead of drawing its picture, the image inverts the colours beneath it.
  void SetInvert(bool v) {
    invert_ = v;
    Invalidate();
  }

  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 private:
  void FitToPicture();

  Picture picture_;
  bool stretch_ = false;
  bool invert_ = false;
  mutable OwnedSurface scaled_;  // the picture at the box's size, for alpha blending
  mutable uint64_t scaledVersion_ = 0;
};

// A container with a background colour and an optional picture at its top-left corner.
// Children are placed relative to it and clipped to it.
class PictureBox : public Control {
 public:
  using Control::Control;

  void SetBackColor(Color c) {
    back_ = c;
    Invalidate();
  }
  Color BackColor() const { return back_; }
  void SetPicture(Picture p) {
    picture_ = std::move(p);
    Invalidate();
  }
  const Picture& GetPicture() const { return picture_; }
  // Mouse positions reported in pixels instead of twips.
  void SetPixelScale(bool v) { pixels_ = v; }
  void SetBorder(bool v) {
    border_ = v;
    Invalidate();
  }

  bool MeasuresInPixels() const override { return pixels_; }
  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 private:
  Color back_ = RGB(0, 0, 0);
  Picture picture_;
  bool pixels_ = false;
  bool border_ = false;
};

enum class Align { Left, Right, Center };

// Text with a font, colours and alignment; transparent or on its own background.
class Label : public Control {
 public:
  using Control::Control;

  void SetCaption(std::string text);
  const std::string& Caption() const { return caption_; }
  void SetForeColor(Color c) {
    fore_ = c;
    Invalidate();
  }
  Color ForeColor() const { return fore_; }
  void SetBackColor(Color c) {
    back_ = c;
    Invalidate();
  }
  void SetTransparent(bool t) {
    transparent_ = t;
    Invalidate();
  }
  void SetFont(FontSpec f) {
    font_ = std::move(f);
    Changed();
  }
  const FontSpec& Font() const { return font_; }
  void SetFontSize(double pt) {
    font_.sizePt = pt;
    Changed();
  }
  void SetAlignment(Align a) {
    align_ = a;
    Invalidate();
  }
  void SetWordWrap(bool w) {
    wrap_ = w;
    Changed();
  }
  // The text stands in the middle of the box's height instead of at its top.
  void SetVerticalCenter(bool v) {
    vcenter_ = v;
    Invalidate();
  }
  // The box follows the text's size.
  void SetAutoSize(bool a) {
    autoSize_ = a;
    Changed();
  }
  // A one-line caption too wide for the box is shown whole at a smaller size, down to
  // `smallestPt`, and below that with its middle elided (0: the caption is cut at the box).
  // It keeps `marginPx` clear on either side (a frame drawn around the box, say).
  void SetFitToWidth(double smallestPt, int marginPx = 0) {
    fitSmallestPt_ = smallestPt;
    fitMarginPx_ = marginPx;
    Changed();
  }
  int FitMargin() const { return fitMarginPx_; }
  // The text casts a copy of itself in `color`, `depthPx` down and right, as a caption box's
  // caption does (0: no shadow).
  void SetShadow(Color color, int depthPx) {
    shadow_ = color;
    shadowDepth_ = depthPx;
    Invalidate();
  }
  // The caption and font as they are drawn in the box now.
  FittedText Shown() const;

  void Move(int left, int top, int width, int height) override;
  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 private:
  void Changed();
  bool Fits() const { return fitSmallestPt_ > 0 && !wrap_ && !autoSize_; }
  SDL_Surface* Rendered(int wrapWidth) const;

  std::string caption_;
  Color fore_ = RGB(0, 0, 0);
  Color back_ = RGB(192, 192, 192);
  bool transparent_ = false;
  FontSpec font_;
  Align align_ = Align::Left;
  bool wrap_ = false;
  bool autoSize_ = false;
  bool vcenter_ = false;
  double fitSmallestPt_ = 0;
  int fitMarginPx_ = 0;
  Color shadow_ = RGB(0, 0, 0);
  int shadowDepth_ = 0;
  mutable OwnedSurface text_;
  mutable int textWrap_ = -1;
  // A copy of the white text in one colour, kept until the text or the colour changes.
  struct TintedCopy {
    OwnedSurface surface;
    Color colour;
  };
  static SDL_Surface* InColour(SDL_Surface* white, Color colour, TintedCopy& copy);
  mutable TintedCopy coloured_;
  mutable TintedCopy shadowCast_;
};

// A one-line text box. Typing edits the focused box and raises OnChange; setting the text
// from code raises it too (when the text differs).
class TextBox : public Control {
 public:
  using Control::Control;

  void SetText(std::string text);
  const std::string& Text() const { return text_; }
  // Caret position in characters.
  void SetSelStart(size_t pos);
  size_t SelStart() const { return caret_; }
  // Most characters the box holds (0: no limit).
  void SetMaxLength(size_t n) { maxLength_ = n; }
  // Decides whether a typed character (one UTF-8 code point) is taken.
  void SetCharFilter(std::function<bool(std::string_view)> f) { filter_ = std::move(f); }
  void SetFocus();

  std::function<void()> OnChange;

  // Editing, from the keyboard.
  void TypeText(std::string_view utf8) override;
  bool EditKey(SDL_Keycode key) override;
  void Backspace();
  void DeleteForward();
  void MoveCaret(int delta);
  void CaretHome() { caret_ = 0; }
  void CaretEnd();

  bool TakesFocus() const override { return true; }
  // A box that only listens for a command key gives the arrows, Enter and Space to the
  // focus ring.
  void SetKeepsNavigationKeys(bool keeps) { keepsNavigationKeys_ = keeps; }
  bool KeepsNavigationKeys() const override { return keepsNavigationKeys_; }
  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 private:
  bool keepsNavigationKeys_ = true;
  std::string text_;
  size_t caret_ = 0;
  size_t maxLength_ = 0;
  std::function<bool(std::string_view)> filter_;
};

// A rectangle frame (shapes take no mouse events).
class Shape : public Control {
 public:
  using Control::Control;
  void SetBorderColor(Color c) {
    border_ = c;
    Invalidate();
  }
  void SetFill(bool fill, Color c) {
    filled_ = fill;
    fill_ = c;
    Invalidate();
  }
  bool TakesMouse() const override { return false; }
  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 private:
  Color border_ = RGB(0, 0, 0);
  bool filled_ = false;
  Color fill_;
};

// A plain command button. A form's cancel button is pressed by the Escape key.
class CommandButton : public Control {
 public:
  using Control::Control;
  void SetCaption(std::string c) {
    caption_ = std::move(c);
    Invalidate();
  }
  void SetCancel(bool c) { cancel_ = c; }
  bool IsCancel() const { return cancel_; }
  bool PressedByEscape() const override { return cancel_; }
  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 private:
  std::string caption_;
  bool cancel_ = false;
};

// Draws text with a font in a colour, for controls that paint captions themselves. Empty
// when the text is empty or no font exists.
OwnedSurface RenderText(const std::string& text, const FontSpec& font, Color color, int wrapWidth = 0,
                        Align align = Align::Left);

// Blits a surface centred (or aligned) in a box.
void BlitAligned(SDL_Surface* src, SDL_Surface* target, const SDL_Rect& box, Align align, bool vcenter);

}  // namespace vark
