// The game's four options as the set-up program shows and writes them.
#pragma once

#include <array>
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
// the file atomically). False, with a line on stderr, when it cannot be written.
bool SaveSetupChoice(const SetupChoice& choice);

// True when the program was started under the safe-mode program's name.
bool StartedAsSafeModeProgram(std::string_view argv0);

}  // namespace vark
