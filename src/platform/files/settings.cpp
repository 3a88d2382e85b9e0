#include "platform/files/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "platform/base/report_once.h"
#include "platform/base/run_state.h"
#include "platform/files/plain_file.h"

namespace vark {
namespace {

// Settings files whose trouble was said.
struct UnreadableSettings : ReportedOnce {};

// Larger settings files are not read (and never replaced).
constexpr size_t kMaxSettingsFileBytes = size_t{1} << 20;

// ---- the one grammar the reader and the writer share ---------------------------------------
//
// Lines end at LF; a CR before it belongs to the line end. A UTF-8 byte order mark before
// the first line is passed over. Blanks are space, tab, VT, FF and CR, wherever they stand
// at either end of a line. A line whose first non-blank is "[" and which holds a "]" starts
// the section named between them. A line whose first non-blank is ";" or "#" is a comment.
// Any other line holding "=" or ":" sets the key before the first of them (without blanks)
// to the value after it, without blanks around it and up to an inline comment (";" after a
// blank, also right at its start). Anything else is ignored. No line is too long; a later value of a key wins.

constexpr std::string_view kBlanks = " \t\v\f\r";

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

std::string_view Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

struct IniLine {
  enum class Kind { kOther, kSection, kKey } kind = Kind::kOther;
  std::string_view name;                // the section's or the key's
  size_t valueStart = 0, valueEnd = 0;  // the value's place within the line
};

// Where a value ends: before an inline comment (";" after a blank) or the line end, and
// before the blanks in front of either.
size_t ValueEnd(std::string_view line, size_t start) {
  size_t end = line.size();
  for (size_t i = start; i < line.size(); ++i) {
    if (line[i] == ';' && i > 0 && IsBlank(line[i - 1])) {
      end = i;
      break;
    }
  }
  while (end > start && IsBlank(line[end - 1])) --end;
  return end;
}

IniLine Classify(std::string_view line) {
  std::string_view t = Trimmed(line);
  if (t.empty() || t.front() == ';' || t.front() == '#') return {};
  if (t.front() == '[' && t.find(']') != std::string_view::npos)
    return {IniLine::Kind::kSection, t.substr(1, t.find(']') - 1)};
  size_t delimiter = line.find_first_of("=:");
  if (delimiter == std::string_view::npos) return {};
  size_t start = line.find_first_not_of(kBlanks, delimiter + 1);
  if (start == std::string_view::npos) start = line.size();
  return {IniLine::Kind::kKey, Trimmed(line.substr(0, delimiter)), start, ValueEnd(line, start)};
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

// A line without its line end (and, first in the file, without a byte order mark).
std::string_view Body(std::string_view line, bool first) {
  if (first && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
  if (line.ends_with('\n')) line.remove_suffix(1);
  return line;
}

// Calls visit(lineIndex, body, parsed, inSection) for every line of the text.
template <typename Visit>
void ForEachLine(const std::vector<std::string>& lines, const std::string& section, Visit visit) {
  bool inSection = section.empty();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view body = Body(lines[i], i == 0);
    IniLine parsed = Classify(body);
    if (parsed.kind == IniLine::Kind::kSection) inSection = parsed.name == section;
    visit(i, body, parsed, inSection);
  }
}

// ---- the writer -----------------------------------------------------------------------------

// A value, key or section name the reader would give back as written, whatever blanks
// stand before it on its line.
bool Storable(std::string_view text, bool allowEmpty) {
  if (text.empty()) return allowEmpty;
  if (IsBlank(text.front()) || IsBlank(text.back()) || text.front() == ';' || text.find('\n') != std::string_view::npos)
    return false;
  for (size_t i = 1; i < text.size(); ++i)
    if (text[i] == ';' && IsBlank(text[i - 1])) return false;
  return true;
}

bool StorableKey(std::string_view key) {
  return Storable(key, false) && key.find_first_of("=:[]") == std::string_view::npos && key.front() != ';' &&
         key.front() != '#';
}

// The settings text with the given keys of one section set: only their values change;
// comments, other keys, other sections, blank lines and line ends stay byte for byte. Keys
// not yet in the section go after its first block; a missing section is added at the end.
std::string WithValues(std::string_view text, const std::string& section,
                       const std::map<std::string, std::string>& values) {
  std::string lineEnd = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  std::vector<std::string> lines = LinesWithEnds(text);
  std::set<std::string> written;
  std::optional<size_t> insertAt;  // one past the last line of the section's first block
  bool firstBlockDone = false;
  ForEachLine(lines, section, [&](size_t i, std::string_view body, const IniLine& parsed, bool inSection) {
    if (parsed.kind == IniLine::Kind::kSection) {
      if (insertAt) firstBlockDone = true;
      if (inSection && !insertAt) insertAt = i + 1;
      return;
    }
    if (!inSection) return;
    if (!firstBlockDone && insertAt && !Trimmed(body).empty()) insertAt = i + 1;
    auto it = parsed.kind == IniLine::Kind::kKey ? values.find(std::string(parsed.name)) : values.end();
    if (it == values.end()) return;
    size_t offset = static_cast<size_t>(body.data() - lines[i].data());
    // An empty value has an inline comment right at its place: a blank keeps them apart.
    bool commentAtValue = parsed.valueStart == parsed.valueEnd && parsed.valueEnd < body.size();
    std::string value = commentAtValue && !it->second.empty() ? it->second + " " : it->second;
    lines[i].replace(offset + parsed.valueStart, parsed.valueEnd - parsed.valueStart, value);
    written.insert(it->first);
  });
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

// The settings file's bytes: "" when there is none, nullopt (and one line on stderr per
// file and run) when something is there that cannot be read as settings.
std::optional<std::string> ReadSettingsText(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec))) return std::string();
  std::string problem;
  auto text = ReadPlainFile(file, kMaxSettingsFileBytes, problem);
  if (!text && CurrentRun().Get<UnreadableSettings>().First(file.string())) {
    std::cerr << "vark: settings file " << file.string() << " cannot be read (" << problem
              << "); it is ignored and kept as it is\n";
  }
  return text;
}

}  // namespace

std::filesystem::path SettingsFile(const std::string& application) {
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    base = std::filesystem::path(home) / ".config";
  } else {
    return {};  // never a folder relative to wherever the program was started
  }
  return base / application / "settings.ini";
}

WriteProblem SettingsFileProblem(const std::string& application) {
  const std::filesystem::path file = SettingsFile(application);
  if (file.empty()) return WriteProblem::kNoHome;
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec))) return WriteProblem::kNone;
  std::string problem;
  auto head = ReadPlainFileHead(file, 0, problem);
  if (!head) return WriteProblem::kUnreadable;
  return head->size > kMaxSettingsFileBytes ? WriteProblem::kTooLarge : WriteProblem::kNone;
}

WriteResult SetSettingsAside(const std::string& application, std::filesystem::path& copy) {
  const std::filesystem::path file = SettingsFile(application);
  if (file.empty()) return {WriteProblem::kNoHome};
  for (int n = 1; n <= 99; ++n) {
    copy = file;
    copy += n == 1 ? ".old" : ".old" + std::to_string(n);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(copy, ec))) continue;
    if (::rename(file.c_str(), copy.c_str()) == 0) return {};
    std::cerr << "vark: cannot set " << file.string() << " aside: " << std::strerror(errno) << "\n";
    return {ProblemOf(errno)};
  }
  std::cerr << "vark: cannot set " << file.string() << " aside: 99 copies are there already\n";
  return {WriteProblem::kFailed};
}

std::string ReadSetting(std::string_view text, const std::string& section, const std::string& key) {
  std::string value;
  ForEachLine(LinesWithEnds(text), section, [&](size_t, std::string_view body, const IniLine& parsed, bool inSection) {
    if (inSection && parsed.kind == IniLine::Kind::kKey && parsed.name == key)
      value = body.substr(parsed.valueStart, parsed.valueEnd - parsed.valueStart);
  });
  return value;
}

std::optional<std::string> WriteSettings(std::string_view text, const std::string& section,
                                         const std::map<std::string, std::string>& values) {
  if (!Storable(section, true) || section.find(']') != std::string::npos) return std::nullopt;
  for (const auto& [key, value] : values)
    if (!StorableKey(key) || !Storable(value, true)) return std::nullopt;
  return WithValues(text, section, values);
}

std::string GetSetting(const std::string& application, const std::string& section, const std::string& key) {
  const std::filesystem::path file = SettingsFile(application);
  if (file.empty()) return "";
  auto text = ReadSettingsText(file);
  return text ? ReadSetting(*text, section, key) : "";
}

WriteResult SaveSettings(const std::string& application, const std::string& section,
                         const std::map<std::string, std::string>& values) {
  auto file = SettingsFile(application);
  if (file.empty()) {
    std::cerr << "vark: no home folder (HOME and XDG_CONFIG_HOME unset): settings are not saved\n";
    return {WriteProblem::kNoHome};
  }
  auto text = ReadSettingsText(file);
  if (!text)
    return {SettingsFileProblem(application) == WriteProblem::kTooLarge ? WriteProblem::kTooLarge
                                                                        : WriteProblem::kUnreadable};
  auto updated = WriteSettings(*text, section, values);
  if (!updated) {
    std::cerr << "vark: a settings value cannot be stored as it is (line break, blanks at an end, \" ;\")\n";
    return {WriteProblem::kRefused};
  }
  if (updated->size() > kMaxSettingsFileBytes) {
    std::cerr << "vark: " << file.string() << " would grow past " << kMaxSettingsFileBytes
              << " bytes, more than is read back; it is kept as it is\n";
    return {WriteProblem::kTooLarge};
  }
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) {
    std::cerr << "vark: cannot create " << file.parent_path() << ": " << ec.message() << "\n";
    return {ProblemOf(ec.value())};
  }
  return WriteFileAtomic(file, *updated);
}

}  // namespace vark
