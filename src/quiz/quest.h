// The quiz. (Being built.)
#pragma once

#include "platform/form.h"

namespace vark {

class Quest : public Form {
 public:
  Quest() : Form("Quest") {}
};

}  // namespace vark
