// Profile files on disk: the five-line Windows-1251 format, refused names, damaged files
// and the overwrite that never loses the old file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "platform/text.h"
#include "profiles/profile_file.h"
#include "support/driver.h"

namespace vark {
namespace {

std::string FileBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(ProfileFile, RoundTripInWindows1251WithCrLf) {
  TempFolder dir;
  ASSERT_TRUE(WriteProfile("Вася", "Борис.dat"));
  std::string bytes = FileBytes(dir.Path() / "Вася.pro");
  EXPECT_EQ(bytes, "\xC1\xEE\xF0\xE8\xF1.dat\r\n\xD4\xF0\xE0\xE3\r\n\xD4\xF0\xE0\xE3\r\n\xD4\xF0\xE0\xE3\r\n\xD4\xF0\xE0\xE3\r\n");
  auto read = ReadProfile("Вася.pro");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->face, "Борис.dat");
  EXPECT_EQ(read->line2, "Фраг");
  EXPECT_EQ(read->line5, "Фраг");
  EXPECT_EQ(ListProfiles(), std::vector<std::string>{"Вася.pro"});
}

TEST(ProfileFile, UnsafeNamesAreRefusedAndNothingIsWritten) {
  TempFolder dir;
  for (const std::string& bad : std::vector<std::string>{"", "..", "...", "  ", "../evil", "a/b", "a\\b", "what?", "star*", "co:lon", "pipe|",
                          "quote\"", "<tag>", "tab\there", "trailing.", "trailing ", std::string("nul\0x", 5),
                          std::string(197, 'a'), "emoji \xF0\x9F\x98\x80"}) {
    EXPECT_FALSE(IsSafeProfileName(bad)) << bad;
    EXPECT_FALSE(WriteProfile(bad, "face.dat")) << bad;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  EXPECT_TRUE(IsSafeProfileName("Игрок No.1 (лучший)"));
  EXPECT_TRUE(IsSafeProfileName(std::string(196, 'a')));
}

TEST(ProfileFile, ShortAndDamagedFilesReadAsFarAsTheyGoAndStayUntouched) {
  TempFolder dir;
  dir.Write("short.pro", "face.dat\r\nFrag\r\n");
  dir.Write("junk.pro", std::string("\x00\xFF\x81\r\x98\n", 6));
  auto before = FileBytes(dir.Path() / "short.pro");
  auto shortOne = ReadProfile("short.pro");
  ASSERT_TRUE(shortOne);
  EXPECT_EQ(shortOne->face, "face.dat");
  EXPECT_EQ(shortOne->line2, "Frag");
  EXPECT_EQ(shortOne->line3, "");
  EXPECT_EQ(shortOne->line5, "");
  auto junk = ReadProfile("junk.pro");
  ASSERT_TRUE(junk);
  EXPECT_EQ(junk->line3, "");
  EXPECT_EQ(FileBytes(dir.Path() / "short.pro"), before);
  EXPECT_FALSE(ReadProfile("missing.pro"));
}

TEST(ProfileFile, OverwriteReplacesTheWholeFileAtomically) {
  TempFolder dir;
  dir.Write("Old.pro", "a.dat\r\n100\r\n200\r\n300\r\n400\r\n500\r\n600\r\n");
  ASSERT_TRUE(WriteProfile("Old", "b.dat"));
  auto read = ReadProfile("Old.pro");
  EXPECT_EQ(read->face, "b.dat");
  EXPECT_EQ(read->line2, "Фраг");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);  // no temporary file left behind
}

TEST(ProfileFile, FailedWriteKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
  TempFolder dir;
  dir.Write("Old.pro", "a.dat\r\nkeep\r\n");
  chmod(dir.Path().c_str(), 0555);
  EXPECT_FALSE(WriteProfile("Old", "b.dat"));
  chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(ReadProfile("Old.pro")->line2, "keep");
}

TEST(ProfileFile, FacesFolderIsFoundWhateverItsLetterCase) {
  TempFolder dir;
  Driver d;
  dir.WritePicture("varkers/Boris.dat", 8, 8, 255, 0, 0);
  EXPECT_EQ(ListFaces(), std::vector<std::string>{"Boris.dat"});
  EXPECT_FALSE(LoadFace("Boris.dat").Empty());
  EXPECT_TRUE(LoadFace("Nobody.dat").Empty());
  EXPECT_TRUE(LoadFace("../Boris.dat").Empty());
}

}  // namespace
}  // namespace vark
