// The game's four options as the set-up program shows and writes them.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "startup/options.h"

namespace vark {

struct SetupOption {
  const char* key;
  const char* caption;  // what the set-up window calls it
};

inline constexpr std::array<SetupOption, 4> kSetupOptions{{
    {kSafeModeKey, "Безопасный режим (открывать это окно)"},
    {kNoSfxKey, "Без звуковых эффектов в «Атаке какодемонов»"},
    {kNoVoxelKey, "Без воксельного пейзажа в интро"},
    {kNoEffectsKey, "Без анимации плиток в «Телепортерах»"},
}};

// On/off for each option, in the order of kSetupOptions.
using SetupChoice = std::array<bool, kSetupOptions.size()>;

// The two sound levels, 0 (silent) to 100 (full), as the game reads them.
struct SetupVolume {
  const char* key;
  const char* caption;
};
inline constexpr std::array<SetupVolume, 2> kSetupVolumes{{
    {"MusicVolume", "Громкость музыки"},
    {"SfxVolume", "Громкость звуков"},
}};
inline constexpr int kFullVolume = 100;
using SetupVolumes = std::array<int, kSetupVolumes.size()>;

// A stored level: a whole number from 0 to 100, else (missing or nonsense) full.
int VolumeFromText(std::string_view text);
// The levels stored now.
SetupVolumes ReadSetupVolumes();

// The values stored now (a missing key reads as off).
SetupChoice ReadSetupChoice();

// Writes every option as "0" or "1" and both levels as numbers (creating the settings folder when missing, replacing
// the file atomically). The reason, with a line on stderr, when it cannot be written; a
// settings file that cannot be read is then kept as it is.
WriteResult SaveSetupChoice(const SetupChoice& choice, const SetupVolumes& volumes = {kFullVolume, kFullVolume});

// Why the settings were not saved, as the set-up window says it.
std::string SettingsProblemText(WriteProblem problem);

// Why the settings file cannot be saved as it is now (kNone when it can): no home folder,
// a file too large to read, or one that cannot be read at all.
WriteProblem SettingsProblem();
// Sets a settings file that cannot be read aside (renamed beside itself, its new name in
// `copyName`) and saves the choice into a new one.
WriteResult ResetSettings(const SetupChoice& choice, const SetupVolumes& volumes, std::string& copyName);

// True when the program was started under the safe-mode program's name.
bool StartedAsSafeModeProgram(std::string_view argv0);

}  // namespace vark
