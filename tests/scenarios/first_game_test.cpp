// The whole game through its screens with the generated data: a new player's first start,
// a profile, a shooter game left through the exit question, the quiz and the memory game
// entered and left, back to the main menu and out.
#include <gtest/gtest.h>

#include "episodes/form3.h"
#include "memory/tele.h"
#include "profiles/form1.h"
#include "profiles/stack.h"
#include "quiz/quest.h"
#include "scenarios/started_game.h"
#include "shooter/caco.h"
#include "startup/form2.h"
#include "support/driver.h"

namespace vark {
namespace {

class FirstGame : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!StartAtMainMenu(dir, d)) GTEST_SKIP() << "no game data";
  }

  Form& Front() { return *Forms::Active(); }

  TempFolder dir;
  Driver d;
};

TEST_F(FirstGame, NewProfileShooterQuizMemoryAndOut) {
  Form1& menu = Forms::Get<Form1>();
  ASSERT_EQ(&Front(), &menu);
  ASSERT_TRUE(menu.Btn1.Visible());

  // A face and a name.
  d.Click(menu.Btn1);
  d.MouseDown(*menu.Varker[2]);
  d.Click(menu.BtnAccept);
  d.Type("Тест");
  d.Click(menu.BtnEnh2);
  ASSERT_EQ(&Front(), &Forms::Get<Form3>());
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / (Forms::Get<Stack>().Profile + ".pro")));
  EXPECT_FALSE(Forms::Get<Stack>().Face.Empty());

  // The shooter, left at once through its exit question.
  d.Click(Forms::Get<Form3>().BtnEnh1);
  d.Advance(100);
  ASSERT_EQ(&Front(), &Forms::Get<Caco>());
  EXPECT_FALSE(Forms::IsLoaded<Form3>());
  d.Press(SDLK_ESCAPE);
  d.Click(Forms::Get<Caco>().BtnEnh6);
  d.Advance(20);
  EXPECT_FALSE(Forms::IsLoaded<Caco>());
  EXPECT_EQ(Forms::Get<Stack>().Caco, " 0");
  ASSERT_EQ(&Front(), &Forms::Get<Form3>());

  // The quiz: a question comes after the first level's blinking.
  d.Click(Forms::Get<Form3>().BtnEnh2);
  ASSERT_EQ(&Front(), &Forms::Get<Quest>());
  d.Advance(6100);
  EXPECT_TRUE(Forms::Get<Quest>().Label3[0]->IsShown());
  Forms::Get<Quest>().ExitToMenu();  // the end panel's button
  d.Advance(10);
  ASSERT_EQ(&Front(), &Forms::Get<Form3>());

  // The memory game, left through its exit question.
  d.Click(Forms::Get<Form3>().BtnEnh3);
  d.Advance(50);
  ASSERT_EQ(&Front(), &Forms::Get<Tele>());
  d.Press(SDLK_ESCAPE);
  d.Click(*Forms::Get<Tele>().FindControl("BtnEnh6"));
  d.Advance(10);
  ASSERT_EQ(&Front(), &Forms::Get<Form3>());

  // Back to a fresh main menu, and out.
  d.Click(Forms::Get<Form3>().BtnEnh5);
  d.Advance(120);
  Form1& again = Forms::Get<Form1>();
  d.Click(again.Btn3);
  d.Advance(260);
  EXPECT_TRUE(d.Ended());
}

}  // namespace
}  // namespace vark
