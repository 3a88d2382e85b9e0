// The whole game without a mouse, once with the keyboard alone and once with a game
// controller alone: a new profile, the shooter steered, fired and left, a quiz answer,
// memory tiles turned, the intro entered and left. Not one mouse event is sent.
#include <gtest/gtest.h>

#include "episodes/form3.h"
#include "intro/intro.h"
#include "memory/tele.h"
#include "platform/input/focus_nav.h"
#include "profiles/form1.h"
#include "profiles/stack.h"
#include "quiz/quest.h"
#include "scenarios/started_game.h"
#include "shooter/caco.h"
#include "startup/form2.h"
#include "support/driver.h"

namespace vark {
namespace {

// What a player without a mouse does, by keyboard or by controller.
class Hands {
 public:
  explicit Hands(Driver& d) : d_(d) {}
  virtual ~Hands() = default;
  virtual void Move(SDL_Keycode arrow) = 0;
  virtual void Press() = 0;
  virtual void Back() = 0;
  virtual void Fire() = 0;
  virtual void SteerRight(bool on) = 0;
  // On the name entry: a name of one's own from the keyboard, the suggested one from a pad.
  virtual void ConfirmName() = 0;

 protected:
  Driver& d_;
};

class Keyboard : public Hands {
 public:
  using Hands::Hands;
  void Move(SDL_Keycode arrow) override { d_.Press(arrow); }
  void Press() override { d_.Press(SDLK_RETURN); }
  void Back() override { d_.Press(SDLK_ESCAPE); }
  void Fire() override { d_.Press(SDLK_SPACE); }
  void SteerRight(bool on) override { on ? d_.Hold(SDLK_RIGHT) : d_.Release(SDLK_RIGHT); }
  void ConfirmName() override {
    d_.Type("Клава");
    d_.Press(SDLK_LEFT);  // edits the name: the focus stays on "ОК"
    d_.Press(SDLK_RETURN);
  }
};

class Controller : public Hands {
 public:
  using Hands::Hands;
  void Move(SDL_Keycode arrow) override {
    SDL_GameControllerButton b = arrow == SDLK_LEFT    ? SDL_CONTROLLER_BUTTON_DPAD_LEFT
                                 : arrow == SDLK_RIGHT ? SDL_CONTROLLER_BUTTON_DPAD_RIGHT
                                 : arrow == SDLK_UP    ? SDL_CONTROLLER_BUTTON_DPAD_UP
                                                       : SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    d_.PadTap(b);
  }
  void Press() override { d_.PadTap(SDL_CONTROLLER_BUTTON_A); }
  // B leaves everywhere (Start pauses the shooter and the memory game).
  void Back() override { d_.PadTap(SDL_CONTROLLER_BUTTON_B); }
  void Fire() override {
    d_.PadAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    d_.PadAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
  }
  void SteerRight(bool on) override { d_.PadAxis(SDL_CONTROLLER_AXIS_LEFTX, on ? 32767 : 0); }
  void ConfirmName() override { d_.PadTap(SDL_CONTROLLER_BUTTON_A); }
};

class NoMouseGame : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (!StartAtMainMenu(dir, d)) GTEST_SKIP() << "no game data";
    if (GetParam()) hands = std::make_unique<Controller>(d);
    else hands = std::make_unique<Keyboard>(d);
  }

  Form& Front() { return *Forms::Active(); }
  static Control* Focus() { return FocusNav::Get().Focused(); }
  // Arrows in one direction until the focus reaches `target` (a few at most).
  void MoveTo(Control& target, SDL_Keycode arrow) {
    for (int i = 0; i < 6 && Focus() != &target; ++i) hands->Move(arrow);
    ASSERT_EQ(Focus(), &target) << target.Name() << " wanted, at " << (Focus() ? Focus()->Name() : "none");
  }

  TempFolder dir;
  Driver d;
  std::unique_ptr<Hands> hands;
};

TEST_P(NoMouseGame, NewProfileShooterQuizMemoryAndIntro) {
  // The ring appears with the first input, on "Старт".
  Form1& menu = Forms::Get<Form1>();
  EXPECT_FALSE(FocusNav::Get().RingShown());
  hands->Move(SDLK_DOWN);
  ASSERT_EQ(Focus(), &menu.Btn1);

  // A face, then the name.
  hands->Press();
  ASSERT_TRUE(menu.StartGame.Visible());
  EXPECT_EQ(Focus(), menu.Varker[0]);
  hands->Move(SDLK_RIGHT);
  hands->Press();
  EXPECT_EQ(menu.SelectedFace, 1);
  for (int row = 0; row < 3; ++row) hands->Move(SDLK_DOWN);  // past the faces to the buttons
  MoveTo(menu.BtnAccept, SDLK_RIGHT);
  hands->Press();
  ASSERT_TRUE(menu.Entering.IsShown());
  EXPECT_EQ(Focus(), &menu.BtnEnh2);
  hands->ConfirmName();
  ASSERT_EQ(&Front(), &Forms::Get<Form3>());
  const std::string name = Forms::Get<Stack>().Profile;
  EXPECT_EQ(name, GetParam() ? menu.NameVarker[1]->Caption() : menu.NameVarker[1]->Caption() + "Клава");
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / (name + ".pro")));

  // The shooter: steered right, three shots, then left through its question.
  EXPECT_EQ(Focus(), &Forms::Get<Form3>().BtnEnh1);
  hands->Press();
  d.Advance(100);
  Caco& caco = Forms::Get<Caco>();
  ASSERT_EQ(&Front(), &caco);
  const int start = caco.Image8.Left();
  hands->SteerRight(true);
  d.Advance(300);
  hands->SteerRight(false);
  const int steered = caco.Image8.Left();
  EXPECT_GT(steered, start + 2000);
  d.Advance(300);
  EXPECT_EQ(caco.Image8.Left(), steered) << "letting go stops the cannon";
  d.Sound().ClearLog();
  for (int shot = 0; shot < 3; ++shot) {
    hands->Fire();
    EXPECT_TRUE(caco.VarkBull[0]->Visible() || shot > 0);
    d.Advance(400);
  }
  EXPECT_GE(d.Sound().Plays("explosion3.wav"), 3);
  hands->Back();
  ASSERT_TRUE(caco.Picture4.Visible());
  EXPECT_EQ(Focus(), &caco.BtnEnh6);
  hands->Press();
  d.Advance(20);
  ASSERT_EQ(&Front(), &Forms::Get<Form3>());

  // The quiz: a wrong answer, the end screen, and out by the back button.
  MoveTo(Forms::Get<Form3>().BtnEnh2, SDLK_DOWN);
  hands->Press();
  Quest& quest = Forms::Get<Quest>();
  ASSERT_EQ(&Front(), &quest);
  d.Advance(6100);
  ASSERT_TRUE(quest.Label3[0]->IsShown());
  EXPECT_EQ(Focus(), quest.Label3[0]);
  int wrong = 0;
  while (quest.Quiz.IsRight(quest.CurrentQuestion, wrong)) ++wrong;
  MoveTo(*quest.Label3[wrong], SDLK_DOWN);
  hands->Press();
  EXPECT_TRUE(quest.AnswerJudged);
  d.Advance(5000);
  ASSERT_TRUE(quest.BtnEnh2.IsShown());
  EXPECT_EQ(Focus(), &quest.BtnEnh2);
  hands->Back();
  d.Advance(10);
  ASSERT_EQ(&Front(), &Forms::Get<Form3>());

  // The memory game: two tiles turned, then out through its question.
  MoveTo(Forms::Get<Form3>().BtnEnh3, SDLK_DOWN);
  hands->Press();
  d.Advance(50);
  Tele& tele = Forms::Get<Tele>();
  ASSERT_EQ(&Front(), &tele);
  EXPECT_EQ(Focus(), tele.Image1[0]);
  hands->Press();
  d.Advance(300);
  hands->Move(SDLK_RIGHT);
  Control* second = Focus();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Name(), "Image1");
  EXPECT_GT(second->Left(), tele.Image1[0]->Left());
  hands->Press();
  EXPECT_EQ(tele.Opened[0], 0);
  EXPECT_EQ(tele.Opened[1], second->Index());
  d.Advance(2000);
  hands->Back();
  ASSERT_TRUE(tele.Picture2.Visible());
  EXPECT_EQ(Focus(), &tele.BtnEnh6);
  hands->Press();
  d.Advance(10);
  ASSERT_EQ(&Front(), &Forms::Get<Form3>());

  // Back to the main menu by the back button, and into the intro and out again.
  hands->Back();
  d.Advance(120);
  Form1& again = Forms::Get<Form1>();
  ASSERT_EQ(&Front(), &again);
  MoveTo(again.Btn2, SDLK_DOWN);
  hands->Press();
  ASSERT_EQ(&Front(), &Forms::Get<INTRO>());
  d.Advance(2500);
  hands->Back();
  d.Advance(10);
  EXPECT_FALSE(Forms::IsLoaded<INTRO>());
  EXPECT_EQ(&Front(), &Forms::Get<Form1>());
  EXPECT_EQ(Focus(), &Forms::Get<Form1>().Btn1);
}

INSTANTIATE_TEST_SUITE_P(KeyboardAndController, NoMouseGame, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& run) {
                           return run.param ? "Controller" : "Keyboard";
                         });

}  // namespace
}  // namespace vark
