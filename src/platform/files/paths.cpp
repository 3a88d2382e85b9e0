#include "platform/files/paths.h"

#include <algorithm>
#include <set>
#include <system_error>
#include <tuple>

#include "platform/base/run_state.h"
#include "platform/base/utf8.h"

namespace vark {
namespace {

// Folds ASCII and the Cyrillic letters of Windows-1251 to lower case, in UTF-8.
std::string FoldCase(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += static_cast<char>(LowerCaseLetter(c));
      continue;
    }
    // Two-byte sequences of U+0400..U+042F (capitals) fold to U+0450.. / U+0430..
    if ((c == 0xD0) && i + 1 < s.size()) {
      auto d = static_cast<unsigned char>(s[i + 1]);
      char32_t cp = LowerCaseLetter(((c & 0x1F) << 6) | (d & 0x3F));
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

// The entry of a folder whose name matches a component in any letter case; the component
// as written when there is none.
std::filesystem::path FindIgnoringCase(const std::filesystem::path& folder, const std::string& part) {
  std::string folded = FoldCase(part);
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (FoldCase(it->path().filename().string()) == folded) return it->path().filename();
  return part;
}

// The installed data folder, looked in after the working folder (empty: none).
struct SharedData {
  std::filesystem::path folder;
};
std::filesystem::path& SharedDataFolder() { return CurrentRun().Get<SharedData>().folder; }

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

bool SameNameIgnoringCase(std::string_view a, std::string_view b) { return FoldCase(a) == FoldCase(b); }

void SetSharedDataFolder(const std::filesystem::path& folder) { SharedDataFolder() = folder; }

std::filesystem::path ResolvePathIn(const std::filesystem::path& folder, std::string_view gameName) {
  std::filesystem::path result = folder;
  if (!gameName.empty() && gameName[0] == '/') result = "/";
  for (const auto& part : SplitComponents(gameName)) {
    std::filesystem::path exact = result.empty() ? std::filesystem::path(part) : result / part;
    std::error_code ec;
    if (part == "." || part == ".." || std::filesystem::exists(exact, ec)) {
      result = exact;
      continue;
    }
    std::filesystem::path found = FindIgnoringCase(result.empty() ? std::filesystem::path(".") : result, part);
    result = result.empty() ? found : result / found;
  }
  return result;
}

std::filesystem::path ResolvePath(std::string_view gameName) {
  std::filesystem::path own = ResolvePathIn({}, gameName);
  const std::filesystem::path& shared = SharedDataFolder();
  std::error_code ec;
  if (shared.empty() || own.is_absolute() || std::filesystem::exists(own, ec)) return own;
  std::filesystem::path shipped = ResolvePathIn(shared, gameName);
  return std::filesystem::exists(shipped, ec) ? shipped : own;
}

bool FileExists(std::string_view gameName) {
  std::error_code ec;
  return std::filesystem::is_regular_file(ResolvePath(gameName), ec);
}

std::string AlphabeticalKey(std::string_view name) {
  // Letter case aside, and Ё counted as Е (as Russian dictionaries do); names that differ
  // only there are ordered Е before Ё, then by their bytes, so the order is always the same.
  // The three parts are joined by a byte no name holds and that sorts before every other.
  std::string folded = FoldCase(name), plain = folded;
  for (size_t at = plain.find("ё"); at != std::string::npos; at = plain.find("ё", at)) plain.replace(at, 2, "е");
  return plain + '\0' + folded + '\0' + std::string(name);
}

bool AlphabeticalLess(std::string_view a, std::string_view b) { return AlphabeticalKey(a) < AlphabeticalKey(b); }

std::vector<std::string> ListFiles(std::string_view gameFolder, std::string_view pattern) {
  std::string foldedPattern = FoldCase(pattern);
  std::vector<std::string> names;
  std::set<std::string> folded;
  auto addFrom = [&](const std::filesystem::path& base) {
    std::filesystem::path folder = gameFolder.empty() ? base : ResolvePathIn(base, gameFolder);
    if (folder.empty()) folder = ".";
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code typeError;
      if (!it->is_regular_file(typeError)) continue;
      std::string name = it->path().filename().string();
      std::string key = FoldCase(name);
      if (MatchPattern(foldedPattern, key) && folded.insert(key).second) names.push_back(name);
    }
  };
  addFrom({});
  if (!SharedDataFolder().empty()) addFrom(SharedDataFolder());
  std::sort(names.begin(), names.end(), AlphabeticalLess);
  return names;
}

}  // namespace vark
