#include <gtest/gtest.h>

#include "GameplayFixture.h"
#include "PlayerShots.h"
#include "Players.h"
#include "SpriteMotion.h"

namespace {

class PlayerShotsTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    ResetPlayer(0);
    ResetPlayer(1);
    Ship(0).shieldBar.target = Ship(1).shieldBar.target = 12;
    Ship(0).countdown = Ship(1).countdown = 0;
  }
  Shot& PlaceShot(int player, SInt16 top, SInt16 left, float vy, UInt8 piercing = 0) {
    Shot& shot = PlayerShot(player, 0);
    shot.active = 1;
    shot.piercing = piercing;
    shot.direction = vy > 0 ? 1 : 0;
    shot.rect = {top, left, static_cast<SInt16>(top + 24), static_cast<SInt16>(left + 8)};
    CenterSpritePosition(&shot);
    shot.vx = 0;
    shot.vy = vy;
    return shot;
  }
  Enemy& PlaceEnemy(int i, SInt32 state, Rect r) {
    Enemy& e = gEnemies[i];
    e.active = 1;
    e.state = state;
    e.rect = e.hotRect = r;
    return e;
  }
};

TEST_F(PlayerShotsTest, FallingShotHurtsOnlyItsOwnShip) {
  // Both ships under one falling shot of player 1's: only player 1 is hit.
  Ship(0).rect = Ship(1).rect = {368, 144, 400, 176};
  PlaceShot(1, 350, 156, 2.0f);
  MovePlayerShots();
  EXPECT_EQ(Ship(1).shieldBar.target, 11);
  EXPECT_FLOAT_EQ(Ship(1).vy, 2.66672f);
  EXPECT_EQ(Ship(1).flashFlag, 1);
  EXPECT_EQ(Ship(0).shieldBar.target, 12);
  EXPECT_EQ(Ship(0).vy, 0.0f);
  EXPECT_EQ(PlayerShot(1, 0).active, 0);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].sound, &Sounds().tap);

  // A shielded (fresh) ship or a rising shot is never hit.
  Ship(1).countdown = 5;
  PlaceShot(1, 350, 156, 2.0f);
  MovePlayerShots();
  EXPECT_EQ(Ship(1).shieldBar.target, 11);
  Ship(1).countdown = 0;
  PlaceShot(1, 380, 156, -4.00008f);
  MovePlayerShots();
  EXPECT_EQ(Ship(1).shieldBar.target, 11);
}

TEST_F(PlayerShotsTest, ShotLeavingTheFieldIsFreedBeforeAnyHit) {
  gBoss->active = 1;
  gBoss->healthBar.target = 10;
  gBoss->hotRect = {-40, 0, -10, 640};
  PlaceShot(0, -20, 100, -4.00008f);
  MovePlayerShots();
  EXPECT_EQ(PlayerShot(0, 0).active, 0);
  EXPECT_EQ(gBoss->healthBar.target, 10);
  EXPECT_TRUE(sounds.empty());
}

TEST_F(PlayerShotsTest, NormalShotBouncesOffAShieldAndComesBack) {
  Enemy& e = PlaceEnemy(2, EnemyShielded, {60, 90, 100, 130});
  Shot& shot = PlaceShot(0, 95, 100, -4.00008f);
  MovePlayerShots();
  EXPECT_EQ(shot.active, 1);
  EXPECT_EQ(shot.direction, 1);
  EXPECT_FLOAT_EQ(shot.vy, 4.00008f);
  EXPECT_GT(shot.rect.top, e.hotRect.bottom);  // pushed clear below the shield
  EXPECT_EQ(e.state, EnemyShielded);
  EXPECT_EQ(GameFlags.score[0], 150);
}

TEST_F(PlayerShotsTest, PiercingShotStripsTheShieldBurstsTheEnemyAndFliesOn) {
  Enemy& e = PlaceEnemy(2, EnemyShielded, {60, 90, 100, 130});
  Shot& shot = PlaceShot(0, 95, 100, -4.00008f, 1);
  MovePlayerShots();
  EXPECT_EQ(shot.active, 1);
  EXPECT_EQ(shot.direction, 0);
  // Stripped to a flying enemy (rect shrunk by 4), which the same hit bursts
  // (rect grown by 4 again).
  EXPECT_EQ(e.state, EnemyBursting);
  EXPECT_EQ(e.frame, 0);
  ExpectRect(e.rect, 60, 90, 100, 130);
  EXPECT_EQ(GameFlags.score[0], 150);
}

TEST_F(PlayerShotsTest, EnemyPointsByStateAndDyingEnemiesAreSkipped) {
  const struct {
    SInt32 state;
    SInt32 points;
    bool used;
  } cases[] = {{EnemyFlying, 150, true}, {EnemySpinning, 250, true}, {EnemyBursting, 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    GameFlags.score[0] = 0;
    PlaceEnemy(0, c.state, {60, 90, 100, 130});
    Shot& shot = PlaceShot(0, 95, 100, -4.00008f);
    MovePlayerShots();
    EXPECT_EQ(GameFlags.score[0], c.points);
    EXPECT_EQ(shot.active == 0, c.used);
  }
}

TEST_F(PlayerShotsTest, WingShotForThreeHundredFifty) {
  Object& wing = gWings[3];
  wing.active = 1;
  wing.rect = wing.hotRect = {80, 96, 104, 120};
  PlaceShot(0, 95, 100, -4.00008f);
  MovePlayerShots();
  EXPECT_EQ(wing.destroyed, 1);
  ExpectRect(wing.rect, 76, 92, 108, 124);
  EXPECT_EQ(GameFlags.score[0], 350);
  EXPECT_EQ(PlayerShot(0, 0).active, 0);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].sound, &Sounds().boom0);
}

TEST_F(PlayerShotsTest, OnlyPiercingShotsDestroyEnemyShots) {
  Shot& enemyShot = (*gEnemyShots)[5];
  for (UInt8 piercing = 0; piercing < 2; ++piercing) {
    SCOPED_TRACE(piercing);
    sounds.clear();
    enemyShot.active = 1;
    enemyShot.rect = enemyShot.hotRect = {90, 98, 110, 106};
    PlaceShot(0, 95, 100, -4.00008f, piercing);
    MovePlayerShots();
    EXPECT_EQ(enemyShot.active, piercing ? 0 : 1);
    EXPECT_EQ(CountSounds(Sounds().bounce), piercing ? 1 : 0);
  }
}

TEST_F(PlayerShotsTest, BossTakesCoreHitsAndStopsGlancingOnes) {
  Boss& boss = *gBoss;
  boss.active = 1;
  boss.hotRect = {40, 200, 100, 300};  // centre line at 250
  const struct {
    SInt16 shotLeft;  // the shot's centre is left + 4
    UInt8 piercing;
    UInt8 kind;
    SInt8 hitPoints;
    SInt8 expectedHitPoints;
    SInt32 points;
  } cases[] = {
      {234, 0, Boomerang, 10, 9, 350},  // d = -12
      {258, 0, Blimp, 10, 9, 250},      // d = +12
      {246, 1, Blimp, 10, 8, 250},      // piercing takes 2
      {246, 1, Blimp, 1, 0, 250},       // never below 0
      {233, 0, Boomerang, 10, 10, 0},   // d = -13: a glancing hit
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shotLeft);
    sounds.clear();
    GameFlags.score[0] = 0;
    boss.kind = c.kind;
    boss.healthBar.target = c.hitPoints;
    boss.flashFlag = 0;
    Shot& shot = PlaceShot(0, 90, c.shotLeft, -4.00008f, c.piercing);
    MovePlayerShots();
    EXPECT_EQ(shot.active, 0);
    EXPECT_EQ(boss.healthBar.target, c.expectedHitPoints);
    EXPECT_EQ(GameFlags.score[0], c.points);
    ASSERT_EQ(sounds.size(), 1u);
    bool core = c.points != 0;
    EXPECT_EQ(sounds[0].sound, core ? &Sounds().suck : &Sounds().tap);
    EXPECT_FLOAT_EQ(sounds[0].pitch, core ? 1.0f : 0.25f);
    EXPECT_EQ(boss.flashFlag, core ? 1 : 0);
  }
  // A dying boss or one with no hit points lets shots pass.
  boss.healthBar.target = 0;
  Shot& shot = PlaceShot(0, 90, 246, -4.00008f);
  MovePlayerShots();
  EXPECT_EQ(shot.active, 1);
}

}  // namespace
