// The game's own facts that the platform is told about: its options, as the set-up
// program writes them into the settings store (application "Brindle", section [KELP], "1"
// switches an option on), the window's title, and the installed fonts that stand in for the
// families its screens name. The game reads the options once at start-up; screens ask
// Options(). Header-only, so the set-up program and the test driver share it.
#pragma once

#include <map>
#include <string>

#include "platform/base/run_state.h"
#include "platform/files/settings.h"
#include "platform/video/font.h"

namespace vark {

inline constexpr char kGameTitle[] = "Project: VARK";

inline constexpr char kGameApplication[] = "Brindle";
inline constexpr char kGameSection[] = "KELP";
inline constexpr char kSafeModeKey[] = "SafeMode";        // open the set-up program instead of the game
inline constexpr char kNoSfxKey[] = "NoSfx";              // the shooter plays no effects
inline constexpr char kNoVoxelKey[] = "NoVoxel";          // the intro runs without its landscape
inline constexpr char kNoEffectsKey[] = "NoEffects";      // the memory game's tiles flip without animation
inline constexpr char kWindowKey[] = "Window";            // the game's window when last closed: x,y,width,height
inline constexpr char kMusicVolumeKey[] = "MusicVolume";  // the tunes' volume, 0 to 100 %
inline constexpr char kSfxVolumeKey[] = "SfxVolume";      // the effects' volume, 0 to 100 %

struct GameOptions {
  bool setUp = false;  // the set-up program has written the options (SafeMode has a value)
  bool safeMode = false;
  bool noSfx = false;
  bool noVoxel = false;
  bool noEffects = false;
  int musicVolume = 100;
  int sfxVolume = 100;
};

// A volume as stored: a whole number from 0 to 100. Anything else (missing, out of range,
// not a number) is full volume, as before volumes could be set.
inline int VolumeSetting(const std::string& text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return 100;
  int volume = std::stoi(text);
  return volume <= 100 ? volume : 100;
}

// The value of one of the game's options as stored, or "" when it is not set.
inline std::string GameSetting(const std::string& key) { return GetSetting(kGameApplication, kGameSection, key); }

inline GameOptions ReadGameOptions() {
  auto on = [](const char* key) { return GameSetting(key) == "1"; };
  return {!GameSetting(kSafeModeKey).empty(),
          on(kSafeModeKey),
          on(kNoSfxKey),
          on(kNoVoxelKey),
          on(kNoEffectsKey),
          VolumeSetting(GameSetting(kMusicVolumeKey)),
          VolumeSetting(GameSetting(kSfxVolumeKey))};
}

// The options the game started with (main reads them; the test driver again after it
// writes an option).
inline GameOptions& Options() { return CurrentRun().Get<GameOptions>(); }

// Families the screens name, mapped to what a Debian machine has: the narrow heavy display
// face becomes PT Sans Narrow bold (as tall for its width, with Cyrillic drawn by its own
// designers), the wide heavy one DejaVu Sans bold, the rest DejaVu Sans.
inline std::map<std::string, FontSubstitute> GameFonts() {
  return {{"Impact", {"PT Sans Narrow", true}},
          {"Arial Black", {"DejaVu Sans", true}},
          {"Arial", {"DejaVu Sans", false}},
          {"MS Sans Serif", {"DejaVu Sans", false}}};
}

}  // namespace vark
