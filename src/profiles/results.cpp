#include "profiles/results.h"

#include <charconv>

#include "profiles/profile_file.h"
#include "quiz/quiz_data.h"

namespace vark {
namespace {

// "5 из 7": right answers of the quiz's seven.
static_assert(kQuizLevels == 7, "the stored quiz results count seven questions");
constexpr std::string_view kQuizOf = " из 7";
constexpr std::string_view kLevelWord = "уровень ";
constexpr int kMaxDigits = 9;  // a score or a time that fits an int with room to spare

// Reads the whole of `text` as a decimal number of 1 to `maxDigits` digits.
std::optional<int> WholeNumber(std::string_view text, size_t maxDigits = kMaxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<Result> ParseScore(std::string_view line) {
  // The score shown in play has a blank where a minus sign would go; it may be stored so.
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  if (line.empty() || line.front() == '+' || line.front() == '-') return std::nullopt;
  auto score = WholeNumber(line);
  if (!score) return std::nullopt;
  return Result{*score, 0};
}

std::optional<Result> ParseRightAnswers(std::string_view line) {
  if (!line.ends_with(kQuizOf)) return std::nullopt;
  auto right = WholeNumber(line.substr(0, line.size() - kQuizOf.size()), 1);
  if (!right || *right > kQuizLevels) return std::nullopt;
  return Result{*right, 0};
}

// "уровень 3, 2:05", or "уровень 1" alone.
std::optional<Result> ParseLevel(std::string_view line) {
  if (!line.starts_with(kLevelWord)) return std::nullopt;
  line.remove_prefix(kLevelWord.size());
  size_t comma = line.find(", ");
  auto level = WholeNumber(line.substr(0, comma), 4);
  if (!level || *level < 1) return std::nullopt;
  if (comma == std::string_view::npos) return Result{*level, 0};
  std::string_view time = line.substr(comma + 2);
  size_t colon = time.find(':');
  if (colon == std::string_view::npos || time.size() - colon != 3) return std::nullopt;
  auto minutes = WholeNumber(time.substr(0, colon), 6);
  auto seconds = WholeNumber(time.substr(colon + 1), 2);
  if (!minutes || !seconds || *seconds >= 60) return std::nullopt;
  return Result{*level, *minutes * 60 + *seconds};
}

std::string TwoDigits(int n) {
  return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

}  // namespace

std::optional<Result> ParseResult(Episode episode, std::string_view line) {
  switch (episode) {
    case Episode::kShooter: return ParseScore(line);
    case Episode::kQuiz: return ParseRightAnswers(line);
    case Episode::kMemory: return ParseLevel(line);
  }
  return std::nullopt;
}

std::string ResultText(Episode episode, Result result) {
  switch (episode) {
    case Episode::kShooter: return std::to_string(result.value);
    case Episode::kQuiz: return std::to_string(result.value) + std::string(kQuizOf);
    case Episode::kMemory: break;
  }
  std::string text = std::string(kLevelWord) + std::to_string(result.value);
  if (result.value <= 1) return text;
  return text + ", " + std::to_string(result.seconds / 60) + ":" + TwoDigits(result.seconds % 60);
}

namespace {

// A game that achieved nothing (no score, no right answer, no level passed) leaves no
// result: it neither replaces "Фраг" nor is cheered as a new best.
bool AchievedSomething(Episode episode, const Result& result) {
  return result.value > (episode == Episode::kMemory ? 1 : 0);
}

}  // namespace

bool IsBetter(Episode episode, const Result& result, const std::optional<Result>& best) {
  if (!AchievedSomething(episode, result)) return false;
  if (!best) return true;
  if (result.value != best->value) return result.value > best->value;
  return episode == Episode::kMemory && result.value > 1 && result.seconds < best->seconds;
}

std::string ShownResult(Episode episode, std::string_view line) {
  auto result = ParseResult(episode, line);
  return result ? ResultText(episode, *result) : kNewResult;
}

const char* EpisodeListName(Episode episode) {
  switch (episode) {
    case Episode::kShooter: return "КАКОБОЙ";
    case Episode::kQuiz: return "ВАРК-ЭРУДИТ";
    case Episode::kMemory: break;
  }
  return "ВАРК-ПАМЯТЬ";
}

}  // namespace vark
