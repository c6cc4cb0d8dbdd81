// DrawGameFrame of a full scene at 1024 x 768 on SDL's offscreen driver,
// against the 16,667 us step: two ships with flames, 8 meteors, 16 player
// shots, 8 enemies with lasers, sparks, flashes, explosions, the stars, both
// panels with their bars and the banner.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "DrawGame.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "Levels.h"
#include "MainWindow.h"
#include "Players.h"
#include "SpriteMotion.h"

namespace {

constexpr double kStepMicroseconds = 16667.0;

Rect Square(SInt16 top, SInt16 left, SInt16 side) {
  return Rect{top, left, static_cast<SInt16>(top + side), static_cast<SInt16>(left + side)};
}

void BuildScene() {
  GameFlags.gameOn = 1;
  GameFlags.level = 12;
  GameFlags.levelKind = kLevelWave;
  SetupGame();
  for (SInt8 p = 0; p < kPlayerCount; ++p) {
    ResetPlayer(p);
    GameFlags.joined[p] = 1;
    Player& ship = gPlayers[p];
    ship.panelShown = 1;
    ship.muzzleFlash = 2;
    GameFlags.score[p] = 1234567;
    ship.shieldBar.target = 12;
    for (int i = 0; i < kShotsPerPlayer; ++i) {
      Shot& shot = (*gPlayerShots)[p][i];
      shot.rect = Rect{static_cast<SInt16>(60 + 40 * i), static_cast<SInt16>(200 + 240 * p), 0, 0};
      shot.rect.bottom = static_cast<SInt16>(shot.rect.top + 24);
      shot.rect.right = static_cast<SInt16>(shot.rect.left + 8);
      shot.active = 1;
    }
  }
  for (int i = 0; i < kZadadoCount; ++i) {
    Zadado& z = gZadados[i];
    z.rect = Square(static_cast<SInt16>(40 + 30 * i), static_cast<SInt16>(30 + 70 * i), 32);
    z.frame = static_cast<SInt8>(i * 4);
    z.angle = static_cast<SInt16>(i * 40);
    z.brightness = 1.0f;
    z.active = 1;
  }
  for (int i = 0; i < kEnemyCount; ++i) {
    Enemy& e = gEnemies[i];
    e.rect = Square(static_cast<SInt16>(20 + 10 * i), static_cast<SInt16>(20 + 75 * i), 32);
    e.state = i % 4 == 3 ? EnemyShielded : EnemyFlying;
    e.frame = 2;
    e.vy = 1.0f;
    e.active = 1;
    Shot& laser = (*gEnemyShots)[i];
    laser.rect = Rect{static_cast<SInt16>(80 + 10 * i), static_cast<SInt16>(28 + 75 * i), 0, 0};
    laser.rect.bottom = static_cast<SInt16>(laser.rect.top + 24);
    laser.rect.right = static_cast<SInt16>(laser.rect.left + 16);
    laser.active = 1;
    Object& explosion = (*gExplosions)[i];
    explosion.rect = Square(static_cast<SInt16>(250 + 5 * i), static_cast<SInt16>(40 + 70 * i), 40);
    explosion.frame = static_cast<SInt8>(i % 8);
    explosion.active = 1;
    KVSprite& flash = gFlashes[i];
    flash.rect = Square(static_cast<SInt16>(300 + 5 * i), static_cast<SInt16>(40 + 70 * i), 48);
    flash.scale = 0.25f;
    flash.active = 1;
  }
  for (int i = 0; i < kSparkCount; ++i) {
    Spark& s = gSparks[i];
    s.x = (20 + (i * 37) % 600) * 256;
    s.y = (20 + (i * 53) % 420) * 256;
    s.colour[0] = s.colour[1] = s.colour[2] = 1.0f;
    s.alpha = 1.0f;
    s.inUse = 1;
  }
  ShowLevelBanner();
  SetFadeClear();
}

void BM_DrawGameFrame(benchmark::State& state) {
  gametest::GameDriver driver(99);
  SetWindowContentSize(1024, 768);
  BuildScene();
  double total = 0;
  for (auto _ : state) {
    // The drawers clear one-shot flags; the scene stays the same otherwise.
    const auto start = std::chrono::steady_clock::now();
    DrawGameFrame();
    const auto end = std::chrono::steady_clock::now();
    total += std::chrono::duration<double, std::micro>(end - start).count();
  }
  const double perFrame = state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
  state.counters["us_per_frame"] = perFrame;
  state.counters["ratio_to_step"] = perFrame > 0 ? kStepMicroseconds / perFrame : 0;
}
BENCHMARK(BM_DrawGameFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
