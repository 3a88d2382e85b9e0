// The quiz form played through the test driver.
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "episodes/form3.h"
#include "platform/base/random.h"
#include "quiz/quest.h"
#include "quiz_test_files.h"

namespace vark {
namespace {

using quiztest::FileBytes;
using quiztest::Records;
using quiztest::WithEnd;

constexpr const char* kLost = "ТЕБЕ НЕ УДАЛОСЬ ДОСТИЧЬ ЗВАНИЯ ВАРКЕРА! ЗНАЙ СВОЙ VARK!";
constexpr const char* kWon = "СВОИМИ ЗНАНИЯМИ ТЫ ДОКАЗАЛ, ЧТО ДОСТОИН ЗВАТЬСЯ ВАРКЕРОМ!";
constexpr const char* kDamaged = "ФАЙЛ ВОПРОСОВ ПОВРЕЖДЁН ИЛИ ОТСУТСТВУЕТ.";

class QuizGame : public ::testing::Test {
 protected:
  void SetUp() override {
    Randomize(7);
    dir.WritePicture("Enterin.jpg", 640, 480, 20, 40, 120);
    dir.WritePicture("Stone.jpg", 64, 64, 90, 80, 70);
    dir.WritePicture("Res/Passed.png", 32, 32, 0, 200, 0);
    dir.WritePicture("Res/Current.png", 32, 32, 250, 250, 0);
    for (const char* monster : {"Imp", "Demon", "Skelet", "Pain", "Vile", "Cyber"}) {
      dir.WritePicture(std::string("Gfx/") + monster + ".dat", 40, 40, 200, 0, 200);
    }
  }

  void WriteQuestions(int count) { dir.Write("Quest.dat", FileBytes(WithEnd(Records(count)))); }

  Quest& Start() {
    Forms::Show<Quest>();
    return Forms::Get<Quest>();
  }

  Label& Answer(Quest& q, int p) { return d.Find<Label>(q, "Label3", p); }
  // Records are written so that record n's right answer is at position n % 4.
  int RightPosition(Quest& q) { return q.CurrentQuestion % 4; }
  void AnswerRight(Quest& q) { d.Click(Answer(q, RightPosition(q))); }
  void AnswerWrong(Quest& q) { d.Click(Answer(q, (RightPosition(q) + 1) % 4)); }
  bool Shows(const Image& image, const char* file) { return image.GetPicture() == Picture::Load(file); }
  static Rect Box(const Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }

  // From a level's set-up to its question: blinks, then the question panel.
  void WaitForQuestion(Quest& q) {
    d.Advance(q.Level == 1 ? 6000 : 3000);
    ASSERT_TRUE(q.Picture1.Visible());
  }

  Driver d;
  TempFolder dir;
};

TEST_F(QuizGame, FirstLevelBlinksTenTimesAndARightAnswerLeadsOn) {
  WriteQuestions(10);
  dir.WritePicture("Gfx/Impd1.dat", 40, 40, 1, 1, 1);
  dir.WritePicture("Gfx/Impd3.dat", 40, 40, 3, 3, 3);
  Quest& q = Start();
  EXPECT_FALSE(Forms::IsLoaded<Form3>());
  EXPECT_EQ(q.Label1.Caption(), "POWER STATION");
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Imp.dat"));
  EXPECT_EQ(q.Pointer[0]->GetPicture(), q.Ico2.GetPicture());
  EXPECT_TRUE(q.Pointer[0]->Visible());
  d.Advance(600);
  EXPECT_FALSE(q.Pointer[0]->Visible());
  d.Advance(5399);
  EXPECT_FALSE(q.Picture1.Visible());
  d.Advance(1);
  EXPECT_TRUE(q.Picture1.Visible());
  EXPECT_FALSE(q.Pointer[0]->Visible());
  EXPECT_EQ(q.Label2.Caption(), "Вопрос " + std::to_string(q.CurrentQuestion));
  EXPECT_EQ(Answer(q, 2).Caption(), "Ответ " + std::to_string(q.CurrentQuestion) + ".3");

  AnswerRight(q);
  AnswerWrong(q);  // once judged, the answers wait for the next question
  EXPECT_EQ(d.Sound().Plays("Sfx/Shoot.wav"), 1);
  EXPECT_EQ(d.Sound().Plays("Sfx/Arrgh.wav"), 0);
  d.Advance(150);
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Impd1.dat"));
  d.Advance(150);
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Impd3.dat"));
  d.Advance(149);
  EXPECT_EQ(q.Level, 1);
  d.Advance(1);
  EXPECT_EQ(q.Label1.Caption(), "CONTROL CENTER");
  EXPECT_FALSE(q.Picture1.Visible());
  EXPECT_EQ(q.Pointer[0]->GetPicture(), q.Ico1.GetPicture());
  EXPECT_EQ(q.Pointer[1]->GetPicture(), q.Ico2.GetPicture());
  d.Advance(2999);
  EXPECT_FALSE(q.Picture1.Visible());
  d.Advance(1);
  EXPECT_TRUE(q.Picture1.Visible());
  EXPECT_TRUE(q.Pointer[0]->Visible());
  EXPECT_FALSE(q.Pointer[1]->Visible());

  // The Demon has no death frames: the next level follows 150 ms after the click.
  AnswerRight(q);
  d.Advance(149);
  EXPECT_EQ(q.Level, 2);
  d.Advance(1);
  EXPECT_EQ(q.Level, 3);
}

TEST_F(QuizGame, WrongAnswerShowsTheMonsterThenTheLostScreenThenTheExit) {
  WriteQuestions(10);
  dir.WritePicture("Gfx/Impf.dat", 40, 40, 5, 5, 5);
  Quest& q = Start();
  WaitForQuestion(q);
  AnswerWrong(q);
  AnswerRight(q);  // too late: judged already
  EXPECT_EQ(d.Sound().Plays("Sfx/Arrgh.wav"), 1);
  EXPECT_EQ(d.Sound().Plays("Sfx/Shoot.wav"), 0);
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Impf.dat"));
  d.Advance(999);
  EXPECT_FALSE(q.Picture3.Visible());
  d.Advance(1);
  EXPECT_TRUE(q.Picture3.Visible());
  EXPECT_EQ(q.Label4.Caption(), kLost);
  d.Advance(1999);
  EXPECT_FALSE(q.Picture4.Visible());
  d.Advance(1);
  EXPECT_TRUE(q.Picture4.IsShown());
  EXPECT_EQ(q.Level, 1);
  EXPECT_EQ(q.BtnEnh2.Caption(), "ВЫХОД");
  d.Click(q.BtnEnh2);
  EXPECT_TRUE(Forms::Get<Form3>().Visible());
  EXPECT_FALSE(Forms::IsLoaded<Quest>());
}

TEST_F(QuizGame, SevenRightAnswersAskEveryRecordOnceAndWin) {
  WriteQuestions(7);
  dir.WritePicture("Gfx/Impd2.dat", 40, 40, 2, 2, 2);
  dir.WritePicture("Gfx/ios.dat", 300, 200, 9, 9, 9);
  Quest& q = Start();
  for (int level = 1; level < kQuizLevels; ++level) {
    WaitForQuestion(q);
    AnswerRight(q);
    d.Advance(450);
  }
  WaitForQuestion(q);
  EXPECT_EQ(q.Label1.Caption(), "ICON OF SIN");
  EXPECT_EQ(std::set<int>(q.AskedQuestions.begin(), q.AskedQuestions.end()), (std::set<int>{0, 1, 2, 3, 4, 5, 6}));

  // The boss above a narrower, lower panel with larger texts and no monster beside them.
  EXPECT_TRUE(Shows(q.Image4, "Gfx\\ios.dat"));
  EXPECT_EQ(Box(q.Image4), (Rect{0, 0, 300 * 15, 200 * 15}));
  EXPECT_TRUE(q.Picture2.Visible());
  EXPECT_FALSE(q.Image2.Visible());
  EXPECT_EQ(Box(q.Picture1), (Rect{1670, 4530, 6955, 2655}));
  EXPECT_EQ(Box(q.Label2), (Rect{820, 240, 5995, 735}));
  EXPECT_EQ(q.Label2.Font().sizePt, 13);
  EXPECT_EQ(Box(Answer(q, 3)), (Rect{1120, 2160, 4575, 375}));
  EXPECT_EQ(Answer(q, 0).Font().sizePt, 11);

  AnswerRight(q);
  d.Advance(150);
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Impd2.dat"));
  d.Advance(150 + 999);
  EXPECT_FALSE(q.Picture3.Visible());
  d.Advance(1);
  EXPECT_EQ(q.Label4.Caption(), kWon);
  EXPECT_TRUE(q.Picture3.Visible());
  d.Advance(2000);
  EXPECT_TRUE(q.Picture4.IsShown());
}

TEST_F(QuizGame, QuestionsComeFromTheOneGeneratorWithoutReseeding) {
  WriteQuestions(20);
  Randomize(99);
  int first = RndInt(20);
  int second = RndInt(20);
  while (second == first) second = RndInt(20);
  Randomize(99);
  Quest& q = Start();
  WaitForQuestion(q);
  EXPECT_EQ(q.CurrentQuestion, first);
  AnswerRight(q);
  d.Advance(150);
  WaitForQuestion(q);
  EXPECT_EQ(q.CurrentQuestion, second);
}

TEST_F(QuizGame, UnusableQuestionFileShowsTheExitAtOnce) {
  const std::vector<std::pair<const char*, std::optional<std::string>>> files{
      {"missing", std::nullopt},
      {"six records", FileBytes(WithEnd(Records(6)))},
      {"cut before its end, three records", FileBytes(Records(3))},
      {"cut before its end, seven records", FileBytes(Records(7))},
      {"empty", ""},
  };
  for (const auto& [what, bytes] : files) {
    std::filesystem::remove(dir.Path() / "Quest.dat");
    if (bytes) dir.Write("Quest.dat", *bytes);
    testing::internal::CaptureStderr();
    Quest& q = Start();
    std::string err = testing::internal::GetCapturedStderr();
    // A file cut before its end is damaged, whatever number of records it held.
    bool cut = std::string_view(what).starts_with("cut") || std::string_view(what) == "empty";
    EXPECT_EQ(err.find("usable questions") == std::string::npos, cut) << what << ": " << err;
    EXPECT_TRUE(q.Picture4.IsShown()) << what;
    EXPECT_EQ(q.Label4.Caption(), kDamaged) << what;
    EXPECT_EQ(q.Level, 0) << what;
    d.Click(q.BtnEnh2);
    EXPECT_FALSE(Forms::IsLoaded<Quest>()) << what;
    Forms::CollectGarbage();
  }
}

TEST_F(QuizGame, HoverPaintsOneAnswerRedAndTheRestGreen) {
  WriteQuestions(10);
  Quest& q = Start();
  WaitForQuestion(q);
  d.MoveOver(Answer(q, 2));
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(Answer(q, p).ForeColor(), p == 2 ? RGB(255, 0, 0) : RGB(0, 255, 0)) << p;
  }
  d.MoveOver(q.Image2);
  EXPECT_EQ(Answer(q, 2).ForeColor(), RGB(0, 255, 0));
  d.MoveOver(Answer(q, 1));
  d.MoveTo(95, 158);  // the panel's stone, clear of the monster and the texts
  EXPECT_EQ(Answer(q, 1).ForeColor(), RGB(0, 255, 0));
}

TEST_F(QuizGame, MusicIsAskedToPlayEveryHalfSecond) {
  WriteQuestions(10);
  Quest& q = Start();
  d.Advance(499);
  EXPECT_EQ(d.Sound().Plays("Sfx/Track4.mid"), 0);
  d.Advance(501);
  EXPECT_EQ(d.Sound().Plays("Sfx/Track4.mid"), 1);  // still playing at the second request
  d.Sound().Finish(q.MP4.Channel());
  d.Advance(500);
  EXPECT_EQ(d.Sound().Plays("Sfx/Track4.mid"), 2);
}

TEST_F(QuizGame, PictureOfTheMapWithMarkersAndThePanel) {
  WriteQuestions(10);
  Quest& q = Start();
  WaitForQuestion(q);
  AnswerRight(q);
  d.Advance(150);
  WaitForQuestion(q);
  ASSERT_TRUE(d.SaveScreen((dir.Path() / "quiz_level2.png").string()));
  EXPECT_EQ(d.Pixel(5, 5), 0x142878u);                         // the map
  EXPECT_EQ(d.Pixel(352 + 16, 400 + 16), 0x00C800u);           // the passed marker of level 1
  EXPECT_EQ(d.Pixel(280 + 16, 336 + 16), 0x142878u);           // the current marker hides while asking
  EXPECT_EQ(d.Pixel(90, 154), 0x5A5046u);                      // the panel's stone
  EXPECT_EQ(d.Pixel(88 + 24 + 50, 152 + 24 + 50), 0xC800C8u);  // the monster
}

}  // namespace
}  // namespace vark
