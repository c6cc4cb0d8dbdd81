// The software blitter's shared records: modes, the slot index, the argument
// record every variant receives and the 16-slot variant tables.
//
// How a blit runs (for callers and tests):
//   - A dispatcher (COPY8/16/32, SCALE8/16/32, COPY16AllFlags; BlitDispatch.h)
//     is its set-up step followed by one table call.
//   - The set-up steps SetUpCOPY8 ... SetUpSCALE32 take the dispatcher's 14
//     arguments and return std::optional<BlitSetup<Pixel>>: the filled
//     BlitVariantArgs and the slot (BlitFlags), or std::nullopt for "nothing
//     to draw" (nil map, bad rotation, unequal COPY sizes, empty clip, empty
//     SCALE source, or no step buffer). A SCALE set-up has already grown the
//     step buffer and run BuildScaleSteps, so the table call may follow at once.
//   - The table call is COPY8Variants[slot](args) and so on (BlitVariants.h);
//     slots 0-11 are kernels, 12-15 alert stubs.
#pragma once

#include <array>
#include <cstddef>

#include "MacTypes.h"

// Low two bits: 0 copy, 1 skip key source, 2 skip key source or destination,
// 3 skip where lookup[source] is the key; +0x10 inverts the mask's sense.
// Every other value draws nothing.
typedef UInt32 BlitMode;

// Slot index of a plain family's table.
typedef UInt32 BlitFlags;
constexpr BlitFlags kBlitFlagMask = 1;
constexpr BlitFlags kBlitFlagTrans = 2;
constexpr BlitFlags kBlitFlagColor = 4;
constexpr BlitFlags kBlitFlagLookup = 8;

// "No colour".
constexpr UInt32 kBlitNoColor = 0xFFFFFFFF;

// Transparent keys, compared with the whole pixel.
template <typename Pixel>
constexpr Pixel kBlitKey = 0;
template <>
inline constexpr UInt16 kBlitKey<UInt16> = 0x7FFF;
template <>
inline constexpr UInt32 kBlitKey<UInt32> = 0x00FFFFFF;

// What a variant receives. Steps, strides and the width count pixels.
template <typename Pixel>
struct BlitVariantArgs {
  BlitMode mode = 0;
  const Pixel* srcStart = nullptr;   // the source pixel where the oriented walk begins
  Pixel* dstStart = nullptr;         // top-left of the clipped destination
  const Pixel* maskStart = nullptr;  // mask pixel under dstStart, or nil
  SInt32 srcPixelStep = 0;           // +1, -1, +row or -row
  UInt32 srcRowPixels = 0;
  UInt32 dstRowPixels = 0;
  UInt32 maskRowPixels = 0;
  SInt32 srcRowSkip = 0;             // copies: end of one source line to the next
  SInt32 srcExtent = 0;              // scales: source extent on the destination's vertical axis
  SInt32 dstExtent = 0;              // scales: unclipped destination height
  Pixel* dstEnd = nullptr;           // dstStart + clipped height x dstRowPixels
  UInt32 width = 0;                  // clipped destination width
  UInt32 rowWalk = 0;                // scales: 0 +row, 1 +1, 2 -row, 3 -1, else no move
  UInt8 shrinkH = 0;                 // scales: step table holds pointer steps, not counts
  SInt32 rowError = 0;               // scales: first vertical error
  const Pixel* lookupTable = nullptr;
  UInt32 color = kBlitNoColor;
  const Pixel* transTable = nullptr;  // entry at (value << 8) + destination
};

template <typename Pixel>
using BlitVariant = void (*)(const BlitVariantArgs<Pixel>& args);

template <typename Pixel>
using BlitVariantTable = std::array<BlitVariant<Pixel>, 16>;

// A tint: channel levels 0..64 (32 neutral, below darkens, above brightens)
// and a translucency level (32 opaque).
struct BlitTint {
  UInt8 red;
  UInt8 green;
  UInt8 blue;
  SInt8 level;
};
