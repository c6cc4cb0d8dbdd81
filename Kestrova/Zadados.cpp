#include "Zadados.h"

#include "Effects.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Geometry.h"
#include "MainLoop.h"
#include "Mixer.h"
#include "PickUps.h"
#include "Random.h"
#include "SpriteMotion.h"

namespace {

constexpr float kSpeedUnit = 0.33334f;
constexpr float kSpin = 1.33336f;

// r % n on one draw; no draw at all when n is 0, and the value is 0.
UInt32 Draw(SInt32 n) { return n != 0 ? NextRandom() % static_cast<UInt32>(n) : 0; }
// One raw draw, for the masked values.
UInt32 Next() { return NextRandom(); }

SInt16 MeteorSize(SInt8 size) { return GameFlags.objectSizes[kSizeMeteor + size]; }

Zadado& Meteor(int i) { return gZadados[i]; }

int LowestFreeSlot() {
  for (int i = 0; i < kZadadoCount; ++i)
    if (!Meteor(i).active) return i;
  return -1;
}

Rect SquareAt(SInt16 left, SInt16 top, SInt16 side) {
  return Rect{top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
}

// The size's square centred on the rect.
Rect HotSquare(const Rect& r, SInt16 side) {
  SInt16 left = static_cast<SInt16>(RectCentreH(r) - side / 2);
  SInt16 top = static_cast<SInt16>(RectCentreV(r) - side / 2);
  return SquareAt(left, top, side);
}

bool HitsOtherMeteor(const Rect& hot, int self) {
  for (int i = kZadadoCount - 1; i >= 0; --i)
    if (i != self && Meteor(i).active && GameRectsOverlap(hot, Meteor(i).hotRect)) return true;
  return false;
}

bool AnyEnemyActive() {
  for (int i = kEnemyCount - 1; i >= 0; --i)
    if (gEnemies[i].active) return true;
  return false;
}

bool AnyoneJoined() { return GameFlags.joined[0] || GameFlags.joined[1]; }

void Flash(KVSprite& sprite) {
  for (int i = 0; i < 4; ++i) sprite.flashColour[i] = FlashColour[i];
  sprite.flashFlag = 1;
}

// The spark colour of what hit the meteor: the shooter, a pellet, a plasma colour.
const GameColor& KindColour(UInt8 kind) {
  static const UInt8 kByKind[6] = {kColourPlayer0, kColourPlayer1, kColourLime, kColourPink, kColourRed, kColourBlue};
  return GameColours[kByKind[kind < 6 ? kind : 2]];
}

// The spin frame steps once; the angle takes the truncated spin and wraps.
void Spin(Zadado& z) {
  if (z.spinForward)
    z.frame = static_cast<SInt8>(z.frame < 34 ? z.frame + 1 : 0);
  else
    z.frame = static_cast<SInt8>(z.frame >= 1 ? z.frame - 1 : 34);
  SInt32 angle = static_cast<SInt32>(z.angle + z.spinRate);
  while (angle < 0) angle += 360;
  while (angle >= 360) angle -= 360;
  z.angle = static_cast<SInt16>(angle);
}

float Signed(float v, bool negate) { return negate ? -v : v; }

}  // namespace

void ClearZadados() {
  for (int i = kZadadoCount - 1; i >= 0; --i) Meteor(i).active = 0;
}

void DoZadado() {
  int slot = LowestFreeSlot();
  if (slot < 0) return;
  Zadado& z = Meteor(slot);
  const Rect& field = gPlayFieldRect;
  SInt8 size = static_cast<SInt8>(Draw(3));
  SInt16 s = MeteorSize(size);
  SInt32 w = field.right - field.left;
  SInt32 h = field.bottom - field.top;

  SInt16 left, top;
  SInt32 vx, vy;
  switch (Draw(3)) {
    case 0:  // from the left
      left = static_cast<SInt16>(field.left - s);
      top = static_cast<SInt16>(field.top + Draw(h - s));
      vx = static_cast<SInt32>(Next() & 3) + 1;
      vy = static_cast<SInt32>(Next() & 3) + 1;
      break;
    case 1:  // from the top, measured from x = 0
      left = static_cast<SInt16>(Draw(w - s));
      top = static_cast<SInt16>(field.top - s);
      vx = static_cast<SInt32>(Draw(5));
      vy = static_cast<SInt32>(Next() & 3) + 1;
      if ((Next() & 1) == 0) vx = -vx;
      break;
    default:  // from the right
      left = field.right;
      top = static_cast<SInt16>(field.top + Draw(h - s));
      vx = -(static_cast<SInt32>(Next() & 3) + 1);
      vy = static_cast<SInt32>(Next() & 3) + 1;
      break;
  }
  z.size = size;
  z.rect = SquareAt(left, top, s);
  z.hotRect = HotSquare(z.rect, s);
  z.vx = static_cast<float>(vx);
  z.vy = static_cast<float>(vy);

  // A launch onto an enemy or another meteor is given up; the slot stays free.
  for (int e = kEnemyCount - 1; e >= 0; --e)
    if (gEnemies[e].active && GameRectsOverlap(z.hotRect, gEnemies[e].hotRect)) return;
  if (HitsOtherMeteor(z.hotRect, slot)) return;

  z.vx *= kSpeedUnit;
  z.vy *= kSpeedUnit;
  CenterSpritePosition(&z);
  z.oldRect = z.rect;
  z.frame = static_cast<SInt8>(Draw(35));
  z.spinForward = static_cast<UInt8>(Next() & 1);
  z.hits = static_cast<UInt8>(Draw(4 - size));
  z.destroyed = 0;
  Flash(z);
  z.active = 1;
  z.brightness = 1.0f;
  z.spinRate = (Next() & 1) ? kSpin : -kSpin;
}

void MoveZadados() {
  if (!GameFlags.respawnDone) return;
  UInt8& countdown = GameFlags.showerCountdown;
  if (AnimationPhase == 0) {
    if (countdown != 0) {
      --countdown;
    } else {
      UInt16 chance = GameFlags.meteorValue;
      bool hit = chance == 0 || Draw(chance) == 0;
      if (hit && GameFlags.waveBudget != 0 && !GameFlags.waveCleared && AnyoneJoined() && AnyEnemyActive()) {
        StopMixerSounds();
        PlayGameSound(&gSounds->alarm, GetGameSource(), nullptr, 1.0f, 1.0f, 0);
        countdown = 50;
      }
    }
  }
  // Announced at 50, quiet down to 26, then the first N slots refill.
  int n = GameFlags.enemyCount[1] < kZadadoCount ? GameFlags.enemyCount[1] : kZadadoCount;
  for (int i = 0; i < n; ++i)
    if (!Meteor(i).active && AnyoneJoined() && countdown >= 1 && countdown <= 25) DoZadado();

  for (int i = 0; i < kZadadoCount; ++i) {
    Zadado& z = Meteor(i);
    if (!z.active) continue;
    MoveSprite(&z);
    z.hotRect = HotSquare(z.rect, MeteorSize(z.size));
    if (!GameRectsOverlap(z.rect, gPlayFieldRect)) z.active = 0;
  }
}

void AnimateZadados() {
  for (int i = kZadadoCount - 1; i >= 0; --i) {
    Zadado& z = Meteor(i);
    if (!z.active) continue;
    if (z.destroyed == 1) {
      if (z.frame > 6)
        z.active = 0;
      else
        ++z.frame;
    } else if (z.destroyed == 0) {
      Spin(z);
    }
  }
}

void LaunchZadado() {
  int slot = LowestFreeSlot();
  if (slot < 0) return;
  Zadado& z = Meteor(slot);
  const Boss& boss = *gBoss;
  SInt8 size = static_cast<SInt8>((Next() & 1) + 1);
  SInt16 s = MeteorSize(size);
  SInt16 left = static_cast<SInt16>(RectCentreH(boss.rect) - s / 2);
  SInt16 top = static_cast<SInt16>(boss.rect.bottom - s / 2 - 8);
  z.size = size;
  z.rect = z.hotRect = SquareAt(left, top, s);
  if (HitsOtherMeteor(z.hotRect, slot)) return;

  PlayGameSound(&gSounds->shot1, GetGameSource(), &z.rect, 1.0f, 0.25f, 0);
  z.oldRect = z.rect;
  z.frame = static_cast<SInt8>(Draw(35));
  z.spinForward = static_cast<UInt8>(Next() & 1);
  z.hits = static_cast<UInt8>(Draw(4 - size));
  z.destroyed = 0;
  Flash(z);
  z.active = 1;
  z.vx = static_cast<float>((Next() & 3) + 1) * kSpeedUnit;
  if ((Next() & 1) == 0) z.vx = -z.vx;
  z.vy = 1.33336f;
  z.brightness = 1.0f;
  CenterSpritePosition(&z);
}

void BlastZadado(SInt8 index, Rect* hitRect, UInt8 kind, UInt8 force) {
  Zadado& z = Meteor(index);
  // The pick-up chance 1 in n, halved with both ships in play, never below 2.
  UInt32 n = GameFlags.pickUpValue;
  if (gPlayers[0].active && gPlayers[1].active) n /= 2;
  if (n < 2) n = 2;

  if (z.hits != 0 && !force) {
    PlayGameSound(&gSounds->tap, GetGameSource(), hitRect, 1.0f, 1.0f, 0);
    DoSparks(16, 8, KindColour(kind), RectCentreH(*hitRect), RectCentreV(*hitRect));
    --z.hits;
    Flash(z);
    return;
  }

  PlayGameSound(&gSounds->boom0, GetGameSource(), &z.rect, 1.0f, 1.0f, 0);
  z.destroyed = 1;
  z.frame = 0;
  z.hits = 255;
  InsetRectBy(&z.rect, -4, -4);
  DoSparks(static_cast<SInt16>(32 - 8 * z.size), static_cast<SInt8>(16 - 4 * z.size), GameColours[kColourOrange],
           RectCentreH(z.rect), RectCentreV(z.rect));
  if (kind != 2 && z.size == 0 && Draw(static_cast<SInt32>(n)) == 0)
    DoPow(RectCentreH(z.rect), RectCentreV(z.rect), z.vx, z.vy);
}

void NewZadado_Title(UInt8 anywhere) {
  int slot = -1;
  for (int i = kZadadoCount - 1; i >= 0 && slot < 0; --i)
    if (!Meteor(i).active) slot = i;
  if (slot < 0) return;
  Zadado& z = Meteor(slot);
  // The main screen sets the field to the whole screen.
  const Rect& screen = gPlayFieldRect;
  SInt32 w = screen.right - screen.left;
  SInt32 h = screen.bottom - screen.top;
  SInt8 size = static_cast<SInt8>(Draw(3));
  SInt16 s = static_cast<SInt16>((2 - size) * 8 + 16);
  z.size = size;
  auto speed = [] { return static_cast<float>((Next() & 1) + 1) * kSpeedUnit; };
  // Toward the middle: negative when the new rect's centre lies past it.
  auto rightOfCentre = [&] { return RectCentreH(z.rect) > screen.left + w / 2; };
  auto belowCentre = [&] { return RectCentreV(z.rect) > screen.top + h / 2; };

  if (anywhere) {
    SInt16 left = static_cast<SInt16>(static_cast<SInt32>(Draw(w)) - s / 2);
    SInt16 top = static_cast<SInt16>(static_cast<SInt32>(Draw(h)) - s / 2);
    z.rect = SquareAt(left, top, s);
    z.vx = Signed(speed(), rightOfCentre());
    z.vy = Signed(speed(), belowCentre());
  } else {
    UInt32 side = Next() & 3;
    if (side < 2) {  // 0 from the left, 1 from the right
      SInt16 left = side == 0 ? static_cast<SInt16>(screen.left - s) : screen.right;
      SInt16 top = static_cast<SInt16>(screen.top + Draw(h - s));
      z.rect = SquareAt(left, top, s);
      z.vx = Signed(speed(), side == 1);
      z.vy = Signed(speed(), belowCentre());
    } else {  // 2 from the top, 3 from the bottom; measured from x = 0
      SInt16 left = static_cast<SInt16>(Draw(w - s));
      SInt16 top = side == 2 ? static_cast<SInt16>(screen.top - s) : screen.bottom;
      z.rect = SquareAt(left, top, s);
      z.vx = Signed(speed(), rightOfCentre());
      z.vy = Signed(speed(), side == 3);
    }
  }
  CenterSpritePosition(&z);
  z.frame = static_cast<SInt8>(Draw(35));
  z.spinForward = static_cast<UInt8>(Next() & 1);
  z.destroyed = 0;
  z.active = 1;
  z.angle = static_cast<SInt16>(Draw(360));
  z.spinRate = (Next() & 1) ? kSpin : -kSpin;
  z.brightness = static_cast<float>(Draw(10) + 5) / 20.0f;
}

void MoveTitleZadados() {
  int freed = 0;
  for (int i = kZadadoCount - 1; i >= 0; --i) {
    Zadado& z = Meteor(i);
    if (!z.active) continue;
    MoveSprite(&z);
    if (!GameRectsOverlap(z.rect, gPlayFieldRect)) {
      z.active = 0;
      ++freed;
    }
  }
  // As many new ones come in from the edges as went out.
  while (freed-- > 0) NewZadado_Title(0);
}
