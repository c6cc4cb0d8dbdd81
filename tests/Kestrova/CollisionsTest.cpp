#include <gtest/gtest.h>

#include "Collisions.h"
#include "GameplayFixture.h"
#include "Geometry.h"
#include "Players.h"
#include "SpriteMotion.h"

namespace {

Rect Square(SInt16 top, SInt16 left, SInt16 side) {
  return Rect{top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
}

class CollisionsTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    for (int p = 0; p < kPlayerCount; ++p) {
      ResetPlayer(static_cast<SInt8>(p));
      Ship(p).active = 0;
      Ship(p).shieldBar.target = 12;
    }
  }
  Enemy& PlaceEnemy(int i, SInt32 state, Rect r, float vx = 0, float vy = 0) {
    Enemy& e = gEnemies[i];
    e.active = 1;
    e.state = state;
    e.rect = e.hotRect = r;
    e.vx = vx;
    e.vy = vy;
    CenterSpritePosition(&e);
    return e;
  }
  Zadado& PlaceMeteor(int i, SInt8 size, Rect r, float vx = 0, float vy = 0) {
    Zadado& z = Meteor(i);
    z.active = 1;
    z.destroyed = 0;
    z.size = size;
    z.flashFlag = 0;
    z.rect = z.hotRect = r;
    z.vx = vx;
    z.vy = vy;
    CenterSpritePosition(&z);
    return z;
  }
  Object& PlaceWing(int i, Rect r) {
    Object& w = gWings[i];
    w.active = 1;
    w.destroyed = 0;
    w.rect = w.hotRect = r;
    return w;
  }
  Player& PlaceShip(int p, Rect r, float vx = 0, float vy = 0, UInt8 countdown = 0) {
    Player& ship = Ship(p);
    ship.active = 1;
    ship.state = PlayerFlying;
    ship.countdown = countdown;
    ship.rect = r;
    ship.vx = vx;
    ship.vy = vy;
    ship.flashFlag = 0;
    CenterSpritePosition(&ship);
    return ship;
  }
  Boss& PlaceBoss(Rect hot) {
    Boss& boss = *gBoss;
    boss.active = 1;
    boss.dying = 0;
    boss.hotRect = hot;
    boss.rect = hot;
    InsetRectBy(&boss.rect, -8, -8);
    boss.vx = boss.vy = boss.targetVX = boss.targetVY = 0;
    CenterSpritePosition(&boss);
    return boss;
  }
  int SparksInUse() const {
    int n = 0;
    for (int i = 0; i < kSparkCount; ++i) n += gSparks[i].inUse;
    return n;
  }
  int MetalSounds() const { return CountSounds(gSounds->metal0) + CountSounds(gSounds->metal1); }
};

TEST_F(CollisionsTest, RectsCollideNamesTheAxisOfTheShallowerOverlap) {
  struct Case {
    const char* name;
    Rect a, b;
    UInt8 expected;
  };
  const Case cases[] = {
      {"side by side", Square(100, 100, 32), Square(104, 124, 32), 0},
      {"top to bottom", Square(100, 100, 32), Square(124, 104, 32), 1},
      {"b above a", Square(100, 100, 32), Square(76, 96, 32), 1},
      {"equal depths are a side contact", Square(100, 100, 32), Square(124, 124, 32), 0},
      {"touching edges", Square(100, 100, 32), Square(132, 100, 32), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RectsCollide(&c.a, &c.b), c.expected);
  }
}

TEST_F(CollisionsTest, FlyingEnemiesSideBySideSwapSpeedsAndPartOnce) {
  // Enemy 1 is handled first (7 down to 0) and takes enemy 0's speed exactly;
  // enemy 0 gets enemy 1's old speed truncated.
  PlaceEnemy(1, EnemyFlying, Square(100, 100, 32), 0.66668f);
  PlaceEnemy(0, EnemyFlying, Square(104, 120, 32), -1.33336f);
  DoCollisions();
  Enemy& first = gEnemies[1];
  Enemy& second = gEnemies[0];
  EXPECT_FLOAT_EQ(first.vx, -1.33336f);
  EXPECT_EQ(second.vx, 0.0f);
  EXPECT_FALSE(GameRectsOverlap(first.hotRect, second.hotRect));
  EXPECT_FALSE(GameRectsOverlap(first.rect, second.rect));
  EXPECT_EQ(first.rect.right - first.rect.left, 32);
  EXPECT_LE(first.rect.right, second.rect.left);
  EXPECT_EQ(first.x, RectCentreH(first.rect));
  EXPECT_EQ(MetalSounds(), 1);  // the reversed pair no longer overlaps
  EXPECT_EQ(SparksInUse(), 16);
  EXPECT_EQ(first.state, EnemyFlying);
  EXPECT_EQ(second.state, EnemyFlying);

  // The swap truncates toward zero for negative speeds too.
  PlaceEnemy(1, EnemyFlying, Square(200, 100, 32), -1.33336f);
  PlaceEnemy(0, EnemyFlying, Square(204, 120, 32), 0.66668f);
  DoCollisions();
  EXPECT_FLOAT_EQ(gEnemies[1].vx, 0.66668f);
  EXPECT_EQ(gEnemies[0].vx, -1.0f);
}

TEST_F(CollisionsTest, AFlyingEnemyTouchingAShieldedOneBlastsBoth) {
  Enemy& shielded = PlaceEnemy(3, EnemyShielded, Square(100, 100, 40));
  shielded.shieldTimer = 3;
  Enemy& flying = PlaceEnemy(2, EnemyFlying, Square(110, 130, 32));
  DoCollisions();
  EXPECT_EQ(shielded.state, EnemyShielded);
  EXPECT_GE(shielded.shieldTimer, 10);
  EXPECT_GE(CountSounds(Sounds().bounce), 1);
  EXPECT_NE(flying.state, EnemyFlying);  // spun or burst
  EXPECT_EQ(MetalSounds(), 0);
}

TEST_F(CollisionsTest, TwoShieldedEnemiesTradeVerticalSpeedsAndKeepTheirShields) {
  Enemy& a = PlaceEnemy(5, EnemyShielded, Square(100, 100, 40), 0.33334f, 1.33336f);
  Enemy& b = PlaceEnemy(4, EnemyShielded, Square(110, 130, 40), 0.0f, 0.33334f);
  DoCollisions();
  EXPECT_FALSE(GameRectsOverlap(a.hotRect, b.hotRect));
  EXPECT_FLOAT_EQ(a.vy, 0.33334f);
  EXPECT_EQ(b.vy, 1.0f);
  EXPECT_FLOAT_EQ(a.vx, 0.33334f);  // the side speeds stay
  EXPECT_EQ(a.rect.right - a.rect.left, 40);
  EXPECT_EQ(a.state, EnemyShielded);
  EXPECT_EQ(b.state, EnemyShielded);
  EXPECT_GE(a.shieldTimer, 10);
  EXPECT_GE(b.shieldTimer, 10);
}

TEST_F(CollisionsTest, EnemyAndWingDestroyEachOther) {
  Object& wing = PlaceWing(6, Square(110, 110, 24));
  Enemy& enemy = PlaceEnemy(1, EnemyShielded, Square(100, 100, 40));
  DoCollisions();
  EXPECT_EQ(wing.destroyed, 1);
  EXPECT_EQ(enemy.state, EnemyShielded);
  EXPECT_EQ(enemy.shieldTimer, 10);
  EXPECT_GE(CountSounds(Sounds().bounce), 1);

  // A destroyed wing is not blasted again by the later passes.
  const int booms = CountSounds(Sounds().boom0);
  PlaceMeteor(0, 1, Square(110, 110, 24));
  DoCollisions();
  EXPECT_EQ(CountSounds(Sounds().boom0), booms);
}

TEST_F(CollisionsTest, MeteorsBumpSwapAndPart) {
  Zadado& a = PlaceMeteor(7, 0, Square(100, 100, 32), 0.0f, 1.0f);
  Zadado& b = PlaceMeteor(6, 2, Square(120, 108, 16), 0.0f, -1.5f);
  DoCollisions();
  EXPECT_EQ(CountSounds(Sounds().bump), 1);
  EXPECT_FALSE(GameRectsOverlap(a.hotRect, b.hotRect));
  EXPECT_EQ(a.rect.right - a.rect.left, 32);
  EXPECT_EQ(b.rect.right - b.rect.left, 16);
  EXPECT_FLOAT_EQ(a.vy, -1.5f);
  EXPECT_EQ(b.vy, 1.0f);
  EXPECT_EQ(a.destroyed, 0);
  EXPECT_EQ(b.destroyed, 0);
}

TEST_F(CollisionsTest, AMeteorTakesTheSpeedOfWhatItMeets) {
  Enemy& enemy = PlaceEnemy(0, EnemyFlying, Square(100, 120, 32), -1.0f, 0.66668f);
  Zadado& meteor = PlaceMeteor(0, 0, Square(100, 100, 32), 2.0f, 1.0f);
  DoCollisions();
  EXPECT_EQ(meteor.vx, -1.0f);  // side contact: the horizontal component
  EXPECT_EQ(meteor.vy, 1.0f);
  EXPECT_EQ(meteor.flashFlag, 1);
  EXPECT_NE(enemy.state, EnemyFlying);

  // A shield pushes the meteor out of it.
  Enemy& shielded = PlaceEnemy(1, EnemyShielded, Square(300, 300, 40), 0.0f, 0.33334f);
  Zadado& other = PlaceMeteor(1, 1, Square(330, 310, 24), 0.0f, -1.0f);
  DoCollisions();
  EXPECT_FALSE(GameRectsOverlap(other.hotRect, shielded.hotRect));
  EXPECT_FLOAT_EQ(other.vy, 0.33334f);
  EXPECT_EQ(other.y, RectCentreV(other.rect));
  EXPECT_EQ(shielded.state, EnemyShielded);

  // A wing: blasted, and the meteor takes its speed.
  Object& wing = PlaceWing(3, Square(200, 420, 24));
  wing.vx = 1.33336f;
  Zadado& third = PlaceMeteor(2, 1, Square(200, 400, 24), -0.5f, 0.5f);
  DoCollisions();
  EXPECT_EQ(wing.destroyed, 1);
  EXPECT_FLOAT_EQ(third.vx, 1.33336f);
  EXPECT_EQ(third.flashFlag, 1);
}

TEST_F(CollisionsTest, TouchingShipsSwapSpeedsAndClangOnlyWhenFast) {
  struct Case {
    const char* name;
    float vx1, vx0;
    bool loud;
  };
  const Case cases[] = {
      {"both slow", 1.9f, -1.5f, false},
      {"one fast", 2.66672f, 0.0f, true},
      {"other fast", 0.5f, -2.1f, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sounds.clear();
    for (int i = 0; i < kSparkCount; ++i) gSparks[i].inUse = 0;
    Player& first = PlaceShip(1, Square(200, 100, 32), c.vx1);
    Player& second = PlaceShip(0, Square(204, 120, 32), c.vx0);
    DoCollisions();
    EXPECT_FALSE(GameRectsOverlap(first.rect, second.rect));
    EXPECT_EQ(first.vx, c.vx0);
    EXPECT_EQ(second.vx, static_cast<float>(static_cast<int>(c.vx1)));
    EXPECT_EQ(MetalSounds(), c.loud ? 1 : 0);
    EXPECT_EQ(SparksInUse(), c.loud ? 16 : 0);
    EXPECT_EQ(first.shieldBar.target, 12);
    EXPECT_EQ(second.shieldBar.target, 12);
  }
}

TEST_F(CollisionsTest, AProtectedShipPassesThroughEverythingButIsPushedByTheBoss) {
  // The three things each overlap the ship but not one another.
  Player& ship = PlaceShip(0, Square(200, 200, 32), 0, 0, 10);
  Zadado& meteor = PlaceMeteor(0, 2, Square(196, 196, 16));
  Enemy& enemy = PlaceEnemy(0, EnemyFlying, Square(216, 226, 32));
  Object& wing = PlaceWing(0, Square(224, 190, 24));
  DoCollisions();
  EXPECT_EQ(ship.shieldBar.target, 12);
  EXPECT_EQ(ship.vx, 0.0f);
  EXPECT_EQ(ship.vy, 0.0f);
  EXPECT_EQ(meteor.vx, 0.0f);
  EXPECT_EQ(enemy.state, EnemyFlying);
  EXPECT_EQ(wing.destroyed, 0);
  EXPECT_TRUE(sounds.empty());
  EXPECT_EQ(SparksInUse(), 0);

  // The other ship, also unharmed and unmoved.
  meteor.active = enemy.active = wing.active = 0;
  PlaceShip(1, Square(204, 210, 32), 2.66672f, 0, 0);
  DoCollisions();
  EXPECT_FLOAT_EQ(Ship(1).vx, 2.66672f);
  EXPECT_EQ(ship.vx, 0.0f);
  Ship(1).active = 0;

  // The boss pushes it, without damage while the countdown runs.
  Boss& boss = PlaceBoss(Rect{100, 150, 210, 300});
  DoCollisions();
  EXPECT_FALSE(GameRectsOverlap(ship.rect, boss.hotRect));
  EXPECT_FLOAT_EQ(ship.vy, 2.66672f);
  EXPECT_EQ(ship.shieldBar.target, 12);
  EXPECT_EQ(ship.countdown, 10);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].pitch, 0.25f);
  EXPECT_TRUE(sounds[0].sound == &Sounds().metal0 || sounds[0].sound == &Sounds().metal1);
}

TEST_F(CollisionsTest, AShipAtRestKnocksARestingMeteorAwayAtExactlyOne) {
  struct Case {
    const char* name;
    Rect meteor;
    SInt8 size;
    float vx, vy;  // the meteor's afterwards
    float shipVX, shipVY;
  };
  const Case cases[] = {
      {"meteor below", Square(228, 200, 32), 0, 0.0f, 1.0f, 0.0f, -2.66672f},
      {"meteor above", Square(180, 204, 24), 1, 0.0f, -1.0f, 0.0f, 2.66672f},
      {"meteor right", Square(208, 220, 16), 2, 1.0f, 0.0f, -2.66672f, 0.0f},
      {"meteor left", Square(200, 180, 32), 0, -1.0f, 0.0f, 2.66672f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sounds.clear();
    Player& ship = PlaceShip(0, Square(200, 200, 32));
    ship.shieldBar.target = 12;
    Zadado& meteor = PlaceMeteor(0, c.size, c.meteor);
    DoCollisions();
    EXPECT_EQ(meteor.vx, c.vx);
    EXPECT_EQ(meteor.vy, c.vy);
    EXPECT_FLOAT_EQ(ship.vx, c.shipVX);
    EXPECT_FLOAT_EQ(ship.vy, c.shipVY);
    EXPECT_EQ(ship.shieldBar.target, 12 + c.size - 3);
    EXPECT_EQ(CountSounds(Sounds().bump), 1);
    EXPECT_EQ(ship.flashFlag, 1);
    EXPECT_EQ(meteor.flashFlag, 1);
    meteor.active = 0;
  }
  // A moving ship gives the meteor half its speed.
  Player& ship = PlaceShip(0, Square(200, 200, 32), 0, 2.0f);
  Zadado& meteor = PlaceMeteor(0, 0, Square(228, 200, 32));
  DoCollisions();
  EXPECT_EQ(meteor.vy, 1.0f);
  EXPECT_FLOAT_EQ(ship.vy, -2.66672f);
}

TEST_F(CollisionsTest, ShipBlowsCostShield) {
  struct Case {
    const char* name;
    int kind;  // 0 wing, 1 enemy, 2 shielded enemy
    int shield;
  };
  const Case cases[] = {{"wing", 0, 10}, {"enemy", 1, 9}, {"shielded enemy", 2, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 0; i < kSparkCount; ++i) gSparks[i].inUse = 0;
    Player& ship = PlaceShip(1, Square(200, 200, 32));
    ship.shieldBar.target = 12;
    if (c.kind == 0) PlaceWing(2, Square(220, 204, 24));
    if (c.kind == 1) PlaceEnemy(2, EnemyFlying, Square(220, 200, 32));
    if (c.kind == 2) PlaceEnemy(2, EnemyShielded, Square(220, 196, 40));
    DoCollisions();
    EXPECT_EQ(ship.shieldBar.target, c.shield);
    EXPECT_FLOAT_EQ(ship.vy, -2.66672f);
    EXPECT_EQ(ship.flashFlag, 1);
    if (c.kind == 0) {
      EXPECT_EQ(gWings[2].destroyed, 1);
    } else {
      EXPECT_EQ(gEnemies[2].state, c.kind == 1 ? EnemyBursting : EnemyShielded);
    }
    gWings[2].active = 0;
    gEnemies[2].active = 0;
  }
}

TEST_F(CollisionsTest, AShipDestroyedByAnEarlierPassIsSkippedLater) {
  Player& ship = PlaceShip(0, Square(200, 200, 32));
  ship.shieldBar.target = 2;
  PlaceWing(0, Square(220, 204, 24));
  Zadado& meteor = PlaceMeteor(0, 0, Square(180, 200, 32));
  DoCollisions();
  EXPECT_EQ(ship.state, PlayerExploding);
  EXPECT_EQ(CountSounds(Sounds().bump), 0);
  EXPECT_EQ(meteor.flashFlag, 0);
}

TEST_F(CollisionsTest, AShipHeldAgainstTheBossLosesTwoAtMostEveryTwentyFiveTicks) {
  Player& ship = PlaceShip(0, Square(200, 200, 32));
  std::vector<int> hitTicks;
  for (int step = 0; step < 300; ++step) {
    AnimationPhase = static_cast<float>(step % 3);
    const int tick = step / 3;
    // The countdown counts down on ticks (MovePlayers); then press it into the boss again.
    MovePlayers();
    ship.rect = Square(200, 200, 32);
    CenterSpritePosition(&ship);
    ship.vx = ship.vy = 0;
    PlaceBoss(Rect{100, 150, 210, 300});
    const int before = ship.shieldBar.target;
    DoCollisions();
    if (ship.shieldBar.target != before) {
      EXPECT_EQ(before - ship.shieldBar.target, 2);
      hitTicks.push_back(tick);
    }
  }
  ASSERT_EQ(hitTicks.size(), 4u);
  for (size_t i = 1; i < hitTicks.size(); ++i) EXPECT_GE(hitTicks[i] - hitTicks[i - 1], 25);
  EXPECT_EQ(ship.shieldBar.target, 4);
  AnimationPhase = 1;
}

TEST_F(CollisionsTest, TheBossTakesTheShipsSpeedAndMovesWithItsHotRect) {
  Player& ship = PlaceShip(1, Square(200, 200, 32), 0.0f, -2.0f);
  Boss& boss = PlaceBoss(Rect{100, 150, 210, 300});
  boss.vy = 1.0f;
  DoCollisions();
  // Only the boss moved: up, flush against the ship, with its picture rect.
  EXPECT_EQ(boss.hotRect.bottom, 200);
  EXPECT_EQ(boss.rect.bottom, 208);
  EXPECT_EQ(boss.rect.top, 82);
  EXPECT_EQ(ship.rect.top, 200);
  EXPECT_EQ(boss.vy, -2.0f);
  EXPECT_FLOAT_EQ(ship.vy, 2.66672f);
  EXPECT_EQ(boss.targetVY, -2.0f);
  EXPECT_EQ(boss.targetVX, 0.0f);
  EXPECT_EQ(boss.y, RectCentreV(boss.rect));
  EXPECT_EQ(ship.shieldBar.target, 10);
  EXPECT_EQ(ship.countdown, 25);
  EXPECT_EQ(SparksInUse(), 16);

  // A ship at rest leaves the boss 1.0 away from it.
  ship.countdown = 0;
  PlaceShip(1, Square(200, 200, 32));
  PlaceBoss(Rect{100, 150, 210, 300});
  DoCollisions();
  EXPECT_EQ(gBoss->vy, -1.0f);

  // A dying boss is not touched.
  PlaceShip(1, Square(200, 200, 32));
  PlaceBoss(Rect{100, 150, 210, 300}).dying = 1;
  DoCollisions();
  EXPECT_EQ(gBoss->hotRect.bottom, 210);
}

}  // namespace
