// The level table, the deal and the board's texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "memory/memory_rules.h"
#include "platform/base/random.h"

namespace vark::memory {
namespace {

std::map<int, int> CountPictures(const Board& board) {
  std::map<int, int> counts;
  for (int picture : board)
    if (picture != 0) ++counts[picture];
  return counts;
}

TEST(MemoryRules, EveryLevelDealsEachPictureOnExactlyTwoCells) {
  for (int seed = 1; seed <= 5; ++seed) {
    Randomize(seed);
    for (int lvl = 0; lvl <= 40; ++lvl) {
      SCOPED_TRACE("level " + std::to_string(lvl) + ", seed " + std::to_string(seed));
      const int pairs = RuleFor(lvl).pairs;
      const Board board = Deal(pairs);
      const auto counts = CountPictures(board);
      ASSERT_EQ(static_cast<int>(counts.size()), pairs + 1);
      int picture = 1;
      for (const auto& [number, count] : counts) {
        EXPECT_EQ(number, picture++);  // exactly the pictures 1 .. pairs + 1
        EXPECT_EQ(count, 2);
      }
      EXPECT_EQ(std::count(board.begin(), board.end(), 0), kCells - 2 * (pairs + 1));
      if (lvl >= 5 && lvl <= 7) {
        EXPECT_EQ(counts.size(), 9u);
      }
      if (lvl >= 8) {
        EXPECT_EQ(counts.rbegin()->first, 8);
      }
    }
  }
}

TEST(MemoryRules, LevelTableAndTheShrinkingTickOfLateLevels) {
  const int pairs[] = {3, 4, 5, 6, 7, 8, 8, 8};
  const int ticks[] = {700, 600, 600, 500, 400, 400, 300, 300};
  for (int lvl = 0; lvl < 8; ++lvl) {
    EXPECT_EQ(RuleFor(lvl).pairs, pairs[lvl]) << lvl;
    EXPECT_EQ(RuleFor(lvl).tickMs, ticks[lvl]) << lvl;
  }
  EXPECT_EQ(RuleFor(8).tickMs, 160);
  EXPECT_EQ(RuleFor(10).tickMs, 150);
  EXPECT_EQ(RuleFor(29).tickMs, 55);
  EXPECT_EQ(RuleFor(30).tickMs, 50);
  EXPECT_EQ(RuleFor(1000).tickMs, 50);
  for (int lvl : {8, 9, 30, 1000}) EXPECT_EQ(RuleFor(lvl).pairs, 7) << lvl;
}

// The deal draws from the one generator as seeded once: the same seed gives the same
// board, and deals in a row go on along the sequence instead of starting it over.
TEST(MemoryRules, DealFollowsTheOneSeededSequenceWithoutReseeding) {
  Randomize(77);
  const Board first = Deal(8);
  const Board second = Deal(8);
  Randomize(77);
  EXPECT_EQ(Deal(8), first);
  EXPECT_EQ(Deal(8), second);
  EXPECT_NE(first, second);

  Randomize(3);
  std::map<Board, int> seen;
  for (int i = 0; i < 50; ++i) ++seen[Deal(3)];
  EXPECT_GT(seen.size(), 45u);
}

// Numbers of two digits keep the same spacing as the one-digit ones the game tests read.
TEST(MemoryRules, BoardTextsWithTwoDigitNumbers) {
  EXPECT_EQ(LevelNumberText(11), " 12 ");
  EXPECT_EQ(LevelPanelText(11), "УРОВЕНЬ 12");
  EXPECT_EQ(StatsText(10, 12), " 10 / 12 ");
}

}  // namespace
}  // namespace vark::memory
