#include "setup/setup_settings.h"

#include <filesystem>
#include <map>
#include <string>

#include "platform/paths.h"
#include "platform/settings.h"
#include "startup/options.h"

namespace vark {
namespace {

constexpr const char* kSafeModeProgram = "KELPSafe.exe";

}  // namespace

SetupChoice ReadSetupChoice() {
  SetupChoice choice{};
  for (size_t i = 0; i < kSetupOptions.size(); ++i) choice[i] = GameSetting(kSetupOptions[i].key) == "1";
  return choice;
}

bool SaveSetupChoice(const SetupChoice& choice) {
  std::map<std::string, std::string> values;
  for (size_t i = 0; i < kSetupOptions.size(); ++i)
    values.emplace(kSetupOptions[i].key, std::string(1, choice[i] ? '1' : '0'));
  return SaveSettings(kGameApplication, kGameSection, values);
}

bool StartedAsSafeModeProgram(std::string_view argv0) {
  return SameNameIgnoringCase(std::filesystem::path(argv0).filename().string(), kSafeModeProgram);
}

}  // namespace vark
