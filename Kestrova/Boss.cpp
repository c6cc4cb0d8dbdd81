#include "Boss.h"

#include "Effects.h"
#include "EnemyShots.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Geometry.h"
#include "Levels.h"
#include "MainLoop.h"
#include "Random.h"
#include "SpriteMotion.h"
#include "Zadados.h"

namespace {

constexpr float kSpeedUnit = 0.33334f;
constexpr float kMaxSpeed = 2.66672f;
constexpr float kLaserSpeed = 4.00008f;
constexpr SInt8 kDeathBlasts = 25;

bool OnTick() { return AnimationPhase == 0; }

// One fresh draw; a divisor of 0 counts as a hit.
bool Chance(UInt32 n) {
  UInt32 r = NextRandom();
  return n == 0 || r % n == 0;
}

float Signed(float value) { return Chance(2) ? -value : value; }

Rect SquareOn(SInt16 h, SInt16 v, SInt16 side) {
  SInt16 left = static_cast<SInt16>(h - side / 2);
  SInt16 top = static_cast<SInt16>(v - side / 2);
  return Rect{top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
}

// The hit points live in the bar's target, an i8.
SInt16 HitPointsFor(UInt16 value) { return static_cast<SInt16>(value > 127 ? 127 : value); }

void RemakeHealthBar(StatusBar* bar, SInt16 n) {
  static const unsigned char kRectName[] = "\x04rect";
  static const unsigned char kGlowName[] = "\x04glow";
  static const unsigned char kOnName[] = "\x02on";
  bar->count = static_cast<UInt32>(n);
  bar->rect.Reinit(bar->count);
  bar->rect.SetName(kRectName, -1);
  bar->glow.Reinit(bar->count);
  bar->glow.SetName(kGlowName, -1);
  bar->on.Reinit(bar->count);
  bar->on.SetName(kOnName, -1);
  bar->shown = 0;
  bar->target = static_cast<SInt8>(n);
  // A row of 8 x 8 segments centred at the top of the field.
  const Rect& field = gPlayFieldRect;
  SInt16 top = static_cast<SInt16>(field.top + 4);
  SInt32 first = RectCentreH(field) - 4 * n;
  for (SInt16 i = 0; i < n; ++i) {
    SInt16 left = static_cast<SInt16>(first + 8 * i);
    bar->rect.data[i] = Rect{top, left, static_cast<SInt16>(top + 8), static_cast<SInt16>(left + 8)};
    bar->glow.data[i] = 0;
    bar->on.data[i] = 0;
  }
}

// Moves a velocity a step toward its target; a remainder below a step jitters.
void Steer(float& v, float target) {
  if (v < target) v += kSpeedUnit;
  if (v > target) v -= kSpeedUnit;
  if (v < -kMaxSpeed) v = -kMaxSpeed;
  if (v > kMaxSpeed) v = kMaxSpeed;
}

// The blast rect grows each step of the death; held short of the 16-bit edge
// since nothing resets it until the next boss.
void GrowBlast(Boss& boss) {
  if (boss.blastRect.right < 32000 && boss.blastRect.bottom < 32000 && boss.blastRect.left > -32000 &&
      boss.blastRect.top > -32000)
    InsetRectBy(&boss.blastRect, -4, -4);
  if (boss.blastLevel < 100) ++boss.blastLevel;
}

// One blast of the death a tick, somewhere on the hull.
void DeathBlast(Boss& boss) {
  float a = static_cast<float>(static_cast<SInt32>(static_cast<float>((NextRandom() & 3) + 1) * kSpeedUnit));
  float b = static_cast<float>(static_cast<SInt32>(static_cast<float>((NextRandom() & 3) + 1) * kSpeedUnit));
  bool boomerang = boss.kind == Boomerang;
  SInt32 dx = static_cast<SInt32>(NextRandom() % (boomerang ? 92u : 36u));
  SInt32 dy = static_cast<SInt32>(NextRandom() % (boomerang ? 52u : 100u));
  if (Chance(2)) dx = -dx;
  if (Chance(2)) dy = -dy;
  if (Chance(2)) a = -a;
  if (Chance(2)) b = -b;
  SInt8 kind = static_cast<SInt8>(NextRandom() % 3);
  SInt16 h = static_cast<SInt16>(RectCentreH(boss.hotRect) + dx);
  SInt16 v = static_cast<SInt16>(RectCentreV(boss.hotRect) + dy);
  if (Rect* placed = DoExplosion(kind, h, v, a, b, 1))
    PlayGameSound(&gSounds->boom1, GetGameSource(), placed, 1.0f, 1.0f, 0);
  --boss.countdown;
}

void BeginDeath(Boss& boss) {
  boss.dying = 1;
  boss.countdown = kDeathBlasts;
  boss.blastLevel = 0;
  GameFlags.bossBeaten = 1;
  ClearSlowMotion();
  StartBossBlast();
}

// The Boomerang's two guns under its wings, only while not moving down.
void FireGuns(Boss& boss, UInt32 weapons) {
  if (!Chance(weapons / 2) || boss.vy > 0) return;
  SInt16 h = Chance(2) ? static_cast<SInt16>(boss.hotRect.left + 60) : static_cast<SInt16>(boss.hotRect.right - 60);
  SInt16 v = static_cast<SInt16>(boss.hotRect.bottom + 20);
  if (FireBolt(h, v, 0)) DoFlash(h, v, GameColours[kColourPink], 2.0f, 0.25f);
}

void DropMine(Boss& boss) {
  float p = static_cast<float>(NextRandom() % 5);
  p = Signed(p);
  float q = -static_cast<float>(NextRandom() % 5);
  SInt16 v = static_cast<SInt16>(boss.hotRect.top - 16);
  SInt16 h;
  if (boss.kind == Boomerang)
    h = Chance(2) ? static_cast<SInt16>(boss.hotRect.left + 60) : static_cast<SInt16>(boss.hotRect.right - 60);
  else
    h = RectCentreH(boss.hotRect);
  LaunchBurstEnemy(h, v, p, q);
}

void FireLaser(Boss& boss) {
  Shot* shot = nullptr;
  for (Shot& s : *gEnemyShots) {
    if (!s.active) {
      shot = &s;
      break;
    }
  }
  if (!shot) return;
  SInt16 cx = RectCentreH(boss.hotRect);
  SInt16 bottom = boss.hotRect.bottom;
  bool boomerang = boss.kind == Boomerang;
  shot->rect = Rect{static_cast<SInt16>(bottom + (boomerang ? 8 : -4)), static_cast<SInt16>(cx - 8),
                    static_cast<SInt16>(bottom + (boomerang ? 32 : 20)), static_cast<SInt16>(cx + 8)};
  DoFlash(RectCentreH(shot->rect), RectCentreV(shot->rect), GameColours[kColourLime], 2.0f, 0.25f);
  PlayGameSound(&gSounds->shot1, GetGameSource(), &shot->rect, 1.0f, 1.0f, 0);
  shot->frame = 0;
  shot->oldRect = shot->rect;
  shot->vx = 0;
  shot->vy = kLaserSpeed;
  shot->direction = 1;
  shot->active = 1;
  shot->isBolt = 0;
  shot->boltKind = 0;
  for (int i = 0; i < 4; ++i) shot->flashColour[i] = FlashColour[i];
  shot->flashFlag = 1;
  CenterSpritePosition(shot);
}

// Course changes, meteors, mines and lasers, once a tick.
void TickWeapons(Boss& boss) {
  const UInt32 course = GameFlags.bossValueA;
  const UInt32 bonus = GameFlags.bossValueB;
  const UInt32 weapons = GameFlags.bossValueC;
  if (Chance(course)) boss.targetVX = Signed(static_cast<float>(bonus + 1 + (NextRandom() & 3)) * kSpeedUnit);
  if (Chance(course / 2)) boss.targetVY = Signed(static_cast<float>(bonus + 1 + (NextRandom() & 3)) * kSpeedUnit);
  if (Chance(weapons) && boss.vy <= 0) LaunchZadado();
  if (Chance(3 * weapons) && boss.vy >= 0) DropMine(boss);
  if (Chance(4 * weapons) && boss.vy >= 0) FireLaser(boss);
}

}  // namespace

void ResetBoss(UInt8 kind) {
  Boss& boss = *gBoss;
  if (kind == Boomerang || kind == Blimp) {
    GLImage* picture = &gImages->boss;
    LoadGameGraphic(picture, kind == Boomerang ? "Boomerang" : "Blimp", 1);
    const Rect& field = gPlayFieldRect;
    SInt16 w = picture->imageWidth;
    SInt16 h = picture->imageHeight;
    SInt16 left = static_cast<SInt16>(RectCentreH(field) - w / 2);
    SInt16 top = static_cast<SInt16>(static_cast<float>(field.bottom - field.top) * 0.4f - static_cast<float>(h / 2));
    boss.rect = Rect{top, left, static_cast<SInt16>(top + h), static_cast<SInt16>(left + w)};
  }
  boss.oldRect = boss.rect;
  boss.vx = boss.vy = 0;
  boss.targetVX = static_cast<float>((NextRandom() & 7) + 1) * kSpeedUnit;
  boss.targetVY = static_cast<float>((NextRandom() & 7) + 1) * kSpeedUnit;
  boss.targetVX = Signed(boss.targetVX);
  boss.targetVY = Signed(boss.targetVY);
  boss.active = 1;
  boss.flashFlag = 0;
  boss.frame = 0;
  boss.kind = kind;
  boss.dying = 0;
  boss.countdown = 1;
  RemakeHealthBar(&boss.healthBar, HitPointsFor(GameFlags.bossValueD));
  CenterSpritePosition(&boss);
}

void MoveBoss() {
  Boss& boss = *gBoss;
  if (boss.dying == 1) GrowBlast(boss);
  if (!GameFlags.respawnDone || !boss.active) return;

  if (boss.dying) {
    if (!OnTick()) return;
    if (boss.countdown == 0)
      boss.active = 0;
    else
      DeathBlast(boss);
    return;
  }
  if (boss.healthBar.target <= 0) {
    BeginDeath(boss);
    return;
  }

  Steer(boss.vx, boss.targetVX);
  Steer(boss.vy, boss.targetVY);
  MoveSprite(&boss);
  boss.hotRect = boss.rect;
  InsetRectBy(&boss.hotRect, 8, 8);
  if (boss.kind == Boomerang) boss.hotRect.bottom = static_cast<SInt16>(boss.hotRect.bottom - 8);

  if (!OnTick()) return;
  if (boss.kind == Boomerang) FireGuns(boss, GameFlags.bossValueC);
  TickWeapons(boss);
}

void LaunchBurstEnemy(SInt16 x, SInt16 y, float vxUnits, float vyUnits) {
  for (int i = 0; i < kEnemyCount; ++i) {
    Enemy& enemy = gEnemies[i];
    if (enemy.active) continue;
    SInt16 size = GameFlags.objectSizes[kSizeEnemy];
    enemy.rect = SquareOn(x, y, static_cast<SInt16>(size + 8));
    enemy.x = x;
    enemy.y = y;
    enemy.active = 1;
    enemy.hotRect = SquareOn(RectCentreH(enemy.rect), RectCentreV(enemy.rect), 32);
    enemy.oldRect = enemy.rect;
    enemy.vx = enemy.targetVX = vxUnits * kSpeedUnit;
    enemy.vy = enemy.targetVY = vyUnits * kSpeedUnit;
    enemy.frame = enemy.targetFrame = 4;
    enemy.burstCount = 5;
    enemy.state = EnemyBursting;
    ++GameFlags.launchedEnemies;
    return;
  }
}

void AnimateBoss() {
  Boss& boss = *gBoss;
  if (!boss.active || boss.dying) return;
  if (boss.countdown != 0) {
    --boss.countdown;
    return;
  }
  boss.frame = static_cast<SInt8>(boss.frame < 3 ? boss.frame + 1 : 0);
  boss.countdown = 1;
}
