// The six ways a quiz monster can die, each drawn frame by frame from its normal pose.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "draw.h"

namespace assetgen {

enum class Death { kBurn, kMelt, kSplit, kShrink, kSparks, kSmoke };

// Draws one moment of a death into a w x h target from the creature's picture
// `body` (same size, transparent around it); `progress` runs from 0 (the hit)
// to 1 (nothing of the creature left but ash, a puddle, dust or smoke).
void DrawDeath(Death death, cairo_t* cr, cairo_surface_t* body, int w, int h, double progress, uint64_t seed);

}  // namespace assetgen
