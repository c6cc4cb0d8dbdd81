#include <gtest/gtest.h>

#include <cstdint>

#include "Effects.h"
#include "Enemies.h"
#include "EnemyShots.h"
#include "GameplayFixture.h"
#include "Geometry.h"
#include "Players.h"
#include "SpriteMotion.h"

namespace {

class EnemyShotsTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    ResetPlayer(0);
    ResetPlayer(1);
    for (int p = 0; p < 2; ++p) {
      Ship(p).shieldBar.target = 12;
      Ship(p).countdown = 0;
      Ship(p).active = 0;
    }
  }

  Shot& EnemyShot(int i) { return (*gEnemyShots)[i]; }

  // A still shot (no velocity) so that its rect stays where it is put.
  Shot& PlaceShot(int slot, UInt8 isBolt, UInt8 kind, SInt16 top, SInt16 left) {
    Shot& shot = EnemyShot(slot);
    SInt16 w = isBolt ? (kind == 2 ? 32 : 24) : 16;
    SInt16 h = isBolt ? w : 24;
    shot.active = 1;
    shot.isBolt = isBolt;
    shot.boltKind = kind;
    shot.direction = 1;
    shot.flashFlag = 2;
    shot.rect = {top, left, static_cast<SInt16>(top + h), static_cast<SInt16>(left + w)};
    CenterSpritePosition(&shot);
    shot.vx = shot.vy = shot.targetVX = shot.targetVY = 0;
    return shot;
  }

  Player& PlaceShip(int p, SInt16 top, SInt16 left) {
    Player& ship = Ship(p);
    ship.active = 1;
    ship.state = PlayerFlying;
    ship.countdown = 0;
    ship.shieldBar.target = 12;
    ship.vx = ship.vy = 0;
    ship.rect = {top, left, static_cast<SInt16>(top + 32), static_cast<SInt16>(left + 32)};
    CenterSpritePosition(&ship);
    return ship;
  }

  Enemy& PlaceEnemy(int i, SInt32 state, SInt16 top, SInt16 left) {
    Enemy& e = gEnemies[i];
    SInt16 side = state == EnemyShielded ? 40 : 32;
    e.active = 1;
    e.state = state;
    e.rect = e.hotRect = {top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
    e.vx = e.vy = 0;
    e.firingFlash = 0;
    CenterSpritePosition(&e);
    return e;
  }

  int Count(const ALSound& sound) const { return CountSounds(sound); }
};

TEST_F(EnemyShotsTest, EachShotCostsItsShieldAndKnocksTheShipAway) {
  struct Case {
    UInt8 isBolt, kind;
    SInt8 cost;
  };
  const Case cases[] = {{0, 0, 1}, {1, 0, 2}, {1, 1, 2}, {1, 2, 3}};
  for (const Case& c : cases) {
    for (int fromSide = 0; fromSide < 2; ++fromSide) {
      SCOPED_TRACE(::testing::Message() << "bolt " << int(c.isBolt) << " kind " << int(c.kind) << " side " << fromSide);
      sounds.clear();
      Player& ship = PlaceShip(0, 300, 300);
      ship.flashFlag = 0;
      // From above, overlapping the ship's top; or from its left side.
      Shot& shot = fromSide ? PlaceShot(3, c.isBolt, c.kind, 302, 290) : PlaceShot(3, c.isBolt, c.kind, 288, 308);
      MoveEnemyShots();
      EXPECT_EQ(shot.active, 0);
      EXPECT_EQ(ship.shieldBar.target, 12 - c.cost);
      EXPECT_EQ(Count(Sounds().tap), 1);
      EXPECT_EQ(Count(Sounds().boom0), c.kind == 2 && c.isBolt ? 1 : 0);
      if (fromSide) {
        EXPECT_EQ(ship.vx, 2.6667f);
        EXPECT_EQ(ship.vy, 0.0f);
      } else {
        EXPECT_EQ(ship.vy, 2.6667f);
        EXPECT_EQ(ship.vx, 0.0f);
      }
      EXPECT_EQ(ship.flashFlag, 1);
      EXPECT_EQ(ship.flashColour[0], FlashColour[0]);
    }
  }
  // From below and from the right the push goes the other way.
  Player& ship = PlaceShip(1, 300, 300);
  PlaceShot(0, 0, 0, 310, 308);
  MoveEnemyShots();
  EXPECT_EQ(ship.vy, -2.6667f);
  PlaceShip(1, 300, 300);
  PlaceShot(0, 1, 0, 302, 320);
  MoveEnemyShots();
  EXPECT_EQ(ship.vx, -2.6667f);
}

TEST_F(EnemyShotsTest, InvulnerableOrExplodingShipLetsShotsPass) {
  for (int mode = 0; mode < 2; ++mode) {
    SCOPED_TRACE(mode);
    Player& ship = PlaceShip(0, 300, 300);
    if (mode == 0)
      ship.countdown = 3;
    else
      ship.state = PlayerExploding;
    Shot& shot = PlaceShot(2, 1, 1, 288, 308);
    MoveEnemyShots();
    EXPECT_EQ(shot.active, 1);
    EXPECT_EQ(ship.shieldBar.target, 12);
    EXPECT_TRUE(sounds.empty());
  }
}

TEST_F(EnemyShotsTest, NinthBoltIsDroppedWithoutADraw) {
  for (int i = 0; i < 8; ++i) EXPECT_EQ(FireBolt(static_cast<SInt16>(100 + 10 * i), 100, 1), 1);
  Rect before[8];
  for (int i = 0; i < 8; ++i) before[i] = EnemyShot(i).rect;
  uint32_t seed = RandomSeed;
  EXPECT_EQ(FireBolt(300, 300, 0), 0);
  EXPECT_EQ(RandomSeed, seed);
  for (int i = 0; i < 8; ++i) {
    EXPECT_TRUE(EqualRects(&before[i], &EnemyShot(i).rect));
    EXPECT_EQ(EnemyShot(i).boltKind, 1);
  }
  EXPECT_EQ(Count(Sounds().shot1), 0);
}

TEST_F(EnemyShotsTest, BoltShapesAndCourses) {
  for (int round = 0; round < 40; ++round) {
    for (int i = 0; i < 8; ++i) EnemyShot(i).active = 0;
    sounds.clear();
    ASSERT_EQ(FireBolt(200, 150, 0), 1);
    Shot& gun = EnemyShot(0);
    ExpectRect(gun.rect, 138, 188, 162, 212);
    EXPECT_GT(gun.vy, 0.0f);  // the boss's guns always fire down
    EXPECT_EQ(gun.frame, 0);
    EXPECT_EQ(Count(Sounds().shot1), 1);

    ASSERT_EQ(FireBolt(200, 150, 2), 1);
    Shot& big = EnemyShot(1);
    ExpectRect(big.rect, 134, 184, 166, 216);
    EXPECT_EQ(big.flashFlag, 2);
    EXPECT_EQ(big.targetVX, big.vx);
    EXPECT_EQ(big.targetVY, big.vy);
    EXPECT_GE(big.frame, 0);
    EXPECT_LE(big.frame, 4);
    for (const Shot* s : {&gun, &big}) {
      EXPECT_EQ(s->isBolt, 1);
      EXPECT_EQ(s->direction, 1);
      float speed = s->vx < 0 ? -s->vx : s->vx;
      EXPECT_GE(speed, 0.33334f);
      EXPECT_LE(speed, 1.33336f);
    }
  }
}

TEST_F(EnemyShotsTest, LaserFallsFromTheEnemyUnlessItsSlotIsBusy) {
  Enemy& e = PlaceEnemy(2, EnemyFlying, 100, 200);
  FireEnemyLaser(2);
  Shot& laser = EnemyShot(2);
  ASSERT_EQ(laser.active, 1);
  ExpectRect(laser.rect, 124, 208, 148, 224);
  EXPECT_EQ(laser.vy, 4.00008f);
  EXPECT_EQ(laser.direction, 1);
  EXPECT_EQ(laser.isBolt, 0);
  EXPECT_EQ(e.firingFlash, 1);
  EXPECT_EQ(Count(Sounds().shot1), 1);

  // Busy slot: no second laser, no flash, no sound; also through MoveEnemies.
  e.firingFlash = 0;
  sounds.clear();
  FireEnemyLaser(2);
  EXPECT_EQ(e.firingFlash, 0);
  EXPECT_TRUE(sounds.empty());
  GameFlags.respawnDone = 1;
  GameFlags.enemyValueB = 1;
  AnimationPhase = 0;
  MoveEnemies();
  EXPECT_EQ(e.firingFlash, 0);
  EXPECT_EQ(Count(Sounds().shot1), 0);
}

TEST_F(EnemyShotsTest, LaserHitsWithItsLeadingTwelveRows) {
  Shot& laser = PlaceShot(0, 0, 0, 100, 100);
  MoveEnemyShots();
  ExpectRect(laser.hotRect, 112, 100, 124, 116);
  laser.direction = 0;
  MoveEnemyShots();
  ExpectRect(laser.hotRect, 100, 100, 112, 116);
  Shot& bolt = PlaceShot(1, 1, 1, 100, 200);
  MoveEnemyShots();
  ExpectRect(bolt.hotRect, 104, 204, 120, 220);
}

TEST_F(EnemyShotsTest, ShieldSendsALaserBackUpAndStopsABolt) {
  Enemy& e = PlaceEnemy(5, EnemyShielded, 200, 200);
  Shot& laser = PlaceShot(5, 0, 0, 180, 212);
  laser.vy = 4.00008f;
  MoveEnemyShots();
  EXPECT_EQ(laser.active, 1);
  EXPECT_EQ(laser.direction, 0);
  EXPECT_EQ(laser.vy, -4.00008f);
  EXPECT_LT(laser.rect.bottom, e.hotRect.top);
  EXPECT_EQ(e.state, EnemyShielded);
  EXPECT_EQ(Count(Sounds().bounce), 1);
  // On its way up it keeps going.
  SInt16 top = laser.rect.top;
  MoveEnemyShots();
  EXPECT_LT(laser.rect.top, top);
  EXPECT_EQ(Count(Sounds().bounce), 1);

  Shot& bolt = PlaceShot(1, 1, 1, 210, 210);
  MoveEnemyShots();
  EXPECT_EQ(bolt.active, 0);
  EXPECT_EQ(e.state, EnemyShielded);
  EXPECT_EQ(Count(Sounds().bounce), 2);
}

TEST_F(EnemyShotsTest, ShotOnAFlyingEnemyBlastsItAndIsGone) {
  Enemy& e = PlaceEnemy(4, EnemyFlying, 200, 200);
  Shot& laser = PlaceShot(0, 0, 0, 190, 208);
  MoveEnemyShots();
  EXPECT_EQ(laser.active, 0);
  EXPECT_EQ(e.state, EnemyBursting);
  EXPECT_EQ(gPods[4].active, 0);  // no pod from an enemy's shot
}

TEST_F(EnemyShotsTest, MeteorTakesTheShotBeforeTheShipWithCauseByKind) {
  struct Case {
    UInt8 isBolt, kind, colour;
  };
  // Causes 2, 3, 4, 5 give the meteor's sparks lime, pink, red and blue.
  const Case cases[] = {{0, 0, kColourLime}, {1, 0, kColourPink}, {1, 1, kColourRed}, {1, 2, kColourBlue}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.isBolt) << " " << int(c.kind));
    for (int i = 0; i < kSparkCount; ++i) gSparks[i].inUse = 0;
    sounds.clear();
    Player& ship = PlaceShip(1, 300, 300);
    Zadado& z = Meteor(6);
    z.active = 1;
    z.destroyed = 0;
    z.size = 0;
    z.hits = 2;
    z.rect = z.hotRect = {280, 296, 312, 328};
    Shot& shot = PlaceShot(4, c.isBolt, c.kind, 288, 308);
    MoveEnemyShots();
    EXPECT_EQ(shot.active, 0);
    EXPECT_EQ(ship.shieldBar.target, 12);
    EXPECT_EQ(z.hits, 1);
    EXPECT_EQ(Count(Sounds().tap), 1);
    int tinted = 0;
    for (int i = 0; i < kSparkCount; ++i) {
      if (!gSparks[i].inUse) continue;
      EXPECT_EQ(gSparks[i].baseColour[0], GameColours[c.colour].red);
      EXPECT_EQ(gSparks[i].baseColour[1], GameColours[c.colour].green);
      EXPECT_EQ(gSparks[i].baseColour[2], GameColours[c.colour].blue);
      ++tinted;
    }
    EXPECT_EQ(tinted, 16);
  }
}

TEST_F(EnemyShotsTest, BigBoltSteersEveryThirdTickAndMayPassItsTarget) {
  Shot& bolt = PlaceShot(0, 1, 2, 100, 100);
  bolt.flashFlag = 0;
  bolt.vx = 0.33334f;
  bolt.targetVX = -0.33334f;
  bolt.vy = bolt.targetVY = 0.66668f;
  AnimationPhase = 0;
  MoveEnemyShots();
  EXPECT_FLOAT_EQ(bolt.vx, -0.66666f);
  EXPECT_EQ(bolt.flashFlag, 2);
  EXPECT_EQ(bolt.flashColour[0], FlashColour[0]);
  // Two counted ticks pass with the course kept; off-tick steps do nothing.
  MoveEnemyShots();
  EXPECT_EQ(bolt.flashFlag, 1);
  AnimationPhase = 1;
  MoveEnemyShots();
  EXPECT_EQ(bolt.flashFlag, 1);
  AnimationPhase = 0;
  MoveEnemyShots();
  EXPECT_EQ(bolt.flashFlag, 0);
  EXPECT_FLOAT_EQ(bolt.vx, -0.66666f);
  MoveEnemyShots();
  EXPECT_FLOAT_EQ(bolt.vx, 0.33334f);  // passed the target the other way
}

TEST_F(EnemyShotsTest, ShotLeavingTheFieldHitsNothingAndWingsStopShots) {
  Shot& gone = PlaceShot(0, 0, 0, 440, 100);
  gone.vy = 10.0f;
  Object& low = gWings[3];
  low.active = 1;
  low.destroyed = 0;
  low.rect = low.hotRect = {440, 96, 470, 120};
  MoveEnemyShots();
  EXPECT_EQ(gone.active, 0);
  EXPECT_EQ(low.destroyed, 0);

  Object& wing = gWings[2];
  wing.active = 1;
  wing.destroyed = 0;
  wing.rect = wing.hotRect = {200, 200, 224, 224};
  Shot& shot = PlaceShot(1, 1, 1, 196, 196);
  MoveEnemyShots();
  EXPECT_EQ(shot.active, 0);
  EXPECT_EQ(wing.destroyed, 1);
}

}  // namespace
