// The shooter's flying monster, shared by its sprites and the level pictures.
#pragma once

#include <cairo.h>

namespace assetgen {

// Draws the flying monster filling a `size` x `size` box at the origin;
// `firing` opens its mouth with a glowing fireball inside.
void DrawFlyer(cairo_t* cr, double size, bool firing);

}  // namespace assetgen
