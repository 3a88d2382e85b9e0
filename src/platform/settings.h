// The settings store. The set-up program writes the options; the game only reads them and
// keeps its window's place.
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
// replaces the file atomically. Used by the set-up program, and by the game for its
// window's place.
bool SaveSettings(const std::string& application, const std::string& section,
                  const std::map<std::string, std::string>& values);

// Where this game keeps its own options, and their keys; "1" switches an option on.
// The set-up program writes them, the screens read them through GameSetting.
inline constexpr char kGameApplication[] = "Brindle";
inline constexpr char kGameSection[] = "KELP";
inline constexpr char kSafeModeKey[] = "SafeMode";    // open the set-up program instead of the game
inline constexpr char kNoSfxKey[] = "NoSfx";          // the shooter plays no effects
inline constexpr char kNoVoxelKey[] = "NoVoxel";      // the intro runs without its landscape
inline constexpr char kNoEffectsKey[] = "NoEffects";  // the memory game's tiles flip without animation
inline constexpr char kWindowKey[] = "Window";        // the game's window when last closed: x,y,width,height

// The value of one of the game's options, or "" when it is not set.
inline std::string GameSetting(const std::string& key) { return GetSetting(kGameApplication, kGameSection, key); }

}  // namespace vark
