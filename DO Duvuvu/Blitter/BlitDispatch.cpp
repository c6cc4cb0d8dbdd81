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

// Everything a dispatcher does before its table call.
template <typename Pixel, bool kScale>
std::optional<BlitSetup<Pixel>> SetUpBlit(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                          const Rect* srcRect, const Rect* dstRect,
                                          const Rect* clipRect, BlitMode mode, UInt32 color,
                                          const Pixel* lookup, const Pixel* trans, UInt8 flipH,
                                          UInt8 flipV, SInt8 rotation, const Rect* maskRect) {
  constexpr bool kHonoursTrans = sizeof(Pixel) == 1;
  if (!src || !dst || !*src || !*dst || (mask && !*mask)) return std::nullopt;
  if (rotation < 0 || rotation > 3) return std::nullopt;
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
    if (odd ? (sw != dh || sh != dw) : (sw != dw || sh != dh)) return std::nullopt;
  } else {
    if (RectIsEmpty(&s)) return std::nullopt;
  }
  Rect clipped;
  if (!IntersectRects(&d, &clip, &clipped)) return std::nullopt;

  Rect maskArea;
  if (maskRect) maskArea = RelativeTo(*maskRect, dstMap.bounds);
  const UInt32 srcStride = RowPixels<Pixel>(srcMap);
  const UInt32 dstStride = RowPixels<Pixel>(dstMap);
  const UInt32 maskStride = mask ? RowPixels<Pixel>(**mask) : 0;

  Rect cut = s;
  UInt32 corner, pixelCode, undoCode, nextCode;
  UInt8 shrinkH, shrinkV;
  ClipAndOrientBlit(&cut, &d, &clipped, maskRect ? &maskArea : nullptr, flipH, flipV, rotation,
                    &corner, &pixelCode, &undoCode, &nextCode, &shrinkH, &shrinkV);

  const SInt32 stride = static_cast<SInt32>(srcStride);
  const SInt32 pixelSteps[4] = {1, -stride, -1, stride};
  const SInt32 undoTerms[4] = {cut.left - cut.right, (cut.bottom - cut.top) * stride,
                               cut.right - cut.left, (cut.top - cut.bottom) * stride};
  const SInt32 nextTerms[4] = {stride, 1, -stride, -1};
  const SInt32 cornerRows[4] = {cut.top, cut.bottom - 1, cut.bottom - 1, cut.top};
  const SInt32 cornerColumns[4] = {cut.left, cut.left, cut.right - 1, cut.right - 1};

  BlitSetup<Pixel> setup{};
  BlitVariantArgs<Pixel>& a = setup.args;
  a.srcPixelStep = pixelSteps[pixelCode];
  a.srcRowSkip = undoTerms[undoCode] + nextTerms[nextCode];
  a.srcStart = PixelAt<Pixel>(srcMap, srcStride, cornerRows[corner], cornerColumns[corner]);
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
    if (!EnsureScaleStepBuffer(a.width + 1)) return std::nullopt;
    BuildScaleSteps(&s, &d, &clipped, rotation, a.srcPixelStep, ScaleStepBuffer, &a.rowError);
  }

  setup.slot = (a.lookupTable ? kBlitFlagLookup : 0) | (a.color != kBlitNoColor ? kBlitFlagColor : 0) |
               (a.transTable ? kBlitFlagTrans : 0) | (mask ? kBlitFlagMask : 0);
  return setup;
}

template <typename Pixel>
void CallSlot(const BlitVariantTable<Pixel>& table, const std::optional<BlitSetup<Pixel>>& setup) {
  if (setup) table[setup->slot](setup->args);
}

}  // namespace

std::optional<BlitSetup<UInt8>> SetUpCOPY8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                           const Rect* srcRect, const Rect* dstRect,
                                           const Rect* clipRect, BlitMode mode, UInt32 color,
                                           const UInt8* lookup, const UInt8* trans, UInt8 flipH,
                                           UInt8 flipV, SInt8 rotation, const Rect* maskRect) {
  return SetUpBlit<UInt8, false>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
                                 trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt16>> SetUpCOPY16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                             const Rect* srcRect, const Rect* dstRect,
                                             const Rect* clipRect, BlitMode mode, UInt32 color,
                                             const UInt16* lookup, const UInt16* trans,
                                             UInt8 flipH, UInt8 flipV, SInt8 rotation,
                                             const Rect* maskRect) {
  return SetUpBlit<UInt16, false>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
                                  trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt32>> SetUpCOPY32(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                             const Rect* srcRect, const Rect* dstRect,
                                             const Rect* clipRect, BlitMode mode, UInt32 color,
                                             const UInt32* lookup, const UInt32* trans,
                                             UInt8 flipH, UInt8 flipV, SInt8 rotation,
                                             const Rect* maskRect) {
  return SetUpBlit<UInt32, false>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
                                  trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt8>> SetUpSCALE8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                            const Rect* srcRect, const Rect* dstRect,
                                            const Rect* clipRect, BlitMode mode, UInt32 color,
                                            const UInt8* lookup, const UInt8* trans, UInt8 flipH,
                                            UInt8 flipV, SInt8 rotation, const Rect* maskRect) {
  return SetUpBlit<UInt8, true>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
                                trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt16>> SetUpSCALE16(PixMapHandle src, PixMapHandle dst,
                                              PixMapHandle mask, const Rect* srcRect,
                                              const Rect* dstRect, const Rect* clipRect,
                                              BlitMode mode, UInt32 color, const UInt16* lookup,
                                              const UInt16* trans, UInt8 flipH, UInt8 flipV,
                                              SInt8 rotation, const Rect* maskRect) {
  return SetUpBlit<UInt16, true>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
                                 trans, flipH, flipV, rotation, maskRect);
}

std::optional<BlitSetup<UInt32>> SetUpSCALE32(PixMapHandle src, PixMapHandle dst,
                                              PixMapHandle mask, const Rect* srcRect,
                                              const Rect* dstRect, const Rect* clipRect,
                                              BlitMode mode, UInt32 color, const UInt32* lookup,
                                              const UInt32* trans, UInt8 flipH, UInt8 flipV,
                                              SInt8 rotation, const Rect* maskRect) {
  return SetUpBlit<UInt32, true>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup,
                                 trans, flipH, flipV, rotation, maskRect);
}

void COPY8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
           const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
           const UInt8* lookup, const UInt8* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
           const Rect* maskRect) {
  CallSlot(COPY8Variants, SetUpCOPY8(src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                                     lookup, trans, flipH, flipV, rotation, maskRect));
}

void COPY16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
            const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
            const UInt16* lookup, const UInt16* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
            const Rect* maskRect) {
  CallSlot(COPY16Variants, SetUpCOPY16(src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                                       lookup, trans, flipH, flipV, rotation, maskRect));
}

void COPY32(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
            const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
            const UInt32* lookup, const UInt32* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
            const Rect* maskRect) {
  CallSlot(COPY32Variants, SetUpCOPY32(src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                                       lookup, trans, flipH, flipV, rotation, maskRect));
}

void SCALE8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
            const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
            const UInt8* lookup, const UInt8* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
            const Rect* maskRect) {
  CallSlot(SCALE8Variants, SetUpSCALE8(src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                                       lookup, trans, flipH, flipV, rotation, maskRect));
}

void SCALE16(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
             const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
             const UInt16* lookup, const UInt16* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
             const Rect* maskRect) {
  CallSlot(SCALE16Variants, SetUpSCALE16(src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                                         lookup, trans, flipH, flipV, rotation, maskRect));
}

void SCALE32(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
             const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
             const UInt32* lookup, const UInt32* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation,
             const Rect* maskRect) {
  CallSlot(SCALE32Variants, SetUpSCALE32(src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                                         lookup, trans, flipH, flipV, rotation, maskRect));
}

void COPY16AllFlags(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                    const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                    const UInt16* lookup, const UInt16* trans, UInt8 flipH, UInt8 flipV,
                    SInt8 rotation, const Rect* maskRect) {
  CallSlot(COPY16AllFlagsVariants,
           SetUpCOPY16(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, trans,
                       flipH, flipV, rotation, maskRect));
}
