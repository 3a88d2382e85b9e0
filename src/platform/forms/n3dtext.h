// A 3-D text label: the caption in large letters with a visible extruded depth. It is
// configured once with colours and numbers and animated through one value.
//   colour 0/1: the letters' top and bottom colours (unset: colours 5 and 4)
//   colour 2/3: the extrusion's near and far colours (unset: colour 4, and black)
//   colour 4:   the middle tone, standing in for 1 and 2 when they are not set
//   colour 5:   the light: the glint, and the letters' top when colour 0 is not set
//   switch 0:   a thin outline in colour 3 around the letters; the other switches and
//               the numbers are kept for the screens that set them but change nothing
// So a title given only grey, white and black is drawn white to grey on a grey-to-black
// depth. The extrusion is about a fourteenth of the box's height deep. The animation
// value sweeps a light glint across the letters.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/control.h"
#include "platform/video/font.h"
#include "platform/base/owned.h"

namespace vark {

class N3dText : public Control {
 public:
  N3dText(Form& form, std::string name, int index, Control* parent, Rect box);

  void SetCaption(std::string caption);
  const std::string& Caption() const { return caption_; }
  void SetFont(FontSpec f);

  void SetColor(int slot, Color c);
  // The colour a slot is drawn with, its stand-in when it was never set.
  Color ColorOf(int slot) const;
  void SetNumber(int slot, double v);
  double Number(int slot) const { return numbers_.at(slot); }
  void SetSwitch(int slot, bool on);

  // The animated value.
  void SetValue(double v);
  double Value() const { return value_; }

  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;

 private:
  void DropCache() const;
  // The caption's white letter mask at the size that fits the box, made once per caption.
  SDL_Surface* Mask(const SDL_Rect& box, int depth) const;
  // The extrusion behind the letters, drawn once per caption and colours.
  SDL_Surface* Extrusion(const SDL_Rect& box, int depth, SDL_Surface* mask, int ox, int oy) const;
  void Outline(SDL_Surface* target, SDL_Surface* mask, int ox, int oy) const;
  // The extrusion with the letters in their colours, without the glint; made with it.
  SDL_Surface* Face(SDL_Surface* base, SDL_Surface* mask, int ox, int oy) const;
  // The letters' colour on each row of a mask of this height, top pair colour to bottom.
  std::vector<Color> FaceGradient(int height) const;

  std::string caption_;
  FontSpec font_{"Arial Black", 36, true};
  std::array<std::optional<Color>, 6> colors_{};
  std::array<double, 6> numbers_{75, 1, 0, 0, 0, 3.0};
  std::array<bool, 4> switches_{};
  double value_ = 0;
  mutable OwnedSurface cache_;
  mutable int cacheKey_ = -1;
  mutable OwnedSurface mask_;
  mutable OwnedSurface base_;
  mutable bool baseValid_ = false;
  mutable OwnedSurface face_;
  mutable SDL_Rect inked_{0, 0, 0, 0};  // the part of the cache that is not see-through
  mutable int maskWidth_ = -1, maskHeight_ = -1;
};

}  // namespace vark
