// The game's options, its preferences file and its scores file.
#pragma once

#include "MacTypes.h"

extern UInt8 SparksOn;
extern UInt8 FirstPlay;
extern SInt8 AdScreen;
extern Str31 LastPlayerName[2];
extern Str255 LastCommand;

// The options' start values; a start-up entry (nothing to take down).
void InitGamePrefsGlobals();

void LoadGamePrefs();
void SaveGamePrefs();
// Makes a blank file first when there is none, and repairs a damaged one
// (kept beside it under the first free name of "<file>.damaged",
// "<file>.damaged 2", ..., named in one line on stderr). Scores outside
// 0 ... 2^31 - 1 read as 0, and the rows are ordered by score, highest
// first (rows of one score keep their order). Fatal when no file can be
// read; the message names the file and the system's reason.
void LoadScoresFile();
// 0, or -36 with one alert when the file could not be written (the old file
// then stays whole and the table in memory is left as it was).
OSErr SaveScoresFile();
OSErr WriteBlankScoresFile();
// The name, cut to 31 bytes, into the row the player's result took; the file
// is written and read back (not read back when the write failed).
void RecordPlayerName(SInt8 player, const char* name);
