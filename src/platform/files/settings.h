// The settings store. The set-up program writes the options; the game only reads them and
// keeps its window's place.
// Kept as an INI file: $XDG_CONFIG_HOME/<application>/settings.ini (default ~/.config),
// one [section] per section name, key=value lines. The reader and the writer share one
// grammar (settings.cpp), so every value the writer stores reads back as it was given.
// Only a plain file of at most 1 MB is read; anything else reads as no settings and is
// never replaced.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/atomic_file.h"

namespace vark {

// The file that holds the given application's settings; empty when there is no home
// folder to keep it in (XDG_CONFIG_HOME and HOME unset or not absolute).
std::filesystem::path SettingsFile(const std::string& application);

// Whether the settings file can be read and replaced: kNone when it can (or there is none
// yet), kNoHome without a home folder, kTooLarge for a plain file over the reader's 1 MB,
// kUnreadable for anything else that cannot be read.
WriteProblem SettingsFileProblem(const std::string& application);
// Renames the settings file to a free "settings.ini.old", ".old2", ... beside it (named in
// `copy`), so the next save starts afresh while the player keeps the old text.
WriteResult SetSettingsAside(const std::string& application, std::filesystem::path& copy);

// The value of a key, or "" when the file, the section or the key is missing.
std::string GetSetting(const std::string& application, const std::string& section, const std::string& key);

// Writes the given keys into a section, keeping every other line; creates the folder and
// replaces the file atomically. Used by the set-up program, and by the game for its
// window's place. Refused, the file staying as it is, when a file is there that cannot be
// read (kUnreadable, kTooLarge), when the new text would be larger than the reader takes
// (kTooLarge), without a home folder (kNoHome), and for a value the file cannot hold
// (kRefused): a line break, blanks at either end, " ;".
WriteResult SaveSettings(const std::string& application, const std::string& section,
                         const std::map<std::string, std::string>& values);

// The value of a key in settings text ("" when missing).
std::string ReadSetting(std::string_view text, const std::string& section, const std::string& key);
// Settings text with the given keys of a section set, every other byte kept; nullopt for a
// key or value the text cannot hold as given.
std::optional<std::string> WriteSettings(std::string_view text, const std::string& section,
                                         const std::map<std::string, std::string>& values);

}  // namespace vark
