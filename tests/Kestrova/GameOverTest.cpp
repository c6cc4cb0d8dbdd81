#include <gtest/gtest.h>

#include "GLFrame.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "MainLoop.h"
#include "PlayerKeys.h"
#include "Screens/MainScreen.h"
#include "Scoring.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kFireKey0 = 49;
constexpr UInt8 kFireKey1 = 82;

// A level-1 game with the given players flying at full brightness.
void StartFlying(GameDriver& driver, bool both) {
  driver.startGame();
  driver.steps(30);
  StepInput fire;
  fire.held = {kFireKey0};
  if (both) fire.held.push_back(kFireKey1);
  driver.step(fire);
  driver.step();
  ASSERT_EQ(GetFadeBrightness(), 255);
  ASSERT_EQ(gPlayers[0].state, PlayerFlying);
  ASSERT_TRUE(gPlayers[0].active);
  if (both) {
    ASSERT_TRUE(gPlayers[1].active);
  }
}

// Steps until the game has handed over to the main screen.
int StepsUntilMainScreen(GameDriver& driver, int limit) {
  int steps = 0;
  while (GameFlags.gameOn && steps < limit) {
    driver.step();
    ++steps;
  }
  return steps;
}

TEST(GameEndTest, LastShipLostEndsTheGameWhateverEnemiesAreStillToCome) {
  for (UInt8 budget : {UInt8(12), UInt8(255)}) {
    SCOPED_TRACE(int(budget));
    GameDriver driver(5);
    StartFlying(driver, false);
    if (budget == 12) {
      EXPECT_EQ(GameFlags.waveBudget, 12);  // untouched: one enemy has yet to come
    }
    GameFlags.waveBudget = budget;
    AddShield(0, -12);
    ASSERT_EQ(gPlayers[0].state, PlayerExploding);

    int ticks = 0;
    int steps = 0;
    while (!GameFlags.gameOver && steps < 400) {
      if (AnimationPhase == 0) ++ticks;
      driver.step();
      ++steps;
    }
    ASSERT_EQ(GameFlags.gameOver, 1);
    EXPECT_EQ(ticks, 50);
    const int fade = 1 + StepsUntilMainScreen(driver, 400);
    EXPECT_EQ(fade, 128);
    EXPECT_EQ(GameFlags.gameOn, 0);  // RecordGameResult ran
    EXPECT_EQ(gMainScreen->active, 1);
  }
}

TEST(GameEndTest, AbortDuringPlayEndsWithinTheFade) {
  GameDriver driver(6);
  StartFlying(driver, false);
  ASSERT_NE(GameFlags.waveBudget, 0);
  AbortGame();
  EXPECT_EQ(GameFlags.gameOver, 1);
  const int steps = StepsUntilMainScreen(driver, 400);
  EXPECT_LE(steps, 128);
  EXPECT_EQ(GameFlags.gameOn, 0);
  EXPECT_EQ(gMainScreen->active, 1);
}

TEST(GameEndTest, SecondShipFlyingKeepsTheGameAndTheUnfinishedWaveGoing) {
  GameDriver driver(7);
  StartFlying(driver, true);
  AddShield(1, -12);
  ASSERT_EQ(gPlayers[1].state, PlayerExploding);
  // Enemies may still come, but none is let in: the field stays empty.
  GameFlags.waveBudget = 3;
  for (int step = 0; step < 600; ++step) {
    GameFlags.enemyCount[0] = GameFlags.enemyCount[1] = 0;
    gPlayers[0].shieldBar.target = 12;
    driver.step();
  }
  EXPECT_EQ(GameFlags.gameOver, 0);
  EXPECT_EQ(GameFlags.gameOn, 1);
  EXPECT_EQ(GameFlags.waveCleared, 0);
  EXPECT_EQ(GameFlags.waveBudget, 1);  // halved when the lost ship burnt out
  EXPECT_EQ(gPlayers[1].active, 0);
  EXPECT_EQ(gPlayers[0].state, PlayerFlying);
}

}  // namespace
