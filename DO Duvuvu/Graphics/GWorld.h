// Drawing ports in memory: the GWorld record over a PixMap, the current port,
// and the building and disposal of worlds over their own or given pixels.
#pragma once

#include "MacTypes.h"
#include "PixMap.h"

struct GWorld {
  UInt32 device;           // 0
  PixMapHandle portPixMap;
  UInt32 portVersion;      // 1
  Ptr ownedPixels;         // the block this world allocated for its pixels, else nil
  Rect portRect;           // the bounds it was built with
  ColorRGB foreColor;      // black when built
  ColorRGB backColor;      // white when built
  Point penLocation;       // (0, 0) when built
  Point penSize;           // v = height, h = width; 1 x 1 when built
  SInt16 textFont;
  UInt8 textStyle;
  SInt16 textMode;
  SInt16 textSize;
  UInt32 reserved[4];
};
typedef GWorld* GWorldPtr;

// The current port; when none is set yet, a 16-bit world of empty bounds is
// made first. *outDevice (when given) is set to nil.
void GetCurrentPort(GWorldPtr* outPort, void** outDevice);
// No check: nil is accepted. Returns the world.
GWorldPtr SetCurrentPort(GWorldPtr world);

PixMapHandle PixMapOfPort(GWorldPtr world);
PixMapHandle GetPortPixMap(GWorldPtr world);
Ptr PixMapBaseAddress(PixMapHandle pixMap);
// Row bytes with the pixel-map flag cleared.
UInt16 PixMapRowBytes(PixMapHandle pixMap);

// Base nil, row bytes 0x8000, empty bounds, version 1, resolutions 72.0 (16.16);
// nil when memory is short.
PixMapHandle NewPixMapHandle();
void DisposePixMapHandle(PixMapHandle pixMap);

// A world with its own zero-filled pixels: rows rounded up to 32 bytes, base
// aligned to 32. An existing *out is destroyed first. 0 or the memory error.
OSErr CreateGWorld(GWorldPtr* out, SInt16 depth, const Rect* bounds, Handle colorTable, UInt32 unused1,
                   UInt32 unused2);
// A world over pixels it does not own. 0 or the memory error.
OSErr BuildGWorldOverMemory(GWorldPtr* out, SInt16 depth, const Rect* bounds, Handle colorTable, UInt32 unused1,
                            UInt32 unused2, Ptr baseAddress, UInt16 rowBytes);
void DestroyGWorld(GWorldPtr world);
