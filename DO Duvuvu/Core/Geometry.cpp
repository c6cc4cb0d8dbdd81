#include "Geometry.h"

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
