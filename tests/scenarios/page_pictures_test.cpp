// A new player's way from the main menu to a profile and back to it, with the shipped data,
// as the web page's browser test (tests/web/game_test.py) plays it in the page. With
// VARK_SHOTS set, each screen is saved there as a picture, and the points the page's test
// clicks are written to points.txt, so the page is compared with the desktop's own drawing
// of the same screens and clicked where the desktop's controls are.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "episodes/form3.h"
#include "memory/tele.h"
#include "profiles/form1.h"
#include "quiz/quest.h"
#include "scenarios/started_game.h"
#include "shooter/caco.h"

namespace vark {
namespace {

class PagePictures : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!StartAtMainMenu(dir, d)) GTEST_SKIP() << "no game data";
    if (const char* folder = std::getenv("VARK_SHOTS")) shots = folder;
  }

  void Save(const std::string& name) {
    if (shots.empty()) return;
    EXPECT_TRUE(d.SaveScreen(shots + "/" + name + ".png"));
  }

  // The control's middle, clicked in the page under this name.
  Control& Point(const std::string& name, Control& c) {
    SDL_Point p = Driver::Middle(c);
    points << name << " " << p.x << " " << p.y << "\n";
    return c;
  }

  // The control's place on the screen, compared in the page under this name.
  void Box(const std::string& name, Control& c) {
    SDL_Rect box = c.ScreenBox();
    points << name << " " << box.x << " " << box.y << " " << box.w << " " << box.h << "\n";
  }

  ~PagePictures() override {
    if (!shots.empty()) std::ofstream(shots + "/points.txt") << points.str();
  }

  TempFolder dir;
  Driver d;
  std::string shots;
  std::ostringstream points;
};

TEST_F(PagePictures, NewProfileMadeLoadedFromTheListAndEachEpisodeEntered) {
  Form1& menu = Forms::Get<Form1>();
  ASSERT_EQ(Forms::Active(), &menu);
  Point("intro", menu.Btn2);
  Save("menu");

  Box("start_box", menu.Btn1);
  d.Click(Point("start", menu.Btn1));
  ASSERT_TRUE(menu.StartGame.Visible());
  Save("faces");
  d.MouseDown(Point("face", *menu.Varker[2]));
  d.Click(Point("accept", menu.BtnAccept));
  ASSERT_TRUE(menu.Entering.Visible());
  // The face's own name is offered; it gives way to a typed one.
  int backspaces = 0;
  for (; backspaces < 40 && !menu.Text1.Text().empty(); ++backspaces) d.Press(SDLK_BACKSPACE);
  points << "backspaces " << backspaces << "\n";
  d.Type("Жук");
  Save("name");
  d.Click(Point("name_ok", menu.BtnEnh2));
  Form3& episodes = Forms::Get<Form3>();
  ASSERT_EQ(Forms::Active(), &episodes);
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "Жук.pro"));
  Point("shooter", episodes.BtnEnh1);
  Point("quiz", episodes.BtnEnh2);
  Point("memory", episodes.BtnEnh3);
  Save("episodes");

  d.Click(Point("to_menu", episodes.BtnEnh5));
  d.Advance(120);
  Form1& again = Forms::Get<Form1>();
  ASSERT_EQ(Forms::Active(), &again);
  d.Click(Point("profiles", again.Btn4));
  ASSERT_TRUE(again.LoadProfile.Visible());
  ASSERT_EQ(again.Label4[0]->Caption(), "Жук");
  d.MouseDown(Point("first_profile", *again.Picture2[0]));
  Save("profiles");
  d.Click(Point("load", again.BtnLD));
  ASSERT_EQ(Forms::Active(), &Forms::Get<Form3>());

  // Each episode, and its way back: the shooter's and the memory game's exit questions.
  d.Click(Forms::Get<Form3>().BtnEnh1);
  d.Advance(100);
  Caco& shooter = Forms::Get<Caco>();
  ASSERT_EQ(Forms::Active(), &shooter);
  Point("cannon", shooter.Image8);
  d.Press(SDLK_ESCAPE);
  ASSERT_TRUE(shooter.Picture4.Visible());
  Box("shooter_question", shooter.Picture4);
  d.Click(Point("shooter_yes", shooter.BtnEnh6));
  d.Advance(20);
  ASSERT_EQ(Forms::Active(), &Forms::Get<Form3>());

  d.Click(Forms::Get<Form3>().BtnEnh2);
  d.Advance(6100);
  Quest& quiz = Forms::Get<Quest>();
  ASSERT_TRUE(quiz.Label3[0]->IsShown());
  Point("answer", *quiz.Label3[0]);
  Box("quiz_picture", quiz.Image2);
  quiz.ExitToMenu();
  d.Advance(10);

  d.Click(Forms::Get<Form3>().BtnEnh3);
  d.Advance(50);
  Tele& memory = Forms::Get<Tele>();
  ASSERT_EQ(Forms::Active(), &memory);
  Box("tile_box", Point("tile", *memory.Image1[0]));
  d.Press(SDLK_ESCAPE);
  ASSERT_TRUE(memory.Picture2.Visible());
  Box("memory_question", memory.Picture2);
  d.Click(Point("memory_yes", memory.BtnEnh6));
  d.Advance(10);
  ASSERT_EQ(Forms::Active(), &Forms::Get<Form3>());
}

}  // namespace
}  // namespace vark
