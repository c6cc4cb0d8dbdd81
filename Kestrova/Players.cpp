#include "Players.h"

#include "Effects.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Geometry.h"
#include "Levels.h"
#include "MainLoop.h"
#include "Mixer.h"
#include "Scoring.h"
#include "SpriteMotion.h"

namespace {

constexpr float kFullSpeed = 2.66672f;
constexpr float kStickUnit = 0.33334f;
constexpr float kAccelerate = 0.16667f;
constexpr float kCoast = 0.083335f;

Player& Ship(int player) { return gPlayers[player]; }

// Two tests on the same step; the push toward a held direction is not clamped
// at the target, so a held ship hovers just above full speed.
void FollowTarget(float& v, float target) {
  if (target < v) {
    if (target < 0)
      v -= kAccelerate;
    else
      v = v - kCoast > 0 ? v - kCoast : 0;
  }
  if (v < target) {
    if (target > 0)
      v += kAccelerate;
    else
      v = v + kCoast < 0 ? v + kCoast : 0;
  }
}

void SteerAxis(UInt8 negative, UInt8 positive, UInt8& moving, float& target) {
  if (negative != positive) {
    moving = 1;
  } else {
    moving = 0;
    target = 0;
  }
}

void CopyFlashColour(KVSprite& sprite) {
  for (int i = 0; i < 4; ++i) sprite.flashColour[i] = FlashColour[i];
  sprite.flashFlag = 1;
}

SInt8 TiltFor(float vx, SInt8 current) {
  int speed = static_cast<int>(vx);
  if (speed == 0) return 2;
  if (speed == 1) return 3;
  if (speed >= 2 && speed <= 8) return 4;
  if (speed == -1) return 1;
  if (speed >= -8 && speed <= -2) return 0;
  return current;
}

}  // namespace

void MovePlayers() {
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    Player& ship = Ship(p);
    if (!ship.active || ship.state == PlayerExploding) continue;
    ship.movingH = 0;
    ship.movingV = 0;
    if (AnimationPhase == 0 && ship.countdown != 0) --ship.countdown;

    const UInt8* keys = PlayerKeyFlags[p];
    UInt8 left = 0, right = 0, up = 0, down = 0;
    if (keys[kKeyLeft]) {
      left = 1;
      ship.targetVX = -kFullSpeed;
    }
    if (keys[kKeyRight]) {
      right = 1;
      ship.targetVX = kFullSpeed;
    }
    if (keys[kKeyUp]) {
      up = 1;
      ship.targetVY = -kFullSpeed;
    }
    if (keys[kKeyDown]) {
      down = 1;
      ship.targetVY = kFullSpeed;
    }
    SInt16 stickV = PlayerStick[p][0];
    SInt16 stickH = PlayerStick[p][1];
    if (stickH < 0) {
      left = 1;
      ship.targetVX = stickH * kStickUnit;
    } else if (stickH > 0) {
      right = 1;
      ship.targetVX = stickH * kStickUnit;
    }
    if (stickV < 0) {
      up = 1;
      ship.targetVY = stickV * kStickUnit;
    } else if (stickV > 0) {
      down = 1;
      ship.targetVY = stickV * kStickUnit;
    }

    SteerAxis(left, right, ship.movingH, ship.targetVX);
    SteerAxis(up, down, ship.movingV, ship.targetVY);
    FollowTarget(ship.vx, ship.targetVX);
    FollowTarget(ship.vy, ship.targetVY);
  }
}

void AnimatePlayers() {
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    Player& ship = Ship(p);
    if (ship.state == PlayerFlying) {
      ship.flameToggle ^= 1;
      continue;
    }
    ++ship.explosionTicks;
    if (ship.explosionTicks <= 10) continue;
    ship.scale *= 0.9f;
    if (ship.scale > 0.01f) continue;
    if (Ship(0).active && Ship(1).active && !SharedScore) GameFlags.waveBudget /= 2;
    ship.active = 0;  // the state stays exploding
  }
}

void DoPlayers() {
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    Player& ship = Ship(p);
    if (!ship.active) continue;
    if (ship.state == PlayerExploding) {
      ship.explosionRect.left -= kFullSpeed;
      ship.explosionRect.right += kFullSpeed;
      ship.explosionRect.top -= 1.33336f;
      ship.explosionRect.bottom += 1.33336f;
    } else {
      MoveSprite(&ship);
    }
  }
  if (GameFlags.bossBeaten) return;
  // One press, one volley: the latch holds until the key is seen up.
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    if (!PlayerKeyFlags[p][kKeyFire]) {
      GameFlags.fireLatch[p] = 0;
      continue;
    }
    if (GameFlags.fireLatch[p]) continue;
    if (Ship(p).active)
      FirePlayerShot(static_cast<SInt8>(p));
    else
      JoinPlayer(static_cast<SInt8>(p));
    GameFlags.fireLatch[p] = 1;
  }
}

void FirePlayerShot(SInt8 player) {
  Player& ship = Ship(player);
  // The doubled shot is spent even when no shot slot is free.
  bool doubled = ship.doublesBar.target >= 1;
  if (doubled) --ship.doublesBar.target;
  if (ship.state == PlayerExploding) return;

  auto& shots = (*gPlayerShots)[player];
  for (int k = 0; k <= (doubled ? 1 : 0); ++k) {
    Shot* shot = nullptr;
    for (Shot& candidate : shots) {
      if (!candidate.active) {
        shot = &candidate;
        break;
      }
    }
    ship.gunSide[0] = ship.gunSide[1] = static_cast<UInt8>(k);
    if (!shot) continue;
    if (k == 0)
      PlayGameSound(doubled ? &gSounds->shot2 : &gSounds->shot0, GetGameSource(), &ship.rect, 1.0f, 1.0f, 0);
    ship.muzzleFlash = 1;

    Rect& r = shot->rect;
    r.top = static_cast<SInt16>(ship.rect.top - 16);
    r.bottom = static_cast<SInt16>(ship.rect.top + 8);
    if (k == 0) {
      r.left = static_cast<SInt16>(ship.rect.left + 2);
      r.right = static_cast<SInt16>(ship.rect.left + 10);
    } else {
      r.right = static_cast<SInt16>(ship.rect.right - 2);
      r.left = static_cast<SInt16>(ship.rect.right - 10);
    }
    DoFlash(RectCentreH(r), static_cast<SInt16>(RectCentreV(r) + 8), GameFlags.playerColour[player], 1.0f, 0.25f);

    shot->frame = 0;
    CenterSpritePosition(shot);
    shot->oldRect = r;
    shot->vx = 0;
    shot->vy = -4.00008f;
    shot->active = 1;
    shot->flashFlag = 0;
    shot->direction = 0;
    shot->piercing = doubled ? 1 : 0;
    shot->extra = 0;

    if (doubled) {
      CopyFlashColour(ship);
      CopyFlashColour(*shot);
      // The first player's colour for either player, as the game has it.
      DoSparks(8, 8, GameFlags.playerColour[0], RectCentreH(r), RectCentreV(r));
      ship.muzzleFlash = 2;
      ship.vy += 0.66668f;
    }
  }
}

void ResetPlayer(SInt8 player) {
  Player& ship = Ship(player);
  for (float& c : ship.flashColour) c = 1.0f;
  ship.flashFlag = 0;
  ship.scale = ship.brightness = ship.factor = 1.0f;
  ship.x = ship.y = ship.vx = ship.vy = ship.targetVX = ship.targetVY = 0;

  SpriteClass::SetFrameSet(&ship, playerShipFRAME);
  ship.frame = 0;
  ship.DeactivateParts();

  SInt16 centre = RectCentreH(ship.panelRect);
  ship.rect.left = static_cast<SInt16>(centre - 16);
  ship.rect.right = static_cast<SInt16>(centre + 16);
  ship.rect.top = static_cast<SInt16>(gPlayFieldRect.bottom - 80);
  ship.rect.bottom = static_cast<SInt16>(gPlayFieldRect.bottom - 48);
  ship.oldRect = ship.rect;
  ship.SavePosition();

  ship.active = 1;
  ship.state = PlayerFlying;
  ship.vx = ship.vy = 0;
  ship.frame = 2;
  ship.countdown = 50;
  ship.flashFlag = 0;
  ship.muzzleFlash = 0;
  ship.respawn = 0;
  CenterSpritePosition(&ship);
}

void JoinPlayer(SInt8 player) {
  if (GameFlags.joined[player] || GameFlags.waveCleared || GameFlags.gameOver) return;
  ResetPlayer(player);
  GameFlags.joined[player] = 1;
  GameFlags.fireLatch[player] = 1;

  int other = 1 - player;
  Player& otherShip = Ship(other);
  if (!otherShip.active || otherShip.state == PlayerExploding) {
    GameFlags.scoringPlayer = static_cast<UInt8>(player);
    if (SharedScore && GameFlags.joined[other]) {
      GameFlags.score[player] = GameFlags.score[other];
      GameFlags.score[other] = 0;
    }
  }

  Player& ship = Ship(player);
  StopMixerSounds();
  PlayGameSound(&gSounds->power, GetGameSource(), &ship.panelRect, 1.0f, 1.0f, 0);
  AddShield(player, 12);
  if (Ship(0).active && Ship(1).active && !SharedScore) GameFlags.waveBudget = DoubleBudget(GameFlags.waveBudget);

  ship.panelShown = 1;
  ship.panelSliding = 1;
  SInt16 height = static_cast<SInt16>(ship.panelRect.bottom - ship.panelRect.top);
  OffsetRectBy(&ship.panelRect, 0, height);
  ship.panelSlideStep = -8;
  LayoutStatusBars(player);
}

void BouncePlayers() {
  const Rect& field = gPlayFieldRect;
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    Player& ship = Ship(p);
    if (!ship.active || ship.state == PlayerExploding) continue;
    if (ship.rect.left < field.left || ship.rect.right > field.right) ship.vx *= -0.75f;
    if (ship.rect.top < field.top || ship.rect.bottom > field.bottom) ship.vy *= -0.75f;
    KeepSpriteInside(&ship, &field);
    ship.targetFrame = TiltFor(ship.vx, ship.targetFrame);
    if (ship.frame < ship.targetFrame)
      ++ship.frame;
    else if (ship.frame > ship.targetFrame)
      --ship.frame;
  }
}

void BounceBoss() {
  Boss& boss = *gBoss;
  if (!boss.active || boss.dying) return;
  const Rect& field = gPlayFieldRect;
  const Rect& r = boss.rect;
  // Left, right, top, bottom: back inside one pixel at a time, then the
  // crossing speed halves and turns and the target's sign flips.
  auto pushBack = [&boss](auto beyond, SInt16 dh, SInt16 dv, float& v, float& target) {
    if (!beyond()) return;
    while (beyond()) OffsetSprite(&boss, dh, dv);
    v *= -0.5f;
    target = -target;
  };
  pushBack([&] { return r.left < field.left; }, 1, 0, boss.vx, boss.targetVX);
  pushBack([&] { return r.right > field.right; }, -1, 0, boss.vx, boss.targetVX);
  pushBack([&] { return r.top < field.top; }, 0, 1, boss.vy, boss.targetVY);
  pushBack([&] { return r.bottom > field.bottom; }, 0, -1, boss.vy, boss.targetVY);
}
