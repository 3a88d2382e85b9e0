#include "setup/setup_program.h"

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

namespace vark {
namespace {

int WriteDefaults() { return SaveSetupChoice(SetupChoice{}) ? 0 : 1; }

int RunWindow(bool safeMode) {
  NameWindowsAfterGame();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    std::cerr << "setup: cannot start video: " << SDL_GetError() << "\n";
    return 1;
  }
  if (TTF_Init() != 0) std::cerr << "setup: fonts unavailable: " << TTF_GetError() << "\n";
  SetFontSubstitutes(GameFonts());
  GameWindow::Get().SetTitle(std::string(kGameTitle) + " — настройка");
  ConnectPlatform();
  Screen::Get().Init(true, false);
  auto& form = Forms::Show<SetupForm>();
  if (safeMode) form.OfferToLeaveSafeMode();
  App::Get().Run();
  Forms::UnloadAll();
  Screen::Get().Shutdown();
  CloseFonts();
  TTF_Quit();
  SDL_Quit();
  return 0;
}

}  // namespace

int RunSetupProgram(int argc, char** argv) {
  RunState run;  // what the program keeps while it runs
  FollowDesktopLocale();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--defaults") == 0) return WriteDefaults();
    std::cerr << "setup: unknown option " << argv[i] << " (only --defaults is known)\n";
    return 2;
  }
  // Work where the game works, wherever this program was started from, so its pictures
  // are found and "Сохранить и играть" finds the game.
  EnterGameFolders();
  return RunWindow(argc > 0 && StartedAsSafeModeProgram(argv[0]));
}

}  // namespace vark
