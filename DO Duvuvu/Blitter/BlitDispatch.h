// The dispatchers of the plain families, each split into its set-up step and
// the table call (see BlitTypes.h for the scheme).
//
// Arguments of every dispatcher and set-up step, in order: source, destination
// and mask (or nil) maps; source rect (source's bounds coordinates); destination
// rect and clip rect (nil: the destination's bounds) in the destination's
// coordinates; mode; colour (kBlitNoColor for none); lookup table (entries of
// the pixel's width) or nil; translucency table (honoured at 8 bits only);
// flipH; flipV; clockwise quarter turns; mask rect (destination coordinates)
// or nil.
#pragma once

#include <optional>

#include "BlitTypes.h"
#include "PixMap.h"

template <typename Pixel>
struct BlitSetup {
  BlitVariantArgs<Pixel> args;
  BlitFlags slot;
};

template <typename Pixel>
using BlitDispatcher = void(PixMapHandle src, PixMapHandle dst, PixMapHandle mask,
                            const Rect* srcRect, const Rect* dstRect, const Rect* clipRect,
                            BlitMode mode, UInt32 color, const Pixel* lookup, const Pixel* trans,
                            UInt8 flipH, UInt8 flipV, SInt8 rotation, const Rect* maskRect);

// nullopt: nothing to draw.
template <typename Pixel>
using BlitSetUpStep = std::optional<BlitSetup<Pixel>>(
    PixMapHandle src, PixMapHandle dst, PixMapHandle mask, const Rect* srcRect,
    const Rect* dstRect, const Rect* clipRect, BlitMode mode, UInt32 color, const Pixel* lookup,
    const Pixel* trans, UInt8 flipH, UInt8 flipV, SInt8 rotation, const Rect* maskRect);

BlitSetUpStep<UInt8> SetUpCOPY8;
BlitSetUpStep<UInt16> SetUpCOPY16;
BlitSetUpStep<UInt32> SetUpCOPY32;
BlitSetUpStep<UInt8> SetUpSCALE8;
BlitSetUpStep<UInt16> SetUpSCALE16;
BlitSetUpStep<UInt32> SetUpSCALE32;

BlitDispatcher<UInt8> COPY8;
BlitDispatcher<UInt16> COPY16;
BlitDispatcher<UInt32> COPY32;
BlitDispatcher<UInt8> SCALE8;
BlitDispatcher<UInt16> SCALE16;
BlitDispatcher<UInt32> SCALE32;

// COPY16's set-up, then COPY16AllFlagsBlit.
BlitDispatcher<UInt16> COPY16AllFlags;
