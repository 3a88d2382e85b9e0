// The game names its files with backslashes and in mixed case ("Sfx\Click.wav",
// "gfx\title.gif", "Stone.jpg"). These helpers turn such names into real paths under the
// working folder, matching each component without regard to letter case.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vark {

// The real path for a game name. Each component is matched case-insensitively against
// what exists (ASCII and Cyrillic letters); components that do not exist are kept as
// written, so the result also serves for files about to be created.
std::filesystem::path ResolvePath(std::string_view gameName);

// True when the game name resolves to an existing regular file.
bool FileExists(std::string_view gameName);

// Sorted names (not paths) of the regular files in a game folder ("" is the working
// folder) whose names match a pattern such as "*.dat" (case-insensitive; "*" and "?").
std::vector<std::string> ListFiles(std::string_view gameFolder, std::string_view pattern);

// Makes the folder of the running program the working folder: the game and its companion
// programs read everything relative to it, wherever they are started from. False (and a
// line on stderr) when that is not possible; the working folder then stays.
bool EnterProgramFolder();

// Case-insensitive comparison of two UTF-8 names (ASCII and Cyrillic letters).
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vark
