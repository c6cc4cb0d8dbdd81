#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Effects.h"
#include "GameDriver.h"
#include "GameplayFixture.h"
#include "Scoring.h"
#include "SpriteMotion.h"

namespace {

const GameColor kOrange = {1.0f, 0.75f, 0.0f};

class EffectsTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    savedCos_ = CosTable;
    savedSin_ = SinTable;
    // Trig tables of amplitude 256, as the resources hold them.
    for (int a = 0; a < 360; ++a) {
      cos_[a] = static_cast<SInt32>(std::lround(256.0 * std::cos(a * M_PI / 180.0)));
      sin_[a] = static_cast<SInt32>(std::lround(256.0 * std::sin(a * M_PI / 180.0)));
    }
    CosTable = cos_.data();
    SinTable = sin_.data();
  }
  void TearDown() override {
    CosTable = savedCos_;
    SinTable = savedSin_;
    GameplayTest::TearDown();
  }

  Spark& SparkAt(int i) { return gSparks[i]; }
  int SparksInUse() {
    int n = 0;
    for (int i = 0; i < kSparkCount; ++i) n += SparkAt(i).inUse;
    return n;
  }
  Spark& PlaceSpark(int i, SInt32 x, SInt32 y, UInt16 angle, UInt32 speed) {
    Spark& s = SparkAt(i);
    s = Spark{};
    s.inUse = 1;
    s.fades = 1;
    s.x = x;
    s.y = y;
    s.angle = angle;
    s.speed = speed;
    s.alpha = 1.0f;
    return s;
  }
  Object& Explosion(int i) { return (*gExplosions)[i]; }
  Object& Wing(int i) { return gWings[i]; }

  std::array<SInt32, 360> cos_{};
  std::array<SInt32, 360> sin_{};
  SInt32* savedCos_ = nullptr;
  SInt32* savedSin_ = nullptr;
};

TEST_F(EffectsTest, SparksFillFromTheTopDrawForDraw) {
  RandomSeed = 777;
  ModelRandom r{777};
  EXPECT_EQ(DoSparks(16, 8, kOrange, 100, 50), 0);
  for (int i = 255; i >= 240; --i) {
    SCOPED_TRACE(i);
    const Spark& s = SparkAt(i);
    ASSERT_EQ(s.inUse, 1);
    EXPECT_EQ(s.angle, r.Mod(360));
    EXPECT_EQ(s.spread, r.Mod(8) + 1);
    EXPECT_EQ(s.speed, r.Mod(s.spread * 256u) + 256u);
    r.Next();  // the unused draw
    EXPECT_FLOAT_EQ(s.white, static_cast<float>(r.Mod(15) + 91) / 100.0f);
    EXPECT_EQ(s.x, 100 * 256);
    EXPECT_EQ(s.y, 50 * 256);
    EXPECT_EQ(s.fades, 1);
    EXPECT_EQ(s.keep, 0);
    EXPECT_FLOAT_EQ(s.alpha, 1.0f);
    EXPECT_EQ(s.colour[1], 0.75f);
    EXPECT_EQ(s.baseColour[1], 0.75f);
  }
  EXPECT_EQ(SparkAt(239).inUse, 0);
  EXPECT_EQ(RandomSeed, r.seed);
}

TEST_F(EffectsTest, SparksTakeOnlyFreeRecordsAndReportWhatFoundNoRoom) {
  // Partly full: the free records from the highest down.
  SparkAt(255).inUse = 1;
  SparkAt(253).inUse = 1;
  EXPECT_EQ(DoSparks(3, 4, kOrange, 10, 10), 0);
  EXPECT_EQ(SparkAt(254).inUse, 1);
  EXPECT_EQ(SparkAt(252).inUse, 1);
  EXPECT_EQ(SparkAt(251).inUse, 1);
  EXPECT_EQ(SparkAt(250).inUse, 0);

  // Full: nothing changes and no number is drawn.
  for (int i = 0; i < kSparkCount; ++i) SparkAt(i).inUse = 1;
  std::vector<Spark> before(gSparks->data, gSparks->data + kSparkCount);
  RandomSeed = 31;
  EXPECT_EQ(DoSparks(16, 8, kOrange, 1, 1), 16);
  EXPECT_EQ(RandomSeed, 31u);
  EXPECT_EQ(std::memcmp(before.data(), gSparks->data, sizeof(Spark) * kSparkCount), 0);

  // A count of 0 or a pool with two free records.
  SparkAt(7).inUse = 0;
  SparkAt(3).inUse = 0;
  EXPECT_EQ(DoSparks(0, 8, kOrange, 1, 1), 0);
  EXPECT_EQ(RandomSeed, 31u);
  EXPECT_EQ(DoSparks(5, 8, kOrange, 1, 1), 3);
  EXPECT_EQ(SparksInUse(), kSparkCount);
}

TEST_F(EffectsTest, SparkStepsAlongTheTablesTruncatingTheSum) {
  struct Case {
    const char* name;
    UInt16 angle;
    UInt32 speed;
    SInt32 dx, dy;  // per step from (100, 100) px
  };
  const Case cases[] = {
      {"right", 0, 512, 85, 0},       // 256 x 256 >> 8 = 256, x 0.33334
      {"down", 90, 512, 0, 85},
      {"left", 180, 512, -86, 0},     // 25600 - 85.335 truncates to 25514
      {"up", 270, 512, 0, -86},
      {"slow right", 0, 256, 42, 0},  // 128 x 0.33334 = 42.67
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Spark& s = PlaceSpark(10, 100 * 256, 100 * 256, c.angle, c.speed);
    for (int step = 1; step <= 3; ++step) {
      MoveSparks();
      EXPECT_EQ(s.x, 100 * 256 + step * c.dx);
      EXPECT_EQ(s.y, 100 * 256 + step * c.dy);
    }
  }
  // The shift is arithmetic: -1 >> 8 stays -1, a third of a pixel back.
  cos_[7] = -1;
  Spark& s = PlaceSpark(10, 100 * 256, 100 * 256, 7, 2);
  MoveSparks();
  EXPECT_EQ(s.x, 100 * 256 - 1);
}

TEST_F(EffectsTest, SparkOffTheFieldIsFreedAfterItsLastMoveUnlessKept) {
  Spark& gone = PlaceSpark(20, 640 * 256, 100 * 256, 0, 512);  // right edge is outside
  Spark& kept = PlaceSpark(21, 640 * 256, 100 * 256, 0, 512);
  kept.keep = 1;
  Spark& inside = PlaceSpark(22, 639 * 256 + 200, 447 * 256, 0, 512);
  MoveSparks();
  EXPECT_EQ(gone.inUse, 0);
  EXPECT_EQ(gone.x, 640 * 256 + 85);
  EXPECT_EQ(kept.inUse, 1);
  EXPECT_EQ(inside.inUse, 1);
  MoveSparks();
  EXPECT_EQ(inside.inUse, 0);
}

TEST_F(EffectsTest, FadingSparkWhitensThenDarkensThenLosesAlpha) {
  Spark& s = PlaceSpark(30, 100 * 256, 100 * 256, 0, 256);
  for (int c = 0; c < 3; ++c) s.baseColour[c] = s.colour[c] = (&kOrange.red)[c];
  s.white = 0.5f;
  // 0.5 -> 0.2 -> -0.1 -> -0.6 -> -1.1 -> -1.6: five colour ticks at full alpha.
  AnimateSparks();
  EXPECT_FLOAT_EQ(s.colour[0], 1.0f);
  EXPECT_FLOAT_EQ(s.colour[1], 0.5f * 0.75f + 0.5f);
  EXPECT_FLOAT_EQ(s.colour[2], 0.5f);
  EXPECT_NEAR(s.white, 0.2f, 1e-6);
  for (int tick = 2; tick <= 5; ++tick) AnimateSparks();
  EXPECT_NEAR(s.white, -1.6f, 1e-5);
  EXPECT_FLOAT_EQ(s.alpha, 1.0f);
  // The last colour was taken at white -1.1.
  EXPECT_NEAR(s.colour[1], 2.1f * 0.75f - 1.1f, 1e-5);
  const float colour = s.colour[1];
  AnimateSparks();
  EXPECT_NEAR(s.alpha, 0.9f, 1e-6);
  EXPECT_EQ(s.colour[1], colour);
  int ticks = 6;
  while (s.inUse && ticks < 40) {
    AnimateSparks();
    ++ticks;
  }
  EXPECT_GE(ticks, 15);
  EXPECT_LE(ticks, 16);
}

TEST_F(EffectsTest, ShipBlastSparksKeepTheirColourUntilTheyLeave) {
  for (int both = 0; both < 2; ++both) {
    SCOPED_TRACE(both ? "two ships" : "one ship");
    TearDown();
    SetUp();
    Ship(0).active = 1;
    Ship(0).rect = {200, 300, 232, 332};
    if (both) Ship(1).active = 1;
    AddShield(0, -1);
    ASSERT_EQ(Ship(0).state, PlayerExploding);
    EXPECT_EQ(SparksInUse(), both ? 128 : 256);
    EXPECT_EQ(GameFlags.sparkFlag, 1);
    Spark& s = SparkAt(255);
    EXPECT_EQ(s.fades, 0);
    EXPECT_EQ(s.colour[0], 1.0f);
    EXPECT_EQ(s.colour[2], 1.0f);
    for (int tick = 0; tick < 100; ++tick) AnimateSparks();
    EXPECT_EQ(SparksInUse(), both ? 128 : 256);
    EXPECT_EQ(s.alpha, 1.0f);
    EXPECT_EQ(s.colour[2], 1.0f);
  }
}

TEST_F(EffectsTest, FlashesTakeTheHighestFreeAndFadeInThreeTicks) {
  DoFlash(100, 100, kOrange, 1.0f, 0.25f);
  DoFlash(200, 100, kOrange, 1.0f, 0.25f);
  EXPECT_EQ(gFlashes[7].active, 1);
  EXPECT_EQ(gFlashes[6].active, 1);
  EXPECT_EQ(gFlashes[5].active, 0);
  EXPECT_FLOAT_EQ(gFlashes[7].scale, 0.25f);
  EXPECT_EQ(gFlashes[7].colour.green, 0.75f);
  AnimateSparks();
  EXPECT_NEAR(gFlashes[7].scale, 0.15f, 1e-6);
  AnimateSparks();
  EXPECT_EQ(gFlashes[7].active, 1);
  AnimateSparks();
  EXPECT_EQ(gFlashes[7].active, 0);
  EXPECT_EQ(gFlashes[6].active, 0);

  for (int i = 0; i < kObjectCount; ++i) gFlashes[i].active = 1;
  gFlashes[2].rect = {1, 2, 3, 4};
  DoFlash(300, 300, kOrange, 2.0f, 0.25f);
  ExpectRect(gFlashes[2].rect, 1, 2, 3, 4);
}

TEST_F(EffectsTest, ExplosionsTakeTheLowestFreeSizedByKindAndLastEightTicks) {
  const SInt16 sizes[4] = {40, 32, 24, 40};
  for (SInt8 kind = 0; kind < 4; ++kind) {
    SCOPED_TRACE(kind);
    Rect* r = DoExplosion(kind, 100, 200, 0.5f, -2.0f, 0);
    ASSERT_NE(r, nullptr);
    Object& e = Explosion(kind);
    EXPECT_EQ(r, &e.rect);
    const SInt16 s = sizes[kind];
    ExpectRect(e.rect, static_cast<SInt16>(200 - s / 2), static_cast<SInt16>(100 - s / 2),
               static_cast<SInt16>(200 - s / 2 + s), static_cast<SInt16>(100 - s / 2 + s));
    EXPECT_EQ(e.kind, kind);
    EXPECT_EQ(e.vy, -2.0f);
    EXPECT_FLOAT_EQ(e.x, 100);
    EXPECT_FLOAT_EQ(e.y, 200);
  }
  EXPECT_EQ(SparksInUse(), 0);
  EXPECT_NE(DoExplosion(2, 50, 50, 0, 0, 1), nullptr);
  EXPECT_EQ(SparksInUse(), 32);
  for (int i = 5; i < 8; ++i) ASSERT_NE(DoExplosion(0, 50, 50, 0, 0, 0), nullptr);
  RandomSeed = 5;
  EXPECT_EQ(DoExplosion(0, 50, 50, 0, 0, 1), nullptr);
  EXPECT_EQ(RandomSeed, 5u);  // no sparks either

  for (int tick = 1; tick <= 7; ++tick) AnimateExplosions();
  EXPECT_EQ(Explosion(0).active, 1);
  EXPECT_EQ(Explosion(0).frame, 7);
  AnimateExplosions();
  EXPECT_EQ(Explosion(0).active, 0);
}

TEST_F(EffectsTest, ExplosionDriftsAndLeavesWhenOffTheField) {
  DoExplosion(1, 100, 12, 0, -2.0f, 0);
  Object& e = Explosion(0);
  int steps = 0;
  while (e.active && steps < 100) {
    MoveExplosions();
    ++steps;
  }
  // Its bottom (28) reaches the field's top (0) after 14 steps of 2 px.
  EXPECT_EQ(steps, 14);
  EXPECT_EQ(e.rect.bottom, 0);
}

TEST_F(EffectsTest, BoltFramesCycleOnTheExplosionBeat) {
  for (UInt8 kind = 0; kind < 3; ++kind) {
    Shot& bolt = (*gEnemyShots)[kind];
    bolt.active = 1;
    bolt.isBolt = 1;
    bolt.boltKind = kind;
    bolt.frame = 0;
  }
  Shot& laser = (*gEnemyShots)[5];
  laser.active = 1;
  std::vector<int> kind0, kind2;
  for (int tick = 0; tick < 7; ++tick) {
    AnimateExplosions();
    kind0.push_back((*gEnemyShots)[0].frame);
    kind2.push_back((*gEnemyShots)[2].frame);
  }
  EXPECT_EQ(kind0, (std::vector<int>{1, 2, 3, 4, 1, 2, 3}));
  EXPECT_EQ(kind2, (std::vector<int>{1, 2, 3, 4, 0, 1, 2}));
  EXPECT_EQ((*gEnemyShots)[1].frame, 2);
  EXPECT_EQ(laser.frame, 0);
}

TEST_F(EffectsTest, WingFliesOffTheWayItsEnemySpun) {
  for (UInt8 side = 0; side < 2; ++side) {
    SCOPED_TRACE(side);
    Wing(3).active = 0;
    gEnemies[3].spinSide = side;
    gEnemies[3].vy = 0.66668f;
    RandomSeed = 4711;
    ModelRandom r{4711};
    const int spin = static_cast<int>(r.Mod(15)) + 5;
    const float vx = static_cast<float>((r.Next() & 3) + 1) * 0.33334f;
    DoWing(3, 100, 80);
    Object& w = Wing(3);
    ASSERT_EQ(w.active, 1);
    ExpectRect(w.rect, 68, 88, 92, 112);
    EXPECT_EQ(w.vx, side ? vx : -vx);
    EXPECT_EQ(w.vy, 0.66668f);
    EXPECT_EQ(w.spinRate, static_cast<float>(side ? spin : -spin));
    EXPECT_EQ(w.direction, side);
    EXPECT_EQ(w.frame, 1);
    EXPECT_EQ(w.destroyed, 0);
    EXPECT_EQ(w.angle, 0);
    EXPECT_EQ(RandomSeed, r.seed);
  }
  // A busy slot still takes the spin draw, and only it.
  RandomSeed = 4711;
  ModelRandom r{4711};
  r.Next();
  Wing(3).rect = {1, 2, 3, 4};
  DoWing(3, 300, 300);
  EXPECT_EQ(RandomSeed, r.seed);
  ExpectRect(Wing(3).rect, 1, 2, 3, 4);
}

TEST_F(EffectsTest, WingAnglesWrapIntoRangeBothWays) {
  struct Case {
    SInt16 angle;
    float rate;
    SInt16 expected;
  };
  // trunc(5 - 6.33) = -1 -> 359; trunc(355 + 6.33) = 361 -> 1.
  const Case cases[] = {{5, -19, 359}, {355, 19, 1}, {100, 5, 101}, {100, -5, 98}, {0, -1, 0}};
  for (const Case& c : cases) {
    Object& w = Wing(0);
    w.active = 1;
    w.rect = {100, 100, 124, 124};
    w.vx = w.vy = 0;
    CenterSpritePosition(&w);
    w.angle = c.angle;
    w.spinRate = c.rate;
    MoveWings();
    EXPECT_EQ(w.angle, c.expected) << c.angle << " " << c.rate;
  }
  for (float rate : {19.0f, -19.0f}) {
    Object& w = Wing(1);
    w.active = 1;
    w.rect = {100, 100, 124, 124};
    w.vx = w.vy = 0;
    CenterSpritePosition(&w);
    w.angle = 0;
    w.spinRate = rate;
    for (int step = 0; step < 1000; ++step) {
      MoveWings();
      ASSERT_GE(w.angle, 0);
      ASSERT_LE(w.angle, 359);
    }
    ExpectRect(w.hotRect, 100, 100, 124, 124);
  }
}

TEST_F(EffectsTest, WingsFlutterThenBurnOutOnceDestroyed) {
  Object& w = Wing(4);
  w.active = 1;
  w.frame = 1;
  std::vector<int> frames;
  for (int tick = 0; tick < 5; ++tick) {
    AnimateWings();
    frames.push_back(w.frame);
  }
  EXPECT_EQ(frames, (std::vector<int>{2, 3, 0, 1, 2}));
  w.destroyed = 1;
  w.frame = 0;
  for (int tick = 0; tick < 7; ++tick) AnimateWings();
  EXPECT_EQ(w.active, 1);
  EXPECT_EQ(w.frame, 7);
  AnimateWings();
  EXPECT_EQ(w.active, 0);

  // Leaving the field frees it.
  w.active = 1;
  w.destroyed = 0;
  w.rect = {448, 10, 472, 34};
  w.vx = w.vy = 0;
  CenterSpritePosition(&w);
  MoveWings();
  EXPECT_EQ(w.active, 0);
}

TEST_F(EffectsTest, StarsFallWrapToTheTopAndTwinkleUpAndDown) {
  Star& star = gStars[9];
  star.x = 300;
  star.y = 447.5f;
  star.speed = 1.0f;
  for (int i = 0; i < kStarCount; ++i)
    if (i != 9) gStars[i].y = 0, gStars[i].x = 0, gStars[i].speed = 0;
  RandomSeed = 99;
  ModelRandom r{99};
  MoveStars();
  EXPECT_EQ(star.x, static_cast<float>(r.Mod(640)));
  EXPECT_EQ(star.y, 0.0f);
  EXPECT_EQ(star.speed, 1.0f);
  EXPECT_EQ(RandomSeed, r.seed);
  MoveStars();
  EXPECT_EQ(star.y, 1.0f);

  star.twinkle = 5;
  star.direction = 1;
  std::vector<int> levels;
  for (int tick = 0; tick < 12; ++tick) {
    AnimateSparks();
    levels.push_back(star.twinkle);
  }
  EXPECT_EQ(levels, (std::vector<int>{6, 7, 7, 6, 5, 4, 3, 2, 1, 0, 0, 1}));
}

TEST_F(EffectsTest, BannerWithABossFadesOutAndHides) {
  KVSprite& banner = *gLevelBanner;
  banner.active = 1;
  banner.y = 12;
  banner.brightness = 1.0f;
  banner.scale = 0.3f;
  banner.factor = 1.0f;
  GameFlags.respawnDone = 1;
  gBoss->active = 1;
  MoveBanners();
  EXPECT_NEAR(banner.scale, 0.3f - 0.0233338f, 1e-6);
  MoveBanners();
  MoveBanners();
  // At 0.25 or below it slows to 0.0066668 a step.
  const float slow = banner.scale;
  ASSERT_LE(slow, 0.25f);
  MoveBanners();
  EXPECT_NEAR(banner.scale, slow - 0.0066668f, 1e-6);
  int steps = 4;
  while (banner.active && steps < 200) {
    MoveBanners();
    ++steps;
  }
  EXPECT_EQ(banner.active, 0);
  EXPECT_GT(steps, 30);
  EXPECT_LT(steps, 50);
  EXPECT_EQ(banner.y, 12.0f);
}

TEST_F(EffectsTest, OverlayFlashesInQuicklyAndFadesOutSlowly) {
  StartBossBlast();
  KVSprite& overlay = *gOverlaySprite;
  int steps = 0;
  while (overlay.pulseDirection == 1 && steps < 100) {
    MoveBanners();
    ++steps;
  }
  EXPECT_EQ(steps, 15);
  EXPECT_EQ(overlay.scale, 1.0f);
  EXPECT_EQ(overlay.pulseDirection, 255);
  steps = 0;
  while (overlay.active && steps < 200) {
    MoveBanners();
    ++steps;
  }
  EXPECT_GE(steps, 99);
  EXPECT_LE(steps, 101);
}

TEST_F(EffectsTest, BossBlinksOnlyWhileInUse) {
  BlinkBoss();
  EXPECT_EQ(gBoss->blink, 0);
  gBoss->active = 1;
  BlinkBoss();
  EXPECT_EQ(gBoss->blink, 1);
  BlinkBoss();
  EXPECT_EQ(gBoss->blink, 0);
  EXPECT_EQ(gBoss->flashFlag, 0);
}

// With the real assets: the glow's size and the banner's timing after a start.
TEST(EffectsGameTest, FlashIsTheGlowScaledAndCentred) {
  gametest::GameDriver driver(3);
  driver.startGame();
  ASSERT_NE(glowFRAME, nullptr);
  const SInt16 w = glowFRAME[0].image.imageWidth;
  const SInt16 h = glowFRAME[0].image.imageHeight;
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  for (int i = 0; i < kObjectCount; ++i) gFlashes[i].active = 0;
  DoFlash(100, 200, GameColor{1, 1, 1}, 2.0f, 0.25f);
  const Rect& r = gFlashes[7].rect;
  EXPECT_EQ(r.right - r.left, 2 * w);
  EXPECT_EQ(r.bottom - r.top, 2 * h);
  EXPECT_EQ(r.left, 100 - w);
  EXPECT_EQ(r.top, 200 - h);
  DoFlash(100, 200, GameColor{1, 1, 1}, 0.5f, 0.25f);
  EXPECT_EQ(gFlashes[6].rect.right - gFlashes[6].rect.left, static_cast<SInt16>(w * 0.5f));
}

TEST(EffectsGameTest, BannerBringsTheShipsBackOnStep91AndSettlesWithoutABoss) {
  gametest::GameDriver driver(12345);
  driver.startGame();
  ASSERT_EQ(GameFlags.respawnDone, 0);
  int steps = 0;
  while (!GameFlags.respawnDone && steps < 500) {
    driver.step();
    ++steps;
  }
  EXPECT_EQ(steps, 91);  // 26 fade-in steps, 43 brightness steps, 22 alpha steps
  EXPECT_LE(gLevelBanner->scale, 0.5f);
  driver.steps(300);
  const KVSprite& banner = *gLevelBanner;
  EXPECT_EQ(banner.active, 1);
  EXPECT_EQ(banner.scale, 0.25f);
  EXPECT_EQ(banner.y, 12.0f);
  EXPECT_EQ(banner.brightness, 1.0f);
  EXPECT_NEAR(banner.factor, 0.55f, 0.011f);
}

}  // namespace
