// Seven scaling entry points that always map the source through a lookup
// table and choose only between a variant without and one with a mask: six
// plain lookup scalers and the shadow scale, which darkens the destination
// under the source pixels whose table entries are shadows.
//
// Arguments are the plain scaling dispatchers' (BlitDispatch.h); the
// translucency table is ignored. A lookup table is needed and no colour (a
// colour would fold the table away): otherwise nothing is drawn.
#pragma once

#include <array>

#include "BlitDispatch.h"
#include "BlitTypes.h"

// Entry 0 without a mask map, entry 1 with one.
template <typename Pixel>
using BlitVariantPair = std::array<BlitVariant<Pixel>, 2>;

// The plain families' lookup kernels (slots 8 and 9), each pair its own table.
extern const BlitVariantPair<UInt8> SCALE8LookupAVariants;
extern const BlitVariantPair<UInt8> SCALE8LookupBVariants;
extern const BlitVariantPair<UInt16> SCALE16LookupAVariants;
extern const BlitVariantPair<UInt16> SCALE16LookupBVariants;
extern const BlitVariantPair<UInt32> SCALE32LookupAVariants;
extern const BlitVariantPair<UInt32> SCALE32LookupBVariants;

// Modes 0/16 every pixel, 1/17 not over a key source, 2/18 not over a key
// source or destination; 3, 19 and the rest draw nothing. With a mask, 0-2
// draw where it is the key, 16-18 where it is not; without one 16-18 act as
// 0-2. E = lookup[source]: bit 15 clear writes the source itself, set darkens
// each field of the destination by (E & 0x7FFF) / 32.
void SCALE16ShadowBlit(const BlitVariantArgs<UInt16>& args);
extern const BlitVariantPair<UInt16> SCALE16ShadowVariants;

BlitDispatcher<UInt8> SCALE8LookupA;
BlitDispatcher<UInt8> SCALE8LookupB;
BlitDispatcher<UInt16> SCALE16LookupA;
BlitDispatcher<UInt16> SCALE16LookupB;
BlitDispatcher<UInt32> SCALE32LookupA;
BlitDispatcher<UInt32> SCALE32LookupB;
BlitDispatcher<UInt16> SCALE16Shadow;
