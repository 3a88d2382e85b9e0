// Smooth (bilinear) scaling of an opaque 8-bit palette picture straight into a box of the
// 32-bit screen picture, for pictures that change on every frame (the intro's landscape):
// no colour copy of the picture is made and no scaled copy is kept.
#pragma once

#include <SDL.h>

namespace vark {

// True when `picture` can be drawn by ScaleSmoothly into `target`: 8 bits with a palette
// of opaque colours and no transparent colour, onto a 32-bit ARGB target.
bool CanScaleSmoothly(const SDL_Surface& picture, const SDL_Surface& target);

// Draws `picture` scaled to `box` of `target`, only the target pixels inside `clip`. Each
// target pixel mixes the four picture pixels nearest to its centre, weighted by closeness,
// and depends only on its place in the box: drawing part by part gives the pixels drawing
// everything would.
void ScaleSmoothly(const SDL_Surface& picture, SDL_Surface& target, const SDL_Rect& box, const SDL_Rect& clip);

}  // namespace vark
