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

// left += dh, right -= dh, top += dv, bottom -= dv; returns the new bottom.
SInt16 InsetRectBy(Rect* r, SInt16 dh, SInt16 dv);
UInt8 EqualRects(const Rect* a, const Rect* b);
// Note the argument order: h, v. Returns the point.
Point SetPoint(Point* p, SInt16 h, SInt16 v);
UInt8 EqualPoints(Point a, Point b);
// Maps the top-left and the bottom-right corners as two points.
void MapRectBetweenRects(Rect* r, const Rect* from, const Rect* to);

// Moves r, size kept, back inside bounds; 1 when it moved. A rect larger than
// the bounds ends flush with the right (bottom) side.
UInt8 KeepRectInsideH(Rect* r, const Rect* bounds);
UInt8 KeepRectInsideV(Rect* r, const Rect* bounds);
UInt8 KeepRectInside(Rect* r, const Rect* bounds);
// Clamps h to left..right - 1 and v to top..bottom - 1; 1 when it changed.
UInt8 KeepPointInRect(Point* p, const Rect* r);
// The collision response: moves a (both = 0) or a and b in turn (both = 1)
// apart along the axis of the smaller overlap. 0 when they do not overlap.
UInt8 SeparateRects(Rect* a, Rect* b, UInt8 both);

// Whole degrees on the screen's axes from a to b: 0 right, 90 down, 180 left,
// 270 up.
SInt16 AngleBetweenPoints(SInt16 ha, SInt16 va, SInt16 hb, SInt16 vb);
SInt16 AngleBetweenPointsP(Point a, Point b);

// The Toolbox's slope-to-angle routine; this platform has none and answers 0.
SInt16 AngleFromSlope(SInt32 slope);

// Through the fixed-result trigonometry: both answer with it.
SInt32 DistanceBetweenPoints(SInt16 ha, SInt16 va, SInt16 hb, SInt16 vb);
SInt32 DistanceBetweenPointsP(Point a, Point b);
void PointAtAngle(Point* out, Point origin, SInt16 degrees, SInt16 distance);
// Adds and wraps past max; min is not used (right only for min = 0).
SInt32 WrapValue(SInt32* value, SInt32 add, SInt32 min, SInt32 max);
