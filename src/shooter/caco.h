// The shooter. (Being built: only what other screens use exists yet.)
#pragma once

#include "platform/form.h"

namespace vark {

class Caco : public Form {
 public:
  Caco() : Form("Caco") {}
  Timer& Timer9 = AddTimer("Timer9", 0, [this] { Timer9.SetInterval(0); });
};

}  // namespace vark
