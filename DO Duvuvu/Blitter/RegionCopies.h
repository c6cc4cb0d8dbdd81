// 8-bit copies between pixel maps over a background, through two colour
// tables or as a random dissolve, and the average colour of a rectangle.
//
// Rectangles are in each map's own coordinates, the clip in the
// destination's. Source and destination rectangles must have one size; the
// part the clip keeps of the destination takes the same part of the source
// (and background). Nothing is drawn for a nil map, unequal sizes, an empty
// clip, or source or background reaching outside their maps.
#pragma once

#include "MacTypes.h"
#include "PixMap.h"

// Destination = source, or the background's pixel where the source is 0.
void CopyWithBackground8(PixMapHandle src, PixMapHandle dst, PixMapHandle background,
                         const Rect* srcRect, const Rect* dstRect, const Rect* backgroundRect,
                         const Rect* clip);
// Destination = second[first[source]].
void CopyThroughTwoTables8(PixMapHandle src, PixMapHandle dst, const Rect* srcRect,
                           const Rect* dstRect, const Rect* clip, const UInt8* first,
                           const UInt8* second);
// Copies a random share of about (level + 1) / 256 of the candidates, seeded
// from the tick count: mode 0 every pixel, 1 the non-zero sources, 2 (table
// needed) those whose table entry is non-zero. The value written is
// table[source], or the source without a table. Level 0 copies nothing, 255
// every candidate.
void DissolveCopy8(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect,
                   const Rect* clip, UInt8 mode, const UInt8* table, UInt8 level);

// Turns a colour index into its colour; AverageColor8 calls it with one
// record for the whole scan, cleared first. The default leaves the record.
using ColorIndexConverter = void (*)(UInt8 index, ColorRGB* out);
extern ColorIndexConverter AverageColorConverter;

// The integer mean of the rectangle's colours (with skipZero, of its non-zero
// pixels); (0, 0, 0) when no pixel counts or the map is nil.
void AverageColor8(PixMapHandle pixMap, const Rect* r, UInt16 out[3], UInt8 skipZero);
