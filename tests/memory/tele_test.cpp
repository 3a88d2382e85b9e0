// The memory game played through the driver on the virtual clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "episodes/form3.h"
#include "memory/tele.h"
#include "platform/base/random.h"
#include "support/driver.h"

namespace vark {
namespace {

constexpr int kFlipMs = 2 * 78 * 3;  // one whole flip, paced step by step
constexpr uint32_t kBackground = 0x285078;
constexpr uint32_t kBlank = 0x204020;
constexpr uint32_t kStone = 0x808080;

uint32_t FaceColour(int picture) { return 0x100000u * static_cast<uint32_t>(picture) + 0x0000F0u; }

class MemoryGame : public ::testing::Test {
 protected:
  void SetUp() override {
    Randomize(1234);
    WriteSolid("Res/Arrow.png", 0xFFFFFF);
    WriteSolid("Res/Arrow2.png", 0xFFFFFF);
    WriteSolid("mount.jpg", kBackground);
    WriteSolid("Stone.jpg", kStone);
    WriteSolid("Gfx/Blank.dat", kBlank);
    for (int n = 1; n <= 9; ++n) WriteSolid("Gfx/Tel" + std::to_string(n) + ".jpg", FaceColour(n));
  }

  void WriteSolid(const std::string& name, uint32_t rgb) {
    dir.WritePicture(name, 16, 16, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
  }

  // Starts the game the way the episode screen does.
  Tele& Start() {
    Forms::Show<Tele>().Timer6.SetInterval(1);
    d.Advance(1);
    return Forms::Get<Tele>();
  }

  static std::vector<int> CellsWith(const Tele& t, int picture) {
    std::vector<int> cells;
    for (int i = 0; i < memory::kCells; ++i)
      if (t.Map[i] == picture) cells.push_back(i);
    return cells;
  }
  static Rect HomeBox(const Tele& t, int cell) {
    int shortfall = cell == 0 ? 15 : 0;
    return {t.TileLeft[cell], t.TileTop[cell], 1215 - shortfall, 1575 - shortfall};
  }
  static Rect Box(const Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
  static void ExpectBox(const Control& c, Rect r) {
    EXPECT_EQ(c.Left(), r.left);
    EXPECT_EQ(c.Top(), r.top);
    EXPECT_EQ(c.Width(), r.width);
    EXPECT_EQ(c.Height(), r.height);
  }
  static bool ShowsFace(const Tele& t, int cell) {
    return t.Image1[cell]->GetPicture() == Picture::Load(memory::FaceName(t.Map[cell]));
  }
  static bool ShowsBack(const Tele& t, int cell) {
    return t.Image1[cell]->GetPicture() == Picture::Load("Gfx\\Blank.dat");
  }
  void ClickCell(Tele& t, int cell) { d.Click(*t.Image1[cell]); }
  void ClearPair(Tele& t, int picture) {
    auto cells = CellsWith(t, picture);
    ClickCell(t, cells[0]);
    ClickCell(t, cells[1]);
    d.Advance(500);
  }
  int MusicRequests() { return d.Sound().Plays("Track4.mid"); }

  Driver d;
  TempFolder dir;
};

TEST_F(MemoryGame, StartDealsTheFirstLevelOnAFreshBoard) {
  Forms::Show<Form3>();
  Tele& t = Start();
  EXPECT_FALSE(Forms::IsLoaded<Form3>());
  EXPECT_EQ(t.Label1.Caption(), " 1 ");
  EXPECT_EQ(t.Label2.Caption(), " 0 / 4 ");
  EXPECT_EQ(t.Timer3.Interval(), 700);
  for (int i = 0; i < memory::kCells; ++i) {
    EXPECT_TRUE(t.Image1[i]->Visible());
    EXPECT_TRUE(ShowsBack(t, i));
  }
  EXPECT_EQ(CellsWith(t, 0).size(), 16u);
  EXPECT_GE(MusicRequests(), 1);
}

TEST_F(MemoryGame, RightPairLeavesHalfASecondAfterItIsUpAndIsCounted) {
  Tele& t = Start();
  auto cells = CellsWith(t, 2);
  uint64_t t0 = d.Now();
  ClickCell(t, cells[0]);
  EXPECT_EQ(d.Now(), t0 + kFlipMs);
  EXPECT_TRUE(ShowsFace(t, cells[0]));
  EXPECT_EQ(t.OpenCount, 1);
  ClickCell(t, cells[0]);  // the tile already up: only the sound
  EXPECT_EQ(d.Now(), t0 + kFlipMs);
  EXPECT_EQ(t.OpenCount, 1);
  ClickCell(t, cells[1]);
  EXPECT_EQ(t.OpenCount, 2);
  EXPECT_EQ(t.Busy, 0);
  d.Advance(499);
  EXPECT_TRUE(t.Image1[cells[1]]->Visible());
  d.Advance(1);
  EXPECT_FALSE(t.Image1[cells[0]]->Visible());
  EXPECT_FALSE(t.Image1[cells[1]]->Visible());
  EXPECT_EQ(t.Label2.Caption(), " 1 / 4 ");
  EXPECT_EQ(t.PairsLeft, 2);
  EXPECT_EQ(t.OpenCount, 0);
  EXPECT_EQ(t.Opened, (std::array<int, 2>{-1, -1}));
  ExpectBox(*t.Image1[cells[1]], HomeBox(t, cells[1]));
  // The level timer counts afresh from the end of the removal.
  const int height = t.Image3.Height();
  d.Advance(699);
  EXPECT_EQ(t.Image3.Height(), height);
  d.Advance(1);
  EXPECT_EQ(t.Image3.Height(), height - 64);
}

TEST_F(MemoryGame, WrongPairBlocksClicksAndTurnsBackAfterHalfASecond) {
  Tele& t = Start();
  int a = CellsWith(t, 1)[0];
  int b = CellsWith(t, 3)[0];
  int other = CellsWith(t, 4)[0];
  ClickCell(t, a);
  const int height = t.Image3.Height();
  ClickCell(t, b);  // a tick falls due during this flip and comes after it, frozen
  EXPECT_EQ(t.Busy, 1);
  const uint64_t upAt = d.Now();
  const int flipsBefore = d.Sound().Plays("Explosion3.wav");
  d.Sound().FinishAll();
  ClickCell(t, other);
  EXPECT_EQ(d.Sound().Plays("Explosion3.wav"), flipsBefore + 1);
  EXPECT_EQ(d.Now(), upAt);
  EXPECT_TRUE(ShowsBack(t, other));
  d.Advance(499);
  EXPECT_TRUE(ShowsFace(t, a));
  EXPECT_TRUE(ShowsFace(t, b));
  EXPECT_EQ(t.Image3.Height(), height);
  d.Advance(1);
  EXPECT_TRUE(ShowsBack(t, a));
  EXPECT_TRUE(ShowsBack(t, b));
  EXPECT_EQ(d.Now(), upAt + 500 + 2 * kFlipMs);  // two flips, one after the other
  EXPECT_EQ(t.OpenCount, 0);
  EXPECT_EQ(t.Busy, 0);
  EXPECT_EQ(t.Label2.Caption(), " 0 / 4 ");
  for (int cell : {a, b}) ExpectBox(*t.Image1[cell], HomeBox(t, cell));
}

TEST_F(MemoryGame, EmptyCellShrinksAwayAloneWhileOneTileIsUp) {
  Tele& t = Start();
  auto pair = CellsWith(t, 4);
  int empty = CellsWith(t, 0)[0];
  d.Sound().ClearLog();
  ClickCell(t, pair[0]);
  uint64_t before = d.Now();
  ClickCell(t, empty);
  EXPECT_EQ(d.Now(), before + 78 * 3);
  EXPECT_FALSE(t.Image1[empty]->Visible());
  ExpectBox(*t.Image1[empty], HomeBox(t, empty));
  EXPECT_TRUE(t.Image1[pair[0]]->Visible());
  EXPECT_TRUE(ShowsFace(t, pair[0]));
  EXPECT_EQ(t.OpenCount, 1);
  EXPECT_EQ(t.Opened[0], pair[0]);
  ClickCell(t, pair[1]);
  d.Advance(500);
  EXPECT_FALSE(t.Image1[pair[1]]->Visible());
  EXPECT_EQ(t.Label2.Caption(), " 1 / 4 ");
  std::vector<int> flipChannels;  // one flip sound per click, the three channels in turn
  for (const auto& e : d.Sound().Log())
    if (e.action == "play" && e.path.find("Explosion3") != std::string::npos) flipChannels.push_back(e.channel);
  EXPECT_EQ(flipChannels, (std::vector<int>{t.MP2.Channel(), t.MP4.Channel(), t.MP5.Channel()}));
}

TEST_F(MemoryGame, TileZeroFlipsAndShrinksToZeroHeightSafely) {
  Tele& t = Start();
  auto ones = CellsWith(t, 1);
  std::swap(t.Map[0], t.Map[ones[0]]);  // tile 0 now holds a picture 1
  ClickCell(t, 0);
  ExpectBox(*t.Image1[0], {1440, 120, 1200, 1560});
  EXPECT_TRUE(ShowsFace(t, 0));
  ClickCell(t, ones[1]);
  d.Advance(500);
  EXPECT_FALSE(t.Image1[0]->Visible());
  ExpectBox(*t.Image1[0], {1440, 120, 1200, 1560});
}

TEST_F(MemoryGame, NoEffectsMakesTheChangesInOneGo) {
  d.SetSetting("NoEffects", "1");
  Tele& t = Start();
  auto pair = CellsWith(t, 2);
  Rect home = Box(*t.Image1[pair[0]]);
  uint64_t before = d.Now();
  ClickCell(t, pair[0]);
  ClickCell(t, pair[1]);
  EXPECT_EQ(d.Now(), before);
  EXPECT_TRUE(ShowsFace(t, pair[0]));
  ExpectBox(*t.Image1[pair[0]], home);
  d.Advance(500);
  EXPECT_EQ(d.Now(), before + 500);
  EXPECT_FALSE(t.Image1[pair[0]]->Visible());
}

TEST_F(MemoryGame, LastPairShowsTheLevelPanelThenDealsTheNextLevel) {
  Tele& t = Start();
  for (int picture = 1; picture <= 3; ++picture) ClearPair(t, picture);
  EXPECT_FALSE(t.Picture1.Visible());
  const int moved = CellsWith(t, 1)[0];  // a removed tile, pushed off its place and narrowed
  t.Image1[moved]->Move(100, 100, 600, 1575);
  ClearPair(t, 4);
  EXPECT_EQ(t.Label2.Caption(), " 4 / 4 ");
  EXPECT_TRUE(t.Picture1.Visible());
  EXPECT_EQ(t.BtnEnh4.Caption(), "УРОВЕНЬ 2");
  EXPECT_EQ(t.Busy, 1);
  EXPECT_EQ(t.Timer3.Interval(), 0);
  for (Image* tile : t.Image1) EXPECT_FALSE(tile->Visible());
  d.Advance(1499);
  EXPECT_TRUE(t.Picture1.Visible());
  d.Advance(1);
  EXPECT_FALSE(t.Picture1.Visible());
  EXPECT_EQ(t.Lvl, 1);
  EXPECT_EQ(t.Label1.Caption(), " 2 ");
  EXPECT_EQ(t.Label2.Caption(), " 0 / 5 ");
  EXPECT_EQ(t.Timer3.Interval(), 600);
  EXPECT_EQ(t.Busy, 0);
  ExpectBox(t.Image3, {480, 2520, 495, 4215});
  EXPECT_EQ(CellsWith(t, 0).size(), 14u);
  ExpectBox(*t.Image1[moved], {t.TileLeft[moved], t.TileTop[moved], 600, 1575});
  for (int i = 0; i < memory::kCells; ++i) {
    EXPECT_TRUE(t.Image1[i]->Visible());
    EXPECT_TRUE(ShowsBack(t, i));
  }
}

TEST_F(MemoryGame, UntouchedFirstLevelIsLostOnThe65thTickThenReturnsToTheEpisodes) {
  Tele& t = Start();
  const uint64_t dealt = d.Now();
  d.Advance(64 * 700);
  EXPECT_EQ(t.Image3.Height(), 4215 - 64 * 64);
  EXPECT_EQ(t.Image3.Top() + t.Image3.Height(), 6735);
  EXPECT_FALSE(t.Picture1.Visible());
  d.Advance(699);
  EXPECT_FALSE(t.Picture1.Visible());
  d.Advance(1);
  EXPECT_EQ(d.Now() - dealt, 45500u);
  EXPECT_EQ(t.Image3.Height(), 55);
  EXPECT_TRUE(t.Picture1.Visible());
  EXPECT_EQ(t.BtnEnh4.Caption(), "ИГРА ОКОНЧЕНА!");
  EXPECT_TRUE(t.Image1[5]->Visible());
  EXPECT_EQ(t.Timer3.Interval(), 0);
  EXPECT_EQ(d.Sound().Plays("Arrgh.wav"), 1);
  d.Advance(1499);
  EXPECT_TRUE(Forms::IsLoaded<Tele>());
  d.Advance(1);
  EXPECT_FALSE(Forms::IsLoaded<Tele>());
  EXPECT_TRUE(Forms::IsLoaded<Form3>());
}

TEST_F(MemoryGame, ExitQuestionFreezesTheBarButTheMusicIsAskedEveryTick) {
  Tele& t = Start();
  d.Press(SDLK_ESCAPE);
  EXPECT_TRUE(t.Picture2.Visible());
  const uint64_t opened = d.Now();
  ClickCell(t, 5);  // a tile beside the question: blocked
  EXPECT_EQ(d.Now(), opened);
  EXPECT_EQ(t.OpenCount, 0);
  EXPECT_TRUE(ShowsBack(t, 5));
  EXPECT_TRUE(t.Image1[5]->Visible());
  const Rect bar = Box(t.Image3);
  const int channel = t.MP1.Channel();
  for (int tick = 1; tick <= 5; ++tick) {
    d.Sound().Finish(channel);
    int asked = MusicRequests();
    d.Advance(700);
    EXPECT_EQ(MusicRequests(), asked + 1);
  }
  ExpectBox(t.Image3, bar);
  d.Click(t.BtnEnh7);
  EXPECT_FALSE(t.Picture2.Visible());
  EXPECT_EQ(t.Busy, 0);
  d.Advance(700);
  EXPECT_EQ(t.Image3.Height(), bar.height - 64);
  d.Press(SDLK_ESCAPE);
  d.Click(t.BtnEnh6);
  EXPECT_FALSE(Forms::IsLoaded<Tele>());
  EXPECT_TRUE(Forms::IsLoaded<Form3>());
}

// In another window or minimised, the time bar and a wrong pair waiting to turn back
// hold; back in the game, both go on from where they stood.
TEST_F(MemoryGame, TimeBarAndTurnWaitWhileThePlayerIsAway) {
  d.SetSetting("NoEffects", "1");
  Tele& t = Start();
  const int first = CellsWith(t, 1)[0], other = CellsWith(t, 2)[0];
  ClickCell(t, first);
  ClickCell(t, other);
  const Rect bar = Box(t.Image3);
  for (auto [away, back] : {std::pair{SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED},
                            std::pair{SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED}}) {
    d.Window(away);
    d.Advance(60000);
    ASSERT_TRUE(Forms::IsLoaded<Tele>()) << "the game ran out of time";
    EXPECT_TRUE(SDL_IsScreenSaverEnabled());
    ExpectBox(t.Image3, bar);
    EXPECT_TRUE(ShowsFace(t, first));
    EXPECT_TRUE(ShowsFace(t, other));
    d.Window(back);
  }
  d.Advance(700);
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());
  EXPECT_EQ(t.Image3.Height(), bar.height - 64);
  EXPECT_TRUE(ShowsBack(t, first));
  EXPECT_TRUE(ShowsBack(t, other));
}

TEST_F(MemoryGame, LossWhileARightPairWaitsLeavesThePairUncounted) {
  d.SetSetting("NoEffects", "1");
  Tele& t = Start();
  d.Advance(64 * 700 + 300);
  auto pair = CellsWith(t, 3);
  ClickCell(t, pair[0]);
  ClickCell(t, pair[1]);  // its removal would fall 100 ms after the lost tick
  d.Advance(400);
  EXPECT_EQ(t.BtnEnh4.Caption(), "ИГРА ОКОНЧЕНА!");
  d.Advance(500);
  EXPECT_TRUE(t.Image1[pair[0]]->Visible());
  EXPECT_EQ(t.Label2.Caption(), " 0 / 4 ");
  EXPECT_EQ(t.Busy, 1);
  ClickCell(t, CellsWith(t, 1)[0]);
  EXPECT_EQ(t.OpenCount, 2);
  d.Advance(1000);
  EXPECT_TRUE(Forms::IsLoaded<Form3>());
}

// The last pair leaves and the next level is dealt behind the exit question: play stays
// held, with the bar still, until the player answers "НЕТ".
TEST_F(MemoryGame, ExitQuestionKeepsPlayHeldThroughAPairRemovalAndALevelChange) {
  d.SetSetting("NoEffects", "1");
  Tele& t = Start();
  for (int picture = 1; picture <= 3; ++picture) ClearPair(t, picture);
  auto last = CellsWith(t, 4);
  ClickCell(t, last[0]);
  ClickCell(t, last[1]);
  d.Press(SDLK_ESCAPE);
  d.Advance(500);
  EXPECT_EQ(t.Label2.Caption(), " 4 / 4 ");
  EXPECT_EQ(t.Busy, 1);
  d.Advance(1500);
  EXPECT_EQ(t.Label1.Caption(), " 2 ");
  EXPECT_EQ(t.Busy, 1);
  d.Advance(3 * 600);
  EXPECT_EQ(t.Image3.Height(), 4215);
  ClickCell(t, 5);
  EXPECT_TRUE(ShowsBack(t, 5));
  d.Click(t.BtnEnh7);
  d.Advance(600);
  EXPECT_EQ(t.Image3.Height(), 4215 - 64);
  ClickCell(t, 5);
  EXPECT_NE(ShowsBack(t, 5), t.Map[5] != 0);
}

TEST_F(MemoryGame, MissingFacePictureStillPlaysThePair) {
  std::filesystem::remove(dir.Path() / "Gfx" / "Tel2.jpg");
  Picture::ClearCache();
  Tele& t = Start();
  ClearPair(t, 2);
  for (int cell : CellsWith(t, 2)) EXPECT_FALSE(t.Image1[cell]->Visible());
  EXPECT_EQ(t.Label2.Caption(), " 1 / 4 ");
}

// The board with two tiles up and the time bar half gone, on plain-coloured pictures.
TEST_F(MemoryGame, PictureOfTheBoardWithTwoTilesUpAndHalfTheTimeGone) {
  Tele& t = Start();
  d.Advance(33 * 700);
  int a = CellsWith(t, 1)[0];
  int b = CellsWith(t, 3)[0];
  ClickCell(t, a);
  ClickCell(t, b);
  ASSERT_TRUE(d.SaveScreen((dir.Path() / "memory_board.png").string()));
  auto middle = [&](int cell) { return Driver::Middle(*t.Image1[cell]); };
  EXPECT_EQ(d.Pixel(middle(a).x, middle(a).y), FaceColour(1));
  EXPECT_EQ(d.Pixel(middle(b).x, middle(b).y), FaceColour(3));
  int closed = CellsWith(t, 4)[0];
  EXPECT_EQ(d.Pixel(middle(closed).x, middle(closed).y), kBlank);
  // Bar: 480..975 twips across (32..65 px), 2520..6735 down (168..449 px); 33 ticks gone.
  EXPECT_EQ(d.Pixel(48, 200), kBackground);              // the part already gone
  EXPECT_EQ(d.Pixel(48, 400), 0xFFFFFFu ^ kBackground);  // the part left, inverted
  for (auto [x, y] : {std::pair{32, 300}, {32, 400}, {64, 400}, {48, 448}})
    EXPECT_EQ(d.Pixel(x, y), 0x00FF00u) << x << "," << y;  // the frame, green also over the bar
  EXPECT_EQ(d.Pixel(5, 470), kBackground);
}

TEST_F(MemoryGame, PanelCaptionsKeepNearlyTheirDesignedSizeInTheirBox) {
  // Both captions of the level panel should fill its box alike; a wide face
  // would shrink the longer one to a small line.
  Tele& t = Start();
  const FontSpec designed = t.BtnEnh4.Font();
  const int inner = t.BtnEnh4.Width() / 15 - 8;
  for (const char* caption : {"УРОВЕНЬ 2", "ИГРА ОКОНЧЕНА!"}) {
    EXPECT_GE(FitFont(designed, caption, inner).sizePt, designed.sizePt * 0.85) << caption;
  }
}

}  // namespace
}  // namespace vark
