#include "startup/hpresol.h"

#include "startup/resol.h"

namespace vark::HPResol {

void StartModeList() { Forms::Get<Resol>().Timer1.SetInterval(1); }

void SetMode(const std::string& mode) {
  Resol& resol = Forms::Get<Resol>();
  for (size_t i = 0; i < resol.List1.size(); ++i) {
    if (resol.List1[i] != mode) continue;
    resol.List1Index = static_cast<int>(i);
    resol.Timer2.SetInterval(1);
    return;
  }
}

void RestoreMode() {
  Resol& resol = Forms::Get<Resol>();
  std::string text = resol.CurrentResol1.substr(resol.CurrentResol1.empty() ? 0 : 1) + "x" +
                     resol.CurrentResol2.substr(resol.CurrentResol2.empty() ? 0 : 1) + "x32";
  resol.Check1 = 1;
  SetMode(text);
}

}  // namespace vark::HPResol
