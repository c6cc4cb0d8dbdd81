// The screen's brightness levels: 49 prepared tables from black (0) through
// normal (24) to white (48), gamma tables above 8 bits and colour tables at
// 8 bits.
#pragma once

#include "ColorTables.h"
#include "GammaFades.h"

constexpr int kBrightnessLevels = 49;
constexpr SInt8 kNormalBrightness = 24;
constexpr SInt8 kWhiteBrightness = 48;

extern SInt8 BrightnessLevel;
extern GammaTableHandle BrightGammaTables[kBrightnessLevels];
extern CTabHandle BrightCluts[kBrightnessLevels];
// Per level: the nearest screen index of each entry of that level's table
// (256-byte tables).
extern Ptr BrightInverseTables[kBrightnessLevels];

// Levels above 48 are held at 48.
void SetBrightnessAndWait(UInt8 level);
void SetBrightness(UInt8 level);
void SetBrightnessDark();
void SetBrightnessNormal();
void SetBrightnessWhite();
void FadeToNormalBrightness();
void FadeBrightnessToDark();
// Shows 48 down to 24 one tick apart, leaving the level at 23.
void FadeWhiteToNormal();
// Shows 24 up to 48 one tick apart, leaving the level at 49.
void FadeNormalToWhite();
void BrightenOneLevel();
void DarkenOneLevel();
void InitBrightness();
void ShutdownBrightness();

// The 49 gamma levels from the base (nil: the captured table, else the
// reference); nothing while the fades are off.
void BuildBrightGammaTables(GammaTableHandle base);
// -1: from the first cycle table; -2: from the main device's initial table
// (no inverse tables); else the service's table of that number.
void BuildDarkFader(SInt16 number);
void BuildBrightCluts(SInt16 number);
void SetScreenClut(SInt16 number, UInt8 buildBright);
