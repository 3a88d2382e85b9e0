// The companion set-up program. The game starts it under two names: "RIZAVORUV.exe" when
// no settings exist yet, and "KELPSafe.exe" when safe mode is on. With --defaults it only
// writes the default settings, without a window.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstring>
#include <iostream>

#include "platform/base/run_state.h"
#include "platform/files/folders.h"
#include "platform/forms/screen.h"
#include "platform/platform.h"
#include "platform/runtime/app.h"
#include "platform/video/font.h"
#include "platform/video/window.h"
#include "platform/video/window_identity.h"
#include "setup/setup_form.h"
#include "setup/setup_settings.h"
#include "startup/options.h"

namespace {

int WriteDefaults() { return vark::SaveSetupChoice(vark::SetupChoice{}) ? 0 : 1; }

int RunWindow(bool safeMode) {
  vark::NameWindowsAfterGame();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    std::cerr << "setup: cannot start video: " << SDL_GetError() << "\n";
    return 1;
  }
  if (TTF_Init() != 0) std::cerr << "setup: fonts unavailable: " << TTF_GetError() << "\n";
  vark::SetFontSubstitutes(vark::GameFonts());
  vark::GameWindow::Get().SetTitle(std::string(vark::kGameTitle) + " — настройка");
  vark::ConnectPlatform();
  vark::Screen::Get().Init(true, false);
  auto& form = vark::Forms::Show<vark::SetupForm>();
  if (safeMode) form.OfferToLeaveSafeMode();
  vark::App::Get().Run();
  vark::Forms::UnloadAll();
  vark::Screen::Get().Shutdown();
  vark::CloseFonts();
  TTF_Quit();
  SDL_Quit();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  vark::RunState run;  // what the program keeps while it runs
  vark::FollowDesktopLocale();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--defaults") == 0) return WriteDefaults();
    std::cerr << "setup: unknown option " << argv[i] << " (only --defaults is known)\n";
    return 2;
  }
  // Work where the game works, wherever this program was started from, so its pictures
  // are found and "Сохранить и играть" finds the game.
  vark::EnterGameFolders();
  return RunWindow(argc > 0 && vark::StartedAsSafeModeProgram(argv[0]));
}
