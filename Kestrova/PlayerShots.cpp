#include "PlayerShots.h"

#include "Effects.h"
#include "Enemies.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Geometry.h"
#include "Scoring.h"
#include "SpriteMotion.h"
#include "Zadados.h"

namespace {

void Flash(KVSprite& sprite) {
  for (int i = 0; i < 4; ++i) sprite.flashColour[i] = FlashColour[i];
  sprite.flashFlag = 1;
}

// Sparks and a glow where the shot struck without harm.
void Glance(const Rect& at, const GameColor& colour, float glowScale) {
  SInt16 h = RectCentreH(at);
  SInt16 v = RectCentreV(at);
  DoSparks(16, 8, colour, h, v);
  DoFlash(h, v, colour, glowScale, 0.25f);
}

void UseUpUnlessPiercing(Shot& shot) {
  if (!shot.piercing) shot.active = 0;
}

void HitMeteors(Shot& shot, SInt8 player) {
  for (int i = kZadadoCount - 1; i >= 0 && shot.active; --i) {
    Zadado& z = gZadados[i];
    if (!z.active || z.destroyed || !GameRectsOverlap(shot.hotRect, z.hotRect)) continue;
    UseUpUnlessPiercing(shot);
    BlastZadado(static_cast<SInt8>(i), &shot.hotRect, static_cast<UInt8>(player), shot.piercing);
    if (z.hits == 255 && !gBoss->active) AddScore(player, static_cast<SInt16>((3 - z.size) * 500));
  }
}

// A normal shot bounces off a shield and is pushed clear of it.
void Bounce(Shot& shot, const Enemy& enemy, const GameColor& colour) {
  shot.vy = -shot.vy;
  shot.direction ^= 1;
  if (shot.vy <= 0) {
    while (enemy.hotRect.top <= shot.rect.bottom) OffsetSprite(&shot, 0, -1);
  } else {
    while (shot.rect.top <= enemy.hotRect.bottom) OffsetSprite(&shot, 0, 1);
  }
  Glance(shot.hotRect, colour, 1.0f);
}

void HitEnemies(Shot& shot, SInt8 player, const GameColor& colour) {
  for (int i = kEnemyCount - 1; i >= 0 && shot.active; --i) {
    Enemy& enemy = gEnemies[i];
    if (!enemy.active || enemy.state == EnemyBursting || !GameRectsOverlap(shot.hotRect, enemy.hotRect)) continue;
    if (enemy.state == EnemyShielded && shot.piercing) {
      enemy.targetFrame = 2;
      enemy.frame = 2;
      enemy.state = EnemyFlying;
      InsetRectBy(&enemy.rect, 4, 4);
    }
    if (enemy.state == EnemyShielded)
      Bounce(shot, enemy, colour);
    else
      UseUpUnlessPiercing(shot);
    if (enemy.state == EnemyFlying || enemy.state == EnemyShielded)
      AddScore(player, 150);
    else if (enemy.state == EnemySpinning)
      AddScore(player, 250);
    BlastEnemy(static_cast<SInt8>(i), &shot.hotRect, 1, 1);
  }
}

void HitWings(Shot& shot, SInt8 player) {
  for (int i = kObjectCount - 1; i >= 0 && shot.active; --i) {
    Object& wing = gWings[i];
    if (!wing.active || wing.destroyed || !GameRectsOverlap(shot.hotRect, wing.hotRect)) continue;
    UseUpUnlessPiercing(shot);
    BlastWing(static_cast<SInt8>(i));
    AddScore(player, 350);
  }
}

// Only a shot coming down after a bounce, and only on its own ship.
void HitOwnShip(Shot& shot, SInt8 player, const GameColor& colour) {
  Player& ship = gPlayers[player];
  if (!shot.active || shot.vy <= 0 || !ship.active || ship.state == PlayerExploding || ship.countdown != 0) return;
  if (!GameRectsOverlap(shot.hotRect, ship.rect)) return;
  UseUpUnlessPiercing(shot);
  PlayGameSound(&gSounds->tap, GetGameSource(), &shot.hotRect, 1.0f, 1.0f, 0);
  Glance(shot.hotRect, colour, 1.0f);
  Flash(ship);
  ship.vy = 2.66672f;
  AddShield(player, -1);
}

void HitEnemyShots(Shot& shot) {
  if (!shot.active || !shot.piercing) return;
  for (Shot& enemyShot : *gEnemyShots) {
    if (!enemyShot.active || !GameRectsOverlap(shot.hotRect, enemyShot.hotRect)) continue;
    PlayGameSound(&gSounds->bounce, GetGameSource(), &enemyShot.rect, 1.0f, 1.0f, 0);
    enemyShot.active = 0;
    const GameColor* colour = nullptr;
    if (!enemyShot.isBolt)
      colour = &GameColours[kColourLime];
    else if (enemyShot.boltKind <= 2)
      colour = &GameColours[enemyShot.boltKind];
    if (colour) DoSparks(16, 8, *colour, RectCentreH(enemyShot.rect), RectCentreV(enemyShot.rect));
  }
}

// The boss stops every shot; only one within 12 pixels of its centre line hurts.
void HitBoss(Shot& shot, SInt8 player, const GameColor& colour) {
  Boss& boss = *gBoss;
  if (!shot.active || !boss.active || boss.dying || boss.healthBar.target <= 0) return;
  if (!GameRectsOverlap(shot.hotRect, boss.hotRect)) return;
  shot.active = 0;
  SInt32 d = RectCentreH(shot.rect) - RectCentreH(boss.hotRect);
  if (d < -12 || d > 12) {
    PlayGameSound(&gSounds->tap, GetGameSource(), &shot.hotRect, 1.0f, 0.25f, 0);
    Glance(shot.hotRect, colour, 2.0f);
    return;
  }
  PlayGameSound(&gSounds->suck, GetGameSource(), &shot.rect, 1.0f, 1.0f, 0);
  Flash(boss);
  SInt8& hitPoints = boss.healthBar.target;
  hitPoints = static_cast<SInt8>(shot.piercing && hitPoints >= 2 ? hitPoints - 2 : hitPoints - 1);
  AddScore(player, boss.kind == Boomerang ? 350 : 250);
}

}  // namespace

void MovePlayerShots() {
  const Rect& field = gPlayFieldRect;
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    SInt8 player = static_cast<SInt8>(p);
    const GameColor& colour = GameFlags.playerColour[p];
    for (Shot& shot : (*gPlayerShots)[p]) {
      if (!shot.active) continue;
      MoveSprite(&shot);
      // The tail's 12 pixels do not hit.
      shot.hotRect = shot.rect;
      if (shot.direction == 0)
        shot.hotRect.bottom = static_cast<SInt16>(shot.hotRect.bottom - 12);
      else
        shot.hotRect.top = static_cast<SInt16>(shot.hotRect.top + 12);
      if (!GameRectsOverlap(shot.rect, field)) {
        shot.active = 0;
        continue;
      }
      HitMeteors(shot, player);
      HitEnemies(shot, player, colour);
      HitWings(shot, player);
      HitOwnShip(shot, player, colour);
      HitEnemyShots(shot);
      HitBoss(shot, player, colour);
    }
  }
}

void BlastWing(SInt8 wing) {
  Object& w = gWings[wing];
  PlayGameSound(&gSounds->boom0, GetGameSource(), &w.rect, 1.0f, 1.0f, 0);
  w.destroyed = 1;
  w.frame = 0;
  InsetRectBy(&w.rect, -4, -4);
  DoSparks(24, 12, GameColours[kColourOrange], RectCentreH(w.rect), RectCentreV(w.rect));
}
