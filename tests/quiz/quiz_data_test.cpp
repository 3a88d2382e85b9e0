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

TEST(QuizData, OnlyTheEndMarkerGivesNoQuestions) {
  QuizData data = ParseQuizData({"[END]", "Вопрос после конца"});
  EXPECT_EQ(data.QuestionCount, 0);
  EXPECT_TRUE(data.Complete);
  EXPECT_FALSE(data.Playable());
}

TEST(QuizData, ReadsExactly101RecordsAndKeepsTheFirst101OfMore) {
  QuizData full = ParseQuizData(WithEnd(Records(101)));
  EXPECT_EQ(full.QuestionCount, 101);
  EXPECT_TRUE(full.Complete);
  EXPECT_EQ(full.Questions[100], "Вопрос 100");
  EXPECT_EQ(full.Answers[100][3], "Ответ 100.4");

  QuizData more = ParseQuizData(WithEnd(Records(103)));
  EXPECT_EQ(more.QuestionCount, 101);
  EXPECT_EQ(more.Questions.size(), 101u);
  EXPECT_EQ(more.RightAnswers[100], "1");
  EXPECT_FALSE(more.Complete);
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
  EXPECT_EQ(data.RightAnswers[0], "[END]");
  EXPECT_FALSE(data.IsRight(0, 0));
  EXPECT_FALSE(data.Complete);
}

TEST(QuizData, FileCutShortKeepsTheWholeRecordsBeforeIt) {
  auto lines = Records(8);
  lines.push_back("Вопрос без ответов");
  lines.push_back("Ответ");
  QuizData data = ParseQuizData(lines);
  EXPECT_EQ(data.QuestionCount, 8);
  EXPECT_FALSE(data.Complete);
  EXPECT_TRUE(data.Playable());
  EXPECT_FALSE(ParseQuizData(Records(6)).Playable());
}

TEST(QuizData, RightAnswerFieldIsTheNumberAtItsStart) {
  struct Case {
    std::string field;
    int rightPosition;  // -1: every answer wrong
  };
  for (const Case& c : std::vector<Case>{{"2", 1}, {" 3", 2}, {"3.", 2}, {"4 (последний)", 3}, {"0", -1},
                                         {"5", -1}, {"", -1}, {"два", -1}, {"-1", -1}}) {
    for (int p = 0; p < kAnswersPerQuestion; ++p) {
      EXPECT_EQ(IsRightAnswer(c.field, p), p == c.rightPosition) << '"' << c.field << "\" position " << p;
    }
  }
}

TEST(QuizData, JudgeRefusesRecordsThatDoNotExist) {
  QuizData data = ParseQuizData(WithEnd(Records(2)));
  EXPECT_TRUE(data.IsRight(1, 1));
  EXPECT_FALSE(data.IsRight(2, 0));
  EXPECT_FALSE(data.IsRight(-1, 0));
}

TEST(QuizData, ReadsWindows1251WithBareCarriageReturns) {
  Driver d;
  TempFolder dir;
  auto lines = Record(0, " 3");
  lines[1] = "  ответ с пробелами  ";
  dir.Write("quest.dat", FileBytes(WithEnd(lines), "\r"));
  QuizData data = ReadQuizData();
  ASSERT_EQ(data.QuestionCount, 1);
  EXPECT_TRUE(data.Complete);
  EXPECT_EQ(data.Questions[0], "Вопрос 0");
  EXPECT_EQ(data.Answers[0][0], "  ответ с пробелами  ");
  EXPECT_TRUE(data.IsRight(0, 2));
}

TEST(QuizData, MissingFileGivesNoQuestions) {
  Driver d;
  TempFolder dir;
  QuizData data = ReadQuizData();
  EXPECT_EQ(data.QuestionCount, 0);
  EXPECT_FALSE(data.Complete);
}

TEST(QuizData, DeathFramesAreTheExistingOnesInOrder) {
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
