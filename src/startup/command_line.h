// The game's command line: --help, --version, --setup and --windowed.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vark {

struct CommandLine {
  enum class Action { Play, Setup, Help, Version, Wrong };
  Action action = Action::Play;
  bool windowed = false;
  std::string wrongOption;  // the first argument not understood, for Action::Wrong
};

// Reads the arguments after the program's name. --setup opens the set-up program instead
// of playing; --help and --version win over both; an unknown argument makes the whole
// line wrong.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// Answers a line that starts nothing: help and version on out (status 0), a wrong line
// with the usage on err (status 2).
int AnswerCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace vark
