#include "Autopilot.h"

#include <algorithm>

#include "GameGlobals.h"

namespace gametest {

namespace {

// Speeds the pilot aims for: a little under full speed so that a released
// key coasts instead of overshooting.
constexpr float kMaxAim = 2.4f;
constexpr float kAimPerPixel = 0.1f;
constexpr float kSlack = 0.2f;
// The ship's centre row after a respawn (its rect is 80..48 above the bottom).
constexpr float kHomeAboveBottom = 64.0f;
// What counts as on a collision course, and how far aside the ship moves.
constexpr int kDangerAbove = 120;
constexpr int kDangerBelow = 8;
constexpr int kDangerBeside = 24;
constexpr float kDodge = 72.0f;
constexpr int kBoltReach = 56;
constexpr int kBurstReach = 112;

float CentreX(const Rect& r) { return (r.left + r.right) / 2.0f; }
float CentreY(const Rect& r) { return (r.top + r.bottom) / 2.0f; }

// The key of the axis's negative or positive direction that brings v toward
// the speed that closes the gap, or none inside the slack.
void Aim(float gap, float v, UInt8 negativeKey, UInt8 positiveKey, StepInput& input) {
  const float want = std::clamp(gap * kAimPerPixel, -kMaxAim, kMaxAim);
  if (v < want - kSlack) input.held.push_back(positiveKey);
  if (v > want + kSlack) input.held.push_back(negativeKey);
}

// The nearest thing that could hit the ship soon, or nullptr: whatever falls
// toward it from close above, a bolt or meteor (they fly every way) close on
// any side, and a bursting enemy that still has its bolts to throw.
const Rect* Threat(const Player& ship) {
  const Rect* nearest = nullptr;
  int nearestGap = 0;
  auto consider = [&](const Rect& r, int above, int beside, int below) {
    const Rect& s = ship.rect;
    if (r.bottom <= s.top - above || r.top >= s.bottom + below) return;
    if (r.right <= s.left - beside || r.left >= s.right + beside) return;
    const int gap = std::max({s.top - r.bottom, r.top - s.bottom, s.left - r.right, r.left - s.right});
    if (nearest && gap >= nearestGap) return;
    nearest = &r;
    nearestGap = gap;
  };
  for (Shot& shot : *gEnemyShots) {
    if (!shot.active) continue;
    if (shot.isBolt)
      consider(shot.rect, kBoltReach, kBoltReach, kBoltReach);
    else
      consider(shot.rect, kDangerAbove, kDangerBeside, kDangerBelow);
  }
  // Meteors drift every way, the boss's ones sideways too.
  for (int i = 0; i < kZadadoCount; ++i)
    if (gZadados[i].active && !gZadados[i].destroyed)
      consider(gZadados[i].hotRect, kDangerAbove, kBoltReach, kBoltReach);
  for (int i = 0; i < kEnemyCount; ++i) {
    const Enemy& enemy = gEnemies[i];
    if (!enemy.active) continue;
    if (enemy.state == EnemyBursting && enemy.burstCount > 0)
      consider(enemy.rect, kBurstReach, kBurstReach, kBurstReach);
    else
      consider(enemy.rect, kDangerAbove, kDangerBeside, kDangerBelow);
  }
  for (int i = 0; i < kObjectCount; ++i)
    if (gWings[i].active && !gWings[i].destroyed) consider(gWings[i].rect, kDangerAbove, kDangerBeside, kDangerBelow);
  if (gBoss->active) consider(gBoss->hotRect, kDangerAbove, kBoltReach, kDangerBelow);
  return nearest;
}

}  // namespace

StepInput Autopilot::next() {
  StepInput input;
  const bool fire = fireEvery_ > 0 && step_ % static_cast<unsigned long>(fireEvery_) == 0;
  for (int p = 0; p < kPlayerCount; ++p) {
    Steer(p, input);
    if (fire) input.held.push_back(KeyBindings[p][kKeyFire]);
  }
  ++step_;
  return input;
}

void Autopilot::Steer(int player, StepInput& input) const {
  Player& ship = gPlayers[player];
  if (!ship.active || ship.state != PlayerFlying) return;
  const float x = CentreX(ship.rect);
  const float y = CentreY(ship.rect);
  const Rect& field = gPlayFieldRect;

  float aimX = x;
  if (const Rect* threat = Threat(ship)) {
    // Out of its way, toward the side with more room.
    const float tx = CentreX(*threat);
    bool left = x < tx;
    if (x == tx) left = x - field.left > field.right - x;
    if (left && x - kDodge < field.left + 16) left = false;
    if (!left && x + kDodge > field.right - 16) left = true;
    aimX = left ? tx - kDodge : tx + kDodge;
  } else {
    // The nearest target above the ship; the boss when nothing else is there.
    bool found = false;
    float bestDistance = 0;
    auto consider = [&](const Rect& r) {
      const float cy = CentreY(r);
      if (cy >= ship.rect.top) return;
      const float cx = CentreX(r);
      const float distance = (cx - x) * (cx - x) + (cy - y) * (cy - y);
      if (found && distance >= bestDistance) return;
      found = true;
      aimX = cx;
      bestDistance = distance;
    };
    for (int i = 0; i < kZadadoCount; ++i) {
      Zadado& meteor = gZadados[i];
      if (meteor.active && !meteor.destroyed) consider(meteor.rect);
    }
    for (int i = 0; i < kEnemyCount; ++i) {
      Enemy& enemy = gEnemies[i];
      if (enemy.active && enemy.state != EnemyBursting) consider(enemy.rect);
    }
    if (!found && gBoss->active && !gBoss->dying) consider(gBoss->hotRect);
  }

  const UInt8* keys = KeyBindings[player];
  Aim(aimX - x, ship.vx, keys[kKeyLeft], keys[kKeyRight], input);
  const float home = field.bottom - kHomeAboveBottom;
  Aim(home - y, ship.vy, keys[kKeyUp], keys[kKeyDown], input);
}

}  // namespace gametest
