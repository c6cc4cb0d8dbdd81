// The one pixel-walking scheme behind every plain variant: a family trait, the
// per-pixel rule, the copy and scale walks, the alert stubs and the table
// builder. Each variant table's source file instantiates it for one family.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

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

  static inline void Apply(Pixel* d, const Pixel* s, const Pixel* m, const RuleValues<Pixel>& v) {
    if constexpr (kBranches) {
      if constexpr (Flags::kMask) {
        if ((*m == kKey) == kInverted) return;
      }
      const Pixel dest = *d;
      Pixel source = 0;
      if constexpr (kReadsSource) source = *s;
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
        *d = *s;
      }
    } else {
      const Pixel dest = *d;
      Pixel source = 0;
      if constexpr (kReadsSource) source = *s;
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
    for (size_t i = 0; i < width; ++i) d[i] = c;
  } else {
    for (size_t i = 0; i < width; ++i) {
      Rule::Apply(d + i, Rule::kReadsSource ? s + i : s, Rule::Flags::kMask ? m + i : m, v);
    }
  }
}

// Shrinking by a constant source stride.
template <class Rule, ptrdiff_t kStride>
inline void StridedRow(typename Rule::Pixel* __restrict d, const typename Rule::Pixel* __restrict s,
                       const typename Rule::Pixel* __restrict m, size_t width,
                       RuleValues<typename Rule::Pixel> v) {
  for (size_t i = 0; i < width; ++i) {
    Rule::Apply(d + i, Rule::kReadsSource ? s + static_cast<ptrdiff_t>(i) * kStride : s,
                Rule::Flags::kMask ? m + i : m, v);
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
  while (d < end) {
    // Vector paths only where the forward walk cannot see its own writes.
    const bool sourceApart = !Rule::kReadsSource || (step == 1 && Disjoint(s, rowBytes, d, rowBytes));
    const bool maskApart = !kMask || Disjoint(m, rowBytes, d, rowBytes);
    if (sourceApart && maskApart) {
      UnitRow<Rule>(d, s, m, width, v);
    } else {
      const Pixel* sp = s;
      const Pixel* mp = m;
      for (Pixel* dp = d; dp < d + width; ++dp) {
        Rule::Apply(dp, sp, mp, v);
        sp += step;
        if constexpr (kMask) ++mp;
      }
    }
    d += a.dstRowPixels;
    if constexpr (Rule::kReadsSource) s += static_cast<ptrdiff_t>(width) * step + a.srcRowSkip;
    if constexpr (kMask) m += a.maskRowPixels;
  }
}

// How one scaled row reads its source line, worked out once per blit.
struct ScaleRowPlan {
  ptrdiff_t spanLow;   // source pixels read, relative to the line start
  ptrdiff_t spanHigh;  // (inclusive)
  SInt32 uniform;      // shrinking: the common step entry, else 0; enlarging: the common count, else 0
};

inline ScaleRowPlan PlanScaleRow(const UInt32* steps, UInt32 width, bool shrink, SInt32 pixelStep) {
  ScaleRowPlan plan{0, 0, 0};
  if (shrink) {
    ptrdiff_t at = 0;
    const SInt32 first = static_cast<SInt32>(steps[0]);
    bool same = true;
    for (UInt32 i = 0; i < width; ++i) {
      if (at < plan.spanLow) plan.spanLow = at;
      if (at > plan.spanHigh) plan.spanHigh = at;
      const SInt32 entry = static_cast<SInt32>(steps[i]);
      same = same && entry == first;
      at += entry;
    }
    plan.uniform = same ? first : 0;
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

// Nearest-neighbour walk for one slot and mode.
template <class F, unsigned kSlot, UInt32 kMode>
void ScaleWalk(const BlitVariantArgs<typename F::Pixel>& a) {
  using Pixel = typename F::Pixel;
  using Rule = PixelRule<F, kSlot, kMode>;
  constexpr bool kMask = Rule::Flags::kMask;
  // A row that depends on its source line alone may be copied from the row above.
  constexpr bool kRowRepeats = !Rule::kReadsDest;
  Pixel* d = a.dstStart;
  Pixel* const end = a.dstEnd;
  if (d >= end) return;
  const UInt32* steps = ScaleStepBuffer;
  const Pixel* line = a.srcStart;
  const Pixel* m = a.maskStart;
  const RuleValues<Pixel> v{F::ColorValue(a.color), a.lookupTable, a.transTable};
  const size_t width = a.width;
  const size_t rowBytes = width * sizeof(Pixel);
  const ptrdiff_t step = a.srcPixelStep;
  const bool shrink = a.shrinkH != 0;
  ptrdiff_t lineMove = 0;
  switch (a.rowWalk) {
    case 0: lineMove = static_cast<ptrdiff_t>(a.srcRowPixels); break;
    case 1: lineMove = 1; break;
    case 2: lineMove = -static_cast<ptrdiff_t>(a.srcRowPixels); break;
    case 3: lineMove = -1; break;
    default: break;
  }
  const ScaleRowPlan plan = PlanScaleRow(steps, a.width, shrink, a.srcPixelStep);
  const size_t spanBytes = static_cast<size_t>(plan.spanHigh - plan.spanLow + 1) * sizeof(Pixel);
  SInt32 error = a.rowError;
  const Pixel* previousLine = nullptr;
  Pixel* previousRow = nullptr;

  while (d < end) {
    const bool sourceApart =
        !Rule::kReadsSource || Disjoint(line + plan.spanLow, spanBytes, d, rowBytes);
    const bool maskApart = !kMask || Disjoint(m, rowBytes, d, rowBytes);
    if (kRowRepeats && previousRow && line == previousLine && sourceApart &&
        (!Rule::kReadsSource || Disjoint(line + plan.spanLow, spanBytes, previousRow, rowBytes)) &&
        Disjoint(previousRow, rowBytes, d, rowBytes)) {
      std::memcpy(d, previousRow, rowBytes);
    } else if (sourceApart && maskApart && shrink && plan.uniform == 2 && step == 1) {
      StridedRow<Rule, 2>(d, line, m, width, v);
    } else if (sourceApart && maskApart && !shrink && plan.uniform == 1 && step == 1) {
      UnitRow<Rule>(d, line, m, width, v);
    } else if (sourceApart && maskApart && !shrink && plan.uniform == 2 && step == 1) {
      DoubledRow<Rule>(d, line, m, width, v);
    } else if (shrink) {
      const Pixel* s = line;
      const Pixel* mp = m;
      for (size_t i = 0; i < width; ++i) {
        Rule::Apply(d + i, s, mp, v);
        s += static_cast<SInt32>(steps[i]);
        if constexpr (kMask) ++mp;
      }
    } else {
      const Pixel* s = line;
      const Pixel* mp = m;
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
    if constexpr (kRowRepeats) {
      previousLine = line;
      previousRow = d;
    }
    d += a.dstRowPixels;
    if constexpr (kMask) m += a.maskRowPixels;
    error += a.srcExtent;
    while (error >= a.dstExtent) {
      error -= a.dstExtent;
      line += lineMove;
    }
  }
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
