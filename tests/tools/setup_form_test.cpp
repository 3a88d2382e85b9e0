// The set-up window's look and keys: its check boxes, the safe-mode notice, the status
// line, Enter, Escape and Alt+letter.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/files/settings.h"
#include "setup/setup_form.h"
#include "support/driver.h"

namespace vark {
namespace {

class SetupWindowLook : public testing::Test {
 protected:
  Driver d;
  TempFolder dir;

  SetupForm& Open() { return Forms::Show<SetupForm>(); }
  static std::string Setting(const char* key) { return GetSetting("Brindle", "KELP", key); }
  static std::filesystem::path SettingsPath() { return SettingsFile("Brindle"); }
  // A game program that can be started, beside the set-up program.
  void PlaceGame() {
    dir.Write("vark", "#!/bin/sh\n");
    std::filesystem::permissions(dir.Path() / "vark", std::filesystem::perms::owner_all);
  }
};

TEST_F(SetupWindowLook, TheTickMarkStandsInTheMiddleOfItsBox) {
  SetupForm& f = Open();
  d.Click(*f.Box[0]);
  ASSERT_EQ(f.Box[0]->Caption(), "X");
  SDL_Rect box = f.Box[0]->ScreenBox();
  int top = -1, bottom = -1, leftmost = box.x + box.w, rightmost = -1;
  for (int y = box.y; y < box.y + box.h; ++y) {
    for (int x = box.x; x < box.x + box.w; ++x) {
      uint32_t p = d.Pixel(x, y);
      if (p != 0xFFFFFF) {  // not the white box: the mark
        if (top < 0) top = y;
        bottom = y;
        leftmost = std::min(leftmost, x);
        rightmost = std::max(rightmost, x);
      }
    }
  }
  ASSERT_GE(top, 0);
  EXPECT_NEAR((top + bottom) / 2.0, box.y + (box.h - 1) / 2.0, 2.0);
  EXPECT_NEAR((leftmost + rightmost) / 2.0, box.x + (box.w - 1) / 2.0, 2.0);
}

TEST_F(SetupWindowLook, SafeModeNoticeHasOneCaptionSizeAndNothingBeneathItReacts) {
  SetupForm& f = Open();
  f.OfferToLeaveSafeMode();
  EXPECT_EQ(f.BtnLeaveSafe.CaptionFont().sizePt, f.BtnSettings.CaptionFont().sizePt);
  EXPECT_EQ(f.BtnPlay.CaptionFont().sizePt, f.BtnSave.CaptionFont().sizePt);
  EXPECT_EQ(f.BtnSave.CaptionFont().sizePt, f.BtnExit.CaptionFont().sizePt);

  d.Click(f.BtnSave);
  d.ClickAt(f.Box[0]->ScreenBox().x + 2, f.Box[0]->ScreenBox().y + 2);  // a corner outside the notice
  d.PressAt(SDL_SCANCODE_C, SDLK_c, KMOD_LALT);                         // "&Сохранить"
  d.MoveOver(f.BtnSave);
  EXPECT_FALSE(f.BtnSave.Hovered());
  EXPECT_EQ(f.Status.Caption(), "");
  EXPECT_FALSE(f.choice[0]);
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
  EXPECT_FALSE(d.Ended());

  d.Click(f.BtnSettings);
  d.PressAt(SDL_SCANCODE_C, SDLK_c, KMOD_LALT);
  EXPECT_EQ(f.Status.Caption(), "Настройки сохранены.");
  EXPECT_TRUE(std::filesystem::exists(SettingsPath()));
}

TEST_F(SetupWindowLook, StatusTurnsBackFromRedAfterALaterGoodSave) {
  SetupForm& f = Open();
  std::filesystem::create_directories(SettingsPath());  // a folder where the file belongs
  d.Click(f.BtnSave);
  EXPECT_EQ(f.Status.Caption(), "Файл настроек не читается: он оставлен как есть.");
  EXPECT_EQ(f.Status.ForeColor(), kRed);
  std::filesystem::remove(SettingsPath());
  d.Click(f.BtnSave);
  EXPECT_EQ(f.Status.Caption(), "Настройки сохранены.");
  EXPECT_NE(f.Status.ForeColor(), kRed);
}

// A settings file too large to read says so when the window opens, and "Сбросить" sets it
// aside, keeping a copy beside it, and saves the choice into a new file.
TEST_F(SetupWindowLook, OversizedSettingsFileIsNamedAndCanBeReset) {
  std::filesystem::create_directories(SettingsPath().parent_path());
  const std::string oversized = "[KELP]\nNoSfx=1\n" + std::string((size_t{1} << 20) + 1, ';');
  std::ofstream(SettingsPath(), std::ios::binary) << oversized;
  SetupForm& f = Open();
  EXPECT_EQ(f.Status.Caption(), "Файл настроек слишком большой: он оставлен как есть.");
  EXPECT_TRUE(f.BtnReset.Visible());
  d.Click(f.BtnSave);
  EXPECT_EQ(f.Status.Caption(), "Файл настроек слишком большой: он оставлен как есть.");
  d.Click(*f.Box[2]);
  d.Click(f.BtnReset);
  EXPECT_EQ(f.Status.Caption(), "Новые настройки сохранены, старые — в settings.ini.old.");
  EXPECT_FALSE(f.BtnReset.Visible());
  EXPECT_EQ(Setting("NoVoxel"), "1");
  EXPECT_EQ(std::filesystem::file_size(SettingsPath().string() + ".old"), oversized.size());
}

// Without a home folder the window says why nothing can be saved, and saves nothing.
TEST_F(SetupWindowLook, WithoutAHomeItSaysSoAndSavesNothing) {
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  unsetenv("XDG_CONFIG_HOME");
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  unsetenv("HOME");
  SetupForm& f = Open();
  EXPECT_EQ(f.Status.Caption(), "Нет домашней папки (HOME): настройки не сохранить.");
  d.Click(f.BtnSave);
  EXPECT_EQ(f.Status.Caption(), "Нет домашней папки (HOME): настройки не сохранить.");
  EXPECT_FALSE(f.BtnReset.Visible());
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  if (!home.empty()) setenv("HOME", home.c_str(), 1);
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(SetupWindowLook, EnterSavesAndPlaysEscapeCloses) {
  PlaceGame();
  SetupForm& f = Open();
  d.Click(*f.Box[2]);
  d.Press(SDLK_RETURN);
  EXPECT_EQ(Setting("NoVoxel"), "1");
  EXPECT_TRUE(d.Ended());
}

TEST_F(SetupWindowLook, EnterInTheSafeModeNoticeSwitchesItOffAndPlays) {
  PlaceGame();
  d.SetSetting("SafeMode", "1");
  SetupForm& f = Open();
  f.OfferToLeaveSafeMode();
  d.Press(SDLK_KP_ENTER);
  EXPECT_EQ(Setting("SafeMode"), "0");
  EXPECT_TRUE(d.Ended());
}

TEST_F(SetupWindowLook, EscapeClosesWithoutSaving) {
  SetupForm& f = Open();
  d.Click(*f.Box[1]);
  d.Press(SDLK_ESCAPE);
  EXPECT_TRUE(d.Ended());
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(SetupWindowLook, AltLettersPressTheSetupButtons) {
  PlaceGame();
  SetupForm& f = Open();
  d.PressAt(SDL_SCANCODE_C, 0x0441, KMOD_LALT);  // "&Сохранить" under the Russian layout
  EXPECT_EQ(f.Status.Caption(), "Настройки сохранены.");
  d.PressAt(SDL_SCANCODE_D, SDLK_d, KMOD_LALT);  // "&Выход" under the US layout
  EXPECT_TRUE(d.Ended());
}

}  // namespace
}  // namespace vark
