#include "GameGlobals.h"

#include <cstring>

GameFlagsBlock GameFlags;
UInt8 KeyBindings[2][5];
UInt8 SharedScore;
Rect gPlayFieldRect;

StartupObject<NamedArray<Player>> gPlayers;
StartupObject<std::array<std::array<Shot, 8>, 2>> gPlayerShots;
StartupObject<NamedArray<Enemy>> gEnemies;
StartupObject<std::array<Shot, 8>> gEnemyShots;
StartupObject<NamedArray<Zadado>> gZadados;
StartupObject<NamedArray<Spark>> gSparks;
StartupObject<NamedArray<Object>> gWings;
StartupObject<NamedArray<Object>> gPods;
StartupObject<NamedArray<KVSprite>> gFlashes;
StartupObject<NamedArray<Star>> gStars;
StartupObject<std::array<Object, 8>> gExplosions;
StartupObject<std::array<Object, 2>> gPickUps;
StartupObject<KVSprite> gLevelBanner;
StartupObject<KVSprite> gOverlaySprite;
StartupObject<Boss> gBoss;
StartupObject<MusicPlayer> gGameMusic;
StartupObject<Scores> gScores;

UInt8 PlayerKeyFlags[2][5];
SInt16 PlayerStick[2][2];
UInt8 EscapeKeyFlag;
UInt8 ReturnKeyFlag;
UInt8 CursorWanted;
UInt8 CursorOutside;
UInt8 SystemCursorShown = 1;

namespace {

const UInt8 kDefaultKeyBindings[2][5] = {{123, 124, 126, 125, 49}, {86, 88, 91, 87, 82}};
const unsigned char kUnnamed[] = "\x09(unnamed)";

template <typename T>
void BuildArray(StartupObject<NamedArray<T>>& array, UInt32 count) {
  array.Construct();
  array->SetName(kUnnamed, -1);
  array->Create(count);
}

void ResetGameValues() {
  std::memset(&GameFlags, 0, sizeof GameFlags);
  for (GameColor& colour : GameFlags.playerColour) colour = {1.0f, 1.0f, 1.0f};
  std::memcpy(KeyBindings, kDefaultKeyBindings, sizeof KeyBindings);
  SharedScore = 0;
  gPlayFieldRect = {0, 0, 0, 0};
  std::memset(PlayerKeyFlags, 0, sizeof PlayerKeyFlags);
  std::memset(PlayerStick, 0, sizeof PlayerStick);
  EscapeKeyFlag = 0;
  ReturnKeyFlag = 0;
  CursorWanted = 0;
  CursorOutside = 0;
  SystemCursorShown = 1;
}

}  // namespace

void InitGameGlobals(UInt8 construct) {
  if (construct) {
    ResetGameValues();
    gScores.Construct();
    gEnemyShots.Construct();
    gPickUps.Construct();
    gGameMusic.Construct();
    gOverlaySprite.Construct();
    gPlayerShots.Construct();
    BuildArray(gPlayers, kPlayerCount);
    BuildArray(gEnemies, kEnemyCount);
    BuildArray(gZadados, kZadadoCount);
    BuildArray(gSparks, kSparkCount);
    BuildArray(gWings, kObjectCount);
    BuildArray(gPods, kObjectCount);
    BuildArray(gFlashes, kObjectCount);
    BuildArray(gStars, kStarCount);
    gLevelBanner.Construct();
    gExplosions.Construct();
    gBoss.Construct();
    gBoss->healthBar.rect.SetName(kUnnamed, -1);
    gBoss->healthBar.glow.SetName(kUnnamed, -1);
    gBoss->healthBar.on.SetName(kUnnamed, -1);
    return;
  }
  gBoss.Destroy();
  gExplosions.Destroy();
  gLevelBanner.Destroy();
  gStars.Destroy();
  gFlashes.Destroy();
  gPods.Destroy();
  gWings.Destroy();
  gSparks.Destroy();
  gZadados.Destroy();
  gEnemies.Destroy();
  gPlayers.Destroy();
  gPlayerShots.Destroy();
  gOverlaySprite.Destroy();
  if (gGameMusic.IsBuilt()) MusicPlayer::Close(gGameMusic.Pointer());
  gGameMusic.Destroy();
  gPickUps.Destroy();
  gEnemyShots.Destroy();
  gScores.Destroy();
}
