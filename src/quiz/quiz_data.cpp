#include "quiz/quiz_data.h"

#include <iostream>

#include "platform/base/number_text.h"
#include "platform/files/paths.h"
#include "platform/files/text_file.h"

namespace vark {

namespace {

constexpr int kLinesPerRecord = 1 + kAnswersPerQuestion + 1;
constexpr int kDeathFrameCount = 10;

void AddRecord(QuizData& data, const std::vector<std::string>& lines, size_t first) {
  data.Questions.push_back(lines[first]);
  std::array<std::string, kAnswersPerQuestion> answers;
  for (int p = 0; p < kAnswersPerQuestion; ++p) answers[p] = lines[first + 1 + p];
  data.Answers.push_back(std::move(answers));
  data.RightAnswers.push_back(lines[first + 1 + kAnswersPerQuestion]);
  ++data.QuestionCount;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when the number at the start of the field has a fraction other than zero ("2.5"):
// such a value names no answer, while "3." and "3.0" read as 3.
bool HasFraction(std::string_view field) {
  size_t i = field.find_first_not_of(" \t");
  if (i == std::string_view::npos) return false;
  if (field[i] == '+' || field[i] == '-') ++i;
  while (i < field.size() && IsDigit(field[i])) ++i;
  if (i == field.size() || field[i] != '.') return false;
  for (++i; i < field.size() && IsDigit(field[i]); ++i) {
    if (field[i] != '0') return true;
  }
  return false;
}

}  // namespace

bool IsRightAnswer(std::string_view rightAnswerField, int position) {
  return !HasFraction(rightAnswerField) && LeadingNumber(rightAnswerField) - 1 == position;
}

bool QuizData::IsRight(int record, int position) const {
  if (record < 0 || record >= QuestionCount) return false;
  return IsRightAnswer(RightAnswers[record], position);
}

QuizData ParseQuizData(const std::vector<std::string>& lines) {
  QuizData data;
  size_t next = 0;
  while (next < lines.size() && lines[next] != kQuizEndMarker) {
    if (data.QuestionCount == kMaxQuestions) {
      std::cerr << "Quest.dat: more than " << kMaxQuestions << " questions; the rest are ignored\n";
      return data;
    }
    if (lines.size() - next < kLinesPerRecord) {
      std::cerr << "Quest.dat: the last question is cut short by the end of the file\n";
      data.EndedEarly = true;
      return data;
    }
    AddRecord(data, lines, next);
    next += kLinesPerRecord;
  }
  if (next == lines.size()) {
    std::cerr << "Quest.dat: the file ends before its " << kQuizEndMarker << " line\n";
    data.EndedEarly = true;
  }
  return data;
}

QuizData ReadQuizData(std::string_view gameName) {
  // 101 records of short lines take some 30 KB; anything far larger is not a question file.
  constexpr std::size_t kMaxQuizFileBytes = 1 << 20;
  auto lines = ReadTextLines(ResolvePath(gameName), kMaxQuizFileBytes);
  if (!lines) {
    std::cerr << "Cannot read the quiz file " << gameName << " (missing, not a plain file, or over 1 MB)\n";
    return {};
  }
  return ParseQuizData(*lines);
}

std::vector<std::string> DeathFrames(const std::string& monster) {
  std::vector<std::string> frames;
  for (int n = 1; n <= kDeathFrameCount; ++n) {
    std::string frame = monster + "d" + std::to_string(n) + ".dat";
    if (FileExists("Gfx\\" + frame)) frames.push_back(std::move(frame));
  }
  frames.push_back(kQuizEndMarker);
  return frames;
}

}  // namespace vark
