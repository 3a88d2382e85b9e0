// Reading files a player may have swapped for something else. Only a plain file is read:
// a named pipe or a device in its place (or a link to one) is refused without waiting, and
// no more than a given number of bytes is ever read.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace vark {

// The first `headBytes` bytes of a plain file (fewer when it is shorter) and its size.
struct PlainFileHead {
  std::string bytes;
  size_t size = 0;
};

// nullopt with a short reason when the file is missing, not a plain file or unreadable.
std::optional<PlainFileHead> ReadPlainFileHead(const std::filesystem::path& path, size_t headBytes,
                                               std::string& problem);

// The whole file, or nullopt with a short reason when it is missing, not a plain file,
// unreadable or larger than `maxBytes` (then nothing of it is read).
std::optional<std::string> ReadPlainFile(const std::filesystem::path& path, size_t maxBytes, std::string& problem);

}  // namespace vark
