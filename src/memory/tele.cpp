#include "memory/tele.h"

#include "episodes/form3.h"
#include "platform/input/focus_nav.h"
#include "platform/runtime/app.h"
#include "profiles/stack.h"
#include "startup/options.h"

namespace vark {

namespace {

constexpr const char* kTileBack = "Gfx\\Blank.dat";
constexpr const char* kBackground = "mount.jpg";
constexpr const char* kStone = "Stone.jpg";

// The board: tile i in column i mod 6, row i div 6; tile 0 is a little smaller.
constexpr int kBoardLeft = 1440;
constexpr int kBoardTop = 120;
constexpr int kColumnStep = 1320;
constexpr int kRowStep = 1680;
constexpr int kTileWidth = 1215;
constexpr int kTileHeight = 1575;
constexpr int kFirstTileShortfall = 15;

// Animations: 78 relative steps, each paced by a short pause so it can be seen.
constexpr int kAnimationSteps = 78;
constexpr int kFlipStep = 10;   // the top moves by this, the height twice as much
constexpr int kShrinkStep = 5;  // the left moves by this, the width twice as much
constexpr int kStepPauseMs = 3;

// The time bar: full extent, and what one tick of the level timer takes away.
constexpr int kBarTop = 2520;
constexpr int kBarHeight = 4215;
constexpr int kBarStep = 64;

constexpr int kFirstTickMs = 1000;
constexpr int kPairPauseMs = 500;
constexpr int kPanelMs = 1500;

constexpr Color kLightGrey = RGB(192, 192, 192);

// The panels' captions are set in the narrow heavy display face, so that even
// "ИГРА ОКОНЧЕНА!" fills its box at the designed size.
const FontSpec kPanelFont{"Impact", 24, true};

Rect TileBox(int i) {
  int shortfall = i == 0 ? kFirstTileShortfall : 0;
  return {kBoardLeft + kColumnStep * (i % memory::kColumns), kBoardTop + kRowStep * (i / memory::kColumns),
          kTileWidth - shortfall, kTileHeight - shortfall};
}

// Steps keep a steady beat: each ends a pause after the one before, however long its
// repaint took and however late the system woke the last pause, so an animation lasts
// its steps times the pause.
class StepPacer {
 public:
  StepPacer() : due_(App::Get().Now()) {}
  void Pause() {
    due_ += kStepPauseMs;
    uint64_t now = App::Get().Now();
    if (due_ > now) App::Get().GetClock().Pause(static_cast<int>(due_ - now));
  }

 private:
  uint64_t due_;
};

void MoveBy(Control& c, int dLeft, int dTop, int dWidth, int dHeight) {
  c.Move(c.Left() + dLeft, c.Top() + dTop, c.Width() + dWidth, c.Height() + dHeight);
}

void ShrinkStep(Control& tile) { MoveBy(tile, kShrinkStep, kFlipStep, -2 * kShrinkStep, -2 * kFlipStep); }

// A caption box; its black shadow keeps the caption clear on the night sky and on the
// stone (a red caption would otherwise get a light shadow that blurs it).
void StyleCaption(BtnEnh& b, Color caption, int shadowDepth) {
  b.SetColorProperty(btn::kCaptionColor, caption);
  b.SetProperty(btn::kStyle, btn::kCaptionBox);
  b.SetColorProperty(btn::kShadowColor, kBlack);
  b.SetProperty(btn::kShadowDepth, shadowDepth);
}

void StyleChoice(BtnEnh& b) {
  b.SetProperty(btn::kStyle, btn::kRaisedFace);
  b.SetColorProperty(btn::kCaptionColor, kRed);
  b.SetColorProperty(btn::kHoverCaptionColor, kYellow);
  b.SetColorProperty(btn::kShadowColor, kBlack);
  b.SetFont(FontSpec{"Arial", 14, true});
}

void StyleCounter(Label& l) {
  l.SetForeColor(kYellow);
  l.SetAlignment(Align::Center);
  l.SetTransparent(true);
  l.SetFont(FontSpec{"MS Sans Serif", 13.5, false});
}

}  // namespace

Tele::Tele() : Form("Tele") {
  StyleControls();
  for (int i = 0; i < memory::kCells; ++i) Image1[i]->OnClick = [this, i] { Image1_Click(i); };
  Command1.OnClick = [this] { Command1_Click(); };
  BtnEnh6.OnClick = [this] { BtnEnh6_Click(); };
  BtnEnh7.OnClick = [this] { BtnEnh7_Click(); };
  // Without a mouse: the tiles take the focus ring, the first tile first.
  for (Image* tile : Image1) tile->SetFocusable(true);
  SetFirstFocus({Image1[0], &BtnEnh6});
  SetKeyPreview(true);
  // The time bar, the turn and the panels wait while the player is in another window;
  // the music goes on, as it does under the exit question.
  SetPausesWhileAway(true);
}

std::vector<Image*> Tele::AddTiles() {
  std::vector<Image*> tiles;
  for (int i = 0; i < memory::kCells; ++i) {
    Image& tile = AddImage("Image1", TileBox(i), nullptr, i);
    tile.SetStretch(true);
    tiles.push_back(&tile);
  }
  return tiles;
}

// The designed look that does not depend on the game's state.
void Tele::StyleControls() {
  Image2.SetStretch(true);
  for (BtnEnh* b : {&BtnEnh1, &BtnEnh2, &BtnEnh3}) b->SetFont(FontSpec{"Arial", 9, true});
  StyleCounter(Label1);
  Label1.SetCaption("0");
  StyleCounter(Label2);
  Label2.SetCaption(" 0 / 1 ");
  Shape1.SetBorderColor(kGreen);
  Image3.SetStretch(true);
  Image3.SetInvert(true);
  Picture1.SetVisible(false);
  Image4.SetStretch(true);
  BtnEnh4.SetFont(kPanelFont);
  Picture2.SetVisible(false);
  Image5.SetStretch(true);
  BtnEnh5.SetFont(kPanelFont);
  Command1.SetCancel(true);
  PauseBanner.SetVisible(false);
}

void Tele::Form_Load() {
  EffectsOff = Options().noEffects;
  for (BtnEnh* b : {&BtnEnh1, &BtnEnh2, &BtnEnh3}) StyleCaption(*b, kRed, 1);
  StyleCaption(BtnEnh4, kRed, 2);
  StyleCaption(BtnEnh5, kLightGrey, 3);
  StyleCaption(PauseBanner, kRed, 2);
  PauseBanner.SetFont(kPanelFont);
  StyleChoice(BtnEnh6);
  StyleChoice(BtnEnh7);
  SetMousePointer(Forms::Get<Stack>().CustomPointer());
  Initial();
}

void Tele::Initial() {
  Forms::Unload<Form3>();
  Busy = 0;
  GameStartMs = App::Get().Now();
  HeldAtStartMs = HeldMs();
  QuestionMs = 0;
  ReachedSeconds = 0;
  Timer3.SetInterval(kFirstTickMs);
  MP1.SetFileName("Sfx\\Track4.mid");
  MP2.SetFileName("Sfx\\Explosion3.wav");
  MP3.SetFileName("Sfx\\Arrgh.wav");
  MP4.SetFileName("Sfx\\Explosion3.wav");
  MP5.SetFileName("Sfx\\Explosion3.wav");
  Play1();
  BtnEnh4.SetCaption(memory::LevelPanelText(0));
  for (int i = 0; i < memory::kCells; ++i) {
    TileTop[i] = Image1[i]->Top();
    TileLeft[i] = Image1[i]->Left();
  }
  Lvl = 0;
  Opened = {-1, -1};
  OpenCount = 0;
  Image2.LoadPicture(kBackground);
  Image4.LoadPicture(kStone);
  Image5.LoadPicture(kStone);
  InitMaps();
}

void Tele::InitMaps() {
  Image3.Move(Image3.Left(), kBarTop, Image3.Width(), kBarHeight);
  memory::LevelRule rule = memory::RuleFor(Lvl);
  Pairs = rule.pairs;
  Timer3.SetInterval(rule.tickMs);
  RestoreImg();
  Label1.SetCaption(memory::LevelNumberText(Lvl));
  Picture back = Picture::Load(kTileBack);
  for (Image* tile : Image1) {
    tile->SetPicture(back);
    tile->SetVisible(true);
  }
  Map = memory::Deal(Pairs);
  PairsLeft = Pairs;
  Label2.SetCaption(memory::StatsText(0, Pairs + 1));
  Resume();
}

void Tele::RestoreImg() {
  for (int i = 0; i < memory::kCells; ++i) {
    Image& tile = *Image1[i];
    tile.Move(TileLeft[i], TileTop[i], tile.Width(), tile.Height());
  }
}

// ---- The turn --------------------------------------------------------------------------

void Tele::Form_KeyDown(int keyCode, int) {
  if (!Picture2.Visible()) Pause.Key(keyCode);
}

void Tele::Image1_Click(int index) {
  if (Pause.On()) return;
  Play2();
  OpenImg(index);
}

void Tele::OpenImg(int index) {
  if (OpenCount > 1 || Busy == 1) return;
  int picture = Map[index];
  if (picture == 0) {
    // An empty cell shrinks away alone; the turn in progress stays as it was.
    int keptFirst = Opened[0];
    int keptCount = OpenCount;
    Opened = {index, index};
    BanishImg();
    Opened[0] = keptFirst;
    OpenCount = keptCount;
    return;
  }
  if (index == Opened[0]) return;
  FlipHalf(index, 1);
  Opened[OpenCount] = index;
  ++OpenCount;
  Image1[index]->LoadPicture(memory::FaceName(picture));
  FlipHalf(index, -1);
  if (OpenCount > 1) Analyze();
}

void Tele::Analyze() {
  if (Map[Opened[1]] == Map[Opened[0]]) {
    Timer2.SetInterval(kPairPauseMs);
  } else {
    Busy = 1;
    Timer1.SetInterval(kPairPauseMs);
  }
}

void Tele::CloseImg(int index) {
  Play2();
  FlipTo(index, kTileBack);
}

void Tele::ViewStats() { Label2.SetCaption(memory::StatsText(Pairs - PairsLeft + 1, Pairs + 1)); }

void Tele::TakeNewTurn() {
  Opened = {-1, -1};
  OpenCount = 0;
  Resume();
}

// A pair removed or a level dealt while the exit question is open must not set the time
// bar running or let tiles beside the question be turned: the question keeps play held.
void Tele::Resume() { Busy = Picture2.Visible() ? 1 : 0; }

// A wrong pair turns face down again, the first tile first.
void Tele::Timer1_Timer() {
  Timer1.SetInterval(0);
  CloseImg(Opened[0]);
  CloseImg(Opened[1]);
  TakeNewTurn();
}

// A right pair leaves the board; the time bar waits while it goes.
void Tele::Timer2_Timer() {
  Timer2.SetInterval(0);
  int tick = Timer3.Interval();
  Timer3.SetInterval(0);
  BanishImg();
  ViewStats();
  Timer3.SetInterval(tick);
  TakeNewTurn();
  --PairsLeft;
  if (PairsLeft < 0) ChangeLevel();
}

// ---- Animations ------------------------------------------------------------------------

void Tele::FlipHalf(int index, int direction) {
  Image& tile = *Image1[index];
  if (!EffectsOn()) {
    MoveBy(tile, 0, kAnimationSteps * kFlipStep * direction, 0, -2 * kAnimationSteps * kFlipStep * direction);
    return;
  }
  StepPacer pacer;
  for (int step = 0; step < kAnimationSteps; ++step) {
    MoveBy(tile, 0, kFlipStep * direction, 0, -2 * kFlipStep * direction);
    tile.Refresh();
    pacer.Pause();
  }
}

void Tele::FlipTo(int index, const std::string& pictureName) {
  FlipHalf(index, 1);
  Image1[index]->LoadPicture(pictureName);
  FlipHalf(index, -1);
}

void Tele::BanishImg() {
  Image& a = *Image1[Opened[0]];
  Image& b = *Image1[Opened[1]];
  const Rect savedA{a.Left(), a.Top(), a.Width(), a.Height()};
  const Rect savedB{b.Left(), b.Top(), b.Width(), b.Height()};
  if (EffectsOn()) {
    StepPacer pacer;
    for (int step = 0; step < kAnimationSteps; ++step) {
      ShrinkStep(a);
      if (&b != &a) {
        ShrinkStep(b);
        b.Refresh();
      }
      a.Refresh();
      pacer.Pause();
    }
  }
  a.SetVisible(false);
  b.SetVisible(false);
  // A hidden tile keeps its place and size for the next deal.
  a.Move(savedA.left, savedA.top, savedA.width, savedA.height);
  b.Move(savedB.left, savedB.top, savedB.width, savedB.height);
}

// ---- Sound -----------------------------------------------------------------------------

void Tele::Play1() { MP1.Play(); }

void Tele::Play2() {
  switch (SndNext) {
    case 0: Pl1(); break;
    case 1: Pl2(); break;
    default: Pl3(); break;
  }
  SndNext = (SndNext + 1) % 3;
}

void Tele::Pl1() { MP2.Play(); }
void Tele::Pl2() { MP4.Play(); }
void Tele::Pl3() { MP5.Play(); }

void Tele::Play3() {
  MP3.Stop();
  MP3.Play();
}

// ---- Level timer, level change, game over and exit --------------------------------------

void Tele::Timer6_Timer() {
  Timer6.SetInterval(0);
  Timer3.SetInterval(kFirstTickMs);
  Initial();
}

void Tele::Timer3_Timer() {
  Play1();
  if (Busy != 0) return;
  MoveBy(Image3, 0, kBarStep, 0, -kBarStep);
  if (EffectsOn()) Image3.Refresh();
  if (Image3.Height() < kBarStep) {
    Timer3.SetInterval(0);
    Busy = 1;
    GameOver();
  }
}

int Tele::PlayedSeconds() const {
  uint64_t elapsed = App::Get().Now() - GameStartMs - (HeldMs() - HeldAtStartMs) - QuestionMs;
  return static_cast<int>(elapsed / 1000);
}

void Tele::ChangeLevel() {
  Timer3.SetInterval(0);
  Busy = 1;
  ++Lvl;
  ReachedSeconds = PlayedSeconds();
  for (Image* tile : Image1) tile->SetVisible(false);
  BtnEnh4.SetCaption(memory::LevelPanelText(Lvl));
  Picture1.SetVisible(true);
  Timer4.SetInterval(kPanelMs);
}

void Tele::Timer4_Timer() {
  Timer4.SetInterval(0);
  Picture1.SetVisible(false);
  InitMaps();
}

void Tele::GameOver() {
  // A pair still waiting to be removed or turned back stays as it is under the panel:
  // the lost game must not go on to count it, free the board or change the level.
  Timer1.SetInterval(0);
  Timer2.SetInterval(0);
  Play3();
  Busy = 1;
  BtnEnh4.SetCaption("ИГРА ОКОНЧЕНА!");
  Picture1.SetVisible(true);
  Timer5.SetInterval(kPanelMs);
}

void Tele::Timer5_Timer() {
  Timer5.SetInterval(0);
  ExitGame();
}

void Tele::ExitGame() {
  Forms::Get<Stack>().KeepResult(Episode::kMemory, {Lvl + 1, ReachedSeconds});
  Forms::Show<Form3>();
  Forms::Unload(*this);
}

void Tele::Command1_Click() {
  Pause.Set(false);
  if (!Picture2.Visible()) QuestionOpenedMs = App::Get().Now();
  Picture2.SetVisible(true);
  Busy = 1;
  FocusNav::Get().Offer(BtnEnh6);
}

void Tele::BtnEnh6_Click() { ExitGame(); }

void Tele::BtnEnh7_Click() {
  QuestionMs += App::Get().Now() - QuestionOpenedMs;
  Picture2.SetVisible(false);
  Busy = 0;
}

}  // namespace vark
