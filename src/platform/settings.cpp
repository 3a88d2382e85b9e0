#include "platform/settings.h"

#include <cstdlib>
#include <ini.h>
#include <iostream>
#include <vector>

#include "platform/text.h"

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

using Sections = std::vector<std::pair<std::string, std::map<std::string, std::string>>>;

int CollectIniValue(void* user, const char* section, const char* name, const char* value) {
  auto* sections = static_cast<Sections*>(user);
  if (sections->empty() || sections->back().first != section) sections->push_back({section, {}});
  if (name) sections->back().second[name] = value ? value : "";
  return 1;
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
  int result = ini_parse(file.c_str(), OnIniValue, &lookup);
  if (result > 0) std::cerr << "vark: settings file " << file << " has an error on line " << result << "\n";
  return lookup.value;
}

bool SaveSettings(const std::string& application, const std::string& section,
                  const std::map<std::string, std::string>& values) {
  auto file = SettingsFile(application);
  Sections sections;
  ini_parse(file.string().c_str(), CollectIniValue, &sections);
  bool placed = false;
  for (auto& [name, entries] : sections) {
    if (name != section) continue;
    for (const auto& [k, v] : values) entries[k] = v;
    placed = true;
  }
  if (!placed) sections.push_back({section, values});
  std::string text;
  for (const auto& [name, entries] : sections) {
    text += "[" + name + "]\n";
    for (const auto& [k, v] : entries) text += k + "=" + v + "\n";
    text += "\n";
  }
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) {
    std::cerr << "vark: cannot create " << file.parent_path() << ": " << ec.message() << "\n";
    return false;
  }
  return WriteFileAtomic(file, text);
}

}  // namespace vark
