// One game step of a busy field, two ships steering, 8 meteors, 16 player
// shots and the stars, against the 16,667 us step. Whatever leaves or dies
// is put back between steps so that every step does the same work.
#include <benchmark/benchmark.h>

#include <chrono>
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

void QuietSink(const GameSoundRequest&, void*) {}

void BuildWorld() {
  InitGameGlobals(kGameGlobalsConstruct);
  InitGameSounds();
  InitGameFrameSets();
  SetGameColors();
  SetGameSoundSink(&QuietSink, nullptr);
  ScreenRect = {0, 0, 480, 640};
  gAudioPrefs.musicOn = 1;
  SetupGame();
  GameFlags.gameOn = 1;
  GameFlags.respawnDone = 1;
  GameFlags.waveBudget = 200;
  for (SInt8 p = 0; p < kPlayerCount; ++p) {
    ResetPlayer(p);
    GameFlags.joined[p] = 1;
  }
  SetFadeClear();
}

void RefillMeteor(int i) {
  Zadado& z = gZadados[i];
  if (z.active && !z.destroyed) return;
  SInt8 size = static_cast<SInt8>(i % 3);
  SInt16 s = GameFlags.objectSizes[kSizeMeteor + size];
  SInt16 left = static_cast<SInt16>(40 + 70 * i);
  SInt16 top = static_cast<SInt16>(60 + 20 * (i % 4));
  z.rect = z.hotRect = z.oldRect = {top, left, static_cast<SInt16>(top + s), static_cast<SInt16>(left + s)};
  CenterSpritePosition(&z);
  z.size = size;
  z.hits = 1;
  z.destroyed = 0;
  z.vx = (i & 1) ? 0.33334f : -0.33334f;
  z.vy = 0.66668f;
  z.spinRate = 1.33336f;
  z.active = 1;
}

void RefillShot(int player, int i) {
  Shot& shot = (*gPlayerShots)[player][i];
  if (shot.active) return;
  const Rect& ship = gPlayers[player].rect;
  SInt16 top = static_cast<SInt16>(ship.top - 16 - 40 * i);
  SInt16 left = static_cast<SInt16>((i & 1) ? ship.right - 10 : ship.left + 2);
  shot.rect = shot.oldRect = {top, left, static_cast<SInt16>(top + 24), static_cast<SInt16>(left + 8)};
  CenterSpritePosition(&shot);
  shot.vx = 0;
  shot.vy = -4.00008f;
  shot.direction = 0;
  shot.piercing = static_cast<UInt8>(i == 0);
  shot.active = 1;
}

// Keeps both ships flying and steering, the meteors and shots in place.
void KeepFieldBusy(unsigned long step) {
  for (SInt8 p = 0; p < kPlayerCount; ++p) {
    Player& ship = gPlayers[p];
    if (!ship.active || ship.state != PlayerFlying) ResetPlayer(p);
    ship.shieldBar.target = 12;
    bool leftward = (step / 60 + static_cast<unsigned long>(p)) % 2 == 0;
    PlayerKeyFlags[p][leftward ? kKeyLeft : kKeyRight] = 1;
    PlayerKeyFlags[p][(step / 45) % 2 ? kKeyUp : kKeyDown] = 1;
  }
  for (int i = 0; i < kZadadoCount; ++i) RefillMeteor(i);
  for (int p = 0; p < kPlayerCount; ++p)
    for (int i = 0; i < kShotsPerPlayer; ++i) RefillShot(p, i);
  GameFlags.waveBudget = 200;
}

void GameStep(benchmark::State& state) {
  static bool built = false;
  if (!built) {
    BuildWorld();
    built = true;
  }
  unsigned long step = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    KeepFieldBusy(step);
    DoGameStep();
    AnimationPhase = static_cast<float>((step + 1) % 3);
    ++step;
    benchmark::DoNotOptimize(GameFlags.score[0]);
  }
  const double micros = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  if (state.iterations() > 0)
    state.counters["realtime_ratio"] = kStepMicroseconds / (micros / static_cast<double>(state.iterations()));
  // Points prove the shots met the meteors.
  state.counters["points"] = static_cast<double>(GameFlags.score[0] + GameFlags.score[1]);
}
BENCHMARK(GameStep)->Unit(benchmark::kMicrosecond);

}  // namespace
