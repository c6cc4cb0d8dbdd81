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

// The engine's sprite list never lets a sprite go; a sprite taken down must
// leave it, or the next sprite made would link itself to freed memory.
void UnlinkSprite(SpriteClass* sprite) {
  SpriteClass* previous = sprite->links.previous;
  SpriteClass* next = sprite->links.next;
  bool listed = previous || next || spriteLIST.head == sprite;
  if (!listed) return;
  if (previous)
    previous->links.next = next;
  else
    spriteLIST.head = next;
  if (next)
    next->links.previous = previous;
  else
    spriteLIST.tail = previous;
  if (spriteLIST.current == sprite) spriteLIST.current = spriteLIST.tail;
  sprite->links.next = nullptr;
  sprite->links.previous = nullptr;
  --spriteLIST.count;
}

template <typename Range>
void UnlinkAll(Range& sprites) {
  for (auto& sprite : sprites) UnlinkSprite(&sprite);
}
template <typename T>
void UnlinkAll(NamedArray<T>& sprites) {
  for (UInt32 i = 0; i < sprites.count; ++i) UnlinkSprite(&sprites.data[i]);
}

void UnlinkGameSprites() {
  if (gBoss.IsBuilt()) UnlinkSprite(gBoss.Pointer());
  if (gExplosions.IsBuilt()) UnlinkAll(*gExplosions);
  if (gLevelBanner.IsBuilt()) UnlinkSprite(gLevelBanner.Pointer());
  if (gFlashes.IsBuilt()) UnlinkAll(*gFlashes);
  if (gPods.IsBuilt()) UnlinkAll(*gPods);
  if (gWings.IsBuilt()) UnlinkAll(*gWings);
  if (gZadados.IsBuilt()) UnlinkAll(*gZadados);
  if (gEnemies.IsBuilt()) UnlinkAll(*gEnemies);
  if (gPlayers.IsBuilt()) UnlinkAll(*gPlayers);
  if (gPlayerShots.IsBuilt())
    for (auto& shots : *gPlayerShots) UnlinkAll(shots);
  if (gOverlaySprite.IsBuilt()) UnlinkSprite(gOverlaySprite.Pointer());
  if (gPickUps.IsBuilt()) UnlinkAll(*gPickUps);
  if (gEnemyShots.IsBuilt()) UnlinkAll(*gEnemyShots);
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
  UnlinkGameSprites();
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
