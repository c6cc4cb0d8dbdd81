// Gamma transfer tables and fades of the display towards a colour or another
// set of curves, one step per tick; the same for the colour table of 8-bit
// screens. No display service exists here, so both fades stay off: the
// tables stay nil and the display reads fail.
#pragma once

#include "GWorld.h"
#include "MacTypes.h"
#include "Ports.h"

// 3 x 256 floats: red, then green, then blue.
struct GammaTable {
  float red[256];
  float green[256];
  float blue[256];
};
static_assert(sizeof(GammaTable) == 3072);
typedef GammaTable* GammaTablePtr;
typedef GammaTablePtr* GammaTableHandle;

// Filled from the display when the main window is built; nil here.
extern GammaTableHandle CapturedGammaTable;

void InitScreenFades();
void DisposeScreenFades();

// Gamma side ----------------------------------------------------------------------

// The reference table: nil while the fades are off.
GammaTableHandle GetOrigGammaTable();
// A new copy of the reference table; *out unchanged while the fades are off.
void NewGammaTable(GammaTableHandle* out);
// A nil source means the reference table.
void CopyGammaTable(GammaTableHandle source, GammaTableHandle destination);
void GetCurrentGamma(GammaTableHandle table);
// A nil device means the main device. -1 while the fades are off.
SInt16 SetDisplayGammaTable(GammaTableHandle table, DeviceHandle device);
SInt32 GetDisplayGammaTable(GammaTableHandle table, DeviceHandle device);
// Linear resampling of n floats into m (always active).
void ResampleFloatTable(const float* source, float* destination, SInt32 n, SInt32 m);
void FadeGammaTable(GammaTableHandle target, SInt16 steps, DeviceHandle device);
void ApplyGammaTable(GammaTableHandle table, DeviceHandle device);
void FadeToColor(const ColorRGB* color, SInt16 steps, DeviceHandle device);
void FadeToColorNow(const ColorRGB* color, DeviceHandle device);
void BlendGammaTables(GammaTableHandle from, GammaTableHandle to, SInt16 step, SInt16 steps, DeviceHandle device);
// Linear curves (a nil colour is white); returns 256. Always active.
SInt32 BuildGammaFromColor(GammaTableHandle table, const ColorRGB* color, float brightness, float contrast);

// Colour-table side ---------------------------------------------------------------

void FadeColorTable(CTabHandle target, SInt16 steps, DeviceHandle device);
void ApplyColorTable(CTabHandle table, DeviceHandle device);
void FadeScreenColor(const ColorRGB* color, SInt16 steps, DeviceHandle device);
void FadeScreenColorNow(const ColorRGB* color, DeviceHandle device);
// The main device's initial colour table; fatal before the device exists.
CTabHandle GetOrigCTable();
// Copies the colours now shown into the table.
void GetScreenColors(CTabHandle table);

// The pixel depth of the main device that the brightness routines read.
SInt16 MainDevicePixelDepth();

// Tests only: turns the fades on with what the start-up would have made (the
// reference table from the curves, nil for i / 255, and its copies; the fade
// colour tables). A depth other than 0 stands in for the main device's.
// DisposeScreenFades turns them off again.
struct ScreenFadeSwitch {
  UInt8 gamma;
  UInt8 colorTable;
  const GammaTable* curves;
  SInt16 mainDepth;
};
void SetScreenFadesForTesting(const ScreenFadeSwitch& fades);
// The fade tables, for tests that look inside.
struct ScreenFadeTables {
  GammaTableHandle reference, current, work, target;
  CTabHandle fade, targetCopy, initial, current8;
};
ScreenFadeTables GetScreenFadeTablesForTesting();
