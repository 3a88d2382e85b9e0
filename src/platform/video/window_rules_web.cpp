#include "platform/video/window_rules.h"

namespace vark {

bool PageSizesWindow() { return true; }

}  // namespace vark
