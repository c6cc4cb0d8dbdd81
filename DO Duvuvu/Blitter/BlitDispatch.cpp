#include "BlitDispatch.h"

#include "BlitSetUpSteps.h"
#include "BlitVariants.h"

namespace {

// Everything a dispatcher does before its table call; false: nothing to draw.
// Inlined into each caller, so the record it fills is the caller's own local.
template <typename Pixel, bool kScale>
[[gnu::always_inline]] inline bool SetUpBlit(BlitSetup<Pixel>& setup, PixMapHandle src,
                                             PixMapHandle dst, PixMapHandle mask,
                                             const Rect* srcRect, const Rect* dstRect,
                                             const Rect* clipRect, BlitMode mode, UInt32 color,
                                             const Pixel* lookup, const Pixel* trans, UInt8 flipH,
                                             UInt8 flipV, SInt8 rotation, const Rect* maskRect) {
  constexpr bool kHonoursTrans = sizeof(Pixel) == 1;
  BlitVariantArgs<Pixel>& a = setup.args;
  blitsetup::BlitGeometry g;
  if (!blitsetup::SetUpGeometry<Pixel, kScale>(a, g, src, dst, mask, srcRect, dstRect, clipRect,
                                               flipH, flipV, rotation, maskRect)) {
    return false;
  }
  blitsetup::FoldLookup(a, mode, color, lookup);
  a.transTable = kHonoursTrans ? trans : nullptr;
  if constexpr (kScale) {
    if (!blitsetup::SetUpScaleSteps(a, g, rotation, a.srcPixelStep)) return false;
  }
  setup.slot = (a.lookupTable ? kBlitFlagLookup : 0) | (a.color != kBlitNoColor ? kBlitFlagColor : 0) |
               (a.transTable ? kBlitFlagTrans : 0) | (mask ? kBlitFlagMask : 0);
  return true;
}

// The set-up step alone, for tests.
template <typename Pixel, bool kScale>
std::optional<BlitSetup<Pixel>> SetUpOnly(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                          const Rect* srcRect, const Rect* dstRect,
                                          const Rect* clipRect, BlitMode mode, UInt32 color,
                                          const Pixel* lookup, const Pixel* trans, UInt8 flipH,
                                          UInt8 flipV, SInt8 rotation, const Rect* maskRect) {
  // Default- rather than value-initialised: the fields start from their own
  // initialisers, without a block clear of the whole record first.
  BlitSetup<Pixel> setup;
  if (!SetUpBlit<Pixel, kScale>(setup, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                                lookup, trans, flipH, flipV, rotation, maskRect)) {
    return std::nullopt;
  }
  return setup;
}

// A dispatcher: the set-up step, then one table call.
template <typename Pixel, bool kScale>
[[gnu::always_inline]] inline void Dispatch(const BlitVariantTable<Pixel>& table, PixMapHandle src,
                                            PixMapHandle dst, PixMapHandle mask,
                                            const Rect* srcRect, const Rect* dstRect,
                                            const Rect* clipRect, BlitMode mode, UInt32 color,
                                            const Pixel* lookup, const Pixel* trans, UInt8 flipH,
                                            UInt8 flipV, SInt8 rotation, const Rect* maskRect) {
  BlitSetup<Pixel> setup;
  if (SetUpBlit<Pixel, kScale>(setup, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                               lookup, trans, flipH, flipV, rotation, maskRect)) {
    table[setup.slot](setup.args);
  }
}

}  // namespace

std::optional<BlitSetup<UInt8>> SetUpCOPY8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                           const Rect* srcRect, const Rect* dstRect,
                                           const Rect* clipRect, BlitMode mode, UInt32 color,
                                           const UInt8* lookup, const UInt8* trans, UInt8 flipH,
                                           UInt8 flipV, SInt8 rotation, const Rect* maskRect) {
  return SetUpOnly<UInt8, false>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
      trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt16>> SetUpCOPY16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                             const Rect* srcRect, const Rect* dstRect,
                                             const Rect* clipRect, BlitMode mode, UInt32 color,
                                             const UInt16* lookup, const UInt16* trans,
                                             UInt8 flipH, UInt8 flipV, SInt8 rotation,
                                             const Rect* maskRect) {
  return SetUpOnly<UInt16, false>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
      trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt32>> SetUpCOPY32(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                             const Rect* srcRect, const Rect* dstRect,
                                             const Rect* clipRect, BlitMode mode, UInt32 color,
                                             const UInt32* lookup, const UInt32* trans,
                                             UInt8 flipH, UInt8 flipV, SInt8 rotation,
                                             const Rect* maskRect) {
  return SetUpOnly<UInt32, false>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
      trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt8>> SetUpSCALE8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                            const Rect* srcRect, const Rect* dstRect,
                                            const Rect* clipRect, BlitMode mode, UInt32 color,
                                            const UInt8* lookup, const UInt8* trans, UInt8 flipH,
                                            UInt8 flipV, SInt8 rotation, const Rect* maskRect) {
  return SetUpOnly<UInt8, true>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
      trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt16>> SetUpSCALE16(PixMapHandle src, PixMapHandle dst,
                                              PixMapHandle mask, const Rect* srcRect,
                                              const Rect* dstRect, const Rect* clipRect,
                                              BlitMode mode, UInt32 color, const UInt16* lookup,
                                              const UInt16* trans, UInt8 flipH, UInt8 flipV,
                                              SInt8 rotation, const Rect* maskRect) {
  return SetUpOnly<UInt16, true>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
      trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt32>> SetUpSCALE32(PixMapHandle src, PixMapHandle dst,
                                              PixMapHandle mask, const Rect* srcRect,
                                              const Rect* dstRect, const Rect* clipRect,
                                              BlitMode mode, UInt32 color, const UInt32* lookup,
                                              const UInt32* trans, UInt8 flipH, UInt8 flipV,
                                              SInt8 rotation, const Rect* maskRect) {
  return SetUpOnly<UInt32, true>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
      trans, flipH, flipV, rotation, maskRect);
}

void COPY8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
           const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
           const UInt8* lookup, const UInt8* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
           const Rect* maskRect) {
  Dispatch<UInt8, false>(COPY8Variants, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
      lookup, trans, flipH, flipV, rotation, maskRect);
}

void COPY16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
            const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
            const UInt16* lookup, const UInt16* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
            const Rect* maskRect) {
  Dispatch<UInt16, false>(COPY16Variants, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
      lookup, trans, flipH, flipV, rotation, maskRect);
}

void COPY32(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
            const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
            const UInt32* lookup, const UInt32* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
            const Rect* maskRect) {
  Dispatch<UInt32, false>(COPY32Variants, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
      lookup, trans, flipH, flipV, rotation, maskRect);
}

void SCALE8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
            const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
            const UInt8* lookup, const UInt8* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
            const Rect* maskRect) {
  Dispatch<UInt8, true>(SCALE8Variants, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
      lookup, trans, flipH, flipV, rotation, maskRect);
}

void SCALE16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
             const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
             const UInt16* lookup, const UInt16* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
             const Rect* maskRect) {
  Dispatch<UInt16, true>(SCALE16Variants, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
      lookup, trans, flipH, flipV, rotation, maskRect);
}

void SCALE32(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
             const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
             const UInt32* lookup, const UInt32* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
             const Rect* maskRect) {
  Dispatch<UInt32, true>(SCALE32Variants, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
      lookup, trans, flipH, flipV, rotation, maskRect);
}

void COPY16AllFlags(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                    const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                    const UInt16* lookup, const UInt16* trans, UInt8 flipH, UInt8 flipV,
                    SInt8 rotation, const Rect* maskRect) {
  Dispatch<UInt16, false>(COPY16AllFlagsVariants, src, dst, mask, srcRect, dstRect, clipRect, mode,
      color, lookup, trans, flipH, flipV, rotation, maskRect);
}
