#include "startup/run_game.h"

#include <cstdlib>
#include <iostream>

#include "platform/base/run_state.h"
#include "platform/files/folders.h"
#include "platform/files/programs.h"
#include "platform/forms/screen.h"
#include "platform/platform.h"
#include "platform/runtime/app.h"
#include "platform/sound/media.h"
#include "platform/video/font.h"
#include "platform/video/window.h"
#include "platform/video/window_identity.h"
#include "startup/command_line.h"
#include "startup/form2.h"
#include "startup/options.h"

namespace vark {

int RunGame(int argc, char** argv) {
  // Everything the game keeps for the run lives here, and goes when the game ends.
  RunState run;
  FollowDesktopLocale();
  CommandLine line = ParseCommandLine({argv + (argc > 0 ? 1 : 0), argv + argc});
  using Action = CommandLine::Action;
  if (line.action != Action::Play && line.action != Action::Setup) return AnswerCommandLine(line, std::cout, std::cerr);
  // The companion programs the game starts inherit the choice, and so does the game
  // they start again.
  if (line.windowed) setenv("VARK_WINDOWED", "1", 1);
  EnterGameFolders();
  Options() = ReadGameOptions();
  SetFontSubstitutes(GameFonts());
  GameWindow::Get().SetTitle(kGameTitle);
  // The set-up program the first start opens, on its own: the way back to the settings
  // once they exist.
  if (line.action == Action::Setup) return StartProgram("RIZAVORUV.exe") ? 0 : 1;
  NameWindowsAfterGame();
  if (!InitGamePlatform({kGameApplication, kGameSection, kWindowKey})) return 1;
  Audio().SetVolumes(Options().musicVolume, Options().sfxVolume);
  // The tunes' levels are measured in the order the player meets them: menu, episode
  // screen, shooter, then the quiz and the memory game, and the intro's tune.
  PrepareSounds({"Sfx\\Track1.mid", "Sfx\\Track2.mid", "Sfx\\Track3.mid", "Sfx\\Track4.mid", "Sfx\\Intro.mp3"});
  App& app = App::Get();
  app.Dispatch([] { Forms::Show<Form2>(); });
  app.AfterEvent();
  app.Run();
  ShutdownGamePlatform();
  return 0;
}

}  // namespace vark
