#include "platform/files/text_file.h"

#include <fstream>
#include <iostream>

#include "platform/files/codepage.h"
#include "platform/files/plain_file.h"

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
  std::string problem;
  auto bytes = ReadPlainFile(path, maxBytes, problem);
  if (!bytes) return std::nullopt;
  return SplitTextLines(*bytes);
}

WriteResult WriteTextLinesAtomic(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) {
    auto encoded = Utf8ToCp1251(line);
    if (!encoded) {
      std::cerr << "vark: text for " << path << " holds characters Windows-1251 cannot store\n";
      return {WriteProblem::kRefused};
    }
    bytes += *encoded;
    bytes += "\r\n";
  }
  return WriteFileAtomic(path, bytes);
}

}  // namespace vark
