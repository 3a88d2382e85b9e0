// The hidden display-mode screen: the list of modes, the desktop size remembered at the
// first listing, and the switch. It is never shown.
#pragma once

#include <string>
#include <vector>

#include "platform/video/display.h"
#include "platform/forms/form.h"

namespace vark {

class Resol : public Form {
 public:
  Resol();

  std::vector<std::string> List1;  // one entry per mode: "640x480x32"
  int List1Index = -1;             // the selected entry
  std::vector<DisplayMode> Modes;  // the mode of each entry, same index
  int ModeCount = -1;              // index of the last mode found
  std::string CurrentResol1;       // desktop width with a leading blank, from the first listing
  std::string CurrentResol2;       // desktop height, likewise
  int Check1 = 0;                  // 1: the program ends right after the next switch

  Timer& Timer1 = AddTimer("Timer1", 0, [this] { Timer1_Timer(); });
  Timer& Timer2 = AddTimer("Timer2", 0, [this] { Timer2_Timer(); });

  void ListModes();
  void SetResol_Click();

 private:
  void Timer1_Timer();
  void Timer2_Timer();
  void CurrentSize(int& width, int& height);
};

// A mode written as the list shows it: width "x" height "x" bits per pixel.
std::string ModeText(const DisplayMode& mode);

}  // namespace vark
