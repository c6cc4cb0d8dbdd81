// Every pixel map the engine makes for the system, keyed by its handle, with
// the world that owns it, its alpha map, names and the window-sharing state.
// The display hook table reaches it through slots 1 to 6.
#pragma once

#include "GWorld.h"
#include "HashTable.h"
#include "Lists.h"
#include "MacTypes.h"
#include "PixMap.h"

struct OpaqueWindowPtr;
typedef OpaqueWindowPtr* WindowRef;

struct PixMapListEntry {
  LockedListItem link;
  PixMapHandle handle;  // the key
  PixMapHandle alpha;
  GWorldPtr world;
  UInt8 clutUpdate;
  UInt8 inUse;
  UInt8 ownsMemory;
  UInt8 alignment;  // bytes the base was moved up to reach a multiple of 32
  Str255 name;
  Str255 pictName;
  GWorldPtr savedWorld;  // the own world while the pixels are a window's
  UInt8 sharesWindowPixels;
};

// 257 buckets, no duplicates; made by the start-up list.
extern HashTable* pixmapLIST;
void InitPixMapList();
void ExitPixMapList();
// Nil when the handle is not listed.
PixMapListEntry* FindPixMapEntry(PixMapHandle pixMap);

void InstallPixMapHooks();
// Clears the installed flag only.
void ResetPixMapHooks();

OSErr CreatePixMap(SInt32 depth, PixMapHandle* out, const Rect* bounds, UInt8 mustSucceed, UInt8 ownMemory,
                   UInt8 erase);
// With an 8-bit alpha map of the same bounds.
OSErr CreatePixMap2(SInt32 depth, PixMapHandle* out, const Rect* bounds, UInt8 mustSucceed, UInt8 ownMemory,
                    UInt8 erase);
void DestroyPixMap(PixMapHandle* pixMap);
GWorldPtr GetPixMapGWorld(PixMapHandle pixMap);
void SetPortToPixMapGWorld(PixMapHandle pixMap);
PixMapHandle GetPixMapAlpha(PixMapHandle pixMap);
GWorldPtr CreateWindowWorld(WindowRef window, SInt32 depth, SInt32 width, SInt32 height);

void SetPixMapName(PixMapHandle pixMap, ConstStr255Param name);
void SetPixMapPictName(PixMapHandle pixMap, ConstStr255Param name);
// Copies only names of at most 31 characters; else -1, buffer untouched.
SInt32 GetPixMapName(PixMapHandle pixMap, StringPtr out);
SInt32 GetPixMapPictName(PixMapHandle pixMap, StringPtr out);
void SetPixMapInUse(PixMapHandle pixMap, UInt8 inUse);
void SetClutUpdate(PixMapHandle pixMap, UInt8 update);
UInt8 GetInUse(PixMapHandle pixMap);
UInt8 GetClutUpdate(PixMapHandle pixMap);

// The window-sharing state: only where the window's pixel map covers the
// world's bounds, which the 1 x 1 window port here never does.
UInt8 ShareWindowPixels(GWorldPtr* world, WindowRef window);
void DisposeWindowWorld(GWorldPtr* world);
UInt8 CopySavedWorldToPixMap(GWorldPtr world);
UInt8 CopyPixMapToSavedWorld(GWorldPtr world);

// No effect here beyond the application's callbacks, of which none is stored.
SInt32 LockAllPixMaps();
SInt32 UnlockAllPixMaps();

// Tests only: makes the next own-memory block of CreatePixMap fail.
void FailNextPixMapBlockForTesting();
