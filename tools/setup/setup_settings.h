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

// The values stored now (a missing key reads as off).
SetupChoice ReadSetupChoice();

// Writes every option as "0" or "1" (creating the settings folder when missing, replacing
// the file atomically). The reason, with a line on stderr, when it cannot be written; a
// settings file that cannot be read is then kept as it is.
WriteResult SaveSetupChoice(const SetupChoice& choice);

// Why the settings were not saved, as the set-up window says it.
std::string SettingsProblemText(WriteProblem problem);

// True when the program was started under the safe-mode program's name.
bool StartedAsSafeModeProgram(std::string_view argv0);

}  // namespace vark
