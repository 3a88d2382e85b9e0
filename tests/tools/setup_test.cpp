// The companion set-up program's settings: what it writes and how it starts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/settings.h"
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
