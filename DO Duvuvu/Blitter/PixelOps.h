// Pixel operations on pixel maps: colour tests over a rectangle, one tinted
// 16-bit pixel, and the bit-range masks of the 16-bit pixel arithmetic.
#pragma once

#include <array>

#include "BlitTypes.h"
#include "MacTypes.h"
#include "PixMap.h"

// The rectangle counts from the base address (no bounds subtraction).
// 2 when every pixel is colour, 1 when some are, 0 when none is.
SInt8 RectHasColorName(PixMapHandle pixMap, const Rect* r, UInt32 color);
// 1 when some pixel lies in low..high (at 16 bits with a shadow table: when bit
// 15 of shadow[pixel] is set). *keyFree (when given) gets 1 when no pixel is
// the transparent key, else 0.
UInt32 RectContainsColorsName(PixMapHandle pixMap, const Rect* r, UInt32 low, UInt32 high,
                              UInt8* keyFree, const UInt16* shadow);

// The tint's red, green and blue are 5-bit components here and its level
// 0..32 (32: the colour replaces the pixel).
// Blends the tint's colour over the 16-bit pixel at (column, row) counted from
// the base address; every field moves by floor((C - D) x level / 32).
void SetPixelTinted16(PixMapHandle pixMap, UInt32 column, SInt32 row, BlitTint tint);

// Entry b x 32 + e: bits b..e set (bit 0 = 0x80000000), wrapping round when b > e.
constexpr std::array<UInt32, 1024> MakeRotateMaskTable() {
  std::array<UInt32, 1024> table{};
  for (UInt32 b = 0; b < 32; ++b) {
    for (UInt32 e = 0; e < 32; ++e) {
      const UInt32 hi = 0xFFFFFFFFu << (31 - e);
      const UInt32 lo = 0xFFFFFFFFu >> b;
      table[b * 32 + e] = b <= e ? (lo & hi) : (lo | hi);
    }
  }
  return table;
}

extern constinit std::array<UInt32, 1024> RotateMaskTable;
// Rewrites RotateMaskTable (already complete at compile time).
void BuildRotateMaskTable();

inline UInt32 RotateMask(UInt32 firstBit, UInt32 lastBit) {
  return RotateMaskTable[firstBit * 32 + lastBit];
}
