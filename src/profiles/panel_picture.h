// A panel (PictureBox) draws its picture at the picture's full size, even beyond the
// panel's own edges; panels that take a large background get only the part that fits.
#pragma once

#include "platform/control.h"
#include "platform/picture.h"

namespace vark {

// The top-left part of `picture` that fits inside `panel`.
Picture PanelPicture(const Picture& picture, const Control& panel);

}  // namespace vark
