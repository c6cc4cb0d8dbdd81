#include "EnemyShots.h"

#include <cstdlib>

#include "Collisions.h"
#include "Effects.h"
#include "Enemies.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Geometry.h"
#include "MainLoop.h"
#include "Random.h"
#include "Scoring.h"
#include "SpriteMotion.h"
#include "Zadados.h"

namespace {

constexpr float kLaserSpeed = 4.00008f;
constexpr float kKnockBack = 2.6667f;

void PlayAt(ALSound& sound, const Rect& at) { PlayGameSound(&sound, GetGameSource(), &at, 1.0f, 1.0f, 0); }

void SetHighlight(KVSprite& sprite) {
  for (int i = 0; i < 4; ++i) sprite.flashColour[i] = FlashColour[i];
}

const GameColor& ShotColour(const Shot& shot) {
  return shot.isBolt ? GameColours[shot.boltKind <= 2 ? shot.boltKind : 0] : GameColours[kColourLime];
}

// A laser hits with its leading 12 rows, a bolt with its rect less 4.
void RebuildHotRect(Shot& shot) {
  shot.hotRect = shot.rect;
  if (shot.isBolt) {
    InsetRectBy(&shot.hotRect, 4, 4);
  } else if (shot.direction == 1) {
    shot.hotRect.top = static_cast<SInt16>(shot.rect.bottom - 12);
  } else {
    shot.hotRect.bottom = static_cast<SInt16>(shot.rect.top + 12);
  }
}

// One course step of a kind-2 bolt on one axis; the step may pass the target.
void SteerAxis(float& speed, float& target) {
  if (speed < target)
    speed += 1.0f;
  else if (speed > target)
    speed -= 1.0f;
  else if (ChanceOneIn(5))
    target = RandomSignedDrift();
}

void SteerBolt(Shot& shot) {
  if (shot.flashFlag != 0) {
    --shot.flashFlag;
    return;
  }
  SteerAxis(shot.vx, shot.targetVX);
  SteerAxis(shot.vy, shot.targetVY);
  shot.flashFlag = 2;
  SetHighlight(shot);
}

void HitMeteors(Shot& shot) {
  for (int i = 0; i < kZadadoCount && shot.active; ++i) {
    Zadado& z = gZadados[i];
    if (!z.active || z.destroyed || !GameRectsOverlap(z.hotRect, shot.hotRect)) continue;
    shot.active = 0;
    BlastZadado(static_cast<SInt8>(i), &shot.rect, static_cast<UInt8>(shot.boltKind + shot.isBolt + 2), 0);
  }
}

void KnockBack(Player& ship, const Rect& hot) {
  if (RectsCollide(&ship.rect, &hot) == 0) {
    bool left = std::abs(ship.rect.right - hot.left) <= std::abs(ship.rect.left - hot.right);
    ship.vx = left ? -kKnockBack : kKnockBack;
  } else {
    bool above = std::abs(ship.rect.bottom - hot.top) <= std::abs(ship.rect.top - hot.bottom);
    ship.vy = above ? -kKnockBack : kKnockBack;
  }
}

void HitPlayers(Shot& shot) {
  for (int p = kPlayerCount - 1; p >= 0 && shot.active; --p) {
    Player& ship = gPlayers[p];
    if (!ship.active || ship.state != PlayerFlying || ship.countdown != 0) continue;
    if (!GameRectsOverlap(ship.rect, shot.hotRect)) continue;
    PlayAt(gSounds->tap, shot.hotRect);
    shot.active = 0;
    KnockBack(ship, shot.hotRect);

    SInt8 player = static_cast<SInt8>(p);
    SInt16 h = RectCentreH(shot.rect);
    SInt16 v = RectCentreV(shot.rect);
    const GameColor& colour = ShotColour(shot);
    if (!shot.isBolt) {
      AddShield(player, -1);
      DoSparks(16, 8, colour, h, v);
    } else {
      DoSparks(16, 8, colour, h, v);
      if (shot.boltKind == 2) {
        PlayAt(gSounds->boom0, shot.rect);
        DoExplosion(2, h, v, shot.vx, shot.vy, 0);
        AddShield(player, -3);
      } else {
        AddShield(player, -2);
      }
    }
    DoFlash(h, v, colour, 2.0f, 0.25f);
    SetHighlight(ship);
    ship.flashFlag = 1;
  }
}

// A shield sends a laser back the way it came, pushed clear of the shield.
void Reflect(Shot& shot, const Enemy& enemy) {
  shot.vy = -shot.vy;
  shot.direction ^= 1;
  if (shot.direction == 0) {
    while (enemy.hotRect.top <= shot.rect.bottom) OffsetSprite(&shot, 0, -1);
  } else {
    while (shot.rect.top <= enemy.hotRect.bottom) OffsetSprite(&shot, 0, 1);
  }
  DoSparks(16, 8, GameColours[kColourLime], RectCentreH(shot.rect), RectCentreV(shot.rect));
}

void HitEnemies(Shot& shot) {
  for (int i = kEnemyCount - 1; i >= 0 && shot.active; --i) {
    Enemy& enemy = gEnemies[i];
    if (!enemy.active || enemy.state == EnemyBursting || !GameRectsOverlap(enemy.hotRect, shot.hotRect)) continue;
    if (enemy.state == EnemyShielded && !shot.isBolt) {
      Reflect(shot, enemy);
    } else {
      if (enemy.state == EnemyShielded)
        DoSparks(16, 8, ShotColour(shot), RectCentreH(shot.rect), RectCentreV(shot.rect));
      shot.active = 0;
    }
    BlastEnemy(static_cast<SInt8>(i), &shot.rect, 0, 1);
  }
}

void HitWings(Shot& shot) {
  for (int i = kObjectCount - 1; i >= 0 && shot.active; --i) {
    Object& wing = gWings[i];
    if (!wing.active || wing.destroyed || !GameRectsOverlap(wing.hotRect, shot.hotRect)) continue;
    shot.active = 0;
    BlastWing(static_cast<SInt8>(i));
  }
}

}  // namespace

void FireEnemyLaser(SInt8 index) {
  Shot& shot = (*gEnemyShots)[index];
  if (shot.active) return;
  Enemy& enemy = gEnemies[index];

  shot.colour = {1.0f, 1.0f, 1.0f};
  for (float& c : shot.flashColour) c = 1.0f;
  shot.scale = 1.0f;
  shot.brightness = 1.0f;
  shot.flashFlag = 0;
  shot.x = shot.y = 0;
  shot.vx = shot.vy = shot.targetVX = shot.targetVY = 0;

  SInt16 h = RectCentreH(enemy.rect);
  SInt16 bottom = enemy.rect.bottom;
  DoFlash(h, bottom, GameColours[kColourLime], 1.0f, 0.25f);
  PlayAt(gSounds->shot1, enemy.rect);

  shot.rect = {static_cast<SInt16>(bottom - 8), static_cast<SInt16>(h - 8), static_cast<SInt16>(bottom + 16),
               static_cast<SInt16>(h + 8)};
  shot.frame = 0;
  CenterSpritePosition(&shot);
  shot.oldRect = shot.rect;
  shot.vy = kLaserSpeed;
  shot.direction = 1;
  shot.active = 1;
  shot.isBolt = 0;
  shot.boltKind = 0;
  // Set now so that nothing tests a previous shot's hot rect before the move.
  RebuildHotRect(shot);
  enemy.firingFlash = 1;
}

UInt8 FireBolt(SInt16 x, SInt16 y, UInt8 kind) {
  Shot* free = nullptr;
  for (Shot& shot : *gEnemyShots) {
    if (!shot.active) {
      free = &shot;
      break;
    }
  }
  if (!free) return 0;
  Shot& shot = *free;

  shot.rect = {static_cast<SInt16>(y - 12), static_cast<SInt16>(x - 12), static_cast<SInt16>(y + 12),
               static_cast<SInt16>(x + 12)};
  shot.x = x;
  shot.y = y;
  if (kind == 0)
    PlayAt(gSounds->shot1, shot.rect);
  else
    shot.frame = static_cast<SInt8>(NextRandom() % 5);
  shot.oldRect = shot.rect;
  shot.vx = RandomSignedDrift();
  // Kind 0, from the boss's guns, always falls.
  shot.vy = kind == 0 ? RandomDrift() : RandomSignedDrift();
  shot.direction = 1;
  shot.active = 1;
  shot.isBolt = 1;
  shot.boltKind = kind;
  if (kind == 0) shot.frame = 0;
  if (kind == 2) {
    InsetRectBy(&shot.rect, -4, -4);
    shot.flashFlag = 2;
    shot.targetVX = shot.vx;
    shot.targetVY = shot.vy;
  }
  RebuildHotRect(shot);
  return 1;
}

void MoveEnemyShots() {
  for (Shot& shot : *gEnemyShots) {
    if (!shot.active) continue;
    MoveSprite(&shot);
    if (!GameRectsOverlap(shot.rect, gPlayFieldRect)) shot.active = 0;
    RebuildHotRect(shot);
    if (shot.isBolt && shot.boltKind == 2 && AnimationPhase == 0) SteerBolt(shot);
    HitMeteors(shot);
    HitPlayers(shot);
    HitEnemies(shot);
    HitWings(shot);
  }
}
