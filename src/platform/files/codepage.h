// The Windows-1251 codec of the game's text files: UTF-8 in memory, one byte a character
// on disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vark {

// Converts Windows-1251 bytes to UTF-8. Every byte has a meaning, so this never fails
// (the one unassigned code, 0x98, becomes U+FFFD).
std::string Cp1251ToUtf8(std::string_view bytes);

// Converts UTF-8 to Windows-1251. Characters the code page cannot hold, and malformed
// UTF-8 (overlong forms such as C0 AF for "/", surrogates, cut sequences), give nullopt: the caller decides (files
// refuse them).
std::optional<std::string> Utf8ToCp1251(std::string_view utf8);

}  // namespace vark
