// Colour replacement in a rectangle, and thick lines drawn or copied in
// 8-bit pixel maps.
#pragma once

#include "MacTypes.h"
#include "PixMap.h"

// Every pixel of the rectangle equal to oldColor becomes newColor. A given
// rectangle counts raw rows and columns from the base address (no bounds
// subtraction) and is cut to the pixel memory; nil scans the whole memory.
void ReplaceColor8(PixMapHandle pixMap, const Rect* r, UInt8 oldColor, UInt8 newColor);
void ReplaceColor16(PixMapHandle pixMap, const Rect* r, UInt16 oldColor, UInt16 newColor);

// A line from (x1, y1) to (x2, y2) drawn with a square pen of thickness x
// thickness pixels whose top-left corner follows it, in the maps' own
// coordinates. Points outside the clip (half-open, cut to every map's
// bounds), or where the mask (nil: none) is not 0, are skipped. Nothing is
// drawn for thickness below 1, coinciding ends or a nil map or clip.
void DrawThickLine8(PixMapHandle dst, PixMapHandle mask, SInt16 x1, SInt16 y1, SInt16 x2,
                    SInt16 y2, const Rect* clip, UInt8 color, SInt8 thickness);
// The same points, each copied from the source.
void CopyThickLine8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, SInt16 x1, SInt16 y1,
                    SInt16 x2, SInt16 y2, const Rect* clip, SInt8 thickness);
