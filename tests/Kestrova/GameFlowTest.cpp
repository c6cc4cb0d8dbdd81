#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GLFrame.h"
#include "Enemies.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "GameStep.h"
#include "Levels.h"
#include "MainLoop.h"
#include "PlistTag.h"
#include "QV_Scores.h"
#include "Scoring.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kFireKey = 49;

// A game with player 0 flying at full brightness.
void StartWithPlayerZero(GameDriver& driver) {
  driver.startGame();
  driver.steps(30);
  StepInput fire;
  fire.held = {kFireKey};
  driver.step(fire);
  driver.step();
  ASSERT_EQ(GetFadeBrightness(), 255);
  ASSERT_TRUE(gPlayers[0].active);
  ASSERT_EQ(gPlayers[0].state, PlayerFlying);
}

std::string PendingValue(int entry, const char* name) {
  PlistTag* tag = PlistTag::FindTag(&gScores->pending.data[entry].tag, "integer", name, 0);
  if (!tag) return "(none)";
  return std::string(reinterpret_cast<const char*>(tag->value + 1), tag->value[0]);
}

TEST(GameOverTest, FiftyTicksAfterTheBlastThenA128StepFadeThenTheMainScreen) {
  GameDriver driver(5);
  StartWithPlayerZero(driver);
  GameFlags.waveBudget = 0;
  GameFlags.wavePending = 1;  // the wave stays open: no level change in between
  GameFlags.score[0] = 4321;
  GameFlags.level = 7;
  AddShield(0, -12);
  ASSERT_EQ(gPlayers[0].state, PlayerExploding);
  ASSERT_EQ(GameFlags.gameOverDelay, 50);

  int ticks = 0;
  int steps = 0;
  while (!GameFlags.gameOver && steps < 400) {
    if (AnimationPhase == 0) ++ticks;
    driver.step();
    ++steps;
  }
  ASSERT_EQ(GameFlags.gameOver, 1);
  EXPECT_EQ(ticks, 50);
  // The step that ended the game took the fade's first step.
  EXPECT_EQ(GetFadeBrightness(), 253);
  int fadeSteps = 1;
  while (GameFlags.gameOn && fadeSteps < 400) {
    driver.step();
    ++fadeSteps;
  }
  EXPECT_EQ(fadeSteps, 128);
  // The result is recorded and the main screen takes over.
  char line[512];
  FormatTraceLine(line, sizeof line, 0);
  EXPECT_NE(std::string(line).find(" screen=MainScreen "), std::string::npos) << line;
}

class RecordGameResultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = std::make_unique<GameDriver>(3);
    driver_->startGame();
    ASSERT_GE(gScores->pendingCount, 2);
    GameFlags.score[0] = 9999999;
    GameFlags.score[1] = 0;
    GameFlags.level = 42;
  }
  void TearDown() override {
    QuitRequested = 0;
    driver_.reset();
  }
  std::unique_ptr<GameDriver> driver_;
};

TEST_F(RecordGameResultTest, WritesScoreAndLevelIntoThePendingEntries) {
  RecordGameResult();
  EXPECT_EQ(GameFlags.gameOn, 0);
  EXPECT_EQ(PendingValue(0, "Score"), "9999999");
  EXPECT_EQ(PendingValue(0, "Level"), "42");
  EXPECT_EQ(PendingValue(1, "Score"), "0");
  EXPECT_EQ(PendingValue(1, "Level"), "42");
}

TEST_F(RecordGameResultTest, AQuitWritesNothing) {
  QuitRequested = 1;
  RecordGameResult();
  EXPECT_EQ(GameFlags.gameOn, 0);
  EXPECT_EQ(PendingValue(0, "Score"), "(none)");
  EXPECT_EQ(PendingValue(0, "Level"), "(none)");
}

// Steps until StartLevel has run (the cleared flag drops again).
int StepToNextLevel(GameDriver& driver) {
  int steps = 0;
  while (!GameFlags.waveCleared && steps < 100) {
    driver.step();
    ++steps;
  }
  while (GameFlags.waveCleared && steps < 1000) {
    driver.step();
    ++steps;
  }
  return steps;
}

TEST(LevelChangeTest, AClearedWaveAtLevelThreeStartsTheBlimpThenLevelFour) {
  GameDriver driver(11);
  StartWithPlayerZero(driver);
  GameFlags.level = 3;
  GameFlags.waveBudget = 0;
  const int steps = StepToNextLevel(driver);
  EXPECT_LT(steps, 1000);
  EXPECT_EQ(GameFlags.level, 3);
  EXPECT_EQ(GameFlags.levelKind, kLevelBlimp);
  EXPECT_EQ(gGameMusic->fileName, "Music/Boss");
  EXPECT_EQ(gPlayers[0].respawn, 1);

  // Held open while the picture comes back and the ship returns.
  GameFlags.waveBudget = 1;
  for (int i = 0; i < 100 && GetFadeBrightness() != 255; ++i) driver.step();
  // The banner's end brings the ships back; its mover comes with the enemies.
  if (!GameFlags.respawnDone) RespawnPlayers();
  driver.step();
  ASSERT_TRUE(gPlayers[0].active);
  ASSERT_EQ(gPlayers[0].state, PlayerFlying);
  // The boss beaten and the field empty, the wave ends once more.
  GameFlags.bossBeaten = 1;
  gBoss->active = 0;
  ClearEnemies();
  for (int i = 0; i < kZadadoCount; ++i) gZadados[i].active = 0;
  for (auto& pickUp : *gPickUps) pickUp.active = 0;
  GameFlags.waveBudget = 0;
  StepToNextLevel(driver);
  EXPECT_EQ(GameFlags.level, 4) << driver.trace().back();
  EXPECT_EQ(GameFlags.levelKind, kLevelWave);
  EXPECT_EQ(GameFlags.bossBeaten, 0);
  EXPECT_EQ(gGameMusic->fileName, "Music/Game");
  EXPECT_EQ(GameFlags.waveBudget, WaveBudgetFor(4, false));
}

// The picture drawn now, and again with the level kind set to a wave's: the
// two agree when the kind plays no part in it.
bool KindChangesThePicture(GameDriver& driver) {
  const std::vector<uint8_t> asItIs = driver.frame().rgba;
  const SInt8 kind = GameFlags.levelKind;
  GameFlags.levelKind = kLevelWave;
  const std::vector<uint8_t> asAWave = driver.frame().rgba;
  GameFlags.levelKind = kind;
  EXPECT_FALSE(asItIs.empty());
  return asItIs != asAWave;
}

// The banner's layout follows the boss in use, not the kind of the level to
// come: the kind turns to the boss's as the wave is cleared, seconds before
// the boss arrives.
TEST(LevelChangeTest, TheBannerShowsTheBossLayoutOnlyWhileTheBossIsInUse) {
  GameDriver driver(11);
  StartWithPlayerZero(driver);
  ASSERT_TRUE(gLevelBanner->active);

  // The last steps of the wave before the level-3 boss: the kind is the
  // boss's already, the boss is not in use yet, the banner still shows.
  GameFlags.level = 3;
  GameFlags.waveBudget = 0;
  int drawn = 0;
  for (int i = 0; i < 1000 && !gBoss->active; ++i) {
    driver.step();
    if (gBoss->active || !gLevelBanner->active || GameFlags.levelKind != kLevelBlimp) continue;
    ++drawn;
    ASSERT_FALSE(KindChangesThePicture(driver)) << "step " << i;
  }
  ASSERT_TRUE(gBoss->active);
  EXPECT_GT(drawn, 25);  // the wave end's countdown at least

  // The boss in use: its banner, whatever the kind says.
  for (int i = 0; i < 200 && !gLevelBanner->active; ++i) driver.step();
  ASSERT_TRUE(gLevelBanner->active);
  ASSERT_TRUE(gBoss->active);
  EXPECT_FALSE(KindChangesThePicture(driver));
  // The boss gone, the same banner shows a wave's layout.
  const std::vector<uint8_t> withBoss = driver.frame().rgba;
  gBoss->active = 0;
  const std::vector<uint8_t> without = driver.frame().rgba;
  gBoss->active = 1;
  EXPECT_NE(withBoss, without);
}

TEST(LevelChangeTest, LevelNinetyNineStaysNinetyNine) {
  GameDriver driver(11);
  StartWithPlayerZero(driver);
  GameFlags.level = 99;
  GameFlags.waveBudget = 0;
  StepToNextLevel(driver);
  EXPECT_EQ(GameFlags.level, 99);
  EXPECT_EQ(GameFlags.levelKind, kLevelWave);
  EXPECT_EQ(GameFlags.waveBudget, 255);
  EXPECT_EQ(GameFlags.meteorValue, 100);
}

TEST(LevelChangeTest, StartLevelStoresTheClampedValuesAndTheBudget) {
  GameDriver driver(2);
  driver.startGame();
  struct Row {
    SInt8 level;
    bool both;
    UInt8 budget;
  };
  const Row rows[] = {{1, false, 12}, {1, true, 24}, {40, false, 129}, {40, true, 255}, {83, false, 255}};
  for (const Row& row : rows) {
    GameFlags.level = row.level;
    gPlayers[0].active = 1;
    gPlayers[1].active = row.both ? 1 : 0;
    StartLevel(kLevelWave);
    EXPECT_EQ(GameFlags.waveBudget, row.budget) << "level " << int(row.level);
    const DifficultyValues v = ComputeDifficulty(row.level);
    EXPECT_EQ(GameFlags.meteorValue, v.meteorValue);
    EXPECT_EQ(GameFlags.bossValueD, v.bossValueD);
  }
}

// True when the call ran the game rather than only marking the phase.
bool CallRan() {
  AnimationPhase = 1;
  DoGameStep();
  return AnimationPhase == 1;
}

TEST(SlowMotionTest, SinksWhileTheBossDiesAndWearsOffAfter) {
  GameDriver driver(4);
  driver.startGame();
  driver.steps(30);
  gBoss->active = 1;
  gBoss->dying = 1;
  int call = 0;
  while (GameFlags.slowLevel < 6 && call < 100) {
    CallRan();
    ++call;
  }
  EXPECT_EQ(call, 31);
  // At the bottom one call in seven runs.
  std::string pattern;
  for (int i = 0; i < 21; ++i) pattern += CallRan() ? 'R' : '.';
  const size_t first = pattern.find('R');
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(pattern.substr(first, 15), "R......R......R");
  EXPECT_EQ(GameFlags.slowLevel, 6);

  gBoss->active = 0;
  call = 0;
  while (GameFlags.slowLevel != 0 && call < 400) {
    CallRan();
    ++call;
  }
  EXPECT_EQ(call, 111);
  EXPECT_EQ(GameFlags.slowLevel, 0);
}

}  // namespace
