#include "BlitExtended.h"

#include "BlitSetUpSteps.h"

namespace {

using blitsetup::BlitGeometry;

constexpr SInt32 kNeutral = 32;

// Folds the tint into levels and offsets, and a given colour into its tinted
// pixel (which then needs no levels).
void SetUpTint(BlitVariantArgsX& a, const BlitTint* tint) {
  if (!tint) return;
  a.transLevel = tint->level;
  if (tint->red == kNeutral && tint->green == kNeutral && tint->blue == kNeutral) return;
  struct Channel {
    SInt32 level, offset;
  };
  // Above 32 a channel brightens: its level counts down from 32 again and an
  // offset lifts the field toward 31 (31 x 32 at level 0, not 32 x 32).
  const auto fold = [](SInt32 c) {
    if (c <= kNeutral) return Channel{c, 0};
    const SInt32 folded = 64 - c;
    return Channel{folded, folded == 0 ? 0x3E0 : (kNeutral - folded) * 32};
  };
  const Channel red = fold(tint->red), green = fold(tint->green), blue = fold(tint->blue);
  a.redLevel = red.level;
  a.greenLevel = green.level;
  a.blueLevel = blue.level;
  a.redOffset = red.offset;
  a.greenOffset = green.offset;
  a.blueOffset = blue.offset;
  if (red.level == green.level && green.level == blue.level) {
    a.brightLevel = red.level;
    // Red alone decides whether all three brighten.
    if (tint->red > kNeutral) {
      const UInt32 t = static_cast<UInt32>(kNeutral - red.level);
      a.brightOffset = red.level == 0 ? 0x03E07C1Fu : (t | t << 10 | t << 21);
    }
  }
  if (a.color != kBlitNoColor) {
    const auto field = [](UInt32 f, const Channel& c) {
      return ((f * static_cast<UInt32>(c.level) + static_cast<UInt32>(c.offset)) >> 5) & 0x1F;
    };
    a.color = field((a.color >> 10) & 0x1F, red) << 10 | field((a.color >> 5) & 0x1F, green) << 5 |
              field(a.color & 0x1F, blue);
    a.redLevel = a.greenLevel = a.blueLevel = a.brightLevel = kNeutral;
  }
}

// The alpha map's walk beside the source; false: the area is not wholly
// inside the alpha map (or its rect is not the destination rect's size).
bool SetUpAlpha(BlitVariantArgsX& a, const BlitGeometry& g, const PixMap& alphaMap,
                const Rect* alphaRect) {
  SInt32 top = g.cut.top, left = g.cut.left;
  const SInt32 width = g.cut.right - g.cut.left;
  const SInt32 height = g.cut.bottom - g.cut.top;
  if (alphaRect) {
    const Rect r = blitsetup::RelativeTo(*alphaRect, alphaMap.bounds);
    if (r.right - r.left != g.dst.right - g.dst.left ||
        r.bottom - r.top != g.dst.bottom - g.dst.top) {
      return false;
    }
    top += r.top - g.dst.top;
    left += r.left - g.dst.left;
  }
  const SInt32 stride = alphaMap.rowBytes & kPixMapRowBytesMask;
  const SInt32 mapWidth = alphaMap.bounds.right - alphaMap.bounds.left;
  const SInt32 mapHeight = alphaMap.bounds.bottom - alphaMap.bounds.top;
  if (top < 0 || left < 0 || width <= 0 || height <= 0 || top + height > mapHeight ||
      left + width > mapWidth || left + width > stride) {
    return false;
  }
  const SInt32 row = g.corner == 1 || g.corner == 2 ? top + height - 1 : top;
  const SInt32 column = g.corner >= 2 ? left + width - 1 : left;
  a.alphaStart = reinterpret_cast<const UInt8*>(alphaMap.baseAddr) +
                 (static_cast<ptrdiff_t>(row) * stride + column);
  a.alphaStep = blitsetup::Turn(g.pixelCode, 1, -stride);
  a.alphaRowBytes = static_cast<UInt32>(stride);
  a.alphaRowSkip = blitsetup::Turn(g.undoCode, -width, height * stride) +
                   blitsetup::Turn(g.nextCode, stride, 1);
  return true;
}

template <bool kScale>
[[gnu::always_inline]] inline bool SetUpX(BlitSetupX& setup, PixMapHandle src, PixMapHandle dst,
                                          PixMapHandle mask, const Rect* srcRect,
                                          const Rect* dstRect, const Rect* clipRect,
                                          BlitMode mode, UInt32 color, const UInt16* lookup,
                                          const BlitTint* tint, UInt8 flipH, UInt8 flipV,
                                          SInt8 rotation, const Rect* maskRect,
                                          PixMapHandle alpha, const Rect* alphaRect) {
  BlitVariantArgsX& a = setup.args;
  if (alpha && !*alpha) return false;
  BlitGeometry g;
  if (!blitsetup::SetUpGeometry<UInt16, kScale>(a, g, src, dst, mask, srcRect, dstRect, clipRect,
                                                flipH, flipV, rotation, maskRect)) {
    return false;
  }
  blitsetup::FoldLookup(a, mode, color, lookup);
  SetUpTint(a, tint);
  if (alpha && !SetUpAlpha(a, g, **alpha, alphaRect)) return false;
  if constexpr (kScale) {
    // The alpha kernels multiply counts by their own steps, so with an alpha
    // map (even the source itself) the table holds counts.
    if (!blitsetup::SetUpScaleSteps(a, g, rotation, alpha ? 1 : a.srcPixelStep)) return false;
  } else {
    a.shrinkH = 0;
  }
  const bool levelsNeutral =
      a.redLevel == kNeutral && a.greenLevel == kNeutral && a.blueLevel == kNeutral;
  const bool bright = a.brightLevel != kNeutral;
  const bool mapping = !bright && !levelsNeutral;
  setup.slot = (bright ? kBlitFlagBright : 0) | (mapping ? kBlitFlagMapping : 0) |
               (a.alphaStart ? kBlitFlagAlpha : 0) | (a.lookupTable ? kBlitFlagLookup : 0) |
               (a.color != kBlitNoColor ? kBlitFlagColor : 0) |
               (a.transLevel != kNeutral ? kBlitFlagTrans : 0) | (mask ? kBlitFlagMask : 0);
  return true;
}

template <bool kScale>
std::optional<BlitSetupX> SetUpOnly(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                    const Rect* srcRect, const Rect* dstRect,
                                    const Rect* clipRect, BlitMode mode, UInt32 color,
                                    const UInt16* lookup, const BlitTint* tint, UInt8 flipH,
                                    UInt8 flipV, SInt8 rotation, const Rect* maskRect,
                                    PixMapHandle alpha, const Rect* alphaRect) {
  BlitSetupX setup;
  if (!SetUpX<kScale>(setup, src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, tint,
                      flipH, flipV, rotation, maskRect, alpha, alphaRect)) {
    return std::nullopt;
  }
  return setup;
}

template <bool kScale>
void Dispatch(const BlitVariantTableX& table, PixMapHandle src, PixMapHandle dst,
              PixMapHandle mask, const Rect* srcRect, const Rect* dstRect, const Rect* clipRect,
              BlitMode mode, UInt32 color, const UInt16* lookup, const BlitTint* tint,
              UInt8 flipH, UInt8 flipV, SInt8 rotation, const Rect* maskRect, PixMapHandle alpha,
              const Rect* alphaRect) {
  BlitSetupX setup;
  if (SetUpX<kScale>(setup, src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, tint,
                     flipH, flipV, rotation, maskRect, alpha, alphaRect)) {
    table[setup.slot](setup.args);
  }
}

}  // namespace

std::optional<BlitSetupX> Copy16XSetup(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                       const Rect* srcRect, const Rect* dstRect,
                                       const Rect* clipRect, BlitMode mode, UInt32 color,
                                       const UInt16* lookup, const BlitTint* tint, UInt8 flipH,
                                       UInt8 flipV, SInt8 rotation, const Rect* maskRect,
                                       PixMapHandle alpha, const Rect* alphaRect) {
  return SetUpOnly<false>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, tint,
                          flipH, flipV, rotation, maskRect, alpha, alphaRect);
}

std::optional<BlitSetupX> Scale16XSetup(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                        const Rect* srcRect, const Rect* dstRect,
                                        const Rect* clipRect, BlitMode mode, UInt32 color,
                                        const UInt16* lookup, const BlitTint* tint, UInt8 flipH,
                                        UInt8 flipV, SInt8 rotation, const Rect* maskRect,
                                        PixMapHandle alpha, const Rect* alphaRect) {
  return SetUpOnly<true>(src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, tint,
                         flipH, flipV, rotation, maskRect, alpha, alphaRect);
}

void Copy16XDispatch(const BlitVariantTableX& table, PixMapHandle src, PixMapHandle dst,
                     PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                     const Rect* clipRect, BlitMode mode, UInt32 color, const UInt16* lookup,
                     const BlitTint* tint, UInt8 flipH, UInt8 flipV, SInt8 rotation,
                     const Rect* maskRect, PixMapHandle alpha, const Rect* alphaRect) {
  Dispatch<false>(table, src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, tint,
                  flipH, flipV, rotation, maskRect, alpha, alphaRect);
}

void Scale16XDispatch(const BlitVariantTableX& table, PixMapHandle src, PixMapHandle dst,
                      PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                      const Rect* clipRect, BlitMode mode, UInt32 color, const UInt16* lookup,
                      const BlitTint* tint, UInt8 flipH, UInt8 flipV, SInt8 rotation,
                      const Rect* maskRect, PixMapHandle alpha, const Rect* alphaRect) {
  Dispatch<true>(table, src, dst, mask, srcRect, dstRect, clipRect, mode, color, lookup, tint,
                 flipH, flipV, rotation, maskRect, alpha, alphaRect);
}

void COPY16X(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
             const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
             const UInt16* lookup, const BlitTint* tint, UInt8 flipH, UInt8 flipV,
             SInt8 rotation, const Rect* maskRect, PixMapHandle alpha, const Rect* alphaRect) {
  Copy16XDispatch(COPY16XVariants, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                  lookup, tint, flipH, flipV, rotation, maskRect, alpha, alphaRect);
}

void SCALE16X(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
              const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
              const UInt16* lookup, const BlitTint* tint, UInt8 flipH, UInt8 flipV,
              SInt8 rotation, const Rect* maskRect, PixMapHandle alpha, const Rect* alphaRect) {
  Scale16XDispatch(SCALE16XVariants, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                   lookup, tint, flipH, flipV, rotation, maskRect, alpha, alphaRect);
}

void COPY16XAllFlags(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                     const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                     const UInt16* lookup, const BlitTint* tint, UInt8 flipH, UInt8 flipV,
                     SInt8 rotation, const Rect* maskRect, PixMapHandle alpha,
                     const Rect* alphaRect) {
  Copy16XDispatch(COPY16XAllFlagsVariants, src, dst, mask, srcRect, dstRect, clipRect, mode, color,
                  lookup, tint, flipH, flipV, rotation, maskRect, alpha, alphaRect);
}
