// Rectangle and point tests that every layer needs.
#pragma once

#include "MacTypes.h"

// 1 when left >= right or top >= bottom.
UInt8 RectIsEmpty(const Rect* r);

// Whole degrees on the screen's axes from a to b: 0 right, 90 down, 180 left,
// 270 up.
SInt16 AngleBetweenPoints(SInt16 ha, SInt16 va, SInt16 hb, SInt16 vb);
SInt16 AngleBetweenPointsP(Point a, Point b);

// The Toolbox's slope-to-angle routine; this platform has none and answers 0.
SInt16 AngleFromSlope(SInt32 slope);
