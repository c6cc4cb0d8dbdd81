#include <gtest/gtest.h>

#include "GameGlobals.h"
#include "Levels.h"

namespace {

TEST(DifficultyTest, ValuesFollowTheTableWithItsClamps) {
  struct Row {
    SInt8 level;
    UInt16 values[9];
  };
  const Row rows[] = {
      {1, {300, 250, 100, 50, 2, 50, 0, 25, 15}},
      {5, {250, 225, 90, 40, 3, 40, 0, 20, 20}},
      {25, {100, 125, 50, 10, 7, 10, 4, 5, 40}},
      {40, {100, 50, 20, 10, 10, 10, 4, 5, 50}},
      {99, {100, 50, 20, 10, 10, 10, 4, 5, 50}},
  };
  for (const Row& row : rows) {
    DifficultyValues v = ComputeDifficulty(row.level);
    const UInt16 got[9] = {v.meteorValue, v.enemyValueA, v.enemyValueB, v.adjustValue, v.pickUpValue,
                           v.bossValueA,  v.bossValueB,  v.bossValueC,  v.bossValueD};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(got[i], row.values[i]) << "level " << int(row.level) << " value " << i;
  }
}

// 3 x 83 + 9 = 258 and a doubled 129 would wrap to 2 in a byte.
TEST(WaveBudgetTest, HoldsAt255InsteadOfWrapping) {
  EXPECT_EQ(WaveBudgetFor(1, false), 12);
  EXPECT_EQ(WaveBudgetFor(1, true), 24);
  EXPECT_EQ(WaveBudgetFor(82, false), 255);
  EXPECT_EQ(WaveBudgetFor(83, false), 255);
  EXPECT_EQ(WaveBudgetFor(39, true), 252);
  EXPECT_EQ(WaveBudgetFor(40, true), 255);
  EXPECT_EQ(WaveBudgetFor(99, true), 255);
  EXPECT_EQ(DoubleBudget(200), 255);
  EXPECT_EQ(DoubleBudget(127), 254);
  EXPECT_EQ(DoubleBudget(0), 0);
}

TEST(LevelKindTest, BossLevelsUntilTheBossIsBeaten) {
  struct Row {
    SInt8 level;
    UInt8 beaten;
    SInt32 kind;
  };
  const Row rows[] = {{3, 0, 1}, {3, 1, -1}, {5, 0, 0}, {5, 1, -1}, {4, 0, -1}, {8, 0, 1}, {10, 0, 0}, {1, 0, -1}};
  for (const Row& row : rows) {
    GameFlags.level = row.level;
    GameFlags.bossBeaten = row.beaten;
    EXPECT_EQ(GetLevelKind(), row.kind) << "level " << int(row.level) << " beaten " << int(row.beaten);
  }
  GameFlags = GameFlagsBlock{};
}

}  // namespace
