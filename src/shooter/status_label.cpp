#include "shooter/status_label.h"

#include <SDL_ttf.h>

#include <algorithm>

#include "platform/geometry.h"

namespace vark {

namespace {

// A caption box of the bold status-bar face draws its text this high for every pixel of
// its own height.
constexpr double kCaptionTextPerPixel = 0.62;
constexpr double kPointsPerPixel = 72.0 / 96.0;

}  // namespace

StatusLabel::StatusLabel(Form& form, std::string name, int index, Control* parent, Rect box)
    : Label(form, std::move(name), index, parent, box) {
  double pixels = TwipsToPx(box.height);
  SetFont(FontSpec{"Arial Black", pixels * kCaptionTextPerPixel * kPointsPerPixel, true});
}

void StatusLabel::Draw(SDL_Surface* target, const SDL_Rect& box) const {
  TTF_Font* font = OpenFont(Font());
  int lineHeight = font ? TTF_FontHeight(font) : box.h;
  int drop = std::max(0, (box.h - lineHeight) / 2);
  Label::Draw(target, SDL_Rect{box.x, box.y + drop, box.w, box.h - drop});
}

}  // namespace vark
