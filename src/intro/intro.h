// The intro. (Being built.)
#pragma once

#include "platform/form.h"

namespace vark {

class INTRO : public Form {
 public:
  INTRO() : Form("INTRO") {}
};

}  // namespace vark
