#include "shooter/caco.h"

#include <algorithm>
#include <cmath>

#include "episodes/form3.h"
#include "platform/base/number_text.h"
#include "platform/base/random.h"
#include "platform/base/run_state.h"
#include "platform/forms/screen.h"
#include "platform/input/gamepad.h"
#include "platform/input/input_router.h"
#include "profiles/stack.h"
#include "startup/options.h"

namespace vark {

using namespace shooter;

namespace {

// The explosion channel used last. It carries over from one game to the next in a run.
struct ExplosionRotor {
  int SndRotor = 0;
};

constexpr int kHomeTopRow1 = 240;
constexpr int kHomeTopRow2 = 1080;
constexpr int kHomeLeft = 1080;
constexpr int kHomeSpacing = 960;
// The cannon's pace when steered by keys or a controller: 8000 twips (530 pixels) a second.
constexpr int kSteerTwipsPerTick = 80;

Rect BoxOf(const Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }

// Mouse positions arrive as fractions of a twip; the game works in whole twips.
int WholeTwips(double v) { return static_cast<int>(std::lround(v)); }

Picture InvisiblePicture() { return Picture::Load(res::kInvisible); }

// The pointer a picture stands for: the transparent icon hides the pointer.
MousePointer PointerOf(const Picture& picture) {
  if (picture == InvisiblePicture()) return {PointerKind::Invisible, picture};
  return {PointerKind::Custom, picture};
}

}  // namespace

Caco::Caco() : Form("Caco") {
  LoadDesignPictures();
  SetUpLooks();
  WireMouse();
  Text1.OnChange = [this] { Text1_Change(); };
  Text1.OnKeyDown = [this](int keyCode, int) { Text1_KeyDown(keyCode); };
  // The sound box listens only for its keys: the arrows steer and the exit question's
  // buttons take the focus ring, "ДА" first.
  Text1.SetKeepsNavigationKeys(false);
  SetFirstFocus({&BtnEnh6});
  Command1.SetCancel(true);
  Command1.OnClick = [this] { Command1_Click(); };
  BtnEnh6.OnClick = [this] { BtnEnh6_Click(); };
  BtnEnh7.OnClick = [this] { BtnEnh7_Click(); };
  SetMousePointer(PointerOf(InvisiblePicture()));
  // Play and the level panels wait while the player is in another window; the music
  // goes on, as it does under the exit question.
  SetPausesWhileAway(true);
}

Rect Caco::HomeBox(int slot) {
  int inRow = slot % kRowLength;
  int top = slot < kRowLength ? kHomeTopRow1 : kHomeTopRow2;
  return {kHomeLeft + kHomeSpacing * inRow, top, kMonsterBox, kMonsterBox};
}

Image& Caco::AddTemplate(const std::string& name, int index) {
  Image& image = AddImage(name, {0, 0, kMonsterBox, kMonsterBox}, nullptr, index);
  image.SetVisible(false);
  return image;
}

std::vector<Image*> Caco::AddTemplates(const std::string& name, int count) {
  std::vector<Image*> images;
  for (int i = 0; i < count; ++i) images.push_back(&AddTemplate(name, i));
  return images;
}

std::vector<Image*> Caco::AddSprites(const std::string& name, int count, int size, Rect (*place)(int)) {
  std::vector<Image*> sprites;
  for (int i = 0; i < count; ++i) {
    Rect box = place ? place(i) : Rect{0, 0, size, size};
    sprites.push_back(&AddImage(name, box, nullptr, i));
    sprites.back()->SetVisible(false);
  }
  return sprites;
}

std::vector<Image*> Caco::AddLifeIcons() {
  std::vector<Image*> icons;
  for (int k = 0; k < kLifeIcons; ++k) {
    icons.push_back(&AddImage("Image9", {120 + 360 * k, 240, 375, 375}, &Picture1, k));
  }
  return icons;
}

void Caco::LoadDesignPictures() {
  Image2.LoadPicture("Res\\Caco.png");
  Image3.LoadPicture("Res\\CacoFire.png");
  Die[0]->LoadPicture("Res\\CacoDie1.png");
  Die[1]->LoadPicture("Res\\CacoDie2.png");
  Die[2]->LoadPicture("Res\\CacoDie3.png");
  Image15.LoadPicture("Res\\Shot.png");
  Image7.LoadPicture("Res\\Bullet.png");
  Image11.LoadPicture("Res\\Panel1.png");
  Image12.LoadPicture("Res\\Panel2.png");
  Image13.LoadPicture("Res\\Panel3.png");
  Image8.SetStretch(true);
  Image8.LoadPicture("Res\\Cannon.png");
  for (Image* icon : Image9) {
    icon->SetStretch(true);
    icon->LoadPicture("Res\\Shot.png");
  }
}

void Caco::SetUpLooks() {
  for (Image* stretched : {&Image14, &Image16, &Image17, &Image10, &Image22, &Image18}) {
    stretched->SetStretch(true);
  }
  for (Image* frame : {&Image11, &Image12, &Image13}) frame->SetVisible(false);
  for (PictureBox* panel : {&Picture2, &Picture3, &Picture4}) panel->SetVisible(false);
  for (Label* number : {&lvl, &Scor}) {
    number->SetCaption("00000");
    number->SetForeColor(kRed);
    number->SetTransparent(true);
    // The numbers read on one line with the caption boxes beside them: the same face and
    // size, in the middle of the same height, with the same white shadow two pixels down
    // and right that a red caption box casts.
    number->SetFont(FontSpec{"Arial Black", 11.625, true});
    number->SetVerticalCenter(true);
    number->SetShadow(kWhite, 2);
  }
  BtnEnh4.SetFont(FontSpec{"Arial Black", 24, true});
  BtnEnh3.SetFont(FontSpec{"Arial Black", 26, true});
  BtnEnh5.SetFont(FontSpec{"Arial Black", 28, true});
  BtnEnh6.SetFont(FontSpec{"Arial Black", 18, true});
  BtnEnh7.SetFont(FontSpec{"Arial Black", 18, true});
  Alarm.SetFill(true, kRed);
  Alarm.SetBorderColor(kRed);
  Alarm.SetVisible(false);
  PauseBanner.SetFont(FontSpec{"Arial Black", 36, true});
  PauseBanner.SetVisible(false);
}

void Caco::WireMouse() {
  MouseHandler fire = [this](int, int, double, double) { Fire(); };
  MouseHandler follow = [this](int, int, double x, double) { FollowPointer(x); };
  OnMouseDown = fire;
  OnMouseMove = follow;
  for (Control* surface : std::initializer_list<Control*>{&Image14, &Picture1, &Image16}) {
    surface->OnMouseDown = fire;
    surface->OnMouseMove = follow;
  }
  Image8.OnMouseDown = fire;
  for (Image* monster : Image1) {
    monster->OnMouseDown = fire;
    monster->OnMouseMove = [this, monster](int, int, double x, double) {
      PlaceCannon(monster->Left() + WholeTwips(x));
    };
  }
}

void Caco::Form_Load() { Initial(); }

// ---------------------------------------------------------------- start and levels

void Caco::Initial() {
  StyleButtons();
  for (Image* shot : VarkBull) shot->SetPicture(Image15.GetPicture());
  LoadBackdrops();
  SfxOn = Options().noSfx ? 0 : 1;
  Lives = 10;
  Score = 0;
  SetUpSound();
  Lev = 0;
  GetSet();
  AddLev();
  PutSet();
}

void Caco::StyleButtons() {
  for (BtnEnh* answer : {&BtnEnh6, &BtnEnh7}) {
    answer->SetColorProperty(btn::kCaptionColor, kRed);
    answer->SetColorProperty(btn::kHoverCaptionColor, kYellow);
    answer->SetProperty(btn::kStyle, btn::kRaisedFace);
  }
  for (BtnEnh* caption : {&BtnEnh1, &BtnEnh2, &BtnEnh3, &BtnEnh4, &BtnEnh5, &PauseBanner}) {
    caption->SetColorProperty(btn::kCaptionColor, kRed);
    caption->SetProperty(btn::kStyle, btn::kCaptionBox);
  }
}

void Caco::LoadBackdrops() {
  Image14.LoadPicture("mount.jpg");
  for (Image* backdrop : {&Image16, &Image17, &Image18, &Image22}) backdrop->LoadPicture("stone.jpg");
}

void Caco::GetSet() {
  for (int i = 0; i < kMonsterSlots; ++i) {
    HomeTop[i] = Image1[i]->Top();
    HomeLeft[i] = Image1[i]->Left();
  }
}

void Caco::PutSet() {
  for (int i = 0; i < kMonsterSlots; ++i) {
    Image& monster = *Image1[i];
    monster.Move(HomeLeft[i], HomeTop[i], monster.Width(), monster.Height());
    monster.SetEnabled(true);
    monster.SetVisible(false);
  }
  for (int n = 0; n < Level.CacoNum; ++n) {
    int slot;
    do {
      slot = RndInt(kDrawnSlots);
    } while (Image1[slot]->Visible());
    Image1[slot]->SetVisible(true);
  }
  BullY.fill(0);
  BullX.fill(0);
  CacoFrame.fill(0);
  for (int i = 0; i < kMonsterSlots; ++i) {
    VarkBull[i]->SetTop(0);
    VarkBull[i]->SetVisible(false);
    CacoDx[i] = i < kRowLength ? kMarchStep : -kMarchStep;
    CacoDrop[i] = 0;
  }
  for (Image* bullet : Bullet) {
    bullet->SetTop(0);
    bullet->SetVisible(false);
  }
  Alarm.SetVisible(false);
}

void Caco::AddLev() {
  ++Lev;
  InitLiv();
  lvl.SetCaption(Str(Lev));
  Scor.SetCaption(Str(Score));
  ApplyLevelTable(Lev, Level);
}

void Caco::InitLiv() {
  for (int k = 0; k < kLifeIcons; ++k) Image9[k]->SetVisible(k < Lives);
}

void Caco::InitScore() { Scor.SetCaption(Str(Score)); }

void Caco::EndLevel() { Timer3.SetInterval(1); }

void Caco::Timer3_Timer() {
  Timer3.SetInterval(0);
  Timer1.SetInterval(0);
  Image10.SetPicture(Image2.GetPicture());
  BtnEnh4.SetCaption("УРОВЕНЬ " + Str(Lev + 1));
  Picture2.SetVisible(true);
  Timer4.SetInterval(1000);
}

void Caco::Timer4_Timer() {
  Timer4.SetInterval(0);
  Play2();
  Image10.SetPicture(Image11.GetPicture());
  Timer5.SetInterval(500);
}

void Caco::Timer5_Timer() {
  Timer5.SetInterval(0);
  Image10.SetPicture(Image12.GetPicture());
  Timer6.SetInterval(500);
}

void Caco::Timer6_Timer() {
  Timer6.SetInterval(0);
  Image10.SetPicture(Image13.GetPicture());
  Timer7.SetInterval(1000);
}

void Caco::Timer7_Timer() {
  Timer7.SetInterval(0);
  AddLev();
  PutSet();
  Picture2.SetVisible(false);
  Timer1.SetInterval(kTickMs);
}

void Caco::Timer9_Timer() {
  Timer9.SetInterval(0);
  Initial();
}

// ---------------------------------------------------------------- exit question, end

// Play goes on: not paused by the level panel, the exit question, the cannon's death or
// the game-over panel, and no level change is on its way.
bool Caco::Playing() const { return Timer1.Interval() != 0 && Timer3.Interval() == 0; }

Activity Caco::CurrentActivity() const {
  return Picture4.Visible() || Pause.On() ? Activity::Idle : Activity::SteeredRound;
}

void Caco::Command1_Click() {
  // Only from play: a second press would park the normal pointer as the one to come
  // back to, and a press during the cannon's death would see play restart under the
  // open question.
  if (!Playing()) return;
  Pause.Set(false);
  Picture4.SetVisible(true);
  Play1();
  Stack& record = Forms::Get<Stack>();
  record.Im2 = Pointer().picture;
  MousePointer normal = record.CustomPointer();
  SetMousePointer(normal);
  Picture4.SetMousePointer(normal);
  Image18.SetMousePointer(normal);
  ShowPointerNow();
  Timer1.SetInterval(0);
}

void Caco::RestorePointer() {
  SetMousePointer(PointerOf(Forms::Get<Stack>().Im2));
  ShowPointerNow();
}

// The question opens from the keyboard: without this the pointer would keep its old
// shape until the mouse moves.
void Caco::ShowPointerNow() { Screen::Get().UpdatePointer(); }

void Caco::BtnEnh7_Click() {
  RestorePointer();
  Play2();
  Picture4.SetVisible(false);
  Timer1.SetInterval(kTickMs);
}

void Caco::BtnEnh6_Click() {
  RestorePointer();
  Play2();
  Timer8.SetInterval(1);
}

void Caco::GameOver() {
  Lives = 1;
  PlrDeath();
}

void Caco::GameOver2() {
  Timer1.SetInterval(0);
  Alarm.SetVisible(false);
  Image8.SetPicture(Pointer().picture);
  Picture3.SetVisible(true);
  Timer8.SetInterval(2000);
}

void Caco::Timer8_Timer() {
  Timer8.SetInterval(0);
  Stack& record = Forms::Get<Stack>();
  record.Caco = Str(Score);
  record.CacoPlayed = true;
  record.KeepResult(Episode::kShooter, {Score, 0});
  Forms::Show<Form3>();
  Forms::Unload(*this);
}

// ---------------------------------------------------------------- play

void Caco::Timer1_Timer() {
  if (Forms::IsLoaded<Form3>()) Forms::Unload<Form3>();
  SteerCannon();
  RunGame();
  mus1();
}

void Caco::RunGame() {
  ++TicksRun;
  int hidden = 0;
  for (Image* monster : Image1) hidden += monster->Visible() ? 0 : 1;
  if (hidden == kMonsterSlots) {
    EndLevel();
    return;
  }
  if (!MonsterPass()) return;
  WarnOfLanding();
  if (!BulletPass()) return;
  ShotPass();
}

// False when a monster reached the bottom: the game is lost and the tick ends.
bool Caco::MonsterPass() {
  for (int i = 0; i < kMonsterSlots; ++i) {
    Image& monster = *Image1[i];
    bool showsDeathFrame = false;
    if (!monster.Enabled()) {
      if (CacoFrame[i] != -1) {
        monster.SetPicture(Die[CacoFrame[i]]->GetPicture());
        --CacoFrame[i];
        Score += kPointsPerFrame;
        InitScore();
        showsDeathFrame = true;
      } else {
        monster.SetVisible(false);
        monster.SetEnabled(true);
      }
    }
    if (!showsDeathFrame) TryFire(i);
    if (!MoveMonster(i)) {
      GameOver();
      Timer1.SetInterval(0);
      return false;
    }
  }
  return true;
}

void Caco::TryFire(int slot) {
  Image& monster = *Image1[slot];
  monster.SetPicture(Image2.GetPicture());
  if (RndInt(Level.FireOdds) != kFireNumber || !monster.Enabled() || !monster.Visible()) return;
  monster.SetPicture(Image3.GetPicture());
  for (int j = 0; j <= Level.BullMax; ++j) {
    if (BullY[j] != 0) continue;
    BullY[j] = monster.Top();
    BullX[j] = monster.Left() + kMuzzle;
    Play1();
    return;
  }
}

MonsterMarch Caco::MarchOf(int slot) const {
  const Image& monster = *Image1[slot];
  return {monster.Left(), monster.Top(), CacoDx[slot], CacoDrop[slot], CacoNextDx[slot]};
}

// False when a descent ended at the bottom.
bool Caco::MoveMonster(int slot) {
  MonsterMarch march = MarchOf(slot);
  bool goesOn = StepMarch(march);
  Image& monster = *Image1[slot];
  monster.Move(march.left, march.top, monster.Width(), monster.Height());
  CacoDx[slot] = march.dx;
  CacoDrop[slot] = march.drop;
  CacoNextDx[slot] = march.nextDx;
  return goesOn;
}

// Every slot marches, shown or not, and any of them ends the game at the bottom: the
// warning counts from the first to land.
void Caco::WarnOfLanding() {
  int left = 0;
  for (int i = 0; i < kMonsterSlots; ++i) {
    int ticks = TicksToLanding(MarchOf(i), kWarningTicks);
    if (ticks > 0 && (left == 0 || ticks < left)) left = ticks;
  }
  Alarm.SetVisible(left > 0 && (kWarningTicks - left) / kFlashTicks % 2 == 0);
  if (left > 0 && left % kAlarmEveryTicks == 0 && SfxOn != 0) {
    Aud5.Stop();
    Aud5.Play();
  }
}

// False when a bullet hit the cannon: the tick ends there.
bool Caco::BulletPass() {
  for (int j = 0; j <= Level.BullMax; ++j) {
    Image& bullet = *Bullet[j];
    if (BullY[j] > 0 && bullet.Visible() && BulletHitsCannon(BoxOf(bullet), BoxOf(Image8))) {
      BullY[j] = 0;
      bullet.SetVisible(false);
      bullet.SetTop(0);
      PlrDeath();
      return false;
    }
    if (BullY[j] == 0) continue;
    BullY[j] += kBulletFall * Level.BullSpeed;
    if (BullY[j] > kBulletGoneY) {
      BullY[j] = 0;
      bullet.SetVisible(false);
    } else {
      bullet.Move(BullX[j], BullY[j], bullet.Width(), bullet.Height());
      bullet.SetPicture(Image7.GetPicture());
      bullet.SetVisible(true);
    }
  }
  return true;
}

void Caco::ShotPass() {
  for (Image* shot : VarkBull) {
    if (shot->Top() == 0) continue;
    shot->SetTop(shot->Top() - kShotSpeed);
    if (shot->Top() < kShotGoneTop) {
      shot->SetTop(0);
      shot->SetVisible(false);
      continue;
    }
    shot->SetPicture(Image15.GetPicture());
    shot->SetVisible(true);
    HitFirstMonster(*shot);
  }
}

void Caco::HitFirstMonster(Image& shot) {
  for (int j = 0; j < kMonsterSlots; ++j) {
    Image& monster = *Image1[j];
    if (!monster.Visible() || !monster.Enabled()) continue;
    if (!ShotInsideMonster(shot.Left(), shot.Top(), monster.Left(), monster.Top())) continue;
    monster.SetEnabled(false);
    CacoFrame[j] = kDeathFrames - 1;
    shot.SetTop(0);
    shot.SetVisible(false);
    Play2();
    return;
  }
}

void Caco::Fire() {
  if (Timer1.Interval() == 0 || Pause.On()) return;
  for (int i = 0; i < Level.ShotMax; ++i) {
    Image& shot = *VarkBull[i];
    if (shot.Top() != 0) continue;
    shot.Move(Image8.Left() + kMuzzle, Image8.Top(), shot.Width(), shot.Height());
    shot.SetVisible(true);
    Play2();
    return;
  }
}

void Caco::FollowPointer(double x) { PlaceCannon(WholeTwips(x) - kPointerOffset); }

// The cannon stands still while play is paused.
void Caco::PlaceCannon(int left) {
  if (Pause.On()) return;
  Image8.SetLeft(left);
  if (Image8.Left() >= kCannonLimit) Image8.SetLeft(kCannonLimit - Image8.Width() - kCannonLimitMargin);
}

// The arrow keys, the D-pad and the stick move the cannon at about the pace a hand moves
// the mouse: across the field in a little over a second.
void Caco::SteerCannon() {
  double steer = SteerX();
  if (steer == 0) return;
  int left = Image8.Left() + static_cast<int>(std::lround(steer * kSteerTwipsPerTick));
  Image8.SetLeft(std::clamp(left, -kPointerOffset, kCannonLimit - Image8.Width() - kCannonLimitMargin));
}

void Caco::PlrDeath() {
  Timer1.SetInterval(0);
  Timer2.SetInterval(kDeathStepMs);
  Play2();
  p1.SetPicture(Image8.GetPicture());
  PlrFrame = 0;
}

void Caco::Timer2_Timer() {
  Image8.SetPicture(Die[PlrFrame]->GetPicture());
  ++PlrFrame;
  if (PlrFrame < kDeathFrames) return;
  --Lives;
  InitLiv();
  if (Lives == 0) {
    Timer2.SetInterval(0);
    GameOver2();
    return;
  }
  Image8.SetPicture(p1.GetPicture());
  Timer1.SetInterval(kTickMs);
  Timer2.SetInterval(0);
}

// ---------------------------------------------------------------- sound

void Caco::SetUpSound() {
  Aud1.SetFileName("Sfx\\caco_alert.wav");
  for (MediaPlayer* explosion : {&Aud2, &Aud3, &Aud4}) explosion->SetFileName("Sfx\\explosion3.wav");
  Mus.SetFileName("Sfx\\Track3.mid");
  Aud5.SetFileName("Sfx\\alarm.wav");
  mus1();
}

void Caco::Play1() {
  if (SfxOn != 0) Aud1.Play();
}

void Caco::Play2() {
  if (SfxOn == 0) return;
  int& SndRotor = CurrentRun().Get<ExplosionRotor>().SndRotor;
  SndRotor = (SndRotor + 1) % 3;
  MediaPlayer* explosions[] = {&Aud2, &Aud3, &Aud4};
  explosions[SndRotor]->Play();
}

void Caco::mus1() {
  if (SfxOn != 0) Mus.Play();
}

void Caco::MusPlay() { Mus.Play(); }

void Caco::MusStop() { Mus.Stop(); }

// The sound key is the M position whatever the layout types there ("ь" in the Russian
// one), so it toggles on the key itself; the typed character only repeats the music
// command and is cleared.
void Caco::Text1_KeyDown(int keyCode) {
  // P pauses play, not the exit question.
  if (!Picture4.Visible() && Pause.Key(keyCode)) return;
  // Space and Enter fire (a controller's A button and triggers arrive as them).
  if (keyCode == SDLK_SPACE || keyCode == SDLK_RETURN || keyCode == SDLK_KP_ENTER) {
    Fire();
    return;
  }
  // The mute key is a controller's Back button; held, it switches once.
  if ((keyCode != SDLK_m && keyCode != SDLK_AUDIOMUTE) || InputRouter::Get().KeyRepeated()) return;
  SfxOn = SfxOn == 0 ? 1 : 0;
  ApplySoundSwitch();
}

void Caco::Text1_Change() {
  ApplySoundSwitch();
  Text1.SetText("");
}

void Caco::ApplySoundSwitch() {
  if (SfxOn == 0) {
    MusStop();
  } else {
    MusPlay();
  }
}

}  // namespace vark
