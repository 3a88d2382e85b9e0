// The game's text files: Windows-1251 lines with CR LF endings, read into UTF-8 lines and
// written back atomically.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/atomic_file.h"

namespace vark {

// Splits Windows-1251 file contents into UTF-8 lines. CR LF, a bare CR and a bare LF all
// end a line; a last line without an ending still counts; nothing after it is invented.
std::vector<std::string> SplitTextLines(std::string_view bytes);

// Reads a Windows-1251 text file into UTF-8 lines. nullopt when it is not a plain file (a
// named pipe would block the game), cannot be read, or holds more than `maxBytes`.
std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path, std::size_t maxBytes);

// Writes UTF-8 lines as a Windows-1251 file with CR LF endings, atomically: the text goes
// to a temporary file in the same folder which is then renamed over `path`, so a failed
// write never loses an older file. The reason (and a line on stderr) on any failure,
// including a character Windows-1251 cannot hold.
WriteResult WriteTextLinesAtomic(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace vark
