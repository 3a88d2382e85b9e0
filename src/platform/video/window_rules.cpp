#include "platform/video/window_rules.h"

namespace vark {

bool PageSizesWindow() { return false; }

}  // namespace vark
