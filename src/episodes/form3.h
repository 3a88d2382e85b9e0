// The episode selection screen. (Being built.)
#pragma once

#include "platform/form.h"

namespace vark {

class Form3 : public Form {
 public:
  Form3() : Form("Form3") {}
};

}  // namespace vark
