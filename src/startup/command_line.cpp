#include "startup/command_line.h"

#include <ostream>

#include "vark_build_info.h"

namespace vark {
namespace {

constexpr const char* kUsage =
    "Usage: vark [--windowed | --setup | --help | --version]\n"
    "Project: VARK, an arcade collection: a shooter, a quiz, a memory game and an intro.\n"
    "\n"
    "  --windowed  start in a window instead of full screen (as VARK_WINDOWED=1 does)\n"
    "  --setup     open the set-up program (the desktop entry's action \"Настройка\")\n"
    "  --help      show this text and leave\n"
    "  --version   show the version and leave\n"
    "\n"
    "Profiles live in $XDG_DATA_HOME/vark (default ~/.local/share/vark); files put there\n"
    "replace the game's own files of the same name. Settings live in\n"
    "$XDG_CONFIG_HOME/Brindle/settings.ini (default ~/.config/Brindle/settings.ini).\n";

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  // What starts a program (playing, the set-up) gives way to the first answer asked for.
  auto choose = [&line](CommandLine::Action action) {
    if (line.action == CommandLine::Action::Play || line.action == CommandLine::Action::Setup) line.action = action;
  };
  for (const std::string& argument : arguments) {
    if (argument == "--windowed") {
      line.windowed = true;
    } else if (argument == "--setup") {
      choose(CommandLine::Action::Setup);
    } else if (argument == "--help" || argument == "-h") {
      choose(CommandLine::Action::Help);
    } else if (argument == "--version") {
      choose(CommandLine::Action::Version);
    } else {
      line.action = CommandLine::Action::Wrong;
      line.wrongOption = argument;
      return line;
    }
  }
  return line;
}

int AnswerCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err) {
  switch (line.action) {
    case CommandLine::Action::Help: out << kUsage; return 0;
    case CommandLine::Action::Version: out << "vark " << build_info::kVersion << "\n"; return 0;
    case CommandLine::Action::Wrong: err << "vark: unknown option " << line.wrongOption << "\n" << kUsage; return 2;
    case CommandLine::Action::Play:
    case CommandLine::Action::Setup: break;
  }
  return 0;
}

}  // namespace vark
