// The shooter's fixed quantities, its level table and its two collision tests. All
// positions and sizes are in twips.
#pragma once

#include "platform/base/geometry.h"

namespace vark {

namespace shooter {
inline constexpr int kMonsterSlots = 12;
inline constexpr int kDrawnSlots = 11;  // slot 11 is never drawn at the start of a level
inline constexpr int kShotSlots = 12;
inline constexpr int kBulletSlots = 11;
inline constexpr int kLifeIcons = 10;
inline constexpr int kRowLength = 6;

inline constexpr int kMarchStep = 32;
inline constexpr int kRightWall = 8700;
inline constexpr int kLeftWall = 128;
inline constexpr int kDropTicks = 15;
inline constexpr int kDropStep = 64;
inline constexpr int kLostTop = 5600;
inline constexpr int kMonsterBox = 720;
inline constexpr int kShotBox = 270;
inline constexpr int kShotSpeed = 200;
inline constexpr int kShotGoneTop = 100;
inline constexpr int kMuzzle = 250;  // shots and bullets start this far right of their shooter
inline constexpr int kBulletFall = 128;
inline constexpr int kBulletGoneY = 6240;
inline constexpr int kFireNumber = 5;
inline constexpr int kPointsPerFrame = 10;
inline constexpr int kDeathFrames = 3;
inline constexpr int kPointerOffset = 32;
inline constexpr int kCannonLimit = 9800;
inline constexpr int kCannonLimitMargin = 512;

inline constexpr int kTickMs = 10;
inline constexpr int kDeathStepMs = 50;

// The warning before a level is lost by the monsters' descent starts this many play ticks
// (3 s) before the tick that loses it; the alarm sounds again every kAlarmEveryTicks and
// the status bar changes colour every kFlashTicks.
inline constexpr int kWarningTicks = 300;
inline constexpr int kAlarmEveryTicks = 100;
inline constexpr int kFlashTicks = 12;
}  // namespace shooter

// A monster's march: its place, its sideways step per tick, the ticks left of a descent
// and the step it takes after the descent.
struct MonsterMarch {
  int left = 0;
  int top = 0;
  int dx = 0;
  int drop = 0;
  int nextDx = 0;
};

// One tick of the march: a step sideways, a step down while descending, and a descent
// started when the next step would pass a wall. False when a descent ended at the bottom:
// the game is lost.
bool StepMarch(MonsterMarch& march);

// The ticks until the march ends at the bottom (1: the next tick loses the game), looking
// at most `limit` ticks ahead; 0 when it does not end within them.
int TicksToLanding(MonsterMarch march, int limit);

// What a level asks of the player.
struct LevelParams {
  int BullMax = 0;    // monster bullets use slots 0 to BullMax
  int ShotMax = 0;    // the player may have this many shots in flight
  int FireOdds = 1;   // a live monster fires with chance 1 in FireOdds per tick
  int BullSpeed = 0;  // bullets fall 128 x BullSpeed per tick
  int CacoNum = 0;    // monsters shown when the level starts
  friend bool operator==(const LevelParams&, const LevelParams&) = default;
};

// Applies every row of the level table that matches `lev`, in order, over `params`
// (a later matching row overwrites an earlier one).
void ApplyLevelTable(int lev, LevelParams& params);

// A monster bullet touches the cannon: its top edge lies within the cannon's height and
// its whole width within the cannon's width, edges included.
bool BulletHitsCannon(const Rect& bullet, const Rect& cannon);

// A shot hits a monster only when its whole box lies inside the monster's box.
bool ShotInsideMonster(int shotLeft, int shotTop, int monsterLeft, int monsterTop);

}  // namespace vark
