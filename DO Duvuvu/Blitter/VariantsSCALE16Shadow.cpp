// The shadow scale: one pixel rule on the plain scaling walk.
#include "BlitLookupScalers.h"
#include "BlitWalk.h"

namespace {

constexpr UInt16 kKey = kBlitKey<UInt16>;

// kBase: 0 every pixel, 1 not over a key source, 2 nor over a key
// destination. kInverted: the mask passes where it is not the key.
template <bool kMaskGiven, UInt32 kBase, bool kInverted>
struct ShadowRule {
  using Pixel = UInt16;
  struct Flags {
    static constexpr bool kMask = kMaskGiven;
    static constexpr bool kColor = false;
    static constexpr bool kLookup = true;
    static constexpr bool kTrans = false;
  };
  static constexpr bool kReadsSource = true;
  static constexpr bool kReadsDest = true;
  static constexpr bool kBranches = true;
  static constexpr bool kPlainCopy = false;

  static inline void Apply(Pixel* d, const Pixel* s, const Pixel* m,
                           const blitwalk::RuleValues<Pixel>& v) {
    Put(d, *s, m, v);
  }

  static inline void Put(Pixel* d, Pixel source, const Pixel* m,
                         const blitwalk::RuleValues<Pixel>& v) {
    if constexpr (kMaskGiven) {
      if ((*m == kKey) == kInverted) return;
    }
    const UInt32 dest = *d;
    if constexpr (kBase >= 1) {
      if (source == kKey) return;
    }
    if constexpr (kBase == 2) {
      if (dest == kKey) return;
    }
    const UInt32 entry = v.lookup[source];
    if (!(entry & 0x8000)) {
      *d = source;
      return;
    }
    // Green moves up into the spare bits so one product darkens all fields.
    const UInt32 level = entry & 0x7FFF;
    const UInt32 spread = ((dest & 0x03E0) << 16) | (dest & 0x7C1F);
    const UInt32 dark = ((spread * level) >> 5) & 0x03E07C1F;
    *d = static_cast<Pixel>((dark & 0x7C1F) | ((dark >> 16) & 0x03E0));
  }
};

template <bool kMaskGiven, UInt32 kBase, bool kInverted>
void Walk(const BlitVariantArgs<UInt16>& a) {
  blitwalk::ScaleWalkWith<ShadowRule<kMaskGiven, kBase, kInverted>>(
      a, blitwalk::RuleValues<UInt16>{0, a.lookupTable, nullptr});
}

template <bool kMaskGiven>
void ShadowBlit(const BlitVariantArgs<UInt16>& a) {
  switch (a.mode) {
    case 0: return Walk<kMaskGiven, 0, false>(a);
    case 1: return Walk<kMaskGiven, 1, false>(a);
    case 2: return Walk<kMaskGiven, 2, false>(a);
    case 16: return Walk<kMaskGiven, 0, true>(a);
    case 17: return Walk<kMaskGiven, 1, true>(a);
    case 18: return Walk<kMaskGiven, 2, true>(a);
    default: return;
  }
}

}  // namespace

void SCALE16ShadowBlit(const BlitVariantArgs<UInt16>& a) {
  if (a.maskStart) {
    ShadowBlit<true>(a);
  } else {
    ShadowBlit<false>(a);
  }
}

constexpr BlitVariantPair<UInt16> SCALE16ShadowVariants = {&SCALE16ShadowBlit, &SCALE16ShadowBlit};
