#include <gtest/gtest.h>

#include <cstring>

#include "GameplayFixture.h"
#include "PlayerShots.h"
#include "Players.h"
#include "Scoring.h"
#include "SpriteMotion.h"

namespace {

class PlayersTest : public GameplayTest {
 protected:
  // The ships' share of one game step, the keys held for it.
  void Step(std::initializer_list<int> keys = {}, int player = 0) {
    for (int k : keys) PlayerKeyFlags[player][k] = 1;
    MovePlayers();
    DoPlayers();
    BouncePlayers();
    MovePlayerShots();
    std::memset(PlayerKeyFlags, 0, sizeof PlayerKeyFlags);
  }
  void Join(int player = 0) {
    Step({kKeyFire}, player);
    Step({}, player);
    sounds.clear();
  }
  int ShotsInUse(int player) {
    int n = 0;
    for (int i = 0; i < kShotsPerPlayer; ++i) n += PlayerShot(player, i).active;
    return n;
  }
};

TEST_F(PlayersTest, FirePressedWhileOutOfPlayJoinsAtTheStartPlace) {
  GameFlags.waveBudget = 12;
  Step({kKeyFire});
  Player& ship = Ship(0);
  EXPECT_EQ(ship.active, 1);
  EXPECT_EQ(ship.state, PlayerFlying);
  ExpectRect(ship.rect, 368, 144, 400, 176);
  EXPECT_FLOAT_EQ(ship.x, 160);
  EXPECT_FLOAT_EQ(ship.y, 384);
  EXPECT_EQ(ship.shieldBar.target, 12);
  EXPECT_EQ(ship.countdown, 50);
  EXPECT_EQ(ship.frame, 2);
  EXPECT_EQ(ship.panelShown, 1);
  EXPECT_EQ(ship.panelSliding, 1);
  EXPECT_EQ(ship.panelSlideStep, -8);
  ExpectRect(ship.panelRect, 480, 32, 512, 288);  // moved down by its height to slide in
  EXPECT_EQ(GameFlags.joined[0], 1);
  EXPECT_EQ(GameFlags.scoringPlayer, 0);
  EXPECT_EQ(GameFlags.waveBudget, 12);  // one ship: not doubled
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].sound, &Sounds().power);
  EXPECT_EQ(ShotsInUse(0), 0);  // the joining press fires nothing
}

TEST_F(PlayersTest, SecondShipJoiningDoublesTheBudgetHeldAt255) {
  const struct {
    UInt8 budget;
    UInt8 expected;
  } cases[] = {{12, 24}, {127, 254}, {128, 255}, {200, 255}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.budget);
    TearDown();
    SetUp();
    Join(0);
    GameFlags.waveBudget = c.budget;
    Step({kKeyFire}, 1);
    EXPECT_EQ(Ship(1).active, 1);
    EXPECT_EQ(GameFlags.waveBudget, c.expected);
    EXPECT_EQ(GameFlags.scoringPlayer, 0);  // the other ship was flying
  }
}

TEST_F(PlayersTest, JoinRefusedWhenJoinedWaveClearedGameOverOrBossBeaten) {
  const char* names[] = {"joined", "wave cleared", "game over", "boss beaten"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(names[i]);
    TearDown();
    SetUp();
    GameFlags.joined[0] = i == 0;
    GameFlags.waveCleared = i == 1;
    GameFlags.gameOver = i == 2;
    GameFlags.bossBeaten = i == 3;
    Step({kKeyFire});
    EXPECT_EQ(Ship(0).active, 0);
    EXPECT_TRUE(sounds.empty());
  }
}

TEST_F(PlayersTest, HeldRightAcceleratesHoversAndCoastsToExactlyZero) {
  Join();
  Ship(0).countdown = 0;
  for (int i = 0; i < 60; ++i) {
    Step({kKeyRight});
    if (i >= 16) {
      EXPECT_GE(Ship(0).vx, 2.6667f);
      EXPECT_LE(Ship(0).vx, 2.7501f);
    }
  }
  EXPECT_NEAR(Ship(0).x, 301.84, 0.01);
  EXPECT_EQ(Ship(0).rect.left, 285);

  int steps = 0;
  while (Ship(0).vx != 0 && steps < 100) {
    Step();
    ++steps;
    EXPECT_GE(Ship(0).vx, 0);  // never past zero
  }
  EXPECT_EQ(steps, 33);
  EXPECT_EQ(Ship(0).vx, 0.0f);
  EXPECT_EQ(Ship(0).rect.left, 327);
}

TEST_F(PlayersTest, LeftAndRightTogetherStopTheShip) {
  Join();
  Ship(0).vx = 1.0f;
  PlayerKeyFlags[0][kKeyLeft] = PlayerKeyFlags[0][kKeyRight] = 1;
  MovePlayers();
  EXPECT_EQ(Ship(0).targetVX, 0);
  EXPECT_EQ(Ship(0).movingH, 0);
  EXPECT_FLOAT_EQ(Ship(0).vx, 1.0f - 0.083335f);
  for (int i = 0; i < 20; ++i) Step({kKeyLeft, kKeyRight});
  EXPECT_EQ(Ship(0).vx, 0.0f);
  EXPECT_EQ(Ship(0).movingH, 0);
  EXPECT_EQ(Ship(0).movingV, 0);
}

TEST_F(PlayersTest, ShipLeavingTheFieldComesBackAtThreeQuartersSpeed) {
  Join();
  Player& ship = Ship(0);
  ship.rect = {100, 612, 132, 644};
  CenterSpritePosition(&ship);
  ship.vx = 2.66672f;
  BouncePlayers();
  EXPECT_FLOAT_EQ(ship.vx, -2.00004f);
  ExpectRect(ship.rect, 100, 608, 132, 640);
  EXPECT_FLOAT_EQ(ship.x, 624);
}

TEST_F(PlayersTest, TiltFollowsTheTruncatedSpeedOneFrameAStep) {
  Join();
  const struct {
    float vx;
    SInt8 target;
  } cases[] = {{0.9f, 2}, {-0.9f, 2}, {1.5f, 3}, {2.0f, 4}, {8.9f, 4}, {-1.2f, 1}, {-2.0f, 0}, {-8.5f, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.vx);
    Player& ship = Ship(0);
    ship.frame = 2;
    ship.targetFrame = 2;
    ship.rect = {100, 300, 132, 332};
    ship.vx = c.vx;
    BouncePlayers();
    EXPECT_EQ(ship.targetFrame, c.target);
    EXPECT_EQ(ship.frame, c.target == 2 ? 2 : (c.target > 2 ? 3 : 1));
  }
  Ship(0).targetFrame = 4;
  Ship(0).vx = 9.5f;  // outside the table: the target stays
  BouncePlayers();
  EXPECT_EQ(Ship(0).targetFrame, 4);
}

TEST_F(PlayersTest, OnePressOneShotFromTheLeftGun) {
  Join();
  Step({kKeyFire});
  ASSERT_EQ(ShotsInUse(0), 1);
  Shot& shot = PlayerShot(0, 0);
  ExpectRect(shot.oldRect, 352, 146, 376, 154);
  EXPECT_FLOAT_EQ(shot.vy, -4.00008f);
  EXPECT_EQ(shot.piercing, 0);
  EXPECT_EQ(shot.direction, 0);
  EXPECT_EQ(Ship(0).muzzleFlash, 1);
  EXPECT_EQ(Ship(0).gunSide[0], 0);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].sound, &Sounds().shot0);
  EXPECT_EQ(sounds[0].point.v, 384);
  EXPECT_EQ(sounds[0].point.h, 160);
  EXPECT_FLOAT_EQ(sounds[0].volume, 1.0f);
  EXPECT_FLOAT_EQ(sounds[0].pitch, 1.0f);

  // Held, the key fires nothing more; the shot leaves on its 94th step.
  int freedOn = 0;
  for (int step = 2; step <= 120 && !freedOn; ++step) {
    Step(step <= 31 ? std::initializer_list<int>{kKeyFire} : std::initializer_list<int>{});
    if (step <= 31) {
      EXPECT_LE(ShotsInUse(0), 1);
    }
    if (!shot.active) freedOn = step;
  }
  EXPECT_EQ(freedOn, 94);
  EXPECT_EQ(sounds.size(), 1u);
}

TEST_F(PlayersTest, DoubledVolleyFiresTwoPiercingShotsAndRecoils) {
  Join();
  Ship(0).doublesBar.target = 1;
  PlayerKeyFlags[0][kKeyFire] = 1;
  DoPlayers();
  ASSERT_EQ(ShotsInUse(0), 2);
  ExpectRect(PlayerShot(0, 0).oldRect, 352, 146, 376, 154);
  ExpectRect(PlayerShot(0, 1).oldRect, 352, 166, 376, 174);
  EXPECT_EQ(PlayerShot(0, 0).piercing, 1);
  EXPECT_EQ(PlayerShot(0, 1).piercing, 1);
  EXPECT_EQ(PlayerShot(0, 1).flashFlag, 1);
  EXPECT_EQ(Ship(0).flashFlag, 1);
  EXPECT_FLOAT_EQ(Ship(0).flashColour[0], 1.5f);
  EXPECT_FLOAT_EQ(Ship(0).vy, 1.33336f);
  EXPECT_EQ(Ship(0).doublesBar.target, 0);
  EXPECT_EQ(Ship(0).muzzleFlash, 2);
  EXPECT_EQ(Ship(0).gunSide[0], 1);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].sound, &Sounds().shot2);
}

TEST_F(PlayersTest, DoubledPressWithNoFreeShotPlacesNothingYetSpendsTheDouble) {
  Join();
  for (int i = 0; i < kShotsPerPlayer; ++i) {
    PlayerShot(0, i).active = 1;
    PlayerShot(0, i).rect = {10, 10, 34, 18};
  }
  Ship(0).doublesBar.target = 1;
  FirePlayerShot(0);
  EXPECT_EQ(Ship(0).doublesBar.target, 0);
  EXPECT_TRUE(sounds.empty());
  EXPECT_EQ(Ship(0).muzzleFlash, 0);
  EXPECT_EQ(Ship(0).vy, 0.0f);
  EXPECT_EQ(Ship(0).gunSide[0], 1);  // set even with no shot to place
}

TEST_F(PlayersTest, ExplodingShipGrowsItsBlastAndBurnsOutOnThe54thTick) {
  Join(0);
  Join(1);
  GameFlags.waveBudget = 25;
  AddShield(0, -12);
  ASSERT_EQ(Ship(0).state, PlayerExploding);
  FloatRect before = Ship(0).explosionRect;
  DoPlayers();
  EXPECT_FLOAT_EQ(Ship(0).explosionRect.left, before.left - 2.66672f);
  EXPECT_FLOAT_EQ(Ship(0).explosionRect.bottom, before.bottom + 1.33336f);

  int tick = 0;
  while (Ship(0).active && tick < 100) {
    AnimatePlayers();
    ++tick;
    if (tick == 10) {
      EXPECT_FLOAT_EQ(Ship(0).scale, 1.0f);
    }
  }
  EXPECT_EQ(tick, 54);
  EXPECT_EQ(Ship(0).state, PlayerExploding);
  EXPECT_EQ(GameFlags.waveBudget, 12);  // halved with both ships in play
}

TEST_F(PlayersTest, BossIsPushedBackInsideWithItsSpeedHalvedAndTurned) {
  Boss& boss = *gBoss;
  boss.active = 1;
  boss.rect = {-5, 620, 59, 684};
  CenterSpritePosition(&boss);
  boss.vx = 2.0f;
  boss.vy = -1.0f;
  boss.targetVX = 1.5f;
  boss.targetVY = -0.5f;
  BounceBoss();
  ExpectRect(boss.rect, 0, 576, 64, 640);
  EXPECT_FLOAT_EQ(boss.vx, -1.0f);
  EXPECT_FLOAT_EQ(boss.targetVX, -1.5f);
  EXPECT_FLOAT_EQ(boss.vy, 0.5f);
  EXPECT_FLOAT_EQ(boss.targetVY, 0.5f);
  EXPECT_FLOAT_EQ(boss.x, 608);

  boss.dying = 1;
  boss.rect = {-5, 620, 59, 684};
  BounceBoss();
  EXPECT_EQ(boss.rect.left, 620);
}

}  // namespace
