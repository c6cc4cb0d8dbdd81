#include "Levels.h"

#include <algorithm>

#include "AudioPrefs.h"
#include "Boss.h"
#include "Enemies.h"
#include "EventPoll.h"
#include "GLFrame.h"
#include "GameAssets.h"
#include "GameGlobals.h"
#include "GamePrefs.h"
#include "GameSound.h"
#include "MainLoop.h"
#include "Menus.h"
#include "Mixer.h"
#include "NumberText.h"
#include "Players.h"
#include "PlayerKeys.h"
#include "Random.h"
#include "Screens/InputScreen.h"
#include "Zadados.h"
#include "Bundle.h"
#include "Geometry.h"

namespace {

UInt16 Clamp(SInt32 value, SInt32 low, SInt32 high) { return static_cast<UInt16>(std::clamp(value, low, high)); }

// A draw reduced by n; no draw and 0 when n is 0.
UInt32 DrawBelow(UInt32 n) { return n == 0 ? 0 : NextRandom() % n; }

void ResetBar(StatusBar* bar) {
  bar->target = 0;
  bar->shown = 0;
  for (UInt32 i = 0; i < bar->glow.count; ++i) bar->glow.data[i] = 0;
  for (UInt32 i = 0; i < bar->on.count; ++i) bar->on.data[i] = 0;
}

void RebuildBar(StatusBar* bar, UInt32 count) {
  static const unsigned char kRectName[] = "\x04rect";
  static const unsigned char kGlowName[] = "\x04glow";
  static const unsigned char kOnName[] = "\x02on";
  bar->count = count;
  bar->rect.Reinit(count);
  bar->rect.SetName(kRectName, -1);
  bar->glow.Reinit(count);
  bar->glow.SetName(kGlowName, -1);
  bar->on.Reinit(count);
  bar->on.SetName(kOnName, -1);
  bar->target = 0;
  bar->shown = 0;
}

void PlaceSegments(StatusBar* bar, SInt16 top, SInt16 left) {
  for (UInt32 i = 0; i < bar->count; ++i) {
    SInt16 segmentLeft = static_cast<SInt16>(left + 8 * static_cast<SInt32>(i));
    bar->rect.data[i] = Rect{top, segmentLeft, static_cast<SInt16>(top + 8), static_cast<SInt16>(segmentLeft + 8)};
  }
}

void PlayLevelMusic(const char* name) {
  LoadMusic(gGameMusic.Pointer(), name);
  MusicPlayer::SetVolume(gGameMusic.Pointer(), 255);
  gGameMusic->loop = 1;
  MusicPlayer::Play(gGameMusic.Pointer());
}

void PlaceStars() {
  SInt32 width = gPlayFieldRect.right - gPlayFieldRect.left;
  SInt32 height = gPlayFieldRect.bottom - gPlayFieldRect.top;
  for (int i = kStarCount - 1; i >= 0; --i) {
    Star& star = gStars[i];
    star.x = static_cast<float>(DrawBelow(static_cast<UInt32>(std::max(width, 0))));
    star.y = static_cast<float>(DrawBelow(static_cast<UInt32>(std::max(height, 0))));
    star.twinkle = static_cast<UInt8>(NextRandom() & 7);
    star.direction = static_cast<UInt8>(NextRandom() & 1);
    star.layer = static_cast<UInt8>(NextRandom() & 0xFF);
    star.angle = static_cast<UInt16>(NextRandom() % 360);
    star.speed = static_cast<float>((star.layer >> 6) + 1) * 0.33334f;
  }
}

}  // namespace

DifficultyValues ComputeDifficulty(SInt8 level) {
  SInt32 t = level / 5;
  DifficultyValues v;
  v.meteorValue = Clamp(300 - 50 * t, 100, 300);
  v.enemyValueA = Clamp(250 - 25 * t, 50, 250);
  v.enemyValueB = Clamp(100 - 10 * t, 20, 100);
  v.adjustValue = Clamp(50 - 10 * t, 10, 50);
  v.pickUpValue = Clamp(t + 2, 2, 10);
  v.bossValueA = Clamp(50 - 10 * t, 10, 50);
  v.bossValueB = Clamp(t - 1, 0, 4);
  v.bossValueC = Clamp(25 - 5 * t, 5, 25);
  v.bossValueD = Clamp(5 * t + 15, 15, 50);
  return v;
}

// The budget is a byte the enemy code counts down; past 255 it would wrap to
// a tiny wave, so it is held at 255.
UInt8 WaveBudgetFor(SInt8 level, bool doubled) {
  SInt32 budget = 3 * level + 9;
  if (doubled) budget *= 2;
  return static_cast<UInt8>(std::min(budget, 255));
}

UInt8 DoubleBudget(UInt8 budget) { return static_cast<UInt8>(std::min(budget * 2, 255)); }

SInt32 GetLevelKind() {
  SInt32 level = GameFlags.level;
  if ((level + 2) % 5 == 0 && !GameFlags.bossBeaten) return kLevelBlimp;
  if (level % 5 != 0) return kLevelWave;
  return GameFlags.bossBeaten ? kLevelWave : kLevelBoomerang;
}

void StartLevel(SInt8 kind) {
  DifficultyValues v = ComputeDifficulty(GameFlags.level);
  GameFlags.meteorValue = v.meteorValue;
  GameFlags.enemyValueA = v.enemyValueA;
  GameFlags.enemyValueB = v.enemyValueB;
  GameFlags.adjustValue = v.adjustValue;
  GameFlags.pickUpValue = v.pickUpValue;
  GameFlags.bossValueA = v.bossValueA;
  GameFlags.bossValueB = v.bossValueB;
  GameFlags.bossValueC = v.bossValueC;
  GameFlags.bossValueD = v.bossValueD;

  if (kind >= 0) {
    PlayLevelMusic("Music/Boss");
    ResetBoss(static_cast<UInt8>(kind));
  } else {
    if (GameFlags.bossBeaten) PlayLevelMusic("Music/Game");
    GameFlags.wavePending = 0;
    GameFlags.bossBeaten = 0;
    UInt8 count = static_cast<UInt8>(std::min((GameFlags.level - 1) / 2 + 1, 8));
    GameFlags.enemyCount[0] = count;
    GameFlags.enemyCount[1] = count;
    GameFlags.launchedEnemies = 0;
    bool doubled = gPlayers[0].active && gPlayers[1].active && !SharedScore;
    GameFlags.waveBudget = WaveBudgetFor(GameFlags.level, doubled);
  }

  GameFlags.waveCleared = 0;
  GameFlags.respawnDone = 0;
  gLevelBanner->active = 0;
  for (int i = kSparkCount - 1; i >= 0; --i) gSparks[i].inUse = 0;
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    Player& player = gPlayers[p];
    player.active = 0;
    for (Shot& shot : (*gPlayerShots)[p]) shot.active = 0;
    if (GameFlags.joined[p] && player.state != PlayerExploding) player.respawn = 1;
  }
  for (Shot& shot : *gEnemyShots) shot.active = 0;
  ClearKeyTables();
}

void SetupGame() {
  static const UInt8 kObjectSizes[10] = {40, 32, 24, 40, 0, 24, 32, 24, 16, 32};
  gPlayFieldRect = ScreenRect;
  gPlayFieldRect.bottom = static_cast<SInt16>(gPlayFieldRect.bottom - 32);
  SetupShieldBars();
  std::copy(std::begin(kObjectSizes), std::end(kObjectSizes), GameFlags.objectSizes);
  ClearZadados();
  ClearEnemies();
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    for (Shot& shot : (*gPlayerShots)[p]) shot.active = 0;
    (*gPickUps)[p].active = 0;
    Player& player = gPlayers[p];
    player.active = 0;
    GameFlags.score[p] = 0;
    GameFlags.joined[p] = 0;
    ResetBar(&player.shieldBar);
    ResetBar(&player.doublesBar);
    ResetBar(&player.podBar);
  }
  gBoss->active = 0;
  GameFlags.levelKind = kLevelWave;
  GameFlags.sparkFlag = 1;
  GameFlags.gameOver = 0;
  GameFlags.level = 1;
  if (!gAudioPrefs.musicOn) LoadSound(&gSounds->spare, "Intro_Mono");
  PlaceStars();
  StartLevel(kLevelWave);
}

void StartGame() {
  LoadGameAssets();
  LoadMusic(gGameMusic.Pointer(), "Music/Game");
  gScores->ClearPending();
  GameFlags.gameOn = 1;
  GameFlags.gameOverDelay = 0;
  GameFlags.gameOver = 0;
  GameFlags.paused = 0;
  GameFlags.quitQuestionOpen = 0;
  SetupGame();
  ClearPlayerKeys();
  gGameMusic->loop = 1;
  MusicPlayer::SetVolume(gGameMusic.Pointer(), 255);
  MusicPlayer::Play(gGameMusic.Pointer());
  ResetFrameTimer();
}

void StartGameDirect() {
  SetupGame();
  LocalizeMenuBarRect();
  HideMenuBarIfShown();
  SetMixerDelayLevels(10000, 50, 0, 0);
  gWindowSizes[1].width = static_cast<UInt16>(ScreenRect.right - ScreenRect.left);
  gWindowSizes[1].height = static_cast<UInt16>(ScreenRect.bottom - ScreenRect.top);
  LeaveMenuMode();
  SetFadeDark();
  GameFlags.gameOn = 1;
  DeleteGameSound(&gSounds->spare);
}

void RespawnPlayers() {
  if (GameFlags.gameOverDelay == 0) {
    for (int p = kPlayerCount - 1; p >= 0; --p)
      if (gPlayers[p].respawn) ResetPlayer(static_cast<SInt8>(p));
  }
  GameFlags.respawnDone = 1;
}

void RecordGameResult() {
  MusicPlayer::Stop(gGameMusic.Pointer());
  gOverlaySprite->active = 0;
  if (QuitRequested) {
    GameFlags.gameOn = 0;
    return;
  }
  for (int p = 0; p < kPlayerCount; ++p) {
    if (static_cast<SInt16>(p) >= gScores->pendingCount) break;
    PlistTag* entry = &gScores->pending.data[p].tag;
    const SInt32 values[2] = {GameFlags.score[p], GameFlags.level};
    const char* const names[2] = {"Score", "Level"};
    for (int k = 0; k < 2; ++k) {
      PlistTag* tag = PlistTag::FindTag(entry, "integer", names[k], 1);
      if (!tag) continue;
      NumToPStr(values[k], tag->value);
    }
  }
  GameFlags.gameOn = 0;
}

void AskHighScoreNames() {
  for (int p = 0; p < kPlayerCount && p < gScores->pendingCount; ++p) {
    if (static_cast<SInt16>(gScores->pending.data[p].insertIndex) >= 0)
      InputScreen::Open(&(*gInputScreens)[p], static_cast<SInt8>(p), LastPlayerName[p]);
  }
}

void SetupShieldBars() {
  const Rect& field = gPlayFieldRect;
  SInt32 half = (field.right - field.left) / 2;
  SInt32 q = (field.left + half) / 2;
  for (int p = kPlayerCount - 1; p >= 0; --p) {
    Player& player = gPlayers[p];
    SInt32 centre = p == 0 ? field.left + half - q : field.left + half + q;
    player.panelRect = Rect{field.bottom, static_cast<SInt16>(centre - 128), static_cast<SInt16>(field.bottom + 32),
                            static_cast<SInt16>(centre + 128)};
    player.panelShown = 0;
    RebuildBar(&player.shieldBar, 12);
    RebuildBar(&player.doublesBar, 18);
    RebuildBar(&player.podBar, 12);
    LayoutStatusBars(static_cast<SInt8>(p));
  }
}

void LayoutStatusBars(SInt8 p) {
  Player& player = gPlayers[p];
  SInt16 top = player.panelRect.top;
  SInt16 left = player.panelRect.left;
  PlaceSegments(&player.shieldBar, static_cast<SInt16>(top + 8), static_cast<SInt16>(left + 152));
  PlaceSegments(&player.doublesBar, static_cast<SInt16>(top + 20), static_cast<SInt16>(left + 8));
  PlaceSegments(&player.podBar, static_cast<SInt16>(top + 20), static_cast<SInt16>(left + 152));
}

void ShowLevelBanner() {
  bool bossLevel = gBoss->active != 0;
  if (!gAudioPrefs.musicOn)
    PlayGameSound(&gSounds->spare, GetGameSource(), &ScreenRect, 1.0f, bossLevel ? 0.5f : 1.0f, 0);
  if (bossLevel) PlayGameSound(&gSounds->super, GetGameSource(), &ScreenRect, 1.0f, 0.25f, 0);

  const Rect& field = gPlayFieldRect;
  KVSprite& banner = *gLevelBanner;
  banner.active = 1;
  banner.x = static_cast<float>(field.left + (field.right - field.left) / 2);
  banner.vy = 0;
  banner.scale = 1.0f;
  banner.brightness = 2.0f;
  banner.factor = 1.0f;
  float height = static_cast<float>(field.bottom - field.top);
  if (GameFlags.levelKind == kLevelBoomerang)
    banner.y = height * 0.7f;
  else if (GameFlags.levelKind == kLevelBlimp)
    banner.y = height * 0.8f;
  else
    banner.y = static_cast<float>(field.top + (field.bottom - field.top) / 2);
}

void StartBossBlast() {
  gOverlaySprite->active = 1;
  gOverlaySprite->scale = 0;
  gOverlaySprite->pulseDirection = 1;
}

void ClearSlowMotion() {
  GameFlags.slowCounter = 0;
  GameFlags.slowTarget = 0;
  GameFlags.slowLevel = 0;
  GameFlags.frameDivider = 0;
}
