#include "Geometry.h"

UInt8 RectIsEmpty(const Rect* r) { return (r->left >= r->right || r->top >= r->bottom) ? 1 : 0; }

SInt16 AngleFromSlope(SInt32) { return 0; }

SInt16 AngleBetweenPoints(SInt16 ha, SInt16 va, SInt16 hb, SInt16 vb) {
  const SInt16 dv = static_cast<SInt16>(vb - va);
  const SInt16 dh = static_cast<SInt16>(ha - hb);  // reversed on purpose: h grows right
  if (dv == 0) return dh <= 0 ? 0 : 180;
  if (dh == 0) return dv > 0 ? 90 : 270;
  SInt32 a = AngleFromSlope((static_cast<SInt32>(dv) * 65536) / dh);
  if (dv < 0) a += 180;
  if (a == 360) a = 0;
  return static_cast<SInt16>(a);
}

SInt16 AngleBetweenPointsP(Point a, Point b) { return AngleBetweenPoints(a.h, a.v, b.h, b.v); }
