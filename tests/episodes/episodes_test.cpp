// The episode selection screen: what it shows, where its buttons lead.
#include "episodes/form3.h"
#include "memory/tele.h"
#include "profiles/menu_fixture.h"
#include "quiz/quest.h"
#include "shooter/caco.h"

namespace vark {
namespace {

class Episodes : public MenuTest {
 protected:
  Form3& OpenWithProfile() {
    WriteFaces(2);
    Stack& s = Forms::Get<Stack>();
    s.Profile = "Игрок";
    s.Face = Picture::Load("VarKers\\Face02.dat");
    return Forms::Show<Form3>();
  }
};

TEST_F(Episodes, ShowsThePlayerAndStartsItsMusic) {
  Form1& menu = ReadyMenu();
  Form3& f = OpenWithProfile();
  EXPECT_FALSE(menu.Visible());
  EXPECT_TRUE(Forms::IsLoaded<Form1>());
  EXPECT_EQ(Forms::Active(), &f);
  EXPECT_EQ(f.Label2.Caption(), "Игрок");
  EXPECT_EQ(f.Image1.GetPicture(), Forms::Get<Stack>().Face);
  EXPECT_EQ(f.Image2.Left(), -300);
  EXPECT_EQ(d.Sound().Plays("Track2.mid"), 1);
}

TEST_F(Episodes, EpisodeButtonsShowTheirScreensAfresh) {
  OpenWithProfile();
  Forms::Get<Caco>().Timer9.SetInterval(0);
  Caco* before = &Forms::Get<Caco>();
  d.Click(Forms::Get<Form3>().BtnEnh1);
  EXPECT_TRUE(Forms::Get<Caco>().Visible());
  EXPECT_EQ(Forms::Get<Caco>().Timer9.Interval(), 1);
  EXPECT_NE(&Forms::Get<Caco>(), before);  // unloaded first, loaded afresh

  // Each episode closes the episode screen when it starts; bring it back for the next.
  d.Click(Forms::Show<Form3>().BtnEnh3);
  EXPECT_TRUE(Forms::Get<Tele>().Visible());
  EXPECT_EQ(Forms::Get<Tele>().Timer6.Interval(), 1);
  d.Click(Forms::Show<Form3>().BtnEnh2);
  EXPECT_EQ(Forms::Active(), &Forms::Get<Quest>());
}

TEST_F(Episodes, FourthEpisodeOnlyClicks) {
  Form3& f = OpenWithProfile();
  d.Click(f.BtnEnh4);
  EXPECT_EQ(d.Sound().Plays("Click.wav"), 1);
  EXPECT_EQ(Forms::Active(), &f);
  EXPECT_FALSE(Forms::IsLoaded<Caco>() || Forms::IsLoaded<Quest>() || Forms::IsLoaded<Tele>());
}

TEST_F(Episodes, ExitRecreatesTheMainMenuWithItsStartSequence) {
  Form1* old = &ReadyMenu();
  Form3& f = OpenWithProfile();
  d.Click(f.BtnEnh5);
  d.Advance(0);
  EXPECT_FALSE(Forms::IsLoaded<Form3>());
  Form1& menu = Forms::Get<Form1>();
  EXPECT_NE(&menu, old);
  EXPECT_TRUE(menu.Visible());
  EXPECT_FALSE(menu.Btn1.Visible());
  d.Advance(110);
  EXPECT_TRUE(menu.Btn1.Visible());
  EXPECT_EQ(d.Sound().Plays("Track1.mid"), 2);
}

}  // namespace
}  // namespace vark
