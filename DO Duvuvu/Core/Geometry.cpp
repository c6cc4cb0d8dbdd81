#include "Geometry.h"

#include "FixedResults.h"

UInt8 RectIsEmpty(const Rect* r) { return (r->left >= r->right || r->top >= r->bottom) ? 1 : 0; }

UInt8 IntersectRects(const Rect* a, const Rect* b, Rect* out) {
  Rect r;
  r.top = a->top > b->top ? a->top : b->top;
  r.left = a->left > b->left ? a->left : b->left;
  r.bottom = a->bottom < b->bottom ? a->bottom : b->bottom;
  r.right = a->right < b->right ? a->right : b->right;
  if (RectIsEmpty(&r)) r = Rect{0, 0, 0, 0};
  *out = r;  // written last, so out may be a or b
  return RectIsEmpty(out) ? 0 : 1;
}

void SetRectSides(Rect* r, SInt16 left, SInt16 top, SInt16 right, SInt16 bottom) {
  r->top = top;
  r->left = left;
  r->bottom = bottom;
  r->right = right;
}

void OffsetRectBy(Rect* r, SInt16 dh, SInt16 dv) {
  r->left = static_cast<SInt16>(r->left + dh);
  r->right = static_cast<SInt16>(r->right + dh);
  r->top = static_cast<SInt16>(r->top + dv);
  r->bottom = static_cast<SInt16>(r->bottom + dv);
}

UInt8 PointInRect(Point p, const Rect* r) {
  return (p.h >= r->left && p.h < r->right && p.v >= r->top && p.v < r->bottom) ? 1 : 0;
}

void MapPointBetweenRects(Point* p, const Rect* from, const Rect* to) {
  if (from->right == from->left) {
    p->h = to->left;
  } else {
    const SInt32 h = (static_cast<SInt32>(p->h) - from->left) * (to->right - to->left) / (from->right - from->left);
    p->h = static_cast<SInt16>(h + to->left);
  }
  if (from->bottom == from->top) {
    p->v = to->top;
  } else {
    const SInt32 v = (static_cast<SInt32>(p->v) - from->top) * (to->bottom - to->top) / (from->bottom - from->top);
    p->v = static_cast<SInt16>(v + to->top);
  }
}

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

SInt16 InsetRectBy(Rect* r, SInt16 dh, SInt16 dv) {
  r->left = static_cast<SInt16>(r->left + dh);
  r->right = static_cast<SInt16>(r->right - dh);
  r->top = static_cast<SInt16>(r->top + dv);
  r->bottom = static_cast<SInt16>(r->bottom - dv);
  return r->bottom;
}

UInt8 EqualRects(const Rect* a, const Rect* b) {
  return (a->top == b->top && a->left == b->left && a->bottom == b->bottom && a->right == b->right) ? 1 : 0;
}

Point SetPoint(Point* p, SInt16 h, SInt16 v) {
  p->h = h;
  p->v = v;
  return *p;
}

UInt8 EqualPoints(Point a, Point b) { return (a.h == b.h && a.v == b.v) ? 1 : 0; }

void MapRectBetweenRects(Rect* r, const Rect* from, const Rect* to) {
  Point topLeft = {r->top, r->left};
  Point bottomRight = {r->bottom, r->right};
  MapPointBetweenRects(&topLeft, from, to);
  MapPointBetweenRects(&bottomRight, from, to);
  *r = Rect{topLeft.v, topLeft.h, bottomRight.v, bottomRight.h};
}

namespace {

// One axis of KeepRectInside over the near and far sides of r and bounds.
UInt8 KeepSpanInside(SInt16& nearSide, SInt16& farSide, SInt16 boundsNear, SInt16 boundsFar) {
  const SInt32 size = farSide - nearSide;
  UInt8 moved = 0;
  if (boundsNear > nearSide) {
    nearSide = boundsNear;
    farSide = static_cast<SInt16>(boundsNear + size);
    moved = 1;
  }
  if (boundsFar < farSide) {
    farSide = boundsFar;
    nearSide = static_cast<SInt16>(boundsFar - size);
    moved = 1;
  }
  return moved;
}

SInt32 AbsDiff(SInt32 a, SInt32 b) { return a > b ? a - b : b - a; }

bool SpansOverlap(SInt16 aNear, SInt16 aFar, SInt16 bNear, SInt16 bFar) {
  return (bNear <= aNear && aNear < bFar) || (aNear <= bNear && bNear < aFar);
}

void MoveSpan(SInt16& nearSide, SInt16& farSide, SInt32 by) {
  nearSide = static_cast<SInt16>(nearSide + by);
  farSide = static_cast<SInt16>(farSide + by);
}

}  // namespace

UInt8 KeepRectInsideH(Rect* r, const Rect* bounds) { return KeepSpanInside(r->left, r->right, bounds->left, bounds->right); }

UInt8 KeepRectInsideV(Rect* r, const Rect* bounds) { return KeepSpanInside(r->top, r->bottom, bounds->top, bounds->bottom); }

UInt8 KeepRectInside(Rect* r, const Rect* bounds) {
  const UInt8 h = KeepRectInsideH(r, bounds);
  const UInt8 v = KeepRectInsideV(r, bounds);
  return (h || v) ? 1 : 0;
}

UInt8 KeepPointInRect(Point* p, const Rect* r) {
  UInt8 changed = 0;
  if (p->h < r->left) {
    p->h = r->left;
    changed = 1;
  } else if (p->h > r->right - 1) {
    p->h = static_cast<SInt16>(r->right - 1);
    changed = 1;
  }
  if (p->v < r->top) {
    p->v = r->top;
    changed = 1;
  } else if (p->v > r->bottom - 1) {
    p->v = static_cast<SInt16>(r->bottom - 1);
    changed = 1;
  }
  return changed;
}

UInt8 SeparateRects(Rect* a, Rect* b, UInt8 both) {
  const SInt32 d1 = AbsDiff(a->right, b->left);
  const SInt32 d2 = AbsDiff(b->right, a->left);
  const SInt32 d3 = AbsDiff(a->bottom, b->top);
  const SInt32 d4 = AbsDiff(b->bottom, a->top);
  const SInt32 dx = d1 < d2 ? d1 : d2;
  const SInt32 dy = d3 < d4 ? d3 : d4;
  if (!SpansOverlap(a->left, a->right, b->left, b->right) || !SpansOverlap(a->top, a->bottom, b->top, b->bottom))
    return 0;
  const bool horizontal = dx < dy;
  // a before b on the chosen axis: left of it, or above it.
  const bool aFirst = horizontal ? d1 < d2 : d3 < d4;
  SInt16& aNear = horizontal ? a->left : a->top;
  SInt16& aFar = horizontal ? a->right : a->bottom;
  SInt16& bNear = horizontal ? b->left : b->top;
  SInt16& bFar = horizontal ? b->right : b->bottom;
  if (!both) {
    if (aFirst)
      MoveSpan(aNear, aFar, -(aFar - bNear));
    else
      MoveSpan(aNear, aFar, bFar - aNear);
    return 1;
  }
  const SInt32 step = aFirst ? -1 : 1;
  bool moveA = true;
  while (SpansOverlap(aNear, aFar, bNear, bFar)) {
    if (moveA)
      MoveSpan(aNear, aFar, step);
    else
      MoveSpan(bNear, bFar, -step);
    moveA = !moveA;
  }
  return 1;
}

SInt32 DistanceBetweenPoints(SInt16 ha, SInt16 va, SInt16 hb, SInt16 vb) {
  const SInt64 dv = static_cast<SInt64>(vb) - va;
  const SInt64 dh = static_cast<SInt64>(hb) - ha;
  const SInt64 sum = (dv * dv + dh * dh) * 256;
  return FractSquareRoot(static_cast<Fract>(sum)) / (1 << 19);
}

SInt32 DistanceBetweenPointsP(Point a, Point b) { return DistanceBetweenPoints(a.h, a.v, b.h, b.v); }

void PointAtAngle(Point* out, Point origin, SInt16 degrees, SInt16 distance) {
  const Fixed angle = static_cast<Fixed>(degrees) * 1144;
  const SInt64 c = FractToFixed(FixedCosine(angle));
  const SInt64 s = FractToFixed(FixedSine(angle));
  out->h = static_cast<SInt16>((origin.h + c * distance) >> 8);
  out->v = static_cast<SInt16>((s * distance + origin.v) >> 8);
}

SInt32 WrapValue(SInt32* value, SInt32 add, SInt32 min, SInt32 max) {
  *value += add;
  if (*value > max)
    *value = *value - max - 1;
  else if (*value < min)
    *value = *value + max + 1;
  return *value;
}
