#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "Enemies.h"
#include "GLFrame.h"
#include "GameplayFixture.h"
#include "PickUps.h"
#include "Players.h"
#include "Scoring.h"
#include "SpriteMotion.h"

namespace {

class PickUpsTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    savedScreen_ = ScreenRect;
    ScreenRect = {0, 0, 480, 640};
  }
  void TearDown() override {
    ScreenRect = savedScreen_;
    GameplayTest::TearDown();
  }

  Player& Fly(int p, SInt16 top, SInt16 left) {
    Player& ship = Ship(p);
    ship.active = 1;
    ship.state = PlayerFlying;
    ship.rect = {top, left, static_cast<SInt16>(top + 32), static_cast<SInt16>(left + 32)};
    CenterSpritePosition(&ship);
    return ship;
  }
  Object& Pow(int i) { return (*gPickUps)[i]; }
  Object& Pod(int i) { return gPods[i]; }
  Object& PlacePow(int i, UInt8 variant, SInt16 h, SInt16 v) {
    Object& pow = Pow(i);
    pow.active = 1;
    pow.variant = variant;
    pow.rect = {static_cast<SInt16>(v - 8), static_cast<SInt16>(h - 8), static_cast<SInt16>(v + 8),
                static_cast<SInt16>(h + 8)};
    CenterSpritePosition(&pow);
    pow.vx = pow.vy = 0;
    return pow;
  }
  void Tick() { AnimateStatusBars(); }

  Rect savedScreen_{};
};

TEST_F(PickUpsTest, PowTakesTheLowerFreeSlotAndIsDoublesTwiceAsOften) {
  int doubles = 0;
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    Pow(0).active = 0;
    RandomSeed = seed;
    DoPow(100, 50, 0.5f, -1.0f);
    const UInt32 after = RandomSeed;
    ASSERT_EQ(Pow(0).active, 1);
    EXPECT_EQ(Pow(0).variant, after % 3 != 0 ? 1 : 0);
    doubles += Pow(0).variant;
  }
  EXPECT_GT(doubles, 150);
  EXPECT_LT(doubles, 250);
  Object& pow = Pow(0);
  ExpectRect(pow.rect, 42, 92, 58, 108);
  EXPECT_EQ(pow.vx, 0.5f);
  EXPECT_EQ(pow.vy, -1.0f);
  EXPECT_EQ(pow.brightness, 1.0f);
  EXPECT_EQ(pow.pulseDirection, 1);
  EXPECT_EQ(pow.frame, 0);

  DoPow(300, 300, 0, 0);
  EXPECT_EQ(Pow(1).active, 1);
  // Both busy: a burst drops nothing, and draws nothing.
  const Rect before = Pow(1).rect;
  RandomSeed = 9;
  DoPow(200, 200, 0, 0);
  EXPECT_EQ(RandomSeed, 9u);
  ExpectRect(Pow(1).rect, before.top, before.left, before.bottom, before.right);
}

TEST_F(PickUpsTest, ShieldAndDoublesPickUpsPayTheirDue) {
  Player& ship = Fly(0, 200, 200);
  ship.shieldBar.target = 5;
  PlacePow(0, 0, 216, 216);
  MovePows();
  EXPECT_EQ(Pow(0).active, 0);
  EXPECT_EQ(ship.shieldBar.target, 9);
  EXPECT_EQ(GameFlags.score[0], 300);
  EXPECT_EQ(ship.flashFlag, 1);
  EXPECT_EQ(CountSounds(Sounds().power), 1);
  int sparks = 0;
  for (int i = 0; i < kSparkCount; ++i) sparks += gSparks[i].inUse;
  EXPECT_EQ(sparks, 32);

  PlacePow(1, 1, 216, 216);
  MovePows();
  EXPECT_EQ(Pow(1).active, 0);
  EXPECT_EQ(ship.doublesBar.target, 18);
  EXPECT_EQ(ship.shieldBar.target, 9);
  EXPECT_EQ(GameFlags.score[0], 400);
  EXPECT_EQ(CountSounds(Sounds().power), 2);
}

TEST_F(PickUpsTest, BothShipsTouchingInOneStepBothCollect) {
  Fly(0, 200, 200);
  Fly(1, 200, 210);
  PlacePow(0, 0, 220, 216);
  MovePows();
  EXPECT_EQ(Ship(0).shieldBar.target, 4);
  EXPECT_EQ(Ship(1).shieldBar.target, 4);
  EXPECT_EQ(GameFlags.score[0], 300);
  EXPECT_EQ(GameFlags.score[1], 300);
}

TEST_F(PickUpsTest, ExplodingOrAbsentShipsCollectNothing) {
  Player& ship = Fly(0, 200, 200);
  ship.state = PlayerExploding;
  PlacePow(0, 0, 216, 216);
  DoPod(2, 216, 216);
  MovePows();
  MovePods();
  EXPECT_EQ(Pow(0).active, 1);
  EXPECT_EQ(Pod(2).active, 1);
  ship.state = PlayerFlying;
  ship.active = 0;
  MovePows();
  MovePods();
  EXPECT_EQ(Pow(0).active, 1);
  EXPECT_EQ(Pod(2).active, 1);
  EXPECT_TRUE(sounds.empty());
}

TEST_F(PickUpsTest, PodFollowsItsEnemyAndIsRefusedByAFullPodBar) {
  gEnemies[5].vx = -1.33336f;
  gEnemies[5].vy = 0.66668f;
  DoPod(5, 100, 100);
  Object& pod = Pod(5);
  ASSERT_EQ(pod.active, 1);
  ExpectRect(pod.rect, 92, 92, 108, 108);
  EXPECT_EQ(pod.vx, -1.33336f);
  EXPECT_EQ(pod.vy, 0.66668f);
  // The enemy's slot only.
  DoPod(5, 300, 300);
  ExpectRect(pod.rect, 92, 92, 108, 108);

  Player& ship = Fly(0, 80, 80);
  ship.podBar.target = 12;
  MovePods();
  EXPECT_EQ(pod.active, 1);
  EXPECT_EQ(GameFlags.score[0], 0);
  ship.podBar.target = 11;
  MovePods();
  EXPECT_EQ(pod.active, 0);
  EXPECT_EQ(ship.podBar.target, 12);
  EXPECT_EQ(GameFlags.score[0], 50);
  EXPECT_EQ(CountSounds(Sounds().pod), 1);
}

TEST_F(PickUpsTest, CollectablesLeaveTheFieldAndTrailSparksOnEvenTicks) {
  PlacePow(0, 1, 100, 440);
  Pow(0).vy = 2.0f;
  DoPod(0, 200, 440);
  Pod(0).vy = 2.0f;
  AnimationPhase = 0;
  MovePows();
  MovePods();
  EXPECT_EQ(Pow(0).active, 1);
  int sparks = 0;
  for (int i = 0; i < kSparkCount; ++i) sparks += gSparks[i].inUse;
  EXPECT_EQ(sparks, 2);
  EXPECT_EQ(gSparks[255].baseColour[1], GameColours[kColourPlayer0].green);
  EXPECT_EQ(gSparks[254].baseColour[0], GameColours[kColourLime].red);
  // Their tops reach the field's bottom (448) after 8 steps of 2 px.
  for (int step = 0; step < 6; ++step) {
    MovePows();
    MovePods();
  }
  EXPECT_EQ(Pow(0).active, 1);
  MovePows();
  MovePods();
  EXPECT_EQ(Pow(0).active, 0);
  EXPECT_EQ(Pod(0).active, 0);
}

TEST_F(PickUpsTest, AnimationCyclesFramesFlipsAndPulses) {
  PlacePow(0, 0, 100, 100);
  PlacePow(1, 1, 200, 100);
  Pow(0).brightness = Pow(1).brightness = 1.0f;
  Pow(0).pulseDirection = Pow(1).pulseDirection = 1;
  std::vector<int> shield, doubles;
  for (int tick = 0; tick < 17; ++tick) {
    AnimatePows();
    shield.push_back(Pow(0).frame);
    doubles.push_back(Pow(1).frame);
  }
  EXPECT_EQ(shield, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1}));
  EXPECT_EQ(doubles, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7, 0, 1}));
  // "Flip" on frames 0 and 8: the shield's 0, 8, 0; the doubles' 0, 0, 0.
  EXPECT_EQ(CountSounds(Sounds().flip), 6);

  Object& glow = Pow(0);
  glow.brightness = 1.0f;
  glow.pulseDirection = 1;
  float low = 2, high = 0;
  for (int tick = 0; tick < 40; ++tick) {
    PulseSprite(&glow);
    low = std::min(low, glow.brightness);
    high = std::max(high, glow.brightness);
  }
  EXPECT_NEAR(low, 1.0f, 0.071f);
  EXPECT_LE(low, 1.0f);
  EXPECT_GE(high, 1.3f);
  EXPECT_NEAR(high, 1.3f, 0.071f);
  EXPECT_LE(high, 1.37f);
  glow.pulseDirection = 0;
  const float still = glow.brightness;
  PulseSprite(&glow);
  EXPECT_EQ(glow.brightness, still);
}

TEST_F(PickUpsTest, BarsStepOneSegmentATickAndSettle) {
  Player& ship = Fly(0, 100, 100);
  ship.panelShown = 1;
  StatusBar& bar = ship.shieldBar;
  bar.target = 3;
  Tick();
  EXPECT_EQ(bar.shown, 1);
  EXPECT_EQ(bar.on.data[0], 1);
  EXPECT_EQ(bar.glow.data[0], 46);
  Tick();
  EXPECT_EQ(bar.shown, 2);
  EXPECT_EQ(bar.glow.data[0], 44);
  EXPECT_EQ(bar.glow.data[1], 46);
  for (int tick = 0; tick < 20; ++tick) Tick();
  EXPECT_EQ(bar.shown, 3);
  EXPECT_EQ(bar.glow.data[0], 22);
  EXPECT_EQ(bar.glow.data[2], 22);
  EXPECT_EQ(bar.on.data[3], 0);

  bar.target = 1;
  Tick();
  EXPECT_EQ(bar.shown, 2);
  EXPECT_EQ(bar.on.data[2], 0);
  EXPECT_EQ(bar.glow.data[2], 22);
  for (int tick = 0; tick < 20; ++tick) Tick();
  EXPECT_EQ(bar.shown, 1);
  EXPECT_EQ(bar.glow.data[1], 8);
  EXPECT_EQ(bar.glow.data[2], 8);
  EXPECT_EQ(bar.glow.data[0], 22);

  // A hidden panel's bars wait; the boss's bar steps while the boss is in use.
  ship.panelShown = 0;
  bar.target = 5;
  Tick();
  EXPECT_EQ(bar.shown, 1);
  StatusBar& boss = gBoss->healthBar;
  boss.count = 3;
  boss.on.Reinit(3);
  boss.glow.Reinit(3);
  boss.target = 3;
  Tick();
  EXPECT_EQ(boss.shown, 0);
  gBoss->active = 1;
  Tick();
  EXPECT_EQ(boss.shown, 1);
}

TEST_F(PickUpsTest, JoiningPanelSlidesIntoPlaceInSixTicks) {
  GameFlags.waveBudget = 12;
  PlayerKeyFlags[0][kKeyFire] = 1;
  DoPlayers();
  PlayerKeyFlags[0][kKeyFire] = 0;
  Player& ship = Ship(0);
  ASSERT_EQ(ship.panelShown, 1);
  ASSERT_EQ(ship.panelRect.bottom, 512);
  std::vector<int> bottoms;
  for (int tick = 0; tick < 8; ++tick) {
    Tick();
    bottoms.push_back(ship.panelRect.bottom);
  }
  EXPECT_EQ(bottoms, (std::vector<int>{496, 488, 484, 482, 481, 480, 480, 480}));
  EXPECT_EQ(ship.panelRect.top, 448);
  // The bars moved with the panel.
  EXPECT_EQ(ship.shieldBar.rect.data[0].top, 456);
  EXPECT_EQ(ship.podBar.rect.data[0].top, 468);
}

TEST_F(PickUpsTest, TwelvePodsPayOneSuperBonusOnTheThirteenthTick) {
  Player& ship = Fly(0, 300, 300);
  ship.panelShown = 1;
  ship.shieldBar.target = 5;
  for (int pod = 0; pod < 12; ++pod) {
    DoPod(0, 316, 316);
    MovePods();
    ASSERT_EQ(Pod(0).active, 0);
    Tick();
  }
  // That tick lit the twelfth segment.
  ASSERT_EQ(ship.podBar.shown, 12);
  ASSERT_EQ(GameFlags.score[0], 600);
  int ticks = 1;
  while (GameFlags.score[0] == 600 && ticks < 40) {
    Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 13);
  EXPECT_EQ(GameFlags.score[0], 10600);
  EXPECT_EQ(CountSounds(Sounds().super), 1);
  EXPECT_EQ(ship.shieldBar.target, 12);
  EXPECT_EQ(ship.doublesBar.target, 18);
  EXPECT_EQ(ship.podBar.target, 0);
  for (int tick = 0; tick < 30; ++tick) Tick();
  EXPECT_EQ(GameFlags.score[0], 10600);
  EXPECT_EQ(CountSounds(Sounds().super), 1);
  EXPECT_EQ(ship.podBar.shown, 0);
}

}  // namespace

namespace {

// A player's shot bursting an enemy drops its pod with chance 1/v, v read
// from the stored pick-up value: halved with both ships in use, at least 2.
TEST_F(PickUpsTest, PodChanceFollowsTheStoredPickUpValue) {
  struct Row {
    UInt16 stored;
    bool both;
    UInt32 v;
  };
  const Row rows[] = {{2, false, 2}, {3, true, 2}, {7, false, 7}, {7, true, 3}, {10, true, 5}, {10, false, 10}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "stored " << row.stored << (row.both ? " both" : " one"));
    GameFlags.pickUpValue = row.stored;
    Ship(0).active = 1;
    Ship(1).active = row.both ? 1 : 0;
    int drops = 0;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
      for (int i = 0; i < kSparkCount; ++i) gSparks[i].inUse = 0;
      Pod(4).active = 0;
      Enemy& enemy = gEnemies[4];
      enemy.active = 1;
      enemy.state = EnemyFlying;
      enemy.rect = {100, 100, 132, 132};
      Rect hit = {110, 112, 122, 120};  // dead centre: a burst
      RandomSeed = seed;
      ModelRandom r{seed};
      for (int draw = 0; draw < 1 + 32 * 5; ++draw) r.Next();  // spin, then 32 sparks
      const bool pod = r.Next() % row.v == 0;
      BlastEnemy(4, &hit, 1, 1);
      ASSERT_EQ(enemy.state, EnemyBursting);
      ASSERT_EQ(Pod(4).active, pod ? 1 : 0) << "seed " << seed;
      drops += pod;
    }
    EXPECT_GT(drops, 0);
  }
}

}  // namespace
