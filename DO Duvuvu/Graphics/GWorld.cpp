#include "GWorld.h"

#include <cstdint>
#include <cstring>

#include "Memory.h"
#include "ResultCodes.h"

namespace {

GWorldPtr gCurrentPort = nullptr;

constexpr UInt32 kResolution72 = 72u << 16;  // 72.0 in 16.16

}  // namespace

void GetCurrentPort(GWorldPtr* outPort, void** outDevice) {
  if (!gCurrentPort) {
    const Rect empty = {0, 0, 0, 0};
    CreateGWorld(&gCurrentPort, 16, &empty, nullptr, 0, 0);
  }
  *outPort = gCurrentPort;
  if (outDevice) *outDevice = nullptr;
}

GWorldPtr SetCurrentPort(GWorldPtr world) {
  gCurrentPort = world;
  return world;
}

PixMapHandle PixMapOfPort(GWorldPtr world) { return world->portPixMap; }

PixMapHandle GetPortPixMap(GWorldPtr world) { return world->portPixMap; }

Ptr PixMapBaseAddress(PixMapHandle pixMap) { return (*pixMap)->baseAddr; }

UInt16 PixMapRowBytes(PixMapHandle pixMap) { return (*pixMap)->rowBytes & kPixMapRowBytesMask; }

PixMapHandle NewPixMapHandle() {
  auto pixMap = reinterpret_cast<PixMapHandle>(NewHandleBlockClear(sizeof(PixMap)));
  if (!pixMap) return nullptr;
  PixMap* p = *pixMap;
  p->baseAddr = nullptr;
  p->rowBytes = kPixMapRowBytesFlag;
  p->bounds = Rect{0, 0, 0, 0};
  p->version = 1;
  p->hRes = kResolution72;
  p->vRes = kResolution72;
  return pixMap;
}

void DisposePixMapHandle(PixMapHandle pixMap) { DisposeHandleBlock(reinterpret_cast<Handle>(pixMap)); }

OSErr CreateGWorld(GWorldPtr* out, SInt16 depth, const Rect* bounds, Handle colorTable, UInt32 unused1,
                   UInt32 unused2) {
  if (*out) {
    ClearMemoryError();
    DestroyGWorld(*out);
    *out = nullptr;
    if (OSErr err = GetMemoryError()) return err;
  }
  // Whole bytes per row (a 1-bit row of 10 pixels still needs 2), in 64 bits:
  // row bytes live in 15 bits and the block in an i32.
  const SInt64 rowBits = static_cast<SInt64>(depth) * (bounds->right - bounds->left);
  const SInt64 rowBytes = ((rowBits + 7) / 8 + 31) & ~static_cast<SInt64>(31);
  const SInt64 size = static_cast<SInt64>(bounds->bottom - bounds->top) * rowBytes + 32;
  const bool fits = rowBytes >= 0 && rowBytes <= kPixMapRowBytesMask && size >= 0 && size <= 0x7FFFFFFF;
  Ptr block = fits ? NewPtrBlockClear(static_cast<UInt32>(size)) : nullptr;
  if (!fits) SetMemoryError(kErrMemFull);
  if (!block) {
    if (!GetMemoryError()) SetMemoryError(kErrMemFull);
    return GetMemoryError();
  }
  const uintptr_t aligned = (reinterpret_cast<uintptr_t>(block) + 31) & ~static_cast<uintptr_t>(31);
  Ptr base = block + (aligned - reinterpret_cast<uintptr_t>(block));
  if (BuildGWorldOverMemory(out, depth, bounds, colorTable, unused1, unused2, base, static_cast<UInt16>(rowBytes)) !=
      0) {
    DisposePtrBlock(block);
    SetMemoryError(kErrMemFull);
    return kErrMemFull;
  }
  (*out)->ownedPixels = block;
  return 0;
}

OSErr BuildGWorldOverMemory(GWorldPtr* out, SInt16 depth, const Rect* bounds, Handle colorTable, UInt32, UInt32,
                            Ptr baseAddress, UInt16 rowBytes) {
  if (*out) {
    ClearMemoryError();
    DestroyGWorld(*out);
    *out = nullptr;
    if (OSErr err = GetMemoryError()) return err;
  }
  auto world = reinterpret_cast<GWorldPtr>(NewPtrBlock(sizeof(GWorld)));
  if (!world) return GetMemoryError();
  std::memset(world, 0, sizeof(GWorld));
  world->portPixMap = NewPixMapHandle();
  world->portVersion = 1;
  world->portRect = *bounds;
  world->foreColor = ColorRGB{0, 0, 0};
  world->backColor = ColorRGB{65535, 65535, 65535};
  world->penSize = Point{1, 1};
  if (!world->portPixMap) {
    DisposePtrBlock(world);
    *out = nullptr;
    SetMemoryError(kErrMemFull);
    return kErrMemFull;
  }
  PixMap* p = *world->portPixMap;
  p->cmpCount = 1;
  p->cmpSize = depth == 32 ? 8 : 5;
  p->pixelFormat = static_cast<UInt32>(depth);
  p->pixelDepth = depth;
  p->rowBytes = static_cast<UInt16>(rowBytes | kPixMapRowBytesFlag);
  p->bounds = *bounds;
  p->colorTable = colorTable;
  p->baseAddr = baseAddress;
  *out = world;
  return 0;
}

void DestroyGWorld(GWorldPtr world) {
  if (!world) return;
  // A size of 0 marks a record that is not ours to free; an unregistered one
  // (-111, left as the memory error) is not read at all.
  if (GetPtrBlockSize(world) <= 0) return;
  if (world->ownedPixels) {
    DisposePtrBlock(world->ownedPixels);
    world->ownedPixels = nullptr;
    if (world->portPixMap) (*world->portPixMap)->baseAddr = nullptr;
  }
  if (world->portPixMap) DisposePixMapHandle(world->portPixMap);
  DisposePtrBlock(world);
}
