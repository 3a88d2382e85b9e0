// The results a profile keeps, one line of its file per episode: line 2 the shooter's best
// score ("1800"), line 3 the quiz's most right answers in one game ("5 из 7", "7 из 7" for
// a win), line 4 the memory game's highest level and the playing time it took to reach it
// ("уровень 3, 2:05"; the first level has no time). Line 5, the fourth episode's, stays
// "Фраг". A line in no such form (a new profile's "Фраг", or a line edited into nonsense)
// holds no result and shows as "Фраг".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vark {

enum class Episode { kShooter, kQuiz, kMemory };
inline constexpr Episode kRecordedEpisodes[] = {Episode::kShooter, Episode::kQuiz, Episode::kMemory};

struct Result {
  int value = 0;    // the score, the right answers, or the level reached (1: the first)
  int seconds = 0;  // memory game: the playing time it took to reach that level
  friend bool operator==(const Result&, const Result&) = default;
};

// The result a line holds; nullopt for "Фраг" and for anything that is not a result.
std::optional<Result> ParseResult(Episode episode, std::string_view line);

// The line a result is stored as (and shown as).
std::string ResultText(Episode episode, Result result);

// True when `result` beats `best`: a higher score, more right answers, a higher level or
// the same level reached sooner; any result that achieved something (a score, a right
// answer, a level passed) beats none.
bool IsBetter(Episode episode, const Result& result, const std::optional<Result>& best);

// The line as the player sees it: the result, or "Фраг" for a line that holds none.
std::string ShownResult(Episode episode, std::string_view line);

// The episode's name in the profile list and the table of records.
const char* EpisodeListName(Episode episode);

}  // namespace vark
