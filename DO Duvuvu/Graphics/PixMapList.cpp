#include "PixMapList.h"

#include <cstdint>

#include "AppGlobals.h"
#include "DisplayHooks.h"
#include "Errors.h"
#include "FixedResults.h"
#include "MainWindow.h"
#include "Memory.h"
#include "PixMapDrawing.h"
#include "Ports.h"
#include "ResultCodes.h"
#include "Strings.h"
#include "Windows.h"

HashTable* pixmapLIST = nullptr;

namespace {

constexpr SInt32 kBucketCount = 257;
const unsigned char kListName[] = "\012pixmapLIST";
const unsigned char kUnnamed[] = "\020(unnamed pixmap)";

UInt8 gHooksInstalled = 0;
UInt8 gFailNextBlock = 0;

PixMapListEntry* EntryOf(LockedListItem* item) { return reinterpret_cast<PixMapListEntry*>(item); }

UInt32 HashEntry(LockedListItem* item, void*) {
  const auto key = reinterpret_cast<uintptr_t>(EntryOf(item)->handle);
  return static_cast<UInt32>(key ^ (static_cast<UInt64>(key) >> 32));
}

SInt32 CompareEntries(LockedListItem* item, LockedListItem* probe, void*) {
  return EntryOf(item)->handle == EntryOf(probe)->handle;
}

HashTable& List() {
  InitPixMapList();
  return *pixmapLIST;
}

PixMapListEntry* FindOrDie(PixMapHandle pixMap, const char* message, const char* location) {
  PixMapListEntry* entry = FindPixMapEntry(pixMap);
  if (!entry) FatalError(message, location);
  return entry;
}

constexpr const char* kNotLocated = "Pixmap was not located in the list!";
constexpr const char* kNotInList = "That pixmap was not in the list.";

// The pixel format, or the depth where the format is 0.
SInt32 FormatOf(PixMapHandle pixMap) {
  const PixMap* p = *pixMap;
  return p->pixelFormat ? static_cast<SInt32>(p->pixelFormat) : p->pixelDepth;
}

// The list's own row bytes: whole groups of 32 pixels.
SInt64 ListRowBytes(SInt32 width, SInt32 depth) { return static_cast<SInt64>((width + 31) / 32) * depth * 4; }

// Rows of CreateGWorld: ceil(depth x width / 8) rounded up to 32.
SInt64 WorldRowBytes(SInt32 width, SInt32 depth) {
  return ((static_cast<SInt64>(depth) * width + 7) / 8 + 31) / 32 * 32;
}

OSErr Fail(PixMapHandle* out, OSErr err) {
  *out = nullptr;
  SetMemoryError(err);
  return err;
}

void Rekey(PixMapListEntry* entry) {
  List().Remove(&entry->link);
  entry->handle = entry->world->portPixMap;
  List().Insert(&entry->link);
}

Boolean Contains(const Rect& outer, const Rect& inner) {
  return inner.top >= outer.top && inner.left >= outer.left && inner.bottom <= outer.bottom &&
         inner.right <= outer.right;
}

}  // namespace

void InitPixMapList() {
  if (!pixmapLIST) pixmapLIST = new HashTable(HashEntry, nullptr, CompareEntries, nullptr, kBucketCount, 0, kListName);
}

void ExitPixMapList() {
  delete pixmapLIST;
  pixmapLIST = nullptr;
}

PixMapListEntry* FindPixMapEntry(PixMapHandle pixMap) {
  if (!pixMap) return nullptr;
  PixMapListEntry probe{};
  probe.handle = pixMap;
  return EntryOf(List().Find(&probe.link));
}

void InstallPixMapHooks() {
  if (gHooksInstalled) return;
  gDisplayHooks.createPixMap = CreatePixMap;
  gDisplayHooks.releasePixMap = DestroyPixMap;
  gDisplayHooks.findPixMapGWorld = GetPixMapGWorld;
  gDisplayHooks.findPixMapAlpha = GetPixMapAlpha;
  gDisplayHooks.setPortToPixMap = SetPortToPixMapGWorld;
  gDisplayHooks.makeWindowWorld = CreateWindowWorld;
  gHooksInstalled = 1;
}

void ResetPixMapHooks() { gHooksInstalled = 0; }

OSErr CreatePixMap(SInt32 depth, PixMapHandle* out, const Rect* bounds, UInt8 mustSucceed, UInt8 ownMemory,
                   UInt8 erase) {
  InstallPixMapHooks();
  const SInt32 width = bounds->right - bounds->left > 0 ? bounds->right - bounds->left : 0;
  const SInt32 height = bounds->bottom - bounds->top > 0 ? bounds->bottom - bounds->top : 0;

  // Sizes in 64 bits: a row that does not fit 15 bits, or a block that does
  // not fit the allocator, is out of memory.
  GWorldPtr world = nullptr;
  OSErr err = 0;
  if (WorldRowBytes(width, depth) > kPixMapRowBytesMask ||
      (ownMemory && ListRowBytes(width, depth) > kPixMapRowBytesMask))
    err = kErrMemFull;
  else
    err = CreateGWorld(&world, static_cast<SInt16>(depth), bounds, reinterpret_cast<Handle>(GlobalColorTable), 0, 0);
  if (err || !world) {
    if (!mustSucceed) {
      if (world) DestroyGWorld(world);
      return Fail(out, err ? err : kErrMemFull);
    }
    if (err) FatalErrorNum("CreatePixMap() failed.", err);
    FatalError("CreatePixMap() failed because \"worldPtr\" is nil.", "");
  }
  LockPixMapMemory(world);
  *out = world->portPixMap;
  LockPixMapPixels(*out);

  UInt8 alignment = 0;
  if (ownMemory) {
    const SInt64 rowBytes = ListRowBytes(width, (**out)->pixelDepth);
    const SInt64 size = static_cast<SInt64>(height) * rowBytes + 32;
    const SInt16 worldDepth = static_cast<SInt16>(FormatOf(*out));
    *out = nullptr;
    DestroyGWorld(world);
    world = nullptr;
    Ptr block = nullptr;
    if (gFailNextBlock) {
      gFailNextBlock = 0;
    } else if (size <= 0x7FFFFFFF) {
      block = NewPtrBlock(static_cast<SInt32>(size));
    }
    if (!block) {
      if (mustSucceed) FatalError("CreatePixMap() failed because \"mem\" is nil.", "");
      return Fail(out, kErrMemFull);
    }
    const auto address = reinterpret_cast<uintptr_t>(block);
    alignment = static_cast<UInt8>(address % 32 ? 32 - address % 32 : 0);
    err = BuildGWorldOverMemory(&world, worldDepth, bounds, reinterpret_cast<Handle>(GlobalColorTable), 0, 0,
                                block + alignment, static_cast<UInt16>(rowBytes));
    if (err) {
      DisposePtrBlock(block);
      if (mustSucceed) FatalErrorNum("CreatePixMap() failed.", err);
      return Fail(out, err);
    }
    *out = world->portPixMap;
  }

  if (erase) {
    GWorldPtr saved = nullptr;
    GetCurrentPort(&saved, nullptr);
    SetCurrentPort(world);
    FillRectBackColor(bounds);
    SetCurrentPort(saved);
  }

  auto* entry = new PixMapListEntry();
  entry->handle = *out;
  entry->world = world;
  entry->ownsMemory = ownMemory;
  entry->alignment = alignment;
  PStrCopy(kUnnamed, entry->name);
  List().Insert(&entry->link);
  return 0;
}

OSErr CreatePixMap2(SInt32 depth, PixMapHandle* out, const Rect* bounds, UInt8 mustSucceed, UInt8 ownMemory,
                    UInt8 erase) {
  OSErr err = MakePixMap(static_cast<UInt8>(depth), out, bounds, mustSucceed, ownMemory, erase);
  if (err) return err;
  PixMapListEntry* entry = FindOrDie(*out, kNotLocated, "CreatePixMap2()");
  err = MakePixMap(8, &entry->alpha, bounds, mustSucceed, ownMemory, erase);
  if (err) {
    ReleasePixMap(out);
    return err;
  }
  return 0;
}

void DestroyPixMap(PixMapHandle* pixMap) {
  if (!pixMap || !*pixMap) return;
  PixMapListEntry* entry = FindOrDie(*pixMap, kNotLocated, "DestroyPixMap()");
  if (entry->alpha) ReleasePixMap(&entry->alpha);
  Ptr block = nullptr;
  if (entry->ownsMemory) block = (*entry->world->portPixMap)->baseAddr - entry->alignment;
  if (entry->sharesWindowPixels && entry->savedWorld) {
    // The own world and its pixels are the saved one; the sharing world owns nothing.
    block = entry->ownsMemory ? (*entry->savedWorld->portPixMap)->baseAddr - entry->alignment : nullptr;
    DestroyGWorld(entry->savedWorld);
  }
  DestroyGWorld(entry->world);
  if (entry->ownsMemory && block) DisposePtrBlock(block);
  List().Remove(&entry->link);
  delete entry;
  *pixMap = nullptr;
}

GWorldPtr GetPixMapGWorld(PixMapHandle pixMap) {
  if (PixMapListEntry* entry = FindPixMapEntry(pixMap)) return entry->world;
  if (gMainWindow) {
    GWorldPtr port = GetWindowManagerPort(gMainWindow);
    if (port && port->portPixMap == pixMap) return port;
  }
  if (EngineSettings[kSettingGameOwnsScreen] && pixMap && pixMap == buildPMAP) return buildWORLD;
  for (WindowRef window = GetFrontWindow(); window; window = GetNextWindowRef(window)) {
    GWorldPtr port = GetWindowManagerPort(window);
    if (port && port->portPixMap == pixMap) return port;
  }
  FatalError("GetPixMapGWorld() failed.", "");
}

void SetPortToPixMapGWorld(PixMapHandle pixMap) { SetCurrentPort(FindPixMapGWorld(pixMap)); }

PixMapHandle GetPixMapAlpha(PixMapHandle pixMap) {
  return FindOrDie(pixMap, kNotLocated, "GetPixMapAlpha()")->alpha;
}

GWorldPtr CreateWindowWorld(WindowRef window, SInt32 depth, SInt32 width, SInt32 height) {
  PixMapHandle pixMap = nullptr;
  const Rect bounds = {0, 0, static_cast<SInt16>(height), static_cast<SInt16>(width)};
  MakePixMap(static_cast<UInt8>(depth), &pixMap, &bounds, 1, 1, 1);
  if (!pixMap) return nullptr;
  GWorldPtr world = FindPixMapGWorld(pixMap);
  if (static_cast<SInt8>(depth) >= 9) {
    PixMapListEntry* entry = FindOrDie(pixMap, "Could not find the pixmap!", "");
    entry->savedWorld = nullptr;
    entry->sharesWindowPixels = 0;
  }
  ShareWindowPixels(&world, window);
  return FindPixMapGWorld(world->portPixMap);
}

void SetPixMapName(PixMapHandle pixMap, ConstStr255Param name) {
  PStrCopy(name, FindOrDie(pixMap, kNotLocated, "SetPixMapName()")->name);
}

void SetPixMapPictName(PixMapHandle pixMap, ConstStr255Param name) {
  PStrCopy(name, FindOrDie(pixMap, kNotLocated, "SetPixMapPictName()")->pictName);
}

SInt32 GetPixMapName(PixMapHandle pixMap, StringPtr out) {
  return PStrCopy31(FindOrDie(pixMap, kNotInList, "GetPixMapName()")->name, out);
}

SInt32 GetPixMapPictName(PixMapHandle pixMap, StringPtr out) {
  return PStrCopy31(FindOrDie(pixMap, kNotInList, "GetPixMapPictName()")->pictName, out);
}

void SetPixMapInUse(PixMapHandle pixMap, UInt8 inUse) {
  FindOrDie(pixMap, kNotLocated, "SetPixMapInUse()")->inUse = inUse;
}

void SetClutUpdate(PixMapHandle pixMap, UInt8 update) {
  FindOrDie(pixMap, kNotLocated, "SetClutUpdate()")->clutUpdate = update;
}

UInt8 GetInUse(PixMapHandle pixMap) { return FindOrDie(pixMap, kNotInList, "GetInUse()")->inUse; }

UInt8 GetClutUpdate(PixMapHandle pixMap) { return FindOrDie(pixMap, kNotLocated, "GetClutUpdate()")->clutUpdate; }

// Window sharing -----------------------------------------------------------------

UInt8 ShareWindowPixels(GWorldPtr* world, WindowRef window) {
  PixMapHandle pixMap = (*world)->portPixMap;
  const SInt32 d = FormatOf(pixMap);
  if (d <= 8) return 0;
  GWorldPtr windowPort = GetWindowManagerPort(window);
  if (!windowPort) return 0;
  PixMapHandle windowMap = windowPort->portPixMap;
  const SInt32 w = FormatOf(windowMap);
  PixMapListEntry* entry = FindOrDie(pixMap, "Could not find the pixmap!", "");

  const PixMap* wp = *windowMap;
  const SInt32 windowRow = wp->rowBytes & kPixMapRowBytesMask;
  Ptr offsetBase = wp->baseAddr - static_cast<ptrdiff_t>(wp->bounds.top) * windowRow -
                   static_cast<ptrdiff_t>(wp->bounds.left) * (w / 8);
  const Rect bounds = (*pixMap)->bounds;
  // A world over the window's pixels must lie inside them.
  const Boolean covers = Contains(wp->bounds, bounds);

  auto buildSharing = [&]() -> GWorldPtr {
    GWorldPtr sharing = nullptr;
    if (BuildGWorldOverMemory(&sharing, static_cast<SInt16>(d), &bounds, nullptr, 0, 0, offsetBase,
                              static_cast<UInt16>(windowRow)))
      return nullptr;
    return sharing;
  };
  auto unshare = [&]() {
    DestroyGWorld(entry->world);
    entry->world = entry->savedWorld;
    *world = entry->savedWorld;
    entry->savedWorld = nullptr;
    entry->sharesWindowPixels = 0;
  };

  UInt8 changed = 0;
  if (d == w && !entry->sharesWindowPixels && covers) {
    if (GWorldPtr sharing = buildSharing()) {
      entry->savedWorld = *world;
      entry->world = sharing;
      entry->sharesWindowPixels = 1;
      *world = sharing;
      changed = 1;
    }
  } else if (entry->sharesWindowPixels && (d != w || !covers)) {
    unshare();
    changed = 1;
  } else if (d == w && entry->sharesWindowPixels && (*entry->world->portPixMap)->baseAddr != offsetBase) {
    GWorldPtr saved = entry->savedWorld;
    unshare();
    if (GWorldPtr sharing = buildSharing()) {
      entry->savedWorld = saved;
      entry->world = sharing;
      entry->sharesWindowPixels = 1;
      *world = sharing;
    }
    changed = 1;
  }
  if (changed) Rekey(entry);
  return changed;
}

void DisposeWindowWorld(GWorldPtr* world) {
  if (!world || !*world) return;
  PixMapListEntry* entry = FindPixMapEntry((*world)->portPixMap);
  if (entry && FormatOf((*world)->portPixMap) > 8 && entry->sharesWindowPixels) {
    DestroyGWorld(entry->world);
    entry->world = entry->savedWorld;
    entry->savedWorld = nullptr;
    entry->sharesWindowPixels = 0;
    Rekey(entry);
    *world = entry->world;
  }
  PixMapHandle pixMap = (*world)->portPixMap;
  ReleasePixMap(&pixMap);
  *world = nullptr;
}

namespace {

UInt8 CopyBetweenSharedWorlds(GWorldPtr world, bool toPixMap) {
  if (!world) return 0;
  PixMapListEntry* entry = FindPixMapEntry(world->portPixMap);
  if (!entry || FormatOf(world->portPixMap) <= 8 || !entry->sharesWindowPixels || !entry->savedWorld) return 0;
  const PixMap* saved = *entry->savedWorld->portPixMap;
  const PixMap* sharing = *entry->world->portPixMap;
  const Rect bounds = sharing->bounds;
  if (toPixMap)
    CopyPixMapBits(saved, sharing, &bounds, &bounds, kCopyModeCopy, nullptr);
  else
    CopyPixMapBits(sharing, saved, &bounds, &bounds, kCopyModeCopy, nullptr);
  return 1;
}

}  // namespace

UInt8 CopySavedWorldToPixMap(GWorldPtr world) { return CopyBetweenSharedWorlds(world, true); }

UInt8 CopyPixMapToSavedWorld(GWorldPtr world) { return CopyBetweenSharedWorlds(world, false); }

namespace {

void ForEachBorrowedPixMap(bool lock) {
  for (LockedListItem* item = List().First(); item; item = List().Next(item)) {
    PixMapListEntry* entry = EntryOf(item);
    if (entry->ownsMemory) continue;
    if (lock) {
      LockPixMapMemory(entry->world);
      LockPixMapPixels(entry->handle);
    } else {
      UnlockPixMapPixels(entry->handle);
      UnlockPixMapMemory(entry->world);
    }
  }
}

}  // namespace

SInt32 LockAllPixMaps() {
  ForEachBorrowedPixMap(true);
  return 0;
}

SInt32 UnlockAllPixMaps() {
  ForEachBorrowedPixMap(false);
  return 0;
}

void FailNextPixMapBlockForTesting() { gFailNextBlock = 1; }
