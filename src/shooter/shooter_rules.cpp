#include "shooter/shooter_rules.h"

#include <climits>

namespace vark {

namespace {

struct LevelRow {
  int fromLev;
  int toLev;
  LevelParams params;
};

// Rows in the order they are applied. Level 2 takes its own row, between levels 1 and 3
// in every column, so that the game gets harder level by level.
constexpr LevelRow kLevelRows[] = {
    {1, 1, {5, 1, 500, 1, 1}},         {2, 2, {6, 2, 400, 2, 2}},         {3, 3, {7, 3, 300, 2, 5}},
    {4, 4, {8, 5, 100, 2, 8}},         {5, 5, {8, 5, 80, 2, 11}},         {6, 9, {10, 5, 50, 2, 11}},
    {10, INT_MAX, {10, 6, 35, 3, 11}}, {15, INT_MAX, {10, 6, 20, 3, 11}}, {20, INT_MAX, {10, 6, 6, 3, 11}},
};

}  // namespace

void ApplyLevelTable(int lev, LevelParams& params) {
  for (const LevelRow& row : kLevelRows) {
    if (lev >= row.fromLev && lev <= row.toLev) params = row.params;
  }
}

bool BulletHitsCannon(const Rect& bullet, const Rect& cannon) {
  return bullet.top >= cannon.top && cannon.top + cannon.height >= bullet.top && bullet.left >= cannon.left &&
         cannon.left + cannon.width >= bullet.left + bullet.width;
}

bool ShotInsideMonster(int shotLeft, int shotTop, int monsterLeft, int monsterTop) {
  using namespace shooter;
  return monsterLeft <= shotLeft && shotLeft + kShotBox <= monsterLeft + kMonsterBox && monsterTop <= shotTop &&
         shotTop + kShotBox <= monsterTop + kMonsterBox;
}

bool StepMarch(MonsterMarch& m) {
  using namespace shooter;
  m.left += m.dx;
  int nextLeft = m.left + m.dx;
  if (m.drop > 0) {
    --m.drop;
    m.top += kDropStep;
    if (m.drop == 0) {
      m.dx = m.nextDx;
      if (m.top >= kLostTop) return false;
    }
  }
  if (nextLeft > kRightWall || nextLeft < kLeftWall) {
    m.nextDx = nextLeft > kRightWall ? -kMarchStep : kMarchStep;
    m.drop = kDropTicks;
    m.dx = 0;
  }
  return true;
}

int TicksToLanding(MonsterMarch march, int limit) {
  for (int tick = 1; tick <= limit; ++tick)
    if (!StepMarch(march)) return tick;
  return 0;
}

}  // namespace vark
