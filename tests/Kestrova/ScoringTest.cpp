#include <gtest/gtest.h>

#include "GameplayFixture.h"
#include "Players.h"
#include "Scoring.h"

namespace {

class ScoringTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    ResetPlayer(0);
    GameFlags.joined[0] = 1;
  }
};

TEST_F(ScoringTest, ScoresStayWithinZeroAndTheMaximum) {
  const struct {
    SInt32 start;
    SInt16 points;
    SInt32 expected;
  } cases[] = {{9999500, 1500, 9999999}, {100, -500, 0}, {0, 0, 0}, {1000, 350, 1350}, {9999999, 50, 9999999}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    GameFlags.score[0] = c.start;
    AddScore(0, c.points);
    EXPECT_EQ(GameFlags.score[0], c.expected);
  }
}

TEST_F(ScoringTest, PointsToAnExplodingOrAbsentShipAreDropped) {
  AddScore(1, 500);  // player 1 never joined
  EXPECT_EQ(GameFlags.score[1], 0);
  Ship(0).state = PlayerExploding;
  AddScore(0, 500);
  EXPECT_EQ(GameFlags.score[0], 0);
}

TEST_F(ScoringTest, ShieldIsClampedToTheBar) {
  const struct {
    SInt8 start;
    SInt8 delta;
    SInt8 expected;
  } cases[] = {{5, 12, 12}, {11, 4, 12}, {6, -2, 4}, {12, -1, 11}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    Ship(0).shieldBar.target = c.start;
    AddShield(0, c.delta);
    EXPECT_EQ(Ship(0).shieldBar.target, c.expected);
    EXPECT_EQ(Ship(0).state, PlayerFlying);
  }
}

TEST_F(ScoringTest, ShieldRunningOutBlowsTheShipUp) {
  Player& ship = Ship(0);
  ship.shieldBar.target = 3;
  ship.doublesBar.target = 5;
  ship.doublesBar.shown = 5;
  ship.podBar.target = 2;
  ship.podBar.shown = 2;
  ship.podBar.on.data[0] = 1;
  ship.podBar.glow.data[1] = 7;
  ship.countdown = 9;
  ship.frame = 3;
  AddShield(0, -4);

  EXPECT_EQ(ship.state, PlayerExploding);
  EXPECT_EQ(ship.active, 1);
  EXPECT_EQ(ship.frame, 0);
  EXPECT_EQ(ship.countdown, 0);
  EXPECT_FLOAT_EQ(ship.scale, 1.0f);
  EXPECT_EQ(GameFlags.gameOverDelay, 50);
  EXPECT_EQ(GameFlags.sparkFlag, 1);
  for (StatusBar* bar : {&ship.shieldBar, &ship.doublesBar, &ship.podBar}) {
    EXPECT_EQ(bar->shown, 0);
    EXPECT_EQ(bar->target, 0);
    for (UInt32 i = 0; i < bar->count; ++i) {
      EXPECT_EQ(bar->on.data[i], 0);
      EXPECT_EQ(bar->glow.data[i], 0);
    }
  }
  EXPECT_FLOAT_EQ(ship.explosionRect.top, 368);
  EXPECT_FLOAT_EQ(ship.explosionRect.right, 176);
  ASSERT_EQ(sounds.size(), 2u);
  for (const GameSoundRequest& r : sounds) {
    EXPECT_EQ(r.sound, &Sounds().boom1);
    EXPECT_EQ(r.point.v, 384);
    EXPECT_EQ(r.point.h, 160);
  }

  // It no longer earns points.
  AddScore(0, 100);
  EXPECT_EQ(GameFlags.score[0], 0);
}

TEST_F(ScoringTest, BlastingAShipOutOfPlayOnlyStartsTheGameOverDelay) {
  Ship(0).active = 0;
  BlastPlayer(0);
  EXPECT_EQ(GameFlags.gameOverDelay, 1);
  EXPECT_EQ(Ship(0).state, PlayerFlying);
  EXPECT_TRUE(sounds.empty());
}

}  // namespace
