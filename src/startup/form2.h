// The start-up screen: reads the safe-mode setting and either hands over to a companion
// program and ends, or switches the display to 640 x 480 and opens the main menu.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/form.h"

namespace vark {

class Form2 : public Form {
 public:
  Form2();
  void Form_Load() override;

  Label& Caption = AddLabel("Caption", {0, 3300, 9600, 600});
  // Timer1 asks for 640 x 480; Timer2 then opens the main menu.
  Timer& Timer1 = AddTimer("Timer1", 500, [this] { Timer1_Timer(); });
  Timer& Timer2 = AddTimer("Timer2", 0, [this] { Timer2_Timer(); });

 private:
  void Timer1_Timer();
  void Timer2_Timer();
};

}  // namespace vark
