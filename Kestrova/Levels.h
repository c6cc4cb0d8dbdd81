// Starting a game, the levels with their difficulty, music and enemy budget,
// the players' return after a level change, the banner and the result.
#pragma once

#include "GameTypes.h"
#include "MacTypes.h"

SInt32 GetLevelKind();
void StartLevel(SInt8 kind);
void SetupGame();
void StartGame();
void StartGameDirect();
void RespawnPlayers();
void RecordGameResult();
void AskHighScoreNames();
void SetupShieldBars();
void LayoutStatusBars(SInt8 player);
void ShowLevelBanner();
void StartBossBlast();
void ClearSlowMotion();

// The difficulty formulas with their clamps, for a level (t = level / 5).
struct DifficultyValues {
  UInt16 meteorValue;
  UInt16 enemyValueA;
  UInt16 enemyValueB;
  UInt16 adjustValue;
  UInt16 pickUpValue;
  UInt16 bossValueA;
  UInt16 bossValueB;
  UInt16 bossValueC;
  UInt16 bossValueD;
};
DifficultyValues ComputeDifficulty(SInt8 level);
// 3 x level + 9, doubled when asked, held at 255.
UInt8 WaveBudgetFor(SInt8 level, bool doubled);
// A doubled budget held at 255 (the second player's join).
UInt8 DoubleBudget(UInt8 budget);
