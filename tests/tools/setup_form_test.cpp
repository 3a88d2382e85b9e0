// The set-up window's look and keys: its check boxes, the safe-mode notice, the status
// line, Enter, Escape and Alt+letter.
#include <gtest/gtest.h>

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
