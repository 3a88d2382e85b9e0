// Project: VARK. Starts the platform, loads the start-up screen and runs the loop.
#include "platform/app.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "startup/form2.h"

int main() {
  vark::EnterProgramFolder();
  if (!vark::InitGamePlatform()) return 1;
  vark::App& app = vark::App::Get();
  app.Dispatch([] { vark::Forms::Show<vark::Form2>(); });
  app.AfterEvent();
  app.Run();
  vark::ShutdownGamePlatform();
  return 0;
}
