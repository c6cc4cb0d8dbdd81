// Outlines: every pixel that touches a pixel of one colour, and is not of that
// colour itself, is painted in an edge colour. The source is examined, the
// destination written; pixels of the colour are never written.
#pragma once

#include "MacTypes.h"
#include "NamedArray.h"
#include "PixMap.h"

// Buffers of w x h pixels, walked as one run from index w + 1 to
// (h - 1) x w - 2: the first and last rows are not examined, and a pixel at a
// row's end has the next row's first pixel as its neighbour. eight: also the
// diagonal neighbours. Nothing is done for w or h below 1.
void OutlineColor8(const UInt8* src, UInt8* dst, SInt16 w, SInt16 h, UInt8 color, UInt8 edge,
                   SInt8 eight);
void OutlineColor16(const UInt16* src, UInt16* dst, SInt16 w, SInt16 h, UInt16 color,
                    UInt16 edge, SInt8 eight);
// Nothing is done when either array holds fewer than w x h pixels.
void OutlineColor16Array(const NamedArray<UInt16>& src, NamedArray<UInt16>& dst, SInt16 w,
                         SInt16 h, UInt16 color, UInt16 edge, SInt8 eight);

// The outline of a rectangle of one 8-bit map into another (rectangles in
// each map's coordinates, the clip in the destination's). Pixels within one
// pixel of a cut edge, or of either map's bounds, are not examined, so no
// neighbour lies outside a map or the clip.
void OutlinePixMap8(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect,
                    const Rect* clip, UInt8 color, UInt8 edge, UInt8 eight);
