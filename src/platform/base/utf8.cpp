#include "platform/base/utf8.h"

namespace vark {

char32_t LowerCaseLetter(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  return c;
}

std::optional<char32_t> NextCodePoint(std::string_view s, size_t& i) {
  auto b0 = static_cast<unsigned char>(s[i]);
  int extra = b0 < 0x80 ? 0 : (b0 >> 5) == 6 ? 1 : (b0 >> 4) == 14 ? 2 : (b0 >> 3) == 30 ? 3 : -1;
  if (extra < 0 || i + extra >= s.size()) return std::nullopt;
  char32_t cp = extra == 0 ? b0 : (b0 & (0x3F >> extra));
  for (int k = 1; k <= extra; ++k) {
    auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (b & 0x3F);
  }
  // Each length holds only the code points too large for a shorter one; anything else is an
  // overlong form that would smuggle, say, "/" or NUL past a check on the decoded text.
  constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  i += extra + 1;
  return cp;
}

size_t Utf8Length(std::string_view utf8) {
  size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

size_t Utf8ByteOffset(std::string_view utf8, size_t chars) {
  size_t i = 0;
  while (i < utf8.size() && chars > 0) {
    ++i;
    while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
    --chars;
  }
  return i;
}

std::string DropLastChars(std::string_view utf8, size_t count) {
  size_t end = utf8.size();
  while (count > 0 && end > 0) {
    --end;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    --count;
  }
  return std::string(utf8.substr(0, end));
}

std::string PrintablePrefix(std::string_view text, size_t maxChars) {
  std::string out;
  size_t i = 0;
  for (size_t chars = 0; i < text.size() && chars < maxChars; ++chars) {
    size_t start = i;
    auto cp = NextCodePoint(text, i);
    if (!cp) ++i;
    bool printable = cp && *cp >= 0x20 && *cp != 0x7F && (*cp < 0x80 || *cp >= 0xA0);
    out += printable ? text.substr(start, i - start) : std::string_view("?");
  }
  if (i < text.size()) out += "...";
  return out;
}

}  // namespace vark
