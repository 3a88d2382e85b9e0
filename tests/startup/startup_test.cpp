// The start-up screen's three branches and its timer sequence, and the display modes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

#include "profiles/form1.h"
#include "startup/form2.h"
#include "startup/hpresol.h"
#include "startup/resol.h"
#include "support/driver.h"

namespace vark {
namespace {

// A companion program that leaves a mark when it runs: a line into a named pipe the test
// holds open, so the test waits for the program itself and not for a while.
class Companion {
 public:
  Companion(TempFolder& dir, const std::string& name) {
    dir.Write(name, "#!/bin/sh\necho ran > " + name + ".ran\n");
    chmod((dir.Path() / name).c_str(), 0755);
    const std::filesystem::path mark = dir.Path() / (name + ".ran");
    if (mkfifo(mark.c_str(), 0600) != 0) throw std::runtime_error("cannot make a named pipe");
    mark_ = open(mark.c_str(), O_RDONLY | O_NONBLOCK);
  }
  ~Companion() { close(mark_); }
  Companion(const Companion&) = delete;
  Companion& operator=(const Companion&) = delete;
  // True once the program has run (it is given a generous 30 s to start).
  bool Ran() const {
    pollfd mark{mark_, POLLIN, 0};
    return poll(&mark, 1, 30000) == 1 && (mark.revents & POLLIN);
  }

 private:
  int mark_;
};

TEST(Startup, NoSettingsStartsTheSetUpProgramAndEnds) {
  TempFolder dir;
  Companion setup(dir, "RIZAVORUV.exe");
  Driver d;
  Forms::Show<Form2>();
  EXPECT_TRUE(d.Ended());
  EXPECT_TRUE(setup.Ran());
  EXPECT_TRUE(d.Screen().changes.empty());
  EXPECT_FALSE(Forms::IsLoaded<Form1>());
}

TEST(Startup, SafeModeStartsTheSafeModeProgramAndEnds) {
  TempFolder dir;
  Companion safeMode(dir, "KELPSafe.exe");
  Driver d;
  d.SetSetting("SafeMode", "1");
  Forms::Show<Form2>();
  EXPECT_TRUE(d.Ended());
  EXPECT_TRUE(safeMode.Ran());
}

TEST(Startup, MissingCompanionStillEnds) {
  TempFolder dir;
  Driver d;
  Forms::Show<Form2>();
  EXPECT_TRUE(d.Ended());
}

TEST(Startup, NormalStartSwitchesAt500AndOpensTheMenuAt600) {
  TempFolder dir;
  Driver d;
  d.SetSetting("SafeMode", "0");
  Forms::Show<Form2>();
  EXPECT_FALSE(d.Ended());
  d.Advance(499);
  EXPECT_TRUE(d.Screen().changes.empty());
  d.Advance(2);  // Timer1 at 500 asks for the mode, Resol switches 1 ms later
  ASSERT_EQ(d.Screen().changes.size(), 1u);
  EXPECT_EQ(ModeText(d.Screen().changes[0]), "640x480x32");
  EXPECT_FALSE(Forms::IsLoaded<Form1>());
  d.Advance(99);
  EXPECT_TRUE(Forms::IsLoaded<Form1>());
  EXPECT_FALSE(Forms::Get<Form2>().Visible());
  EXPECT_TRUE(Forms::Get<Form1>().Visible());
}

TEST(Startup, AnyOtherSafeModeTextStartsNormally) {
  TempFolder dir;
  Driver d;
  d.SetSetting("SafeMode", "yes");
  Forms::Show<Form2>();
  d.Advance(700);
  EXPECT_FALSE(d.Ended());
  EXPECT_TRUE(Forms::IsLoaded<Form1>());
}

TEST(StartupScreen, ShowsItsCaption) {
  TempFolder dir;
  Driver d;
  d.SetSetting("SafeMode", "0");
  Forms::Show<Form2>();
  bool anyRed = false;
  for (int x = 100; x < 540 && !anyRed; ++x)
    for (int y = 220; y < 260 && !anyRed; ++y) anyRed = (d.Pixel(x, y) >> 16) > 150;
  EXPECT_TRUE(anyRed);
}

TEST(DisplayModes, ListPreselectsTheDesktopAndRemembersItsSize) {
  Driver d;
  d.Screen().current = {1024, 768, 32};
  auto& resol = Forms::Get<Resol>();
  HPResol::StartModeList();
  d.Advance(1);
  ASSERT_EQ(resol.List1.size(), 4u);
  EXPECT_EQ(resol.List1[0], "1024x768x32");
  EXPECT_EQ(resol.List1Index, 0);
  EXPECT_EQ(resol.ModeCount, 3);
  EXPECT_EQ(resol.CurrentResol1, " 1024");
  EXPECT_EQ(resol.CurrentResol2, " 768");
  // A later listing keeps the size first remembered.
  d.Screen().current = {640, 480, 16};
  resol.ListModes();
  EXPECT_EQ(resol.CurrentResol1, " 1024");
}

TEST(DisplayModes, TableGrowsPastNineModes) {
  Driver d;
  d.Screen().modes.clear();
  for (int i = 0; i < 20; ++i) d.Screen().modes.push_back({640 + i, 480, 32});
  auto& resol = Forms::Get<Resol>();
  resol.ListModes();
  EXPECT_EQ(resol.List1.size(), 20u);
  EXPECT_EQ(resol.ModeCount, 19);
}

TEST(DisplayModes, MissingModeIsIgnoredAndEqualEntriesUseTheFirst) {
  Driver d;
  d.Screen().modes = {{1024, 768, 32}, {640, 480, 32}, {640, 480, 32}};
  auto& resol = Forms::Get<Resol>();
  resol.ListModes();
  HPResol::SetMode("640x480x16");
  d.Advance(5);
  EXPECT_TRUE(d.Screen().changes.empty());
  HPResol::SetMode("640x480x32");
  d.Advance(5);
  EXPECT_EQ(resol.List1Index, 1);
  ASSERT_EQ(d.Screen().changes.size(), 1u);
  HPResol::SetMode("640x480x32");  // twice in a row is harmless
  d.Advance(5);
  EXPECT_EQ(d.Screen().changes.size(), 2u);
  EXPECT_FALSE(d.Ended());
}

TEST(DisplayModes, RestoreSwitchesBackAndEnds) {
  Driver d;
  auto& resol = Forms::Get<Resol>();
  resol.ListModes();
  HPResol::SetMode("640x480x16");
  d.Advance(5);
  HPResol::RestoreMode();
  d.Advance(5);
  EXPECT_EQ(ModeText(d.Screen().changes.back()), "1024x768x32");
  EXPECT_TRUE(d.Ended());
}

TEST(DisplayModes, RestoreWithoutA32BitDesktopEntryDoesNothing) {
  Driver d;
  d.Screen().modes = {{1024, 768, 24}, {640, 480, 32}};
  d.Screen().current = {1024, 768, 24};
  auto& resol = Forms::Get<Resol>();
  resol.ListModes();
  HPResol::RestoreMode();
  d.Advance(5);
  EXPECT_TRUE(d.Screen().changes.empty());
  EXPECT_FALSE(d.Ended());
}

}  // namespace
}  // namespace vark
