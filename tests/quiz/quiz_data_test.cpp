// The question file reader, the answer judge and the death-frame list.
#include <gtest/gtest.h>

#include "quiz/quiz_data.h"
#include "quiz_test_files.h"

namespace vark {
namespace {

using quiztest::FileBytes;
using quiztest::Record;
using quiztest::Records;
using quiztest::WithEnd;

TEST(QuizData, RecordCountIsBoundedByTheEndMarkerTheLimitAndAShortEnd) {
  EXPECT_EQ(ParseQuizData({"[END]", "Вопрос после конца"}).QuestionCount, 0);

  QuizData full = ParseQuizData(WithEnd(Records(101)));
  EXPECT_EQ(full.QuestionCount, 101);
  EXPECT_EQ(full.Answers[100][3], "Ответ 100.4");

  QuizData more = ParseQuizData(WithEnd(Records(103)));
  EXPECT_EQ(more.QuestionCount, 101);
  EXPECT_EQ(more.RightAnswers[100], "1");
  EXPECT_TRUE(more.Playable());

  auto cut = Records(8);
  cut.push_back("Вопрос без ответов");
  cut.push_back("Ответ");
  QuizData kept = ParseQuizData(cut);
  EXPECT_EQ(kept.QuestionCount, 8);
  EXPECT_EQ(kept.Questions[7], "Вопрос 7");
  EXPECT_TRUE(kept.EndedEarly);
  EXPECT_FALSE(kept.Playable());
  EXPECT_FALSE(ParseQuizData(WithEnd(Records(6))).Playable());
}

TEST(QuizData, EndMarkerCountsOnlyWhereARecordBegins) {
  std::vector<std::string> lines = Record(0, "[END]");
  lines[2] = "[END]";
  auto second = Record(1, "2");
  lines.insert(lines.end(), second.begin(), second.end());
  lines.push_back("[end]");  // other letter case: a question, cut short by the file's end
  QuizData data = ParseQuizData(lines);
  EXPECT_EQ(data.QuestionCount, 2);
  EXPECT_EQ(data.Answers[0][1], "[END]");
  EXPECT_FALSE(data.IsRight(0, 0));
  EXPECT_TRUE(data.IsRight(1, 1));
}

TEST(QuizData, RightAnswerFieldIsTheNumberAtItsStart) {
  struct Case {
    std::string field;
    int rightPosition;  // -1: every answer wrong
  };
  for (const Case& c : std::vector<Case>{{"2", 1},
                                         {" 3", 2},
                                         {"3.", 2},
                                         {"2.0", 1},
                                         {"4 (последний)", 3},
                                         {"0", -1},
                                         {"5", -1},
                                         {"", -1},
                                         {"два", -1},
                                         {"-1", -1},
                                         {"2.5", -1}}) {
    for (int p = 0; p < kAnswersPerQuestion; ++p) {
      EXPECT_EQ(IsRightAnswer(c.field, p), p == c.rightPosition) << '"' << c.field << "\" position " << p;
    }
  }
}

TEST(QuizData, ReadsWindows1251WithBareCarriageReturns) {
  Driver d;
  TempFolder dir;
  auto lines = Record(0, " 3");
  lines[1] = "  ответ с пробелами  ";
  dir.Write("quest.dat", FileBytes(WithEnd(lines), "\r"));
  QuizData data = ReadQuizData();
  ASSERT_EQ(data.QuestionCount, 1);
  EXPECT_EQ(data.Questions[0], "Вопрос 0");
  EXPECT_EQ(data.Answers[0][0], "  ответ с пробелами  ");
  EXPECT_TRUE(data.IsRight(0, 2));
}

TEST(QuizData, AFileOverOneMegabyteOrNotAPlainFileGivesNoQuestions) {
  Driver d;
  TempFolder dir;
  std::string bytes = FileBytes(WithEnd(Records(10)), "\r\n");
  dir.Write("quest.dat", bytes + std::string((1 << 20) - bytes.size(), ' '));
  EXPECT_EQ(ReadQuizData().QuestionCount, 10);
  dir.Write("quest.dat", bytes + std::string((1 << 20) - bytes.size() + 1, ' '));
  EXPECT_EQ(ReadQuizData().QuestionCount, 0);

  std::filesystem::remove(dir.Path() / "quest.dat");
  std::filesystem::create_directory(dir.Path() / "quest.dat");
  EXPECT_EQ(ReadQuizData().QuestionCount, 0);
}

TEST(QuizData, DeathFramesAreTheExistingOnesInNumberOrder) {
  Driver d;
  TempFolder dir;
  EXPECT_EQ(DeathFrames("Imp"), std::vector<std::string>{"[END]"});
  for (const char* frame : {"Gfx/impd10.dat", "Gfx/Impd3.dat", "Gfx/Impd1.dat", "Gfx/Demond2.dat"}) {
    dir.WritePicture(frame, 4, 4, 10, 20, 30);
  }
  EXPECT_EQ(DeathFrames("Imp"), (std::vector<std::string>{"Impd1.dat", "Impd3.dat", "Impd10.dat", "[END]"}));
}

}  // namespace
}  // namespace vark
