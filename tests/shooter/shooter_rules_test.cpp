// The level table and the two collision tests of the shooter.
#include <gtest/gtest.h>

#include "shooter/shooter_rules.h"

namespace vark {
namespace {

LevelParams Level(int lev) {
  LevelParams p;
  ApplyLevelTable(lev, p);
  return p;
}

TEST(ShooterRules, LevelTableRisesLevelByLevel) {
  EXPECT_EQ(Level(1), (LevelParams{5, 1, 500, 1, 1}));
  EXPECT_EQ(Level(2), (LevelParams{6, 2, 400, 2, 2}));
  EXPECT_EQ(Level(3), (LevelParams{7, 3, 300, 2, 5}));
  EXPECT_EQ(Level(4), (LevelParams{8, 5, 100, 2, 8}));
  EXPECT_EQ(Level(5), (LevelParams{8, 5, 80, 2, 11}));
  EXPECT_EQ(Level(6), (LevelParams{10, 5, 50, 2, 11}));
  EXPECT_EQ(Level(9), (LevelParams{10, 5, 50, 2, 11}));
  EXPECT_EQ(Level(10), (LevelParams{10, 6, 35, 3, 11}));
  EXPECT_EQ(Level(14), (LevelParams{10, 6, 35, 3, 11}));
  EXPECT_EQ(Level(15), (LevelParams{10, 6, 20, 3, 11}));
  EXPECT_EQ(Level(20), (LevelParams{10, 6, 6, 3, 11}));
  EXPECT_EQ(Level(1000), (LevelParams{10, 6, 6, 3, 11}));
  for (int lev = 1; lev < 60; ++lev) {
    EXPECT_LE(Level(lev).BullMax, shooter::kBulletSlots - 1);
    EXPECT_LE(Level(lev).ShotMax, shooter::kShotSlots);
    EXPECT_LE(Level(lev).CacoNum, shooter::kDrawnSlots);
  }
}

TEST(ShooterRules, BulletOnTheCannonCountsEveryEdge) {
  const Rect cannon{2760, 5760, 735, 750};
  auto bulletAt = [](int left, int top) { return Rect{left, top, 240, 240}; };
  EXPECT_TRUE(BulletHitsCannon(bulletAt(2760, 5760), cannon));              // top-left corner
  EXPECT_TRUE(BulletHitsCannon(bulletAt(2760, 5760 + 750), cannon));        // top on the bottom edge
  EXPECT_TRUE(BulletHitsCannon(bulletAt(2760 + 735 - 240, 6000), cannon));  // flush right
  EXPECT_FALSE(BulletHitsCannon(bulletAt(2759, 5760), cannon));
  EXPECT_FALSE(BulletHitsCannon(bulletAt(2760, 5759), cannon));
  EXPECT_FALSE(BulletHitsCannon(bulletAt(2760, 5760 + 751), cannon));
  EXPECT_FALSE(BulletHitsCannon(bulletAt(2760 + 735 - 239, 6000), cannon));
}

TEST(ShooterRules, ShotMustLieWhollyInsideTheMonster) {
  EXPECT_TRUE(ShotInsideMonster(1000, 2000, 1000, 2000));
  EXPECT_TRUE(ShotInsideMonster(1000 + 450, 2000 + 450, 1000, 2000));
  EXPECT_FALSE(ShotInsideMonster(999, 2100, 1000, 2000));
  EXPECT_FALSE(ShotInsideMonster(1451, 2100, 1000, 2000));
  EXPECT_FALSE(ShotInsideMonster(1100, 1999, 1000, 2000));
  EXPECT_FALSE(ShotInsideMonster(1100, 2451, 1000, 2000));
}

}  // namespace
}  // namespace vark
