#include "Enemies.h"

#include "Effects.h"
#include "EnemyShots.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Geometry.h"
#include "MainLoop.h"
#include "PickUps.h"
#include "Random.h"
#include "SpriteMotion.h"

namespace {

constexpr float kSpeedUnit = 0.33334f;
constexpr float kMaxEnemySpeed = 1.33336f;
constexpr SInt16 kHotSide = 32;
constexpr SInt16 kShieldedHotSide = 40;

bool Tick() { return AnimationPhase == 0; }

SInt16 EnemySize() { return GameFlags.objectSizes[kSizeEnemy]; }

Rect SquareOn(SInt16 h, SInt16 v, SInt16 side) {
  SInt16 left = static_cast<SInt16>(h - side / 2);
  SInt16 top = static_cast<SInt16>(v - side / 2);
  return Rect{top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
}

Rect SquareOn(const Rect& r, SInt16 side) { return SquareOn(RectCentreH(r), RectCentreV(r), side); }

void PlayAt(ALSound& sound, const Rect& at, float pitch = 1.0f) {
  PlayGameSound(&sound, GetGameSource(), &at, 1.0f, pitch, 0);
}

void LeavePlay(Enemy& enemy) {
  enemy.active = 0;
  if (GameFlags.launchedEnemies != 0) --GameFlags.launchedEnemies;
}

float Clamp(float v, float limit) { return v < -limit ? -limit : (v > limit ? limit : v); }

// The position moves by the clamped velocity; the stored one stays as it is.
void MoveClamped(Enemy& enemy) {
  float vx = enemy.vx;
  float vy = enemy.vy;
  enemy.vx = Clamp(vx, kMaxEnemySpeed);
  enemy.vy = Clamp(vy, kMaxEnemySpeed);
  MoveSprite(&enemy);
  enemy.vx = vx;
  enemy.vy = vy;
}

void RaiseShield(Enemy& enemy) {
  PlayAt(gSounds->shield, enemy.rect);
  enemy.frame = 0;
  enemy.state = EnemyShielded;
  enemy.shieldTimer = static_cast<SInt8>((NextRandom() % 3) * 10 + 10);
  InsetRectBy(&enemy.rect, -4, -4);
}

void Spin(Enemy& enemy) {
  SInt32 angle = static_cast<SInt32>(static_cast<float>(enemy.angle) + enemy.spinRate * kSpeedUnit);
  while (angle < 0) angle += 360;
  while (angle >= 360) angle -= 360;
  enemy.angle = static_cast<SInt16>(angle);
}

bool SpotTaken(const Rect& hot) {
  for (int i = kEnemyCount - 1; i >= 0; --i)
    if (gEnemies[i].active && GameRectsOverlap(hot, gEnemies[i].hotRect)) return true;
  for (int i = kZadadoCount - 1; i >= 0; --i)
    if (gZadados[i].active && GameRectsOverlap(hot, gZadados[i].hotRect)) return true;
  return false;
}

SInt8 FrameFor(float vx) {
  if (vx < -1.0f) return 0;
  if (vx < 0.0f) return 1;
  if (vx == 0.0f) return 2;
  if (vx <= 1.0f) return 3;
  return 4;
}

void StepToward(float& value, float target, float step) {
  if (value < target)
    value = target - value <= step ? target : value + step;
  else if (value > target)
    value = value - target <= step ? target : value - step;
}

void AdjustFlying(Enemy& enemy) {
  StepToward(enemy.vx, enemy.targetVX, kSpeedUnit);
  if (enemy.vx == enemy.targetVX && Tick()) {
    UInt32 v = GameFlags.adjustValue;
    if (ChanceOneIn(2 * v)) enemy.targetVX = 0;
    if (ChanceOneIn(v)) enemy.targetVX = RandomSignedDrift();
  }
  enemy.targetFrame = FrameFor(enemy.vx);
  if (enemy.frame < enemy.targetFrame)
    ++enemy.frame;
  else if (enemy.frame > enemy.targetFrame)
    --enemy.frame;
}

void AnimateBursting(Enemy& enemy) {
  if (enemy.frame < 7) {
    ++enemy.frame;
    return;
  }
  if (enemy.burstCount == 0) {
    LeavePlay(enemy);
    return;
  }
  bool boss = gBoss->active != 0;
  if (enemy.burstCount == 1) {
    PlayAt(gSounds->boom0, enemy.rect, boss ? 0.75f : 1.0f);
    SInt16 h = RectCentreH(enemy.rect);
    SInt16 v = RectCentreV(enemy.rect);
    DoSparks(32, 16, GameColours[kColourOrange], h, v);
    enemy.frame = 0;
    if (ChanceOneIn(3)) {
      FireBolt(h, v, 2);
    } else {
      for (int i = 0; i < 8; ++i) FireBolt(h, v, 1);
    }
  } else {
    PlayAt(gSounds->flip, enemy.rect, boss ? 0.25f : 1.0f);
    enemy.frame = static_cast<SInt8>(enemy.frame - 3);
  }
  --enemy.burstCount;
}

void AnimateShielded(Enemy& enemy) {
  switch (enemy.frame) {
    case 0:
      enemy.frame = 1;
      break;
    case 1:
      enemy.frame = 2;
      break;
    case 2:
      if (enemy.shieldTimer != 0) --enemy.shieldTimer;
      enemy.frame = enemy.shieldTimer == 0 ? 3 : 1;
      break;
    default:
      enemy.targetFrame = 2;
      enemy.frame = 2;
      enemy.state = EnemyFlying;
      InsetRectBy(&enemy.rect, 4, 4);
      break;
  }
}

// Knocked aside by a hit off its centre: side 0 to the right, 1 to the left.
void StartSpin(SInt8 index, UInt8 side, float spin, UInt8 dropWing) {
  Enemy& enemy = gEnemies[index];
  PlayAt(gSounds->spin, enemy.rect);
  enemy.state = EnemySpinning;
  enemy.frame = 1;
  float vx = RandomDrift();
  enemy.vx = side == 0 ? vx : -vx;
  enemy.spinSide = side;
  enemy.angle = 0;
  enemy.spinRate = side == 0 ? spin : -spin;
  SInt16 h = static_cast<SInt16>(RectCentreH(enemy.rect) + (side == 0 ? -8 : 8));
  SInt16 v = static_cast<SInt16>(RectCentreV(enemy.rect) - 4);
  DoExplosion(2, h, v, 0.0f, -2.0f, 1);
  if (dropWing) {
    DoWing(index, h, v);
    SeparateWing(index);
  }
}

void Burst(SInt8 index, UInt8 byPlayerShot, UInt32 podChance) {
  Enemy& enemy = gEnemies[index];
  enemy.frame = 0;
  enemy.state = EnemyBursting;
  SInt16 h = RectCentreH(enemy.rect);
  SInt16 v = RectCentreV(enemy.rect);
  DoSparks(32, 16, GameColours[kColourOrange], h, v);
  if (byPlayerShot == 1 && ChanceOneIn(podChance))
    DoPod(index, h, v);
  else if (ChanceOneIn(5))
    enemy.burstCount = 5;
  InsetRectBy(&enemy.rect, -4, -4);
}

template <typename Pool>
void TakeOutOfUse(Pool& pool) {
  for (auto& object : pool) object.active = 0;
}

}  // namespace

bool ChanceOneIn(UInt32 n) { return n == 0 || NextRandom() % n == 0; }

float RandomDrift() { return static_cast<float>((NextRandom() & 3) + 1) * kSpeedUnit; }

float RandomSignedDrift() {
  float drift = RandomDrift();
  return ChanceOneIn(2) ? -drift : drift;
}

UInt32 EnemyPodChance() {
  UInt32 v = GameFlags.pickUpValue;
  if (gPlayers[0].active && gPlayers[1].active) v /= 2;
  return v < 2 ? 2 : v;
}

void DoEnemy() {
  int slot = -1;
  for (int i = 0; i < kEnemyCount && slot < 0; ++i)
    if (!gEnemies[i].active && !gWings[i].active && !gPods[i].active) slot = i;
  if (slot < 0) return;

  const Rect& field = gPlayFieldRect;
  SInt16 s = EnemySize();
  SInt32 width = field.right - field.left;
  // Counted from 0, not from the field's left.
  SInt32 left = width <= kHotSide ? 16 - s / 2
                                  : static_cast<SInt32>(NextRandom() % static_cast<UInt32>(width - kHotSide)) - s / 2 + 16;
  SInt32 top = field.top - s / 2 - 16;
  Rect rect = {static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(top + s),
               static_cast<SInt16>(left + s)};
  Rect hot = SquareOn(rect, kHotSide);
  // A spot already taken waits for another step; no counter changes.
  if (SpotTaken(hot)) return;

  Enemy& enemy = gEnemies[slot];
  enemy.rect = rect;
  enemy.hotRect = hot;
  CenterSpritePosition(&enemy);
  PlayGameSound(&gSounds->engine, GetIdleSource(), &enemy.rect, 1.0f, 1.0f, 0);
  enemy.active = 1;
  enemy.oldRect = rect;
  enemy.vx = enemy.targetVX = 0;
  enemy.vy = enemy.targetVY = RandomDrift();
  enemy.frame = enemy.targetFrame = 2;
  enemy.burstCount = 0;
  enemy.state = EnemyFlying;
  ++GameFlags.launchedEnemies;
  if (GameFlags.waveBudget != 0) --GameFlags.waveBudget;
}

void MoveEnemies() {
  if (!GameFlags.respawnDone) return;
  bool joined = GameFlags.joined[0] || GameFlags.joined[1];
  if (joined && GameFlags.waveBudget != 0 && GameFlags.launchedEnemies < GameFlags.enemyCount[0]) DoEnemy();

  for (int i = kEnemyCount - 1; i >= 0; --i) {
    Enemy& enemy = gEnemies[i];
    if (!enemy.active) continue;
    // Enemies never stop falling.
    if (enemy.vy < kSpeedUnit) enemy.vy = kSpeedUnit;
    MoveClamped(enemy);
    enemy.hotRect = SquareOn(enemy.rect, enemy.state == EnemyShielded ? kShieldedHotSide : kHotSide);
    if (!GameRectsOverlap(enemy.rect, gPlayFieldRect)) LeavePlay(enemy);

    if (Tick()) {
      bool armed = enemy.state == EnemyFlying && enemy.active;
      if (ChanceOneIn(GameFlags.enemyValueB) && armed)
        FireEnemyLaser(static_cast<SInt8>(i));
      else if (ChanceOneIn(GameFlags.enemyValueA) && enemy.vx == 0.0f && armed)
        RaiseShield(enemy);
    }
    if (enemy.state == EnemySpinning) Spin(enemy);
  }
}

void AdjustEnemies() {
  for (int i = kEnemyCount - 1; i >= 0; --i) {
    Enemy& enemy = gEnemies[i];
    if (!enemy.active) continue;
    if (enemy.state == EnemyFlying) {
      AdjustFlying(enemy);
    } else if (enemy.state == EnemyShielded) {
      // The drift dies away under the shield.
      if (enemy.vx < 0.0f) enemy.vx += kSpeedUnit;
      if (enemy.vx > 0.0f) enemy.vx -= kSpeedUnit;
    }
  }
}

void AnimateEnemies() {
  for (int i = kEnemyCount - 1; i >= 0; --i) {
    Enemy& enemy = gEnemies[i];
    if (!enemy.active) continue;
    switch (enemy.state) {
      case EnemyFlying:
        enemy.flameFlicker ^= 1;
        break;
      case EnemyBursting:
        AnimateBursting(enemy);
        break;
      case EnemySpinning:
        enemy.frame = static_cast<SInt8>(enemy.frame >= 3 ? 0 : enemy.frame + 1);
        break;
      case EnemyShielded:
        AnimateShielded(enemy);
        break;
      default:
        break;
    }
  }
}

void BlastEnemy(SInt8 index, Rect* hitRect, UInt8 byPlayerShot, UInt8 dropWing) {
  Enemy& enemy = gEnemies[index];
  UInt32 podChance = EnemyPodChance();
  SInt8 d = static_cast<SInt8>(RectCentreH(*hitRect) - RectCentreH(enemy.rect));
  float spin = static_cast<float>(NextRandom() % 15 + 5);

  switch (enemy.state) {
    case EnemySpinning:
      PlayAt(gSounds->boom0, enemy.rect);
      Burst(index, byPlayerShot, podChance);
      break;
    case EnemyShielded:
      PlayAt(gSounds->bounce, enemy.rect);
      enemy.frame = 0;
      break;
    case EnemyFlying:
      PlayAt(gSounds->boom0, enemy.rect);
      if (d < -15)
        StartSpin(index, 0, spin, dropWing);
      else if (d > 15)
        StartSpin(index, 1, spin, dropWing);
      else
        Burst(index, byPlayerShot, podChance);
      break;
    default:
      break;
  }
}

void SeparateWing(SInt8 index) {
  Object& wing = gWings[index];
  Enemy& enemy = gEnemies[index];
  wing.hotRect = SquareOn(wing.rect, 24);
  enemy.hotRect = SquareOn(enemy.rect, kHotSide);
  SeparateRects(&wing.hotRect, &enemy.hotRect, 1);
  wing.rect = SquareOn(wing.hotRect, GameFlags.objectSizes[kSizeWing]);
  enemy.rect = SquareOn(enemy.hotRect, EnemySize());
  CenterSpritePosition(&wing);
  CenterSpritePosition(&enemy);
}

void ClearEnemies() {
  for (int i = 0; i < kEnemyCount; ++i) gEnemies[i].active = 0;
  for (int i = 0; i < kObjectCount; ++i) {
    gWings[i].active = 0;
    gPods[i].active = 0;
  }
  TakeOutOfUse(*gExplosions);
  TakeOutOfUse(*gEnemyShots);
}
