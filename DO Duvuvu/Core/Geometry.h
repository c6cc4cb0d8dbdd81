// Rectangle and point tests that every layer needs.
#pragma once

#include "MacTypes.h"

// 1 when left >= right or top >= bottom.
UInt8 RectIsEmpty(const Rect* r);

// The common part of a and b in out (which may be a or b): 1 when it is not
// empty, else 0 with out set to (0, 0, 0, 0).
UInt8 IntersectRects(const Rect* a, const Rect* b, Rect* out);

// Note the argument order: left, top, right, bottom.
void SetRectSides(Rect* r, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom);
void OffsetRectBy(Rect* r, SInt16 dh, SInt16 dv);
// 1 when left <= h < right and top <= v < bottom.
UInt8 PointInRect(Point p, const Rect* r);
// Maps p proportionally from one rectangle to another (32-bit products,
// truncating division); a side of zero length maps to the target's edge.
void MapPointBetweenRects(Point* p, const Rect* from, const Rect* to);

// Whole degrees on the screen's axes from a to b: 0 right, 90 down, 180 left,
// 270 up.
SInt16 AngleBetweenPoints(SInt16 ha, SInt16 va, SInt16 hb, SInt16 vb);
SInt16 AngleBetweenPointsP(Point a, Point b);

// The Toolbox's slope-to-angle routine; this platform has none and answers 0.
SInt16 AngleFromSlope(SInt32 slope);
