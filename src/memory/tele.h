// The memory game. (Being built: only what other screens use exists yet.)
#pragma once

#include "platform/form.h"

namespace vark {

class Tele : public Form {
 public:
  Tele() : Form("Tele") {}
  Timer& Timer6 = AddTimer("Timer6", 0, [this] { Timer6.SetInterval(0); });
};

}  // namespace vark
