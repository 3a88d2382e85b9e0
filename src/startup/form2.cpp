#include "startup/form2.h"

#include "platform/runtime/app.h"
#include "platform/files/programs.h"
#include "profiles/form1.h"
#include "startup/hpresol.h"
#include "startup/options.h"

namespace vark {

Form2::Form2() : Form("Form2") {
  Caption.SetCaption("Project: VarK DEMO");
  Caption.SetFont(FontSpec{"Arial Black", 18, true});
  Caption.SetForeColor(RGB(192, 0, 0));
  Caption.SetTransparent(true);
  Caption.SetAlignment(Align::Center);
}

void Form2::Form_Load() {
  // No settings yet: the set-up program writes them, then starts the game again.
  if (!Options().setUp) {
    StartProgram("RIZAVORUV.exe");
    App::Get().End();
    return;
  }
  if (Options().safeMode) {
    StartProgram("KELPSafe.exe");
    App::Get().End();
    return;
  }
  HPResol::StartModeList();
}

void Form2::Timer1_Timer() {
  HPResol::SetMode("640x480x32");
  Timer1.SetInterval(0);
  Timer2.SetInterval(100);
}

void Form2::Timer2_Timer() {
  Timer2.SetInterval(0);
  Hide();
  Forms::Show<Form1>();
}

}  // namespace vark
