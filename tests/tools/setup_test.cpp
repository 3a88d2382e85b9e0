// The companion set-up program: what it writes, how it starts, and its window.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/settings.h"
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
  EXPECT_EQ(text.str(), "[KELP]\nNoEffects=0\nNoSfx=0\nNoVoxel=0\nSafeMode=0\n\n");
  EXPECT_NE(std::system((env + "'" + program + "' --bogus 2>/dev/null").c_str()), 0);
}

}  // namespace
}  // namespace vark
