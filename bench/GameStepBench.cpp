// One game step of a full field against the 16,667 us step: two ships, 8
// enemies, 8 meteors, the boss, 16 player shots, 8 enemy shots, 256 sparks
// and 8 each of wings, pods, explosions and flashes. Whatever the step used
// up is put back before the next one, so every timed step has the whole
// field; only DoGameStep itself is timed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>

#include "AudioPrefs.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "GameStep.h"
#include "Levels.h"
#include "MainLoop.h"
#include "Players.h"
#include "SpriteMotion.h"

namespace {

constexpr double kStepMicroseconds = 16667.0;
// t = 2: the boss's weapons and the enemies' lasers and shields are live.
constexpr SInt8 kLevel = 12;
constexpr SInt16 kBossWidth = 192;
constexpr SInt16 kBossHeight = 128;

const GameColor kOrange = {1.0f, 0.75f, 0.0f};

void QuietSink(const GameSoundRequest&, void*) {}

Rect Square(SInt16 h, SInt16 v, SInt16 side) {
  const SInt16 top = static_cast<SInt16>(v - side / 2);
  const SInt16 left = static_cast<SInt16>(h - side / 2);
  return {top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
}

void Place(KVSprite& sprite, const Rect& r) {
  sprite.rect = sprite.oldRect = sprite.hotRect = r;
  CenterSpritePosition(&sprite);
}

// The program loads the trig tables from its resources; the bench runs
// outside the bundle, so it makes the same amplitude-256 tables itself.
void MakeTrigTables() {
  static SInt32 cosines[360];
  static SInt32 sines[360];
  for (int a = 0; a < 360; ++a) {
    const double radians = a * 3.14159265358979323846 / 180.0;
    cosines[a] = static_cast<SInt32>(std::lround(std::cos(radians) * 256.0));
    sines[a] = static_cast<SInt32>(std::lround(std::sin(radians) * 256.0));
  }
  if (!CosTable) CosTable = cosines;
  if (!SinTable) SinTable = sines;
}

void BuildBoss() {
  Boss& boss = *gBoss;
  const Rect& field = gPlayFieldRect;
  const SInt16 centre = static_cast<SInt16>((field.left + field.right) / 2);
  Place(boss, Square(centre, static_cast<SInt16>(field.bottom * 2 / 5), kBossWidth));
  boss.rect.bottom = static_cast<SInt16>(boss.rect.top + kBossHeight);
  CenterSpritePosition(&boss);
  boss.kind = Boomerang;
  boss.targetVX = 1.33336f;
  boss.targetVY = -0.66668f;
  const UInt32 n = GameFlags.bossValueD;
  StatusBar& bar = boss.healthBar;
  bar.rect.Reinit(n);
  bar.glow.Reinit(n);
  bar.on.Reinit(n);
  bar.count = n;
  for (UInt32 i = 0; i < n; ++i) {
    const SInt16 left = static_cast<SInt16>(centre - 4 * static_cast<SInt32>(n) + 8 * static_cast<SInt32>(i));
    bar.rect.data[i] = {static_cast<SInt16>(field.top + 4), left, static_cast<SInt16>(field.top + 12),
                        static_cast<SInt16>(left + 8)};
  }
}

void BuildWorld() {
  InitGameGlobals(kGameGlobalsConstruct);
  InitGameSounds();
  InitGameFrameSets();
  SetGameColors();
  MakeTrigTables();
  SetGameSoundSink(&QuietSink, nullptr);
  ScreenRect = {0, 0, 480, 640};
  gAudioPrefs.musicOn = 1;
  SetupGame();
  GameFlags.level = kLevel;
  StartLevel(kLevelWave);
  GameFlags.gameOn = 1;
  GameFlags.respawnDone = 1;
  GameFlags.enemyCount[0] = kEnemyCount;
  for (SInt8 p = 0; p < kPlayerCount; ++p) {
    ResetPlayer(p);
    GameFlags.joined[p] = 1;
  }
  BuildBoss();
  SetFadeClear();
}

void RefillShip(SInt8 p, unsigned long step) {
  Player& ship = gPlayers[p];
  if (!ship.active || ship.state != PlayerFlying) {
    ResetPlayer(p);
    ship.countdown = 0;  // open to every collision at once
  }
  ship.shieldBar.target = 12;
  std::memset(PlayerKeyFlags[p], 0, sizeof PlayerKeyFlags[p]);
  const bool leftward = (step / 60 + static_cast<unsigned long>(p)) % 2 == 0;
  PlayerKeyFlags[p][leftward ? kKeyLeft : kKeyRight] = 1;
  PlayerKeyFlags[p][(step / 45) % 2 ? kKeyUp : kKeyDown] = 1;
}

void RefillBoss() {
  Boss& boss = *gBoss;
  boss.active = 1;
  boss.dying = 0;
  boss.healthBar.target = static_cast<SInt8>(boss.healthBar.count);
  gOverlaySprite->active = 0;
  GameFlags.bossBeaten = 0;
  GameFlags.slowLevel = GameFlags.slowTarget = GameFlags.slowCounter = GameFlags.frameDivider = 0;
}

void RefillEnemy(int i) {
  Enemy& e = gEnemies[i];
  if (e.active) return;
  Place(e, Square(static_cast<SInt16>(40 + 75 * i), static_cast<SInt16>(70 + 25 * (i % 3)), 32));
  e.vx = e.targetVX = 0;
  e.vy = e.targetVY = 0.33334f;
  e.frame = e.targetFrame = 2;
  e.burstCount = 0;
  e.state = EnemyFlying;
  e.active = 1;
  ++GameFlags.launchedEnemies;
}

void RefillMeteor(int i) {
  Zadado& z = gZadados[i];
  if (z.active && !z.destroyed) return;
  const SInt8 size = static_cast<SInt8>(i % 3);
  Place(z, Square(static_cast<SInt16>(56 + 70 * i), static_cast<SInt16>(180 + 20 * (i % 4)),
                  GameFlags.objectSizes[kSizeMeteor + size]));
  z.size = size;
  z.hits = 1;
  z.destroyed = 0;
  z.frame = 0;
  z.vx = (i & 1) ? 0.33334f : -0.33334f;
  z.vy = 0.66668f;
  z.spinRate = 1.33336f;
  z.active = 1;
}

void RefillPlayerShot(int player, int i) {
  Shot& shot = (*gPlayerShots)[player][i];
  if (shot.active) return;
  const Rect& ship = gPlayers[player].rect;
  const SInt16 top = static_cast<SInt16>(ship.top - 16 - 40 * i);
  const SInt16 left = static_cast<SInt16>((i & 1) ? ship.right - 10 : ship.left + 2);
  Place(shot, {top, left, static_cast<SInt16>(top + 24), static_cast<SInt16>(left + 8)});
  shot.vx = 0;
  shot.vy = -4.00008f;
  shot.direction = 0;
  shot.piercing = static_cast<UInt8>(i == 0);
  shot.active = 1;
}

// Slots 0..3 lasers under their enemies, 4..7 bolts of the three kinds.
void RefillEnemyShot(int i) {
  Shot& shot = (*gEnemyShots)[i];
  if (shot.active) return;
  shot.direction = 1;
  shot.flashFlag = 0;
  shot.frame = 0;
  if (i < 4) {
    const Rect& enemy = gEnemies[i].rect;
    const SInt16 h = static_cast<SInt16>((enemy.left + enemy.right) / 2);
    Place(shot, {static_cast<SInt16>(enemy.bottom - 8), static_cast<SInt16>(h - 8),
                 static_cast<SInt16>(enemy.bottom + 16), static_cast<SInt16>(h + 8)});
    shot.vx = 0;
    shot.vy = 4.00008f;
    shot.isBolt = 0;
    shot.boltKind = 0;
  } else {
    const UInt8 kind = static_cast<UInt8>((i - 4) % 3);
    Place(shot, Square(static_cast<SInt16>(100 + 120 * (i - 4)), 160, kind == 2 ? 32 : 24));
    shot.vx = (i & 1) ? 0.66668f : -0.66668f;
    shot.vy = 1.00002f;
    shot.targetVX = shot.vx;
    shot.targetVY = shot.vy;
    shot.isBolt = 1;
    shot.boltKind = kind;
    if (kind == 2) shot.flashFlag = 2;
  }
  shot.active = 1;
}

void RefillSpark(int i) {
  Spark& s = gSparks[i];
  if (s.inUse) return;
  s.x = (20 + (i * 37) % 600) * 256;
  s.y = (20 + (i * 53) % 400) * 256;
  s.speed = 256 + static_cast<UInt32>(i * 29) % 4096;
  s.angle = static_cast<UInt16>((i * 7) % 360);
  s.keep = 0;
  s.spread = 16;
  s.fades = 1;
  const float orange[3] = {kOrange.red, kOrange.green, kOrange.blue};
  for (int c = 0; c < 3; ++c) s.colour[c] = s.baseColour[c] = orange[c];
  s.alpha = 1.0f;
  s.white = 1.0f;
  s.inUse = 1;
}

void RefillWing(int i) {
  Object& wing = gWings[i];
  if (wing.active) return;
  Place(wing, Square(static_cast<SInt16>(60 + 70 * i), 230, GameFlags.objectSizes[kSizeWing]));
  wing.vx = (i & 1) ? 0.66668f : -0.66668f;
  wing.vy = 0.33334f;
  wing.spinRate = (i & 1) ? 9.0f : -9.0f;
  wing.direction = static_cast<UInt8>(i & 1);
  wing.destroyed = 0;
  wing.frame = 1;
  wing.angle = 0;
  wing.active = 1;
}

void RefillPod(int i) {
  Object& pod = gPods[i];
  if (pod.active) return;
  Place(pod, Square(static_cast<SInt16>(50 + 72 * i), 280, 16));
  pod.vx = 0;
  pod.vy = 0.66668f;
  pod.frame = 0;
  pod.pulseDirection = 1;
  pod.brightness = 1.0f;
  pod.active = 1;
}

void RefillExplosion(int i) {
  Object& explosion = (*gExplosions)[i];
  if (explosion.active) return;
  const SInt8 kind = static_cast<SInt8>(i % 4);
  Place(explosion, Square(static_cast<SInt16>(45 + 75 * i), 320, GameFlags.objectSizes[kSizeExplosion + kind]));
  explosion.kind = kind;
  explosion.vx = 0;
  explosion.vy = -0.66668f;
  explosion.frame = 0;
  explosion.active = 1;
}

void RefillFlash(int i) {
  KVSprite& flash = gFlashes[i];
  if (flash.active) return;
  Place(flash, Square(static_cast<SInt16>(45 + 75 * i), 360, 32));
  flash.colour = kOrange;
  flash.scale = 0.25f;  // a flash's alpha
  flash.active = 1;
}

void RefillField(unsigned long step) {
  for (SInt8 p = 0; p < kPlayerCount; ++p) RefillShip(p, step);
  RefillBoss();
  for (int i = 0; i < kEnemyCount; ++i) RefillEnemy(i);
  for (int i = 0; i < kZadadoCount; ++i) RefillMeteor(i);
  for (int p = 0; p < kPlayerCount; ++p)
    for (int i = 0; i < kShotsPerPlayer; ++i) RefillPlayerShot(p, i);
  for (int i = 0; i < kObjectCount; ++i) {
    RefillEnemyShot(i);
    RefillWing(i);
    RefillPod(i);
    RefillExplosion(i);
    RefillFlash(i);
  }
  for (int i = 0; i < kSparkCount; ++i) RefillSpark(i);
  GameFlags.waveBudget = 200;
}

// Objects in use: 331 when the whole field is there.
int CountInUse() {
  int n = gBoss->active ? 1 : 0;
  for (int p = 0; p < kPlayerCount; ++p) {
    n += gPlayers[p].active ? 1 : 0;
    for (const Shot& shot : (*gPlayerShots)[p]) n += shot.active ? 1 : 0;
  }
  for (int i = 0; i < kObjectCount; ++i)
    n += gEnemies[i].active + gZadados[i].active + (*gEnemyShots)[i].active + gWings[i].active + gPods[i].active +
         (*gExplosions)[i].active + gFlashes[i].active;
  for (int i = 0; i < kSparkCount; ++i) n += gSparks[i].inUse ? 1 : 0;
  return n;
}

void GameStep(benchmark::State& state) {
  static bool built = false;
  if (!built) {
    BuildWorld();
    built = true;
  }
  unsigned long step = 0;
  double micros = 0;
  double inUse = 0;
  for (auto _ : state) {
    RefillField(step);
    inUse += CountInUse();
    const auto start = std::chrono::steady_clock::now();
    DoGameStep();
    const auto end = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(end - start).count();
    state.SetIterationTime(elapsed);
    micros += elapsed * 1e6;
    AnimationPhase = static_cast<float>((step + 1) % 3);
    ++step;
    benchmark::DoNotOptimize(GameFlags.score[0]);
  }
  if (state.iterations() > 0) {
    const double n = static_cast<double>(state.iterations());
    state.counters["realtime_ratio"] = kStepMicroseconds / (micros / n);
    state.counters["in_use"] = inUse / n;
  }
  // Points prove the shots met what they were fired at.
  state.counters["points"] = static_cast<double>(GameFlags.score[0] + GameFlags.score[1]);
}
BENCHMARK(GameStep)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
