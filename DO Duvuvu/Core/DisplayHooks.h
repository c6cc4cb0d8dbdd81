// The table through which lower layers reach the display services that higher
// layers install at start-up. Every calling routine answers a fixed value while
// its slot is empty.
#pragma once

#include "MacTypes.h"

struct PixMap;
typedef PixMap* PixMapPtr;
typedef PixMapPtr* PixMapHandle;
struct GWorld;
typedef GWorld* GWorldPtr;
struct OpaqueWindowPtr;
typedef OpaqueWindowPtr* WindowRef;

struct DisplayHookTable {
  void (*restoreBrightness)();                                                    // 0
  OSErr (*createPixMap)(SInt32 depth, PixMapHandle* out, const Rect* bounds,
                        UInt8 mustSucceed, UInt8 ownMemory, UInt8 erase);         // 1
  void (*releasePixMap)(PixMapHandle* pixMap);                                     // 2
  GWorldPtr (*findPixMapGWorld)(PixMapHandle pixMap);                              // 3
  PixMapHandle (*findPixMapAlpha)(PixMapHandle pixMap);                            // 4
  void (*setPortToPixMap)(PixMapHandle pixMap);                                    // 5
  GWorldPtr (*makeWindowWorld)(WindowRef window, SInt32 depth, SInt32 width,
                               SInt32 height);                                     // 6
  void (*flushToScreen)(WindowRef window);                                         // 7
  UInt32 (*isFullScreen)();                                                        // 8
  void (*setFullScreen)(UInt32 on);                                                // 9
  void (*enterMenuMode)();                                                         // 10
  void (*leaveMenuMode)();                                                         // 11
  SInt32 (*inMenuMode)();                                                          // 12
  // Reserved: no service fills 13 and 14, and nothing calls their routines.
  UInt32 (*reserved13)(UInt32 value);                                              // 13
  void (*reserved14)();                                                            // 14
};

// All slots empty until their owners fill them.
extern DisplayHookTable gDisplayHooks;

// The calling routines, one per slot; each forwards its arguments unchanged.
void RestoreBrightness();
// Slot 2; empty: the pixels (when set) and the handle are released, and the
// caller's handle becomes nil.
void ReleasePixMap(PixMapHandle* pixMap);
GWorldPtr FindPixMapGWorld(PixMapHandle pixMap);
PixMapHandle FindPixMapAlpha(PixMapHandle pixMap);
void SetPortToPixMap(PixMapHandle pixMap);
GWorldPtr MakeWindowWorld(WindowRef window, UInt8 depth, SInt16 width, SInt16 height);
// FlushToScreen (slot 7) pumps events and sound first, so it lives above the
// shell and audio layers.
UInt8 IsFullScreen();
// 255 = the stored preference.
void SetFullScreen(UInt8 on);
void EnterMenuMode();
void LeaveMenuMode();
// 0 while the slot is empty.
SInt32 InMenuMode();
UInt8 DisplayHookSlot13(UInt32 value);
void DisplayHookSlot14();
