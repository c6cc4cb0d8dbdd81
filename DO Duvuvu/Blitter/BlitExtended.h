// The extended 16-bit families: copies and scales with a tint (channel levels
// and a translucency level) and an optional 8-bit alpha map walked beside the
// source, through 128-slot tables.
//
// Arguments of the dispatchers and set-up steps, in order: the nine of the
// plain 16-bit dispatchers (source, destination, mask maps; source,
// destination, clip rects; mode; colour; lookup table of u16 entries), then
// tint (nil: every level 32), flipH, flipV, rotation, mask rect, alpha map
// (nil: none), alpha rect (nil: the alpha map is read at the source's place).
#pragma once

#include <array>
#include <optional>

#include "BlitTypes.h"
#include "PixMap.h"

// The flags above the plain four.
constexpr BlitFlags kBlitFlagAlpha = 16;
constexpr BlitFlags kBlitFlagMapping = 32;
constexpr BlitFlags kBlitFlagBright = 64;

// Slots no request reaches: a colour never meets a lookup table, a channel
// mapping or a brightness, and brightness never meets a mapping.
constexpr bool IsExtendedStubSlot(unsigned slot) {
  const bool color = (slot & kBlitFlagColor) != 0;
  const bool bright = (slot & kBlitFlagBright) != 0;
  const bool mapping = (slot & kBlitFlagMapping) != 0;
  return (color && ((slot & kBlitFlagLookup) || mapping || bright)) || (bright && mapping);
}

// What an extended kernel receives. The first eighteen fields are the plain
// record's; other writings of them: srcPix = srcStart, rowErrStep = srcExtent,
// rowErrLimit = dstExtent, srcRowDir = rowWalk, hShrink = shrinkH,
// drawColor = color.
struct BlitVariantArgsX {
  BlitMode mode = 0;
  const UInt16* srcStart = nullptr;
  UInt16* dstStart = nullptr;
  const UInt16* maskStart = nullptr;
  SInt32 srcPixelStep = 0;
  UInt32 srcRowPixels = 0;
  UInt32 dstRowPixels = 0;
  UInt32 maskRowPixels = 0;
  SInt32 srcRowSkip = 0;
  SInt32 srcExtent = 0;  // scales only, as in the plain record
  SInt32 dstExtent = 0;
  UInt16* dstEnd = nullptr;
  UInt32 width = 0;
  UInt32 rowWalk = 0;
  UInt8 shrinkH = 0;
  SInt32 rowError = 0;
  const UInt16* lookupTable = nullptr;
  UInt32 color = kBlitNoColor;

  const UInt8* alphaStart = nullptr;  // alpha byte of the first source pixel, or nil
  SInt32 alphaStep = 0;               // bytes, beside srcPixelStep
  UInt32 alphaRowBytes = 0;
  SInt32 alphaRowSkip = 0;            // bytes, beside srcRowSkip

  SInt32 redLevel = 32;  // channel levels folded to 0..32
  SInt32 greenLevel = 32;
  SInt32 blueLevel = 32;
  SInt32 transLevel = 32;  // the tint's level byte, sign-extended
  SInt32 redOffset = 0;    // 32nds of a field step added after a brightening level
  SInt32 greenOffset = 0;
  SInt32 blueOffset = 0;
  SInt32 brightLevel = 32;  // the one level of all three channels, when they agree
  UInt32 brightOffset = 0;  // its offset in every field of the spread form
};

using BlitVariantX = void (*)(const BlitVariantArgsX& args);
using BlitVariantTableX = std::array<BlitVariantX, 128>;

struct BlitSetupX {
  BlitVariantArgsX args;
  BlitFlags slot;
};

// nullopt: nothing to draw. A SCALE set-up has filled the step table.
std::optional<BlitSetupX> Copy16XSetup(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                       const Rect* srcRect, const Rect* dstRect,
                                       const Rect* clipRect, BlitMode mode, UInt32 color,
                                       const UInt16* lookup, const BlitTint* tint, UInt8 flipH,
                                       UInt8 flipV, SInt8 rotation, const Rect* maskRect,
                                       PixMapHandle alpha, const Rect* alphaRect);
std::optional<BlitSetupX> Scale16XSetup(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                                        const Rect* srcRect, const Rect* dstRect,
                                        const Rect* clipRect, BlitMode mode, UInt32 color,
                                        const UInt16* lookup, const BlitTint* tint, UInt8 flipH,
                                        UInt8 flipV, SInt8 rotation, const Rect* maskRect,
                                        PixMapHandle alpha, const Rect* alphaRect);

// The set-up, then exactly one call of table[slot].
void Copy16XDispatch(const BlitVariantTableX& table, PixMapHandle src, PixMapHandle dst,
                     PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                     const Rect* clipRect, BlitMode mode, UInt32 color, const UInt16* lookup,
                     const BlitTint* tint, UInt8 flipH, UInt8 flipV, SInt8 rotation,
                     const Rect* maskRect, PixMapHandle alpha, const Rect* alphaRect);
void Scale16XDispatch(const BlitVariantTableX& table, PixMapHandle src, PixMapHandle dst,
                      PixMapHandle mask, const Rect* srcRect, const Rect* dstRect,
                      const Rect* clipRect, BlitMode mode, UInt32 color, const UInt16* lookup,
                      const BlitTint* tint, UInt8 flipH, UInt8 flipV, SInt8 rotation,
                      const Rect* maskRect, PixMapHandle alpha, const Rect* alphaRect);

// The families' tables. Until their kernels exist every slot is a stub that
// names itself in an alert and draws nothing.
extern const BlitVariantTableX COPY16XVariants;
extern const BlitVariantTableX SCALE16XVariants;

// One run-time-flag kernel in every slot. Unlike the COPY16X kernels it
// draws modes 16-19 without a mask as 0-3, maps each channel with its own
// level and offset (ignoring brightLevel and brightOffset), blends every
// pixel so bit 15 never survives, and puts a colour in place of the mapped
// value.
void COPY16XAllFlagsBlit(const BlitVariantArgsX& args);
extern const BlitVariantTableX COPY16XAllFlagsVariants;

void COPY16X(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
             const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
             const UInt16* lookup, const BlitTint* tint, UInt8 flipH, UInt8 flipV,
             SInt8 rotation, const Rect* maskRect, PixMapHandle alpha, const Rect* alphaRect);
void SCALE16X(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
              const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
              const UInt16* lookup, const BlitTint* tint, UInt8 flipH, UInt8 flipV,
              SInt8 rotation, const Rect* maskRect, PixMapHandle alpha, const Rect* alphaRect);
// COPY16X's set-up, then COPY16XAllFlagsBlit.
void COPY16XAllFlags(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
                     const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color,
                     const UInt16* lookup, const BlitTint* tint, UInt8 flipH, UInt8 flipV,
                     SInt8 rotation, const Rect* maskRect, PixMapHandle alpha,
                     const Rect* alphaRect);
