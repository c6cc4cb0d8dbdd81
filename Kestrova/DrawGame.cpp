#include "DrawGame.h"

#include <cstdio>

#include "GLFrame.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "Geometry.h"
#include "InterfaceFrames.h"
#include "KVButton.h"
#include "MainLoop.h"
#include "ScreenList.h"
#include "Sprite.h"

Rect SpareRect;

namespace {

constexpr float kFlashWhite[3] = {1.5f, 1.5f, 1.5f};

// A frame set's image, or nil for an index outside the set: a stray frame
// number draws nothing rather than reading past the block.
GLImage* SetImage(Frame* set, int index) {
  if (!set || index < 0 || index >= set->arraySize[0]) return nullptr;
  return &set[index].image;
}

void SetGrey(GLImage* image, float level) { image->red = image->green = image->blue = level; }

Rect SquareOn(SInt16 cx, SInt16 cy, SInt16 side) {
  const SInt16 left = static_cast<SInt16>(cx - side / 2);
  const SInt16 top = static_cast<SInt16>(cy - side / 2);
  return Rect{top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
}

SInt16 CentreH(const Rect& r) { return static_cast<SInt16>(r.left + (r.right - r.left) / 2); }
SInt16 CentreV(const Rect& r) { return static_cast<SInt16>(r.top + (r.bottom - r.top) / 2); }

Rect Grown(const Rect& r, SInt16 by) {
  Rect out = r;
  InsetRectBy(&out, static_cast<SInt16>(-by), static_cast<SInt16>(-by));
  return out;
}

// Plain, or once tinted with the sprite's flash colour (the flag is one-shot).
void DrawFlashable(GLImage* image, const Rect* rect, KVSprite& sprite) {
  if (sprite.flashFlag) {
    DrawImageTintedWith(image, rect, sprite.flashColour);
    sprite.flashFlag = 0;
  } else {
    DrawGLImage(image, rect);
  }
}

void DrawStars() {
  GLImage* pixel = &gImages->pixel;
  const float side = pixel->imageWidth;
  for (int i = kStarCount - 1; i >= 0; --i) {
    const Star& star = gStars[i];
    const SInt8 twinkle = static_cast<SInt8>(star.twinkle);
    const auto level = static_cast<UInt8>(static_cast<SInt32>(((4.0f - star.speed) + twinkle) * 4.0f));
    SetGrey(pixel, level / 31.0f);
    pixel->alpha = 1.0f;
    const float dest[4] = {star.y, star.x, star.y + side, star.x + side};
    DrawGLImageInRectF(pixel, dest);
  }
  SetGrey(pixel, 1.0f);
}

void DrawBossFlame(GLImage* flame, SInt16 cx, SInt16 cy, SInt16 w, SInt16 h, SInt8 flicker, UInt8 mirrored) {
  Rect r = {static_cast<SInt16>(cy - h / 2), static_cast<SInt16>(cx - w / 2), 0, 0};
  r.bottom = static_cast<SInt16>(r.top + h);
  r.right = static_cast<SInt16>(r.left + w);
  InsetRectBy(&r, static_cast<SInt16>(2 * flicker), static_cast<SInt16>(2 * flicker));
  flame->alpha = 1.0f - 0.25f * flicker;
  flame->flipHorizontally = mirrored;
  DrawGLImage(flame, &r);
  flame->flipHorizontally = 0;
  flame->alpha = 1.0f;
}

void DrawBoss() {
  Boss& boss = *gBoss;
  if (!boss.active || boss.dying) return;
  const SInt16 cx = CentreH(boss.rect);
  if (GLImage* flame = SetImage(bigFlameFRAME, 0)) {
    if (boss.kind == Boomerang) {
      const SInt16 w = static_cast<SInt16>(flame->imageWidth / 2);
      const SInt16 h = static_cast<SInt16>(flame->imageHeight / 2);
      const SInt16 cy = static_cast<SInt16>(boss.rect.top - 12);
      DrawBossFlame(flame, static_cast<SInt16>(cx - 28), cy, w, h, boss.flameFlicker, 1);
      DrawBossFlame(flame, static_cast<SInt16>(cx + 28), cy, w, h, boss.flameFlicker, 0);
    } else {
      DrawBossFlame(flame, cx, static_cast<SInt16>(boss.rect.top - 18), flame->imageWidth, flame->imageHeight,
                    boss.flameFlicker, 0);
    }
  }
  DrawFlashable(&gImages->boss, &boss.rect, boss);
}

void DrawPlayerShots() {
  UInt8& blink = GameFlags.objectSizes[kShotBlinkByte];
  blink ^= 1;
  for (int p = 0; p < kPlayerCount; ++p) {
    GLImage* image = SetImage(playerShotFRAME, p);
    if (!image) continue;
    for (Shot& shot : (*gPlayerShots)[p]) {
      if (!shot.active) continue;
      if (shot.flashFlag && blink) {
        DrawImageTintedWith(image, &shot.rect, kFlashWhite);
        shot.flashFlag = 0;
      } else {
        SetGrey(image, 1.0f);
        DrawGLImage(image, &shot.rect);
      }
    }
  }
}

void DrawPulsing(GLImage* image, const Object& object) {
  if (!image) return;
  const Rect r = Grown(object.rect, 2);
  const float grey[3] = {object.brightness, object.brightness, object.brightness};
  DrawImageTintedWith(image, &r, grey);
}

void DrawPods() {
  for (int i = kObjectCount - 1; i >= 0; --i) {
    const Object& pod = gPods[i];
    if (pod.active) DrawPulsing(SetImage(podFRAME, pod.frame), pod);
  }
}

void DrawPickUps() {
  for (int i = 0; i < kPickUpCount; ++i) {
    const Object& pow = (*gPickUps)[i];
    if (!pow.active) continue;
    if (pow.variant == 0) DrawPulsing(SetImage(shieldPowFRAME, pow.frame), pow);
    if (pow.variant == 1) DrawPulsing(SetImage(doublesPowFRAME, pow.frame), pow);
  }
}

void DrawRotated(GLImage* image, const Rect* rect, SInt16 angle) {
  if (!image) return;
  image->rotation = angle;
  DrawGLImage(image, rect);
  image->rotation = 0.0f;
}

void DrawWings() {
  for (int i = kObjectCount - 1; i >= 0; --i) {
    const Object& wing = gWings[i];
    if (!wing.active) continue;
    if (wing.destroyed == 0) {
      DrawRotated(SetImage(enemyWingFRAME, wing.direction * 4 + wing.frame), &wing.rect, wing.angle);
    } else if (wing.destroyed == 1) {
      DrawExplosion(&wing.rect, wing.frame);
    }
  }
}

void DrawEnemyShots() {
  constexpr float kBoltGlow[3] = {1.75f, 1.5f, 1.25f};
  for (Shot& shot : *gEnemyShots) {
    if (!shot.active) continue;
    if (!shot.isBolt) {
      if (GLImage* image = SetImage(enemyShotFRAME, 0)) DrawFlashable(image, &shot.rect, shot);
      continue;
    }
    GLImage* image = SetImage(plasmaFRAME, 5 * shot.boltKind + shot.frame);
    if (!image) continue;
    if (shot.frame == 0 && shot.boltKind < 3) {
      const float glow[3] = {kBoltGlow[shot.boltKind], kBoltGlow[shot.boltKind], kBoltGlow[shot.boltKind]};
      DrawImageTintedWith(image, &shot.rect, glow);
    } else {
      DrawGLImage(image, &shot.rect);
    }
  }
}

void DrawEnemyShip(int index) {
  Enemy& enemy = gEnemies[index];
  Rect flame = {static_cast<SInt16>(enemy.rect.top - 14), static_cast<SInt16>(enemy.rect.left + 1),
                static_cast<SInt16>(enemy.rect.bottom - 14), static_cast<SInt16>(enemy.rect.right + 1)};
  // A faster fall gives a longer flame.
  InsetRectBy(&flame, 0, static_cast<SInt16>(-static_cast<SInt32>(8.0f * enemy.vy)));
  DrawEngineFlame(&flame, GameColours[kColourLime], 1.0f - 0.5f * enemy.flameFlicker);
  if (GLImage* image = SetImage(enemyFRAME, enemy.frame)) DrawGLImage(image, &enemy.rect);
  if (enemy.firingFlash) {
    const SInt16 cx = CentreH(enemy.rect);
    enemy.muzzleRect = {enemy.rect.bottom, static_cast<SInt16>(cx - 8), static_cast<SInt16>(enemy.rect.bottom + 8),
                        static_cast<SInt16>(cx + 8)};
    if (GLImage* fire = SetImage(enemyFireFRAME, 0)) DrawGLImage(fire, &enemy.muzzleRect);
    enemy.firingFlash = 0;
  }
}

void DrawShieldedEnemy(const Enemy& enemy) {
  const SInt16 cx = CentreH(enemy.rect);
  const SInt16 cy = CentreV(enemy.rect);
  const Rect body = SquareOn(cx, cy, 32);
  if (GLImage* image = SetImage(enemyFRAME, 2)) DrawGLImage(image, &body);
  GLImage* shield = SetImage(enemyShieldFRAME, 0);
  if (enemy.frame == 3 || !shield) return;
  const Rect bubble = SquareOn(cx, cy, 72);
  if (enemy.frame == 0) {
    const float bright[3] = {1.75f, 1.75f, 1.75f};
    shield->alpha = 1.0f;
    DrawImageTintedWith(shield, &bubble, bright);
    SetGrey(shield, 1.0f);
  } else {
    shield->alpha = enemy.frame == 2 ? 0.75f : 1.0f;
    DrawGLImage(shield, &bubble);
    shield->alpha = 1.0f;
  }
}

void DrawEnemies() {
  for (int i = kEnemyCount - 1; i >= 0; --i) {
    Enemy& enemy = gEnemies[i];
    if (!enemy.active) continue;
    switch (enemy.state) {
      case EnemyBursting:
        DrawExplosion(&enemy.rect, enemy.frame);
        break;
      case EnemyFlying:
        DrawEnemyShip(i);
        break;
      case EnemySpinning:
        if (GLImage* image = SetImage(enemySpinFRAME, enemy.spinSide * 4 + enemy.frame)) {
          image->rotation = enemy.angle;
          DrawFlashable(image, &enemy.rect, enemy);
          image->rotation = 0.0f;
        }
        break;
      case EnemyShielded:
        DrawShieldedEnemy(enemy);
        break;
      default:
        break;
    }
  }
}

void DrawExplosionObjects() {
  for (const Object& explosion : *gExplosions) {
    if (explosion.active) DrawExplosion(&explosion.rect, explosion.frame);
  }
}

void DrawFlyingPlayer(Player& player, int p) {
  const Rect& r = player.rect;
  const float flame[4] = {r.top + 15 + player.vy * 10.0f, r.left + 0.5f, r.bottom + 15 - player.vy * 10.0f,
                          r.right + 0.5f};
  DrawEngineFlameF(flame, GameFlags.playerColour[p], 1.0f - 0.5f * player.flameToggle);
  if (GLImage* ship = SetImage(playerShipFRAME, 5 * p + player.frame)) {
    if (player.countdown % 2 == 0) {
      if (player.flashFlag) {
        DrawFlashable(ship, &r, player);
      } else {
        const float square[4] = {player.y - 16.0f, player.x - 16.0f, player.y + 16.0f, player.x + 16.0f};
        DrawGLImageInRectF(ship, square);
      }
    } else {
      SetGrey(ship, 0.5f);
      DrawGLImage(ship, &r);
      SetGrey(ship, 1.0f);
    }
  }
  GLImage* fire = SetImage(playerFireFRAME, p);
  if (fire && player.muzzleFlash >= 1) {
    const Rect left = {r.top, static_cast<SInt16>(r.left + 2), static_cast<SInt16>(r.top + 8),
                       static_cast<SInt16>(r.left + 10)};
    DrawGLImage(fire, &left);
  }
  if (fire && player.muzzleFlash >= 2) {
    const Rect right = {r.top, static_cast<SInt16>(r.right - 10), static_cast<SInt16>(r.top + 8),
                        static_cast<SInt16>(r.right - 2)};
    DrawGLImage(fire, &right);
  }
  player.muzzleFlash = 0;
}

void DrawExplodingPlayer(const Player& player) {
  if (player.explosionTicks < 8) {
    const Rect square = SquareOn(CentreH(player.rect), CentreV(player.rect),
                                 GameFlags.objectSizes[kSizeExplosion]);
    DrawExplosion(&square, static_cast<SInt8>(player.explosionTicks));
  }
  GLImage* shockwave = &gImages->shockwave;
  shockwave->alpha = player.scale;
  const FloatRect& e = player.explosionRect;
  const float dest[4] = {e.top, e.left, e.bottom, e.right};
  DrawGLImageInRectF(shockwave, dest);
  shockwave->alpha = 1.0f;
}

void DrawPlayers() {
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    Player& player = gPlayers[p];
    if (!player.active) continue;
    if (player.state == PlayerFlying) {
      DrawFlyingPlayer(player, p);
    } else if (player.state == PlayerExploding) {
      DrawExplodingPlayer(player);
    }
  }
}

void DrawSparks() {
  GLImage* image = &gImages->spark;
  const SInt16 side = image->imageWidth;
  for (int i = kSparkCount - 1; i >= 0; --i) {
    const Spark& spark = gSparks[i];
    if (!spark.inUse) continue;
    image->red = spark.colour[0];
    image->green = spark.colour[1];
    image->blue = spark.colour[2];
    image->alpha = spark.alpha;
    const Rect r = SquareOn(static_cast<SInt16>(spark.x / 256), static_cast<SInt16>(spark.y / 256), side);
    DrawGLImage(image, &r);
  }
  SetGrey(image, 1.0f);
  image->alpha = 1.0f;
}

void DrawFlashes() {
  GLImage* image = SetImage(glowFRAME, 0);
  if (!image) return;
  for (int i = kObjectCount - 1; i >= 0; --i) {
    const KVSprite& flash = gFlashes[i];
    if (!flash.active) continue;
    image->red = flash.colour.red;
    image->green = flash.colour.green;
    image->blue = flash.colour.blue;
    image->alpha = flash.scale;
    DrawGLImage(image, &flash.rect);
  }
  SetGrey(image, 1.0f);
  image->alpha = 1.0f;
}

// The banner's images, tinted in its grey level at its alpha.
void DrawBannerImage(GLImage* image, SInt32 top, SInt32 left, SInt32 bottom, SInt32 right, float grey, float alpha) {
  if (!image) return;
  const Rect r = {static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(bottom),
                  static_cast<SInt16>(right)};
  const float colour[3] = {grey, grey, grey};
  const float previous = image->alpha;
  image->alpha = alpha;
  DrawImageTintedWith(image, &r, colour);
  image->alpha = previous;
}

void DrawLevelBanner() {
  const KVSprite& banner = *gLevelBanner;
  const float k = banner.factor;
  const float grey = banner.brightness;
  const float alpha = banner.scale;
  const SInt32 h = static_cast<SInt32>(24.0f * k);
  const SInt32 top = static_cast<SInt32>(banner.y - h / 2);
  const SInt32 bottom = top + h;
  GLImage* wave = SetImage(waveDisplayFRAME, 0);
  const float waveW = wave ? wave->imageWidth : 0;
  // The boss in use picks the layout: the level kind turns to the next
  // level's as soon as a wave is cleared, well before its boss arrives.
  if (!gBoss->active) {
    const SInt32 tens = GameFlags.level / 10;
    const SInt32 ones = GameFlags.level % 10;
    float width = (waveW + 36.0f) * k;
    if (tens != 0) width += 24.0f * k;
    const SInt32 left = static_cast<SInt32>(banner.x - width / 2);
    const SInt32 right = left + static_cast<SInt32>(width);
    DrawBannerImage(wave, top, left, bottom, left + static_cast<SInt32>(waveW * k), grey, alpha);
    DrawBannerImage(SetImage(numberFRAME, ones), top, right - h, bottom, right, grey, alpha);
    if (tens != 0) DrawBannerImage(SetImage(numberFRAME, tens), top, right - 2 * h, bottom, right - h, grey, alpha);
  } else {
    GLImage* boss = SetImage(bossDisplayFRAME, 0);
    const float bossW = boss ? boss->imageWidth : 0;
    const float width = (waveW + 4.0f + bossW) * k;
    const SInt32 left = static_cast<SInt32>(banner.x - width / 2);
    const SInt32 right = left + static_cast<SInt32>(width);
    DrawBannerImage(boss, top, left, bottom, left + static_cast<SInt32>(bossW * k), grey, alpha);
    DrawBannerImage(wave, top, right - static_cast<SInt32>(waveW * k), bottom, right, grey, alpha);
  }
}

void DrawStatusDisplay() {
  GameImages& images = *gImages;
  const Rect strip = {gPlayFieldRect.bottom, ScreenRect.left, ScreenRect.bottom, ScreenRect.right};
  DrawGLImage(&images.fadeStrip, &strip);

  const SInt32 screenWidth = ScreenRect.right - ScreenRect.left;
  for (int p = 0; p < kPlayerCount; ++p) {
    if (GameFlags.joined[p]) continue;
    const SInt32 w = static_cast<SInt32>(images.pressFire.imageWidth / 1.6);
    const SInt32 h = static_cast<SInt32>(images.pressFire.imageHeight / 1.6);
    const SInt32 cx = static_cast<SInt32>((0.25 + 0.5 * p) * screenWidth);
    const SInt32 cy = CentreV(strip);
    const Rect r = {static_cast<SInt16>(cy - h / 2), static_cast<SInt16>(cx - w / 2),
                    static_cast<SInt16>(cy - h / 2 + h), static_cast<SInt16>(cx - w / 2 + w)};
    DrawGLImage(&images.pressFire, &r);
  }

  if (gBoss->active) {
    if (GLImage* image = SetImage(bossStatusFRAME, 0)) DrawStatusBar(&gBoss->healthBar, image);
  }

  for (int p = kPlayerCount - 1; p >= 0; --p) {
    Player& player = gPlayers[p];
    if (!player.panelShown) continue;
    GLImage* panel = &images.statusBar[p];
    const SInt32 w = static_cast<SInt32>(panel->imageWidth / 1.6);
    const SInt32 left = CentreH(player.panelRect) - w / 2;
    const Rect r = {player.panelRect.top, static_cast<SInt16>(left), player.panelRect.bottom,
                    static_cast<SInt16>(left + w)};
    DrawGLImage(panel, &r);
    DrawPlayerScore(static_cast<SInt8>(p));
    if (GLImage* image = SetImage(shieldStatusFRAME, 0)) DrawStatusBar(&player.shieldBar, image);
    if (GLImage* image = SetImage(pelletFRAME, 0)) DrawStatusBar(&player.doublesBar, image);
    if (GLImage* image = SetImage(pelletFRAME, 1)) DrawStatusBar(&player.podBar, image);
  }

  if (gLevelBanner->active) DrawLevelBanner();
}

}  // namespace

void DrawZadados() {
  for (int i = kZadadoCount - 1; i >= 0; --i) {
    Zadado& meteor = gZadados[i];
    if (!meteor.active) continue;
    if (meteor.destroyed) {
      DrawExplosion(&meteor.rect, meteor.frame);
      continue;
    }
    GLImage* image = SetImage(zadadoFRAME, meteor.frame);
    if (!image) continue;
    image->rotation = meteor.angle;
    SetGrey(image, meteor.brightness);
    DrawFlashable(image, &meteor.rect, meteor);
    image->rotation = 0.0f;
    SetGrey(image, 1.0f);
  }
}

void DrawImageTintedWith(GLImage* image, const Rect* rect, const float* colour) {
  const float red = image->red;
  const float green = image->green;
  const float blue = image->blue;
  image->red = colour[0];
  image->green = colour[1];
  image->blue = colour[2];
  DrawGLImageTinted(image, rect);
  image->red = red;
  image->green = green;
  image->blue = blue;
}

namespace {

// The flame image tinted and faded for one draw, then back to plain white.
template <typename Draw>
void DrawFlameWith(const GameColor& colour, float alpha, Draw draw) {
  GLImage* image = SetImage(engineFRAME, 0);
  if (!image) return;
  image->red = colour.red;
  image->green = colour.green;
  image->blue = colour.blue;
  image->alpha = alpha;
  draw(image);
  SetGrey(image, 1.0f);
  image->alpha = 1.0f;
}

}  // namespace

void DrawEngineFlame(const Rect* rect, const GameColor& colour, float alpha) {
  DrawFlameWith(colour, alpha, [rect](GLImage* image) { DrawGLImage(image, rect); });
}

void DrawEngineFlameF(const float* rect, const GameColor& colour, float alpha) {
  DrawFlameWith(colour, alpha, [rect](GLImage* image) { DrawGLImageInRectF(image, rect); });
}

void DrawExplosion(const Rect* rect, SInt8 frame) {
  GLImage* image = SetImage(explosionFRAME, 0);
  if (!image) return;
  // A float: an integer 32 / 40 would be 0 and draw nothing.
  const float s = (rect->right - rect->left) / 40.0f;
  const float shrink = (10 - frame) * 0.125f * s;
  const float f = shrink < s ? shrink : s;
  const SInt16 w = static_cast<SInt16>(image->imageWidth * f);
  const SInt16 h = static_cast<SInt16>(image->imageHeight * f);
  const SInt16 left = static_cast<SInt16>(CentreH(*rect) - w / 2);
  const SInt16 top = static_cast<SInt16>(CentreV(*rect) - h / 2);
  const Rect dest = {top, left, static_cast<SInt16>(top + h), static_cast<SInt16>(left + w)};
  if (frame == 0) {
    const float white[3] = {1.75f, 1.75f, 1.75f};
    image->rotation = 0.0f;
    image->alpha = 1.0f;
    DrawImageTintedWith(image, &dest, white);
  } else {
    image->rotation = frame * 90.0f;
    image->alpha = (8 - frame) * 0.125f;
    DrawGLImage(image, &dest);
  }
  image->rotation = 0.0f;
  image->alpha = 1.0f;
}

void DrawStatusBar(const StatusBar* bar, GLImage* image) {
  UInt32 count = bar->count;
  // Arrays not (yet) made that long hold no segments to draw.
  if (count > bar->rect.count) count = bar->rect.count;
  if (count > bar->glow.count) count = bar->glow.count;
  if (count > bar->on.count) count = bar->on.count;
  for (UInt32 i = 0; i < count; ++i) {
    const SInt8 glow = static_cast<SInt8>(bar->glow.data[i]);
    float b;
    if (bar->on.data[i] == 0) {
      b = glow < 10 ? 0.35f : glow / 24.0f;
    } else {
      b = glow > 23 ? glow / 24.0f : 1.0f;
    }
    Rect r = bar->rect.data[i];
    if (b > 1.0f) {
      InsetRectBy(&r, static_cast<SInt16>(2.0f * (b - 1.0f)), static_cast<SInt16>(-4.0f * (b - 1.0f)));
    }
    const float grey[3] = {b, b, b};
    DrawImageTintedWith(image, &r, grey);
  }
}

void DrawPlayerScore(SInt8 player) {
  char text[16];
  const SInt32 score = GameFlags.score[player];
  const int n = std::snprintf(text, sizeof text, "%d", score);
  const Rect& panel = gPlayers[player].panelRect;
  const float alpha = score != 0 ? 1.0f : 0.25f;
  const float shadow[3] = {0.0f, 0.0f, 0.0f};
  const float gold[3] = {0.75f, 0.55f, 0.0f};
  for (int pass = 0; pass < 2; ++pass) {
    const SInt16 shift = pass == 0 ? 1 : 0;
    const float* colour = pass == 0 ? shadow : gold;
    for (int i = 0; i < n; ++i) {
      GLImage* digit = SetImage(numberFRAME, text[i] - '0');
      if (!digit) continue;
      const SInt16 left = static_cast<SInt16>(panel.left - 9 * n + 102 + 9 * i + shift);
      const SInt16 top = static_cast<SInt16>(panel.top + 7 + shift);
      const Rect box = {top, left, static_cast<SInt16>(top + 9), static_cast<SInt16>(left + 9)};
      const float red = digit->red;
      const float green = digit->green;
      const float blue = digit->blue;
      const float previous = digit->alpha;
      digit->red = colour[0];
      digit->green = colour[1];
      digit->blue = colour[2];
      digit->alpha = alpha;
      DrawGLImage(digit, &box);
      digit->red = red;
      digit->green = green;
      digit->blue = blue;
      digit->alpha = previous;
    }
  }
}

void DrawGameObjects() {
  if (!GameFlags.gameOn) return;
  DrawGLImage(&gImages->background, &ScreenRect);
  DrawStars();
  DrawBoss();
  DrawPlayerShots();
  DrawPods();
  DrawPickUps();
  DrawWings();
  DrawEnemyShots();
  DrawEnemies();
  DrawZadados();
  DrawExplosionObjects();
  DrawPlayers();
  DrawSparks();
  DrawFlashes();
  DrawStatusDisplay();
}

void DrawGameFrame() {
  if (!LogicalScreenWorld) return;
  BeginFrameGL(LogicalScreenWorld);
  DrawGameObjects();
  DrawScreens();

  KVButton& button = *FullScreenButton;
  button.titleImage.alpha = FullScreenButtonAlpha;
  button.Draw();

  // The game's own cursor while the system's is hidden over the screen.
  if (CursorWanted && !SystemCursorShown && GameCursor.image) DrawGLImage(GameCursor.image, &GameCursor.dest);

  if (gOverlaySprite->active) {
    GLImage* pixel = &gImages->pixel;
    SetGrey(pixel, 1.0f);
    pixel->alpha = gOverlaySprite->scale;
    DrawGLImage(pixel, &ScreenRect);
    pixel->alpha = 1.0f;
  }
  EndFrameGL();
}

// Not drawn by the game ---------------------------------------------------------

void DrawSprite(KVSprite* sprite) {
  Frame* frame = GetFrameAt(&sprite->frameArray, sprite->frame);
  if (frame) DrawGLImage(&frame->image, &sprite->rect);
}

void DrawPauseButtons() {
  GameImages& images = *gImages;
  const Rect pause = {8, 8, 40, 40};
  images.pause.alpha = GameFlags.paused ? 1.0f : 0.25f;
  DrawGLImage(&images.pause, &pause);
  if (GameFlags.paused) {
    const Rect exit = {8, static_cast<SInt16>(ScreenRect.right - 40), 40, static_cast<SInt16>(ScreenRect.right - 8)};
    DrawGLImage(&images.exit, &exit);
  }
}

void ResetSpareRect() { SpareRect = Rect{-1, -1, -1, -1}; }
