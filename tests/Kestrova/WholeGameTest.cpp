// Whole games played by the autopilot from the start of a game: the first
// wave cleared by two scripted players, and an hour of one game with the
// resident memory held flat; and a meteor stopped on the field's edge, which
// only a ship's ram can clear.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Autopilot.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "MainLoop.h"
#include "Scoring.h"
#include "SpriteMotion.h"

namespace {

using gametest::Autopilot;
using gametest::GameDriver;

constexpr UInt32 kSeed = 12345;

// Counts meteors burst and enemies destroyed by watching each slot change
// from one step to the next.
class Tally {
 public:
  void Watch() {
    for (int i = 0; i < kZadadoCount; ++i) {
      const bool burst = gZadados[i].active && gZadados[i].destroyed;
      if (burst && !meteorBurst_[i]) ++meteors;
      meteorBurst_[i] = burst;
    }
    for (int i = 0; i < kEnemyCount; ++i) {
      const bool down = gEnemies[i].active && gEnemies[i].state == EnemyBursting;
      if (down && !enemyDown_[i]) ++enemies;
      enemyDown_[i] = down;
    }
  }

  int meteors = 0;
  int enemies = 0;

 private:
  bool meteorBurst_[kZadadoCount] = {};
  bool enemyDown_[kEnemyCount] = {};
};

bool GameRunning() { return GameFlags.gameOn && !GameFlags.gameOver; }

// The memory the process holds: its resident size from /proc/self/statm.
// Under the address sanitizer that size is mostly the sanitizer's own (shadow
// pages, freed blocks held back, allocation records) and creeps up with every
// fresh address; there the heap the program still holds is counted instead.
#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
constexpr const char* kMemoryMeasure = "live heap";
long HeldMemory() { return static_cast<long>(__sanitizer_get_current_allocated_bytes()); }
#else
constexpr const char* kMemoryMeasure = "resident";
long HeldMemory() {
  long size = 0;
  long resident = 0;
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return -1;
  const int read = std::fscanf(statm, "%ld %ld", &size, &resident);
  std::fclose(statm);
  return read == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
}
#endif

TEST(WholeGameTest, TwoScriptedPlayersScoreAndClearTheFirstLevel) {
  GameDriver driver(kSeed);
  driver.startGame();
  Autopilot pilot;
  Tally tally;
  int steps = 0;
  while (GameFlags.level < 2 && GameRunning() && steps < 30000) {
    driver.step(pilot.next());
    tally.Watch();
    ++steps;
  }
  EXPECT_EQ(GameFlags.joined[0], 1);
  EXPECT_EQ(GameFlags.joined[1], 1);
  EXPECT_GT(GameFlags.score[0] + GameFlags.score[1], 0);
  EXPECT_GT(tally.meteors, 0);
  EXPECT_GT(tally.enemies, 0);
  EXPECT_TRUE(GameRunning()) << "the game ended after " << steps << " steps";
  EXPECT_EQ(GameFlags.level, 2) << "level 1 still running after " << steps << " steps";
}

constexpr int kHourSteps = 216000;
constexpr int kSettledStep = 10000;
constexpr long kMemorySlack = 1 << 20;

void Quiet(const GameSoundRequest&, void*) {}

// The driver keeps a trace line for every step and the sounds of the last
// one; over an hour its own trace would be tens of megabytes. These steps
// hold the keys and run the loop's step as the driver does, and keep nothing.
class QuietSteps {
 public:
  explicit QuietSteps(GameDriver& driver) : driver_(driver) {
    savedSink_ = GetGameSoundSink(&savedContext_);
    SetGameSoundSink(&Quiet, nullptr);
  }
  ~QuietSteps() { SetGameSoundSink(savedSink_, savedContext_); }
  QuietSteps(const QuietSteps&) = delete;
  QuietSteps& operator=(const QuietSteps&) = delete;

  void Step(const gametest::StepInput& input) {
    for (UInt8 key : held_)
      if (std::find(input.held.begin(), input.held.end(), key) == input.held.end()) Hold(key, false);
    for (UInt8 key : input.held) Hold(key, true);
    held_ = input.held;
    // Engine calls busy-wait on the clock inside a step: let it move.
    driver_.clock().stepPerRead = 100000;
    RunGameStep();
    driver_.clock().stepPerRead = 0;
  }

 private:
  void Hold(UInt8 key, bool down) {
    const int scancode = gametest::ScancodeForKeyCode(key);
    if (scancode >= 0) driver_.backend().SetKeyHeld(scancode, down);
  }

  GameDriver& driver_;
  std::vector<UInt8> held_;
  GameSoundSink savedSink_ = nullptr;
  void* savedContext_ = nullptr;
};

TEST(WholeGameTest, AnHourOfOneGameKeepsItsResidentMemory) {
  GameDriver driver(kSeed);
  driver.startGame();
  QuietSteps steps(driver);
  Autopilot pilot;
  Tally tally;
  long settled = -1;
  int peakLevel = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int step = 1; step <= kHourSteps; ++step) {
    steps.Step(pilot.next());
    tally.Watch();
    // The script keeps the flying ships' shields full, so the game never ends.
    if (step % 60 == 0)
      for (int p = 0; p < kPlayerCount; ++p)
        if (gPlayers[p].active && gPlayers[p].state == PlayerFlying) AddShield(static_cast<SInt8>(p), 12);
    if (peakLevel < GameFlags.level) peakLevel = GameFlags.level;
    if (step == kSettledStep) settled = HeldMemory();
    ASSERT_TRUE(GameRunning()) << "the game ended at step " << step;
  }
  const long end = HeldMemory();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%d steps in %.1f s; level %d reached; %d meteors burst, %d enemies destroyed; %s %ld -> %ld bytes\n",
              kHourSteps, seconds, peakLevel, tally.meteors, tally.enemies, kMemoryMeasure, settled, end);
  ASSERT_GT(settled, 0);
  EXPECT_LE(end - settled, kMemorySlack);
  EXPECT_LE(settled - end, kMemorySlack);
  EXPECT_GT(peakLevel, 1);
}

// Ends a wave's traffic: nothing left to come and nothing on the field.
void EmptyTheField() {
  GameFlags.waveBudget = 0;
  GameFlags.launchedEnemies = 0;
  for (int i = 0; i < kEnemyCount; ++i) gEnemies[i].active = 0;
  for (int i = 0; i < kZadadoCount; ++i) gZadados[i].active = 0;
  for (int i = 0; i < kObjectCount; ++i) gWings[i].active = gPods[i].active = (*gExplosions)[i].active = 0;
  for (Object& pow : *gPickUps) pow.active = 0;
  for (Shot& shot : *gEnemyShots) shot.active = 0;
}

// A collision can stop a meteor dead half over the field's edge, where no
// shot reaches it and it never drifts off: the wave waits for it, but a ship
// can always ram it off, since a ship reaches every edge of the field.
TEST(WholeGameTest, AMeteorStoppedOnTheFieldsEdgeHoldsTheWaveUntilAShipRamsIt) {
  GameDriver driver(kSeed);
  driver.startGame();
  driver.steps(30);
  gametest::StepInput join;
  join.held = {KeyBindings[0][kKeyFire]};
  driver.step(join);
  driver.steps(120);
  ASSERT_TRUE(gPlayers[0].active);
  ASSERT_EQ(GameFlags.respawnDone, 1);

  EmptyTheField();
  Zadado& meteor = gZadados[3];
  meteor.active = 1;
  meteor.destroyed = 0;
  meteor.size = 0;
  meteor.hits = 3;
  meteor.rect = meteor.hotRect = Rect{200, 636, 232, 668};
  meteor.vx = meteor.vy = 0;
  CenterSpritePosition(&meteor);

  // Left alone it stays, and so does the wave.
  driver.steps(600);
  EXPECT_TRUE(meteor.active);
  EXPECT_EQ(meteor.hotRect.left, 636);
  EXPECT_EQ(GameFlags.waveCleared, 0);
  EXPECT_EQ(GameFlags.level, 1);

  // A ship pressed against the right edge at its height pushes it out.
  Player& ship = gPlayers[0];
  const SInt16 w = static_cast<SInt16>(ship.rect.right - ship.rect.left);
  const SInt16 h = static_cast<SInt16>(ship.rect.bottom - ship.rect.top);
  ship.rect = Rect{200, static_cast<SInt16>(560 - w), static_cast<SInt16>(200 + h), 560};
  ship.vx = ship.vy = 0;
  CenterSpritePosition(&ship);
  gametest::StepInput right;
  right.held = {KeyBindings[0][kKeyRight]};
  int steps = 0;
  while (meteor.active && steps < 300) {
    driver.step(right);
    ++steps;
  }
  EXPECT_FALSE(meteor.active) << "still there after " << steps << " steps";
  while (GameFlags.level == 1 && steps < 900) {
    driver.step();
    ++steps;
  }
  EXPECT_EQ(GameFlags.level, 2);
  EXPECT_TRUE(GameRunning());
}

}  // namespace
