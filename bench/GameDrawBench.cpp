// DrawGameFrame of a full scene at 1024 x 768 on SDL's offscreen driver,
// against the 16,667 us step: two ships with flames, 8 meteors, 16 player
// shots, 8 enemies with lasers, sparks, flashes, explosions, the stars, both
// panels with their bars and the banner. Then, in the same run, the frame of
// the main screen (the menu between games) at the same size, against the
// game's frame (game_ratio; at most 1 is the aim). Both also at 1280 x 1024,
// a full screen of the machines the game was measured on. Each frame is finished
// (glFinish) inside its timing, so the renderer's work is counted. Mesa's
// software renderer rasterises on this thread unless LP_NUM_THREADS is set:
// then this thread's processor time (cpu_game_ratio) is all of the frame's
// work, and a loaded machine disturbs it less than the wall clock.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>

#include "DrawGame.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "Levels.h"
#include "MainWindow.h"
#include "Players.h"
#include "Screens/MainScreen.h"
#include "ScreenList.h"
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

const bool gRasterOnThisThread = setenv("LP_NUM_THREADS", "0", 0) == 0;

double ThreadCpuMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Wall and processor microseconds per frame.
struct FrameCost {
  double wall = 0;
  double cpu = 0;
};

// The game's frame by window width, once BM_DrawGameFrame has run.
std::map<int, FrameCost> gGameFrames;

// DrawGameFrame over and over, each frame finished by the renderer.
FrameCost TimeFrames(benchmark::State& state) {
  double wall = 0;
  double cpu = 0;
  for (auto _ : state) {
    // The drawers clear one-shot flags; the scene stays the same otherwise.
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuMicroseconds();
    DrawGameFrame();
    glFinish();
    cpu += ThreadCpuMicroseconds() - cpuStart;
    wall += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  }
  const double n = static_cast<double>(state.iterations());
  FrameCost cost;
  if (n > 0) cost = FrameCost{wall / n, cpu / n};
  state.counters["us_per_frame"] = cost.wall;
  state.counters["cpu_us_per_frame"] = cost.cpu;
  return cost;
}

void BM_DrawGameFrame(benchmark::State& state) {
  gametest::GameDriver driver(99);
  SetWindowContentSize(static_cast<SInt16>(state.range(0)), static_cast<SInt16>(state.range(1)));
  BuildScene();
  const FrameCost cost = TimeFrames(state);
  gGameFrames[static_cast<int>(state.range(0))] = cost;
  state.counters["ratio_to_step"] = cost.wall > 0 ? kStepMicroseconds / cost.wall : 0;
}
BENCHMARK(BM_DrawGameFrame)->Args({1024, 768})->Args({1280, 1024})->Unit(benchmark::kMicrosecond);

// The main screen as a player finds it after start-up: faded in, its music
// playing, the title meteors drifting behind the backdrop.
void BM_DrawMainScreenFrame(benchmark::State& state) {
  gametest::GameDriver driver(99);
  SetWindowContentSize(static_cast<SInt16>(state.range(0)), static_cast<SInt16>(state.range(1)));
  {
    // Its loaders wait on ticks: the fake clock moves meanwhile.
    testsupport::FakeClock& clock = driver.clock();
    clock.stepPerRead = 100000;
    MainScreen::Open(gMainScreen.Pointer());
    clock.stepPerRead = 0;
  }
  SetFadeClear();
  const FrameCost cost = TimeFrames(state);
  const auto game = gGameFrames.find(static_cast<int>(state.range(0)));
  if (game == gGameFrames.end()) return;
  if (game->second.wall > 0) state.counters["game_ratio"] = cost.wall / game->second.wall;
  if (game->second.cpu > 0) state.counters["cpu_game_ratio"] = cost.cpu / game->second.cpu;
}
BENCHMARK(BM_DrawMainScreenFrame)->Args({1024, 768})->Args({1280, 1024})->Unit(benchmark::kMicrosecond);

}  // namespace
