// What the gamma side of the screen fades needs from the colour-table side.
#pragma once

#include "GammaFades.h"

void DisposeScreenFadeColorTables();
// Makes the fade table (256 entries, size 255) and the target-copy, initial
// and current tables, and sets the flag.
void SetScreenFadeColorTablesForTesting();
void GetScreenFadeColorTablesForTesting(ScreenFadeTables* tables);
