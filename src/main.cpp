// Project: VARK. Reads the command line, starts the platform, loads the start-up screen
// and runs the loop; or only opens the set-up program.
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

int main(int argc, char** argv) {
  // Everything the game keeps for the run lives here, and goes when main returns.
  vark::RunState run;
  vark::FollowDesktopLocale();
  vark::CommandLine line = vark::ParseCommandLine({argv + (argc > 0 ? 1 : 0), argv + argc});
  using Action = vark::CommandLine::Action;
  if (line.action != Action::Play && line.action != Action::Setup)
    return vark::AnswerCommandLine(line, std::cout, std::cerr);
  // The companion programs the game starts inherit the choice, and so does the game
  // they start again.
  if (line.windowed) setenv("VARK_WINDOWED", "1", 1);
  vark::EnterGameFolders();
  vark::Options() = vark::ReadGameOptions();
  vark::SetFontSubstitutes(vark::GameFonts());
  vark::GameWindow::Get().SetTitle(vark::kGameTitle);
  // The set-up program the first start opens, on its own: the way back to the settings
  // once they exist.
  if (line.action == Action::Setup) return vark::StartProgram("RIZAVORUV.exe") ? 0 : 1;
  vark::NameWindowsAfterGame();
  if (!vark::InitGamePlatform({vark::kGameApplication, vark::kGameSection, vark::kWindowKey})) return 1;
  vark::Audio().SetVolumes(vark::Options().musicVolume, vark::Options().sfxVolume);
  // The tunes' levels are measured in the order the player meets them: menu, episode
  // screen, shooter, then the quiz and the memory game, and the intro's tune.
  vark::PrepareSounds({"Sfx\\Track1.mid", "Sfx\\Track2.mid", "Sfx\\Track3.mid", "Sfx\\Track4.mid", "Sfx\\Intro.mp3"});
  vark::App& app = vark::App::Get();
  app.Dispatch([] { vark::Forms::Show<vark::Form2>(); });
  app.AfterEvent();
  app.Run();
  vark::ShutdownGamePlatform();
  return 0;
}
