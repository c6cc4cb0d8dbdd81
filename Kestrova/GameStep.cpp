#include "GameStep.h"

#include "Boss.h"
#include "Collisions.h"
#include "Effects.h"
#include "Enemies.h"
#include "EnemyShots.h"
#include "GLFrame.h"
#include "GameGlobals.h"
#include "Levels.h"
#include "MainLoop.h"
#include "PickUps.h"
#include "Players.h"
#include "PlayerKeys.h"
#include "PlayerShots.h"
#include "Screens/MainScreen.h"
#include "Zadados.h"

namespace {

// 6 while the boss dies; the slow motion sinks in one level every 5 steps and
// wears off one level every 20.
void StepSlowMotion() {
  GameFlags.slowTarget = (gBoss->active && gBoss->dying == 1) ? 6 : 0;
  if (GameFlags.slowLevel == GameFlags.slowTarget) return;
  if (GameFlags.slowCounter != 0) {
    --GameFlags.slowCounter;
    return;
  }
  if (GameFlags.slowLevel < GameFlags.slowTarget) {
    GameFlags.slowCounter = 5;
    ++GameFlags.slowLevel;
  }
  if (GameFlags.slowLevel > GameFlags.slowTarget) {
    GameFlags.slowCounter = 20;
    --GameFlags.slowLevel;
  }
}

void AnimationPass() {
  AnimatePlayers();
  AnimateExplosions();
  AnimatePods();
  AnimatePows();
  AnimateWings();
  AnimateZadados();
  AnimateEnemies();
  BlinkBoss();
  AnimateSparks();
  AnimateStatusBars();
}

void MovePass() {
  MovePlayers();
  DoPlayers();
  BouncePlayers();
  MoveStars();
  MoveSparks();
  MovePlayerShots();
  MoveZadados();
  MoveEnemies();
  MoveEnemyShots();
  MoveWings();
  MoveExplosions();
  MovePods();
  MovePows();
  MoveBoss();
  MoveBanners();
  BounceBoss();
  AdjustEnemies();
  DoCollisions();
}

bool ShipFlying(int p) { return gPlayers[p].active && gPlayers[p].state == PlayerFlying; }

template <typename Range>
bool AnyInUse(Range& objects) {
  for (auto& object : objects)
    if (object.active) return true;
  return false;
}
template <typename T>
bool AnyInUse(NamedArray<T>& objects) {
  for (UInt32 i = 0; i < objects.count; ++i)
    if (objects.data[i].active) return true;
  return false;
}

bool WaveAlive() {
  return gBoss->active || AnyInUse(*gZadados) || AnyInUse(*gEnemies) || AnyInUse(*gWings) || AnyInUse(*gPods) ||
         AnyInUse(*gExplosions) || AnyInUse(*gPickUps);
}

void SetMusicToFade() { MusicPlayer::SetVolume(gGameMusic.Pointer(), static_cast<SInt16>(GetFadeBrightness())); }

void GameOverStep() {
  FadeOutStep(2);
  SetMusicToFade();
  if (GetFadeBrightness() != 0) {
    ClearPlayerKeys();
    return;
  }
  RecordGameResult();
  MainScreen::Open(gMainScreen.Pointer());
  ResetFrameTimer();
}

void NormalEnd() {
  if (!GameFlags.waveCleared && GetFadeBrightness() < 255) {
    FadeInStep(10);
    if (GetFadeBrightness() == 255) ShowLevelBanner();
  }
  // The pause flags stay for main's pause check, which clears them.
  ClearPlayerMoveKeys();
}

// The end of a wave, after the moves: once the wave has sent all its enemies
// and nothing of it is left on the field, a short wait, the fade-out, then the
// next level (or the boss again if it is still unbeaten). True when the game
// is over, and DoGameStep fades out to the main screen instead of the step's
// normal end. A game that is over ends at once: nobody is left to meet the
// rest of the wave, and nobody can join any more.
bool WaveEndStep() {
  if (GameFlags.gameOver) return true;
  if (GameFlags.waveBudget != 0) return false;
  if (GameFlags.wavePending) return false;
  if (!GameFlags.waveCleared) {
    if (!WaveAlive()) {
      GameFlags.waveCleared = 1;
      if (!GameFlags.bossBeaten) GameFlags.waveEndCountdown = 25;
    }
    return false;
  }
  GameFlags.levelKind = static_cast<SInt8>(GetLevelKind());
  if (GameFlags.waveEndCountdown != 0) {
    --GameFlags.waveEndCountdown;
    return false;
  }
  if (GetFadeBrightness() != 0) {
    FadeOutStep(2);
    // Boss music fades with the picture; between two waves it plays on.
    bool bossNext = GameFlags.levelKind == kLevelBoomerang || GameFlags.levelKind == kLevelBlimp;
    if (bossNext || GameFlags.bossBeaten) SetMusicToFade();
    return false;
  }
  if (!ShipFlying(0) && !ShipFlying(1)) {
    GameFlags.gameOver = 1;
    return true;
  }
  if ((GameFlags.levelKind == kLevelBoomerang || GameFlags.levelKind == kLevelBlimp) && !GameFlags.bossBeaten) {
    StartLevel(GameFlags.levelKind);
  } else {
    if (GameFlags.level < 99) ++GameFlags.level;
    StartLevel(kLevelWave);
  }
  return GameFlags.gameOver != 0;
}

}  // namespace

void DoGameStep() {
  if (!GameFlags.gameOn || GameFlags.paused || GameFlags.quitQuestionOpen) return;

  StepSlowMotion();
  if (GameFlags.frameDivider != 0) {
    --GameFlags.frameDivider;
    AnimationPhase = 2;
    return;
  }
  GameFlags.frameDivider = GameFlags.slowLevel;

  if (AnimationPhase == 0) AnimationPass();
  MovePass();

  if (ShipFlying(0) || ShipFlying(1)) {
    GameFlags.gameOverDelay = 0;
  } else if (AnimationPhase == 0 && GameFlags.gameOverDelay != 0) {
    if (--GameFlags.gameOverDelay == 0) GameFlags.gameOver = 1;
  }

  if (WaveEndStep()) {
    GameOverStep();
    return;
  }
  NormalEnd();
}
