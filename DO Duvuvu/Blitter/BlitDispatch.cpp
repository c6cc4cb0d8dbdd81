#include "BlitDispatch.h"

#include "BlitSetup.h"
#include "BlitVariants.h"
#include "Geometry.h"

namespace {

Rect RelativeTo(const Rect& r, const Rect& bounds) {
  return Rect{static_cast<SInt16>(r.top - bounds.top), static_cast<SInt16>(r.left - bounds.left),
              static_cast<SInt16>(r.bottom - bounds.top),
              static_cast<SInt16>(r.right - bounds.left)};
}

template <typename Pixel>
UInt32 RowPixels(const PixMap& map) {
  return static_cast<UInt32>(map.rowBytes & kPixMapRowBytesMask) / sizeof(Pixel);
}

template <typename Pixel>
Pixel* PixelAt(const PixMap& map, UInt32 stride, SInt32 row, SInt32 column) {
  return reinterpret_cast<Pixel*>(map.baseAddr) +
         (static_cast<ptrdiff_t>(row) * stride + column);
}

// The four walk codes a quarter turn apart: code 0 gives `along`, 1 gives
// `across`, 2 and 3 their negatives (no table on the stack to fill per call).
inline SInt32 Turn(UInt32 code, SInt32 along, SInt32 across) {
  const SInt32 term = (code & 1) ? across : along;
  return (code & 2) ? -term : term;
}

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
  if (!src || !dst || !*src || !*dst || (mask && !*mask)) return false;
  if (rotation < 0 || rotation > 3) return false;
  const PixMap& srcMap = **src;
  const PixMap& dstMap = **dst;
  const bool odd = (rotation & 1) != 0;

  const Rect s = RelativeTo(*srcRect, srcMap.bounds);
  const Rect d = RelativeTo(*dstRect, dstMap.bounds);
  Rect clip;
  if (clipRect) {
    IntersectRects(clipRect, &dstMap.bounds, &clip);
    clip = RelativeTo(clip, dstMap.bounds);
  } else {
    clip = RelativeTo(dstMap.bounds, dstMap.bounds);
  }

  const SInt32 sw = s.right - s.left;
  const SInt32 sh = s.bottom - s.top;
  const SInt32 dw = d.right - d.left;
  const SInt32 dh = d.bottom - d.top;
  if constexpr (!kScale) {
    if (odd ? (sw != dh || sh != dw) : (sw != dw || sh != dh)) return false;
  } else {
    if (RectIsEmpty(&s)) return false;
  }
  Rect clipped;
  if (!IntersectRects(&d, &clip, &clipped)) return false;

  Rect maskArea;
  if (maskRect) maskArea = RelativeTo(*maskRect, dstMap.bounds);
  const UInt32 srcStride = RowPixels<Pixel>(srcMap);
  const UInt32 dstStride = RowPixels<Pixel>(dstMap);
  const UInt32 maskStride = mask ? RowPixels<Pixel>(**mask) : 0;

  Rect cut = s;
  UInt32 corner, pixelCode, undoCode, nextCode;
  UInt8 shrinkH, shrinkV;
  blitsetup::ClipAndOrientBlit(&cut, &d, &clipped, maskRect ? &maskArea : nullptr, flipH, flipV,
                               rotation, &corner, &pixelCode, &undoCode, &nextCode, &shrinkH,
                               &shrinkV);

  const SInt32 stride = static_cast<SInt32>(srcStride);
  const SInt32 cutWidth = cut.right - cut.left;
  const SInt32 cutHeight = cut.bottom - cut.top;

  BlitVariantArgs<Pixel>& a = setup.args;
  a.srcPixelStep = Turn(pixelCode, 1, -stride);
  a.srcRowSkip = Turn(undoCode, -cutWidth, cutHeight * stride) + Turn(nextCode, stride, 1);
  // Corners 1 and 2 start on the bottom row, 2 and 3 in the right column.
  const SInt32 cornerRow = corner == 1 || corner == 2 ? cut.bottom - 1 : cut.top;
  const SInt32 cornerColumn = corner >= 2 ? cut.right - 1 : cut.left;
  a.srcStart = PixelAt<Pixel>(srcMap, srcStride, cornerRow, cornerColumn);
  a.dstStart = PixelAt<Pixel>(dstMap, dstStride, clipped.top, clipped.left);
  a.dstEnd = a.dstStart + static_cast<ptrdiff_t>(clipped.bottom - clipped.top) * dstStride;
  if (mask) {
    const Rect& at = maskRect ? maskArea : clipped;
    a.maskStart = PixelAt<Pixel>(**mask, maskStride, at.top, at.left);
  }
  a.srcRowPixels = srcStride;
  a.dstRowPixels = dstStride;
  a.maskRowPixels = maskStride;
  a.width = static_cast<UInt32>(clipped.right - clipped.left);
  a.rowWalk = nextCode;
  a.shrinkH = shrinkH;

  // A colour given with a table is looked up now and the table dropped; with
  // no table left, mode 3 (and 19) cannot be tested and acts as 1 (17).
  if (lookup && color != kBlitNoColor) {
    color = lookup[color];
    lookup = nullptr;
  }
  if (!lookup && (mode & 3) == 3) mode = (mode & 0x10) | 1;
  a.mode = mode;
  a.color = color;
  a.lookupTable = lookup;
  a.transTable = kHonoursTrans ? trans : nullptr;

  if constexpr (kScale) {
    a.srcExtent = odd ? sw : sh;
    a.dstExtent = dh;
    // Rows wider than the default buffer grow it rather than overrun it.
    if (!blitsetup::EnsureScaleSteps(a.width + 1)) return false;
    blitsetup::BuildScaleSteps(&s, &d, &clipped, rotation, a.srcPixelStep, ScaleStepBuffer,
                               &a.rowError);
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
