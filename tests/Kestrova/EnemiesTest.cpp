#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "Enemies.h"
#include "EnemyShots.h"
#include "GameplayFixture.h"
#include "Geometry.h"
#include "Players.h"
#include "SpriteMotion.h"

namespace {

void StoreDifficulty(SInt8 level) {
  DifficultyValues d = ComputeDifficulty(level);
  GameFlags.level = level;
  GameFlags.meteorValue = d.meteorValue;
  GameFlags.enemyValueA = d.enemyValueA;
  GameFlags.enemyValueB = d.enemyValueB;
  GameFlags.adjustValue = d.adjustValue;
  GameFlags.pickUpValue = d.pickUpValue;
}

class EnemiesTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    StoreDifficulty(1);
    GameFlags.respawnDone = 1;
  }

  Enemy& PlaceEnemy(int i, SInt32 state, SInt16 top, SInt16 left) {
    Enemy& e = gEnemies[i];
    SInt16 side = state == EnemyShielded ? 40 : 32;
    e.active = 1;
    e.state = state;
    e.rect = {top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
    e.hotRect = e.rect;
    e.vx = e.vy = e.targetVX = e.targetVY = 0;
    e.frame = e.targetFrame = 2;
    e.burstCount = 0;
    CenterSpritePosition(&e);
    return e;
  }

  // A pool with no free record: DoSparks places nothing and draws nothing.
  void FillSparks() {
    for (int i = 0; i < kSparkCount; ++i) gSparks[i].inUse = 1;
  }

  // One tick of the enemies' per-step routines, with the shots kept moving.
  void TickStep() {
    AnimationPhase = 0;
    AnimateEnemies();
    MoveEnemies();
    MoveEnemyShots();
    AdjustEnemies();
  }

  std::vector<const ALSound*> SoundOrder() const {
    std::vector<const ALSound*> order;
    for (const GameSoundRequest& r : sounds) order.push_back(r.sound);
    return order;
  }
};

TEST_F(EnemiesTest, BlastOnAFlyingEnemySpinsBeyond15PixelsAndBurstsWithin) {
  struct Case {
    int d;
    SInt32 state;
    UInt8 side;
    int vxSign;
  };
  const Case cases[] = {
      {-16, EnemySpinning, 0, +1}, {-15, EnemyBursting, 0, 0}, {0, EnemyBursting, 0, 0},
      {15, EnemyBursting, 0, 0},   {16, EnemySpinning, 1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.d);
    sounds.clear();
    Enemy& e = PlaceEnemy(3, EnemyFlying, 100, 200);  // centre x 216
    e.spinSide = 7;
    Rect hit = {100, static_cast<SInt16>(216 + c.d - 4), 108, static_cast<SInt16>(216 + c.d + 4)};
    BlastEnemy(3, &hit, 0, 0);
    EXPECT_EQ(e.state, c.state);
    if (c.state == EnemySpinning) {
      EXPECT_EQ(e.spinSide, c.side);
      EXPECT_EQ(e.frame, 1);
      EXPECT_EQ(e.angle, 0);
      EXPECT_GT(e.vx * static_cast<float>(c.vxSign), 0.0f);
      EXPECT_GE(e.spinRate * static_cast<float>(c.vxSign), 5.0f);
      EXPECT_LE(e.spinRate * static_cast<float>(c.vxSign), 19.0f);
      ExpectRect(e.rect, 100, 200, 132, 232);
      EXPECT_EQ(SoundOrder(), (std::vector<const ALSound*>{&Sounds().boom0, &Sounds().spin}));
    } else {
      EXPECT_EQ(e.frame, 0);
      ExpectRect(e.rect, 96, 196, 136, 236);
      EXPECT_EQ(SoundOrder(), (std::vector<const ALSound*>{&Sounds().boom0}));
    }
  }
}

TEST_F(EnemiesTest, ShieldedEnemyOnlyBouncesAndABurstingOneIgnoresTheHit) {
  Enemy& shielded = PlaceEnemy(1, EnemyShielded, 100, 100);
  shielded.frame = 2;
  Rect centre = {100, 116, 108, 124};
  BlastEnemy(1, &centre, 1, 1);
  EXPECT_EQ(shielded.state, EnemyShielded);
  EXPECT_EQ(shielded.frame, 0);
  ExpectRect(shielded.rect, 100, 100, 140, 140);
  EXPECT_EQ(SoundOrder(), (std::vector<const ALSound*>{&Sounds().bounce}));

  // The spin draw is made even when nothing else happens.
  sounds.clear();
  Enemy& bursting = PlaceEnemy(2, EnemyBursting, 200, 200);
  bursting.frame = 3;
  ModelRandom model{RandomSeed};
  model.Next();
  BlastEnemy(2, &centre, 1, 1);
  EXPECT_EQ(RandomSeed, model.seed);
  EXPECT_EQ(bursting.state, EnemyBursting);
  EXPECT_EQ(bursting.frame, 3);
  EXPECT_TRUE(sounds.empty());
}

TEST_F(EnemiesTest, SpinningEnemyHitAgainBursts) {
  Enemy& e = PlaceEnemy(0, EnemySpinning, 100, 100);
  Rect offCentre = {100, 100, 108, 108};
  BlastEnemy(0, &offCentre, 0, 0);
  EXPECT_EQ(e.state, EnemyBursting);
  EXPECT_EQ(e.frame, 0);
  EXPECT_EQ(SoundOrder(), (std::vector<const ALSound*>{&Sounds().boom0}));
}

TEST_F(EnemiesTest, PodChanceReadsTheStoredPickUpValue) {
  struct Case {
    SInt8 level;
    bool twoShips;
    UInt32 v;
  };
  const Case cases[] = {{1, false, 2}, {1, true, 2}, {40, true, 5}, {40, false, 10}, {20, true, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    StoreDifficulty(c.level);
    gPlayers[0].active = 1;
    gPlayers[1].active = c.twoShips ? 1 : 0;
    EXPECT_EQ(EnemyPodChance(), c.v);
  }
}

TEST_F(EnemiesTest, PlayersKillDropsThePodOnTheChanceOrElseMayPulse) {
  FillSparks();
  gPlayers[0].active = 1;
  // A seed whose second draw (after the spin) is a hit for 1 in 2, not 1 in 10.
  uint32_t seed = 1;
  for (;; ++seed) {
    ModelRandom m{seed};
    m.Next();
    uint32_t r = m.Next();
    if (r % 2 == 0 && r % 10 != 0) break;
  }
  Rect centre = {100, 212, 108, 220};

  GameFlags.pickUpValue = 2;
  PlaceEnemy(4, EnemyFlying, 100, 200);
  RandomSeed = seed;
  BlastEnemy(4, &centre, 1, 0);
  ModelRandom two{seed};
  two.Next();
  two.Next();
  EXPECT_EQ(RandomSeed, two.seed);  // spin, pod chance: no pulse draw
  EXPECT_EQ(gEnemies[4].burstCount, 0);
  EXPECT_EQ(gPods[4].active, 1);

  gPods[4].active = 0;
  GameFlags.pickUpValue = 10;
  PlaceEnemy(4, EnemyFlying, 100, 200);
  RandomSeed = seed;
  BlastEnemy(4, &centre, 1, 0);
  ModelRandom three{seed};
  three.Next();
  three.Next();
  uint32_t pulse = three.Next();
  EXPECT_EQ(RandomSeed, three.seed);
  EXPECT_EQ(gEnemies[4].burstCount, pulse % 5 == 0 ? 5 : 0);
  EXPECT_EQ(gPods[4].active, 0);

  // Not a player's shot: no pod draw at all.
  PlaceEnemy(4, EnemyFlying, 100, 200);
  RandomSeed = seed;
  BlastEnemy(4, &centre, 0, 0);
  ModelRandom noPod{seed};
  noPod.Next();
  noPod.Next();
  EXPECT_EQ(RandomSeed, noPod.seed);
  EXPECT_EQ(gPods[4].active, 0);
}

TEST_F(EnemiesTest, LaunchPlacesOneEnemyAboveTheFieldAndCountsIt) {
  GameFlags.waveBudget = 5;
  // Slot 0's wing and slot 1's pod are still out: the launch takes slot 2.
  gWings[0].active = 1;
  gPods[1].active = 1;
  uint32_t seed = RandomSeed;
  DoEnemy();
  ModelRandom m{seed};
  SInt16 left = static_cast<SInt16>(m.Next() % (640 - 32));
  float vy = static_cast<float>((m.Next() & 3) + 1) * 0.33334f;
  EXPECT_EQ(gEnemies[0].active, 0);
  EXPECT_EQ(gEnemies[1].active, 0);
  Enemy& e = gEnemies[2];
  ASSERT_EQ(e.active, 1);
  ExpectRect(e.rect, -32, left, 0, static_cast<SInt16>(left + 32));
  EXPECT_TRUE(EqualRects(&e.hotRect, &e.rect));
  EXPECT_EQ(e.vy, vy);
  EXPECT_EQ(e.targetVY, vy);
  EXPECT_EQ(e.vx, 0.0f);
  EXPECT_EQ(e.frame, 2);
  EXPECT_EQ(e.state, EnemyFlying);
  EXPECT_EQ(GameFlags.launchedEnemies, 1);
  EXPECT_EQ(GameFlags.waveBudget, 4);
  EXPECT_EQ(SoundOrder(), (std::vector<const ALSound*>{&Sounds().engine}));
}

TEST_F(EnemiesTest, LaunchOntoAnEnemyOrMeteorPlacesNothingAndCountsNothing) {
  GameFlags.waveBudget = 5;
  GameFlags.launchedEnemies = 1;
  for (int blocker = 0; blocker < 2; ++blocker) {
    SCOPED_TRACE(blocker);
    // Across the whole strip above the field, where every launch lands.
    Rect strip = {-40, -50, -10, 700};
    if (blocker == 0) {
      Enemy& e = PlaceEnemy(7, EnemyFlying, -40, 0);
      e.hotRect = strip;
    } else {
      gEnemies[7].active = 0;
      gZadados[5].active = 1;
      gZadados[5].hotRect = strip;
    }
    uint32_t seed = RandomSeed;
    DoEnemy();
    ModelRandom m{seed};
    m.Next();  // the left edge is drawn before the test
    EXPECT_EQ(RandomSeed, m.seed);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(gEnemies[i].active, 0);
    EXPECT_EQ(GameFlags.launchedEnemies, 1);
    EXPECT_EQ(GameFlags.waveBudget, 5);
    EXPECT_TRUE(sounds.empty());
  }

  // With every slot taken nothing is drawn either.
  for (int i = 0; i < 8; ++i) gWings[i].active = 1;
  gZadados[5].active = 0;
  uint32_t seed = RandomSeed;
  DoEnemy();
  EXPECT_EQ(RandomSeed, seed);
}

TEST_F(EnemiesTest, MoveUsesTheClampedVelocityAndNeverLetsTheFallStop) {
  Enemy& fast = PlaceEnemy(0, EnemyFlying, 100, 100);
  fast.vx = 3.0f;
  fast.vy = -2.0f;
  Enemy& shielded = PlaceEnemy(1, EnemyShielded, 200, 300);
  shielded.vy = 0.0f;
  float x0 = fast.x, y0 = fast.y, y1 = shielded.y;
  MoveEnemies();
  EXPECT_FLOAT_EQ(fast.x, x0 + 1.33336f);
  EXPECT_FLOAT_EQ(fast.y, y0 + 0.33334f);
  EXPECT_EQ(fast.vx, 3.0f);  // the stored velocity stays unclamped
  EXPECT_EQ(fast.vy, 0.33334f);
  EXPECT_EQ(shielded.vy, 0.33334f);
  EXPECT_FLOAT_EQ(shielded.y, y1 + 0.33334f);
  // Hot rects: 32 in flight, 40 under a shield, on the rect's centre.
  EXPECT_EQ(fast.hotRect.right - fast.hotRect.left, 32);
  EXPECT_EQ(RectCentreH(fast.hotRect), RectCentreH(fast.rect));
  EXPECT_EQ(shielded.hotRect.bottom - shielded.hotRect.top, 40);
}

TEST_F(EnemiesTest, SpinningAngleStaysWithinAFullTurn) {
  for (float rate : {19.0f, -19.0f, 5.0f, -7.0f}) {
    SCOPED_TRACE(rate);
    Enemy& e = PlaceEnemy(0, EnemySpinning, 40, 300);
    e.vy = 0.0f;
    e.angle = 0;
    e.spinRate = rate;
    int lastSeen = 0;
    for (int step = 0; step < 1000; ++step) {
      e.rect = {40, 300, 72, 332};
      e.y = 56;
      MoveEnemies();
      ASSERT_EQ(e.active, 1);
      ASSERT_GE(e.angle, 0);
      ASSERT_LE(e.angle, 359);
      lastSeen = e.angle;
    }
    // 0.33334 x rate truncated each step, so the turn keeps going.
    EXPECT_NE(lastSeen, 0);
  }
  // The truncation is toward zero: 2 - 6.33 gives -4, then 356.
  Enemy& e = PlaceEnemy(1, EnemySpinning, 40, 100);
  e.angle = 2;
  e.spinRate = -19.0f;
  MoveEnemies();
  EXPECT_EQ(e.angle, 356);
}

TEST_F(EnemiesTest, DriftStepsTowardItsTargetAndTiltFollows) {
  struct Case {
    float vx;
    SInt8 frame;
  };
  const Case cases[] = {{-1.33336f, 0}, {-1.0f, 1}, {-0.33334f, 1}, {0.0f, 2},
                        {0.33334f, 3},  {1.0f, 3},  {1.33336f, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vx);
    Enemy& e = PlaceEnemy(2, EnemyFlying, 100, 100);
    e.vx = e.targetVX = c.vx;
    e.frame = c.frame == 0 ? 1 : static_cast<SInt8>(c.frame - 1);
    AdjustEnemies();
    EXPECT_EQ(e.targetFrame, c.frame);
    EXPECT_EQ(e.frame, c.frame);
  }
  // Steps of 0.33334 that never pass the target.
  Enemy& e = PlaceEnemy(2, EnemyFlying, 100, 100);
  e.vx = 0;
  e.targetVX = 0.5f;
  AdjustEnemies();
  EXPECT_EQ(e.vx, 0.33334f);
  AdjustEnemies();
  EXPECT_EQ(e.vx, 0.5f);
  // Under a shield the drift dies away.
  Enemy& s = PlaceEnemy(3, EnemyShielded, 200, 200);
  s.vx = -0.66668f;
  AdjustEnemies();
  AdjustEnemies();
  EXPECT_NEAR(s.vx, 0.0f, 1e-6f);
}

// The burst itself is a 1-in-3 draw: one big bolt, else a ring of eight small
// ones. With the spark pool full the draw is the first of the step, so a seed
// picks each outcome in turn.
TEST_F(EnemiesTest, BurstingEnemyPulsesThenBurstsIntoBoltsThenLeaves) {
  struct Case {
    bool bigBolt;
    int bolts;
    int kind2;
  };
  for (const Case& c : {Case{true, 1, 1}, Case{false, 8, 0}}) {
    SCOPED_TRACE(c.bigBolt ? "one big bolt" : "a ring of bolts");
    for (Shot& shot : *gEnemyShots) shot.active = 0;
    sounds.clear();
    FillSparks();
    GameFlags.launchedEnemies = 1;
    gBoss->active = 1;
    Enemy& e = PlaceEnemy(5, EnemyBursting, 100, 100);
    e.frame = 7;
    e.burstCount = 2;
    AnimationPhase = 0;
    AnimateEnemies();
    EXPECT_EQ(e.frame, 4);
    EXPECT_EQ(e.burstCount, 1);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].sound, &Sounds().flip);
    EXPECT_FLOAT_EQ(sounds[0].pitch, 0.25f);

    for (int i = 0; i < 3; ++i) AnimateEnemies();
    EXPECT_EQ(e.frame, 7);
    sounds.clear();
    uint32_t seed = 1;
    while ((ModelRandom{seed}.Next() % 3 == 0) != c.bigBolt) ++seed;
    RandomSeed = seed;
    AnimateEnemies();
    EXPECT_EQ(e.frame, 0);
    EXPECT_EQ(e.burstCount, 0);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].sound, &Sounds().boom0);
    EXPECT_FLOAT_EQ(sounds[0].pitch, 0.75f);
    int bolts = 0, kind2 = 0;
    for (const Shot& shot : *gEnemyShots) {
      if (!shot.active) continue;
      ++bolts;
      kind2 += shot.boltKind == 2;
      EXPECT_EQ(shot.isBolt, 1);
    }
    EXPECT_EQ(bolts, c.bolts);
    EXPECT_EQ(kind2, c.kind2);

    for (int i = 0; i < 7; ++i) AnimateEnemies();
    EXPECT_EQ(e.active, 1);
    AnimateEnemies();
    EXPECT_EQ(e.active, 0);
    EXPECT_EQ(GameFlags.launchedEnemies, 0);
  }
}

TEST_F(EnemiesTest, ShieldHoldsForItsTimerThenDrops) {
  Enemy& e = PlaceEnemy(0, EnemyShielded, 96, 96);  // a 32 rect grown by 4
  e.frame = 0;
  e.shieldTimer = 2;
  AnimationPhase = 0;
  const SInt8 frames[] = {1, 2, 1, 2, 3};
  for (SInt8 f : frames) {
    AnimateEnemies();
    EXPECT_EQ(e.frame, f);
    EXPECT_EQ(e.state, EnemyShielded);
  }
  AnimateEnemies();
  EXPECT_EQ(e.state, EnemyFlying);
  EXPECT_EQ(e.frame, 2);
  EXPECT_EQ(e.targetFrame, 2);
  ExpectRect(e.rect, 100, 100, 132, 132);
}

TEST_F(EnemiesTest, SeparateWingPushesWingAndEnemyApart) {
  Enemy& e = PlaceEnemy(6, EnemySpinning, 100, 100);
  Object& wing = gWings[6];
  wing.active = 1;
  wing.rect = {104, 100, 128, 124};
  SeparateWing(6);
  EXPECT_FALSE(GameRectsOverlap(wing.hotRect, e.hotRect));
  EXPECT_EQ(wing.rect.right - wing.rect.left, 24);
  EXPECT_EQ(e.rect.right - e.rect.left, 32);
  EXPECT_EQ(RectCentreH(wing.rect), RectCentreH(wing.hotRect));
  EXPECT_EQ(RectCentreV(e.rect), RectCentreV(e.hotRect));
  EXPECT_EQ(wing.x, RectCentreH(wing.rect));
  EXPECT_EQ(e.y, RectCentreV(e.rect));
}

TEST_F(EnemiesTest, LaunchedCountReturnsToZeroWhenTheFieldEmpties) {
  GameFlags.joined[0] = 1;
  GameFlags.waveBudget = 6;
  GameFlags.enemyCount[0] = 3;
  int maxOnScreen = 0;
  bool blasted = false;
  for (int step = 0; step < 20000; ++step) {
    AnimationPhase = static_cast<float>(step % 3);
    if (AnimationPhase == 0) AnimateEnemies();
    MoveEnemies();
    MoveEnemyShots();
    AdjustEnemies();
    int onScreen = 0;
    for (int i = 0; i < kEnemyCount; ++i) onScreen += gEnemies[i].active;
    ASSERT_EQ(onScreen, GameFlags.launchedEnemies);
    if (onScreen > maxOnScreen) maxOnScreen = onScreen;
    // One enemy goes out in a burst rather than off the bottom.
    if (!blasted && gEnemies[0].active && gEnemies[0].state == EnemyFlying && gEnemies[0].y > 100) {
      Rect centre = gEnemies[0].rect;
      BlastEnemy(0, &centre, 0, 0);
      blasted = true;
    }
    if (GameFlags.waveBudget == 0 && onScreen == 0) break;
  }
  EXPECT_TRUE(blasted);
  EXPECT_EQ(GameFlags.waveBudget, 0);
  EXPECT_EQ(GameFlags.launchedEnemies, 0);
  EXPECT_GE(maxOnScreen, 2);
  EXPECT_LE(maxOnScreen, 3);
}

TEST_F(EnemiesTest, NothingMovesOrLaunchesBeforeTheRespawn) {
  GameFlags.respawnDone = 0;
  GameFlags.joined[0] = 1;
  GameFlags.waveBudget = 6;
  GameFlags.enemyCount[0] = 3;
  Enemy& e = PlaceEnemy(0, EnemyFlying, 100, 100);
  e.vy = 1.0f;
  MoveEnemies();
  EXPECT_EQ(e.rect.top, 100);
  EXPECT_EQ(GameFlags.launchedEnemies, 0);
}

// From level 50 up the raw laser divisor, 100 - 10 t with t = level / 5, is 0
// or less, and a chance of one in 0 fires on every tick: the readers take the
// clamped values StartLevel stored (one in 20 there), never the raw formulas.
TEST_F(EnemiesTest, AtLevel50AFlyingEnemyFiresOnSomeTicksNotAll) {
  for (SInt8 level : {50, 60}) {
    SCOPED_TRACE(level);
    StoreDifficulty(level);
    RandomSeed = 10;
    int fired = 0;
    AnimationPhase = 0;
    for (int tick = 0; tick < 2000; ++tick) {
      Enemy& e = PlaceEnemy(0, EnemyFlying, 100, 300);
      e.vx = 0.5f;  // drifting: no shield
      e.firingFlash = 0;
      (*gEnemyShots)[0].active = 0;
      MoveEnemies();
      fired += e.firingFlash;
    }
    // One in 20 (the stored clamp): 125 of 2,000 with this seed.
    EXPECT_GE(fired, 2000 * 5 / 100);
    EXPECT_LE(fired, 2000 * 15 / 100);
  }
}

TEST_F(EnemiesTest, EachDifficultyReaderFollowsItsStoredValue) {
  struct Reader {
    const char* name;
    UInt16* value;
    // Counts the ticks, of 200, on which the value's event happened.
    std::function<int()> run;
  };
  auto lasers = [this] {
    int n = 0;
    for (int i = 0; i < 200; ++i) {
      Enemy& e = PlaceEnemy(0, EnemyFlying, 100, 300);
      e.vx = 0.5f;
      e.firingFlash = 0;
      (*gEnemyShots)[0].active = 0;
      MoveEnemies();
      n += e.firingFlash;
    }
    return n;
  };
  auto shields = [this] {
    int n = 0;
    GameFlags.enemyValueB = 65535;
    for (int i = 0; i < 200; ++i) {
      Enemy& e = PlaceEnemy(0, EnemyFlying, 100, 300);
      (*gEnemyShots)[0].active = 1;  // no laser, whatever the draw
      MoveEnemies();
      n += e.state == EnemyShielded;
    }
    return n;
  };
  auto drifts = [this] {
    int n = 0;
    for (int i = 0; i < 200; ++i) {
      Enemy& e = PlaceEnemy(0, EnemyFlying, 100, 300);
      AdjustEnemies();
      n += e.targetVX != 0.0f;
    }
    return n;
  };
  const Reader readers[] = {
      {"laser", &GameFlags.enemyValueB, lasers},
      {"shield", &GameFlags.enemyValueA, shields},
      {"drift", &GameFlags.adjustValue, drifts},
  };
  AnimationPhase = 0;
  for (const Reader& r : readers) {
    SCOPED_TRACE(r.name);
    StoreDifficulty(1);
    *r.value = 1;
    EXPECT_EQ(r.run(), 200);
    *r.value = 60000;
    EXPECT_EQ(r.run(), 0);
  }
}

}  // namespace
