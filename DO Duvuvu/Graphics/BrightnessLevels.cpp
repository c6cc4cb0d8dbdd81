#include "BrightnessLevels.h"

#include <algorithm>

#include "AppGlobals.h"
#include "Clocks.h"
#include "DisplayHooks.h"
#include "DisplayList.h"
#include "Errors.h"
#include "FixedResultServices.h"
#include "GLFrame.h"
#include "MainWindow.h"
#include "Memory.h"
#include "Menus.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "TickRecords.h"
#include "Windows.h"

SInt8 BrightnessLevel = kNormalBrightness;
GammaTableHandle BrightGammaTables[kBrightnessLevels] = {};
CTabHandle BrightCluts[kBrightnessLevels] = {};
Ptr BrightInverseTables[kBrightnessLevels] = {};

namespace {

constexpr const char* kMemoryError = "Sorry, a memory error has occured.";
constexpr ColorRGB kBlack = {0, 0, 0};
constexpr UInt32 kSettleTicks = 2;
constexpr SInt16 kFadeSteps = 24;

bool GammaPath() { return MainDevicePixelDepth() > 8; }

void ApplyLevel(SInt8 level) {
  if (GammaPath())
    ApplyGammaTable(BrightGammaTables[level], nullptr);
  else
    FadeColorTable(BrightCluts[level], 1, nullptr);
}

void RedrawMenuBarOnColorPath() {
  if (!GammaPath() && IsTaskbarVisible()) RedrawMenuBar();
}

UInt8 Clamped(UInt8 level) { return std::min<UInt8>(level, kWhiteBrightness); }

// The screen indexes nearest to the colours of a level's table, entries
// 0 .. last; the others keep the identity.
void BuildInverseTable(int level, SInt32 last) {
  Ptr& table = BrightInverseTables[level];
  if (table) DisposePtrBlock(table);
  table = NewPtrBlockClear(256);
  if (!table) FatalError(kMemoryError, "NewLookupTable()");
  for (int i = 0; i < 256; ++i) table[i] = static_cast<char>(i);
  const SInt32 count = std::min(CTableEntryCount(BrightCluts[level]), last + 1);
  const auto toIndex = GetFixedResultServices().rgbToColorIndex;
  for (SInt32 i = 0; i < count; ++i) {
    const ColorSpecEntry& entry = (*BrightCluts[level])->table[i];
    const ColorRGB color = {entry.red, entry.green, entry.blue};
    table[i] = static_cast<char>(toIndex(&color));
  }
}

// A level's table made afresh: a copy of the first cycle table, or the
// service's table of that number.
void NewLevelTable(int level, SInt16 number, const char* memoryLocation) {
  CTabHandle& table = BrightCluts[level];
  DisposeCTable(&table);
  if (number == -1 || number == -2) {
    NewSeededCTable(&table);
    if (!table) FatalError(kMemoryError, memoryLocation);
    CopyCTable(number == -1 ? CycleTables[0] : GetOrigCTable(), table);
  } else {
    ReplaceCTable(&table, number);
  }
  if (!table) FatalError(kMemoryError, memoryLocation);
}

template <typename Change>
void ChangeComponents(CTabHandle table, Change change) {
  const SInt32 count = CTableEntryCount(table);
  for (SInt32 i = 0; i < count; ++i) {
    ColorSpecEntry& entry = (*table)->table[i];
    entry.red = change(entry.red);
    entry.green = change(entry.green);
    entry.blue = change(entry.blue);
  }
}

}  // namespace

// Brightness ------------------------------------------------------------------------

void SetBrightnessAndWait(UInt8 level) {
  BrightnessLevel = static_cast<SInt8>(Clamped(level));
  ApplyLevel(BrightnessLevel);
  DelayTicks(kSettleTicks);
  RedrawMenuBarOnColorPath();
}

void SetBrightness(UInt8 level) {
  BrightnessLevel = static_cast<SInt8>(Clamped(level));
  ApplyLevel(BrightnessLevel);
  RedrawMenuBarOnColorPath();
}

void SetBrightnessDark() {
  BrightnessLevel = 0;
  if (GammaPath())
    FadeToColor(&kBlack, 1, nullptr);
  else
    FadeScreenColor(&kBlack, 1, nullptr);
  DelayTicks(kSettleTicks);
}

void SetBrightnessNormal() {
  BrightnessLevel = kNormalBrightness;
  if (GammaPath())
    ApplyGammaTable(BrightGammaTables[kNormalBrightness], nullptr);
  else
    FadeColorTable(GlobalColorTable, 1, nullptr);
  DelayTicks(kSettleTicks);
  RedrawMenuBarOnColorPath();
}

void SetBrightnessWhite() {
  BrightnessLevel = kWhiteBrightness;
  ApplyLevel(BrightnessLevel);
  DelayTicks(kSettleTicks);
}

void FadeToNormalBrightness() {
  BrightnessLevel = kNormalBrightness;
  if (GammaPath())
    FadeGammaTable(BrightGammaTables[kNormalBrightness], kFadeSteps, nullptr);
  else
    FadeColorTable(GlobalColorTable, kFadeSteps, nullptr);
  RedrawMenuBarOnColorPath();
}

void FadeBrightnessToDark() {
  BrightnessLevel = 0;
  if (GammaPath())
    FadeToColor(&kBlack, kFadeSteps, nullptr);
  else
    FadeScreenColor(&kBlack, kFadeSteps, nullptr);
}

void FadeWhiteToNormal() {
  for (BrightnessLevel = kWhiteBrightness; BrightnessLevel >= kNormalBrightness; --BrightnessLevel) {
    RecordTickCount();
    ApplyLevel(BrightnessLevel);
    DelaySinceTickRecord(1);
  }
}

void FadeNormalToWhite() {
  for (BrightnessLevel = kNormalBrightness; BrightnessLevel <= kWhiteBrightness; ++BrightnessLevel) {
    RecordTickCount();
    ApplyLevel(BrightnessLevel);
    DelaySinceTickRecord(1);
  }
}

void BrightenOneLevel() {
  if (BrightnessLevel >= kWhiteBrightness) return;
  ApplyLevel(++BrightnessLevel);
}

void DarkenOneLevel() {
  if (BrightnessLevel <= 0) return;
  ApplyLevel(--BrightnessLevel);
}

void InitBrightness() {
  gDisplayHooks.restoreBrightness = SetBrightnessNormal;
  InitScreenFades();
}

void ShutdownBrightness() { DisposeScreenFades(); }

// Level tables ------------------------------------------------------------------------

void BuildBrightGammaTables(GammaTableHandle base) {
  if (!GetOrigGammaTable()) return;
  // The base may be one of the level tables, released below.
  GammaTableHandle source = base ? base : CapturedGammaTable ? CapturedGammaTable : GetOrigGammaTable();
  const GammaTable copy = **source;
  for (GammaTableHandle& table : BrightGammaTables) {
    if (table) DisposeHandleBlock(reinterpret_cast<Handle>(table));
    table = nullptr;
    NewGammaTable(&table);
    if (!table) FatalError(kMemoryError, "build bright gamma tables");
  }
  GammaTableHandle normal = BrightGammaTables[kNormalBrightness];
  **normal = copy;
  const float* e = &copy.red[0];
  for (int level = 0; level < kBrightnessLevels; ++level) {
    if (level == kNormalBrightness) continue;
    float* out = &(*BrightGammaTables[level])->red[0];
    for (int i = 0; i < 768; ++i) {
      double value;
      if (level == 0)
        value = 0.0;
      else if (level < kNormalBrightness)
        value = e[i] * static_cast<double>(level) / 24.0;
      else if (level < kWhiteBrightness)
        value = 1.0 - (1.0 - e[i]) * static_cast<double>(48 - level) / 24.0;
      else
        value = 1.0;
      out[i] = static_cast<float>(value);
    }
  }
}

void BuildDarkFader(SInt16 number) {
  for (int level = 0; level <= kNormalBrightness; ++level) NewLevelTable(level, number, "BuildDarkFader()");
  ChangeComponents(BrightCluts[0], [](UInt16) { return UInt16{0}; });
  for (int level = 1; level <= kNormalBrightness; ++level)
    ChangeComponents(BrightCluts[level], [level](UInt16 c) {
      const SInt32 v = c;
      return static_cast<UInt16>(v - v * (24 - level) / 24);
    });
  if (number == -2) return;
  for (int level = 0; level <= kNormalBrightness; ++level) BuildInverseTable(level, 255);
  SyncGWorldColorTable(GetWindowManagerPort());
}

void BuildBrightCluts(SInt16 number) {
  if (EngineSettings[0] && EngineSettings[8] > 8) return;
  PushPort();
  if (EngineSettings[0]) SetPortToPixMap(buildPMAP);
  BuildDarkFader(number);
  for (int level = kNormalBrightness + 1; level < kBrightnessLevels; ++level)
    NewLevelTable(level, number == -1 ? -1 : number, "build bright cluts");
  for (int level = kNormalBrightness + 1; level < kWhiteBrightness; ++level)
    ChangeComponents(BrightCluts[level], [level](UInt16 c) {
      const SInt32 v = c;
      return static_cast<UInt16>(v + (65536 - v) * (level - 24) / 24);
    });
  ChangeComponents(BrightCluts[kWhiteBrightness], [](UInt16) { return UInt16{65535}; });
  for (int level = kNormalBrightness + 1; level < kBrightnessLevels; ++level) BuildInverseTable(level, 279 - level);
  if (!ScreenPalette)
    FatalError("Program Error:  SetScreenClut() must be called once before BuildBrightCluts().", "");
  SyncGWorldColorTable(GetWindowManagerPort());
  RememberScreenSeed();
  PopPort();
}

void SetScreenClut(SInt16 number, UInt8 buildBright) {
  const bool window = gMainWindow != nullptr;
  if (window) {
    PushPort();
    SetCurrentPort(GetWindowManagerPort());
  }
  LoadScreenClut(number);
  if (buildBright) BuildBrightCluts(number);
  if (window) PopPort();
  if (!DisplaysOnModernSystem()) FillRectForeColor(&ScreenRect);
}
