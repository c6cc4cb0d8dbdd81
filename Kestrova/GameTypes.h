// The game's class tree: KVSprite on the engine sprite and the records that
// derive from it, the status bars and the plain spark and star records.
#pragma once

#include "MacTypes.h"
#include "NamedArray.h"
#include "Sprite.h"

// A colour of three floats (red, green, blue).
struct GameColor {
  float red;
  float green;
  float blue;
};

// Top, left, bottom, right in floats: rects that grow by fractions.
struct FloatRect {
  float top;
  float left;
  float bottom;
  float right;
};

// A segmented bar: the players' shield, doubles and pod bars and the boss's
// health bar. Other code sets `target`; the bar animation walks `shown` to it.
struct StatusBar {
  UInt32 count = 0;       // segments, the bar's maximum
  NamedArray<Rect> rect;  // "rect": one 8 x 8 rect per segment
  NamedArray<UInt8> glow; // "glow": the level a segment is drawn in
  NamedArray<UInt8> on;   // "on": 1 lit, 0 unlit
  SInt8 shown = 0;        // lit count
  SInt8 target = 0;       // current value (a shield, the boss's hit points)
};

// The game's sprite. The engine record keeps the rect, the in-use flag
// (`active`) and the frame set; the game keeps its own frame index, angle,
// previous rect and hot rect beside them.
class KVSprite : public SpriteClass {
 public:
  SInt8 frame = 0;
  SInt16 angle = 0;  // degrees, 0..359
  Rect oldRect = {0, 0, 0, 0};
  Rect hotRect = {0, 0, 0, 0};

  float x = 0;
  float y = 0;
  float vx = 0;
  float vy = 0;
  float targetVX = 0;
  float targetVY = 0;
  UInt8 flashFlag = 0;  // the drawer tints once with flashColour, then clears it
  GameColor colour = {1.0f, 1.0f, 1.0f};
  float flashColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float scale = 1.0f;       // the exploding ship's shrink; a flash sprite's alpha
  float brightness = 1.0f;  // grey level (pods, pick-ups, meteors)
  float spinRate = 0;
  float factor = 0;         // the banner's digit scale; 1.0 for a ship
  UInt8 pulseDirection = 0; // 1 rising, 255 falling
};

enum : UInt8 { PlayerFlying = 0, PlayerExploding = 1 };

class Player : public KVSprite {
 public:
  Player() { factor = 1.0f; }

  FloatRect explosionRect = {0, 0, 0, 0};
  SInt8 targetFrame = 0;  // 0..4, 2 level
  UInt8 countdown = 0;    // invulnerability ticks
  UInt8 state = PlayerFlying;
  UInt8 movingH = 0;
  UInt8 movingV = 0;
  UInt8 gunSide[2] = {0, 0};  // 0 left gun, 1 right gun
  UInt8 respawn = 0;
  UInt8 muzzleFlash = 0;      // 0 none, 1 single, 2 doubled
  UInt8 flameToggle = 0;
  UInt16 explosionTicks = 0;
  Rect panelRect = {0, 0, 0, 0};
  UInt8 panelShown = 0;
  UInt8 panelSliding = 0;
  SInt8 panelSlideStep = 0;
  StatusBar shieldBar;   // 12 segments; its target is the shield
  StatusBar doublesBar;  // 18 segments; doubled shots left
  StatusBar podBar;      // 12 segments
};

enum : SInt32 { EnemyFlying = 0, EnemyBursting = 1, EnemySpinning = 2, EnemyShielded = 3 };

class Enemy : public KVSprite {
 public:
  Rect muzzleRect = {0, 0, 0, 0};
  SInt8 targetFrame = 0;
  SInt8 burstCount = 0;
  SInt8 shieldTimer = 0;
  UInt8 flameFlicker = 0;
  UInt8 firingFlash = 0;
  UInt8 spinSide = 0;
  SInt32 state = EnemyFlying;
  // The enemy's own in-play flag; it hides the sprite's in-use flag, which
  // enemies do not use.
  UInt8 active = 0;
};

// Player shots and enemy shots (lasers and bolts).
class Shot : public KVSprite {
 public:
  UInt8 direction = 0;  // 0 travelling up, 1 down
  UInt8 piercing = 0;
  UInt8 isBolt = 0;     // 0 laser, 1 bolt
  UInt8 boltKind = 0;   // 0..2
  UInt8 extra = 0;      // cleared when a player's shot is placed
};

enum : UInt8 { Boomerang = 0, Blimp = 1 };

class Boss : public KVSprite {
 public:
  UInt8 dying = 0;
  SInt8 countdown = 0;
  UInt8 kind = Boomerang;
  SInt8 flameFlicker = 0;
  Rect blastRect = {0, 0, 0, 0};
  SInt8 blastLevel = 0;
  StatusBar healthBar;
  UInt8 blink = 0;  // toggled every tick while in use; nothing draws it
};

// A meteor. Its spin rate and brightness are the sprite's own.
class Zadado : public KVSprite {
 public:
  UInt8 destroyed = 0;
  SInt8 size = 0;  // 0 the largest .. 2
  UInt8 hits = 0;  // 255 once burst
  UInt8 spinForward = 0;
};

// Wings, explosions, pods and pick-ups.
class Object : public KVSprite {
 public:
  UInt8 destroyed = 0;
  SInt8 kind = 0;
  UInt8 variant = 0;  // pick-ups: 0 shield, 1 doubles
  UInt8 direction = 0;
};

struct Spark {
  SInt32 x;  // 1/256 pixel
  SInt32 y;
  UInt32 speed;
  UInt16 angle;
  UInt8 keep;
  UInt8 spread;
  UInt8 inUse;
  UInt8 fades;
  float colour[3];
  float baseColour[3];
  float alpha;
  float white;
};

struct Star {
  float x;
  float y;
  float speed;
  UInt8 twinkle;    // 0..7
  UInt8 direction;  // 1 brightening
  UInt8 layer;
  UInt16 angle;
};

// Indexes into GameFlags.objectSizes.
enum : UInt8 {
  kSizeExplosion = 0,      // + kind 0..3: 40, 32, 24, 40
  kSizeShieldedEnemy = 3,  // 40
  kShotBlinkByte = 4,      // the player-shot drawer's blink bit, no size
  kSizeWing = 5,           // 24
  kSizeMeteor = 6,         // + size 0..2: 32, 24, 16
  kSizeEnemy = 9,          // 32
};

// Player key flag indexes, also the order of KeyBindings.
enum : UInt8 { kKeyLeft = 0, kKeyRight = 1, kKeyUp = 2, kKeyDown = 3, kKeyFire = 4 };

// Level kinds.
enum : SInt8 { kLevelWave = -1, kLevelBoomerang = 0, kLevelBlimp = 1 };

// The block of game values; everything 0 at start but the player colours.
struct GameFlagsBlock {
  UInt8 slowCounter;
  UInt8 slowTarget;
  UInt8 slowLevel;
  UInt8 frameDivider;
  GameColor playerColour[2];  // the players' own (flame) colours
  SInt32 score[2];
  UInt16 waveEndCountdown;
  UInt16 gameOverDelay;
  // The nine difficulty values, stored clamped by StartLevel.
  UInt16 meteorValue;
  UInt16 enemyValueA;
  UInt16 enemyValueB;
  UInt16 adjustValue;
  UInt16 pickUpValue;
  UInt16 bossValueA;
  UInt16 bossValueB;
  UInt16 bossValueC;
  UInt16 bossValueD;
  UInt8 wavePending;
  UInt8 enemyCount[2];  // enemies at once; the meteor count
  UInt8 launchedEnemies;
  UInt8 waveBudget;
  SInt8 levelKind;
  SInt8 level;
  UInt8 objectSizes[10];
  UInt8 quitQuestionOpen;  // a count: the about box adds to it
  UInt8 sparkFlag;
  UInt8 bossBeaten;
  UInt8 gameOver;
  UInt8 respawnDone;
  UInt8 waveCleared;
  UInt8 joined[2];
  UInt8 fireLatch[2];
  UInt8 scoringPlayer;
  UInt8 paused;
  UInt8 gameOn;
  // The meteor shower's countdown on the 20 Hz beat: 50..26 warning,
  // 25..1 launching, 0 idle.
  UInt8 showerCountdown;
};
