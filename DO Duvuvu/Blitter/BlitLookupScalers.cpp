#include "BlitLookupScalers.h"

namespace {

// The plain scaling set-up without a translucency table, then the pair's
// entry. No table left (none given, or a colour folded it away) would have
// the variants read through nil: nothing is drawn then.
template <typename Pixel>
void DispatchPair(const BlitVariantPair<Pixel>& table, BlitSetUpStep<Pixel>& setUp,
                  PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                  const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                  const Pixel* lookup, UInt8 flipH, UInt8 flipV, SInt8 rotation,
                  const Rect* maskRect) {
  if (!lookup || color != kBlitNoColor) return;
  const auto setup = setUp(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
                           nullptr, flipH, flipV, rotation, maskRect);
  if (!setup || !setup->args.lookupTable) return;
  table[mask ? 1 : 0](setup->args);
}

}  // namespace

void SCALE8LookupA(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                   const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                   const UInt8* lookup, const UInt8*, UInt8 flipH, UInt8 flipV, SInt8 rotation,
                   const Rect* maskRect) {
  DispatchPair<UInt8>(SCALE8LookupAVariants, SetUpSCALE8, src, dst, mask, srcRect, dstRect,
                      clipRect, mode, color, lookup, flipH, flipV, rotation, maskRect);
}

void SCALE8LookupB(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                   const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                   const UInt8* lookup, const UInt8*, UInt8 flipH, UInt8 flipV, SInt8 rotation,
                   const Rect* maskRect) {
  DispatchPair<UInt8>(SCALE8LookupBVariants, SetUpSCALE8, src, dst, mask, srcRect, dstRect,
                      clipRect, mode, color, lookup, flipH, flipV, rotation, maskRect);
}

void SCALE16LookupA(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                    const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                    const UInt16* lookup, const UInt16*, UInt8 flipH, UInt8 flipV,
                    SInt8 rotation, const Rect* maskRect) {
  DispatchPair<UInt16>(SCALE16LookupAVariants, SetUpSCALE16, src, dst, mask, srcRect, dstRect,
                       clipRect, mode, color, lookup, flipH, flipV, rotation, maskRect);
}

void SCALE16LookupB(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                    const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                    const UInt16* lookup, const UInt16*, UInt8 flipH, UInt8 flipV,
                    SInt8 rotation, const Rect* maskRect) {
  DispatchPair<UInt16>(SCALE16LookupBVariants, SetUpSCALE16, src, dst, mask, srcRect, dstRect,
                       clipRect, mode, color, lookup, flipH, flipV, rotation, maskRect);
}

void SCALE32LookupA(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                    const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                    const UInt32* lookup, const UInt32*, UInt8 flipH, UInt8 flipV,
                    SInt8 rotation, const Rect* maskRect) {
  DispatchPair<UInt32>(SCALE32LookupAVariants, SetUpSCALE32, src, dst, mask, srcRect, dstRect,
                       clipRect, mode, color, lookup, flipH, flipV, rotation, maskRect);
}

void SCALE32LookupB(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                    const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                    const UInt32* lookup, const UInt32*, UInt8 flipH, UInt8 flipV,
                    SInt8 rotation, const Rect* maskRect) {
  DispatchPair<UInt32>(SCALE32LookupBVariants, SetUpSCALE32, src, dst, mask, srcRect, dstRect,
                       clipRect, mode, color, lookup, flipH, flipV, rotation, maskRect);
}

void SCALE16Shadow(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                   const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                   const UInt16* lookup, const UInt16*, UInt8 flipH, UInt8 flipV, SInt8 rotation,
                   const Rect* maskRect) {
  DispatchPair<UInt16>(SCALE16ShadowVariants, SetUpSCALE16, src, dst, mask, srcRect, dstRect,
                       clipRect, mode, color, lookup, flipH, flipV, rotation, maskRect);
}
