// The quiz's questions: the "Quest.dat" reader, the judge of an answer and the list of a
// monster's death-animation frames.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vark {

// The line that ends the run of records, recognised only where a record would begin.
inline constexpr const char* kQuizEndMarker = "[END]";
// The most records the quiz keeps; records beyond are ignored.
inline constexpr int kMaxQuestions = 101;
inline constexpr int kAnswersPerQuestion = 4;
// Each game asks this many different questions.
inline constexpr int kQuizLevels = 7;

struct QuizData {
  std::vector<std::string> Questions;
  std::vector<std::array<std::string, kAnswersPerQuestion>> Answers;
  std::vector<std::string> RightAnswers;  // the right answer's number (1 to 4), as text
  int QuestionCount = 0;
  // The file stopped before its end marker: the records read until then are kept, but the
  // file is damaged.
  bool EndedEarly = false;

  // A question file, whole, with enough records for a whole game.
  bool Playable() const { return !EndedEarly && QuestionCount >= kQuizLevels; }
  // True when answer `position` (0 to 3) is the right one of record `record`.
  bool IsRight(int record, int position) const;
};

// Builds the quiz data from the file's lines: six-line records (question, four answers,
// right-answer number) up to the end marker, at most kMaxQuestions of them. A record cut
// short by the end of the lines is dropped; the whole records before it are kept.
// Problems are reported on stderr.
QuizData ParseQuizData(const std::vector<std::string>& lines);

// Reads the quiz file ("Quest.dat" in the working folder); a missing file gives no records.
QuizData ReadQuizData(std::string_view gameName = "Quest.dat");

// True when the right-answer field names answer `position` (0 to 3): the number at the
// start of the field (leading blanks skipped), minus 1, equals the position exactly.
bool IsRightAnswer(std::string_view rightAnswerField, int position);

// The death frames of a monster that exist in "Gfx\" ("Impd1.dat" .. "Impd10.dat", in
// increasing order, missing ones skipped), followed by the end marker.
std::vector<std::string> DeathFrames(const std::string& monster);

}  // namespace vark
