// The shooter "АТАКА КАКОДЕМОНОВ": a cannon at the bottom follows the mouse and fires
// upward at up to eleven monsters that march sideways, step down at the walls and drop
// bullets. Clearing a level starts a harder one; a bullet on the cannon costs a life; a
// monster reaching the bottom ends the game, and the last seconds before that are warned
// of. P or a controller's Start pauses. The score goes into the profile record.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/forms/btnenh.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/pause_switch.h"
#include "shooter/shooter_rules.h"

namespace vark {

class Caco : public Form {
 public:
  Caco();
  void Form_Load() override;
  // A round steered with the pointer, unless the exit question is open or play is paused.
  Activity CurrentActivity() const override;

  // Start-up and level flow.
  void Initial();
  void GetSet();
  void PutSet();
  void AddLev();
  void InitLiv();
  void InitScore();
  void EndLevel();
  void GameOver();
  void GameOver2();

  // Play.
  void RunGame();
  void Fire();
  void PlrDeath();
  // The warning before the monsters' descent loses the level: the status bar flashes and
  // the alarm sounds, from kWarningTicks ticks before the losing tick.
  void WarnOfLanding();

  // Sound.
  void Play1();
  void Play2();
  void mus1();
  void MusPlay();
  void MusStop();

  // Handlers.
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  void Timer4_Timer();
  void Timer5_Timer();
  void Timer6_Timer();
  void Timer7_Timer();
  void Timer8_Timer();
  void Timer9_Timer();
  void Text1_Change();
  void Text1_KeyDown(int keyCode);
  void ApplySoundSwitch();
  void Command1_Click();
  void BtnEnh6_Click();
  void BtnEnh7_Click();

  // Game state.
  int Lev = 0;
  int Lives = 10;
  int Score = 0;
  int SfxOn = 1;
  int PlrFrame = 0;
  LevelParams Level;
  std::array<int, shooter::kMonsterSlots> HomeTop{}, HomeLeft{}, CacoDx{}, CacoDrop{}, CacoNextDx{}, CacoFrame{};
  std::array<int, shooter::kBulletSlots> BullY{}, BullX{};

  // Ticks of play run so far (for measuring the tick rate).
  uint64_t TicksRun = 0;

  // Design; later controls lie in front.
  Image& Image14 = AddImage("Image14", {0, 0, 9600, 6720});  // the mountain backdrop
  // Hidden pictures the play copies from.
  Image& Image2 = AddTemplate("Image2");             // a monster
  Image& Image3 = AddTemplate("Image3");             // a monster as it fires
  std::vector<Image*> Die = AddTemplates("Die", 3);  // the death frames (monster and cannon)
  Image& Image15 = AddTemplate("Image15");           // the cannon's shot
  Image& Image7 = AddTemplate("Image7");             // a monster's bullet
  Image& p1 = AddTemplate("p1");                     // the cannon's picture, kept while it dies
  // The monsters, the cannon's shots, the monsters' bullets and the cannon.
  std::vector<Image*> Image1 = AddSprites("Image1", shooter::kMonsterSlots, shooter::kMonsterBox, HomeBox);
  std::vector<Image*> VarkBull = AddSprites("VarkBull", shooter::kShotSlots, shooter::kShotBox, nullptr);
  std::vector<Image*> Bullet = AddSprites("Bullet", shooter::kBulletSlots, 240, nullptr);
  Image& Image8 = AddImage("Image8", {2760, 5760, 735, 750});

  // The status bar: lives, level and score.
  PictureBox& Picture1 = AddPictureBox("Picture1", {0, 6360, 9615, 855});
  Image& Image16 = AddImage("Image16", {0, 0, 10000, 855}, &Picture1);  // its stone
  Shape& Alarm = Add<Shape>("Alarm", {0, 0, 10000, 855}, &Picture1);    // the warning's flash
  std::vector<Image*> Image9 = AddLifeIcons();                          // one icon per life
  BtnEnh& BtnEnh1 = AddButton("BtnEnh1", {3960, 240, 1575, 375}, "Уровень:", &Picture1);
  Label& lvl = AddLabel("lvl", {5400, 240, 975, 375}, &Picture1);
  BtnEnh& BtnEnh2 = AddButton("BtnEnh2", {6480, 240, 1095, 375}, "Счёт:", &Picture1);
  Label& Scor = AddLabel("Scor", {7440, 240, 975, 375}, &Picture1);

  // The level panel: a monster goes up in smoke before the next level.
  PictureBox& Picture2 = AddPictureBox("Picture2", {1800, 2400, 5775, 1575});
  Image& Image17 = AddImage("Image17", {0, 0, 5775, 1575}, &Picture2);    // its stone
  Image& Image10 = AddImage("Image10", {360, 360, 855, 855}, &Picture2);  // the monster, then the smoke
  BtnEnh& BtnEnh4 = AddButton("BtnEnh4", {1920, 240, 3015, 1095}, "уровень ", &Picture2);
  Image& Image11 = AddImage("Image11", {0, 0, 720, 720}, &Picture2);  // hidden: the three smoke frames
  Image& Image12 = AddImage("Image12", {0, 0, 720, 720}, &Picture2);
  Image& Image13 = AddImage("Image13", {0, 0, 720, 720}, &Picture2);

  // The game-over panel.
  PictureBox& Picture3 = AddPictureBox("Picture3", {1800, 1920, 5775, 1575});
  Image& Image22 = AddImage("Image22", {0, 0, 5775, 1575}, &Picture3);  // its stone
  BtnEnh& BtnEnh3 = AddButton("BtnEnh3", {360, 120, 5175, 1335}, "ИГРА ОКОНЧЕНА!", &Picture3);

  // The exit question.
  PictureBox& Picture4 = AddPictureBox("Picture4", {1800, 1920, 5775, 2655});
  Image& Image18 = AddImage("Image18", {0, -120, 5775, 2775}, &Picture4);  // its stone
  BtnEnh& BtnEnh5 = AddButton("BtnEnh5", {360, 120, 5175, 1335}, "ВЫХОД?", &Picture4);
  BtnEnh& BtnEnh6 = AddButton("BtnEnh6", {960, 1680, 1815, 735}, "ДА", &Picture4);
  BtnEnh& BtnEnh7 = AddButton("BtnEnh7", {3000, 1680, 1815, 735}, "НЕТ", &Picture4);

  // The pause's banner, in front of everything.
  BtnEnh& PauseBanner = AddButton("PauseBanner", {1800, 2400, 5775, 1575}, "ПАУЗА");
  PauseSwitch Pause{*this, PauseBanner};

  TextBox& Text1 = Add<TextBox>("Text1", {4320, -3480, 975, 375});  // off screen: takes the sound key M
  CommandButton& Command1 = Add<CommandButton>("Command1", {5160, 7320, 1215, 495});  // Escape: the exit question

  // Timer1 runs play; Timer2 the cannon's death; Timer3 to Timer7 the level panel's steps;
  // Timer8 returns to the episode screen; Timer9 runs the start a second time.
  Timer& Timer1 = AddTimer("Timer1", shooter::kTickMs, [this] { Timer1_Timer(); });
  Timer& Timer2 = AddTimer("Timer2", 0, [this] { Timer2_Timer(); });
  Timer& Timer3 = AddTimer("Timer3", 0, [this] { Timer3_Timer(); });
  Timer& Timer4 = AddTimer("Timer4", 0, [this] { Timer4_Timer(); });
  Timer& Timer5 = AddTimer("Timer5", 0, [this] { Timer5_Timer(); });
  Timer& Timer6 = AddTimer("Timer6", 0, [this] { Timer6_Timer(); });
  Timer& Timer7 = AddTimer("Timer7", 0, [this] { Timer7_Timer(); });
  Timer& Timer8 = AddTimer("Timer8", 0, [this] { Timer8_Timer(); });
  Timer& Timer9 = AddTimer("Timer9", 0, [this] { Timer9_Timer(); });

  MediaPlayer& Aud1 = AddMedia("Aud1");
  MediaPlayer& Aud2 = AddMedia("Aud2");
  MediaPlayer& Aud3 = AddMedia("Aud3");
  MediaPlayer& Aud4 = AddMedia("Aud4");
  MediaPlayer& Mus = AddMedia("Mus");
  MediaPlayer& Aud5 = AddMedia("Aud5");  // the warning's alarm

 private:
  static Rect HomeBox(int slot);
  Image& AddTemplate(const std::string& name, int index = -1);
  std::vector<Image*> AddTemplates(const std::string& name, int count);
  std::vector<Image*> AddSprites(const std::string& name, int count, int size, Rect (*place)(int));
  std::vector<Image*> AddLifeIcons();

  void LoadDesignPictures();
  void SetUpLooks();
  void WireMouse();
  void StyleButtons();
  void LoadBackdrops();
  void SetUpSound();

  bool Playing() const;
  bool MonsterPass();
  void TryFire(int slot);
  bool MoveMonster(int slot);
  MonsterMarch MarchOf(int slot) const;
  bool BulletPass();
  void ShotPass();
  void HitFirstMonster(Image& shot);
  void FollowPointer(double x);
  void PlaceCannon(int left);
  void SteerCannon();
  void RestorePointer();
  void ShowPointerNow();
};

}  // namespace vark
