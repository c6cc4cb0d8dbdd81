// The pixel map record every drawing layer shares: a block of pixels with its
// bounds and row length.
#pragma once

#include "MacTypes.h"

struct PixMap {
  Ptr baseAddr;        // pixel at the bounds' top-left
  UInt16 rowBytes;     // bit 15 set on every pixel map; the low 15 bits count
  Rect bounds;
  SInt16 version;      // 1
  SInt16 packType;     // 0
  UInt32 packSize;     // 0
  UInt32 hRes;         // 72
  UInt32 vRes;         // 72
  SInt16 pixelType;    // 0
  SInt16 pixelDepth;   // 8, 16 or 32
  SInt16 cmpCount;     // 1
  SInt16 cmpSize;      // 8 for 32-bit pixels, else 5
  UInt32 pixelFormat;  // the depth, or 0 where the depth stands in for it
  Handle colorTable;   // may be nil
  UInt32 extension;    // 0
};
typedef PixMap* PixMapPtr;
typedef PixMapPtr* PixMapHandle;

// The flag that tells a pixel map's row bytes from a bitmap's.
constexpr UInt16 kPixMapRowBytesFlag = 0x8000;
constexpr UInt16 kPixMapRowBytesMask = 0x7FFF;

// A colour of three 16-bit components, 0..65535.
struct ColorRGB {
  UInt16 red;
  UInt16 green;
  UInt16 blue;
};

// Interlaced drawing (with EngineSettings byte 6): 0 off, 1 line doubling,
// 2 and 3 one field of rows. Nothing in the program sets it.
extern UInt8 InterlaceMode;
// The blitter's name for the same byte: any non-zero value draws one field.
inline UInt8& InterlaceActive = InterlaceMode;
// The parity of the rows drawn in one field (0 or 1).
extern UInt8 InterlaceField;
