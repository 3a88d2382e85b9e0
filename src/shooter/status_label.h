// A number label of the status bar that reads on one line with the caption box beside
// it: its text is drawn in the size the caption boxes use on the same height and stands
// in the middle of its box, as a caption box's text does.
#pragma once

#include "platform/controls.h"

namespace vark {

class StatusLabel : public Label {
 public:
  StatusLabel(Form& form, std::string name, int index, Control* parent, Rect box);

  void Draw(SDL_Surface* target, const SDL_Rect& box) const override;
};

}  // namespace vark
