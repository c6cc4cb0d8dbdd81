// The game's world: every pool, single sprite and value of the game, alive
// from the game's start-up entry to its exit.
#pragma once

#include <array>
#include <new>
#include <type_traits>

#include "GameTypes.h"
#include "MacTypes.h"
#include "Music.h"
#include "QV_Scores.h"

// Static storage for an object the start-up list builds and takes down, so
// that nothing is constructed before main decides the order.
template <typename T>
class StartupObject {
 public:
  void Construct() {
    ::new (static_cast<void*>(storage_)) T();
    built_ = true;
  }
  void Destroy() {
    if (!built_) return;
    Get().~T();
    built_ = false;
  }
  bool IsBuilt() const { return built_; }

  T& Get() { return *std::launder(reinterpret_cast<T*>(storage_)); }
  T* operator->() { return &Get(); }
  T* Pointer() { return &Get(); }
  T& operator*() { return Get(); }
  // Elements of a NamedArray or a std::array.
  template <typename I>
  decltype(auto) operator[](I index) {
    if constexpr (requires(T& t) { t.data; })
      return (Get().data[index]);
    else
      return (Get()[index]);
  }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
  bool built_;
};

// The block of game values and the key bindings (left, right, up, down, fire
// per player; engine key codes).
extern GameFlagsBlock GameFlags;
extern UInt8 KeyBindings[2][5];
// The shared-score option; nothing sets it.
extern UInt8 SharedScore;
// The game's screen rect less the 32-pixel strip of the status panels.
extern Rect gPlayFieldRect;

// Pools and single objects.
extern StartupObject<NamedArray<Player>> gPlayers;             // 2
extern StartupObject<std::array<std::array<Shot, 8>, 2>> gPlayerShots;  // 8 per player
extern StartupObject<NamedArray<Enemy>> gEnemies;              // 8
extern StartupObject<std::array<Shot, 8>> gEnemyShots;
extern StartupObject<NamedArray<Zadado>> gZadados;             // 8
extern StartupObject<NamedArray<Spark>> gSparks;               // 256
extern StartupObject<NamedArray<Object>> gWings;               // 8, one per enemy
extern StartupObject<NamedArray<Object>> gPods;                // 8, one per enemy
extern StartupObject<NamedArray<KVSprite>> gFlashes;           // 8
extern StartupObject<NamedArray<Star>> gStars;                 // 64
extern StartupObject<std::array<Object, 8>> gExplosions;
extern StartupObject<std::array<Object, 2>> gPickUps;
extern StartupObject<KVSprite> gLevelBanner;
extern StartupObject<KVSprite> gOverlaySprite;  // the full-screen flash of the boss's death
extern StartupObject<Boss> gBoss;
// The game's music player (registered while it exists; loop off).
extern StartupObject<MusicPlayer> gGameMusic;
// The high-score table: 15 rows, one pending entry per player.
extern StartupObject<Scores> gScores;

constexpr int kPlayerCount = 2;
constexpr int kShotsPerPlayer = 8;
constexpr int kEnemyCount = 8;
constexpr int kZadadoCount = 8;
constexpr int kSparkCount = 256;
constexpr int kObjectCount = 8;  // wings, pods, flashes, explosions, enemy shots
constexpr int kStarCount = 64;
constexpr int kPickUpCount = 2;

// Player keys, stick values, pause flags and the cursor state.
extern UInt8 PlayerKeyFlags[2][5];  // indexed by kKeyLeft..kKeyFire
extern SInt16 PlayerStick[2][2];    // vertical, horizontal; nothing sets them
extern UInt8 EscapeKeyFlag;
extern UInt8 ReturnKeyFlag;
extern UInt8 CursorWanted;
extern UInt8 CursorOutside;
extern UInt8 SystemCursorShown;  // 1 at start

// construct builds every object above and sets every value to its start
// value; destroy takes the objects down in the opposite order.
enum : UInt8 { kGameGlobalsDestroy = 0, kGameGlobalsConstruct = 1 };
void InitGameGlobals(UInt8 construct);
