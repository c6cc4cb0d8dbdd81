#include "ColorTableFades.h"

#include <algorithm>

#include "AppGlobals.h"
#include "ColorTables.h"
#include "DisplayFlush.h"
#include "DisplayHooks.h"
#include "Errors.h"
#include "PortDrawing.h"
#include "TickRecords.h"

namespace {

constexpr SInt16 kDirectDevice = 2;

struct ColorFadeState {
  UInt8 on = 0;
  CTabHandle fade = nullptr;
  CTabHandle targetCopy = nullptr;
  CTabHandle initial = nullptr;
  CTabHandle current = nullptr;
};
ColorFadeState gClut;

CTabHandle DeviceColorTable(DeviceHandle device) {
  PixMapHandle pixMap = (*device)->pixMap;
  return pixMap ? reinterpret_cast<CTabHandle>((*pixMap)->colorTable) : nullptr;
}

// The colours of the table now shown; presented when the game owns the screen.
void ShowColors(CTabHandle colors) {
  if (IsFullScreen()) return;
  if (colors && gClut.current) CopyCTable(colors, gClut.current);
  if (EngineSettings[0]) FlushToScreen(nullptr);
}

CTabHandle NewFullTable() {
  CTabHandle table = reinterpret_cast<CTabHandle>(NewCTableHandle());
  if (table) (*table)->size = 255;
  return table;
}

}  // namespace

void FadeColorTable(CTabHandle target, SInt16 steps, DeviceHandle device) {
  if (!gClut.on) return;
  if (!device) device = mainDEVICE;
  if (!device || !target) return;
  if ((*device)->type == kDirectDevice) {
    if (gClut.current) CopyCTable(target, gClut.current);
    return;
  }
  if (!gClut.fade || !gClut.targetCopy || !gClut.initial || !gClut.current) return;
  void* previous = GetCurrentDevice();
  SetCurrentDevice(device);
  CTabHandle own = DeviceColorTable(device);
  if (own) CopyCTable(own, gClut.initial);
  CopyCTable(target, gClut.targetCopy);
  CopyCTable(gClut.current, gClut.fade);

  if (steps >= 2) {
    const SInt32 count = std::min({CTableEntryCount(gClut.current), CTableEntryCount(gClut.targetCopy),
                                   CTableEntryCount(gClut.fade)});
    SInt32 deltas[256][3];
    const ColorSpecEntry* goal = (*gClut.targetCopy)->table;
    const ColorSpecEntry* from = (*gClut.current)->table;
    for (SInt32 i = 0; i < count; ++i) {
      deltas[i][0] = (goal[i].red - from[i].red) / steps;
      deltas[i][1] = (goal[i].green - from[i].green) / steps;
      deltas[i][2] = (goal[i].blue - from[i].blue) / steps;
    }
    for (SInt16 step = 1; step < steps; ++step) {
      RecordTickCount();
      ColorSpecEntry* fade = (*gClut.fade)->table;
      for (SInt32 i = 0; i < count; ++i) {
        fade[i].red = static_cast<UInt16>(fade[i].red + deltas[i][0]);
        fade[i].green = static_cast<UInt16>(fade[i].green + deltas[i][1]);
        fade[i].blue = static_cast<UInt16>(fade[i].blue + deltas[i][2]);
      }
      ShowColors(gClut.fade);
      DelaySinceTickRecord(1);
    }
  }
  if (steps >= 1) ShowColors(gClut.targetCopy);
  CopyCTable(gClut.targetCopy, gClut.current);
  if (own) {
    const SInt32 count = std::min({CTableEntryCount(own), CTableEntryCount(gClut.initial),
                                   static_cast<SInt32>((*gClut.fade)->size) + 1});
    for (SInt32 i = 0; i < count; ++i) {
      ColorSpecEntry& entry = (*own)->table[i];
      const ColorSpecEntry& saved = (*gClut.initial)->table[i];
      entry.red = saved.red;
      entry.green = saved.green;
      entry.blue = saved.blue;
    }
  }
  SetCurrentDevice(previous);
}

void ApplyColorTable(CTabHandle table, DeviceHandle device) { FadeColorTable(table, 1, device); }

void FadeScreenColor(const ColorRGB* color, SInt16 steps, DeviceHandle device) {
  if (!gClut.on) return;
  if (!gClut.fade) FatalError("FadeScreenColor():  fadeCLUT is nil.", "");
  if ((*gClut.fade)->size != 255) FatalErrorNum("FadeScreenColor():  fadeCLUT.ctSize is invalid.", (*gClut.fade)->size);
  if (!color) return;
  const SInt32 count = CTableEntryCount(gClut.fade);
  for (SInt32 i = 0; i < count; ++i) {
    ColorSpecEntry& entry = (*gClut.fade)->table[i];
    entry.red = color->red;
    entry.green = color->green;
    entry.blue = color->blue;
  }
  FadeColorTable(gClut.fade, steps, device);
}

void FadeScreenColorNow(const ColorRGB* color, DeviceHandle device) { FadeScreenColor(color, 1, device); }

CTabHandle GetOrigCTable() {
  if (!mainDEVICE) FatalError("mainDEVICE is nil.", "GetOrigCTable()");
  if ((*mainDEVICE)->type == kDirectDevice) return gClut.initial;
  return DeviceColorTable(mainDEVICE);
}

void GetScreenColors(CTabHandle table) { CopyCTable(gClut.current, table); }

void DisposeScreenFadeColorTables() {
  if (!gClut.on) return;
  DisposeCTable(&gClut.current);
  DisposeCTable(&gClut.fade);
  DisposeCTable(&gClut.targetCopy);
  DisposeCTable(&gClut.initial);
  gClut.on = 0;
}

void SetScreenFadeColorTablesForTesting() {
  if (gClut.on) return;
  gClut.fade = NewFullTable();
  gClut.targetCopy = NewFullTable();
  gClut.initial = NewFullTable();
  gClut.current = NewFullTable();
  gClut.on = 1;
}

void GetScreenFadeColorTablesForTesting(ScreenFadeTables* tables) {
  tables->fade = gClut.fade;
  tables->targetCopy = gClut.targetCopy;
  tables->initial = gClut.initial;
  tables->current8 = gClut.current;
}
