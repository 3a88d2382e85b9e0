// Starting another program by its file name in the working folder, without waiting.
#pragma once

#include <string>

namespace vark {

// Starts "./<fileName>" detached from this process. False (and a line on stderr) when it
// cannot be started.
bool StartProgram(const std::string& fileName);

}  // namespace vark
