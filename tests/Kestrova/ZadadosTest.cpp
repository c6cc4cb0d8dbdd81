#include <gtest/gtest.h>

#include <cstdint>

#include "GameplayFixture.h"
#include "Geometry.h"
#include "PlayerShots.h"
#include "Players.h"
#include "SpriteMotion.h"
#include "Zadados.h"

namespace {

struct ModelLaunch {
  int size;
  int top, left, s;
  float vx, vy;
  int frame, spinForward, hits;
  float spinRate;
  uint32_t seedAfterClearance;
  uint32_t seedAfter;
};

// A launch into an empty 640 x 448 field, draw by draw.
ModelLaunch ModelDoZadado(uint32_t seed) {
  ModelRandom r{seed};
  ModelLaunch m{};
  const int sizes[3] = {32, 24, 16};
  m.size = static_cast<int>(r.Mod(3));
  m.s = sizes[m.size];
  int vx = 0, vy = 0;
  switch (r.Mod(3)) {
    case 0:
      m.left = -m.s;
      m.top = static_cast<int>(r.Mod(448 - m.s));
      vx = static_cast<int>(r.Next() & 3) + 1;
      vy = static_cast<int>(r.Next() & 3) + 1;
      break;
    case 1:
      m.left = static_cast<int>(r.Mod(640 - m.s));
      m.top = -m.s;
      vx = static_cast<int>(r.Mod(5));
      vy = static_cast<int>(r.Next() & 3) + 1;
      if ((r.Next() & 1) == 0) vx = -vx;
      break;
    default:
      m.left = 640;
      m.top = static_cast<int>(r.Mod(448 - m.s));
      vx = -(static_cast<int>(r.Next() & 3) + 1);
      vy = static_cast<int>(r.Next() & 3) + 1;
      break;
  }
  m.seedAfterClearance = r.seed;
  m.vx = static_cast<float>(vx) * 0.33334f;
  m.vy = static_cast<float>(vy) * 0.33334f;
  m.frame = static_cast<int>(r.Mod(35));
  m.spinForward = static_cast<int>(r.Next() & 1);
  m.hits = static_cast<int>(r.Mod(4 - m.size));
  m.spinRate = (r.Next() & 1) ? 1.33336f : -1.33336f;
  m.seedAfter = r.seed;
  return m;
}

class ZadadosTest : public GameplayTest {
 protected:
  void ReadyForShowers() {
    GameFlags.respawnDone = 1;
    GameFlags.waveBudget = 5;
    GameFlags.joined[0] = 1;
    gEnemies[3].active = 1;
    gEnemies[3].hotRect = {100, 100, 132, 132};
  }
  Zadado& PlaceMeteor(int i, SInt8 size, SInt16 top, SInt16 left, UInt8 hits) {
    Zadado& z = Meteor(i);
    SInt16 s = GameFlags.objectSizes[kSizeMeteor + size];
    z.active = 1;
    z.destroyed = 0;
    z.size = size;
    z.hits = hits;
    z.rect = z.hotRect = {top, left, static_cast<SInt16>(top + s), static_cast<SInt16>(left + s)};
    CenterSpritePosition(&z);
    return z;
  }
  Shot& PlaceShot(int player, int i, SInt16 top, SInt16 left, UInt8 piercing) {
    Shot& shot = PlayerShot(player, i);
    shot.active = 1;
    shot.piercing = piercing;
    shot.direction = 0;
    shot.rect = {top, left, static_cast<SInt16>(top + 24), static_cast<SInt16>(left + 8)};
    CenterSpritePosition(&shot);
    shot.vx = 0;
    shot.vy = -4.00008f;
    return shot;
  }
};

TEST_F(ZadadosTest, LaunchMatchesTheModelDrawForDraw) {
  for (uint32_t seed : {1u, 2u, 77u, 12345u, 99999u, 4000000000u, 123456789u, 31337u, 8u, 271828u, 65089u, 5u}) {
    SCOPED_TRACE(seed);
    ClearZadados();
    RandomSeed = seed;
    ModelLaunch m = ModelDoZadado(seed);
    DoZadado();
    Zadado& z = Meteor(0);
    ASSERT_EQ(z.active, 1);
    EXPECT_EQ(z.size, m.size);
    ExpectRect(z.rect, static_cast<SInt16>(m.top), static_cast<SInt16>(m.left), static_cast<SInt16>(m.top + m.s),
               static_cast<SInt16>(m.left + m.s));
    EXPECT_TRUE(EqualRects(&z.hotRect, &z.rect));
    EXPECT_EQ(z.vx, m.vx);
    EXPECT_EQ(z.vy, m.vy);
    EXPECT_EQ(z.frame, m.frame);
    EXPECT_EQ(z.spinForward, m.spinForward);
    EXPECT_EQ(z.hits, m.hits);
    EXPECT_EQ(z.spinRate, m.spinRate);
    EXPECT_EQ(z.destroyed, 0);
    EXPECT_EQ(z.flashFlag, 1);
    EXPECT_FLOAT_EQ(z.brightness, 1.0f);
    EXPECT_FLOAT_EQ(z.x, static_cast<float>(m.left + m.s / 2));
    EXPECT_EQ(RandomSeed, m.seedAfter);
    // It starts wholly outside the field, touching its edge.
    EXPECT_FALSE(GameRectsOverlap(z.rect, gPlayFieldRect));
  }
}

TEST_F(ZadadosTest, LaunchOntoAnEnemyOrMeteorGivesUpLeavingTheSlotFree) {
  for (int blocker = 0; blocker < 2; ++blocker) {
    SCOPED_TRACE(blocker ? "meteor" : "enemy");
    ClearZadados();
    gEnemies[0].active = 0;
    Rect everywhere = {-100, -100, 600, 800};
    if (blocker) {
      Meteor(5).active = 1;
      Meteor(5).hotRect = everywhere;
    } else {
      gEnemies[0].active = 1;
      gEnemies[0].hotRect = everywhere;
    }
    RandomSeed = 4242;
    ModelLaunch m = ModelDoZadado(4242);
    DoZadado();
    EXPECT_EQ(Meteor(0).active, 0);
    EXPECT_EQ(RandomSeed, m.seedAfterClearance);  // no draws after the test
  }
}

TEST_F(ZadadosTest, NoFreeSlotMeansNoLaunchAndNoDraw) {
  for (int i = 0; i < kZadadoCount; ++i) PlaceMeteor(i, 2, 10, static_cast<SInt16>(20 * i), 0);
  RandomSeed = 99;
  DoZadado();
  LaunchZadado();
  NewZadado_Title(1);
  EXPECT_EQ(RandomSeed, 99u);
}

TEST_F(ZadadosTest, ShowerStartsOnlyWithBudgetWaveJoinedAndAnEnemy) {
  const char* names[] = {"budget 0", "wave cleared", "nobody joined", "no enemy active", "all set"};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(names[i]);
    TearDown();
    SetUp();
    ReadyForShowers();
    GameFlags.meteorValue = 0;  // every tick a hit
    GameFlags.enemyCount[1] = 0;
    if (i == 0) GameFlags.waveBudget = 0;
    if (i == 1) GameFlags.waveCleared = 1;
    if (i == 2) GameFlags.joined[0] = 0;
    if (i == 3) gEnemies[3].active = 0;
    AnimationPhase = 0;
    MoveZadados();
    if (i < 4) {
      EXPECT_EQ(GameFlags.showerCountdown, 0);
      EXPECT_TRUE(sounds.empty());
    } else {
      EXPECT_EQ(GameFlags.showerCountdown, 50);
      ASSERT_EQ(sounds.size(), 1u);
      EXPECT_EQ(sounds[0].sound, &Sounds().alarm);
    }
  }
}

TEST_F(ZadadosTest, NothingMovesBeforeTheRespawn) {
  PlaceMeteor(0, 0, 100, 100, 0).vx = 1.0f;
  GameFlags.meteorValue = 0;
  AnimationPhase = 0;
  MoveZadados();
  EXPECT_EQ(Meteor(0).rect.left, 100);
}

TEST_F(ZadadosTest, ShowerLaunchesOnlyBetweenCountdown25And1) {
  const struct {
    UInt8 countdown;
    bool launches;
  } cases[] = {{50, false}, {26, false}, {25, true}, {1, true}, {0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.countdown);
    ClearZadados();
    ReadyForShowers();
    GameFlags.enemyCount[1] = 1;
    GameFlags.showerCountdown = c.countdown;
    AnimationPhase = 1;
    RandomSeed = 7;
    MoveZadados();
    EXPECT_EQ(Meteor(0).active != 0, c.launches);
    EXPECT_EQ(GameFlags.showerCountdown, c.countdown);  // counted only on ticks
  }
}

TEST_F(ZadadosTest, MeteorsLeavingTheFieldAreFreedEvenWhileBursting) {
  Zadado& z = PlaceMeteor(2, 1, 200, 620, 0);
  z.destroyed = 1;
  z.vx = 1.33336f;
  for (int i = 0; i < 60 && z.active; ++i) {
    GameFlags.respawnDone = 1;
    MoveZadados();
  }
  EXPECT_EQ(z.active, 0);
  EXPECT_GE(z.rect.left, 640);
}

TEST_F(ZadadosTest, SpinTruncatesTowardZeroAndWraps) {
  const struct {
    SInt16 angle;
    float rate;
    SInt16 expected;
  } cases[] = {{0, -1.33336f, 359}, {10, -1.33336f, 8}, {10, 1.33336f, 11}, {359, 1.33336f, 0}, {1, -1.33336f, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.angle);
    Zadado& z = PlaceMeteor(0, 0, 100, 100, 0);
    z.angle = c.angle;
    z.spinRate = c.rate;
    z.frame = 34;
    z.spinForward = 1;
    AnimateZadados();
    EXPECT_EQ(z.angle, c.expected);
    EXPECT_EQ(z.frame, 0);
  }
  Zadado& back = PlaceMeteor(1, 0, 100, 200, 0);
  back.frame = 0;
  back.spinForward = 0;
  AnimateZadados();
  EXPECT_EQ(back.frame, 34);
}

TEST_F(ZadadosTest, BurstAnimationRunsEightFramesThenFrees) {
  Zadado& z = PlaceMeteor(0, 0, 100, 100, 0);
  z.destroyed = 1;
  z.frame = 0;
  int ticks = 0;
  while (z.active && ticks < 20) {
    AnimateZadados();
    ++ticks;
  }
  EXPECT_EQ(ticks, 8);
}

TEST_F(ZadadosTest, ShotBurstsALargeMeteorForFifteenHundred) {
  ResetPlayer(0);
  Zadado& z = PlaceMeteor(4, 0, 100, 100, 0);
  PlaceShot(0, 0, 120, 110, 0);
  MovePlayerShots();
  EXPECT_EQ(PlayerShot(0, 0).active, 0);
  EXPECT_EQ(GameFlags.score[0], 1500);
  EXPECT_EQ(z.destroyed, 1);
  EXPECT_EQ(z.frame, 0);
  EXPECT_EQ(z.hits, 255);
  ExpectRect(z.rect, 96, 96, 136, 136);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].sound, &Sounds().boom0);
}

TEST_F(ZadadosTest, BurstScoresNothingWhileABossIsOnTheField) {
  ResetPlayer(0);
  gBoss->active = 1;
  gBoss->hotRect = {0, 400, 10, 410};
  PlaceMeteor(4, 2, 100, 100, 0);
  PlaceShot(0, 0, 120, 104, 0);
  MovePlayerShots();
  EXPECT_EQ(Meteor(4).hits, 255);
  EXPECT_EQ(GameFlags.score[0], 0);
}

TEST_F(ZadadosTest, HitThatDoesNotBurstTapsAndCountsDown) {
  ResetPlayer(0);
  Zadado& z = PlaceMeteor(4, 0, 100, 100, 2);
  PlaceShot(0, 0, 120, 110, 0);
  MovePlayerShots();
  EXPECT_EQ(z.hits, 1);
  EXPECT_EQ(z.destroyed, 0);
  EXPECT_EQ(z.flashFlag, 1);
  EXPECT_EQ(GameFlags.score[0], 0);
  EXPECT_EQ(PlayerShot(0, 0).active, 0);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].sound, &Sounds().tap);
}

TEST_F(ZadadosTest, PiercingShotBurstsTwoMeteorsInOneStepAndFliesOn) {
  ResetPlayer(0);
  PlaceMeteor(1, 1, 100, 100, 3);
  PlaceMeteor(6, 2, 104, 104, 1);
  PlaceShot(0, 0, 115, 108, 1);
  MovePlayerShots();
  EXPECT_EQ(Meteor(1).hits, 255);
  EXPECT_EQ(Meteor(6).hits, 255);
  EXPECT_EQ(GameFlags.score[0], 1000 + 500);
  EXPECT_EQ(PlayerShot(0, 0).active, 1);
  EXPECT_EQ(CountSounds(Sounds().boom0), 2);
}

TEST_F(ZadadosTest, ForcedBlastBurstsAMeteorWithHitsLeft) {
  Zadado& z = PlaceMeteor(0, 1, 100, 100, 2);
  Rect hit = z.rect;
  BlastZadado(0, &hit, 2, 1);
  EXPECT_EQ(z.hits, 255);
  EXPECT_EQ(z.destroyed, 1);
}

TEST_F(ZadadosTest, BossDropsASmallMeteorBelowItsCentre) {
  Boss& boss = *gBoss;
  boss.rect = {20, 288, 84, 352};
  RandomSeed = 10;
  ModelRandom r{10};
  int size = static_cast<int>(r.Next() & 1) + 1;
  int s = size == 1 ? 24 : 16;
  LaunchZadado();
  Zadado& z = Meteor(0);
  ASSERT_EQ(z.active, 1);
  EXPECT_EQ(z.size, size);
  ExpectRect(z.rect, static_cast<SInt16>(84 - s / 2 - 8), static_cast<SInt16>(320 - s / 2),
             static_cast<SInt16>(84 - s / 2 - 8 + s), static_cast<SInt16>(320 - s / 2 + s));
  EXPECT_FLOAT_EQ(z.vy, 1.33336f);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].sound, &Sounds().shot1);
  EXPECT_FLOAT_EQ(sounds[0].pitch, 0.25f);
}

TEST_F(ZadadosTest, TitleMeteorsKeepTheirNumber) {
  gPlayFieldRect = {0, 0, 480, 640};
  for (int i = 0; i < 5; ++i) NewZadado_Title(1);
  for (int i = kZadadoCount - 1; i >= 3; --i) {
    EXPECT_EQ(Meteor(i).active, 1);
    EXPECT_GE(Meteor(i).brightness, 0.25f);
    EXPECT_LE(Meteor(i).brightness, 0.70f);
  }
  EXPECT_EQ(Meteor(2).active, 0);
  for (int step = 0; step < 3000; ++step) {
    MoveTitleZadados();
    int n = 0;
    for (int i = 0; i < kZadadoCount; ++i) n += Meteor(i).active;
    ASSERT_EQ(n, 5);
  }
}

}  // namespace
