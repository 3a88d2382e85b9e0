// The save routine's leftovers: a save killed in the middle leaves its temporary file,
// which the next save of the same file removes, and nothing else.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "platform/files/atomic_file.h"
#include "support/driver.h"

namespace vark {
namespace {

// Dates a file (or a link itself) `seconds` back.
void MakeOlder(const std::filesystem::path& path, int seconds) {
  const std::time_t then = std::time(nullptr) - seconds;
  const timespec times[2] = {{then, 0}, {then, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(Saving, StaleTemporaryFilesOfTheSameFileGoAtTheNextSave) {
  TempFolder dir;
  const auto at = [&](const std::string& name) { return dir.Path() / name; };
  const std::string stale = ".settings.ini.Ab3dEf6hIj9k.tmp";
  const std::string fresh = ".settings.ini.Zz0yYx1wWv2u.tmp";      // a save running now
  const std::string otherFile = ".profile.pro.Ab3dEf6hIj9k.tmp";   // another file's
  const std::string notOurs = ".settings.ini.not-ours-at-.tmp";    // not letters: not a name it makes
  const std::string staleLink = ".settings.ini.Lk3dEf6hIj9k.tmp";  // a link: goes, its target stays
  for (const std::string& name : {stale, fresh, otherFile, notOurs}) dir.Write(name, "left behind");
  dir.Write("target", "never touched");
  std::filesystem::create_symlink(at("target"), at(staleLink));
  for (const std::string& name : {stale, otherFile, notOurs, staleLink}) MakeOlder(at(name), 3600);
  MakeOlder(at("target"), 3600);

  ASSERT_TRUE(WriteFileAtomic(at("settings.ini"), "[KELP]\n"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(at(stale))));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(at(staleLink))));
  EXPECT_TRUE(std::filesystem::exists(at(fresh)));
  EXPECT_TRUE(std::filesystem::exists(at(otherFile)));
  EXPECT_TRUE(std::filesystem::exists(at(notOurs)));
  EXPECT_TRUE(std::filesystem::exists(at("target")));
  EXPECT_TRUE(std::filesystem::exists(at("settings.ini")));
}

}  // namespace
}  // namespace vark
