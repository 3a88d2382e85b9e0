// The quiz form played through the test driver.
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "episodes/form3.h"
#include "platform/random.h"
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
    Picture::ClearCache();
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

  // From a level's set-up to its question: blinks, then the question panel.
  void WaitForQuestion(Quest& q) {
    d.Advance(q.Level == 1 ? 6000 : 3000);
    ASSERT_TRUE(q.Picture1.Visible());
  }

  Driver d;
  TempFolder dir;
};

TEST_F(QuizGame, FirstMarkerBlinksTenTimesThenTheQuestionShows) {
  WriteQuestions(10);
  Quest& q = Start();
  EXPECT_FALSE(Forms::IsLoaded<Form3>());
  EXPECT_EQ(q.Level, 1);
  EXPECT_EQ(q.Label1.Caption(), "POWER STATION");
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Imp.dat"));
  EXPECT_TRUE(q.Pointer[0]->Visible());
  EXPECT_EQ(q.Pointer[0]->GetPicture(), q.Ico2.GetPicture());
  EXPECT_EQ(q.Pointer[0]->Width(), 32 * 15);
  for (int i = 1; i < kQuizLevels; ++i) EXPECT_FALSE(q.Pointer[i]->Visible());

  d.Advance(600);
  EXPECT_FALSE(q.Pointer[0]->Visible());
  d.Advance(600);
  EXPECT_TRUE(q.Pointer[0]->Visible());
  d.Advance(4799);
  EXPECT_FALSE(q.Picture1.Visible());
  d.Advance(1);
  EXPECT_TRUE(q.Picture1.Visible());
  EXPECT_FALSE(q.Pointer[0]->Visible());
  EXPECT_EQ(q.Label2.Caption(), "Вопрос " + std::to_string(q.CurrentQuestion));
  EXPECT_EQ(Answer(q, 2).Caption(), "Ответ " + std::to_string(q.CurrentQuestion) + ".3");
}

TEST_F(QuizGame, RightAnswerPlaysExistingFramesThenTheNextLevelBlinksFiveTimes) {
  WriteQuestions(10);
  dir.WritePicture("Gfx/Impd1.dat", 40, 40, 1, 1, 1);
  dir.WritePicture("Gfx/Impd3.dat", 40, 40, 3, 3, 3);
  Quest& q = Start();
  WaitForQuestion(q);
  AnswerRight(q);
  EXPECT_EQ(d.Sound().Plays("Sfx/Shoot.wav"), 1);
  d.Advance(150);
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Impd1.dat"));
  d.Advance(150);
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Impd3.dat"));
  EXPECT_EQ(q.Level, 1);
  d.Advance(150);
  EXPECT_EQ(q.Level, 2);
  EXPECT_FALSE(q.Picture1.Visible());
  EXPECT_EQ(q.Label1.Caption(), "CONTROL CENTER");
  EXPECT_EQ(q.Pointer[0]->GetPicture(), q.Ico1.GetPicture());
  EXPECT_TRUE(q.Pointer[0]->Visible());
  EXPECT_EQ(q.Pointer[1]->GetPicture(), q.Ico2.GetPicture());
  EXPECT_EQ(q.BlinkCount, 5);
  d.Advance(2999);
  EXPECT_FALSE(q.Picture1.Visible());
  d.Advance(1);
  EXPECT_TRUE(q.Picture1.Visible());
  EXPECT_TRUE(q.Pointer[0]->Visible());
  EXPECT_FALSE(q.Pointer[1]->Visible());
}

TEST_F(QuizGame, MonsterWithoutFramesPassesOnAfter150Ms) {
  WriteQuestions(10);
  Quest& q = Start();
  WaitForQuestion(q);
  AnswerRight(q);
  d.Advance(149);
  EXPECT_EQ(q.Level, 1);
  d.Advance(1);
  EXPECT_EQ(q.Level, 2);
}

TEST_F(QuizGame, WrongAnswerShowsTheMonsterThenTheLostScreenThenTheExit) {
  WriteQuestions(10);
  dir.WritePicture("Gfx/Impf.dat", 40, 40, 5, 5, 5);
  Quest& q = Start();
  WaitForQuestion(q);
  AnswerWrong(q);
  EXPECT_EQ(d.Sound().Plays("Sfx/Arrgh.wav"), 1);
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Impf.dat"));
  d.Advance(999);
  EXPECT_FALSE(q.Picture3.Visible());
  d.Advance(1);
  EXPECT_TRUE(q.Picture3.Visible());
  EXPECT_EQ(q.Label4.Caption(), kLost);
  EXPECT_FALSE(q.Picture4.Visible());
  d.Advance(1999);
  EXPECT_FALSE(q.Picture4.Visible());
  d.Advance(1);
  EXPECT_TRUE(q.Picture4.IsShown());
  EXPECT_EQ(q.BtnEnh2.Caption(), "ВЫХОД");
  EXPECT_EQ(q.BtnEnh2.Property(46), PackColor(RGB(255, 0, 0)));
  d.Click(q.BtnEnh2);
  EXPECT_TRUE(Forms::IsLoaded<Form3>());
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
    ASSERT_EQ(q.Level, level + 1);
  }
  WaitForQuestion(q);
  EXPECT_EQ(q.Label1.Caption(), "ICON OF SIN");
  EXPECT_EQ(std::set<int>(q.AskedQuestions.begin(), q.AskedQuestions.end()), (std::set<int>{0, 1, 2, 3, 4, 5, 6}));

  // The last level: the boss above a narrower, lower panel with larger texts and no monster.
  EXPECT_TRUE(q.Picture2.Visible());
  EXPECT_TRUE(Shows(q.Image4, "Gfx\\ios.dat"));
  EXPECT_EQ(q.Image4.Width(), 300 * 15);
  EXPECT_FALSE(q.Image2.Visible());
  EXPECT_EQ(q.MonsterName, "Imp");
  EXPECT_EQ(q.Picture1.Left(), 1670);
  EXPECT_EQ(q.Picture1.Top(), 4530);
  EXPECT_EQ(q.Picture1.Width(), 6955);
  EXPECT_EQ(q.Label2.Left(), 820);
  EXPECT_EQ(q.Label2.Width(), 5995);
  EXPECT_EQ(q.Label2.Font().sizePt, 13);
  for (int p = 0; p < 4; ++p) {
    EXPECT_EQ(Answer(q, p).Left(), 1120);
    EXPECT_EQ(Answer(q, p).Font().sizePt, 11);
  }

  AnswerRight(q);
  d.Advance(150);
  EXPECT_TRUE(Shows(q.Image2, "Gfx\\Impd2.dat"));
  d.Advance(150);  // the end of the frames: seven levels done
  d.Advance(999);
  EXPECT_FALSE(q.Picture3.Visible());
  d.Advance(1);
  EXPECT_TRUE(q.Picture3.Visible());
  EXPECT_EQ(q.Label4.Caption(), kWon);
  d.Advance(2000);
  EXPECT_TRUE(q.Picture4.IsShown());
}

TEST_F(QuizGame, NoRecordIsAskedTwiceInAGame) {
  WriteQuestions(8);
  for (uint64_t seed : {1u, 2u, 3u, 4u}) {
    Randomize(seed);
    Quest& q = Start();
    for (int level = 1; level < kQuizLevels; ++level) {
      WaitForQuestion(q);
      AnswerRight(q);
      d.Advance(150);
    }
    WaitForQuestion(q);
    EXPECT_EQ(std::set<int>(q.AskedQuestions.begin(), q.AskedQuestions.end()).size(), 7u) << seed;
    Forms::Unload<Quest>();
    Forms::CollectGarbage();
  }
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

TEST_F(QuizGame, AnswersTakeNoFurtherClicksOnceOneIsJudged) {
  WriteQuestions(10);
  Quest& q = Start();
  WaitForQuestion(q);
  AnswerRight(q);
  AnswerWrong(q);
  AnswerRight(q);
  EXPECT_EQ(d.Sound().Plays("Sfx/Shoot.wav"), 1);
  EXPECT_EQ(d.Sound().Plays("Sfx/Arrgh.wav"), 0);
  d.Advance(150);
  EXPECT_EQ(q.Level, 2);
  d.Advance(2000);
  EXPECT_FALSE(q.Picture3.Visible());

  WaitForQuestion(q);  // the next question takes a click again
  AnswerWrong(q);
  AnswerRight(q);
  EXPECT_EQ(d.Sound().Plays("Sfx/Shoot.wav"), 1);
  EXPECT_EQ(d.Sound().Plays("Sfx/Arrgh.wav"), 1);
  d.Advance(1000);
  EXPECT_EQ(q.Level, 2);
  EXPECT_EQ(q.Label4.Caption(), kLost);
}

TEST_F(QuizGame, UnusableQuestionFileShowsTheExitAtOnce) {
  const std::vector<std::pair<const char*, std::optional<std::string>>> files{
      {"missing", std::nullopt},
      {"six records", FileBytes(WithEnd(Records(6)))},
      {"cut before its end, three records", FileBytes(Records(3))},
      {"empty", ""},
  };
  for (const auto& [what, bytes] : files) {
    std::filesystem::remove(dir.Path() / "Quest.dat");
    if (bytes) dir.Write("Quest.dat", *bytes);
    Quest& q = Start();
    EXPECT_TRUE(q.Picture4.IsShown()) << what;
    EXPECT_EQ(q.Label4.Caption(), kDamaged) << what;
    EXPECT_EQ(q.Level, 0) << what;
    d.Advance(10000);
    EXPECT_FALSE(q.Pointer[0]->Visible()) << what;
    EXPECT_FALSE(q.Picture1.Visible()) << what;
    d.Click(q.BtnEnh2);
    EXPECT_FALSE(Forms::IsLoaded<Quest>()) << what;
    Forms::CollectGarbage();
  }
}

TEST_F(QuizGame, FileCutShortWithSevenWholeRecordsStillPlays) {
  auto lines = Records(7);
  lines.push_back("Вопрос без ответов");
  dir.Write("Quest.dat", FileBytes(lines));
  Quest& q = Start();
  WaitForQuestion(q);
  EXPECT_FALSE(q.Picture3.Visible());
  EXPECT_LT(q.CurrentQuestion, 7);
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
  d.Advance(1);
  EXPECT_EQ(d.Sound().Plays("Sfx/Track4.mid"), 1);
  d.Advance(500);
  EXPECT_EQ(d.Sound().Plays("Sfx/Track4.mid"), 1);  // still playing
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
  ASSERT_TRUE(d.SaveScreen((std::filesystem::temp_directory_path() / "quiz_level2.png").string()));
  EXPECT_EQ(d.Pixel(5, 5), 0x142878u);             // the map
  EXPECT_EQ(d.Pixel(352 + 16, 400 + 16), 0x00C800u);  // the passed marker of level 1
  EXPECT_EQ(d.Pixel(280 + 16, 336 + 16), 0x142878u);  // the current marker hides while asking
  EXPECT_EQ(d.Pixel(90, 154), 0x5A5046u);            // the panel's stone
  EXPECT_EQ(d.Pixel(88 + 24 + 50, 152 + 24 + 50), 0xC800C8u);  // the monster
  EXPECT_NE(d.Pixel(5, 5), d.Pixel(400, 160));
}

}  // namespace
}  // namespace vark
