// The settings store: what a save keeps, what it replaces, and a save that cannot happen.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/settings.h"
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

std::string Bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// What the set-up program writes, the game reads back, whatever the file held before.
TEST(Settings, EveryValueWrittenReadsBackTheSame) {
  const std::vector<std::string> before = {
      "",
      "[KELP]\nNote=" + std::string(190, ' ') + "x\nSafeMode=1\n",  // long lines
      "[KELP]\nSafeMode=" + std::string(190, ' ') + "1\n",
      "   [KELP]\n  SafeMode = 1\n",            // indented header and key
      "\r[KELP]\n\vSafeMode=1\n\fNoSfx=1\r\n",  // stray control characters
      "\xEF\xBB\xBF[KELP]\r\nSafeMode=1 ; a comment\r\n[KELP]\r\nSafeMode=0\r\n",
      "[KELP\nSafeMode=1\n[Other]\nSafeMode=1",
      "[KELP]\r\x0bSafeMode=1\r",
      "[KELP]\nEmpty = old ; a comment\nNoSfx=\t;x\n",
  };
  const std::map<std::string, std::string> values = {
      {"SafeMode", "0"}, {"NoSfx", "a;b"}, {"Empty", ""}, {"Odd", "x = y : z"}};
  for (const std::string& text : before) {
    auto written = WriteSettings(text, "KELP", values);
    ASSERT_TRUE(written) << text;
    for (const auto& [key, value] : values) EXPECT_EQ(ReadSetting(*written, "KELP", key), value) << text;
    EXPECT_EQ(ReadSetting(*written, "Other", "SafeMode"), ReadSetting(text, "Other", "SafeMode"));
  }
  // Values the file cannot hold as given are refused rather than stored changed.
  for (const char* value : {" 1", "1 ", "1\n", "1 ; x", "1\t;x", "1\r", ";1"})
    EXPECT_FALSE(WriteSettings("", "KELP", {{"SafeMode", value}})) << value;
  for (const char* key : {"", "a=b", "a:b", ";a", "#a", "[a", " a"})
    EXPECT_FALSE(WriteSettings("", "KELP", {{key, "1"}})) << key;
}

// A settings file the reader cannot take is never replaced, and reading it never blocks.
TEST(Settings, UnreadableFileIsKeptByteForByteAndReadsAsNoSettings) {
  TempFolder dir;
  ConfigHome home(dir.Path());
  const auto file = dir.Path() / "Game" / "settings.ini";
  std::filesystem::create_directories(file.parent_path());
  const std::string huge = "[Options]\nSound=1\n" + std::string(size_t{1} << 20, ';');
  std::ofstream(file, std::ios::binary) << huge;
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "");
  EXPECT_EQ(SaveSettings("Game", "Options", {{"Sound", "0"}}).problem, WriteProblem::kTooLarge);
  EXPECT_EQ(Bytes(file), huge);
  std::filesystem::remove(file);
  ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "");
  EXPECT_EQ(SaveSettings("Game", "Options", {{"Sound", "0"}}).problem, WriteProblem::kUnreadable);
  EXPECT_TRUE(std::filesystem::is_fifo(file));
  std::filesystem::remove(file);
  std::filesystem::create_symlink("/dev/zero", file);
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "");
  EXPECT_EQ(SaveSettings("Game", "Options", {{"Sound", "0"}}).problem, WriteProblem::kUnreadable);
  EXPECT_EQ(std::filesystem::read_symlink(file), "/dev/zero");
}

// A file just under the reader's limit is read; a save that would take it over the limit
// is refused and leaves it as it was, so it stays readable. Set aside, it is kept beside a
// new file.
TEST(Settings, SaveNeverWritesMoreThanTheReaderTakes) {
  TempFolder dir;
  ConfigHome home(dir.Path());
  const auto file = dir.Path() / "Game" / "settings.ini";
  std::filesystem::create_directories(file.parent_path());
  std::string nearLimit = "[Options]\nSound=1\n";
  nearLimit += std::string((size_t{1} << 20) - nearLimit.size() - 4, ';') + "\n";
  std::ofstream(file, std::ios::binary) << nearLimit;
  ASSERT_EQ(GetSetting("Game", "Options", "Sound"), "1");
  EXPECT_EQ(SaveSettings("Game", "Options", {{"Window", "10,10,640,480"}}).problem, WriteProblem::kTooLarge);
  EXPECT_EQ(Bytes(file), nearLimit);
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "1");
  EXPECT_EQ(SettingsFileProblem("Game"), WriteProblem::kNone);
  ASSERT_TRUE(SaveSettings("Game", "Options", {{"Sound", "0"}}));  // the same size: still taken

  std::ofstream(file, std::ios::binary | std::ios::app) << std::string(100, ';');
  EXPECT_EQ(SettingsFileProblem("Game"), WriteProblem::kTooLarge);
  const std::string oversized = Bytes(file);
  std::filesystem::path copy;
  ASSERT_TRUE(SetSettingsAside("Game", copy));
  EXPECT_EQ(copy, dir.Path() / "Game" / "settings.ini.old");
  EXPECT_EQ(Bytes(copy), oversized);
  ASSERT_TRUE(SaveSettings("Game", "Options", {{"Sound", "1"}}));
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "1");
  ASSERT_TRUE(SetSettingsAside("Game", copy));  // a second copy does not replace the first
  EXPECT_EQ(copy, dir.Path() / "Game" / "settings.ini.old2");
  EXPECT_EQ(Bytes(dir.Path() / "Game" / "settings.ini.old"), oversized);
}

// Without a home folder there is nowhere to keep settings: nothing is read or written,
// least of all relative to the folder the program runs in.
TEST(Settings, WithoutAHomeNothingIsWrittenAnywhere) {
  TempFolder dir;
  ConfigHome config(dir.Path());
  unsetenv("XDG_CONFIG_HOME");
  std::optional<std::string> home;
  if (const char* old = std::getenv("HOME")) home = old;
  unsetenv("HOME");
  const auto start = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  EXPECT_TRUE(SettingsFile("Game").empty());
  EXPECT_EQ(SaveSettings("Game", "Options", {{"Sound", "0"}}).problem, WriteProblem::kNoHome);
  EXPECT_EQ(SettingsFileProblem("Game"), WriteProblem::kNoHome);
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "");
  setenv("HOME", "relative/home", 1);
  EXPECT_EQ(SaveSettings("Game", "Options", {{"Sound", "0"}}).problem, WriteProblem::kNoHome);
  std::filesystem::current_path(start);
  if (home) setenv("HOME", home->c_str(), 1);
  else unsetenv("HOME");
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

// A link in place of the settings file is replaced by the saved file; its target stays.
TEST(Settings, SaveReplacesALinkAndLeavesItsTargetAlone) {
  TempFolder dir;
  ConfigHome home(dir.Path());
  const auto file = dir.Path() / "Game" / "settings.ini";
  std::filesystem::create_directories(file.parent_path());
  dir.Write("elsewhere.ini", "[Options]\nSound=1\n");
  std::filesystem::create_symlink(dir.Path() / "elsewhere.ini", file);
  ASSERT_TRUE(SaveSettings("Game", "Options", {{"Sound", "0"}}));
  EXPECT_EQ(Bytes(dir.Path() / "elsewhere.ini"), "[Options]\nSound=1\n");
  EXPECT_FALSE(std::filesystem::is_symlink(file));
  EXPECT_EQ(GetSetting("Game", "Options", "Sound"), "0");
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
