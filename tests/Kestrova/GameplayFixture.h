// A bare game world for the ships, meteors and shots: the globals built, the
// colours and sizes set, the 640 x 448 field, and every sound request kept.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "GameAssets.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "Levels.h"
#include "MainLoop.h"
#include "Random.h"

class GameplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A driver test earlier in the process may have left the world built.
    if (gPlayers.IsBuilt()) InitGameGlobals(kGameGlobalsDestroy);
    InitGameGlobals(kGameGlobalsConstruct);
    InitGameSounds();
    SetGameColors();
    gPlayFieldRect = {0, 0, 448, 640};
    const UInt8 sizes[10] = {40, 32, 24, 40, 0, 24, 32, 24, 16, 32};
    std::memcpy(GameFlags.objectSizes, sizes, sizeof sizes);
    SetupShieldBars();
    GameFlags.sparkFlag = 1;
    GameFlags.pickUpValue = 2;
    GameFlags.meteorValue = 300;
    AnimationPhase = 1;
    RandomSeed = 12345;
    SetGameSoundSink(&Record, this);
  }
  void TearDown() override {
    SetGameSoundSink(nullptr, nullptr);
    ExitGameSounds();
    InitGameGlobals(kGameGlobalsDestroy);
  }

  static void Record(const GameSoundRequest& request, void* self) {
    static_cast<GameplayTest*>(self)->sounds.push_back(request);
  }
  int CountSounds(const ALSound& sound) const {
    int n = 0;
    for (const GameSoundRequest& r : sounds) n += r.sound == &sound;
    return n;
  }

  Player& Ship(int p) { return gPlayers[p]; }
  Shot& PlayerShot(int p, int i) { return (*gPlayerShots)[p][i]; }
  Zadado& Meteor(int i) { return gZadados[i]; }
  GameSounds& Sounds() { return *gSounds; }

  std::vector<GameSoundRequest> sounds;
};

// The generator, written out apart from the engine's, to predict its draws.
struct ModelRandom {
  uint32_t seed;
  uint32_t Next() {
    seed = static_cast<uint32_t>((static_cast<uint64_t>(seed) * 331691u) & 0xFFFFFFFFu) % 199604759u + 65089u;
    return seed;
  }
  uint32_t Mod(uint32_t n) { return n ? Next() % n : 0; }
};

inline void ExpectRect(const Rect& r, SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) {
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.bottom, bottom);
  EXPECT_EQ(r.right, right);
}
