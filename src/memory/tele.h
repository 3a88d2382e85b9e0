// The memory game "ТЕЛЕПОРТЕРЫ": pairs of pictures on a board of 6 x 4 tiles, found two
// at a time against a shrinking time bar, level after level until the time runs out or
// the player leaves. P or a controller's Start pauses. The highest level reached, and the
// playing time it took, go into the profile record.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "memory/memory_rules.h"
#include "platform/forms/btnenh.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/pause_switch.h"

namespace vark {

class Tele : public Form {
 public:
  Tele();

  void Form_Load() override;
  // P and a controller's Start pause and let play go on.
  void Form_KeyDown(int keyCode, int shift) override;
  // A round against the clock, unless the exit question is open or play is paused.
  Activity CurrentActivity() const override {
    return Picture2.Visible() || Pause.On() ? Activity::Idle : Activity::Round;
  }

  // A new game: the first level's deal, the music, the tiles' home places.
  void Initial();
  // Deals the level `Lvl` and fills the time bar.
  void InitMaps();
  // Puts every tile back at its home place (sizes stay as they are).
  void RestoreImg();

  // The turn.
  void Image1_Click(int index);
  void OpenImg(int index);
  void Analyze();
  void CloseImg(int index);
  void ViewStats();

  // Shrinks the tiles in `Opened` away towards their centres and hides them.
  void BanishImg();

  // Sound: music, the flip sound on three channels in turn, the game-over sound.
  void Play1();
  void Play2();
  void Play3();
  void Pl1();
  void Pl2();
  void Pl3();

  void ChangeLevel();
  void GameOver();
  void ExitGame();

  void Command1_Click();
  void BtnEnh6_Click();
  void BtnEnh7_Click();
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  void Timer4_Timer();
  void Timer5_Timer();
  void Timer6_Timer();

  // Game state.
  memory::Board Map{};                // picture of every cell, 0 = empty cell
  std::array<int, 2> Opened{-1, -1};  // tiles turned up in this turn
  int OpenCount = 0;
  int Busy = 0;       // 1 blocks tile clicks and stops the time bar
  int Pairs = 0;      // the board holds Pairs + 1 pairs
  int Lvl = 0;        // level index; the board shows Lvl + 1
  int PairsLeft = 0;  // pairs still to find minus one
  std::array<int, memory::kCells> TileTop{};
  std::array<int, memory::kCells> TileLeft{};
  int SndNext = 0;  // flip-sound channel that plays next
  bool EffectsOff = false;
  // The playing time: the game's start, the time the exit question was open, and the
  // seconds played when the highest level so far was reached.
  uint64_t GameStartMs = 0;
  uint64_t HeldAtStartMs = 0;
  uint64_t QuestionMs = 0;
  uint64_t QuestionOpenedMs = 0;
  int ReachedSeconds = 0;

  // Controls, back to front.
  Image& Image2 = AddImage("Image2", {0, 0, 9735, 7335});  // the mountain backdrop
  // Captions and numbers down the left: level, pairs found, the time bar.
  BtnEnh& BtnEnh1 = AddButton("BtnEnh1", {120, 120, 1215, 375}, "УРОВЕНЬ");
  Label& Label1 = AddLabel("Label1", {120, 480, 1215, 375});
  BtnEnh& BtnEnh2 = AddButton("BtnEnh2", {120, 1080, 1215, 375}, "ОТКРЫТО");
  Label& Label2 = AddLabel("Label2", {120, 1440, 1215, 375});
  BtnEnh& BtnEnh3 = AddButton("BtnEnh3", {240, 2040, 975, 375}, "ТАЙМЕР");
  Image& Image3 = AddImage("Image3", {480, 2520, 495, 4215});  // the time bar, inverting what it covers
  // The frame lies over the bar so that it stays green where the bar inverts what is beneath.
  Shape& Shape1 = Add<Shape>("Shape1", {480, 2520, 495, 4215});
  std::vector<Image*> Image1 = AddTiles();  // the 24 tiles
  // The level panel, also the game-over panel.
  PictureBox& Picture1 = AddPictureBox("Picture1", {3360, 2400, 4095, 1695});
  Image& Image4 = AddImage("Image4", {0, 0, 4095, 1695}, &Picture1);
  BtnEnh& BtnEnh4 = AddButton("BtnEnh4", {480, 240, 3135, 1095}, "УРОВЕНЬ 1", &Picture1);
  // The exit question.
  PictureBox& Picture2 = AddPictureBox("Picture2", {3000, 2400, 4695, 2295});
  Image& Image5 = AddImage("Image5", {0, 0, 4695, 2295}, &Picture2);
  BtnEnh& BtnEnh5 = AddButton("BtnEnh5", {0, 120, 4695, 1215}, "ВЫЙТИ ИЗ ИГРЫ ?", &Picture2);
  BtnEnh& BtnEnh6 = AddButton("BtnEnh6", {840, 1440, 1335, 615}, "ДА", &Picture2);
  BtnEnh& BtnEnh7 = AddButton("BtnEnh7", {2520, 1440, 1335, 615}, "НЕТ", &Picture2);
  CommandButton& Command1 = Add<CommandButton>("Command1", {1440, -1000, 255, 255});  // Escape: the exit question
  // The pause's banner, in front of the board.
  BtnEnh& PauseBanner = AddButton("PauseBanner", {3360, 2400, 4095, 1695}, "ПАУЗА");
  PauseSwitch Pause{*this, PauseBanner};

  // MP1 the music; MP2, MP4 and MP5 the flip sound in turn; MP3 the game-over sound.
  MediaPlayer& MP1 = AddMedia("MP1");
  MediaPlayer& MP2 = AddMedia("MP2");
  MediaPlayer& MP3 = AddMedia("MP3");
  MediaPlayer& MP4 = AddMedia("MP4");
  MediaPlayer& MP5 = AddMedia("MP5");

  // Timer1 turns a wrong pair back; Timer2 removes a found pair; Timer3 shrinks the time
  // bar; Timer4 ends the level panel; Timer5 leaves after the game-over panel; Timer6
  // starts the game.
  Timer& Timer1 = AddTimer("Timer1", 0, [this] { Timer1_Timer(); });
  Timer& Timer2 = AddTimer("Timer2", 0, [this] { Timer2_Timer(); });
  Timer& Timer3 = AddTimer("Timer3", 1000, [this] { Timer3_Timer(); });
  Timer& Timer4 = AddTimer("Timer4", 0, [this] { Timer4_Timer(); });
  Timer& Timer5 = AddTimer("Timer5", 0, [this] { Timer5_Timer(); });
  Timer& Timer6 = AddTimer("Timer6", 0, [this] { Timer6_Timer(); });

 private:
  std::vector<Image*> AddTiles();
  void StyleControls();
  bool EffectsOn() const { return !EffectsOff; }
  // Half a flip: squeezes the tile to a line (direction 1) or opens it out (-1).
  void FlipHalf(int index, int direction);
  void FlipTo(int index, const std::string& pictureName);
  void TakeNewTurn();
  // Lets play go on after a pause, unless the exit question is still open.
  void Resume();
  // Seconds played since the game started, without pauses, time away and the exit question.
  int PlayedSeconds() const;
};

}  // namespace vark
