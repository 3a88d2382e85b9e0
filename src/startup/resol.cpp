#include "startup/resol.h"

#include "platform/runtime/app.h"
#include "platform/base/number_text.h"

namespace vark {

std::string ModeText(const DisplayMode& mode) {
  return std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" + std::to_string(mode.bitsPerPixel);
}

Resol::Resol() : Form("Resol") {}

void Resol::Timer1_Timer() {
  ListModes();
  Timer1.SetInterval(0);
}

void Resol::Timer2_Timer() {
  SetResol_Click();
  Timer2.SetInterval(0);
}

void Resol::CurrentSize(int& width, int& height) {
  DisplayMode current = Display().Current();
  width = current.width;
  height = current.height;
}

void Resol::ListModes() {
  int bits = Display().Current().bitsPerPixel;
  int width, height;
  CurrentSize(width, height);
  Modes.assign(9, DisplayMode{});
  std::vector<DisplayMode> offered = Display().Modes();
  size_t i = 0;
  while (i < offered.size()) {
    Modes[i] = offered[i];
    List1.push_back(ModeText(offered[i]));
    if (offered[i].bitsPerPixel == bits && offered[i].width == width && offered[i].height == height)
      List1Index = static_cast<int>(List1.size()) - 1;
    ++i;
    if (i >= Modes.size()) Modes.resize(Modes.size() + 8);
  }
  ModeCount = static_cast<int>(i) - 1;
  CurrentSize(width, height);
  // Only the first listing is remembered: the size of the desktop before any switch.
  if (CurrentResol1.empty()) {
    CurrentResol1 = Str(width);
    CurrentResol2 = Str(height);
  }
}

void Resol::SetResol_Click() {
  if (List1Index < 0 || List1Index >= static_cast<int>(List1.size())) return;
  Display().Change(Modes[static_cast<size_t>(List1Index)]);
  if (Check1 == 1) App::Get().End();
}

}  // namespace vark
