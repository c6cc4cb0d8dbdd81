// Gamma transfer tables and fades of the display to a colour. No display
// service exists here, so the fades are off: tables stay nil and reads fail.
#pragma once

#include "MacTypes.h"

// 3 x 256 floats: red, then green, then blue.
struct GammaTable {
  float red[256];
  float green[256];
  float blue[256];
};
typedef GammaTable* GammaTablePtr;
typedef GammaTablePtr* GammaTableHandle;

// Nil while the fades are off.
GammaTableHandle NewGammaTable();
// -1 while the fades are off; the table is not written.
SInt32 GetDisplayGammaTable(UInt32 display, GammaTableHandle table);
// Nothing while the fades are off.
void FadeToColorNow(UInt16 red, UInt16 green, UInt16 blue);
// The reference table: nil while the fades are off.
GammaTableHandle GetOrigGammaTable();
// Sets the table on the display in one step; nothing for a nil table.
void ApplyGammaTable(GammaTableHandle table, UInt32 display);
