#include "setup/setup_settings.h"

#include <filesystem>
#include <map>
#include <string>

#include "platform/files/paths.h"
#include "platform/files/settings.h"
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

WriteResult SaveSetupChoice(const SetupChoice& choice) {
  std::map<std::string, std::string> values;
  for (size_t i = 0; i < kSetupOptions.size(); ++i)
    values.emplace(kSetupOptions[i].key, std::string(1, choice[i] ? '1' : '0'));
  return SaveSettings(kGameApplication, kGameSection, values);
}

std::string SettingsProblemText(WriteProblem problem) {
  switch (problem) {
    case WriteProblem::kNone: return "";
    case WriteProblem::kUnreadable: return "Файл настроек не читается: он оставлен как есть.";
    case WriteProblem::kNoSpace: return "Нет места на диске: настройки не сохранены.";
    case WriteProblem::kNoPermission: return "Нет прав на запись: настройки не сохранены.";
    case WriteProblem::kNoFolder:
    case WriteProblem::kRefused:
    case WriteProblem::kFailed: break;
  }
  return "Не удалось сохранить настройки.";
}

bool StartedAsSafeModeProgram(std::string_view argv0) {
  return SameNameIgnoringCase(std::filesystem::path(argv0).filename().string(), kSafeModeProgram);
}

}  // namespace vark
