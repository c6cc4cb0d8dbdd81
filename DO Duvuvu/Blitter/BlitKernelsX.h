// The one pixel pipeline behind every real slot of the extended 16-bit
// tables, and the copy and scale walks that drive it. Each stage is written
// once; the slot's flags, the mode, the walk and whether the brightening
// offset is zero are template parameters, so the loops test no flag.
#pragma once

#include <cstddef>
#include <type_traits>

#include "BlitExtended.h"
#include "BlitSetup.h"
#include "BlitWalk.h"

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
// result comes in spread form. kNarrow: every f * level + offset fits in 16
// bits (the set-up's levels and offsets do), so 16-bit multiplies, which
// baseline SSE2 has, give the same fields.
template <bool kZeroOffset, bool kNarrow = false>
inline UInt32 MapChannels(UInt32 p, const CallValues& v) {
  using Word = std::conditional_t<kNarrow, UInt16, UInt32>;
  Word r = static_cast<Word>(static_cast<Word>((p >> 10) & 0x1F) * static_cast<Word>(v.redLevel));
  Word g = static_cast<Word>(static_cast<Word>((p >> 5) & 0x1F) * static_cast<Word>(v.greenLevel));
  Word b = static_cast<Word>(static_cast<Word>(p & 0x1F) * static_cast<Word>(v.blueLevel));
  if constexpr (!kZeroOffset) {
    r = static_cast<Word>(r + static_cast<Word>(v.redOffset));
    g = static_cast<Word>(g + static_cast<Word>(v.greenOffset));
    b = static_cast<Word>(b + static_cast<Word>(v.blueOffset));
  }
  return static_cast<UInt32>(b >> 5) | (static_cast<UInt32>(r >> 5) << 10) |
         (static_cast<UInt32>(g >> 5) << 21);
}

// (SpreadPixel(p) * level) >> 5. kNarrow: a level of at most 32 keeps each
// field's product apart and below 16 bits (red carries bit 15 with it), and
// the blue product below 1024, so the shift splits exactly by field.
template <bool kNarrow>
inline UInt32 BrightenFields(UInt32 p, UInt32 level) {
  if constexpr (kNarrow) {
    const auto l = static_cast<UInt16>(level);
    const auto b = static_cast<UInt16>(static_cast<UInt16>(p & 0x1F) * l);
    const auto rb = static_cast<UInt16>(static_cast<UInt16>((p >> 10) & 0x3F) * l);
    const auto g = static_cast<UInt16>(static_cast<UInt16>((p >> 5) & 0x1F) * l);
    return (static_cast<UInt32>(b) >> 5) + (static_cast<UInt32>(rb) << 5) +
           (static_cast<UInt32>(g) << 16);
  } else {
    return (SpreadPixel(p) * level) >> 5;
  }
}

// Whether a recolouring call may take the 16-bit forms above.
inline bool NarrowMapping(const CallValues& v) {
  return (v.redLevel | v.greenLevel | v.blueLevel) <= 1024 &&
         (v.redOffset | v.greenOffset | v.blueOffset) <= 32767;
}
inline bool NarrowBright(const CallValues& v) { return v.brightLevel <= 32; }

// One destination pixel: mask gate, raw key tests, value, mode-3 test,
// recolour, weight, blend, write. The branching form reads the alpha byte and
// the entry only for pixels that pass; the select form (kSelect) works out
// every pixel and writes the destination back where it does not draw, which
// is what a vector loop needs; it is used only on rows that cannot see their
// own writes, and never where a table is read.
template <unsigned kSlot, UInt32 kMode, bool kZeroOffset, bool kNarrow = false>
struct PixelX {
  using F = FlagsX<kSlot>;
  static constexpr UInt32 kBase = kMode & 3;
  static constexpr bool kInverted = (kMode & 0x10) != 0;
  // A colour in mode 0 needs no source at all.
  static constexpr bool kReadsSource = !F::kColor || kBase != 0;
  static constexpr bool kSelects = !F::kLookup && kBase != 3;
  // Every pixel drawn, from its source alone: a repeated source pixel may be
  // worked out once.
  static constexpr bool kSourceOnly = !F::kMask && !F::kBlend && kBase == 0;

  // The value to write; `draw` false: keep the destination.
  template <bool kSelect>
  static inline UInt32 Eval(const UInt16* d, const UInt16* s, const UInt16* m, const UInt8* alpha,
                            const CallValues& v, bool& draw) {
    static_assert(!kSelect || kSelects);
    draw = true;
    if constexpr (F::kMask) {
      draw = (*m == kKey) != kInverted;
      if constexpr (!kSelect) {
        if (!draw) return 0;
      }
    }
    UInt32 source = 0;
    if constexpr (kReadsSource) source = *s;
    if constexpr (kBase == 1 || kBase == 2) draw = draw && source != kKey;
    if constexpr (kBase == 2) draw = draw && *d != kKey;
    if constexpr (!kSelect) {
      if (!draw) return 0;
    }
    UInt32 value;
    if constexpr (kBase == 3) {
      const UInt32 entry = v.lookup[source];
      if (entry == kKey) {
        draw = false;
        return 0;
      }
      value = F::kColor ? v.color : entry;
    } else if constexpr (F::kLookup) {
      value = v.lookup[source];
    } else if constexpr (F::kColor) {
      value = v.color;
    } else {
      value = source;
    }

    if constexpr (!F::kBright && !F::kMapping && !F::kBlend) {
      return value;
    } else {
      UInt32 spread;
      if constexpr (F::kColor) {
        spread = v.colorSpread;
      } else if constexpr (F::kMapping) {
        spread = MapChannels<kZeroOffset, kNarrow>(value, v);
      } else {
        spread = SpreadPixel(value);
      }
      if constexpr (F::kBright) {
        // (The colour never meets a brightness.)
        spread = BrightenFields<kNarrow>(value, v.brightLevel);
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
      return UnspreadPixel(spread);
    }
  }

  template <bool kSelect = false>
  static inline void Put(UInt16* d, const UInt16* s, const UInt16* m, const UInt8* alpha,
                         const CallValues& v) {
    bool draw;
    const UInt32 out = Eval<kSelect>(d, s, m, alpha, v, draw);
    if constexpr (kSelect) {
      const UInt16 dest = *d;
      *d = draw ? static_cast<UInt16>(out) : dest;
    } else if (draw) {
      *d = static_cast<UInt16>(out);
    }
  }
};

// Whether a row of `width` pixels at d can be drawn apart from its reads: the
// source, mask and alpha spans (in bytes) lie outside the written bytes.
template <class Pixel, bool kMask, bool kAlpha>
inline bool RowApart(const UInt16* d, size_t width, const UInt16* s, size_t sourcePixels,
                     const UInt16* m, const UInt8* alpha, size_t alphaBytes) {
  const size_t rowBytes = width * sizeof(UInt16);
  if (Pixel::kReadsSource && !blitwalk::Disjoint(s, sourcePixels * sizeof(UInt16), d, rowBytes)) {
    return false;
  }
  if (kMask && !blitwalk::Disjoint(m, rowBytes, d, rowBytes)) return false;
  return !kAlpha || blitwalk::Disjoint(alpha, alphaBytes, d, rowBytes);
}

// A row with unit source and alpha steps whose reads lie apart from its
// writes, walked by index so that the compiler can vectorise it.
// scripts/check-vector-loops shows that it does for the hot slots.
template <class Pixel>
inline void UnitRowX(UInt16* __restrict d, const UInt16* __restrict s,
                     const UInt16* __restrict m, const UInt8* __restrict alpha, size_t width,
                     const CallValues v) {
  using F = typename Pixel::F;
  for (size_t i = 0; i < width; ++i) {
    Pixel::template Put<Pixel::kSelects>(d + i, Pixel::kReadsSource ? s + i : s,
                                         F::kMask ? m + i : m, F::kAlpha ? alpha + i : alpha, v);
  }
}

// Enlarging by two, on the same terms: each source pixel and alpha byte feeds
// a pair of destination pixels. A value from the source alone is worked out
// once and stored twice.
template <class Pixel>
inline void DoubledRowX(UInt16* __restrict d, const UInt16* __restrict s,
                        const UInt16* __restrict m, const UInt8* __restrict alpha, size_t width,
                        const CallValues v) {
  using F = typename Pixel::F;
  constexpr bool kSelect = Pixel::kSelects;
  // Null maps (no mask, no alpha, a colour's unread source) take no offsets.
  const auto source = [s](size_t k) { return Pixel::kReadsSource ? s + k : s; };
  const auto mask = [m](size_t i) { return F::kMask ? m + i : m; };
  const auto weight = [alpha](size_t k) { return F::kAlpha ? alpha + k : alpha; };
  const size_t pairs = width / 2;
  for (size_t k = 0; k < pairs; ++k) {
    if constexpr (Pixel::kSourceOnly) {
      bool draw;
      const auto out = static_cast<UInt16>(
          Pixel::template Eval<kSelect>(d + 2 * k, source(k), m, weight(k), v, draw));
      d[2 * k] = out;
      d[2 * k + 1] = out;
    } else {
      Pixel::template Put<kSelect>(d + 2 * k, source(k), mask(2 * k), weight(k), v);
      Pixel::template Put<kSelect>(d + 2 * k + 1, source(k), mask(2 * k + 1), weight(k), v);
    }
  }
  if (width & 1) {
    Pixel::template Put<kSelect>(d + width - 1, source(pairs), mask(width - 1), weight(pairs), v);
  }
}

// Same size: every pointer moves for every destination pixel, drawn or not.
// With `fast`, unit source and alpha steps let a row that lies apart from its
// reads run as an indexed loop.
template <class Pixel, bool kMask, bool kAlpha>
void CopyWalkX(const BlitVariantArgsX& a, const CallValues& v, bool fast) {
  UInt16* d = a.dstStart;
  const UInt16* s = a.srcStart;
  const UInt16* m = a.maskStart;
  const UInt8* alpha = a.alphaStart;
  const ptrdiff_t width = a.width;
  const bool unit = fast && (!Pixel::kReadsSource || a.srcPixelStep == 1) &&
                    (!kAlpha || a.alphaStep == 1);
  while (d < a.dstEnd) {
    if (unit && RowApart<Pixel, kMask, kAlpha>(d, width, s, width, m, alpha, width)) {
      UnitRowX<Pixel>(d, s, m, alpha, width, v);
      s += width * a.srcPixelStep;
      if constexpr (kAlpha) alpha += width * a.alphaStep;
    } else {
      for (ptrdiff_t i = 0; i < width; ++i) {
        Pixel::Put(d + i, s, kMask ? m + i : nullptr, alpha, v);
        s += a.srcPixelStep;
        if constexpr (kAlpha) alpha += a.alphaStep;
      }
    }
    d += a.dstRowPixels;
    s += a.srcRowSkip;
    if constexpr (kMask) m += a.maskRowPixels;
    if constexpr (kAlpha) alpha += a.alphaRowSkip;
  }
}

// Nearest neighbour: across a row from the step table (per-pixel moves when
// shrinking, repeat counts when enlarging), down by the row error. With
// `fast`, enlarging rows whose counts are all 1 or all 2, at unit source and
// alpha steps, run as indexed loops where they lie apart from their reads.
template <class Pixel, bool kMask, bool kAlpha>
void ScaleWalkX(const BlitVariantArgsX& a, const CallValues& v, bool fast) {
  const UInt32* steps = ScaleStepBuffer;
  UInt16* d = a.dstStart;
  const UInt16* rowSource = a.srcStart;
  const UInt8* rowAlpha = a.alphaStart;
  const UInt16* m = a.maskStart;
  const ptrdiff_t width = a.width;
  const ptrdiff_t rowPixels = a.srcRowPixels;
  const ptrdiff_t alphaRow = a.alphaRowBytes;
  SInt32 uniform = 0;
  if (fast && !a.shrinkH && a.srcPixelStep == 1 && (!kAlpha || a.alphaStep == 1)) {
    uniform = blitwalk::PlanScaleRow(steps, a.width, false, 1).uniform;
  }
  // Source pixels (and alpha bytes) one row reads.
  const size_t reads = uniform == 2 ? (static_cast<size_t>(width) + 1) / 2 : static_cast<size_t>(width);
  SInt32 error = a.rowError;
  while (d < a.dstEnd) {
    const UInt16* s = rowSource;
    const UInt8* alpha = rowAlpha;
    const bool apart = (uniform == 1 || uniform == 2) &&
                       RowApart<Pixel, kMask, kAlpha>(d, width, s, reads, m, alpha, reads);
    if (apart && uniform == 1) {
      UnitRowX<Pixel>(d, s, m, alpha, width, v);
    } else if (apart) {
      DoubledRowX<Pixel>(d, s, m, alpha, width, v);
    } else if (a.shrinkH) {
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
template <bool kScale, unsigned kSlot, UInt32 kMode, bool kFast>
void RunMode(const BlitVariantArgsX& a) {
  using F = FlagsX<kSlot>;
  if constexpr (!DrawsMode<kSlot>(kMode)) {
    (void)a;
  } else {
    if constexpr ((kMode & 3) == 3) {
      if (!a.lookupTable) return;
    }
    const CallValues v = ReadCall(a);
    auto walk = [&]<bool kZero, bool kNarrow>() {
      using P = PixelX<kSlot, kMode, kZero, kNarrow>;
      if constexpr (kScale) {
        ScaleWalkX<P, F::kMask, F::kAlpha>(a, v, kFast);
      } else {
        CopyWalkX<P, F::kMask, F::kAlpha>(a, v, kFast);
      }
    };
    // Recolouring slots run copies of the walk without the offset additions
    // when every offset is 0, and with 16-bit products when the levels allow
    // (a fast path: the plain walk keeps 32-bit ones), which pays only in
    // the vector loops: lookup slots branch per pixel.
    if constexpr (!F::kBright && !F::kMapping) {
      walk.template operator()<true, false>();
    } else {
      const bool zeroOffset = F::kBright ? v.brightOffset == 0
                                         : (v.redOffset | v.greenOffset | v.blueOffset) == 0;
      const bool narrow =
          kFast && !F::kLookup && (F::kBright ? NarrowBright(v) : NarrowMapping(v));
      if (zeroOffset && narrow) {
        walk.template operator()<true, true>();
      } else if (zeroOffset) {
        walk.template operator()<true, false>();
      } else if (narrow) {
        walk.template operator()<false, true>();
      } else {
        walk.template operator()<false, false>();
      }
    }
  }
}

// Slots with no tint and no alpha only choose whole values and write them:
// they are the plain 16-bit rule without the destination test in modes 3 and
// 19, so the plain walks, with their row copies, fills, vector selects and
// halving and doubling rows, draw them.
template <unsigned kSlot>
constexpr bool kWholeValueSlot =
    (kSlot & (kBlitFlagTrans | kBlitFlagAlpha | kBlitFlagMapping | kBlitFlagBright)) == 0;

template <bool kScale>
struct WholeValueFamily : blitwalk::Family<UInt16, kScale, false> {};

inline BlitVariantArgs<UInt16> PlainArgs(const BlitVariantArgsX& a) {
  return {a.mode,   a.srcStart,    a.dstStart,  a.maskStart, a.srcPixelStep, a.srcRowPixels,
          a.dstRowPixels, a.maskRowPixels, a.srcRowSkip, a.srcExtent, a.dstExtent, a.dstEnd,
          a.width,  a.rowWalk,     a.shrinkH,   a.rowError,  a.lookupTable, a.color, nullptr};
}

// The plain scale walk reads a count of 0 as 1 and needs a row limit above 0;
// other tables keep the walk below.
inline bool PlainScaleWalks(const BlitVariantArgsX& a) {
  if (a.dstExtent <= 0) return false;
  if (a.shrinkH) return true;
  const UInt32* steps = ScaleStepBuffer;
  for (UInt32 done = 0; done < a.width; ++steps) {
    if (*steps == 0) return false;
    done += *steps < a.width - done ? *steps : a.width - done;
  }
  return true;
}

// A real slot: the mode is switched once per call. kFast false keeps every
// row on the plain pixel walk (the yardstick of the fast paths' tests).
template <bool kScale, unsigned kSlot, bool kFast = true>
void KernelX(const BlitVariantArgsX& a) {
  if (a.dstStart >= a.dstEnd) return;
  if constexpr (kFast && kWholeValueSlot<kSlot>) {
    if (!kScale || PlainScaleWalks(a)) {
      return blitwalk::Variant<WholeValueFamily<kScale>, kSlot>(PlainArgs(a));
    }
  }
  switch (a.mode) {
    case 0: return RunMode<kScale, kSlot, 0, kFast>(a);
    case 1: return RunMode<kScale, kSlot, 1, kFast>(a);
    case 2: return RunMode<kScale, kSlot, 2, kFast>(a);
    case 3: return RunMode<kScale, kSlot, 3, kFast>(a);
    case 16: return RunMode<kScale, kSlot, 16, kFast>(a);
    case 17: return RunMode<kScale, kSlot, 17, kFast>(a);
    case 18: return RunMode<kScale, kSlot, 18, kFast>(a);
    case 19: return RunMode<kScale, kSlot, 19, kFast>(a);
    default: return;
  }
}

}  // namespace blitkernelx
