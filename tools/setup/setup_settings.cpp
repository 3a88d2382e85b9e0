#include "setup/setup_settings.h"

#include <algorithm>
#include <charconv>
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

int VolumeFromText(std::string_view text) {
  int level = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), level);
  bool sensible = !text.empty() && error == std::errc() && end == text.data() + text.size() && level >= 0 &&
                  level <= kFullVolume && text.front() != '-';
  return sensible ? level : kFullVolume;
}

SetupVolumes ReadSetupVolumes() {
  SetupVolumes volumes{};
  for (size_t i = 0; i < kSetupVolumes.size(); ++i) volumes[i] = VolumeFromText(GameSetting(kSetupVolumes[i].key));
  return volumes;
}

WriteResult SaveSetupChoice(const SetupChoice& choice, const SetupVolumes& volumes) {
  std::map<std::string, std::string> values;
  for (size_t i = 0; i < kSetupOptions.size(); ++i)
    values.emplace(kSetupOptions[i].key, std::string(1, choice[i] ? '1' : '0'));
  for (size_t i = 0; i < kSetupVolumes.size(); ++i)
    values.emplace(kSetupVolumes[i].key, std::to_string(std::clamp(volumes[i], 0, kFullVolume)));
  return SaveSettings(kGameApplication, kGameSection, values);
}

std::string SettingsProblemText(WriteProblem problem) {
  switch (problem) {
    case WriteProblem::kNone: return "";
    case WriteProblem::kUnreadable: return "Файл настроек не читается: он оставлен как есть.";
    case WriteProblem::kTooLarge: return "Файл настроек слишком большой: он оставлен как есть.";
    case WriteProblem::kNoHome: return "Нет домашней папки (HOME): настройки не сохранить.";
    case WriteProblem::kNoSpace: return "Нет места на диске: настройки не сохранены.";
    case WriteProblem::kNoPermission: return "Нет прав на запись: настройки не сохранены.";
    case WriteProblem::kNoFolder:
    case WriteProblem::kRefused:
    case WriteProblem::kFailed: break;
  }
  return "Не удалось сохранить настройки.";
}

WriteProblem SettingsProblem() { return SettingsFileProblem(kGameApplication); }

WriteResult ResetSettings(const SetupChoice& choice, const SetupVolumes& volumes, std::string& copyName) {
  std::filesystem::path copy;
  if (WriteResult aside = SetSettingsAside(kGameApplication, copy); !aside) return aside;
  copyName = copy.filename().string();
  return SaveSetupChoice(choice, volumes);
}

bool StartedAsSafeModeProgram(std::string_view argv0) {
  return SameNameIgnoringCase(std::filesystem::path(argv0).filename().string(), kSafeModeProgram);
}

}  // namespace vark
