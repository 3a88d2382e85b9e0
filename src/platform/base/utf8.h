// UTF-8 helpers: code points, lengths and offsets in characters, and untrusted text made
// safe for a message.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vark {

// Decodes one UTF-8 code point at `i`, advancing `i` past it; nullopt on malformed input
// (a cut sequence, an overlong form, a surrogate), leaving `i` where it was.
std::optional<char32_t> NextCodePoint(std::string_view s, size_t& i);

// ASCII and Cyrillic capitals (Ё and the other U+040x letters included) in lower case;
// every other code point as it is.
char32_t LowerCaseLetter(char32_t c);

// Number of characters (code points) in a UTF-8 string.
size_t Utf8Length(std::string_view utf8);

// Byte offset of the character with the given index (the string's size past the end).
size_t Utf8ByteOffset(std::string_view utf8, size_t chars);

// Removes the last `count` characters (UTF-8 aware): "Имя.pro" minus 4 -> "Имя".
std::string DropLastChars(std::string_view utf8, size_t count);

// At most `maxChars` characters of untrusted text for a message: anything but printable
// ASCII and well-formed UTF-8 letters becomes '?', and a cut is marked with "...".
std::string PrintablePrefix(std::string_view text, size_t maxChars);

}  // namespace vark
