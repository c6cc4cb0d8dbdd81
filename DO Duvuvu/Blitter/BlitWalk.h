// The one pixel-walking scheme behind every plain variant: a family trait, the
// per-pixel rule, the copy and scale walks, the alert stubs and the table
// builder. Each variant table's source file instantiates it for one family.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include <emmintrin.h>

#include "BlitSetup.h"
#include "BlitTypes.h"
#include "Errors.h"

namespace blitwalk {

// What differs between families.
template <typename PixelT, bool kScaleWalk, bool kDestTestInMode3 = true>
struct Family {
  using Pixel = PixelT;
  static constexpr Pixel kKey = kBlitKey<Pixel>;
  static constexpr bool kScale = kScaleWalk;
  // Slots 5, 7 and 11 also need a non-key destination in modes 3 and 19.
  static constexpr bool kDestTest = kDestTestInMode3;
  // The colour is written at the pixel's width (low 8 or 16 bits).
  static constexpr Pixel ColorValue(UInt32 color) { return static_cast<Pixel>(color); }
};

template <unsigned kSlot>
struct SlotFlags {
  static constexpr bool kMask = (kSlot & kBlitFlagMask) != 0;
  static constexpr bool kTrans = (kSlot & kBlitFlagTrans) != 0;
  static constexpr bool kColor = (kSlot & kBlitFlagColor) != 0;
  static constexpr bool kLookup = (kSlot & kBlitFlagLookup) != 0;
  static constexpr bool kStub = kColor && kLookup;
};

// The values one pixel needs, copied out of the arguments so that the loops
// know no store can change them.
template <typename Pixel>
struct RuleValues {
  Pixel color;
  const Pixel* lookup;
  const Pixel* trans;
};

template <class F, unsigned kSlot, UInt32 kMode>
struct PixelRule {
  using Pixel = typename F::Pixel;
  using Flags = SlotFlags<kSlot>;
  static constexpr Pixel kKey = F::kKey;
  static constexpr UInt32 kBase = kMode & 3;
  static constexpr bool kInverted = (kMode & 0x10) != 0;
  static constexpr bool kReadsSource = !Flags::kColor || kBase != 0;
  static constexpr bool kTestsDest3 = kBase == 3 && F::kDestTest && Flags::kMask &&
                                      (Flags::kColor || (Flags::kLookup && Flags::kTrans));
  // Table reads must not happen for pixels that are not drawn (the index may
  // lie outside the table), so those rules branch; the others select.
  static constexpr bool kBranches = Flags::kLookup || Flags::kTrans || kBase == 3;
  static constexpr bool kReadsDest = kBranches || Flags::kMask || kBase != 0;
  // Writes the source pixel as it is.
  static constexpr bool kPlainCopy = kReadsSource && !kReadsDest && !Flags::kColor;

  static inline void Apply(Pixel* d, const Pixel* s, const Pixel* m, const RuleValues<Pixel>& v) {
    if constexpr (kReadsSource) {
      Put(d, *s, m, v);
    } else {
      Put(d, 0, m, v);
    }
  }

  // The rule for a source pixel already read (ignored when kReadsSource is false).
  static inline void Put(Pixel* d, Pixel source, const Pixel* m, const RuleValues<Pixel>& v) {
    if constexpr (kBranches) {
      if constexpr (Flags::kMask) {
        if ((*m == kKey) == kInverted) return;
      }
      const Pixel dest = *d;
      if constexpr (kBase == 1) {
        if (source == kKey) return;
      } else if constexpr (kBase == 2) {
        if (source == kKey || dest == kKey) return;
      } else if constexpr (kBase == 3) {
        if (v.lookup[source] == kKey) return;
        if constexpr (kTestsDest3) {
          if (dest == kKey) return;
        }
      }
      Pixel value;
      if constexpr (Flags::kColor) {
        value = v.color;
      } else if constexpr (Flags::kLookup) {
        value = v.lookup[source];
      } else {
        value = source;
      }
      if constexpr (Flags::kTrans) {
        const UInt32 index = (static_cast<UInt32>(value) << 8) + static_cast<UInt32>(dest);
        value = v.trans[index];
      }
      *d = value;
    } else if constexpr (!kReadsDest) {
      if constexpr (Flags::kColor) {
        *d = v.color;
      } else {
        *d = source;
      }
    } else {
      const Pixel dest = *d;
      bool draw = true;
      if constexpr (Flags::kMask) draw = (*m == kKey) != kInverted;
      if constexpr (kBase == 1) draw = draw && source != kKey;
      if constexpr (kBase == 2) draw = draw && source != kKey && dest != kKey;
      const Pixel value = Flags::kColor ? v.color : source;
      *d = draw ? value : dest;
    }
  }
};

inline bool Disjoint(const void* a, size_t aBytes, const void* b, size_t bBytes) {
  const auto pa = reinterpret_cast<std::uintptr_t>(a);
  const auto pb = reinterpret_cast<std::uintptr_t>(b);
  return pa + aBytes <= pb || pb + bBytes <= pa;
}

// The bytes a walk touches over all its rows: `rows` rows of `bytes` bytes,
// the first at `first`, each `move` pixels after the one before.
struct ByteSpan {
  std::uintptr_t low;
  std::uintptr_t high;  // (exclusive)
};

template <typename Pixel>
inline ByteSpan RowsSpan(const Pixel* first, ptrdiff_t move, size_t rows, size_t bytes) {
  const auto a = reinterpret_cast<std::uintptr_t>(first);
  const auto b = a + static_cast<std::uintptr_t>(move * static_cast<ptrdiff_t>(sizeof(Pixel))) *
                         static_cast<std::uintptr_t>(rows - 1);
  return a <= b ? ByteSpan{a, b + bytes} : ByteSpan{b, a + bytes};
}

inline bool Disjoint(const ByteSpan& a, const ByteSpan& b) {
  return a.high <= b.low || b.high <= a.low;
}

// At least the rows a destination walk of `pixels` pixels (> 0) covers: a
// shift by the row length rounded down to a power of two, where a division
// would cost more than a small sprite's rows. Extra rows only widen the spans
// the overlap tests compare, which keeps those tests safe.
inline size_t RowsAtMost(ptrdiff_t pixels, ptrdiff_t rowPixels) {
  if (rowPixels <= 0) return 1;
  const int shift = std::bit_width(static_cast<size_t>(rowPixels)) - 1;
  return ((static_cast<size_t>(pixels) - 1) >> shift) + 1;
}

// Sixteen bytes of pixels.
template <typename Pixel>
struct Lanes {
  typedef Pixel Vector __attribute__((vector_size(16)));
  static constexpr size_t kCount = 16 / sizeof(Pixel);
};

// The select rules (mask, key and colour tests, no tables) on whole vectors;
// returns the pixels done, the rest is left for the caller's loop. Written out
// because the compiler's own vector form pays for checks and tails on every
// row, which small sprites feel.
template <class Rule>
inline size_t SelectLanes(typename Rule::Pixel* __restrict d,
                          const typename Rule::Pixel* __restrict s,
                          const typename Rule::Pixel* __restrict m, size_t width,
                          const RuleValues<typename Rule::Pixel>& v) {
  using Vector = typename Lanes<typename Rule::Pixel>::Vector;
  constexpr size_t kCount = Lanes<typename Rule::Pixel>::kCount;
  constexpr auto kKey = Rule::kKey;
  const Vector color = Vector{} + v.color;
  size_t i = 0;
  for (; i + kCount <= width; i += kCount) {
    // Lanes that keep their destination pixel.
    Vector dest, source{}, keep{};
    std::memcpy(&dest, d + i, sizeof dest);
    if constexpr (Rule::kReadsSource) std::memcpy(&source, s + i, sizeof source);
    if constexpr (Rule::Flags::kMask) {
      Vector mask;
      std::memcpy(&mask, m + i, sizeof mask);
      keep = Rule::kInverted ? Vector(mask == kKey) : Vector(mask != kKey);
    }
    if constexpr (Rule::kBase == 1) keep |= Vector(source == kKey);
    if constexpr (Rule::kBase == 2) keep |= Vector(source == kKey) | Vector(dest == kKey);
    const Vector value = Rule::Flags::kColor ? color : source;
    const Vector out = (keep & dest) | (~keep & value);
    std::memcpy(d + i, &out, sizeof out);
  }
  return i;
}

// Below this a fill row's own stores beat a call to copy it.
constexpr size_t kFillCopyBytes = 512;

// Rows whose source, mask and destination lie apart, walked by index so that
// the compiler can vectorise them.
template <class Rule>
inline void UnitRow(typename Rule::Pixel* __restrict d, const typename Rule::Pixel* __restrict s,
                    const typename Rule::Pixel* __restrict m, size_t width,
                    RuleValues<typename Rule::Pixel> v) {
  using Pixel = typename Rule::Pixel;
  if constexpr (!Rule::kReadsDest && !Rule::Flags::kColor) {
    std::memcpy(d, s, width * sizeof(Pixel));
  } else if constexpr (!Rule::kReadsDest) {
    const Pixel c = v.color;
    // Unrolled so that the stores, not the loop's own steps, set the pace.
#pragma GCC unroll 4
    for (size_t i = 0; i < width; ++i) d[i] = c;
  } else {
    size_t i = 0;
    if constexpr (!Rule::kBranches) i = SelectLanes<Rule>(d, s, m, width, v);
    for (; i < width; ++i) {
      Rule::Apply(d + i, Rule::kReadsSource ? s + i : s, Rule::Flags::kMask ? m + i : m, v);
    }
  }
}

// Shrinking by two: pixel i takes s[2i + 1]. Each pair s[2i], s[2i + 1] is
// loaded as one word of twice the width (so the vector loads read no pixel
// past the last one used) and its high half taken.
template <typename Pixel>
struct PairOf;
template <>
struct PairOf<UInt8> {
  using Type = UInt16;
};
template <>
struct PairOf<UInt16> {
  using Type = UInt32;
};
template <>
struct PairOf<UInt32> {
  using Type = UInt64;
};

// The second pixel of each pair in 32 source bytes, packed into 16 bytes
// (SSE2 only: the baseline every x86-64 build may assume).
template <typename Pixel>
inline __m128i SecondOfPairs(__m128i low, __m128i high);
template <>
inline __m128i SecondOfPairs<UInt8>(__m128i low, __m128i high) {
  return _mm_packus_epi16(_mm_srli_epi16(low, 8), _mm_srli_epi16(high, 8));
}
template <>
inline __m128i SecondOfPairs<UInt16>(__m128i low, __m128i high) {
  // Sign-extended halves pack back unchanged under signed saturation.
  return _mm_packs_epi32(_mm_srai_epi32(low, 16), _mm_srai_epi32(high, 16));
}
template <>
inline __m128i SecondOfPairs<UInt32>(__m128i low, __m128i high) {
  return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(low), _mm_castsi128_ps(high),
                                         _MM_SHUFFLE(3, 1, 3, 1)));
}

// `ahead`: bytes from this line to the one the next row will read; its cache
// lines are asked for while this one is read (0 on short rows).
template <class Rule>
inline void HalvedRow(typename Rule::Pixel* __restrict d, const typename Rule::Pixel* __restrict s,
                      const typename Rule::Pixel* __restrict m, size_t width,
                      RuleValues<typename Rule::Pixel> v, ptrdiff_t ahead = 0) {
  using Pixel = typename Rule::Pixel;
  using Pair = typename PairOf<Pixel>::Type;
  static_assert(std::endian::native == std::endian::little, "the high half is the second pixel");
  size_t i = 0;
  if constexpr (Rule::kPlainCopy) {
    // A plain copy: two vector loads of pairs make one store. The compiler's
    // own vector form of the loop below takes twice the shuffles.
    constexpr size_t kLanes = 16 / sizeof(Pixel);
    for (; i + 2 * kLanes <= width; i += 2 * kLanes) {
      const auto* from = reinterpret_cast<const char*>(s + 2 * i);
      if (ahead) __builtin_prefetch(from + ahead);
      const auto* in = reinterpret_cast<const __m128i*>(from);
      auto* out = reinterpret_cast<__m128i*>(d + i);
      _mm_storeu_si128(out, SecondOfPairs<Pixel>(_mm_loadu_si128(in), _mm_loadu_si128(in + 1)));
      _mm_storeu_si128(out + 1,
                       SecondOfPairs<Pixel>(_mm_loadu_si128(in + 2), _mm_loadu_si128(in + 3)));
    }
    if (i + kLanes <= width) {
      const auto* in = reinterpret_cast<const __m128i*>(s + 2 * i);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                       SecondOfPairs<Pixel>(_mm_loadu_si128(in), _mm_loadu_si128(in + 1)));
      i += kLanes;
    }
  }
  for (; i < width; ++i) {
    Pixel source = 0;
    if constexpr (Rule::kReadsSource) {
      Pair pair;
      std::memcpy(&pair, s + 2 * i, sizeof pair);
      source = static_cast<Pixel>(pair >> (8 * sizeof(Pixel)));
    }
    Rule::Put(d + i, source, Rule::Flags::kMask ? m + i : m, v);
  }
}

// Enlarging by two: each source pixel feeds a pair of destination pixels.
template <class Rule>
inline void DoubledRow(typename Rule::Pixel* __restrict d, const typename Rule::Pixel* __restrict s,
                       const typename Rule::Pixel* __restrict m, size_t width,
                       RuleValues<typename Rule::Pixel> v) {
  const size_t pairs = width / 2;
  for (size_t k = 0; k < pairs; ++k) {
    const auto* sk = Rule::kReadsSource ? s + k : s;
    Rule::Apply(d + 2 * k, sk, Rule::Flags::kMask ? m + 2 * k : m, v);
    Rule::Apply(d + 2 * k + 1, sk, Rule::Flags::kMask ? m + 2 * k + 1 : m, v);
  }
  if (width & 1) {
    Rule::Apply(d + width - 1, Rule::kReadsSource ? s + pairs : s,
                Rule::Flags::kMask ? m + width - 1 : m, v);
  }
}

// Same-size walk for one slot and mode.
template <class F, unsigned kSlot, UInt32 kMode>
void CopyWalk(const BlitVariantArgs<typename F::Pixel>& a) {
  using Pixel = typename F::Pixel;
  using Rule = PixelRule<F, kSlot, kMode>;
  constexpr bool kMask = Rule::Flags::kMask;
  Pixel* d = a.dstStart;
  Pixel* const end = a.dstEnd;
  if (d >= end) return;
  const Pixel* s = a.srcStart;
  const Pixel* m = a.maskStart;
  const RuleValues<Pixel> v{F::ColorValue(a.color), a.lookupTable, a.transTable};
  const size_t width = a.width;
  const ptrdiff_t step = a.srcPixelStep;
  const size_t rowBytes = width * sizeof(Pixel);
  // Kept in locals: the rows' stores (memcpy among them) could otherwise
  // change the arguments as far as the compiler knows.
  const ptrdiff_t dstRowPixels = a.dstRowPixels;
  const ptrdiff_t maskRowPixels = a.maskRowPixels;
  const ptrdiff_t srcLineMove = static_cast<ptrdiff_t>(width) * step + a.srcRowSkip;
  // Vector paths only where the forward walk cannot see its own writes: tested
  // once for the whole blit, else row by row.
  bool allApart = !Rule::kReadsSource || step == 1;
  if (allApart && (Rule::kReadsSource || kMask)) {
    const size_t rows = RowsAtMost(end - d, dstRowPixels);
    const ByteSpan written = RowsSpan(d, dstRowPixels, rows, rowBytes);
    if constexpr (Rule::kReadsSource) {
      allApart = Disjoint(RowsSpan(s, srcLineMove, rows, rowBytes), written);
    }
    if constexpr (kMask) {
      allApart = allApart && Disjoint(RowsSpan(m, maskRowPixels, rows, rowBytes), written);
    }
  }
  // A fill's rows are all alike: later wide rows copy the first, which the
  // library's copy writes faster than the baseline vector stores can.
  constexpr bool kFill = !Rule::kReadsDest && !Rule::kReadsSource && !kMask && Rule::Flags::kColor;
  const Pixel* firstRow = nullptr;
  while (d < end) {
    if (kFill && firstRow && rowBytes >= kFillCopyBytes && Disjoint(firstRow, rowBytes, d, rowBytes)) {
      std::memcpy(d, firstRow, rowBytes);
    } else if (allApart || ((!Rule::kReadsSource || (step == 1 && Disjoint(s, rowBytes, d, rowBytes))) &&
                            (!kMask || Disjoint(m, rowBytes, d, rowBytes)))) {
      UnitRow<Rule>(d, s, m, width, v);
      if (kFill && !firstRow) firstRow = d;
    } else {
      const Pixel* sp = s;
      const Pixel* mp = m;
      for (Pixel* dp = d; dp < d + width; ++dp) {
        Rule::Apply(dp, sp, mp, v);
        sp += step;
        if constexpr (kMask) ++mp;
      }
    }
    d += dstRowPixels;
    if constexpr (Rule::kReadsSource) s += srcLineMove;
    if constexpr (kMask) m += maskRowPixels;
  }
}

// How one scaled row reads its source line, worked out once per blit.
struct ScaleRowPlan {
  ptrdiff_t spanLow;   // source pixels read, relative to the line start
  ptrdiff_t spanHigh;  // (inclusive)
  // Shrinking: the step between the reads after the first when all are equal
  // (the first step differs with the start error), else 0. Enlarging: the
  // common count, else 0.
  SInt32 uniform;
};

inline ScaleRowPlan PlanScaleRow(const UInt32* steps, UInt32 width, bool shrink, SInt32 pixelStep) {
  ScaleRowPlan plan{0, 0, 0};
  if (shrink) {
    // Pixel i > 0 reads steps[0] + ... + steps[i - 1]; the last entry is never
    // used. The forward and backward moves bound the span (exactly, as the
    // entries all share the pixel step's sign). Small sprites pay for this on
    // every call, so the usual uniform table takes one comparing pass and its
    // span follows from its two values.
    const UInt32 used = width ? width - 1 : 0;
    const UInt32 second = width > 2 ? steps[1] : 0;
    UInt32 differ = 0;
    for (UInt32 i = 1; i < used; ++i) differ |= steps[i] ^ second;
    const auto add = [&plan](ptrdiff_t move) {
      (move > 0 ? plan.spanHigh : plan.spanLow) += move;
    };
    if (width > 2 && differ == 0) {
      add(static_cast<SInt32>(steps[0]));
      add(static_cast<ptrdiff_t>(static_cast<SInt32>(second)) * (used - 1));
      plan.uniform = static_cast<SInt32>(second);
    } else {
      for (UInt32 i = 0; i < used; ++i) add(static_cast<SInt32>(steps[i]));
    }
  } else {
    UInt32 done = 0;
    UInt32 k = 0;
    bool same = true;
    const UInt32 first = steps[0];
    while (done < width) {
      const UInt32 n = steps[k] ? steps[k] : 1;
      // The last entry may be cut short by the row's end.
      const UInt32 drawn = n < width - done ? n : width - done;
      same = same && (drawn == first || (done + drawn == width && drawn < first));
      done += drawn;
      ++k;
    }
    const ptrdiff_t last = static_cast<ptrdiff_t>(k - 1) * pixelStep;
    plan.spanLow = last < 0 ? last : 0;
    plan.spanHigh = last > 0 ? last : 0;
    plan.uniform = same ? static_cast<SInt32>(first) : 0;
  }
  return plan;
}

// The rows of one scaled blit: the vertical walk over source lines, the mask,
// and the copy of a row that repeats its line and reads no destination.
// draw(d, line, m, apart, ahead) draws one row; `apart` tells that the row's
// reads cannot meet its writes, `ahead` is the next row's likely line in bytes
// from this one (0 on short rows), for a row loop that prefetches; when
// kDrawPrefetches says draw does, the rows ask for nothing themselves.
template <class Rule, bool kDrawPrefetches = false, class DrawRow>
inline void ScaleRows(const BlitVariantArgs<typename Rule::Pixel>& a, const ScaleRowPlan& plan,
                      DrawRow draw) {
  using Pixel = typename Rule::Pixel;
  constexpr bool kMask = Rule::Flags::kMask;
  // A row that depends on its source line alone may be copied from the row above.
  constexpr bool kRowRepeats = !Rule::kReadsDest;
  Pixel* d = a.dstStart;
  Pixel* const end = a.dstEnd;
  const Pixel* line = a.srcStart;
  const Pixel* m = a.maskStart;
  // Kept in locals: the rows' stores (memcpy among them) could otherwise
  // change the arguments as far as the compiler knows.
  const ptrdiff_t dstRowPixels = a.dstRowPixels;
  const ptrdiff_t maskRowPixels = a.maskRowPixels;
  const SInt32 srcExtent = a.srcExtent;
  const SInt32 dstExtent = a.dstExtent;
  const size_t rowBytes = static_cast<size_t>(a.width) * sizeof(Pixel);
  const size_t spanBytes = static_cast<size_t>(plan.spanHigh - plan.spanLow + 1) * sizeof(Pixel);
  ptrdiff_t lineMove = 0;
  switch (a.rowWalk) {
    case 0: lineMove = static_cast<ptrdiff_t>(a.srcRowPixels); break;
    case 1: lineMove = 1; break;
    case 2: lineMove = -static_cast<ptrdiff_t>(a.srcRowPixels); break;
    case 3: lineMove = -1; break;
    default: break;
  }
  // Once the error is below dstExtent, the line moves `whole` lines plus one
  // when the remainder carries: the same as stepping the error down by one.
  SInt32 whole = 0, rest = 0;
  if (dstExtent > 0 && srcExtent >= 0) DivideSmall(srcExtent, dstExtent, &whole, &rest);
  const ptrdiff_t wholeMove = static_cast<ptrdiff_t>(whole) * lineMove;
  SInt32 error = a.rowError;
  const Pixel* previousLine = nullptr;
  Pixel* previousRow = nullptr;
  // On long rows the start of the line the next row will most likely read is
  // asked for early: a shrink that skips lines starts a new page on most rows,
  // where the processor's own prefetch has to find the stream again.
  const ptrdiff_t nextLineBytes =
      (whole ? wholeMove : lineMove) * static_cast<ptrdiff_t>(sizeof(Pixel));
  const size_t prefetchBytes = spanBytes >= 2048 ? 512 : 0;
  const ptrdiff_t ahead = prefetchBytes ? nextLineBytes : 0;

  // Short rows feel every test below, so when no row's reads can meet any
  // row's writes and no line repeats (each row moves at least one line), the
  // rows go without them.
  if (!prefetchBytes && error >= 0 && srcExtent >= 0 && dstExtent > 0 &&
      (!kRowRepeats || wholeMove != 0)) {
    const size_t rows = RowsAtMost(end - d, dstRowPixels);
    const ByteSpan written = RowsSpan(d, dstRowPixels, rows, rowBytes);
    bool allApart = true;
    if constexpr (Rule::kReadsSource) {
      // The lines move one way, so the first and the last bound them all.
      const SInt64 errors = error + static_cast<SInt64>(rows - 1) * srcExtent;
      // (A 32-bit division where the count allows: it costs half as much.)
      const SInt64 moves =
          errors <= 0xFFFFFFFF ? static_cast<UInt32>(errors) / static_cast<UInt32>(dstExtent)
                               : errors / dstExtent;
      const ByteSpan read = RowsSpan(line + plan.spanLow, static_cast<ptrdiff_t>(moves) * lineMove,
                                     2, spanBytes);
      allApart = Disjoint(read, written);
    }
    if constexpr (kMask) {
      allApart = allApart && Disjoint(RowsSpan(m, maskRowPixels, rows, rowBytes), written);
    }
    if (allApart) {
      while (d < end) {
        draw(d, line, m, true, 0);
        d += dstRowPixels;
        if constexpr (kMask) m += maskRowPixels;
        if (error < dstExtent) {
          error += rest;
          line += wholeMove;
          if (error >= dstExtent) {
            error -= dstExtent;
            line += lineMove;
          }
        } else {
          error += srcExtent;
          while (error >= dstExtent) {
            error -= dstExtent;
            line += lineMove;
          }
        }
      }
      return;
    }
  }

  while (d < end) {
    if constexpr (Rule::kReadsSource && !kDrawPrefetches) {
      const std::uintptr_t next = reinterpret_cast<std::uintptr_t>(line + plan.spanLow) +
                                  static_cast<std::uintptr_t>(nextLineBytes);
      for (size_t at = 0; at < prefetchBytes; at += 64) {
        __builtin_prefetch(reinterpret_cast<const void*>(next + at));
      }
    }
    const bool apart =
        (!Rule::kReadsSource || Disjoint(line + plan.spanLow, spanBytes, d, rowBytes)) &&
        (!kMask || Disjoint(m, rowBytes, d, rowBytes));
    if (kRowRepeats && previousRow && line == previousLine && apart &&
        (!Rule::kReadsSource || Disjoint(line + plan.spanLow, spanBytes, previousRow, rowBytes)) &&
        Disjoint(previousRow, rowBytes, d, rowBytes)) {
      std::memcpy(d, previousRow, rowBytes);
    } else {
      draw(d, line, m, apart, ahead);
    }
    if constexpr (kRowRepeats) {
      previousLine = line;
      previousRow = d;
    }
    d += dstRowPixels;
    if constexpr (kMask) m += maskRowPixels;
    if (error >= 0 && error < dstExtent && srcExtent >= 0) {
      error += rest;
      line += wholeMove;
      if (error >= dstExtent) {
        error -= dstExtent;
        line += lineMove;
      }
    } else {
      error += srcExtent;
      while (error >= dstExtent) {
        error -= dstExtent;
        line += lineMove;
      }
    }
  }
}

// Nearest-neighbour walk for one pixel rule. The row's form (halving, same
// width, doubling, or any other) is found once; rows whose reads may meet
// their writes take the pixel-by-pixel walk.
template <class Rule>
void ScaleWalkWith(const BlitVariantArgs<typename Rule::Pixel>& a,
                   const RuleValues<typename Rule::Pixel>& v) {
  using Pixel = typename Rule::Pixel;
  constexpr bool kMask = Rule::Flags::kMask;
  if (a.dstStart >= a.dstEnd) return;
  const UInt32* steps = ScaleStepBuffer;
  const size_t width = a.width;
  const ptrdiff_t step = a.srcPixelStep;
  const bool shrink = a.shrinkH != 0;
  const ScaleRowPlan plan = PlanScaleRow(steps, a.width, shrink, a.srcPixelStep);

  const auto walkRow = [&](Pixel* d, const Pixel* line, const Pixel* m) {
    const Pixel* s = line;
    const Pixel* mp = m;
    if (shrink) {
      for (size_t i = 0; i < width; ++i) {
        Rule::Apply(d + i, s, mp, v);
        s += static_cast<SInt32>(steps[i]);
        if constexpr (kMask) ++mp;
      }
    } else {
      size_t i = 0;
      for (size_t k = 0; i < width; ++k) {
        const size_t n = steps[k] ? steps[k] : 1;
        const size_t stop = i + n < width ? i + n : width;
        for (; i < stop; ++i) {
          Rule::Apply(d + i, s, mp, v);
          if constexpr (kMask) ++mp;
        }
        s += step;
      }
    }
  };

  if (shrink && plan.uniform == 2 && step == 1 && steps[0] >= 2) {
    // Pixel i > 0 reads line[head + 2(i - 1)].
    const SInt32 head = static_cast<SInt32>(steps[0]);
    if (!Rule::kReadsDest && head >= 3) {
      // The whole row in pairs from line[head - 3], then pixel 0 again from
      // the line start: a rule that ignores the destination leaves the same row.
      ScaleRows<Rule, Rule::kPlainCopy>(
          a, plan, [=](Pixel* d, const Pixel* line, const Pixel* m, bool apart, ptrdiff_t ahead) {
        if (!apart) return walkRow(d, line, m);
        HalvedRow<Rule>(d, line + (head - 3), m, width, v, ahead);
        Rule::Apply(d, line, m, v);
      });
    } else {
      ScaleRows<Rule, Rule::kPlainCopy>(
          a, plan, [=](Pixel* d, const Pixel* line, const Pixel* m, bool apart, ptrdiff_t ahead) {
        if (!apart) return walkRow(d, line, m);
        Rule::Apply(d, line, m, v);
        HalvedRow<Rule>(d + 1, line + (head - 1), kMask ? m + 1 : m, width - 1, v, ahead);
      });
    }
  } else if (!shrink && plan.uniform == 1 && step == 1) {
    ScaleRows<Rule>(a, plan, [=](Pixel* d, const Pixel* line, const Pixel* m, bool apart,
                                 ptrdiff_t) {
      if (!apart) return walkRow(d, line, m);
      UnitRow<Rule>(d, line, m, width, v);
    });
  } else if (!shrink && plan.uniform == 2 && step == 1) {
    ScaleRows<Rule>(a, plan, [=](Pixel* d, const Pixel* line, const Pixel* m, bool apart,
                                 ptrdiff_t) {
      if (!apart) return walkRow(d, line, m);
      DoubledRow<Rule>(d, line, m, width, v);
    });
  } else {
    ScaleRows<Rule>(a, plan, [&](Pixel* d, const Pixel* line, const Pixel* m, bool, ptrdiff_t) {
      walkRow(d, line, m);
    });
  }
}

// The walk of one slot and mode of a plain family.
template <class F, unsigned kSlot, UInt32 kMode>
void ScaleWalk(const BlitVariantArgs<typename F::Pixel>& a) {
  ScaleWalkWith<PixelRule<F, kSlot, kMode>>(
      a, RuleValues<typename F::Pixel>{F::ColorValue(a.color), a.lookupTable, a.transTable});
}

template <class F, unsigned kSlot, UInt32 kMode>
inline void Walk(const BlitVariantArgs<typename F::Pixel>& a) {
  if constexpr (F::kScale) {
    ScaleWalk<F, kSlot, kMode>(a);
  } else {
    CopyWalk<F, kSlot, kMode>(a);
  }
}

// One drawing slot: the mode is switched once; modes the slot lacks return.
template <class F, unsigned kSlot>
void Variant(const BlitVariantArgs<typename F::Pixel>& a) {
  using Flags = SlotFlags<kSlot>;
  constexpr bool kMode3 = Flags::kLookup || Flags::kColor;
  switch (a.mode) {
    case 0: Walk<F, kSlot, 0>(a); return;
    case 1: Walk<F, kSlot, 1>(a); return;
    case 2: Walk<F, kSlot, 2>(a); return;
    case 3:
      if constexpr (kMode3) {
        if (a.lookupTable) Walk<F, kSlot, 3>(a);
      }
      return;
    case 16:
      if constexpr (Flags::kMask) Walk<F, kSlot, 16>(a);
      return;
    case 17:
      if constexpr (Flags::kMask) Walk<F, kSlot, 17>(a);
      return;
    case 18:
      if constexpr (Flags::kMask) Walk<F, kSlot, 18>(a);
      return;
    case 19:
      if constexpr (Flags::kMask && kMode3) {
        if (a.lookupTable) Walk<F, kSlot, 19>(a);
      }
      return;
    default: return;
  }
}

// The family name, then "_X_" or "___" with each of lookup, color, trans and
// mask, then "_UNUSED" for the stub slots.
template <class F, unsigned kSlot>
constexpr std::array<char, 64> MakeVariantName() {
  using Flags = SlotFlags<kSlot>;
  std::array<char, 64> out{};
  size_t n = 0;
  auto append = [&](const char* text) {
    while (*text) out[n++] = *text++;
  };
  append(F::kName);
  const char* names[4] = {"lookup", "color", "trans", "mask"};
  const bool set[4] = {Flags::kLookup, Flags::kColor, Flags::kTrans, Flags::kMask};
  for (int i = 0; i < 4; ++i) {
    append(set[i] ? "_X_" : "___");
    append(names[i]);
  }
  if (Flags::kStub) append("_UNUSED");
  return out;
}

template <class F, unsigned kSlot>
inline constexpr std::array<char, 64> kVariantName = MakeVariantName<F, kSlot>();

// A slot no request reaches: it names itself in an alert and draws nothing.
template <class F, unsigned kSlot>
void Stub(const BlitVariantArgs<typename F::Pixel>&) {
  AlertMessage(kVariantName<F, kSlot>.data(), "", "OK");
}

template <unsigned kSlot>
constexpr bool IsStubSlot() {
  return SlotFlags<kSlot>::kStub;
}

template <class F, unsigned kSlot>
constexpr BlitVariant<typename F::Pixel> SlotEntry() {
  if constexpr (IsStubSlot<kSlot>()) {
    return &Stub<F, kSlot>;
  } else {
    return &Variant<F, kSlot>;
  }
}

template <class F, size_t... kSlots>
constexpr BlitVariantTable<typename F::Pixel> MakeTable(std::index_sequence<kSlots...>) {
  return {SlotEntry<F, static_cast<unsigned>(kSlots)>()...};
}

template <class F>
constexpr BlitVariantTable<typename F::Pixel> MakeVariantTable() {
  return MakeTable<F>(std::make_index_sequence<16>{});
}

// Slot n holds the variant of flags n; 12-15 hold the stubs.
template <class F, size_t... kSlots>
constexpr bool InSlotOrder(const BlitVariantTable<typename F::Pixel>& table,
                           std::index_sequence<kSlots...>) {
  return ((table[kSlots] == SlotEntry<F, static_cast<unsigned>(kSlots)>()) && ...) &&
         ((IsStubSlot<static_cast<unsigned>(kSlots)>() == (kSlots >= 12)) && ...);
}

template <class F>
constexpr bool InSlotOrder(const BlitVariantTable<typename F::Pixel>& table) {
  return InSlotOrder<F>(table, std::make_index_sequence<16>{});
}

}  // namespace blitwalk
