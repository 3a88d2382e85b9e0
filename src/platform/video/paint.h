// Plain painting on a surface: a filled box and a box's frame in one colour.
#pragma once

#include <SDL.h>

#include "platform/base/geometry.h"

namespace vark {

void FillRect(SDL_Surface* target, const SDL_Rect& r, Color c);
// The frame `width` pixels wide, inside the box.
void FrameRect(SDL_Surface* target, const SDL_Rect& r, Color c, int width = 1);

}  // namespace vark
