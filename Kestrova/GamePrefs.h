// The game's options, its preferences file and its scores file.
#pragma once

#include "MacTypes.h"

extern UInt8 SparksOn;
extern UInt8 FirstPlay;
extern SInt8 AdScreen;
extern Str31 LastPlayerName[2];
extern Str255 LastCommand;

void LoadGamePrefs();
void SaveGamePrefs();
void LoadScoresFile();
void SaveScoresFile();
void WriteBlankScoresFile();
void RecordPlayerName(SInt8 player, const char* name);
