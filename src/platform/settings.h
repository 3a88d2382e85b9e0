// The settings store: read-only for the game. The set-up program writes it.
// Kept as an INI file: $XDG_CONFIG_HOME/<application>/settings.ini (default ~/.config),
// one [section] per section name, key=value lines.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace vark {

// The file that holds the given application's settings.
std::filesystem::path SettingsFile(const std::string& application);

// The value of a key, or "" when the file, the section or the key is missing.
std::string GetSetting(const std::string& application, const std::string& section, const std::string& key);

// Writes the given keys into a section, keeping every other line; creates the folder and
// replaces the file atomically. Used by the set-up program, never by the game.
bool SaveSettings(const std::string& application, const std::string& section,
                  const std::map<std::string, std::string>& values);

}  // namespace vark
