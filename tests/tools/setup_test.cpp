// The companion set-up program: what it writes, how it starts, and its window.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/files/settings.h"
#include "setup/setup_form.h"
#include "setup/setup_settings.h"
#include "support/driver.h"

namespace vark {
namespace {

std::string Setting(const char* key) { return GetSetting("Brindle", "KELP", key); }

TEST(Setup, ChoiceIsWrittenAsZeroAndOneAndReadBack) {
  Driver d;
  d.SetSetting("Other", "kept");
  EXPECT_EQ(ReadSetupChoice(), (SetupChoice{false, false, false, false}));
  ASSERT_TRUE(SaveSetupChoice({true, false, true, false}));
  EXPECT_EQ(Setting("SafeMode"), "1");
  EXPECT_EQ(Setting("NoSfx"), "0");
  EXPECT_EQ(Setting("NoVoxel"), "1");
  EXPECT_EQ(Setting("NoEffects"), "0");
  EXPECT_EQ(Setting("Other"), "kept");
  EXPECT_EQ(ReadSetupChoice(), (SetupChoice{true, false, true, false}));
  d.SetSetting("NoSfx", "yes");  // only "1" is on
  EXPECT_FALSE(ReadSetupChoice()[1]);
}

std::string SettingsBytes() {
  std::ifstream in(SettingsFile("Brindle"), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteSettingsBytes(const std::string& bytes) {
  std::filesystem::create_directories(SettingsFile("Brindle").parent_path());
  std::ofstream(SettingsFile("Brindle"), std::ios::binary) << bytes;
}

TEST(Setup, SavingChangesOnlyItsOwnValuesAndKeepsEveryOtherByte) {
  Driver d;
  const std::string longValue(300, 'v');
  WriteSettingsBytes(
      "; written by hand\r\n[Other]\r\nSafeMode=7 ; not ours\r\n\r\n[KELP]\r\n# options\r\n"
      "SafeMode = 1   ; on for now\r\nColour=" +
      longValue + "\r\nNoSfx:yes\r\n\r\n[Tail]\r\nx=1");
  ASSERT_TRUE(SaveSetupChoice({false, true, true, false}));
  EXPECT_EQ(SettingsBytes(),
            "; written by hand\r\n[Other]\r\nSafeMode=7 ; not ours\r\n\r\n[KELP]\r\n# options\r\n"
            "SafeMode = 0   ; on for now\r\nColour=" +
                longValue +
                "\r\nNoSfx:1\r\nMusicVolume=100\r\nNoEffects=0\r\nNoVoxel=1\r\nSfxVolume=100\r\n"
                "\r\n[Tail]\r\nx=1");
  EXPECT_EQ(ReadSetupChoice(), (SetupChoice{false, true, true, false}));
  EXPECT_EQ(GetSetting("Brindle", "Other", "SafeMode"), "7");

  WriteSettingsBytes("[Tail]\nx=1");  // no section of ours, no final line end
  ASSERT_TRUE(SaveSetupChoice({true, true, true, true}));
  EXPECT_EQ(SettingsBytes(),
            "[Tail]\nx=1\n[KELP]\nMusicVolume=100\nNoEffects=1\nNoSfx=1\nNoVoxel=1\nSafeMode=1\nSfxVolume=100\n\n");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(SettingsFile("Brindle").parent_path()))
    files += e.is_regular_file();
  EXPECT_EQ(files, 1);  // replaced atomically, no temporary left
}

TEST(Setup, TheTailOfAnOverlongLineIsNeverReadAsAKey) {
  Driver d;
  WriteSettingsBytes("[KELP]\nNote=" + std::string(194, 'x') + "SafeMode=1\nNoSfx=1\n");  // the line breaks at 199
  EXPECT_EQ(GetSetting("Brindle", "KELP", "SafeMode"), "");
  EXPECT_EQ(GetSetting("Brindle", "KELP", "NoSfx"), "1");
}

TEST(Setup, SafeModeProgramIsRecognisedByItsFileName) {
  EXPECT_TRUE(StartedAsSafeModeProgram("./KELPSafe.exe"));
  EXPECT_TRUE(StartedAsSafeModeProgram("/games/vark/kelpsafe.exe"));
  EXPECT_FALSE(StartedAsSafeModeProgram("./RIZAVORUV.exe"));
  EXPECT_FALSE(StartedAsSafeModeProgram("/KELPSafe.exe/other"));
}

TEST(SetupWindow, ShowsTheStoredChoiceAndSavesWhatIsTicked) {
  TempFolder dir;
  Driver d;
  d.SetSetting("NoSfx", "1");
  auto& f = Forms::Show<SetupForm>();
  EXPECT_EQ(f.Box[0]->Caption(), "");
  EXPECT_EQ(f.Box[1]->Caption(), "X");
  d.Click(*f.Caption[0]);  // a caption ticks its box too
  d.Click(*f.Box[1]);
  EXPECT_EQ(f.Box[0]->Caption(), "X");
  EXPECT_EQ(Setting("SafeMode"), "");  // nothing is written before a save
  d.Click(f.BtnSave);
  EXPECT_EQ(Setting("SafeMode"), "1");
  EXPECT_EQ(Setting("NoSfx"), "0");
  EXPECT_EQ(f.Status.Caption(), "Настройки сохранены.");
  EXPECT_FALSE(d.Ended());
  d.Click(f.BtnExit);
  EXPECT_TRUE(d.Ended());
}

// The levels: read as whole numbers from 0 to 100 (anything else is full), changed by tens
// with "−" and "+" within those bounds, and written with the options.
TEST(SetupWindow, SoundLevelsGoByTensWithinTheirBoundsAndAreSaved) {
  for (const char* full : {"", "100", "101", "-5", "50%", " 50", "abc", "99999999999"})
    EXPECT_EQ(VolumeFromText(full), kFullVolume) << full;
  EXPECT_EQ(VolumeFromText("0"), 0);
  EXPECT_EQ(VolumeFromText("35"), 35);
  TempFolder dir;
  Driver d;
  d.SetSetting("MusicVolume", "15");
  d.SetSetting("SfxVolume", "loud");
  auto& f = Forms::Show<SetupForm>();
  EXPECT_EQ(f.Level[0]->Caption(), "15");
  EXPECT_EQ(f.Level[1]->Caption(), "100");
  for (int i = 0; i < 3; ++i) d.Click(*f.Quieter[0]);
  d.Click(*f.Louder[1]);
  EXPECT_EQ(f.Level[0]->Caption(), "0");
  EXPECT_EQ(f.Level[1]->Caption(), "100");
  d.Click(*f.Louder[0]);
  d.Click(*f.Quieter[1]);
  d.Click(f.BtnSave);
  EXPECT_EQ(Setting("MusicVolume"), "10");
  EXPECT_EQ(Setting("SfxVolume"), "90");
  EXPECT_EQ(ReadSetupVolumes(), (SetupVolumes{10, 90}));
}

TEST(SetupWindow, LeavingSafeModeSavesAndStartsTheGameBesideIt) {
  TempFolder dir;
  Driver d;
  d.SetSetting("SafeMode", "1");
  auto& f = Forms::Show<SetupForm>();
  f.OfferToLeaveSafeMode();
  d.Click(f.BtnLeaveSafe);  // no game in this folder: it stays open and says so
  EXPECT_EQ(Setting("SafeMode"), "0");
  EXPECT_FALSE(d.Ended());
  EXPECT_EQ(f.Status.Caption(), "Настройки сохранены, но игру запустить не удалось.");
  dir.Write("vark", "#!/bin/sh\n");
  chmod((dir.Path() / "vark").c_str(), 0755);
  d.Click(f.BtnSettings);  // the notice closes, the settings are in reach
  EXPECT_FALSE(f.SafeNotice.Visible());
  d.Click(f.BtnPlay);
  EXPECT_TRUE(d.Ended());
}

TEST(Setup, DefaultsOptionWritesTheSettingsFileWithoutAWindow) {
  TempFolder dir;
  const std::string program = std::string(VARK_GAME_DIR) + "/RIZAVORUV.exe";
  const std::string env = "env -u DISPLAY SDL_VIDEODRIVER=none XDG_CONFIG_HOME='" + dir.Path().string() + "/cfg' ";
  ASSERT_EQ(std::system((env + "'" + program + "' --defaults").c_str()), 0);
  std::ifstream in(dir.Path() / "cfg" / "Brindle" / "settings.ini");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "[KELP]\nMusicVolume=100\nNoEffects=0\nNoSfx=0\nNoVoxel=0\nSafeMode=0\nSfxVolume=100\n\n");
  EXPECT_NE(std::system((env + "'" + program + "' --bogus 2>/dev/null").c_str()), 0);
  // A settings file that cannot be read is kept, and the program says it failed.
  std::filesystem::remove(dir.Path() / "cfg" / "Brindle" / "settings.ini");
  std::filesystem::create_directory(dir.Path() / "cfg" / "Brindle" / "settings.ini");
  EXPECT_NE(std::system((env + "'" + program + "' --defaults 2>/dev/null").c_str()), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "cfg" / "Brindle" / "settings.ini"));
  // Without a home it refuses, and writes nothing where it was started.
  std::filesystem::create_directory(dir.Path() / "start");
  const std::string homeless =
      "cd '" + (dir.Path() / "start").string() +
      "' && env -u DISPLAY -u HOME -u XDG_CONFIG_HOME -u XDG_DATA_HOME SDL_VIDEODRIVER=none '" + program +
      "' --defaults 2>/dev/null";
  EXPECT_NE(std::system(homeless.c_str()), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path() / "start"));
}

}  // namespace
}  // namespace vark
