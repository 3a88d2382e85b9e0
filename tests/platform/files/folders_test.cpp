// Where the game works and reads: the build tree against an installation, the player's
// folder, and the player's files read before the shipped data.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/files/folders.h"
#include "platform/files/paths.h"
#include "support/driver.h"

namespace vark {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable (or removes it, for nullopt) for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Makes a folder the shared data folder for one test.
class ScopedSharedData {
 public:
  explicit ScopedSharedData(const fs::path& folder) { SetSharedDataFolder(folder); }
  ~ScopedSharedData() { SetSharedDataFolder({}); }
};

TEST(Folders, BuildTreeKeepsEverythingInTheProgramsFolder) {
  TempFolder dir;
  dir.Write("build/game/Quest.dat", "x");
  fs::path game = dir.Path() / "build" / "game";
  GameFolders folders = FindGameFolders(game, "/home/p/.local/share/vark");
  EXPECT_EQ(folders.work, game);
  EXPECT_EQ(folders.data, game);
  EXPECT_EQ(folders.programs, game);
  EXPECT_EQ(folders.game, game);
}

TEST(Folders, InstalledGameAndCompanionsFindThePrefixFromEitherFolder) {
  TempFolder dir;
  dir.Write("usr/share/vark/Quest.dat", "x");
  dir.Write("usr/bin/vark", "x");
  dir.Write("usr/lib/vark/RIZAVORUV.exe", "x");
  fs::path prefix = dir.Path() / "usr";
  fs::path player = dir.Path() / "home/.local/share/vark";
  for (fs::path from : {prefix / "bin", prefix / "lib" / "vark", prefix / "bin/"}) {
    GameFolders folders = FindGameFolders(from, player);
    EXPECT_EQ(folders.work, player) << from;
    EXPECT_EQ(folders.data, prefix / "share" / "vark") << from;
    EXPECT_EQ(folders.programs, prefix / "lib" / "vark") << from;
    EXPECT_EQ(folders.game, prefix / "bin") << from;
  }
}

TEST(Folders, BinWithoutTheDataFolderIsNoInstallation) {
  TempFolder dir;
  dir.Write("opt/bin/vark", "x");
  dir.Write("opt/lib/other/x", "x");
  fs::path bin = dir.Path() / "opt" / "bin";
  EXPECT_EQ(FindGameFolders(bin, "/p").work, bin);
  fs::path other = dir.Path() / "opt" / "lib" / "other";
  EXPECT_EQ(FindGameFolders(other, "/p").data, other);
}

TEST(Folders, PlayerFolderFollowsXdgDataHomeThenHome) {
  ScopedEnv home("HOME", "/home/anna");
  {
    ScopedEnv xdg("XDG_DATA_HOME", "/data/anna");
    EXPECT_EQ(PlayerFolder(), fs::path("/data/anna/vark"));
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(PlayerFolder(), fs::path("/home/anna/.local/share/vark"));
  }
  {
    // A relative or empty XDG_DATA_HOME is not a folder to trust.
    ScopedEnv xdg("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(PlayerFolder(), fs::path("/home/anna/.local/share/vark"));
    ScopedEnv empty("XDG_DATA_HOME", "");
    EXPECT_EQ(PlayerFolder(), fs::path("/home/anna/.local/share/vark"));
  }
  ScopedEnv xdg("XDG_DATA_HOME", std::nullopt);
  ScopedEnv noHome("HOME", std::nullopt);
  EXPECT_TRUE(PlayerFolder().empty());
}

TEST(SharedData, PlayersFilesWinAndTheRestComesFromTheShippedFolder) {
  TempFolder dir;
  dir.Write("shipped/Quest.dat", "shipped");
  dir.Write("shipped/Gfx/Title.GIF", "shipped");
  dir.Write("player/quest.DAT", "own");
  fs::current_path(dir.Path() / "player");
  ScopedSharedData shared(dir.Path() / "shipped");

  EXPECT_EQ(ResolvePath("Quest.dat"), fs::path("quest.DAT"));
  EXPECT_EQ(ResolvePath("gfx\\title.gif"), dir.Path() / "shipped/Gfx/Title.GIF");
  EXPECT_TRUE(FileExists("GFX\\TITLE.gif"));
  EXPECT_FALSE(FileExists("Gfx\\missing.gif"));
  // A new file belongs to the player, never to the shipped folder.
  EXPECT_EQ(ResolvePath("Gfx\\new.gif"), fs::path("Gfx/new.gif"));
  EXPECT_EQ(ResolvePath("Аня.pro"), fs::path("Аня.pro"));
}

TEST(SharedData, ListingShowsBothFoldersOncePerNameAsThePlayerWritesIt) {
  TempFolder dir;
  dir.Write("shipped/VarKers/Лиса.dat", "x");
  dir.Write("shipped/VarKers/Wolf.dat", "x");
  dir.Write("shipped/VarKers/readme.txt", "x");
  dir.Write("player/varkers/ЛИСА.DAT", "x");
  dir.Write("player/varkers/Bear.dat", "x");
  dir.Write("player/Аня.pro", "x");
  fs::current_path(dir.Path() / "player");
  ScopedSharedData shared(dir.Path() / "shipped");

  EXPECT_EQ(ListFiles("VarKers", "*.dat"), (std::vector<std::string>{"Bear.dat", "Wolf.dat", "ЛИСА.DAT"}));
  EXPECT_EQ(ListFiles("", "*.pro"), std::vector<std::string>{"Аня.pro"});
  EXPECT_EQ(ResolvePath("VarKers\\Wolf.dat"), dir.Path() / "shipped/VarKers/Wolf.dat");
  EXPECT_EQ(ResolvePath("VarKers\\Лиса.dat"), fs::path("varkers/ЛИСА.DAT"));
}

TEST(SharedData, AFolderOnlyTheShippedDataHasIsStillListed) {
  TempFolder dir;
  dir.Write("shipped/VarKers/Wolf.dat", "x");
  fs::create_directories(dir.Path() / "player");
  fs::current_path(dir.Path() / "player");
  ScopedSharedData shared(dir.Path() / "shipped");
  EXPECT_EQ(ListFiles("varkers", "*.DAT"), std::vector<std::string>{"Wolf.dat"});
}

}  // namespace
}  // namespace vark
