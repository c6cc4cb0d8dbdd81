// The ships, shots and meteors driven through whole game steps.
#include <gtest/gtest.h>

#include "GameDriver.h"
#include "GameGlobals.h"
#include "SpriteMotion.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kSpace = 49;
constexpr UInt8 kRightArrow = 124;
constexpr UInt8 kLeftArrow = 123;

StepInput Holding(std::initializer_list<UInt8> keys) {
  StepInput input;
  input.held = keys;
  return input;
}

class ShipsInPlayTest : public ::testing::Test {
 protected:
  ShipsInPlayTest() : driver(1234) {}
  // The game started and faded in, player 0 joined by a fire press.
  void StartAndJoin() {
    driver.startGame();
    driver.steps(26);
    ASSERT_EQ(GameFlags.gameOn, 1);
    driver.step(Holding({kSpace}));
  }
  Player& Ship() { return gPlayers[0]; }
  GameDriver driver;
};

TEST_F(ShipsInPlayTest, FirePressAfterTheFadeInJoinsPlayerOne) {
  StartAndJoin();
  Player& ship = Ship();
  ASSERT_EQ(ship.active, 1);
  EXPECT_EQ(ship.rect.top, 368);
  EXPECT_EQ(ship.rect.left, 144);
  EXPECT_EQ(ship.rect.bottom, 400);
  EXPECT_EQ(ship.rect.right, 176);
  EXPECT_EQ(ship.shieldBar.target, 12);
  EXPECT_EQ(ship.countdown, 50);
  EXPECT_EQ(ship.panelShown, 1);
  int power = 0;
  for (const auto& s : driver.sounds()) power += s.name == "Power";
  EXPECT_EQ(power, 1);
  EXPECT_EQ(gPlayers[1].active, 0);
}

TEST_F(ShipsInPlayTest, SteeringRightThenCoastingToRest) {
  StartAndJoin();
  driver.steps(60, Holding({kRightArrow}));
  EXPECT_NEAR(Ship().x, 301.84, 0.01);
  EXPECT_EQ(Ship().rect.left, 285);
  EXPECT_GE(Ship().vx, 2.6667f);
  EXPECT_LE(Ship().vx, 2.7501f);
  int steps = 0;
  while (Ship().vx != 0 && steps < 100) {
    driver.step();
    ++steps;
  }
  EXPECT_EQ(steps, 33);
  EXPECT_EQ(Ship().rect.left, 327);

  driver.steps(10, Holding({kLeftArrow, kRightArrow}));
  EXPECT_EQ(Ship().vx, 0.0f);
  EXPECT_EQ(Ship().movingH, 0);
}

TEST_F(ShipsInPlayTest, OneShotPerPressLeavingOnItsNinetyFourthStep) {
  StartAndJoin();
  driver.step();
  driver.step(Holding({kSpace}));
  const auto& shots = (*gPlayerShots)[0];
  Shot const& shot = shots[0];
  ASSERT_EQ(shot.active, 1);
  EXPECT_EQ(shot.oldRect.top, 352);
  EXPECT_EQ(shot.oldRect.left, 146);
  EXPECT_EQ(shot.oldRect.bottom, 376);
  EXPECT_EQ(shot.oldRect.right, 154);
  EXPECT_FLOAT_EQ(shot.vy, -4.00008f);
  ASSERT_EQ(driver.sounds().size(), 1u);
  EXPECT_EQ(driver.sounds()[0].name, "Shot0");
  EXPECT_EQ(driver.sounds()[0].point.v, 384);
  EXPECT_EQ(driver.sounds()[0].point.h, 160);

  int freedOn = 0;
  for (int step = 2; step <= 120 && !freedOn; ++step) {
    driver.step(step <= 31 ? Holding({kSpace}) : StepInput{});
    int inUse = 0;
    for (const Shot& s : shots) inUse += s.active;
    if (step <= 31) {
      EXPECT_LE(inUse, 1);
    }
    if (!shot.active) freedOn = step;
  }
  EXPECT_EQ(freedOn, 94);
}

TEST_F(ShipsInPlayTest, DoubledPressInPlay) {
  StartAndJoin();
  driver.step();
  Ship().doublesBar.target = 1;
  driver.step(Holding({kSpace}));
  const auto& shots = (*gPlayerShots)[0];
  ASSERT_EQ(shots[0].active + shots[1].active, 2);
  EXPECT_EQ(shots[1].oldRect.left, 166);
  EXPECT_EQ(shots[0].piercing & shots[1].piercing, 1);
  EXPECT_EQ(Ship().doublesBar.target, 0);
  int shot2 = 0;
  for (const auto& s : driver.sounds()) shot2 += s.name == "Shot2";
  EXPECT_EQ(shot2, 1);
}

}  // namespace
