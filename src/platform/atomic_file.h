// Replacing a file so that a failed write never loses the older one.
#pragma once

#include <filesystem>
#include <string_view>

namespace vark {

// Writes bytes to a temporary file in the same folder, then renames it over `path`. False
// (and a line on stderr) on any failure; the older file is then untouched.
bool WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vark
