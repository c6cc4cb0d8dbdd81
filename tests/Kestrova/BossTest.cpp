#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "Boss.h"
#include "GameDriver.h"
#include "GameStep.h"
#include "GameplayFixture.h"
#include "Geometry.h"
#include "PlayerShots.h"
#include "Players.h"
#include "SpriteMotion.h"
#include "Zadados.h"

namespace {

constexpr float kUnit = 0.33334f;

Rect BossRect() { return Rect{60, 250, 200, 390}; }

class BossTest : public GameplayTest {
 protected:
  void SetUp() override {
    GameplayTest::SetUp();
    GameFlags.respawnDone = 1;
    GameFlags.bossValueA = 50;
    GameFlags.bossValueB = 0;
    GameFlags.bossValueC = 25;
    GameFlags.bossValueD = 15;
  }
  void TearDown() override {
    AnimationPhase = 1;
    GameplayTest::TearDown();
  }
  Boss& PlaceBoss(UInt8 kind, float vx = 0, float vy = 0) {
    Boss& boss = *gBoss;
    boss.active = 1;
    boss.dying = 0;
    boss.kind = kind;
    boss.rect = BossRect();
    boss.hotRect = boss.rect;
    InsetRectBy(&boss.hotRect, 8, 8);
    CenterSpritePosition(&boss);
    boss.vx = boss.targetVX = vx;
    boss.vy = boss.targetVY = vy;
    boss.healthBar.target = 10;
    return boss;
  }
  void ClearField() {
    for (int i = 0; i < kZadadoCount; ++i) Meteor(i).active = 0;
    for (int i = 0; i < kEnemyCount; ++i) gEnemies[i].active = 0;
    for (Shot& s : *gEnemyShots) s.active = 0;
    for (Object& e : *gExplosions) e.active = 0;
    GameFlags.launchedEnemies = 0;
  }
  // What the boss put on the field this tick.
  struct Placed {
    int meteors = 0, bolts = 0, mines = 0, lasers = 0;
  };
  Placed Count() {
    Placed p;
    for (int i = 0; i < kZadadoCount; ++i) p.meteors += Meteor(i).active;
    for (int i = 0; i < kEnemyCount; ++i) p.mines += gEnemies[i].active;
    for (Shot& s : *gEnemyShots) {
      if (!s.active) continue;
      if (s.isBolt)
        p.bolts += s.boltKind == 0;
      else
        ++p.lasers;
    }
    return p;
  }
  // Ticks on which the boss, held in place at a fixed speed, placed things.
  Placed RunTicks(UInt8 kind, float vy, int ticks) {
    Placed total;
    AnimationPhase = 0;
    for (int t = 0; t < ticks; ++t) {
      PlaceBoss(kind, 0, vy);
      ClearField();
      MoveBoss();
      Placed p = Count();
      total.meteors += p.meteors > 0;
      total.bolts += p.bolts > 0;
      total.mines += p.mines > 0;
      total.lasers += p.lasers > 0;
    }
    ClearField();
    return total;
  }
};

TEST_F(BossTest, TheCourseStepsTowardItsTargetAndIsHeldToTheTopSpeed) {
  Boss& boss = PlaceBoss(Blimp);
  boss.targetVX = 1.0f;
  boss.targetVY = -10.0f;
  AnimationPhase = 1;  // no tick: no course changes, no weapons
  MoveBoss();
  EXPECT_FLOAT_EQ(boss.vx, kUnit);
  EXPECT_FLOAT_EQ(boss.vy, -kUnit);
  EXPECT_FLOAT_EQ(boss.x, 320.0f + kUnit);
  for (int i = 0; i < 20; ++i) MoveBoss();
  // A remainder below one step jitters about the target.
  EXPECT_NEAR(boss.vx, 1.0f, kUnit);
  EXPECT_FLOAT_EQ(boss.vy, -2.66672f);
  EXPECT_EQ(boss.rect.right - boss.rect.left, 140);
}

TEST_F(BossTest, TheHotRectIsThePictureLessEightAndTheBoomerangsWingsLessMore) {
  struct Case {
    const char* name;
    UInt8 kind;
    Rect hot;
  };
  const Case cases[] = {{"Blimp", Blimp, Rect{68, 258, 192, 382}}, {"Boomerang", Boomerang, Rect{68, 258, 184, 382}}};
  AnimationPhase = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Boss& boss = PlaceBoss(c.kind);
    boss.hotRect = Rect{0, 0, 0, 0};
    MoveBoss();
    ExpectRect(boss.hotRect, c.hot.top, c.hot.left, c.hot.bottom, c.hot.right);
  }
}

TEST_F(BossTest, NothingMovesBeforeTheRespawnOrWithoutABoss) {
  Boss& boss = PlaceBoss(Blimp, 1.0f, 1.0f);
  GameFlags.respawnDone = 0;
  AnimationPhase = 0;
  MoveBoss();
  ExpectRect(boss.rect, 60, 250, 200, 390);
  GameFlags.respawnDone = 1;
  boss.active = 0;
  MoveBoss();
  ExpectRect(boss.rect, 60, 250, 200, 390);
  EXPECT_TRUE(sounds.empty());
}

TEST_F(BossTest, WeaponsFollowTheDirectionOfTravel) {
  // Weapons value 2: guns every tick, meteors 1 in 2, mines 1 in 6, lasers 1 in 8.
  GameFlags.bossValueC = 2;
  GameFlags.bossValueA = 60000;
  struct Case {
    const char* name;
    UInt8 kind;
    float vy;
    bool meteors, guns, mines, lasers;
  };
  const Case cases[] = {
      {"Boomerang moving down", Boomerang, 1.0f, false, false, true, true},
      {"Boomerang moving up", Boomerang, -1.0f, true, true, false, false},
      {"Boomerang at rest", Boomerang, 0.0f, true, true, true, true},
      {"Blimp moving down", Blimp, 1.0f, false, false, true, true},
      {"Blimp moving up", Blimp, -1.0f, true, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Placed p = RunTicks(c.kind, c.vy, 300);
    EXPECT_EQ(p.meteors > 0, c.meteors) << p.meteors;
    EXPECT_EQ(p.bolts > 0, c.guns) << p.bolts;
    EXPECT_EQ(p.mines > 0, c.mines) << p.mines;
    EXPECT_EQ(p.lasers > 0, c.lasers) << p.lasers;
  }
}

TEST_F(BossTest, GunsMinesAndLasersLeaveFromTheirPlaces) {
  // Weapons value 0: every chance is a hit.
  GameFlags.bossValueC = 0;
  GameFlags.bossValueA = 60000;
  AnimationPhase = 0;

  Boss& blimp = PlaceBoss(Blimp);
  ClearField();
  MoveBoss();
  // Hot rect (68, 258, 192, 382): the laser from bottom - 4 to + 20 on the centre.
  Shot& laser = (*gEnemyShots)[0];
  ASSERT_EQ(laser.active, 1);
  EXPECT_EQ(laser.isBolt, 0);
  ExpectRect(laser.rect, 188, 312, 212, 328);
  EXPECT_FLOAT_EQ(laser.vy, 4.00008f);
  EXPECT_EQ(laser.vx, 0.0f);
  EXPECT_EQ(laser.direction, 1);
  EXPECT_EQ(laser.flashFlag, 1);
  EXPECT_EQ(laser.flashColour[0], FlashColour[0]);
  EXPECT_EQ(laser.flashColour[3], FlashColour[3]);
  EXPECT_EQ(laser.x, 320.0f);
  EXPECT_EQ(laser.y, 200.0f);
  EXPECT_GE(CountSounds(Sounds().shot1), 1);
  // The Blimp's mine: a bursting enemy on the centre above the hot rect.
  Enemy& mine = gEnemies[0];
  ASSERT_EQ(mine.active, 1);
  EXPECT_EQ(mine.state, EnemyBursting);
  EXPECT_EQ(RectCentreH(mine.rect), 320);
  EXPECT_EQ(RectCentreV(mine.rect), 52);
  EXPECT_EQ(blimp.kind, Blimp);

  PlaceBoss(Boomerang);
  ClearField();
  MoveBoss();
  // Hot rect (68, 258, 184, 382); a gun bolt takes slot 0, the laser the next.
  Shot& bolt = (*gEnemyShots)[0];
  ASSERT_EQ(bolt.active, 1);
  EXPECT_EQ(bolt.isBolt, 1);
  EXPECT_EQ(bolt.boltKind, 0);
  EXPECT_EQ(RectCentreV(bolt.rect), 204);
  EXPECT_TRUE(RectCentreH(bolt.rect) == 318 || RectCentreH(bolt.rect) == 322) << RectCentreH(bolt.rect);
  Shot& boomerangLaser = (*gEnemyShots)[1];
  ASSERT_EQ(boomerangLaser.active, 1);
  EXPECT_EQ(boomerangLaser.isBolt, 0);
  ExpectRect(boomerangLaser.rect, 192, 312, 216, 328);
  EXPECT_TRUE(RectCentreH(gEnemies[0].rect) == 318 || RectCentreH(gEnemies[0].rect) == 322);
  EXPECT_EQ(RectCentreV(gEnemies[0].rect), 52);

  // No free shot slot: no laser, nothing overwritten.
  PlaceBoss(Blimp);
  ClearField();
  for (Shot& s : *gEnemyShots) {
    s.active = 1;
    s.isBolt = 1;
    s.rect = Rect{1, 1, 2, 2};
  }
  MoveBoss();
  for (Shot& s : *gEnemyShots) EXPECT_EQ(s.rect.top, 1);
}

TEST_F(BossTest, AtZeroHitPointsTheBossDiesInTwentyFiveBlasts) {
  Boss& boss = PlaceBoss(Blimp);
  boss.healthBar.target = 0;
  GameFlags.slowLevel = 3;
  GameFlags.slowTarget = 6;
  GameFlags.slowCounter = 2;
  GameFlags.frameDivider = 1;
  AnimationPhase = 1;
  MoveBoss();
  EXPECT_EQ(boss.dying, 1);
  EXPECT_EQ(boss.countdown, 25);
  EXPECT_EQ(boss.blastLevel, 0);
  EXPECT_EQ(GameFlags.bossBeaten, 1);
  EXPECT_EQ(GameFlags.slowLevel, 0);
  EXPECT_EQ(GameFlags.slowTarget, 0);
  EXPECT_EQ(GameFlags.slowCounter, 0);
  EXPECT_EQ(GameFlags.frameDivider, 0);
  EXPECT_EQ(gOverlaySprite->active, 1);

  const Rect still = boss.rect;
  const Rect blast = boss.blastRect;
  int steps = 0;
  for (; boss.active && steps < 300; ++steps) {
    AnimationPhase = static_cast<float>(steps % 3);
    for (Object& e : *gExplosions) e.active = 0;
    MoveBoss();
  }
  EXPECT_EQ(CountSounds(Sounds().boom1), 25);
  EXPECT_EQ(steps, 26 * 3 - 2);  // 25 blast ticks, then the one that ends it
  EXPECT_EQ(boss.active, 0);
  ExpectRect(boss.rect, still.top, still.left, still.bottom, still.right);  // it no longer moves
  EXPECT_EQ(boss.blastLevel, steps);
  EXPECT_EQ(boss.blastRect.top, blast.top - 4 * steps);
  EXPECT_EQ(boss.blastRect.right, blast.right + 4 * steps);
  // The blast level stops at 100; the blast rect never wraps.
  for (int i = 0; i < 20000; ++i) MoveBoss();
  EXPECT_EQ(boss.blastLevel, 100);
  EXPECT_LT(boss.blastRect.top, -30000);
  EXPECT_GT(boss.blastRect.bottom, 30000);
}

TEST_F(BossTest, ABlastWithNoFreeExplosionIsSilentButCounts) {
  Boss& boss = PlaceBoss(Boomerang);
  boss.healthBar.target = 0;
  MoveBoss();
  for (Object& e : *gExplosions) e.active = 1;
  AnimationPhase = 0;
  MoveBoss();
  EXPECT_EQ(boss.countdown, 24);
  EXPECT_EQ(CountSounds(Sounds().boom1), 0);
  // A free one: a blast within the Boomerang's reach of its centre.
  (*gExplosions)[3].active = 0;
  MoveBoss();
  EXPECT_EQ(CountSounds(Sounds().boom1), 1);
  const Rect& r = (*gExplosions)[3].rect;
  EXPECT_LE(std::abs(RectCentreH(r) - RectCentreH(boss.hotRect)), 91);
  EXPECT_LE(std::abs(RectCentreV(r) - RectCentreV(boss.hotRect)), 51);
  EXPECT_LE(std::fabs((*gExplosions)[3].vx), 1.0f);
}

TEST_F(BossTest, BurstEnemiesTakeTheLowestFreeEnemySlot) {
  gEnemies[0].active = 1;
  gWings[1].active = 1;  // wings and pods do not hold the slot
  gPods[1].active = 1;
  GameFlags.waveBudget = 7;
  LaunchBurstEnemy(100, 120, -3.0f, -2.0f);
  Enemy& e = gEnemies[1];
  ASSERT_EQ(e.active, 1);
  ExpectRect(e.rect, 100, 80, 140, 120);
  ExpectRect(e.hotRect, 104, 84, 136, 116);
  ExpectRect(e.oldRect, 100, 80, 140, 120);
  EXPECT_EQ(e.x, 100.0f);
  EXPECT_EQ(e.y, 120.0f);
  EXPECT_FLOAT_EQ(e.vx, -3 * kUnit);
  EXPECT_FLOAT_EQ(e.vy, -2 * kUnit);
  EXPECT_EQ(e.targetVX, e.vx);
  EXPECT_EQ(e.targetVY, e.vy);
  EXPECT_EQ(e.frame, 4);
  EXPECT_EQ(e.targetFrame, 4);
  EXPECT_EQ(e.burstCount, 5);
  EXPECT_EQ(e.state, EnemyBursting);
  EXPECT_EQ(GameFlags.launchedEnemies, 1);
  EXPECT_EQ(GameFlags.waveBudget, 7);

  for (int i = 0; i < kEnemyCount; ++i) gEnemies[i].active = 1;
  LaunchBurstEnemy(300, 300, 1.0f, 1.0f);
  EXPECT_EQ(GameFlags.launchedEnemies, 1);
}

TEST_F(BossTest, AnimateBossCyclesFourFramesEveryOtherCall) {
  Boss& boss = PlaceBoss(Blimp);
  boss.frame = 0;
  boss.countdown = 1;
  std::string frames;
  for (int i = 0; i < 10; ++i) {
    AnimateBoss();
    frames += static_cast<char>('0' + boss.frame);
  }
  EXPECT_EQ(frames, "0112233001");
  boss.dying = 1;
  boss.countdown = 5;
  AnimateBoss();
  EXPECT_EQ(boss.countdown, 5);
}

TEST_F(BossTest, ResetBossSetsHitPointsBarAndAFirstCourse) {
  Boss& boss = PlaceBoss(Blimp);
  boss.dying = 1;
  boss.healthBar.shown = 4;
  bool negative = false, positive = false;
  for (int i = 0; i < 40; ++i) {
    ResetBoss(7);  // no picture of that kind: the rect stays
    for (float t : {boss.targetVX, boss.targetVY}) {
      float units = std::fabs(t) / kUnit;
      EXPECT_NEAR(units, std::round(units), 1e-3);
      EXPECT_GE(units, 0.999f);
      EXPECT_LE(std::fabs(t), 2.66672f + 1e-5f);
      (t < 0 ? negative : positive) = true;
    }
  }
  EXPECT_TRUE(negative && positive);
  ExpectRect(boss.rect, 60, 250, 200, 390);
  ExpectRect(boss.oldRect, 60, 250, 200, 390);
  EXPECT_EQ(boss.dying, 0);
  EXPECT_EQ(boss.active, 1);
  EXPECT_EQ(boss.countdown, 1);
  EXPECT_EQ(boss.vx, 0.0f);
  EXPECT_EQ(boss.x, 320.0f);
  EXPECT_EQ(boss.y, 130.0f);
  EXPECT_EQ(boss.healthBar.shown, 0);
  EXPECT_EQ(boss.healthBar.target, 15);
  ASSERT_EQ(boss.healthBar.count, 15u);
  for (UInt32 i = 0; i < 15; ++i) {
    EXPECT_EQ(boss.healthBar.glow.data[i], 0);
    EXPECT_EQ(boss.healthBar.on.data[i], 0);
  }
}

TEST_F(BossTest, EachBossReaderFollowsItsStoredValue) {
  AnimationPhase = 0;
  // Ticks on which the boss changed its side target (a sentinel shows it).
  auto courseChanges = [this](int ticks, float* smallest, float* largest) {
    int changes = 0;
    for (int t = 0; t < ticks; ++t) {
      Boss& boss = PlaceBoss(Blimp);
      boss.targetVX = 100.0f;
      MoveBoss();
      if (boss.targetVX == 100.0f) continue;
      ++changes;
      *smallest = std::min(*smallest, std::fabs(boss.targetVX));
      *largest = std::max(*largest, std::fabs(boss.targetVX));
    }
    ClearField();
    return changes;
  };
  GameFlags.bossValueC = 60000;
  struct CourseCase {
    UInt16 course;
    UInt16 bonus;
  };
  for (CourseCase c : {CourseCase{10, 0}, CourseCase{50, 0}, CourseCase{10, 4}, CourseCase{1, 2}}) {
    SCOPED_TRACE(testing::Message() << "course " << c.course << " bonus " << c.bonus);
    GameFlags.bossValueA = c.course;
    GameFlags.bossValueB = c.bonus;
    float smallest = 100, largest = 0;
    const int ticks = 6000;
    int changes = courseChanges(ticks, &smallest, &largest);
    const double expected = static_cast<double>(ticks) / c.course;
    EXPECT_GT(changes, expected * 0.7);
    EXPECT_LT(changes, expected * 1.3 + 1);
    // The speed bonus sets the range of a new target: (bonus + 1 .. bonus + 4) units.
    EXPECT_NEAR(smallest, (c.bonus + 1) * kUnit, 1e-4);
    EXPECT_NEAR(largest, (c.bonus + 4) * kUnit, 1e-4);
  }

  // Weapons: a rising boss launches a meteor on 1 tick in C.
  GameFlags.bossValueA = 60000;
  for (UInt16 weapons : {5, 25}) {
    SCOPED_TRACE(testing::Message() << "weapons " << weapons);
    GameFlags.bossValueC = weapons;
    const int ticks = 4000;
    Placed p = RunTicks(Blimp, -1.0f, ticks);
    const double expected = static_cast<double>(ticks) / weapons;
    EXPECT_GT(p.meteors, expected * 0.7);
    EXPECT_LT(p.meteors, expected * 1.3);
  }

  // Hit points and segments.
  for (UInt16 hitPoints : {15, 33, 50}) {
    SCOPED_TRACE(testing::Message() << "hit points " << hitPoints);
    GameFlags.bossValueD = hitPoints;
    ResetBoss(7);
    EXPECT_EQ(gBoss->healthBar.target, hitPoints);
    EXPECT_EQ(gBoss->healthBar.count, hitPoints);
    EXPECT_EQ(gBoss->healthBar.rect.data[0].left, 320 - 4 * hitPoints);
    EXPECT_EQ(gBoss->healthBar.rect.data[hitPoints - 1].right, 320 + 4 * hitPoints);
  }
}

TEST_F(BossTest, OnlyACoreHitHurtsTheBoss) {
  ResetPlayer(0);
  Ship(0).countdown = 0;
  struct Case {
    const char* name;
    UInt8 kind;
    SInt16 d;  // shot centre less the hot rect's centre
    UInt8 piercing;
    SInt8 hitPoints, after;
    SInt32 score;
  };
  const Case cases[] = {
      {"Blimp core", Blimp, 0, 0, 15, 14, 250},
      {"Boomerang core edge", Boomerang, -12, 0, 20, 19, 350},
      {"piercing core", Blimp, 12, 1, 15, 13, 250},
      {"piercing on the last point", Boomerang, 3, 1, 1, 0, 350},
      {"glancing", Blimp, 13, 0, 15, 15, 0},
      {"glancing piercing", Boomerang, -13, 1, 15, 15, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sounds.clear();
    GameFlags.score[0] = 0;
    Boss& boss = PlaceBoss(c.kind);
    boss.flashFlag = 0;
    boss.healthBar.target = c.hitPoints;
    Shot& shot = PlayerShot(0, 0);
    shot.active = 1;
    shot.piercing = c.piercing;
    shot.direction = 0;
    const SInt16 left = static_cast<SInt16>(RectCentreH(boss.hotRect) + c.d - 4);
    shot.rect = Rect{190, left, 214, static_cast<SInt16>(left + 8)};
    CenterSpritePosition(&shot);
    shot.vx = 0;
    shot.vy = -4.00008f;
    MovePlayerShots();
    EXPECT_EQ(shot.active, 0);
    EXPECT_EQ(boss.healthBar.target, c.after);
    EXPECT_EQ(GameFlags.score[0], c.score);
    const bool core = c.score != 0;
    EXPECT_EQ(boss.flashFlag, core ? 1 : 0);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].sound, core ? &Sounds().suck : &Sounds().tap);
    EXPECT_EQ(sounds[0].pitch, core ? 1.0f : 0.25f);
  }
}

// The bosses as the levels bring them, with their loaded pictures.
class BossLevelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = std::make_unique<gametest::GameDriver>(4242);
    driver_->startGame();
  }
  void StartBossLevel(SInt8 level, SInt8 kind) {
    GameFlags.level = level;
    StartLevel(kind);
  }
  int CountSounds(const char* name) const {
    int n = 0;
    for (const auto& s : driver_->sounds()) n += s.name == name;
    return n;
  }
  std::unique_ptr<gametest::GameDriver> driver_;
};

TEST_F(BossLevelTest, EachBossIsPlacedFromItsPictureWithItsHealthBar) {
  struct Case {
    const char* name;
    SInt8 level;
    SInt8 kind;
    int hitPoints;
  };
  const Case cases[] = {
      {"level 3 Blimp", 3, kLevelBlimp, 15},
      {"level 5 Boomerang", 5, kLevelBoomerang, 20},
      {"level 99 Boomerang", 99, kLevelBoomerang, 50},
  };
  const Rect& field = gPlayFieldRect;
  ASSERT_EQ(field.bottom - field.top, 448);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartBossLevel(c.level, c.kind);
    const Boss& boss = *gBoss;
    const SInt16 w = gImages->boss.imageWidth;
    const SInt16 h = gImages->boss.imageHeight;
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    const SInt16 left = static_cast<SInt16>(320 - w / 2);
    const SInt16 top = static_cast<SInt16>(448 * 0.4 - h / 2);
    ExpectRect(boss.rect, top, left, static_cast<SInt16>(top + h), static_cast<SInt16>(left + w));
    EXPECT_EQ(boss.active, 1);
    EXPECT_EQ(boss.kind, c.kind == kLevelBlimp ? Blimp : Boomerang);
    EXPECT_EQ(boss.healthBar.target, c.hitPoints);
    ASSERT_EQ(boss.healthBar.count, static_cast<UInt32>(c.hitPoints));
    EXPECT_EQ(boss.healthBar.rect.data[0].left, 320 - 4 * c.hitPoints);
    EXPECT_EQ(boss.healthBar.rect.data[c.hitPoints - 1].left, 320 + 4 * c.hitPoints - 8);
    for (UInt32 i = 0; i < boss.healthBar.count; ++i) {
      EXPECT_EQ(boss.healthBar.rect.data[i].top, 4);
      EXPECT_EQ(boss.healthBar.rect.data[i].bottom, 12);
    }
  }
  // The resources' Blimp is 88 x 216: the rect the level 3 boss gets.
  StartBossLevel(3, kLevelBlimp);
  if (gImages->boss.imageWidth == 88 && gImages->boss.imageHeight == 216) ExpectRect(gBoss->rect, 71, 276, 287, 364);
  EXPECT_EQ(gBoss->healthBar.rect.data[0].left, 260);
  EXPECT_EQ(gBoss->healthBar.rect.data[14].left, 372);
  StartBossLevel(99, kLevelBoomerang);
  EXPECT_EQ(gBoss->healthBar.rect.data[0].left, 120);
  EXPECT_EQ(gBoss->healthBar.rect.data[49].left, 512);
}

TEST_F(BossLevelTest, ABeatenBossLeadsToTheNextLevelWithTheGameMusic) {
  // Player 1 joins; the level-3 boss comes with an empty field and no budget.
  gametest::StepInput fire;
  fire.held = {49};
  driver_->step(fire);
  driver_->step();
  ASSERT_EQ(GameFlags.joined[0], 1);
  StartBossLevel(3, kLevelBlimp);
  RespawnPlayers();
  ClearZadados();
  GameFlags.waveBudget = 0;
  ASSERT_EQ(gPlayers[0].active, 1);
  ASSERT_EQ(gBoss->active, 1);

  gBoss->healthBar.target = 0;
  int booms = 0;  // the driver keeps one step's sounds
  bool sawDeath = false;
  int blastsWhileDying = -1;
  for (int i = 0; i < 8000 && GameFlags.level == 3; ++i) {
    gPlayers[0].countdown = 50;  // the ship is not part of this test
    gPlayers[0].shieldBar.target = 12;
    const bool wasActive = gBoss->active;
    driver_->step();
    booms += CountSounds("Boom1");
    if (!sawDeath && gBoss->dying) {
      sawDeath = true;
      EXPECT_EQ(GameFlags.bossBeaten, 1);
      EXPECT_EQ(GameFlags.slowLevel, 0);
      EXPECT_EQ(GameFlags.slowTarget, 0);
      EXPECT_EQ(gOverlaySprite->active, 1);
    }
    if (wasActive && !gBoss->active) blastsWhileDying = booms;
  }
  EXPECT_TRUE(sawDeath);
  EXPECT_EQ(blastsWhileDying, 25);
  EXPECT_EQ(GameFlags.level, 4);
  EXPECT_EQ(GameFlags.levelKind, kLevelWave);
  EXPECT_EQ(GameFlags.bossBeaten, 0);
  EXPECT_EQ(gGameMusic->fileName, "Music/Game");
}

}  // namespace
