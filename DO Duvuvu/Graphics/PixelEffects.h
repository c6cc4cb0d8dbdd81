// Pixel effects: a dissolve fill of 8-bit maps, the round-rect hilite that
// brightens or darkens an area tile by tile, a round-rect pixel-map copy,
// rect transforms for rotated and flipped drawing, and a 16-bit mirror.
#pragma once

#include "MacTypes.h"
#include "PixMap.h"

// Rects in the map's coordinates; a nil clip is the bounds. Density 255
// writes every pixel, 0 fills with entry 255 (or lookup[255]) unless keep.
void DissolveFill(PixMapHandle pixMap, const Rect* rect, const Rect* clip, UInt8 keep, const UInt8* lookup,
                  UInt8 density);
// The dissolve's seed comes from here (the tick count); nil restores it.
void SetDissolveSeedSource(SInt32 (*source)());

// Level 0 black .. 24 unchanged .. 48 white (held to that range). Only
// between maps of the same depth, 8 or 16; a 32-bit destination is fatal.
void HiliteRoundRect(PixMapHandle source, PixMapHandle destination, const Rect* sourceArea, const Rect* roundRect,
                     SInt16 diameter, SInt16 level, UInt8 withFrame);
SInt32 CopyPixMapBitsRoundRect(const PixMap* source, const PixMap* destination, const Rect* sourceRect,
                               const Rect* destRect, SInt16 mode, SInt16 diameter, UInt8 withFrame);

// Odd turns swap width and height about the same centre.
void RotateRectQuarter(const Rect* in, Rect* out, SInt16 quarterTurns);
// Where part of bounds lands in target after the flips and a rotation about
// the centre.
void TransformSubRect(const Rect* bounds, const Rect* part, const Rect* target, Rect* out, UInt8 flipH, UInt8 flipV,
                      SInt8 rotation);
// Left to right in place, within the map's bounds.
void MirrorRect16(PixMapHandle pixMap, const Rect* rect);
