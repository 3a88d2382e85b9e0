#include "memory/memory_rules.h"

#include <algorithm>

#include "platform/base/number_text.h"
#include "platform/base/random.h"

namespace vark::memory {

namespace {

// Levels 0 .. 7; later levels deal like the fastest row with a tick that keeps shrinking.
constexpr std::array<LevelRule, 8> kLevels{{
    {3, 700},
    {4, 600},
    {5, 600},
    {6, 500},
    {7, 400},
    {8, 400},
    {8, 300},
    {8, 300},
}};
constexpr int kLatePairs = 7;
constexpr int kLateTickBase = 200;
constexpr int kLateTickStep = 5;
constexpr int kShortestTick = 50;

int DrawPicture(int choices, const std::array<bool, kFaces + 1>& dealt) {
  for (;;) {
    int r = RndInt(choices) + 1;
    if (r >= 1 && r <= kFaces && !dealt[r]) return r;
  }
}

int DrawFreeCell(const Board& board) {
  for (;;) {
    int c = RndInt(kCells);
    if (c >= 0 && c < kCells && board[c] == 0) return c;
  }
}

}  // namespace

LevelRule RuleFor(int lvl) {
  if (lvl >= 0 && lvl < static_cast<int>(kLevels.size())) return kLevels[lvl];
  return {kLatePairs, std::max(kShortestTick, kLateTickBase - kLateTickStep * lvl)};
}

Board Deal(int pairs) {
  Board board{};
  const int count = std::clamp(pairs + 1, 0, kFaces);
  std::array<bool, kFaces + 1> dealt{};
  for (int j = 0; j < count; ++j) {
    int r = DrawPicture(count, dealt);
    dealt[r] = true;
    for (int copy = 0; copy < 2; ++copy) board[DrawFreeCell(board)] = r;
  }
  return board;
}

std::string FaceName(int picture) { return "Gfx\\Tel" + std::to_string(picture) + ".jpg"; }

std::string StatsText(int found, int dealt) { return Str(found) + " /" + Str(dealt) + " "; }

std::string LevelNumberText(int lvl) { return Str(lvl + 1) + " "; }

std::string LevelPanelText(int lvl) { return "УРОВЕНЬ" + Str(lvl + 1); }

}  // namespace vark::memory
