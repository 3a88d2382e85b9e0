// The game names its files with backslashes and in mixed case ("Sfx\Click.wav",
// "gfx\title.gif", "Stone.jpg"). These helpers turn such names into real paths, matching
// each component without regard to letter case: first under the working folder, then under
// the shared data folder when one is set (the installed game's read-only data, which the
// player's own files in the working folder override).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vark {

// The folder consulted for data names the working folder lacks; an empty path (the start)
// means none.
void SetSharedDataFolder(const std::filesystem::path& folder);

// The real path for a game name. Each component is matched case-insensitively against
// what exists (ASCII and Cyrillic letters). A relative name that exists neither in the
// working folder nor in the shared data folder resolves under the working folder, with the
// missing components kept as written, so the result also serves for files about to be
// created.
std::filesystem::path ResolvePath(std::string_view gameName);

// The same resolution under a given folder only (no shared data folder).
std::filesystem::path ResolvePathIn(const std::filesystem::path& folder, std::string_view gameName);

// True when the game name resolves to an existing regular file.
bool FileExists(std::string_view gameName);

// Russian alphabetical order of UTF-8 names: letter case does not count and Ё stands
// with Е ("ёжик" before "Тень"); Latin letters come before Cyrillic ones.
bool AlphabeticalLess(std::string_view a, std::string_view b);
// A key whose byte order is that order: sorting many names by keys made once is quicker
// than comparing them with AlphabeticalLess.
std::string AlphabeticalKey(std::string_view name);

// Names (not paths) of the regular files in a game folder ("" is the working folder)
// whose names match a pattern such as "*.dat" (case-insensitive; "*" and "?"), in
// alphabetical order. The folder's files in the working folder and in the shared data
// folder are listed together; a name present in both (in any letter case) is listed
// once, as the working folder writes it.
std::vector<std::string> ListFiles(std::string_view gameFolder, std::string_view pattern);

// Case-insensitive comparison of two UTF-8 names (ASCII and Cyrillic letters).
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vark
