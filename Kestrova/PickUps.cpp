#include "PickUps.h"

#include "Effects.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Levels.h"
#include "MainLoop.h"
#include "Random.h"
#include "Scoring.h"
#include "SpriteMotion.h"

namespace {

constexpr SInt8 kFullDoubles = 18;
constexpr UInt8 kLitLevel = 48;
constexpr UInt8 kUnlitLevel = 24;
constexpr UInt32 kSuperSegment = 11;
constexpr UInt8 kSuperLevel = 22;

Rect SixteenSquareOn(SInt16 h, SInt16 v) {
  return Rect{static_cast<SInt16>(v - 8), static_cast<SInt16>(h - 8), static_cast<SInt16>(v + 8),
              static_cast<SInt16>(h + 8)};
}

void Flash(KVSprite& sprite) {
  for (int i = 0; i < 4; ++i) sprite.flashColour[i] = FlashColour[i];
  sprite.flashFlag = 1;
}

void PlayAt(ALSound& sound, const Rect& rect) { PlayGameSound(&sound, GetGameSource(), &rect, 1.0f, 1.0f, 0); }

bool CanCollect(const Player& ship, const Rect& hotRect) {
  return ship.active && ship.state != PlayerExploding && GameRectsOverlap(ship.rect, hotRect);
}

// A pick-up or pod moves; leaving the field frees it, yet its turn goes on.
void MoveCollectable(Object& object) {
  MoveSprite(&object);
  if (!GameRectsOverlap(object.rect, gPlayFieldRect)) object.active = 0;
  object.hotRect = SixteenSquareOn(RectCentreH(object.rect), RectCentreV(object.rect));
}

void TrailSpark(const Object& object, const GameColor& colour) {
  if (AnimationPhase == 0 && object.frame % 2 == 0)
    DoSparks(1, 4, colour, RectCentreH(object.rect), RectCentreV(object.rect));
}

void CollectPow(Object& pow, SInt8 p) {
  Player& ship = gPlayers[p];
  const SInt16 h = RectCentreH(pow.rect);
  const SInt16 v = RectCentreV(pow.rect);
  PlayAt(gSounds->power, pow.rect);
  if (pow.variant == 0) {
    AddShield(p, 4);
    DoSparks(32, 16, GameColours[kColourYellow], h, v);
    AddScore(p, 300);
  } else {
    ship.doublesBar.target = kFullDoubles;
    DoSparks(32, 16, GameColours[kColourPlayer0], h, v);
    AddScore(p, 100);
  }
  pow.active = 0;
  Flash(ship);
}

void CollectPod(Object& pod, SInt8 p) {
  Player& ship = gPlayers[p];
  PlayAt(gSounds->pod, pod.rect);
  pod.active = 0;
  Flash(ship);
  DoSparks(32, 16, GameColours[kColourLime], RectCentreH(pod.rect), RectCentreV(pod.rect));
  ++ship.podBar.target;
  AddScore(p, 50);
}

UInt32 SegmentCount(const StatusBar& bar) {
  UInt32 n = bar.count;
  if (n > bar.on.count) n = bar.on.count;
  if (n > bar.glow.count) n = bar.glow.count;
  return n;
}

// One segment a tick toward the target, then every segment settles.
void StepBar(StatusBar& bar) {
  const UInt32 n = SegmentCount(bar);
  if (bar.target > bar.shown && static_cast<UInt32>(bar.shown) < n) {
    bar.on.data[bar.shown] = 1;
    bar.glow.data[bar.shown] = kLitLevel;
    ++bar.shown;
  } else if (bar.target < bar.shown && bar.shown > 0) {
    --bar.shown;
    if (static_cast<UInt32>(bar.shown) < n) {
      bar.on.data[bar.shown] = 0;
      bar.glow.data[bar.shown] = kUnlitLevel;
    }
  }
  for (UInt32 i = 0; i < n; ++i) {
    UInt8& glow = bar.glow.data[i];
    const UInt8 floor = bar.on.data[i] ? 23 : 9;
    if (glow > floor) glow = static_cast<UInt8>(glow - 2);
  }
}

// The panel eases up by half the distance left, at least a pixel a tick.
void SlidePanel(SInt8 p) {
  Player& ship = gPlayers[p];
  Rect& panel = ship.panelRect;
  const SInt16 screenBottom = ScreenRect.bottom;
  if (panel.bottom <= screenBottom) return;
  SInt32 step = (screenBottom - panel.bottom) / 2;
  if (step > -1) step = -1;
  ship.panelSlideStep = static_cast<SInt8>(step < -128 ? -128 : step);
  if (panel.bottom + step < screenBottom) step = screenBottom - panel.bottom;
  panel.top = static_cast<SInt16>(panel.top + step);
  panel.bottom = static_cast<SInt16>(panel.bottom + step);
  LayoutStatusBars(p);
}

// Only a lit segment may pay: the same level on the tick that unlights it
// would pay the bonus a second time.
void CheckSuperBonus(SInt8 p) {
  Player& ship = gPlayers[p];
  StatusBar& pods = ship.podBar;
  if (SegmentCount(pods) <= kSuperSegment) return;
  if (!pods.on.data[kSuperSegment] || pods.glow.data[kSuperSegment] != kSuperLevel) return;
  PlayAt(gSounds->super, pods.rect.data[0]);
  AddScore(p, 10000);
  AddShield(p, 12);
  ship.doublesBar.target = kFullDoubles;
  pods.target = 0;
}

}  // namespace

void DoPow(SInt16 h, SInt16 v, float vx, float vy) {
  for (Object& pow : *gPickUps) {
    if (pow.active) continue;
    pow.rect = SixteenSquareOn(h, v);
    pow.hotRect = pow.rect;
    pow.x = h;
    pow.y = v;
    pow.oldRect = pow.rect;
    pow.variant = NextRandom() % 3 != 0 ? 1 : 0;
    pow.vx = vx;
    pow.vy = vy;
    pow.frame = 0;
    pow.active = 1;
    pow.brightness = 1.0f;
    pow.pulseDirection = 1;
    return;
  }
}

void MovePows() {
  for (Object& pow : *gPickUps) {
    if (!pow.active) continue;
    MoveCollectable(pow);
    TrailSpark(pow, GameColours[pow.variant == 0 ? kColourYellow : kColourPlayer0]);
    // Both ships may take the same pick-up in one step.
    for (int p = kPlayerCount - 1; p >= 0; --p)
      if (CanCollect(gPlayers[p], pow.hotRect)) CollectPow(pow, static_cast<SInt8>(p));
  }
}

void AnimatePows() {
  for (Object& pow : *gPickUps) {
    if (!pow.active) continue;
    if (pow.frame == 0 || pow.frame == 8) PlayAt(gSounds->flip, pow.rect);
    const SInt8 last = pow.variant == 0 ? 15 : 7;
    pow.frame = static_cast<SInt8>(pow.frame < last ? pow.frame + 1 : 0);
    PulseSprite(&pow);
  }
}

void DoPod(SInt8 enemy, SInt16 h, SInt16 v) {
  if (enemy < 0 || enemy >= kObjectCount) return;
  Object& pod = gPods[enemy];
  if (pod.active) return;
  const Enemy& owner = gEnemies[enemy];
  pod.rect = SixteenSquareOn(h, v);
  pod.hotRect = pod.rect;
  pod.x = h;
  pod.y = v;
  pod.frame = 0;
  pod.oldRect = pod.rect;
  pod.vx = owner.vx;
  pod.vy = owner.vy;
  pod.active = 1;
  pod.pulseDirection = 1;
  pod.brightness = 1.0f;
}

void MovePods() {
  for (int i = kObjectCount - 1; i >= 0; --i) {
    Object& pod = gPods[i];
    if (!pod.active) continue;
    MoveCollectable(pod);
    TrailSpark(pod, GameColours[kColourLime]);
    for (int p = kPlayerCount - 1; p >= 0; --p) {
      const Player& ship = gPlayers[p];
      if (ship.podBar.target != 12 && CanCollect(ship, pod.hotRect)) CollectPod(pod, static_cast<SInt8>(p));
    }
  }
}

void AnimatePods() {
  for (int i = kObjectCount - 1; i >= 0; --i) {
    Object& pod = gPods[i];
    if (!pod.active) continue;
    if (pod.frame == 0) PlayAt(gSounds->flip, pod.rect);
    pod.frame = static_cast<SInt8>(pod.frame < 7 ? pod.frame + 1 : 0);
    PulseSprite(&pod);
  }
}

void PulseSprite(KVSprite* sprite) {
  if (sprite->pulseDirection == 255) {
    sprite->brightness -= 0.07f;
    if (sprite->brightness <= 1.0f) sprite->pulseDirection = 1;
  } else if (sprite->pulseDirection == 1) {
    sprite->brightness += 0.07f;
    if (sprite->brightness >= 1.3f) sprite->pulseDirection = 255;
  }
}

void AnimateStatusBars() {
  if (gBoss->active) StepBar(gBoss->healthBar);
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    Player& ship = gPlayers[p];
    if (!ship.panelShown) continue;
    const SInt8 player = static_cast<SInt8>(p);
    SlidePanel(player);
    StepBar(ship.shieldBar);
    StepBar(ship.doublesBar);
    StepBar(ship.podBar);
    CheckSuperBonus(player);
  }
}
