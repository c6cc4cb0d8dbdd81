// The dispatchers' shared set-up, in pieces the plain and the extended
// dispatchers both inline: the geometry (checks, clip, orientation, start
// addresses), the lookup fold and the scale step table. Any record with the
// plain argument names (BlitVariantArgs, BlitVariantArgsX) can be filled.
#pragma once

#include <cstddef>

#include "BlitSetup.h"
#include "BlitTypes.h"
#include "Geometry.h"
#include "PixMap.h"

namespace blitsetup {

inline Rect RelativeTo(const Rect& r, const Rect& bounds) {
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

// What the later set-up steps need from the geometry. Rectangles are relative
// to their maps' bounds.
struct BlitGeometry {
  Rect src;      // as passed
  Rect dst;      // unclipped
  Rect clipped;  // the destination's part that is drawn
  Rect cut;      // the source trimmed to the clipped destination
  UInt32 corner, pixelCode, undoCode, nextCode;
  bool odd;      // odd quarter turn
};

// Checks the request, clips and orients it and fills the walk fields of `a`
// (all but mode, colour, tables, the vertical scale values and rowError).
// False: nothing to draw.
template <typename Pixel, bool kScale, class Args>
[[gnu::always_inline]] inline bool SetUpGeometry(Args& a, BlitGeometry& g, PixMapHandle src,
                                                 PixMapHandle dst, PixMapHandle mask,
                                                 const Rect* srcRect, const Rect* dstRect,
                                                 const Rect* clipRect, UInt8 flipH, UInt8 flipV,
                                                 SInt8 rotation, const Rect* maskRect) {
  if (!src || !dst || !*src || !*dst || (mask && !*mask)) return false;
  if (rotation < 0 || rotation > 3) return false;
  const PixMap& srcMap = **src;
  const PixMap& dstMap = **dst;
  g.odd = (rotation & 1) != 0;

  g.src = RelativeTo(*srcRect, srcMap.bounds);
  g.dst = RelativeTo(*dstRect, dstMap.bounds);
  const Rect& s = g.src;
  const Rect& d = g.dst;
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
    if (g.odd ? (sw != dh || sh != dw) : (sw != dw || sh != dh)) return false;
  } else {
    if (RectIsEmpty(&s)) return false;
  }
  if (!IntersectRects(&d, &clip, &g.clipped)) return false;
  const Rect& clipped = g.clipped;

  Rect maskArea;
  if (maskRect) maskArea = RelativeTo(*maskRect, dstMap.bounds);
  const UInt32 srcStride = RowPixels<Pixel>(srcMap);
  const UInt32 dstStride = RowPixels<Pixel>(dstMap);
  const UInt32 maskStride = mask ? RowPixels<Pixel>(**mask) : 0;

  g.cut = s;
  UInt8 shrinkH, shrinkV;
  blitsetup::ClipAndOrientBlit(&g.cut, &d, &clipped, maskRect ? &maskArea : nullptr, flipH, flipV, rotation,
                    &g.corner, &g.pixelCode, &g.undoCode, &g.nextCode, &shrinkH, &shrinkV);
  const Rect& cut = g.cut;

  const SInt32 stride = static_cast<SInt32>(srcStride);
  const SInt32 cutWidth = cut.right - cut.left;
  const SInt32 cutHeight = cut.bottom - cut.top;

  a.srcPixelStep = Turn(g.pixelCode, 1, -stride);
  a.srcRowSkip = Turn(g.undoCode, -cutWidth, cutHeight * stride) + Turn(g.nextCode, stride, 1);
  // Corners 1 and 2 start on the bottom row, 2 and 3 in the right column.
  const SInt32 cornerRow = g.corner == 1 || g.corner == 2 ? cut.bottom - 1 : cut.top;
  const SInt32 cornerColumn = g.corner >= 2 ? cut.right - 1 : cut.left;
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
  a.rowWalk = g.nextCode;
  a.shrinkH = shrinkH;
  return true;
}

// A colour given with a table is looked up now and the table dropped; with no
// table left, mode 3 (and 19) cannot be tested and acts as 1 (17).
template <typename Pixel, class Args>
[[gnu::always_inline]] inline void FoldLookup(Args& a, BlitMode mode, UInt32 color,
                                              const Pixel* lookup) {
  if (lookup && color != kBlitNoColor) {
    color = lookup[color];
    lookup = nullptr;
  }
  if (!lookup && (mode & 3) == 3) mode = (mode & 0x10) | 1;
  a.mode = mode;
  a.color = color;
  a.lookupTable = lookup;
}

// The vertical scale values and the step table; false when the table cannot
// be made. pixelStep goes into shrinking entries (1 leaves counts).
template <class Args>
[[gnu::always_inline]] inline bool SetUpScaleSteps(Args& a, const BlitGeometry& g,
                                                   SInt8 rotation, SInt32 pixelStep) {
  a.srcExtent = g.odd ? g.src.right - g.src.left : g.src.bottom - g.src.top;
  a.dstExtent = g.dst.bottom - g.dst.top;
  // Rows wider than the default buffer grow it rather than overrun it.
  if (!EnsureScaleSteps(a.width + 1)) return false;
  blitsetup::BuildScaleSteps(&g.src, &g.dst, &g.clipped, rotation, pixelStep, ScaleStepBuffer, &a.rowError);
  return true;
}

}  // namespace blitsetup
