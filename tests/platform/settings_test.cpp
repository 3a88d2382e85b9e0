// The settings store: what a save keeps, what it replaces, and a save that cannot happen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/settings.h"
#include "startup/options.h"
#include "support/driver.h"

namespace vark {
namespace {

// Points the settings at a folder of the test's own for its duration.
class ConfigHome {
 public:
  explicit ConfigHome(const std::filesystem::path& path) {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous_ = old;
    setenv("XDG_CONFIG_HOME", path.c_str(), 1);
  }
  ~ConfigHome() {
    if (previous_) setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
  }

 private:
  std::optional<std::string> previous_;
};

TEST(Settings, SaveCreatesTheFolderAndReplacesOnlyTheKeysGiven) {
  TempFolder dir;
  ConfigHome home(dir.Path() / "new" / "config");
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "");
  ASSERT_TRUE(SaveSettings("Game", "Options", {{"Sound", "1"}, {"Music", "0"}}));
  ASSERT_TRUE(SaveSettings("Game", "Other", {{"Sound", "other"}}));
  ASSERT_TRUE(SaveSettings("Game", "Options", {{"Sound", "0"}}));
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "0");
  EXPECT_EQ(GetSetting("Game", "Options", "Music"), "0");
  EXPECT_EQ(GetSetting("Game", "Other", "Sound"), "other");
  EXPECT_EQ(GetSetting("Another", "Options", "Sound"), "");
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.Path() / "new" / "config" / "Game" / "settings.ini"));
}

TEST(Settings, SaveThatCannotWriteSaysSo) {
  TempFolder dir;
  std::ofstream(dir.Path() / "blocker") << "a file where the folder should be";
  ConfigHome home(dir.Path() / "blocker");
  EXPECT_FALSE(SaveSettings("Game", "Options", {{"Sound", "0"}}));
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "");
}

TEST(Settings, GameOptionsAreReadFromTheGamesOwnSection) {
  Driver d;
  d.SetSetting(kNoVoxelKey, "1");
  ASSERT_TRUE(SaveSettings(kGameApplication, "Elsewhere", {{kNoSfxKey, "1"}}));
  EXPECT_EQ(GameSetting(kNoVoxelKey), "1");
  EXPECT_EQ(GameSetting(kNoSfxKey), "");
}

}  // namespace
}  // namespace vark
