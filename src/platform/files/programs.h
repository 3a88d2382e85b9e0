// Starting a companion program (or, from a companion, the game) by its file name, without
// waiting.
#pragma once

#include <string>

namespace vark {

// Starts the program detached from this process, found in the companion programs' folder
// or the game's folder (the working folder before EnterGameFolders). False (and a line on
// stderr) when it cannot be started.
bool StartProgram(const std::string& fileName);

}  // namespace vark
