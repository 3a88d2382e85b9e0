#include "platform/settings.h"

#include <ini.h>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace vark {
namespace {

struct Lookup {
  const std::string& section;
  const std::string& key;
  std::string value;
};

int OnIniValue(void* user, const char* section, const char* name, const char* value) {
  auto* lookup = static_cast<Lookup*>(user);
  if (lookup->section == section && lookup->key == name) lookup->value = value;
  return 1;
}

// Gives the INI reader one line at a time as fgets would, but a line longer than its buffer
// loses its tail instead of handing the tail back as a line of its own, where the end of a
// long value could read as a key.
char* ReadLineDroppingTail(char* line, int size, void* stream) {
  auto& in = *static_cast<std::istream*>(stream);
  in.getline(line, size);
  if (in.gcount() == 0 && in.fail()) return nullptr;
  if (in.fail() && !in.eof()) {
    in.clear();
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
  return line;
}

constexpr size_t kMaxSettingsFileBytes = size_t{1} << 20;

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

std::string_view Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The file's lines, each with its own line end.
std::vector<std::string> LinesWithEnds(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    size_t length = end == std::string_view::npos ? text.size() : end + 1;
    lines.emplace_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

// Where a value ends: before an inline comment (";" after a blank) or the line end, and
// before the blanks in front of either.
size_t ValueEnd(std::string_view body, size_t start) {
  size_t end = body.size();
  for (size_t i = start; i < body.size(); ++i) {
    if (body[i] == ';' && i > start && (body[i - 1] == ' ' || body[i - 1] == '\t')) {
      end = i;
      break;
    }
  }
  while (end > start && (body[end - 1] == ' ' || body[end - 1] == '\t')) --end;
  return end;
}

// Rewrites the value of a "key=value" line when its key is one of `values`; every other
// byte of the line stays. Returns the key it rewrote, or "".
std::string ReplaceValue(std::string& line, const std::map<std::string, std::string>& values) {
  std::string_view body = WithoutLineEnd(line);
  size_t delimiter = body.find_first_of("=:");
  if (delimiter == std::string_view::npos) return "";
  std::string key(Trimmed(body.substr(0, delimiter)));
  auto it = values.find(key);
  if (it == values.end()) return "";
  size_t start = body.find_first_not_of(" \t", delimiter + 1);
  if (start == std::string_view::npos) start = body.size();
  line.replace(start, ValueEnd(body, start) - start, it->second);
  return key;
}

// The settings text with the given keys of one section set: only their values change;
// comments, other keys, other sections, blank lines and line ends stay byte for byte. Keys
// not yet in the section go after its last line; a missing section is added at the end.
std::string WithValues(std::string_view text, const std::string& section,
                       const std::map<std::string, std::string>& values) {
  std::string lineEnd = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  std::vector<std::string> lines = LinesWithEnds(text);
  std::set<std::string> written;
  std::optional<size_t> insertAt;  // one past the last line of the section's first block
  bool inSection = false, inFirstBlock = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view body = WithoutLineEnd(lines[i]);
    if (i == 0 && body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
    std::string_view t = Trimmed(body);
    if (t.starts_with("[") && t.find(']') != std::string_view::npos) {
      inSection = t.substr(1, t.find(']') - 1) == section;
      inFirstBlock = inSection && !insertAt;
      if (inFirstBlock) insertAt = i + 1;
      continue;
    }
    if (!inSection || t.empty()) continue;
    if (inFirstBlock) insertAt = i + 1;
    bool continuation = body.front() == ' ' || body.front() == '\t';
    if (t.front() == ';' || t.front() == '#' || continuation) continue;
    if (std::string key = ReplaceValue(lines[i], values); !key.empty()) written.insert(key);
  }
  std::vector<std::string> added;
  for (const auto& [key, value] : values)
    if (!written.contains(key)) added.push_back(key + "=" + value + lineEnd);
  if (!insertAt) {
    if (!lines.empty() && !lines.back().ends_with("\n")) lines.back() += lineEnd;
    lines.push_back("[" + section + "]" + lineEnd);
    lines.insert(lines.end(), added.begin(), added.end());
    lines.push_back(lineEnd);
  } else if (!added.empty()) {
    size_t at = *insertAt;
    if (!lines[at - 1].ends_with("\n")) lines[at - 1] += lineEnd;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
  }
  std::string out;
  for (const auto& line : lines) out += line;
  return out;
}

}  // namespace

std::filesystem::path SettingsFile(const std::string& application) {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".config";
  } else {
    base = ".config";
  }
  return base / application / "settings.ini";
}

std::string GetSetting(const std::string& application, const std::string& section, const std::string& key) {
  Lookup lookup{section, key, {}};
  std::string file = SettingsFile(application).string();
  std::ifstream in(file, std::ios::binary);
  if (!in) return "";
  int result = ini_parse_stream(ReadLineDroppingTail, &in, OnIniValue, &lookup);
  if (result > 0) std::cerr << "vark: settings file " << file << " has an error on line " << result << "\n";
  return lookup.value;
}

bool SaveSettings(const std::string& application, const std::string& section,
                  const std::map<std::string, std::string>& values) {
  auto file = SettingsFile(application);
  std::error_code ec;
  std::string text;
  if (std::filesystem::exists(file, ec)) {
    auto size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxSettingsFileBytes) {
      std::cerr << "vark: settings file " << file << " is too large or unreadable; it is left as it is\n";
      return false;
    }
    std::ifstream in(file, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) {
      std::cerr << "vark: cannot read " << file << "\n";
      return false;
    }
  }
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) {
    std::cerr << "vark: cannot create " << file.parent_path() << ": " << ec.message() << "\n";
    return false;
  }
  return WriteFileAtomic(file, WithValues(text, section, values));
}

}  // namespace vark
