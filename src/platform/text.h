// Text helpers: the Windows-1251 codec for the game's text files, line-based
// file reading and writing, and numbers as captions.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vark {

// Converts Windows-1251 bytes to UTF-8. Every byte has a meaning, so this never fails
// (the one unassigned code, 0x98, becomes U+FFFD).
std::string Cp1251ToUtf8(std::string_view bytes);

// Converts UTF-8 to Windows-1251. Characters the code page cannot hold, and malformed
// UTF-8 (overlong forms such as C0 AF for "/", surrogates, cut sequences), give nullopt: the caller decides (files refuse them).
std::optional<std::string> Utf8ToCp1251(std::string_view utf8);

// At most `maxChars` characters of untrusted text for a message: anything but printable
// ASCII and well-formed UTF-8 letters becomes '?', and a cut is marked with "...".
std::string PrintablePrefix(std::string_view text, size_t maxChars);

// Splits Windows-1251 file contents into UTF-8 lines. CR LF, a bare CR and a bare LF all
// end a line; a last line without an ending still counts; nothing after it is invented.
std::vector<std::string> SplitTextLines(std::string_view bytes);

// Reads a Windows-1251 text file into UTF-8 lines. nullopt when it cannot be opened.
std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path);

// Writes UTF-8 lines as a Windows-1251 file with CR LF endings, atomically: the text goes
// to a temporary file in the same folder which is then renamed over `path`, so a failed
// write never loses an older file. False (and a line on stderr) on any failure, including
// a character Windows-1251 cannot hold.
bool WriteTextLinesAtomic(const std::filesystem::path& path, const std::vector<std::string>& lines);

// Writes raw bytes atomically, as above.
bool WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

// A number as a caption with its sign position: 30 -> " 30", 0 -> " 0", -5 -> "-5".
std::string Str(long long value);

// Removes the last `count` characters (UTF-8 aware): "Имя.pro" minus 4 -> "Имя".
std::string DropLastChars(std::string_view utf8, size_t count);

// Number of characters (code points) in a UTF-8 string.
size_t Utf8Length(std::string_view utf8);

// Byte offset of the character with the given index (the string's size past the end).
size_t Utf8ByteOffset(std::string_view utf8, size_t chars);

// Reads a decimal number from the start of a text the way a lenient number reader does:
// leading blanks skipped, reading stops at the first character that cannot continue the
// number; nothing readable gives 0. "3", " 3" and "3." all read as 3.
long long LeadingNumber(std::string_view text);

}  // namespace vark
