#include "ColorTables.h"

#include <algorithm>
#include <cstdio>

#include "AppGlobals.h"
#include "DisplayList.h"
#include "Errors.h"
#include "FixedResultServices.h"
#include "FixedResults.h"
#include "GammaFades.h"
#include "Memory.h"
#include "PortDrawing.h"
#include "Windows.h"

void* ScreenPalette = nullptr;
CTabHandle CycleTables[4] = {};

namespace {

constexpr SInt16 kPaletteEntries = 256;
constexpr SInt16 kPaletteUsage = 8;
constexpr size_t kHeaderBytes = offsetof(CTable, table);
constexpr const char* kMemoryError = "Sorry, a memory error has occured.";

SInt32 gScreenSeed = 0;

void ReleaseScreenPalette() {
  if (ScreenPalette) FreePalette(ScreenPalette);
  ScreenPalette = nullptr;
}

void* MakePalette(CTabHandle table) {
  return GetFixedResultServices().allocPalette(kPaletteEntries, table, kPaletteUsage, 0);
}

}  // namespace

SInt32 CTableEntryCount(CTabHandle table) {
  if (!table || !*table) return 0;
  SInt32 count = std::clamp<SInt32>((*table)->size + 1, 0, 256);
  const SInt32 block = GetHandleBlockSize(reinterpret_cast<Handle>(table));
  if (block >= 0) count = std::min<SInt32>(count, (block - static_cast<SInt32>(kHeaderBytes)) / 8);
  return std::max<SInt32>(count, 0);
}

void DisposeCTable(CTabHandle* table) {
  if (*table) DisposeCTableHandle(reinterpret_cast<Handle>(*table));
  *table = nullptr;
}

void RememberScreenSeed() {
  CTabHandle initial = GetOrigCTable();
  if (initial) gScreenSeed = (*initial)->seed;
}

void LoadScreenClut(SInt16 number) {
  if (number != -1) DisposeCTable(&GlobalColorTable);
  ReleaseScreenPalette();
  if (number != -1) GlobalColorTable = reinterpret_cast<CTabHandle>(GetFixedResultServices().getColorTable(number));
  if (!GlobalColorTable) {
    char location[32];
    std::snprintf(location, sizeof location, "CLUT    #%d", number);
    FatalError("Failed to load the CLUT.", location);
  }
  if (GetHandleBlockState(reinterpret_cast<Handle>(GlobalColorTable)) == 0)
    LockHandleBlock(reinterpret_cast<Handle>(GlobalColorTable));
  ScreenPalette = MakePalette(GlobalColorTable);
  if (!ScreenPalette) FatalError(kMemoryError, "NewPalette()");
  const UInt8 depth = EngineSettings[8];
  const UInt8 modern = DisplaysOnModernSystem();
  if (depth < 8 && modern) {
    SyncGWorldColorTable(GetWindowManagerPort());
    FadeColorTable(GlobalColorTable, 0, nullptr);
    if (EngineSettings[0]) RememberScreenSeed();
    return;
  }
  if (depth <= 8 && !modern) {
    ActivatePaletteUpdates(nullptr);  // every window
    CopyPaletteToCTable(ScreenPalette, GlobalColorTable);
  }
  FadeColorTable(GlobalColorTable, 0, nullptr);
  if (EngineSettings[0]) RememberScreenSeed();
}

void* SetWindowClut(SInt16 number, WindowRef window) {
  CTabHandle table = reinterpret_cast<CTabHandle>(GetFixedResultServices().getColorTable(number));
  if (!table) FatalError("Clut not found!", "SetWindowClut()");
  ScreenPalette = MakePalette(table);
  if (!ScreenPalette) FatalError(kMemoryError, "SetWindowClut()");
  if (!window) FatalError("The clut could not be set because the window was not initialized.", "SetWindowClut()");
  AttachPaletteToWindow(window, ScreenPalette);
  return ScreenPalette;
}

void SetCycleEntries(UInt8 a, UInt8 b, UInt8 c, UInt8 d, UInt8 slot) {
  const SInt32 globalCount = CTableEntryCount(GlobalColorTable);
  if (globalCount == 0) return;
  const UInt8 order[4][4] = {{a, b, c, d}, {d, a, b, c}, {c, d, a, b}, {b, c, d, a}};
  for (int t = 0; t < 4; ++t) {
    const SInt32 count = CTableEntryCount(CycleTables[t]);
    for (int k = 0; k < 4; ++k) {
      const SInt32 entry = slot + k;
      if (entry >= count || order[t][k] >= globalCount) continue;
      const ColorSpecEntry& from = (*GlobalColorTable)->table[order[t][k]];
      ColorSpecEntry& to = (*CycleTables[t])->table[entry];
      to.red = from.red;
      to.green = from.green;
      to.blue = from.blue;
    }
  }
}

SInt16 NewSeededCTable(CTabHandle* out) {
  *out = reinterpret_cast<CTabHandle>(NewCTableHandle());
  if (*out) (**out)->seed = GetColorTableSeed();
  return 8;
}

void ReplaceCTable(CTabHandle* table, SInt16 number) {
  DisposeCTable(table);
  *table = reinterpret_cast<CTabHandle>(GetFixedResultServices().getColorTable(number));
}

void CopyCTable(CTabHandle source, CTabHandle destination) {
  if (!source) FatalError("srceClut is nil.", "CopyCTable();");
  if (!destination) FatalError("destClut is nil.", "CopyCTable();");
  CTable& from = **source;
  CTable& to = **destination;
  if (from.size + 1 > 0) {
    const SInt32 count = std::min(CTableEntryCount(source), CTableEntryCount(destination));
    for (SInt32 i = 0; i < count; ++i) to.table[i] = from.table[i];
  }
  to.seed = from.seed;
  to.size = from.size;
  to.flags = from.flags;
}
