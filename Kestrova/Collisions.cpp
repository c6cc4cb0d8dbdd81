#include "Collisions.h"

#include <algorithm>
#include <cstdlib>

#include "Effects.h"
#include "Enemies.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Geometry.h"
#include "Random.h"
#include "Scoring.h"
#include "SpriteMotion.h"

namespace {

constexpr float kKnockBack = 2.66672f;
constexpr UInt8 kSideContact = 0;

const GameColor& Amber() { return GameColours[kColourOrange]; }
const GameColor& Magenta() { return GameColours[kColourMagenta]; }

void Sound(ALSound& sound, const Rect& at, float pitch = 1.0f) {
  PlayGameSound(&sound, GetGameSource(), &at, 1.0f, pitch, 0);
}

// "Metal0" or "Metal1" by the low bit of a fresh draw.
void MetalSound(const Rect& at, float pitch = 1.0f) {
  Sound((NextRandom() & 1) ? gSounds->metal1 : gSounds->metal0, at, pitch);
}

void Flash(KVSprite& sprite) {
  for (int i = 0; i < 4; ++i) sprite.flashColour[i] = FlashColour[i];
  sprite.flashFlag = 1;
}

SInt16 NearEdgeH(const Rect& a, const Rect& b) {
  return std::abs(a.right - b.left) < std::abs(a.left - b.right) ? a.right : a.left;
}
SInt16 NearEdgeV(const Rect& a, const Rect& b) {
  return std::abs(a.bottom - b.top) < std::abs(a.top - b.bottom) ? a.bottom : a.top;
}

// Sparks where a meets b: on a's near edge, at its centre across the axis.
void ContactSparks(const GameColor& colour, UInt8 axis, const Rect& a, const Rect& b) {
  if (axis == kSideContact)
    DoSparks(16, 8, colour, NearEdgeH(a, b), RectCentreV(a));
  else
    DoSparks(16, 8, colour, RectCentreH(a), NearEdgeV(a, b));
}

float& Component(KVSprite& sprite, UInt8 axis) { return axis == kSideContact ? sprite.vx : sprite.vy; }

// The first takes the second's speed; the second the first's, truncated.
void SwapVelocity(KVSprite& first, KVSprite& second, UInt8 axis) {
  float old = Component(first, axis);
  Component(first, axis) = Component(second, axis);
  Component(second, axis) = static_cast<float>(static_cast<SInt32>(old));
}

void Resquare(KVSprite& sprite, SInt16 side) {
  SInt16 left = static_cast<SInt16>(RectCentreH(sprite.hotRect) - side / 2);
  SInt16 top = static_cast<SInt16>(RectCentreV(sprite.hotRect) - side / 2);
  sprite.rect = Rect{top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
}

// Throws the ship back off o; true when it went toward negative.
bool KnockBack(Player& ship, const Rect& o, UInt8 axis) {
  const Rect& s = ship.rect;
  bool negative = axis == kSideContact ? std::abs(s.right - o.left) <= std::abs(s.left - o.right)
                                       : std::abs(s.bottom - o.top) <= std::abs(s.top - o.bottom);
  Component(ship, axis) = negative ? -kKnockBack : kKnockBack;
  return negative;
}

SInt16 Size(UInt8 index) { return GameFlags.objectSizes[index]; }
SInt16 MeteorSize(const Zadado& z) { return Size(static_cast<UInt8>(kSizeMeteor + z.size)); }

void HoldShield(Enemy& enemy) {
  if (enemy.shieldTimer < 10) enemy.shieldTimer = 10;
}

bool Hittable(const Enemy& e) { return e.active && e.state != EnemyBursting; }
bool Hittable(const Object& wing) { return wing.active && !wing.destroyed; }
bool Hittable(const Zadado& z) { return z.active && !z.destroyed; }
bool Vulnerable(const Player& ship) { return ship.active && ship.countdown == 0 && ship.state != PlayerExploding; }

// Every ordered pair of different indices, 7 down to 0.
template <typename F>
void EachPair(int count, F handle) {
  for (int i = count - 1; i >= 0; --i)
    for (int j = count - 1; j >= 0; --j)
      if (i != j) handle(i, j);
}

template <typename F>
void EachDown(int count, F handle) {
  for (int i = count - 1; i >= 0; --i) handle(i);
}

void EnemyAgainstEnemy(int i, int j) {
  Enemy& first = gEnemies[i];
  Enemy& second = gEnemies[j];
  if (!Hittable(first) || !Hittable(second) || !GameRectsOverlap(first.hotRect, second.hotRect)) return;
  if (first.state == EnemyFlying && second.state == EnemyFlying) {
    MetalSound(first.hotRect);
    SeparateRects(&first.hotRect, &second.hotRect, 1);
    Resquare(first, Size(kSizeEnemy));
    Resquare(second, Size(kSizeEnemy));
    UInt8 axis = RectsCollide(&first.rect, &second.rect);
    SwapVelocity(first, second, axis);
    ContactSparks(Amber(), axis, first.hotRect, second.hotRect);
    CenterSpritePosition(&first);
    CenterSpritePosition(&second);
    return;
  }
  if (first.state == EnemyShielded && second.state == EnemyShielded) {
    SeparateRects(&first.hotRect, &second.hotRect, 1);
    Resquare(first, Size(kSizeShieldedEnemy));
    Resquare(second, Size(kSizeShieldedEnemy));
    SwapVelocity(first, second, 1);
    ContactSparks(Magenta(), 1, first.hotRect, second.hotRect);
    CenterSpritePosition(&first);
    CenterSpritePosition(&second);
  }
  BlastEnemy(static_cast<SInt8>(i), &second.hotRect, 0, 0);
  BlastEnemy(static_cast<SInt8>(j), &first.hotRect, 0, 0);
  if (first.state == EnemyShielded) HoldShield(first);
  if (second.state == EnemyShielded) HoldShield(second);
}

void EnemyAgainstWing(int e, int w) {
  Enemy& enemy = gEnemies[e];
  Object& wing = gWings[w];
  if (!Hittable(enemy) || !Hittable(wing) || !GameRectsOverlap(enemy.hotRect, wing.hotRect)) return;
  if (enemy.state == EnemyShielded) {
    ContactSparks(Magenta(), RectsCollide(&wing.rect, &enemy.rect), enemy.hotRect, wing.hotRect);
    HoldShield(enemy);
  }
  BlastEnemy(static_cast<SInt8>(e), &wing.hotRect, 0, 0);
  BlastWing(static_cast<SInt8>(w));
}

void MeteorAgainstMeteor(int i, int j) {
  Zadado& first = gZadados[i];
  Zadado& second = gZadados[j];
  if (!Hittable(first) || !Hittable(second) || !GameRectsOverlap(first.hotRect, second.hotRect)) return;
  Sound(gSounds->bump, first.hotRect);
  SeparateRects(&first.hotRect, &second.hotRect, 1);
  Resquare(first, MeteorSize(first));
  Resquare(second, MeteorSize(second));
  UInt8 axis = RectsCollide(&first.rect, &second.rect);
  SwapVelocity(first, second, axis);
  ContactSparks(Amber(), axis, first.hotRect, second.hotRect);
  CenterSpritePosition(&first);
  CenterSpritePosition(&second);
}

void MeteorAgainstEnemy(int m, int e) {
  Zadado& meteor = gZadados[m];
  Enemy& enemy = gEnemies[e];
  if (!Hittable(meteor) || !Hittable(enemy) || !GameRectsOverlap(meteor.hotRect, enemy.hotRect)) return;
  bool shielded = enemy.state == EnemyShielded;
  if (shielded) {
    SeparateRects(&meteor.hotRect, &enemy.hotRect, 0);
    Resquare(meteor, MeteorSize(meteor));
  }
  UInt8 axis = RectsCollide(&meteor.rect, &enemy.rect);
  Component(meteor, axis) = Component(enemy, axis);
  if (shielded) ContactSparks(Magenta(), axis, enemy.hotRect, meteor.hotRect);
  BlastEnemy(static_cast<SInt8>(e), &meteor.hotRect, 0, 0);
  Flash(meteor);
  if (shielded) {
    CenterSpritePosition(&enemy);
    CenterSpritePosition(&meteor);
  }
}

void MeteorAgainstWing(int m, int w) {
  Zadado& meteor = gZadados[m];
  Object& wing = gWings[w];
  if (!Hittable(meteor) || !Hittable(wing) || !GameRectsOverlap(meteor.hotRect, wing.hotRect)) return;
  UInt8 axis = RectsCollide(&meteor.rect, &wing.rect);
  Component(meteor, axis) = Component(wing, axis);
  BlastWing(static_cast<SInt8>(w));
  Flash(meteor);
}

void WingAgainstWing(int i, int j) {
  Object& first = gWings[i];
  Object& second = gWings[j];
  if (!Hittable(first) || !Hittable(second) || !GameRectsOverlap(first.hotRect, second.hotRect)) return;
  BlastWing(static_cast<SInt8>(i));
  BlastWing(static_cast<SInt8>(j));
}

// No damage: the ships trade speeds, with a clang only when one was fast.
void ShipAgainstShip(int i, int j) {
  Player& first = gPlayers[i];
  Player& second = gPlayers[j];
  if (!Vulnerable(first) || !Vulnerable(second) || !GameRectsOverlap(first.rect, second.rect)) return;
  if (SeparateRects(&first.rect, &second.rect, 1)) {
    CenterSpritePosition(&first);
    CenterSpritePosition(&second);
  }
  UInt8 axis = RectsCollide(&first.rect, &second.rect);
  float a = Component(first, axis);
  float b = Component(second, axis);
  if (a < -2.0f || a > 2.0f || b < -2.0f || b > 2.0f) {
    MetalSound(first.rect);
    ContactSparks(Amber(), axis, first.rect, second.rect);
  }
  SwapVelocity(first, second, axis);
}

void ShipAgainstWing(int p, int w) {
  Player& ship = gPlayers[p];
  Object& wing = gWings[w];
  if (!Vulnerable(ship) || !Hittable(wing) || !GameRectsOverlap(ship.rect, wing.hotRect)) return;
  KnockBack(ship, wing.hotRect, RectsCollide(&ship.rect, &wing.hotRect));
  BlastWing(static_cast<SInt8>(w));
  Flash(ship);
  AddShield(static_cast<SInt8>(p), -2);
}

void ShipAgainstEnemy(int p, int e) {
  Player& ship = gPlayers[p];
  Enemy& enemy = gEnemies[e];
  if (!Vulnerable(ship) || !Hittable(enemy) || !GameRectsOverlap(ship.rect, enemy.hotRect)) return;
  UInt8 axis = RectsCollide(&ship.rect, &enemy.hotRect);
  if (enemy.state == EnemyShielded) {
    ContactSparks(Magenta(), axis, enemy.hotRect, ship.rect);
    KnockBack(ship, enemy.hotRect, axis);
    AddShield(static_cast<SInt8>(p), -4);
  } else {
    KnockBack(ship, enemy.hotRect, axis);
    AddShield(static_cast<SInt8>(p), -3);
  }
  BlastEnemy(static_cast<SInt8>(e), &ship.rect, 0, 0);
  Flash(ship);
}

// The thing hit takes part of the blow; a dead stop becomes 1.0 away from the ship.
void PushAway(float& component, bool shipWentNegative) {
  if (component == 0.0f) component = shipWentNegative ? 1.0f : -1.0f;
}

void ShipAgainstMeteor(int p, int m) {
  Player& ship = gPlayers[p];
  Zadado& meteor = gZadados[m];
  if (!Vulnerable(ship) || !Hittable(meteor) || !GameRectsOverlap(ship.rect, meteor.hotRect)) return;
  Sound(gSounds->bump, ship.rect);
  UInt8 axis = RectsCollide(&ship.rect, &meteor.hotRect);
  Component(meteor, axis) = Component(ship, axis) / 2;
  PushAway(Component(meteor, axis), KnockBack(ship, meteor.hotRect, axis));
  ContactSparks(Amber(), axis, meteor.hotRect, ship.rect);
  Flash(ship);
  Flash(meteor);
  AddShield(static_cast<SInt8>(p), static_cast<SInt8>(meteor.size - 3));
}

// The boss is pushed even by a protected ship; it hurts once per countdown.
void ShipAgainstBoss(int p) {
  Player& ship = gPlayers[p];
  Boss& boss = *gBoss;
  if (!ship.active || ship.state == PlayerExploding || !boss.active || boss.dying) return;
  if (!GameRectsOverlap(ship.rect, boss.hotRect)) return;
  Rect oldHot = boss.hotRect;
  SeparateRects(&boss.hotRect, &ship.rect, 0);
  MapRectBetweenRects(&boss.rect, &oldHot, &boss.hotRect);

  UInt8 axis = RectsCollide(&ship.rect, &boss.hotRect);
  ContactSparks(Amber(), axis, ship.rect, boss.hotRect);
  Component(boss, axis) = Component(ship, axis);
  PushAway(Component(boss, axis), KnockBack(ship, boss.hotRect, axis));

  CenterSpritePosition(&boss);
  CenterSpritePosition(&ship);
  MetalSound(boss.rect, 0.25f);
  if (ship.countdown == 0) {
    AddShield(static_cast<SInt8>(p), -2);
    Flash(ship);
    ship.countdown = 25;
  }
  boss.targetVX = boss.vx;
  boss.targetVY = boss.vy;
}

}  // namespace

void DoCollisions() {
  EachPair(kEnemyCount, EnemyAgainstEnemy);
  EachDown(kEnemyCount, [](int e) { EachDown(kObjectCount, [e](int w) { EnemyAgainstWing(e, w); }); });
  EachPair(kZadadoCount, MeteorAgainstMeteor);
  EachDown(kZadadoCount, [](int m) { EachDown(kEnemyCount, [m](int e) { MeteorAgainstEnemy(m, e); }); });
  EachDown(kZadadoCount, [](int m) { EachDown(kObjectCount, [m](int w) { MeteorAgainstWing(m, w); }); });
  EachPair(kObjectCount, WingAgainstWing);
  EachPair(kPlayerCount, ShipAgainstShip);
  EachDown(kPlayerCount, [](int p) { EachDown(kObjectCount, [p](int w) { ShipAgainstWing(p, w); }); });
  EachDown(kPlayerCount, [](int p) { EachDown(kEnemyCount, [p](int e) { ShipAgainstEnemy(p, e); }); });
  EachDown(kPlayerCount, [](int p) { EachDown(kZadadoCount, [p](int m) { ShipAgainstMeteor(p, m); }); });
  EachDown(kPlayerCount, ShipAgainstBoss);
}

UInt8 RectsCollide(const Rect* a, const Rect* b) {
  int dx = std::min(std::abs(a->right - b->left), std::abs(b->right - a->left));
  int dy = std::min(std::abs(a->bottom - b->top), std::abs(b->bottom - a->top));
  return dy < dx ? 1 : 0;
}
