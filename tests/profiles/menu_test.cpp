// The main menu's start-up sequence, hints, blink and exit.
#include "profiles/menu_fixture.h"
#include "startup/form2.h"

namespace vark {
namespace {

using MenuScreen = MenuTest;

bool MainButtonsVisible(Form1& m) {
  return m.Btn1.Visible() && m.Btn2.Visible() && m.Btn3.Visible() && m.Btn4.Visible();
}

TEST_F(MenuScreen, BecomesReadyAfterItsTimersAndNotBefore) {
  d.SetSetting("SafeMode", "0");
  Forms::Show<Form2>();
  d.Advance(600);  // the start-up screen opens the menu
  ASSERT_TRUE(Forms::IsLoaded<Form1>());
  Form1& m = Forms::Get<Form1>();
  EXPECT_EQ(m.TXT.Caption(), "Project: VARK");
  d.Advance(99);
  EXPECT_EQ(d.Screen().changes, (std::vector<DisplayMode>{{640, 480, 32}}));
  d.Advance(2);  // asked for at 100 ms, made by the mode service right after
  EXPECT_EQ(d.Screen().changes, (std::vector<DisplayMode>{{640, 480, 32}, {640, 480, 16}}));
  d.Advance(8);
  EXPECT_FALSE(MainButtonsVisible(m));
  EXPECT_TRUE(m.Picture5.Visible());
  EXPECT_TRUE(Forms::IsLoaded<Form2>());
  d.Click(m.Btn1);  // invisible: nothing opens
  EXPECT_FALSE(m.StartGame.Visible());
  EXPECT_EQ(d.Sound().Plays("Track1.mid"), 0);

  d.Advance(1);
  EXPECT_TRUE(MainButtonsVisible(m));
  EXPECT_FALSE(m.Picture5.Visible());
  EXPECT_FALSE(m.Picture1.Visible());
  EXPECT_FALSE(Forms::IsLoaded<Form2>());
  EXPECT_EQ(d.Sound().Plays("Track1.mid"), 1);
  EXPECT_EQ(m.Label11.Caption(), "Ver. 1.01");
}

TEST_F(MenuScreen, HoverHintsAndBackgroundRestoresVersion) {
  Form1& m = ReadyMenu();
  const std::pair<BtnEnh*, const char*> hints[] = {{&m.Btn1, "Создание нового профиля"},
                                                   {&m.Btn4, "Загрузка существующего профиля"},
                                                   {&m.Btn2, "Интродукция: Hellos & Fucks :)"},
                                                   {&m.Btn3, "Выход в МастДай"}};
  for (auto [button, hint] : hints) {
    d.MoveOver(*button);
    EXPECT_EQ(m.Label11.Caption(), hint);
    d.MoveTo(100, 300);
    EXPECT_EQ(m.Label11.Caption(), "Ver. 1.01");
  }
}

TEST_F(MenuScreen, AcceptAndLoadButtonsBlinkEvenWhileHidden) {
  Form1& m = ReadyMenu();
  const int32_t red = PackColor(RGB(255, 0, 0)), yellow = PackColor(RGB(255, 255, 0));
  ASSERT_FALSE(m.StartGame.Visible());
  d.Advance(500 - 120);
  EXPECT_EQ(m.BtnAccept.Property(btn::kFaceColor), red);
  EXPECT_EQ(m.BtnLD.Property(btn::kFaceColor), red);
  d.Advance(500);
  EXPECT_EQ(m.BtnAccept.Property(btn::kFaceColor), yellow);
  EXPECT_EQ(m.BtnLD.Property(btn::kFaceColor), yellow);
  d.Advance(500);
  EXPECT_EQ(m.BtnAccept.Property(btn::kFaceColor), red);
}

TEST_F(MenuScreen, ExitEndsTheProgramAfter250Ms) {
  Form1& m = ReadyMenu();
  d.Click(m.Btn3);
  EXPECT_EQ(d.Sound().Plays("Open.wav"), 1);
  d.Advance(249);
  EXPECT_FALSE(d.Ended());
  d.Advance(1);
  EXPECT_TRUE(d.Ended());
}

TEST_F(MenuScreen, PanelsDisableTheMainButtonsUntilCancelled) {
  WriteFaces(2);
  Form1& m = OpenFaceChoice();
  EXPECT_TRUE(m.StartGame.Visible());
  EXPECT_FALSE(m.Btn1.Enabled() || m.Btn2.Enabled() || m.Btn3.Enabled() || m.Btn4.Enabled());
  EXPECT_FALSE(m.BtnAccept.Enabled());
  d.Click(m.BtnCancel);
  EXPECT_FALSE(m.StartGame.Visible());
  EXPECT_TRUE(m.Btn1.Enabled() && m.Btn2.Enabled() && m.Btn3.Enabled() && m.Btn4.Enabled());
}

}  // namespace
}  // namespace vark
