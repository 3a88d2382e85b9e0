// The quiz: seven places on a map, each guarded by a monster. Every place asks one
// question with four answers; a right answer kills the monster and leads on, a wrong one
// ends the game. Seven right answers win. Started from the episode screen and returning
// there through the end panel's exit button; the right answers go into the profile record.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/btnenh.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "quiz/quiz_data.h"

namespace vark {

class Quest : public Form {
 public:
  Quest();

  void Form_Load() override;

  void AddLevel();
  void StartLevel();
  void AllClr();
  void ImageDeath();
  void ImageWin();
  void WinGame();
  void ExitToMenu();
  void Play1();
  void Play2();
  void Play4();

  void Label3_Click(int index);
  void Label3_MouseMove(int index);
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  void Timer4_Timer();
  void Timer5_Timer();
  void Timer6_Timer();

  // State of the game.
  int Level = 0;
  int BlinkCount = 0;
  std::string PlaceName;
  std::string MonsterName;
  QuizData Quiz;
  int CurrentQuestion = 0;
  std::vector<int> AskedQuestions;  // records asked in this game, in order
  int FrameIndex = 0;
  std::vector<std::string> Frames;
  // An answer was judged; the answers wait for the next question.
  bool AnswerJudged = false;
  // Right answers in this game, and whether any answer was judged at all.
  int RightAnswers = 0;
  bool Answered = false;

  // Controls, back to front.
  Image& Image1 = AddImage("Image1", {0, 0, 9600, 7200});      // the map
  Label& Label1 = AddLabel("Label1", {4995, 600, 1000, 555});  // the place's name
  std::vector<Image*> Pointer = AddMarkers();                  // one marker per place on the map
  Image& Ico1 = AddImage("Ico1", {0, 0, 480, 480});            // hidden: the marker of a place passed
  Image& Ico2 = AddImage("Ico2", {0, 0, 480, 480});            // hidden: the marker of the place now
  // The question panel: its stone, the monster, the question and the four answers.
  PictureBox& Picture1 = AddPictureBox("Picture1", {1320, 2280, 7455, 2655});
  Image& Image3 = AddImage("Image3", {0, 0, 7455, 2655}, &Picture1);
  Image& Image2 = AddImage("Image2", {360, 360, 1680, 2040}, &Picture1);
  // A translucent dark band behind the question and the answers, so that the small green
  // texts stand out from the stone.
  Image& TextShade = AddImage("TextShade", {2400, 120, 4935, 2415}, &Picture1);
  Label& Label2 = AddLabel("Label2", {2520, 240, 4695, 735}, &Picture1);
  std::vector<Label*> Label3 = AddAnswers();
  // The last level's picture above the question panel.
  PictureBox& Picture2 = AddPictureBox("Picture2", {930, 600, 8270, 3735});
  Image& Image4 = AddImage("Image4", {0, 0, 8270, 3735}, &Picture2);
  // The end screen (won, lost or a damaged question file) with its panel and exit button.
  PictureBox& Picture3 = AddPictureBox("Picture3", {0, 0, 9975, 7455});
  Image& Image5 = AddImage("Image5", {0, 0, 9975, 7215}, &Picture3);
  PictureBox& Picture4 = AddPictureBox("Picture4", {1800, 2040, 6135, 2295}, &Picture3);
  Image& Image6 = AddImage("Image6", {0, 0, 6135, 2295}, &Picture4);
  Label& Label4 = AddLabel("Label4", {120, 120, 5895, 1455}, &Picture4);
  BtnEnh& BtnEnh2 = AddButton("BtnEnh2", {2040, 1680, 1455, 495}, "ВЫХОД", &Picture4);

  // Timer1 blinks the marker; Timer2 plays the monster's death; Timer3 keeps the music
  // going; Timer4 and Timer5 show the lost and the won end screen; Timer6 its panel.
  Timer& Timer1 = AddTimer("Timer1", 0, [this] { Timer1_Timer(); });
  Timer& Timer2 = AddTimer("Timer2", 0, [this] { Timer2_Timer(); });
  Timer& Timer3 = AddTimer("Timer3", 500, [this] { Timer3_Timer(); });
  Timer& Timer4 = AddTimer("Timer4", 0, [this] { Timer4_Timer(); });
  Timer& Timer5 = AddTimer("Timer5", 0, [this] { Timer5_Timer(); });
  Timer& Timer6 = AddTimer("Timer6", 0, [this] { Timer6_Timer(); });

  MediaPlayer& MP1 = AddMedia("MP1");
  MediaPlayer& MP2 = AddMedia("MP2");
  MediaPlayer& MP4 = AddMedia("MP4");

 private:
  std::vector<Image*> AddMarkers();
  std::vector<Label*> AddAnswers();
  void StyleTexts();
  void WireMouse();
  void DrawQuestion();
  void ShowQuestion();
  void RearrangeForLastLevel();
  void CentrePlaceName();
  void FitTextShade();
  void ShowEndScreen(const std::string& picture, const std::string& message);
  void ShowDamagedDataScreen();
};

// Where the marker pictures the quiz holds by design live in the data folder.
namespace res {
inline constexpr const char* kPassed = "Res\\Passed.png";
inline constexpr const char* kCurrent = "Res\\Current.png";
}  // namespace res

}  // namespace vark
