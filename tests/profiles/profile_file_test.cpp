// Profile files on disk: the five-line Windows-1251 format, refused names, damaged files
// and the overwrite that never loses the old file.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/base/utf8.h"
#include "platform/files/folders.h"
#include "platform/files/paths.h"
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
  EXPECT_EQ(
      bytes,
      "\xC1\xEE\xF0\xE8\xF1.dat\r\n\xD4\xF0\xE0\xE3\r\n\xD4\xF0\xE0\xE3\r\n\xD4\xF0\xE0\xE3\r\n\xD4\xF0\xE0\xE3\r\n");
  auto read = ReadProfile("Вася.pro");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->face, "Борис.dat");
  EXPECT_EQ(read->line2, "Фраг");
  EXPECT_EQ(read->line5, "Фраг");
  EXPECT_EQ(ListProfiles(), std::vector<std::string>{"Вася.pro"});
}

TEST(ProfileFile, UnsafeNamesAreRefusedAndNothingIsWritten) {
  TempFolder dir;
  for (const std::string& bad :
       std::vector<std::string>{"", "..", "...", "  ", "../evil", "a/b", "a\\b", "what?", "star*", "co:lon", "pipe|",
                                "quote\"", "<tag>", "tab\there", "trailing.", "trailing ", std::string("nul\0x", 5),
                                std::string(197, 'a'), "emoji \xF0\x9F\x98\x80"}) {
    EXPECT_FALSE(IsSafeProfileName(bad)) << bad;
    EXPECT_FALSE(WriteProfile(bad, "face.dat")) << bad;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  EXPECT_TRUE(IsSafeProfileName("Игрок No.1 (лучший)"));
  EXPECT_TRUE(IsSafeProfileName(std::string(196, 'a')));
}

TEST(ProfileFile, WindowsDeviceNamesAreRefusedWithAReason) {
  for (const char* device : {"CON", "con", "Prn", "AUX", "nul", "COM1", "com9", "LPT1", "lpt9", "CON.txt", "nul .x"}) {
    EXPECT_FALSE(IsSafeProfileName(device)) << device;
    EXPECT_EQ(ProfileNameProblem(device), "Это имя занято системой Windows") << device;
  }
  for (const char* fine : {"CONSOLE", "COM10", "COM", "LPT", "ACON", "Конь", "nul_"})
    EXPECT_TRUE(IsSafeProfileName(fine)) << fine;
  EXPECT_EQ(ProfileNameProblem(""), "");  // nothing typed yet needs no reason
  EXPECT_EQ(ProfileNameProblem("Вася"), "");
  EXPECT_EQ(ProfileNameProblem("Вася."), "Точка или пробел в конце имени");
  EXPECT_EQ(ProfileNameProblem("a/b"), "Недопустимый знак в имени");
  EXPECT_EQ(ProfileNameProblem("a\xC0\xAF"), "Недопустимый знак в имени");  // an overlong "/"
  EXPECT_EQ(ProfileNameProblem(std::string(197, 'a')), "Слишком длинное имя");
}

TEST(ProfileFile, AFaceNameThatWouldBreakTheLinesIsRefused) {
  TempFolder dir;
  for (const std::string& face : {std::string("a\nb.dat"), std::string("a\rb.dat"), std::string("a\0b.dat", 7),
                                  std::string(kMaxProfileLineBytes + 1, 'f')})
    EXPECT_FALSE(WriteProfile("Вася", face));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(ProfileFile, OverlongLinesAndControlCharactersInTheFaceMarkTheFileDamaged) {
  TempFolder dir;
  dir.Write("nul.pro", std::string("face\0.dat\r\n1\r\n2\r\n3\r\n4\r\n", 20));
  auto nul = ReadProfile("nul.pro");
  ASSERT_TRUE(nul);
  EXPECT_TRUE(nul->damaged);
  EXPECT_EQ(nul->face, "");
  EXPECT_EQ(nul->line2, "1");

  dir.Write("long.pro", "face.dat\r\n1\r\n" + std::string(kMaxProfileLineBytes + 1, 'x') + "\r\n3\r\n");
  auto longLine = ReadProfile("long.pro");
  ASSERT_TRUE(longLine);
  EXPECT_TRUE(longLine->damaged);
  EXPECT_EQ(longLine->face, "face.dat");
  EXPECT_EQ(longLine->line2, "1");
  EXPECT_EQ(longLine->line3, "");
  EXPECT_EQ(longLine->line4, "");

  dir.Write("limit.pro", std::string(kMaxProfileLineBytes, '\xC0') + "\r\n" + std::string(kMaxProfileLineBytes, 'y'));
  auto limit = ReadProfile("limit.pro");
  ASSERT_TRUE(limit);
  EXPECT_FALSE(limit->damaged);
  EXPECT_EQ(Utf8Length(limit->face), kMaxProfileLineBytes);
  EXPECT_EQ(limit->line2.size(), kMaxProfileLineBytes);

  dir.Write("huge.pro", std::string(20 << 20, 'z'));  // one line of 20 MB
  testing::internal::CaptureStderr();
  auto huge = ReadProfile("huge.pro");
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(huge);
  EXPECT_TRUE(huge->damaged);
  EXPECT_EQ(huge->face, "");
  EXPECT_LT(err.size(), 200u) << err.substr(0, 200);
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
  // A named pipe under a profile's name is refused at once, not waited on for ever.
  ASSERT_EQ(mkfifo((dir.Path() / "pipe.pro").c_str(), 0600), 0);
  EXPECT_FALSE(ReadProfile("pipe.pro"));
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
  TempFolder dir;
  dir.Write("Old.pro", "a.dat\r\nkeep\r\n");
  chmod(dir.Path().c_str(), 0555);
  {
    PermissionsHonoured asAPlayer;
    EXPECT_FALSE(WriteProfile("Old", "b.dat"));
  }
  chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(ReadProfile("Old.pro")->line2, "keep");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "a temporary file was left";
}

// A small tmpfs of the test's own inside its temporary folder; only root can mount one.
class SmallDisk {
 public:
  explicit SmallDisk(const std::filesystem::path& at) : at_(at) {
    std::filesystem::create_directories(at);
    mounted_ = geteuid() == 0 && mount("tmpfs", at.c_str(), "tmpfs", 0, "size=64k") == 0;
  }
  ~SmallDisk() {
    if (mounted_) umount2(at_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  bool MakeReadOnly() { return mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }
  // Fills the disk up with one file.
  void Fill() {
    std::ofstream out(at_ / "filler", std::ios::binary);
    std::string block(4096, 'x');
    while (out.write(block.data(), block.size())) out.flush();
  }

 private:
  std::filesystem::path at_;
  bool mounted_ = false;
};

// Every way a save can fail on the way to the disk: the old profile stays whole, no
// temporary file stays behind, and the result says why.
TEST(ProfileFile, FailedSaveKeepsTheOldProfileWhole) {
  TempFolder dir;
  const std::string old = "a.dat\r\nkeep\r\n";
  auto onlyOld = [&](const std::filesystem::path& folder) {
    EXPECT_EQ(FileBytes(folder / "Old.pro"), old);
    for (auto& e : std::filesystem::directory_iterator(folder))
      EXPECT_TRUE(e.path().filename() == "Old.pro" || e.path().filename() == "filler") << e.path();
  };
  // The rename fails: a folder stands where the new file would go.
  std::filesystem::create_directories(dir.Path() / "Busy.pro" / "inside");
  dir.Write("Old.pro", old);
  EXPECT_EQ(WriteProfile("Busy", "b.dat").problem, WriteProblem::kFailed);
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Busy.pro" / "inside"));
  std::filesystem::remove_all(dir.Path() / "Busy.pro");
  onlyOld(dir.Path());

  SmallDisk disk(dir.Path() / "disk");
  if (!disk.Mounted()) GTEST_SKIP() << "a small disk needs root (CI runs as root)";
  std::filesystem::current_path(dir.Path() / "disk");
  dir.Write("disk/Old.pro", old);
  disk.Fill();
  EXPECT_EQ(WriteProfile("Old", std::string(3000, 'f') + ".dat").problem, WriteProblem::kNoSpace);
  onlyOld(dir.Path() / "disk");
  std::filesystem::remove(dir.Path() / "disk" / "filler");
  ASSERT_TRUE(disk.MakeReadOnly());
  EXPECT_EQ(WriteProfile("Old", "b.dat").problem, WriteProblem::kNoPermission);
  onlyOld(dir.Path() / "disk");
  std::filesystem::current_path(dir.Path());
}

TEST(ProfileFile, PlantedLinksChangeNothingOutsideTheFolder) {
  TempFolder dir;
  dir.Write("outside/victim", "precious");
  dir.Write("game/Old.pro", "a.dat\r\n");
  std::filesystem::current_path(dir.Path() / "game");
  // Links at the names older saves used and at the profile's own name.
  for (int pid : {getpid(), getpid() + 1})
    std::filesystem::create_symlink(dir.Path() / "outside" / "victim", "Linked.pro.tmp" + std::to_string(pid));
  std::filesystem::create_symlink(dir.Path() / "outside" / "victim", "Linked.pro");
  ASSERT_TRUE(WriteProfile("Linked", "b.dat"));
  ASSERT_TRUE(WriteProfile("Old", "b.dat"));
  EXPECT_EQ(FileBytes(dir.Path() / "outside" / "victim"), "precious");
  // The link is replaced by the profile itself, never written through.
  EXPECT_FALSE(std::filesystem::is_symlink("Linked.pro"));
  EXPECT_EQ(ReadProfile("Linked.pro")->face, "b.dat");
  std::filesystem::current_path(dir.Path());
}

TEST(ProfileFile, NoPlayersFolderWritesAndListsNothingAnywhere) {
  TempFolder dir;
  dir.Write("start/Here.pro", "a.dat\r\n");
  dir.Write("data/Quest.dat", "shipped");
  std::filesystem::create_symlink(dir.Path() / "nowhere", dir.Path() / "dangling");
  std::filesystem::current_path(dir.Path() / "start");
  const GameFolders before = CurrentGameFolders();
  GameFolders folders{dir.Path() / "dangling" / "vark", dir.Path() / "data", dir.Path(), dir.Path()};
  EXPECT_FALSE(EnterFolders(folders));
  EXPECT_TRUE(WorkFolderMissing());
  EXPECT_EQ(WriteProfile("New", "b.dat").problem, WriteProblem::kNoFolder);
  EXPECT_TRUE(ListProfiles().empty());
  EXPECT_TRUE(FileExists("Quest.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "nowhere"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "start" / "New.pro"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "data" / "New.pro"));
  EXPECT_EQ(ProfileProblemText(WriteProblem::kNoFolder), "Профиль не сохранён: нет папки");
  // A usable folder again for the tests after this one.
  EXPECT_TRUE(EnterFolders(GameFolders{dir.Path(), dir.Path(), before.programs, before.game}));
  EXPECT_FALSE(WorkFolderMissing());
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
