// The one pixel pipeline behind every real slot of the extended 16-bit
// tables, and the copy and scale walks that drive it. Each stage is written
// once; the slot's flags, the mode, the walk and whether the brightening
// offset is zero are template parameters, so the loops test no flag.
#pragma once

#include <cstddef>

#include "BlitExtended.h"
#include "BlitSetup.h"

namespace blitkernelx {

constexpr UInt16 kKey = 0x7FFF;
constexpr UInt32 kFieldMask = 0x03E07C1F;

// Green moves up to bits 21-25, so one multiply by a level of at most 32
// scales all three fields. Bit 15 stays where it is and joins the arithmetic.
inline UInt32 SpreadPixel(UInt32 p) { return (p & 0xFC1F) | ((p & 0x03E0) << 16); }
inline UInt16 UnspreadPixel(UInt32 x) {
  return static_cast<UInt16>((x & 0x7C1F) | ((x >> 16) & 0x03E0));
}

template <unsigned kSlot>
struct FlagsX {
  static constexpr bool kMask = (kSlot & kBlitFlagMask) != 0;
  static constexpr bool kTrans = (kSlot & kBlitFlagTrans) != 0;
  static constexpr bool kColor = (kSlot & kBlitFlagColor) != 0;
  static constexpr bool kLookup = (kSlot & kBlitFlagLookup) != 0;
  static constexpr bool kAlpha = (kSlot & kBlitFlagAlpha) != 0;
  static constexpr bool kMapping = (kSlot & kBlitFlagMapping) != 0;
  static constexpr bool kBright = (kSlot & kBlitFlagBright) != 0;
  static constexpr bool kBlend = kTrans || kAlpha;
};

// Modes 0-2 everywhere, 3 with a lookup or a colour, 16-19 as 0-3 with a mask.
template <unsigned kSlot>
constexpr bool DrawsMode(UInt32 mode) {
  using F = FlagsX<kSlot>;
  const UInt32 base = mode & 3;
  if (mode != base && mode != (base | 0x10)) return false;
  if (mode >= 0x10 && !F::kMask) return false;
  return base != 3 || F::kColor || F::kLookup;
}

// What stays fixed over one call, read out of the arguments once.
struct CallValues {
  const UInt16* lookup;
  UInt32 color;        // the colour's 16 bits
  UInt32 colorSpread;  // and its spread form
  UInt32 trans;
  UInt32 brightLevel;
  UInt32 brightOffset;
  UInt32 redLevel, greenLevel, blueLevel;
  UInt32 redOffset, greenOffset, blueOffset;
};

inline CallValues ReadCall(const BlitVariantArgsX& a) {
  const UInt32 color = a.color & 0xFFFF;
  return {a.lookupTable,
          color,
          SpreadPixel(color),
          static_cast<UInt32>(a.transLevel),
          static_cast<UInt32>(a.brightLevel),
          a.brightOffset,
          static_cast<UInt32>(a.redLevel),
          static_cast<UInt32>(a.greenLevel),
          static_cast<UInt32>(a.blueLevel),
          static_cast<UInt32>(a.redOffset),
          static_cast<UInt32>(a.greenOffset),
          static_cast<UInt32>(a.blueOffset)};
}

// Each field f of p becomes (f * level + offset) >> 5, bit 15 dropped; the
// result comes in spread form.
template <bool kZeroOffset>
inline UInt32 MapChannels(UInt32 p, const CallValues& v) {
  UInt32 r = ((p >> 10) & 0x1F) * v.redLevel;
  UInt32 g = ((p >> 5) & 0x1F) * v.greenLevel;
  UInt32 b = (p & 0x1F) * v.blueLevel;
  if constexpr (!kZeroOffset) {
    r += v.redOffset;
    g += v.greenOffset;
    b += v.blueOffset;
  }
  return (b >> 5) | ((r >> 5) << 10) | ((g >> 5) << 21);
}

// One destination pixel: mask gate, raw key tests, value, mode-3 test,
// recolour, weight, blend, write. `alpha` is read only when the pixel passes.
template <unsigned kSlot, UInt32 kMode, bool kZeroOffset>
struct PixelX {
  using F = FlagsX<kSlot>;
  static constexpr UInt32 kBase = kMode & 3;
  static constexpr bool kInverted = (kMode & 0x10) != 0;
  // A colour in mode 0 needs no source at all.
  static constexpr bool kReadsSource = !F::kColor || kBase != 0;

  static inline void Put(UInt16* d, const UInt16* s, const UInt16* m, const UInt8* alpha,
                         const CallValues& v) {
    if constexpr (F::kMask) {
      if ((*m == kKey) == kInverted) return;
    }
    UInt32 source = 0;
    if constexpr (kReadsSource) source = *s;
    if constexpr (kBase == 1 || kBase == 2) {
      if (source == kKey) return;
    }
    if constexpr (kBase == 2) {
      if (*d == kKey) return;
    }
    UInt32 value;
    if constexpr (kBase == 3) {
      const UInt32 entry = v.lookup[source];
      if (entry == kKey) return;
      value = F::kColor ? v.color : entry;
    } else if constexpr (F::kLookup) {
      value = v.lookup[source];
    } else if constexpr (F::kColor) {
      value = v.color;
    } else {
      value = source;
    }

    if constexpr (!F::kBright && !F::kMapping && !F::kBlend) {
      *d = static_cast<UInt16>(value);
    } else {
      UInt32 spread;
      if constexpr (F::kColor) {
        spread = v.colorSpread;
      } else if constexpr (F::kMapping) {
        spread = MapChannels<kZeroOffset>(value, v);
      } else {
        spread = SpreadPixel(value);
      }
      if constexpr (F::kBright) {
        spread = (spread * v.brightLevel) >> 5;
        if constexpr (!kZeroOffset) spread += v.brightOffset;
        spread &= kFieldMask;
      }
      if constexpr (F::kBlend) {
        UInt32 weight;
        if constexpr (F::kAlpha && F::kTrans) {
          weight = (static_cast<UInt32>(*alpha) * v.trans) >> 5;
        } else if constexpr (F::kAlpha) {
          weight = *alpha;
        } else {
          weight = v.trans;
        }
        const UInt32 dest = SpreadPixel(*d);
        spread = ((((spread - dest) * weight) >> 5) + dest) & kFieldMask;
      }
      *d = UnspreadPixel(spread);
    }
  }
};

// Same size: every pointer moves for every destination pixel, drawn or not.
template <class Pixel, bool kMask, bool kAlpha>
void CopyWalkX(const BlitVariantArgsX& a, const CallValues& v) {
  UInt16* d = a.dstStart;
  const UInt16* s = a.srcStart;
  const UInt16* m = a.maskStart;
  const UInt8* alpha = a.alphaStart;
  const ptrdiff_t width = a.width;
  while (d < a.dstEnd) {
    for (ptrdiff_t i = 0; i < width; ++i) {
      Pixel::Put(d + i, s, kMask ? m + i : nullptr, alpha, v);
      s += a.srcPixelStep;
      if constexpr (kAlpha) alpha += a.alphaStep;
    }
    d += a.dstRowPixels;
    s += a.srcRowSkip;
    if constexpr (kMask) m += a.maskRowPixels;
    if constexpr (kAlpha) alpha += a.alphaRowSkip;
  }
}

// Nearest neighbour: across a row from the step table (per-pixel moves when
// shrinking, repeat counts when enlarging), down by the row error.
template <class Pixel, bool kMask, bool kAlpha>
void ScaleWalkX(const BlitVariantArgsX& a, const CallValues& v) {
  const UInt32* steps = ScaleStepBuffer;
  UInt16* d = a.dstStart;
  const UInt16* rowSource = a.srcStart;
  const UInt8* rowAlpha = a.alphaStart;
  const UInt16* m = a.maskStart;
  const ptrdiff_t width = a.width;
  const ptrdiff_t rowPixels = a.srcRowPixels;
  const ptrdiff_t alphaRow = a.alphaRowBytes;
  SInt32 error = a.rowError;
  while (d < a.dstEnd) {
    const UInt16* s = rowSource;
    const UInt8* alpha = rowAlpha;
    if (a.shrinkH) {
      for (ptrdiff_t i = 0; i < width; ++i) {
        Pixel::Put(d + i, s, kMask ? m + i : nullptr, alpha, v);
        // With an alpha map the entries are plain counts; without, they are
        // already moves of the source.
        const SInt32 entry = static_cast<SInt32>(steps[i]);
        if constexpr (kAlpha) {
          s += static_cast<ptrdiff_t>(entry) * a.srcPixelStep;
          alpha += static_cast<ptrdiff_t>(entry) * a.alphaStep;
        } else {
          s += entry;
        }
      }
    } else {
      ptrdiff_t i = 0;
      for (const UInt32* count = steps; i < width; ++count) {
        // Each repeat re-reads the source: it may be the destination.
        for (UInt32 k = 0; k < *count && i < width; ++k, ++i) {
          Pixel::Put(d + i, s, kMask ? m + i : nullptr, alpha, v);
        }
        s += a.srcPixelStep;
        if constexpr (kAlpha) alpha += a.alphaStep;
      }
    }
    d += a.dstRowPixels;
    if constexpr (kMask) m += a.maskRowPixels;
    error += a.srcExtent;
    // A limit of 0 or less would never end the loop; it moves no row.
    while (a.dstExtent > 0 && error >= a.dstExtent) {
      error -= a.dstExtent;
      switch (a.rowWalk) {
        case 0: rowSource += rowPixels; if constexpr (kAlpha) rowAlpha += alphaRow; break;
        case 1: rowSource += 1; if constexpr (kAlpha) rowAlpha += 1; break;
        case 2: rowSource -= rowPixels; if constexpr (kAlpha) rowAlpha -= alphaRow; break;
        case 3: rowSource -= 1; if constexpr (kAlpha) rowAlpha -= 1; break;
        default: break;
      }
    }
  }
}

// One mode of one slot: modes the slot lacks, and a colour tested through a
// missing table, return before the walk.
template <bool kScale, unsigned kSlot, UInt32 kMode>
void RunMode(const BlitVariantArgsX& a) {
  using F = FlagsX<kSlot>;
  if constexpr (!DrawsMode<kSlot>(kMode)) {
    (void)a;
  } else {
    if constexpr ((kMode & 3) == 3) {
      if (!a.lookupTable) return;
    }
    const CallValues v = ReadCall(a);
    auto walk = [&]<bool kZero>() {
      using P = PixelX<kSlot, kMode, kZero>;
      if constexpr (kScale) {
        ScaleWalkX<P, F::kMask, F::kAlpha>(a, v);
      } else {
        CopyWalkX<P, F::kMask, F::kAlpha>(a, v);
      }
    };
    // Recolouring slots run a copy of the walk without the offset additions
    // when every offset is 0.
    if constexpr (!F::kBright && !F::kMapping) {
      walk.template operator()<true>();
    } else {
      const bool zeroOffset = F::kBright ? v.brightOffset == 0
                                         : (v.redOffset | v.greenOffset | v.blueOffset) == 0;
      if (zeroOffset) {
        walk.template operator()<true>();
      } else {
        walk.template operator()<false>();
      }
    }
  }
}

// A real slot: the mode is switched once per call.
template <bool kScale, unsigned kSlot>
void KernelX(const BlitVariantArgsX& a) {
  if (a.dstStart >= a.dstEnd) return;
  switch (a.mode) {
    case 0: return RunMode<kScale, kSlot, 0>(a);
    case 1: return RunMode<kScale, kSlot, 1>(a);
    case 2: return RunMode<kScale, kSlot, 2>(a);
    case 3: return RunMode<kScale, kSlot, 3>(a);
    case 16: return RunMode<kScale, kSlot, 16>(a);
    case 17: return RunMode<kScale, kSlot, 17>(a);
    case 18: return RunMode<kScale, kSlot, 18>(a);
    case 19: return RunMode<kScale, kSlot, 19>(a);
    default: return;
  }
}

}  // namespace blitkernelx
