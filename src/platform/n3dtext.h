// A 3-D text label: the caption in large letters with a visible extruded depth. It is
// configured once with colours and numbers and animated through one value.
//   colours 0/1: face colour pair (top and bottom of the letters)
//   colours 2/3: depth colour pair (near and far end of the extrusion)
//   colours 4/5: light and shadow tones used for the outline and the glint
//   numbers: 0 the depth in pixels (the animation value, see below), others are free
// The animation value sweeps a light glint across the letters and, while it is small,
// grows the letters in: a new caption starts small and settles at full size.
#pragma once

#include <array>
#include <string>

#include "platform/control.h"
#include "platform/font.h"

namespace vark {

class N3dText : public Control {
 public:
  N3dText(Form& form, std::string name, int index, Control* parent, Rect box);
  ~N3dText() override;

  void SetCaption(std::string caption);
  const std::string& Caption() const { return caption_; }
  void SetFont(FontSpec f);

  void SetColor(int slot, Color c);
  void SetNumber(int slot, double v);
  double Number(int slot) const { return numbers_.at(slot); }
  void SetSwitch(int slot, bool on);

  // The animated value.
  void SetValue(double v);
  double Value() const { return value_; }

  bool TakesMouse() const override { return false; }
  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 private:
  void DropCache() const;
  // The caption's white letter mask at the size that fits the box, made once per caption.
  SDL_Surface* Mask(const SDL_Rect& box, int depth) const;
  // The extrusion behind the letters, drawn once per caption and colours.
  SDL_Surface* Extrusion(const SDL_Rect& box, int depth, SDL_Surface* mask, int ox, int oy) const;

  std::string caption_;
  FontSpec font_{"Arial Black", 36, true};
  std::array<Color, 6> colors_{RGB(255, 255, 0), RGB(255, 0, 0), RGB(0, 0, 128), RGB(0, 0, 0),
                               RGB(125, 125, 125), RGB(255, 255, 255)};
  std::array<double, 6> numbers_{75, 1, 0, 0, 0, 3.0};
  std::array<bool, 4> switches_{};
  double value_ = 0;
  mutable SDL_Surface* cache_ = nullptr;
  mutable int cacheKey_ = -1;
  mutable SDL_Surface* mask_ = nullptr;
  mutable SDL_Surface* base_ = nullptr;
  mutable bool baseValid_ = false;
  mutable int maskWidth_ = -1, maskHeight_ = -1;
};

}  // namespace vark
