#include "platform/paths.h"

#include <algorithm>
#include <iostream>
#include <system_error>

namespace vark {
namespace {

// Folds ASCII and the Cyrillic letters of Windows-1251 to lower case, in UTF-8.
std::string FoldCase(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      continue;
    }
    // Two-byte sequences of U+0400..U+042F (capitals) fold to U+0450.. / U+0430..
    if ((c == 0xD0) && i + 1 < s.size()) {
      auto d = static_cast<unsigned char>(s[i + 1]);
      char32_t cp = ((c & 0x1F) << 6) | (d & 0x3F);
      if (cp >= 0x0400 && cp <= 0x040F) cp += 0x50;
      else if (cp >= 0x0410 && cp <= 0x042F) cp += 0x20;
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
      ++i;
      continue;
    }
    out += static_cast<char>(c);
  }
  return out;
}

std::vector<std::string> SplitComponents(std::string_view name) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : name) {
    if (c == '\\' || c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

bool MatchPattern(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (size_t k = 0; k <= name.size(); ++k)
      if (MatchPattern(pattern.substr(1), name.substr(k))) return true;
    return false;
  }
  if (name.empty()) return false;
  if (pattern[0] != '?' && pattern[0] != name[0]) return false;
  return MatchPattern(pattern.substr(1), name.substr(1));
}

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return FoldCase(a) == FoldCase(b);
}

std::filesystem::path ResolvePath(std::string_view gameName) {
  std::filesystem::path result;
  bool absolute = !gameName.empty() && gameName[0] == '/';
  if (absolute) result = "/";
  for (const auto& part : SplitComponents(gameName)) {
    std::filesystem::path exact = result.empty() ? std::filesystem::path(part) : result / part;
    std::error_code ec;
    if (part == "." || part == ".." || std::filesystem::exists(exact, ec)) {
      result = exact;
      continue;
    }
    std::string folded = FoldCase(part);
    std::filesystem::path found;
    std::filesystem::path folder = result.empty() ? std::filesystem::path(".") : result;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      if (FoldCase(it->path().filename().string()) == folded) {
        found = it->path().filename();
        break;
      }
    }
    result = result.empty() ? (found.empty() ? std::filesystem::path(part) : found)
                            : result / (found.empty() ? std::filesystem::path(part) : found);
  }
  return result;
}

bool FileExists(std::string_view gameName) {
  std::error_code ec;
  return std::filesystem::is_regular_file(ResolvePath(gameName), ec);
}

std::vector<std::string> ListFiles(std::string_view gameFolder, std::string_view pattern) {
  std::filesystem::path folder = gameFolder.empty() ? std::filesystem::path(".") : ResolvePath(gameFolder);
  std::string foldedPattern = FoldCase(pattern);
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = it->path().filename().string();
    if (MatchPattern(foldedPattern, FoldCase(name))) names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return FoldCase(a) < FoldCase(b); });
  return names;
}

bool EnterProgramFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) std::filesystem::current_path(exe.parent_path(), ec);
  if (ec) std::cerr << "vark: staying in the current folder: " << ec.message() << "\n";
  return !ec;
}

}  // namespace vark
