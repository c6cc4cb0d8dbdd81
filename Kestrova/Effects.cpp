#include "Effects.h"

#include "GameAssets.h"
#include "GameGlobals.h"
#include "Levels.h"
#include "Random.h"
#include "SpriteMotion.h"

namespace {

constexpr float kSpeedUnit = 0.33334f;

UInt32 Draw(UInt32 n) { return n != 0 ? NextRandom() % n : 0; }

Rect SquareOn(SInt16 h, SInt16 v, SInt16 width, SInt16 height) {
  const SInt16 left = static_cast<SInt16>(h - width / 2);
  const SInt16 top = static_cast<SInt16>(v - height / 2);
  return Rect{top, left, static_cast<SInt16>(top + height), static_cast<SInt16>(left + width)};
}

bool PointInField(SInt32 h, SInt32 v) {
  const Rect& f = gPlayFieldRect;
  return h >= f.left && h < f.right && v >= f.top && v < f.bottom;
}

// Truncated toward zero, then brought back into 0..359.
SInt16 TurnAngle(SInt16 angle, float spinRate) {
  SInt32 a = static_cast<SInt32>(angle + spinRate * kSpeedUnit);
  if (a < 0) a += 360;
  if (a > 359) a -= 360;
  return static_cast<SInt16>(a);
}

// One axis of a spark's step: the 32-bit product and arithmetic shift come
// before the step's scaling, as the tables' users expect.
SInt32 SparkStep(SInt32 position, const SInt32* table, UInt16 angle, UInt32 speed) {
  if (!table || angle >= 360) return position;
  const SInt32 product = static_cast<SInt32>(static_cast<UInt32>(table[angle]) * (speed / 2));
  return static_cast<SInt32>(position + (product >> 8) * 0.33334);
}

void AgeSpark(Spark& spark) {
  if (spark.white > -1.2f) {
    for (int c = 0; c < 3; ++c) spark.colour[c] = (1.0f - spark.white) * spark.baseColour[c] + spark.white;
    if (spark.white > 0.9f)
      spark.white -= 0.02f;
    else if (spark.white > 0.0f)
      spark.white -= 0.3f;
    else
      spark.white -= 0.5f;
    return;
  }
  spark.alpha -= 0.1f;
  if (spark.alpha <= 0) spark.inUse = 0;
}

void TwinkleStar(Star& star) {
  if (star.direction) {
    if (star.twinkle < 7)
      ++star.twinkle;
    else
      star.direction = 0;
  } else {
    if (star.twinkle >= 1)
      --star.twinkle;
    else
      star.direction = 1;
  }
}

void MoveWaveBanner() {
  KVSprite& banner = *gLevelBanner;
  if (!banner.active) return;
  if (banner.y > 12) banner.y = banner.y + banner.vy < 12 ? 12.0f : banner.y + banner.vy;
  if (banner.brightness > 1.0f) {
    banner.brightness = banner.brightness - 0.0233338f < 1.0f ? 1.0f : banner.brightness - 0.0233338f;
  } else {
    // The banner's alpha is its scale.
    float& alpha = banner.scale;
    const bool boss = gBoss->active != 0;
    alpha -= (boss && alpha <= 0.25f) ? 0.0066668f : 0.0233338f;
    // Without a boss it stays faintly on the screen.
    if (!boss && alpha < 0.25f) alpha = 0.25f;
    if (alpha <= 0.5f && !GameFlags.respawnDone) RespawnPlayers();
    if (banner.factor > 0.55f) banner.factor -= 0.0100002f;
    banner.vy -= 0.16667f;
  }
  if (banner.scale <= 0) banner.active = 0;
}

// The boss's death flash: in quickly, then out slowly.
void MoveOverlay() {
  KVSprite& overlay = *gOverlaySprite;
  if (!overlay.active) return;
  float& alpha = overlay.scale;
  if (overlay.pulseDirection == 1) {
    if (alpha + 0.066668f >= 1.0f) {
      alpha = 1.0f;
      overlay.pulseDirection = 255;
    } else {
      alpha += 0.066668f;
    }
  } else if (overlay.pulseDirection == 255) {
    alpha -= 0.0100002f;
    if (alpha <= 0) overlay.active = 0;
  }
}

}  // namespace

SInt16 DoSparks(SInt16 count, SInt8 spread, const GameColor& colour, SInt16 h, SInt16 v) {
  if (count <= 0) return count;
  const UInt32 spreadArg = static_cast<UInt8>(spread);
  for (int i = kSparkCount - 1; i >= 0 && count > 0; --i) {
    Spark& spark = gSparks[i];
    if (spark.inUse) continue;
    spark.colour[0] = spark.baseColour[0] = colour.red;
    spark.colour[1] = spark.baseColour[1] = colour.green;
    spark.colour[2] = spark.baseColour[2] = colour.blue;
    spark.x = static_cast<SInt32>(h) * 256;
    spark.y = static_cast<SInt32>(v) * 256;
    spark.angle = static_cast<UInt16>(Draw(360));
    spark.spread = static_cast<UInt8>(spreadArg != 0 ? Draw(spreadArg) + 1 : 1);
    spark.speed = Draw(static_cast<UInt32>(spark.spread) * 256) + 256;
    Draw(6);  // keeps the random stream in step; the value is unused
    spark.inUse = 1;
    spark.fades = GameFlags.sparkFlag;
    spark.keep = 0;
    spark.alpha = 1.0f;
    spark.white = static_cast<float>(Draw(15) + 91) / 100.0f;
    --count;
  }
  return count;
}

void MoveSparks() {
  for (int i = kSparkCount - 1; i >= 0; --i) {
    Spark& spark = gSparks[i];
    if (!spark.inUse) continue;
    if (!spark.keep && !PointInField(spark.x / 256, spark.y / 256)) spark.inUse = 0;
    spark.x = SparkStep(spark.x, CosTable, spark.angle, spark.speed);
    spark.y = SparkStep(spark.y, SinTable, spark.angle, spark.speed);
  }
}

void AnimateSparks() {
  for (int i = kSparkCount - 1; i >= 0; --i) {
    Spark& spark = gSparks[i];
    if (spark.inUse && spark.fades) AgeSpark(spark);
  }
  for (int i = kObjectCount - 1; i >= 0; --i) {
    KVSprite& flash = gFlashes[i];
    if (!flash.active) continue;
    flash.scale -= 0.1f;
    if (flash.scale <= 0) flash.active = 0;
  }
  for (int i = kStarCount - 1; i >= 0; --i) TwinkleStar(gStars[i]);
}

void DoFlash(SInt16 h, SInt16 v, const GameColor& colour, float scale, float alpha) {
  for (int i = kObjectCount - 1; i >= 0; --i) {
    KVSprite& flash = gFlashes[i];
    if (flash.active) continue;
    const GLImage* glow = glowFRAME ? &glowFRAME[0].image : nullptr;
    const SInt16 width = glow ? static_cast<SInt16>(glow->imageWidth * scale) : 0;
    const SInt16 height = glow ? static_cast<SInt16>(glow->imageHeight * scale) : 0;
    flash.rect = SquareOn(h, v, width, height);
    flash.colour = colour;
    flash.scale = alpha;  // a flash's alpha
    flash.active = 1;
    return;
  }
}

Rect* DoExplosion(SInt8 kind, SInt16 h, SInt16 v, float vx, float vy, UInt8 withSparks) {
  if (kind < 0 || kind > 3) return nullptr;
  for (Object& explosion : *gExplosions) {
    if (explosion.active) continue;
    const SInt16 s = GameFlags.objectSizes[kSizeExplosion + kind];
    explosion.rect = SquareOn(h, v, s, s);
    explosion.oldRect = explosion.rect;
    explosion.vx = vx;
    explosion.vy = vy;
    explosion.frame = 0;
    explosion.active = 1;
    explosion.kind = kind;
    if (withSparks)
      DoSparks(32, 16, GameColours[kColourOrange], RectCentreH(explosion.rect), RectCentreV(explosion.rect));
    CenterSpritePosition(&explosion);
    return &explosion.rect;
  }
  return nullptr;
}

void MoveExplosions() {
  for (Object& explosion : *gExplosions) {
    if (!explosion.active) continue;
    MoveSprite(&explosion);
    if (!GameRectsOverlap(explosion.rect, gPlayFieldRect)) explosion.active = 0;
  }
}

void AnimateExplosions() {
  for (Object& explosion : *gExplosions) {
    if (!explosion.active) continue;
    if (explosion.frame <= 6)
      ++explosion.frame;
    else
      explosion.active = 0;
  }
  // The bolts' frames run on the same beat.
  for (Shot& shot : *gEnemyShots) {
    if (!shot.active || !shot.isBolt) continue;
    if (shot.frame <= 3)
      ++shot.frame;
    else
      shot.frame = shot.boltKind == 0 ? 1 : 0;
  }
}

void DoWing(SInt8 enemy, SInt16 h, SInt16 v) {
  const SInt32 spin = static_cast<SInt32>(Draw(15)) + 5;
  if (enemy < 0 || enemy >= kObjectCount) return;
  Object& wing = gWings[enemy];
  if (wing.active) return;
  const Enemy& owner = gEnemies[enemy];
  const SInt16 s = GameFlags.objectSizes[kSizeWing];
  wing.rect = SquareOn(h, v, s, s);
  wing.hotRect = wing.rect;
  wing.x = h;
  wing.y = v;
  wing.oldRect = wing.rect;
  const float vx = static_cast<float>((NextRandom() & 3) + 1) * kSpeedUnit;
  wing.vx = owner.spinSide == 0 ? -vx : vx;
  wing.vy = owner.vy;
  wing.frame = 1;
  wing.destroyed = 0;
  wing.direction = owner.spinSide;
  wing.active = 1;
  wing.angle = 0;
  wing.spinRate = static_cast<float>(wing.direction == 1 ? spin : -spin);
}

void MoveWings() {
  for (int i = kObjectCount - 1; i >= 0; --i) {
    Object& wing = gWings[i];
    if (!wing.active) continue;
    MoveSprite(&wing);
    wing.hotRect = SquareOn(RectCentreH(wing.rect), RectCentreV(wing.rect), 24, 24);
    wing.angle = TurnAngle(wing.angle, wing.spinRate);
    if (!GameRectsOverlap(wing.rect, gPlayFieldRect)) wing.active = 0;
  }
}

void AnimateWings() {
  for (int i = kObjectCount - 1; i >= 0; --i) {
    Object& wing = gWings[i];
    if (!wing.active) continue;
    if (!wing.destroyed)
      wing.frame = static_cast<SInt8>(wing.frame <= 2 ? wing.frame + 1 : 0);
    else if (wing.frame < 7)
      ++wing.frame;
    else
      wing.active = 0;
  }
}

void MoveStars() {
  const Rect& field = gPlayFieldRect;
  const UInt32 width = field.right > field.left ? static_cast<UInt32>(field.right - field.left) : 0;
  for (int i = kStarCount - 1; i >= 0; --i) {
    Star& star = gStars[i];
    star.y += star.speed;
    const bool inside = star.x >= field.left && star.x < field.right && star.y >= field.top && star.y < field.bottom;
    if (inside) continue;
    star.x = static_cast<float>(Draw(width));
    star.y = field.top;
  }
}

void MoveBanners() {
  MoveWaveBanner();
  MoveOverlay();
}

void BlinkBoss() {
  if (gBoss->active) gBoss->blink ^= 1;
}
