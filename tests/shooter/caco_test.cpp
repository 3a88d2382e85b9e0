// The shooter screen played through the test driver on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "episodes/form3.h"
#include "platform/base/random.h"
#include "platform/forms/screen.h"
#include "profiles/stack.h"
#include "shooter/caco.h"
#include "support/driver.h"

namespace vark {
namespace {

constexpr uint32_t kCannonColour = 0xFF0000;
constexpr uint32_t kMonsterColour = 0x00FF00;
constexpr uint32_t kMountColour = 0x0000FF;

// A game started the way the episode screen starts it, with solid-colour pictures.
class Game {
 public:
  explicit Game(const std::string& noSfx = "") {
    if (!noSfx.empty()) d.SetSetting("NoSfx", noSfx);
    dir.WritePicture("Res/Cannon.png", 48, 48, 255, 0, 0);
    dir.WritePicture("Res/Caco.png", 48, 48, 0, 255, 0);
    dir.WritePicture("Res/CacoFire.png", 48, 48, 255, 255, 0);
    for (const char* frame : {"CacoDie1", "CacoDie2", "CacoDie3", "Panel1", "Panel2", "Panel3"}) {
      dir.WritePicture(std::string("Res/") + frame + ".png", 48, 48, 128, 0, 128);
    }
    dir.WritePicture("Res/Shot.png", 18, 18, 255, 255, 255);
    dir.WritePicture("Res/Bullet.png", 16, 16, 255, 128, 0);
    dir.WritePicture("Res/Invisible.png", 32, 32, 0, 0, 0);
    dir.WritePicture("Res/Arrow.png", 32, 32, 200, 200, 200);
    dir.WritePicture("Res/Arrow2.png", 32, 32, 100, 100, 100);
    dir.WritePicture("mount.jpg", 64, 48, 0, 0, 255);
    dir.WritePicture("stone.jpg", 64, 48, 90, 90, 90);
    Forms::Get<Stack>();
    Caco& form = Forms::Show<Caco>();
    form.Timer9.SetInterval(1);
    d.Advance(1);
  }
  Caco& caco() { return Forms::Get<Caco>(); }
  int Shown() {
    return static_cast<int>(
        std::count_if(caco().Image1.begin(), caco().Image1.end(), [](Image* m) { return m->Visible(); }));
  }
  // No monster fires and the cannon stands aside.
  void Quiet() {
    caco().Level.FireOdds = 1;
    caco().Image8.SetLeft(-3000);
  }
  void Tick() { d.Advance(10); }

  Driver d;
  TempFolder dir;
};

TEST(ShooterStart, LevelOneShowsOneMonsterAndSlotElevenNeverPlays) {
  Game g;
  Caco& c = g.caco();
  EXPECT_EQ(c.Lev, 1);
  EXPECT_EQ(c.Lives, 10);
  EXPECT_EQ(g.Shown(), 1);
  EXPECT_EQ(c.lvl.Caption(), " 1");
  EXPECT_EQ(c.Scor.Caption(), " 0");
  EXPECT_EQ(c.HomeLeft[6], 1080);
  EXPECT_EQ(c.HomeTop[6], 1080);
  EXPECT_EQ(c.HomeLeft[5], 5880);
  for (int round = 0; round < 200; ++round) {
    c.PutSet();
    ASSERT_EQ(g.Shown(), 1);
    EXPECT_FALSE(c.Image1[11]->Visible());
  }
  c.Level.CacoNum = 11;
  c.PutSet();
  EXPECT_EQ(g.Shown(), 11);
  EXPECT_FALSE(c.Image1[11]->Visible());
  EXPECT_EQ(Screen::Get().CurrentPointer().kind, PointerKind::Invisible);
}

TEST(ShooterPlay, UnclearedLevelIsLostByTimeOnTick1172BySlotSix) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  while (c.TicksRun < 1171) g.Tick();
  EXPECT_NE(c.Timer1.Interval(), 0);
  EXPECT_EQ(c.Image1[6]->Top(), 5880 - 64);
  g.Tick();
  EXPECT_EQ(c.Image1[6]->Top(), 5880);
  EXPECT_EQ(c.Image1[6]->Left(), 152);
  EXPECT_EQ(c.Timer1.Interval(), 0);
  EXPECT_EQ(c.Lives, 1);  // this death ends the game
  g.d.Advance(150);
  EXPECT_EQ(c.Lives, 0);
  EXPECT_TRUE(c.Picture3.Visible());
  EXPECT_EQ(c.Image8.GetPicture(), Picture::Load("Res\\Invisible.png"));
  g.d.Advance(1990);
  ASSERT_TRUE(Forms::IsLoaded<Caco>());
  g.d.Advance(20);
  EXPECT_FALSE(Forms::IsLoaded<Caco>());
  EXPECT_EQ(Forms::Get<Stack>().Caco, " 0");
  EXPECT_TRUE(Forms::Get<Form3>().Visible());
}

TEST(ShooterPlay, OneShotHitsOnlyTheLowestMonsterContainingIt) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  for (int slot : {3, 7}) {
    c.Image1[slot]->Move(3000, 3000, 720, 720);
    c.Image1[slot]->SetVisible(true);
    c.CacoDx[slot] = 0;
  }
  c.VarkBull[0]->Move(3100, 3300, 270, 270);  // after its rise: 3100, 3100
  g.d.Sound().ClearLog();
  g.Tick();
  EXPECT_FALSE(c.Image1[3]->Enabled());
  EXPECT_EQ(c.CacoFrame[3], 2);
  EXPECT_TRUE(c.Image1[7]->Enabled());
  EXPECT_EQ(c.VarkBull[0]->Top(), 0);
  EXPECT_FALSE(c.VarkBull[0]->Visible());
  EXPECT_EQ(g.d.Sound().Plays("explosion3.wav"), 1);
}

TEST(ShooterPlay, ShotOverlappingAMonsterEdgeFliesOn) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  c.Image1[2]->Move(3000, 3000, 720, 720);
  c.Image1[2]->SetVisible(true);
  c.CacoDx[2] = 0;
  c.VarkBull[0]->Move(3000 + 451, 3300, 270, 270);
  g.Tick();
  EXPECT_TRUE(c.Image1[2]->Enabled());
  EXPECT_EQ(c.VarkBull[0]->Top(), 3100);
  EXPECT_TRUE(c.VarkBull[0]->Visible());
}

TEST(ShooterPlay, ShotMaxLimitsShotsAndPausedPlayTakesNoShot) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  c.Image8.SetLeft(4000);
  g.d.MouseDown(c.Image14, kRightButton);
  EXPECT_EQ(c.VarkBull[0]->Top(), 5760);
  EXPECT_EQ(c.VarkBull[0]->Left(), c.Image8.Left() + 250);
  g.d.MouseDown(c.Image14);
  EXPECT_EQ(c.VarkBull[1]->Top(), 0);
  for (int i = 0; i < 40; ++i) g.Tick();  // the first shot leaves the top
  EXPECT_EQ(c.VarkBull[0]->Top(), 0);
  g.d.Press(SDLK_ESCAPE);
  g.d.MouseDown(c.Image14);
  EXPECT_EQ(c.VarkBull[0]->Top(), 0);
}

TEST(ShooterPlay, MonsterFiresIntoAFreeSlotOrOnlyShowsItsFiringLook) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  c.Level.FireOdds = 6;
  c.Level.BullSpeed = 0;  // bullets stay where they are
  for (int j = 0; j <= c.Level.BullMax; ++j) c.BullY[j] = 100;
  g.d.Sound().ClearLog();
  auto firing = [&] {
    return std::any_of(c.Image1.begin(), c.Image1.end(),
                       [&](Image* m) { return m->Visible() && m->GetPicture() == c.Image3.GetPicture(); });
  };
  int ticks = 0;
  while (!firing() && ticks++ < 500) g.Tick();
  ASSERT_TRUE(firing());
  EXPECT_EQ(g.d.Sound().Plays("caco_alert.wav"), 0);
  for (int j = 0; j <= c.Level.BullMax; ++j) EXPECT_EQ(c.BullY[j], 100);

  c.BullY[2] = 0;
  while (c.BullY[2] == 0 && ticks++ < 1000) g.Tick();
  auto shooter = std::find_if(c.Image1.begin(), c.Image1.end(), [](Image* m) { return m->Visible(); });
  EXPECT_NEAR(c.BullY[2], (*shooter)->Top(), 64);  // it moved on after firing
  EXPECT_NEAR(c.BullX[2], (*shooter)->Left() + 250, 32);
  EXPECT_EQ(g.d.Sound().Plays("caco_alert.wav"), 1);
}

TEST(ShooterPlay, DyingMonsterScoresTenPerFrameAndKeepsDrifting) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  Image& m = *c.Image1[1];
  m.SetVisible(true);
  m.SetEnabled(false);
  c.CacoFrame[1] = 2;
  int left = m.Left();
  for (int frame = 1; frame <= 3; ++frame) {
    g.Tick();
    EXPECT_EQ(c.Score, 10 * frame);
    EXPECT_EQ(m.GetPicture(), c.Die[3 - frame]->GetPicture());
    EXPECT_EQ(m.Left(), left + 32 * frame);
  }
  EXPECT_EQ(c.Scor.Caption(), " 30");
  g.Tick();
  EXPECT_FALSE(m.Visible());
  EXPECT_TRUE(m.Enabled());
  EXPECT_EQ(c.Score, 30);
}

TEST(ShooterPlay, BulletOnTheCannonCostsALifeAndEndsTheTick) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  c.Image8.SetLeft(3000);
  Picture cannon = c.Image8.GetPicture();
  c.BullY[0] = 5760;
  c.Bullet[0]->Move(3000, 5760, 240, 240);
  c.Bullet[0]->SetVisible(true);
  c.BullY[1] = 1000;
  c.VarkBull[0]->Move(200, 3000, 270, 270);
  g.Tick();
  EXPECT_FALSE(c.Bullet[0]->Visible());
  EXPECT_EQ(c.BullY[0], 0);
  EXPECT_EQ(c.BullY[1], 1000);  // the rest of the tick did not run
  EXPECT_EQ(c.VarkBull[0]->Top(), 3000);
  EXPECT_EQ(c.Timer1.Interval(), 0);
  g.d.Advance(50);
  EXPECT_EQ(c.Image8.GetPicture(), c.Die[0]->GetPicture());
  g.d.Advance(100);
  EXPECT_EQ(c.Lives, 9);
  EXPECT_FALSE(c.Image9[9]->Visible());
  EXPECT_TRUE(c.Image9[8]->Visible());
  EXPECT_EQ(c.Image8.GetPicture(), cannon);
  EXPECT_NE(c.Timer1.Interval(), 0);
}

TEST(ShooterPlay, LastLifeEndsTheGameAndStoresTheScore) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  c.Lives = 1;
  c.Score = 120;
  c.PlrDeath();
  g.d.Advance(150);
  EXPECT_TRUE(c.Picture3.Visible());
  g.d.Press(SDLK_ESCAPE);  // no question over the game-over panel
  EXPECT_FALSE(c.Picture4.Visible());
  g.d.Advance(2000);
  EXPECT_FALSE(Forms::IsLoaded<Caco>());
  EXPECT_EQ(Forms::Get<Stack>().Caco, " 120");
}

TEST(ShooterLevels, PanelShowsTheComingLevelForThreeSeconds) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  for (Image* m : c.Image1) m->SetVisible(false);
  g.Tick();  // the level-end step follows 1 ms after the tick, within this advance
  EXPECT_TRUE(c.Picture2.Visible());
  EXPECT_EQ(c.BtnEnh4.Caption(), "УРОВЕНЬ  2");
  EXPECT_EQ(c.lvl.Caption(), " 1");
  EXPECT_EQ(c.Image10.GetPicture(), c.Image2.GetPicture());
  g.d.Press(SDLK_ESCAPE);
  EXPECT_FALSE(c.Picture4.Visible());
  g.d.Sound().ClearLog();
  g.d.Advance(1000);
  EXPECT_EQ(c.Image10.GetPicture(), c.Image11.GetPicture());
  EXPECT_EQ(g.d.Sound().Plays("explosion3.wav"), 1);
  g.d.Advance(500);
  EXPECT_EQ(c.Image10.GetPicture(), c.Image12.GetPicture());
  g.d.Advance(500);
  EXPECT_EQ(c.Image10.GetPicture(), c.Image13.GetPicture());
  g.d.Advance(999);
  EXPECT_TRUE(c.Picture2.Visible());
  g.d.Advance(1);
  EXPECT_FALSE(c.Picture2.Visible());
  EXPECT_EQ(c.Lev, 2);
  EXPECT_EQ(c.lvl.Caption(), " 2");
  EXPECT_EQ(c.Level, (LevelParams{6, 2, 400, 2, 2}));
  EXPECT_EQ(g.Shown(), 2);
  EXPECT_NE(c.Timer1.Interval(), 0);
}

TEST(ShooterQuestion, NoResumesExactlyWhereThePlayStopped) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  g.d.MoveTo(300, 200);
  g.d.Press(SDLK_ESCAPE);
  EXPECT_TRUE(c.Picture4.Visible());
  EXPECT_EQ(Forms::Get<Stack>().Im2, Picture::Load("Res\\Invisible.png"));
  EXPECT_EQ(Screen::Get().CurrentPointer().kind, PointerKind::Custom);  // at once, unmoved
  EXPECT_EQ(Screen::Get().CurrentPointer().picture, Forms::Get<Stack>().Im1);
  g.d.MoveTo(20, 20);  // off the question, the normal pointer too
  EXPECT_EQ(Screen::Get().CurrentPointer().picture, Forms::Get<Stack>().Im1);
  std::vector<int> lefts;
  for (Image* m : c.Image1) lefts.push_back(m->Left());
  g.d.Advance(500);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(c.Image1[i]->Left(), lefts[i]);
  g.d.Click(c.BtnEnh7);
  EXPECT_FALSE(c.Picture4.Visible());
  EXPECT_EQ(Screen::Get().CurrentPointer().kind, PointerKind::Invisible);
  g.Tick();
  EXPECT_EQ(c.Image1[0]->Left(), lefts[0] + 32);
}

TEST(ShooterQuestion, YesStoresTheScoreWithinOneTick) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  Forms::Get<Stack>().Caco = "old";
  g.d.Press(SDLK_ESCAPE);
  g.d.Click(c.BtnEnh6);
  g.Tick();
  EXPECT_FALSE(Forms::IsLoaded<Caco>());
  EXPECT_EQ(Forms::Get<Stack>().Caco, " 0");
  EXPECT_TRUE(Forms::Get<Form3>().Visible());
}

TEST(ShooterQuestion, ExitKeyWorksOnlyInPlay) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  g.d.Press(SDLK_ESCAPE);
  g.d.Press(SDLK_ESCAPE);  // a second press keeps the invisible pointer to come back to
  g.d.Click(c.BtnEnh7);
  EXPECT_EQ(c.Pointer().kind, PointerKind::Invisible);

  c.PlrDeath();
  g.d.Press(SDLK_ESCAPE);  // not during the cannon's death
  EXPECT_FALSE(c.Picture4.Visible());
  g.d.Advance(150);
  EXPECT_NE(c.Timer1.Interval(), 0);
  EXPECT_EQ(c.Lives, 9);

  for (Image* m : c.Image1) m->SetVisible(false);
  g.Tick();                // the level is cleared; the panel follows 1 ms later
  g.d.Press(SDLK_ESCAPE);  // nor between the two
  g.d.Advance(3001);
  EXPECT_FALSE(c.Picture4.Visible());
  EXPECT_EQ(c.Lev, 2);
  EXPECT_EQ(c.Pointer().kind, PointerKind::Invisible);
}

// In another window or minimised, play holds as under the exit question, but without it:
// nothing moves, and play goes on where it stopped when the player is back. The level
// panel waits too.
TEST(ShooterPause, PlayAndPanelsWaitWhileThePlayerIsAway) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  auto lefts = [&] {
    std::vector<int> l;
    for (Image* m : c.Image1) l.push_back(m->Left());
    return l;
  };
  const std::vector<int> before = lefts();
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());  // a round runs
  for (auto [away, back] : {std::pair{SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED},
                            std::pair{SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED}}) {
    g.d.Window(away);
    g.d.Advance(5000);
    EXPECT_EQ(lefts(), before);
    EXPECT_FALSE(c.Picture4.Visible());
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
    g.d.Window(back);
  }
  g.Tick();
  EXPECT_EQ(c.Image1[0]->Left(), before[0] + 32);

  for (Image* m : c.Image1) m->SetVisible(false);
  g.Tick();  // the level is cleared: the panel for level 2
  ASSERT_TRUE(c.Picture2.Visible());
  g.d.Window(SDL_WINDOWEVENT_FOCUS_LOST);
  g.d.Advance(10000);
  EXPECT_TRUE(c.Picture2.Visible());
  EXPECT_EQ(c.Lev, 1);
  g.d.Window(SDL_WINDOWEVENT_FOCUS_GAINED);
  g.d.Advance(3001);
  EXPECT_FALSE(c.Picture2.Visible());
  EXPECT_EQ(c.Lev, 2);
}

TEST(ShooterPlay, CannonFollowsThePointerButNotOverItself) {
  Game g;
  Caco& c = g.caco();
  g.d.MoveTo(300, 200);
  EXPECT_EQ(c.Image8.Left(), 300 * 15 - 32);
  c.Image14.OnMouseMove(0, 0, 9900, 100);
  EXPECT_EQ(c.Image8.Left(), 9800 - 735 - 512);
  c.Image1[4]->OnMouseMove(0, 0, 100, 100);
  EXPECT_EQ(c.Image8.Left(), c.Image1[4]->Left() + 100);
  g.d.MoveTo(0, 200);
  EXPECT_EQ(c.Image8.Left(), -32);
  c.Image8.SetLeft(3000);
  g.d.MoveTo(205, 400);  // over the cannon itself
  EXPECT_EQ(c.Image8.Left(), 3000);
}

TEST(ShooterRandom, FireDrawsAreIndependentWithinATick) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  c.Level.CacoNum = 11;
  c.PutSet();
  c.Level.FireOdds = 11;
  int mixedTicks = 0, looks = 0;
  const int ticks = 100;
  for (int t = 0; t < ticks; ++t) {
    g.Tick();
    int firing = 0;
    for (Image* m : c.Image1) firing += m->GetPicture() == c.Image3.GetPicture();
    looks += firing;
    mixedTicks += firing > 0 && firing < 11;
  }
  EXPECT_GT(mixedTicks, 20);
  EXPECT_GT(looks, ticks * 11 / 22);
  EXPECT_LT(looks, ticks * 11 * 2 / 11);
}

// Which of Aud2, Aud3, Aud4 (0, 1, 2) the next explosion plays on.
int ExplosionChannel(Game& g) {
  Caco& c = g.caco();
  g.d.Sound().ClearLog();
  c.Play2();
  int played = g.d.Sound().Log().back().channel;
  MediaPlayer* explosions[] = {&c.Aud2, &c.Aud3, &c.Aud4};
  for (int k = 0; k < 3; ++k) {
    if (explosions[k]->Channel() == played) return k;
  }
  return -1;
}

TEST(ShooterSound, ExplosionsRotateAndTheRotorCarriesOverBetweenGames) {
  Game g;
  int first = ExplosionChannel(g);
  EXPECT_EQ(ExplosionChannel(g), (first + 1) % 3);
  EXPECT_EQ(ExplosionChannel(g), (first + 2) % 3);
  Forms::Unload<Caco>();
  g.d.Advance(1);
  Forms::Show<Caco>();
  EXPECT_EQ(ExplosionChannel(g), first);  // Aud3 follows Aud2, Aud4 follows Aud3
  g.caco().SfxOn = 0;
  g.caco().Play2();
  g.caco().SfxOn = 1;
  EXPECT_EQ(ExplosionChannel(g), (first + 1) % 3);
}

TEST(ShooterSound, OnlyNoSfxOfExactlyOneSilencesTheGame) {
  for (const char* value : {"0", "11", "yes"}) {
    Game g(value);
    EXPECT_EQ(g.caco().SfxOn, 1) << '"' << value << '"';
    EXPECT_TRUE(g.caco().Mus.IsPlaying()) << '"' << value << '"';
  }
}

TEST(ShooterSound, NoSfxStartsSilentAndMTwiceReturnsToTheFirstState) {
  Game g("1");
  Caco& c = g.caco();
  EXPECT_EQ(c.SfxOn, 0);
  EXPECT_FALSE(c.Mus.IsPlaying());
  g.Tick();
  EXPECT_FALSE(c.Mus.IsPlaying());
  // A key press brings its key-down and then the character it types.
  g.d.Press(SDLK_m);
  g.d.Type("m");
  EXPECT_EQ(c.SfxOn, 1);
  EXPECT_TRUE(c.Mus.IsPlaying());
  EXPECT_EQ(c.Text1.Text(), "");
  g.d.Press(SDLK_x);
  g.d.Type("x");
  EXPECT_EQ(c.SfxOn, 1);
  g.d.Press(SDLK_m, KMOD_LSHIFT);
  g.d.Type("M");
  EXPECT_EQ(c.SfxOn, 0);
  EXPECT_FALSE(c.Mus.IsPlaying());
}

TEST(ShooterSound, TheMKeyTogglesSoundUnderTheRussianLayout) {
  Game g;
  Caco& c = g.caco();
  EXPECT_EQ(c.SfxOn, 1);
  const SDL_Keycode softSign = 0x44C;  // what the Russian layout types on the M position
  g.d.PressAt(SDL_SCANCODE_M, softSign);
  g.d.Type("ь");
  EXPECT_EQ(c.SfxOn, 0);
  EXPECT_FALSE(c.Mus.IsPlaying());
  EXPECT_EQ(c.Text1.Text(), "");
  g.d.Type("m");  // the Latin letter alone, with no key at the M position, toggles nothing
  EXPECT_EQ(c.SfxOn, 0);
  g.d.PressAt(SDL_SCANCODE_M, softSign);
  EXPECT_EQ(c.SfxOn, 1);
  EXPECT_TRUE(c.Mus.IsPlaying());
}

TEST(ShooterPicture, PlayAndLevelPanelLookRight) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  g.d.MoveTo(300, 200);
  g.Tick();
  ASSERT_TRUE(g.d.SaveScreen((g.dir.Path() / "play.png").string()));
  EXPECT_EQ(g.d.Pixel(300 - 2 + 24, 384 + 5), kCannonColour);  // the cannon under the pointer
  EXPECT_EQ(g.d.Pixel(100, 300), kMountColour);
  auto monster = std::find_if(c.Image1.begin(), c.Image1.end(), [](Image* m) { return m->Visible(); });
  SDL_Rect box = (*monster)->ScreenBox();
  EXPECT_EQ(g.d.Pixel(box.x + 24, box.y + 24), kMonsterColour);

  for (Image* m : c.Image1) m->SetVisible(false);
  g.Tick();  // the level-end step follows 1 ms after the tick, within this advance
  ASSERT_TRUE(g.d.SaveScreen((g.dir.Path() / "panel.png").string()));
  EXPECT_EQ(g.d.Pixel((1800 + 360 + 427) / 15, (2400 + 360 + 427) / 15), kMonsterColour);
}

bool IsRed(uint32_t p) { return (p >> 16) > 200 && ((p >> 8) & 0xFF) < 60 && (p & 0xFF) < 60; }
bool IsWhite(uint32_t p) { return (p >> 16) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200; }

// Top and bottom screen rows of the status bar's ink of one colour within columns x0 to x1.
std::pair<int, int> InkRows(Driver& d, int x0, int x1, bool (*ink)(uint32_t)) {
  int top = 480, bottom = -1;
  for (int y = 424; y < 480; ++y) {
    for (int x = x0; x <= x1; ++x) {
      if (ink(d.Pixel(x, y))) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  return {top, bottom};
}

// The numbers are drawn like the captions: red letters with a white shadow, on one line.
TEST(ShooterPicture, StatusNumbersStandOnTheLineOfTheirCaptionsAndCastTheirShadow) {
  Game g;
  g.caco().Score = 30;
  g.caco().InitScore();
  g.Tick();
  ASSERT_TRUE(g.d.SaveScreen((g.dir.Path() / "status.png").string()));
  for (auto ink : {IsRed, IsWhite}) {
    SCOPED_TRACE(ink == IsRed ? "letters" : "shadow");
    auto caption = InkRows(g.d, 432, 495, ink);  // "Счёт:"
    auto score = InkRows(g.d, 496, 561, ink);    // " 30"
    ASSERT_GT(caption.second, 0);
    ASSERT_GT(score.second, 0);
    EXPECT_EQ(score.second, caption.second) << "the same baseline";
    EXPECT_NEAR(score.first, caption.first, 1);
  }
}

// What play has come to: every monster, shot and bullet, the score, the lives.
std::vector<int> PlayState(Caco& c) {
  std::vector<int> state{c.Score, c.Lives, c.Lev, c.Image8.Left()};
  for (const auto* sprites : {&c.Image1, &c.VarkBull, &c.Bullet})
    for (Image* s : *sprites) state.insert(state.end(), {s->Left(), s->Top(), s->Visible() ? 1 : 0});
  return state;
}

// Five seconds of play, with a pause of a minute in the middle or without: the same
// draws, the same ticks, the same state. Shots and the pointer do nothing while paused.
TEST(ShooterPause, PHoldsEveryTimerAndPlayGoesOnExactlyWhereItStood) {
  std::vector<int> straight, paused;
  {
    Randomize(7);
    Game g;
    g.caco().Level.FireOdds = 3;
    g.d.Advance(5003);
    straight = PlayState(g.caco());
  }
  {
    Randomize(7);
    Game g;
    Caco& c = g.caco();
    c.Level.FireOdds = 3;
    g.d.Advance(2003);  // 6 ms before a tick
    g.d.Press(SDLK_p);
    EXPECT_TRUE(c.PauseBanner.Visible());
    EXPECT_EQ(c.CurrentActivity(), Activity::Idle);
    std::vector<int> atPause = PlayState(c);
    g.d.Click(c.Image14);
    g.d.MoveTo(100, 300);
    g.d.Advance(60000);
    ASSERT_TRUE(Forms::IsLoaded<Caco>()) << "play went on while paused";
    EXPECT_EQ(PlayState(c), atPause);
    g.d.PressAt(SDL_SCANCODE_P, 0x437);  // P by its place under the Russian layout: "з"
    EXPECT_FALSE(c.PauseBanner.Visible());
    g.d.Advance(5);
    EXPECT_EQ(PlayState(c), atPause) << "the tick that was 6 ms away when play paused";
    g.d.Advance(1);
    EXPECT_NE(PlayState(c), atPause);
    g.d.Advance(2994);
    paused = PlayState(c);
  }
  EXPECT_EQ(paused, straight);
}

TEST(ShooterPause, HeldKeyRepeatsSwitchOnceAndStartPausesWhileBLeaves) {
  Game g;
  Caco& c = g.caco();
  g.d.Press(SDLK_p);
  for (int repeat = 0; repeat < 20; ++repeat) {
    g.d.Advance(30);
    g.d.Press(SDLK_p);  // the keyboard repeating a held key
    ASSERT_TRUE(c.Paused()) << "repeat " << repeat;
  }
  g.d.Advance(1000);
  g.d.PadTap(SDL_CONTROLLER_BUTTON_START);
  EXPECT_FALSE(c.Paused());
  g.d.Advance(1000);
  g.d.PadTap(SDL_CONTROLLER_BUTTON_START);
  EXPECT_TRUE(c.Paused());
  // Escape still asks to leave: the question opens and the pause ends under it.
  g.d.PadTap(SDL_CONTROLLER_BUTTON_B);
  EXPECT_TRUE(c.Picture4.Visible());
  EXPECT_FALSE(c.Paused());
  EXPECT_FALSE(c.PauseBanner.Visible());
  g.d.Advance(1000);
  g.d.Press(SDLK_p);  // no pause under the question
  EXPECT_FALSE(c.Paused());
  g.d.Click(c.BtnEnh7);
  g.d.Advance(50);
  EXPECT_GT(c.TicksRun, 0u);
}

// One monster on its way down: the warning starts kWarningTicks ticks before the tick
// that loses the game, flashing the status bar and sounding the alarm once a second.
TEST(ShooterWarning, StartsAtItsTickBeforeTheMonstersLand) {
  Game g;
  Caco& c = g.caco();
  g.Quiet();
  int slot = -1;
  for (int i = 0; i < shooter::kMonsterSlots; ++i)
    if (c.Image1[i]->Visible()) slot = i;
  ASSERT_GE(slot, 0);
  // Every slot marches; the lowest lands first. Bring the shown one near the bottom.
  c.Image1[slot]->SetTop(4600);
  int landing = TicksToLanding(
      {c.Image1[slot]->Left(), c.Image1[slot]->Top(), c.CacoDx[slot], c.CacoDrop[slot], c.CacoNextDx[slot]}, 5000);
  ASSERT_GT(landing, shooter::kWarningTicks + 1);
  uint64_t before = c.TicksRun;
  while (c.TicksRun - before < static_cast<uint64_t>(landing - shooter::kWarningTicks - 1)) g.Tick();
  EXPECT_EQ(g.d.Sound().Plays("alarm.wav"), 0);
  EXPECT_FALSE(c.Alarm.Visible());
  g.Tick();  // kWarningTicks ticks before the end
  EXPECT_EQ(g.d.Sound().Plays("alarm.wav"), 1);
  EXPECT_TRUE(c.Alarm.Visible());
  for (int t = 0; t < shooter::kFlashTicks; ++t) g.Tick();
  EXPECT_FALSE(c.Alarm.Visible()) << "it flashes";
  for (int t = shooter::kFlashTicks; t < shooter::kAlarmEveryTicks; ++t) g.Tick();
  EXPECT_EQ(g.d.Sound().Plays("alarm.wav"), 2);
  while (c.Timer1.Interval() != 0) g.Tick();
  EXPECT_EQ(c.TicksRun - before, static_cast<uint64_t>(landing)) << "the rules of the level did not change";
  EXPECT_EQ(g.d.Sound().Plays("alarm.wav"), 3);
}

TEST(ShooterRules, MarchLandsWhereAndWhenTheGameIsLost) {
  MonsterMarch m{8600, 5000, shooter::kMarchStep, 0, 0};
  int ticks = TicksToLanding(m, 10000);
  // Three steps to pass the wall, then a descent of kDropTicks that ends at 5000 + 960.
  EXPECT_EQ(ticks, 3 + shooter::kDropTicks);
  EXPECT_EQ(TicksToLanding(m, ticks - 1), 0);
}

}  // namespace
}  // namespace vark
