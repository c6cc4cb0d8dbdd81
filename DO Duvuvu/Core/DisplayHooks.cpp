#include "DisplayHooks.h"

#include "Memory.h"
#include "PixMap.h"

DisplayHookTable gDisplayHooks = {};

void RestoreBrightness() {
  if (gDisplayHooks.restoreBrightness) gDisplayHooks.restoreBrightness();
}

void ReleasePixMap(PixMapHandle* pixMap) {
  if (gDisplayHooks.releasePixMap) {
    gDisplayHooks.releasePixMap(pixMap);
    return;
  }
  if (!pixMap || !*pixMap) return;
  PixMap* p = **pixMap;
  if (p->baseAddr) {
    DisposePtrBlock(p->baseAddr);
    p->baseAddr = nullptr;
  }
  DisposeHandleBlock(reinterpret_cast<Handle>(*pixMap));
  *pixMap = nullptr;
}

GWorldPtr FindPixMapGWorld(PixMapHandle pixMap) {
  return gDisplayHooks.findPixMapGWorld ? gDisplayHooks.findPixMapGWorld(pixMap) : nullptr;
}

PixMapHandle FindPixMapAlpha(PixMapHandle pixMap) {
  return gDisplayHooks.findPixMapAlpha ? gDisplayHooks.findPixMapAlpha(pixMap) : nullptr;
}

void SetPortToPixMap(PixMapHandle pixMap) {
  if (gDisplayHooks.setPortToPixMap) gDisplayHooks.setPortToPixMap(pixMap);
}

GWorldPtr MakeWindowWorld(WindowRef window, UInt8 depth, SInt16 width, SInt16 height) {
  // The depth byte goes on sign-extended, as the table's callers always did.
  if (!gDisplayHooks.makeWindowWorld) return nullptr;
  return gDisplayHooks.makeWindowWorld(window, static_cast<SInt8>(depth), width, height);
}

UInt8 IsFullScreen() { return gDisplayHooks.isFullScreen ? static_cast<UInt8>(gDisplayHooks.isFullScreen()) : 0; }

void SetFullScreen(UInt8 on) {
  if (gDisplayHooks.setFullScreen) gDisplayHooks.setFullScreen(on);
}

void EnterMenuMode() {
  if (gDisplayHooks.enterMenuMode) gDisplayHooks.enterMenuMode();
}

void LeaveMenuMode() {
  if (gDisplayHooks.leaveMenuMode) gDisplayHooks.leaveMenuMode();
}

SInt32 InMenuMode() { return gDisplayHooks.inMenuMode ? gDisplayHooks.inMenuMode() : 0; }

UInt8 DisplayHookSlot13(UInt32 value) {
  return gDisplayHooks.reserved13 ? static_cast<UInt8>(gDisplayHooks.reserved13(value)) : 0;
}

void DisplayHookSlot14() {
  if (gDisplayHooks.reserved14) gDisplayHooks.reserved14();
}
