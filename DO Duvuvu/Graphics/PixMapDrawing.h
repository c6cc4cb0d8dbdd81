// Painting into the current port (fills and frames through the blitter's COPY
// dispatchers) and copies between pixel maps of equal or different sizes and
// depths.
#pragma once

#include "GWorld.h"
#include "MacTypes.h"
#include "PixMap.h"

// The colour as a pixel of that format: 5-5-5, xRGB, or 0 for anything else.
UInt32 PackColorForPixMap(const ColorRGB* color, UInt32 pixelFormat);

// The rect is in the pixel map's coordinates; the blitter clips it.
void FillRectForeColor(const Rect* rect);
void FillRectBackColor(const Rect* rect);
void FrameRectWithPen(const Rect* rect);
// Diameter clamped to 0..32; the corner cells are always 12 x 12.
void FrameRoundRectWithPen(const Rect* rect, SInt16 diameter);

constexpr SInt16 kCopyModeCopy = 0;
constexpr SInt16 kCopyModeTransparent = 36;
constexpr SInt16 kCopyModeNothing = 64;

// Takes the records themselves and finds their handles in the registry. 0 when
// the copy was passed on; non-zero when nothing was drawn (unsupported mode or
// depth pair, or unlisted records).
SInt32 CopyPixMapBits(const PixMap* source, const PixMap* destination, const Rect* sourceRect,
                      const Rect* destRect, SInt16 mode, void* maskRegion);

// Depth converters. Rects are in their maps' coordinates; the clip in the
// destination's. A nil table takes the source's own; the transfer table is
// three runs of 256 floats (red, green, blue) or nil.
// Both rects are cut to their maps and the clip, each by what the other lost.
void CopyBits8To8(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                  const Rect* clip);
void CopyBits8To16(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                   const Rect* clip, Handle colorTable, const float* transfer);
void CopyBits8To32(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                   const Rect* clip, Handle colorTable, const float* transfer);
void CopyBits16To32(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                    const Rect* clip);
void CopyBits32To16(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                    const Rect* clip);

// The non-zero bytes of an 8-bit map into the bits of a one-bit map; mode 0
// replaces the words, 1 ORs into them. A destination deeper than one bit and
// rects of different sizes are fatal.
void CopyBlack(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
               UInt8 mode);
