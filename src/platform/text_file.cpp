#include "platform/text_file.h"

#include <fstream>
#include <iostream>

#include "platform/atomic_file.h"
#include "platform/codepage.h"

namespace vark {

std::vector<std::string> SplitTextLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::string current;
  bool pending = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(Cp1251ToUtf8(current));
      current.clear();
      pending = false;
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      current += c;
      pending = true;
    }
  }
  if (pending) lines.push_back(Cp1251ToUtf8(current));
  return lines;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path, std::size_t maxBytes) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // One byte more than allowed tells a file that is too large without reading the rest.
  std::string bytes(maxBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  auto got = static_cast<std::size_t>(in.gcount());
  if (in.bad() || got > maxBytes) return std::nullopt;
  bytes.resize(got);
  return SplitTextLines(bytes);
}

bool WriteTextLinesAtomic(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) {
    auto encoded = Utf8ToCp1251(line);
    if (!encoded) {
      std::cerr << "vark: text for " << path << " holds characters Windows-1251 cannot store\n";
      return false;
    }
    bytes += *encoded;
    bytes += "\r\n";
  }
  return WriteFileAtomic(path, bytes);
}

}  // namespace vark
