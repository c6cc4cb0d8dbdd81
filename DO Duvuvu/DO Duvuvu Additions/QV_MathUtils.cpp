#include "QV_MathUtils.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

#include "Geometry.h"
#include "Random.h"

// Random choices among set bits -----------------------------------------------

SInt32 RandomBit(UInt32 mask) {
  int setBits = std::popcount(mask);
  if (setBits == 0) return -1;
  UInt32 pick = NextRandom() % static_cast<UInt32>(setBits);
  for (SInt32 bit = 0; bit < 32; ++bit) {
    if ((mask >> bit) & 1) {
      if (pick == 0) return bit;
      --pick;
    }
  }
  return -1;
}

UInt32 KeepRandomBits(UInt32 mask, SInt32 n) {
  if (mask == 0 || n <= 0) return 0;
  while (std::popcount(mask) > n) mask &= ~(1u << RandomBit(mask));
  return mask;
}

void DistributeAmongBits(UInt32 mask, UInt32 total, UInt32* counts, SInt32 count) {
  if (count <= 0) return;
  // Only bits that name an entry of the array take part.
  if (count < 32) mask &= (1u << count) - 1;
  UInt32 setBits = static_cast<UInt32>(std::popcount(mask));
  UInt32 share = setBits ? total / setBits : 0;
  UInt32 extra = setBits ? KeepRandomBits(mask, static_cast<SInt32>(total % setBits)) : 0;
  for (SInt32 i = 0; i < count; ++i) {
    if (i >= 32 || !((mask >> i) & 1)) {
      counts[i] = 0;
      continue;
    }
    counts[i] = share + ((extra >> i) & 1);
  }
}

// Integers ------------------------------------------------------------------------

SInt32 IntSqrt(SInt32 n) {
  if (n < 1) return 0;
  SInt32 x = 10000;
  for (int round = 0; round < 20; ++round) x = (x + n / x) / 2;
  return x;
}

SInt32 Triangular(SInt32 n) {
  SInt64 m = std::llabs(n);
  SInt64 sum = m * (m + 1) / 2;
  return static_cast<SInt32>(n < 0 ? -sum : sum);
}

SInt32 InverseTriangular(SInt32 n) {
  SInt64 target = std::llabs(n);
  SInt64 k = 0, sum = 0;
  while (sum < target) sum += ++k;
  return static_cast<SInt32>(n < 0 ? -k : k);
}

SInt16 ScaleRoundTrip(SInt16 a, SInt16 b, SInt16 c) {
  if (b == 0 || c == 0) return a;
  const SInt32 start = static_cast<SInt32>(a) * c / b;
  SInt64 q = start;
  // Some triples have no answer at all; give up rather than spin.
  for (int tries = 0; tries < 65536; ++tries, ++q) {
    if (q * b / c == a) return static_cast<SInt16>(q);
  }
  return static_cast<SInt16>(start);
}

SInt16 RingDifference(SInt16 a, SInt16 b, SInt16 n) {
  if (a == b) return 0;
  SInt32 d = a - b;
  if (d >= n) d -= n;
  if (d < 0) d += n;
  return static_cast<SInt16>(d < n / 2 ? -d : n - d);
}

UInt8 PointsEqual(Point a, Point b) { return a.h == b.h && a.v == b.v ? 1 : 0; }

// Float vectors ---------------------------------------------------------------------

static float VectorLength(float x, float y) { return static_cast<float>(std::hypot(double{x}, double{y})); }

float LengthAlongVector(float x, float y, float dx, float dy) {
  float length = VectorLength(dx, dy);
  if (length == 0.0f) return 0.0f;
  return (x * dx + y * dy) / length;
}

float ExtendVectorToLength(float* x, float* y, float minimum) {
  float length = VectorLength(*x, *y);
  if (length >= minimum) return length;
  if (length <= 0.001f) {
    *x = minimum;
    *y = 0.0f;
  } else {
    *x = *x * minimum / length;
    *y = *y * minimum / length;
  }
  return minimum;
}

float ClampVectorLength(float* x, float* y, float maximum) {
  float length = VectorLength(*x, *y);
  if (length <= maximum) return length;
  *x = *x * maximum / length;
  *y = *y * maximum / length;
  return maximum;
}

void SetVectorLength(float* x, float* y, float length) {
  float current = VectorLength(*x, *y);
  if (current == 0.0f) {
    *x = 0.0f;
    *y = 0.0f;
    return;
  }
  *x = *x * length / current;
  *y = *y * length / current;
}

// 16-bit vectors --------------------------------------------------------------------

static SInt32 IntLength(SInt32 x, SInt32 y) {
  SInt64 squares = static_cast<SInt64>(x) * x + static_cast<SInt64>(y) * y;
  return IntSqrt(squares > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<SInt32>(squares));
}

SInt32 ClampIntVectorLength(SInt16* x, SInt16* y, SInt32 maximum) {
  SInt32 length = IntLength(*x, *y);
  if (maximum >= length) return length;
  // A zero vector (length 0) has nothing to scale.
  if (length > 0) {
    *x = static_cast<SInt16>(*x * maximum / length);
    *y = static_cast<SInt16>(*y * maximum / length);
  }
  return maximum;
}

void AlignIntVector(SInt16* x, SInt16* y, SInt16 dx, SInt16 dy) {
  SInt32 length = IntLength(dx, dy);
  SInt64 dot = static_cast<SInt64>(*x) * dx + static_cast<SInt64>(*y) * dy;
  SInt32 along = length ? static_cast<SInt32>(dot / length) : 0;
  *x = dx;
  *y = dy;
  ClampIntVectorLength(x, y, along);
}

namespace {

// Cosines and sines of the 32 directions k * 11.25 degrees, made on first use.
struct DirectionTables {
  float cosines[32];
  float sines[32];
};

const DirectionTables& Directions() {
  static DirectionTables tables;
  static bool filled = false;
  if (!filled) {
    for (int k = 0; k < 32; ++k) {
      double radians = k * 11.25 * 3.14159265358979323846 / 180.0;
      tables.cosines[k] = static_cast<float>(std::cos(radians));
      tables.sines[k] = static_cast<float>(std::sin(radians));
    }
    filled = true;
  }
  return tables;
}

void Rotate(float* x, float* y, int k) {
  const DirectionTables& t = Directions();
  float turnedX = t.cosines[k] * *x + t.sines[k] * *y;
  float turnedY = t.cosines[k] * *y - t.sines[k] * *x;
  *x = turnedX;
  *y = turnedY;
}

}  // namespace

SInt32 ReflectAboutDirection(float* x, float* y, float dx, float dy) {
  SInt32 angle = AngleBetweenPoints(0, 0, static_cast<SInt16>(dy), static_cast<SInt16>(dx));
  int k = (angle * 32 / 360) & 31;
  Rotate(x, y, k);
  if (*x > 0.0f) *x = -*x;
  int back = (32 - k) & 31;
  Rotate(x, y, back);
  return back;
}

void SplitAngleOctant(SInt16 angle, SInt16 circle, SInt16* offset, UInt8* mirror, UInt8* second,
                      SInt16* quarter) {
  const SInt32 a = angle, n = circle, e = n / 8, q = n / 4, h = n / 2;
  SInt32 off = 0, quart = 0;
  UInt8 mirrored = 0;
  auto set = [&](SInt32 o, UInt8 m, SInt32 qu) {
    off = o;
    mirrored = m;
    quart = qu;
  };
  if (a >= 0 && a <= e) set(a, 0, 0);
  if (a > e && a < q) set(q - a, 1, 1);
  if (a >= q && a <= q + e) set(a - q, 0, 1);
  if (a > q + e && a < h) set(h - a, 1, 0);
  if (a >= h && a <= h + e) set(a - h, 0, 2);
  if (a > h + e && a < 3 * q) set(3 * q - a, 1, 3);
  if (a >= 3 * q && a <= 3 * q + e) set(a - 3 * q, 0, 3);
  if (a > 3 * q + e && a < n) set(n - a, 1, 2);
  *offset = static_cast<SInt16>(off);
  *mirror = mirrored;
  *second = 0;
  *quarter = static_cast<SInt16>(quart);
}

namespace {

struct IntPoint {
  SInt64 h, v;
};

SInt64 Turn(IntPoint a, IntPoint b, IntPoint c) {
  return (b.h - a.h) * (c.v - a.v) - (b.v - a.v) * (c.h - a.h);
}

int Sign(SInt64 value) { return (value > 0) - (value < 0); }

// c lies on the line through a and b; is it within their box?
bool WithinBox(IntPoint a, IntPoint b, IntPoint c) {
  return std::min(a.h, b.h) <= c.h && c.h <= std::max(a.h, b.h) && std::min(a.v, b.v) <= c.v &&
         c.v <= std::max(a.v, b.v);
}

bool SegmentsMeet(IntPoint p1, IntPoint p2, IntPoint q1, IntPoint q2) {
  int d1 = Sign(Turn(q1, q2, p1)), d2 = Sign(Turn(q1, q2, p2));
  int d3 = Sign(Turn(p1, p2, q1)), d4 = Sign(Turn(p1, p2, q2));
  if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  return (d1 == 0 && WithinBox(q1, q2, p1)) || (d2 == 0 && WithinBox(q1, q2, p2)) ||
         (d3 == 0 && WithinBox(p1, p2, q1)) || (d4 == 0 && WithinBox(p1, p2, q2));
}

}  // namespace

UInt8 SegmentMeetsRect(SInt16 h1, SInt16 v1, SInt16 h2, SInt16 v2, const Rect* r) {
  if (RectIsEmpty(r)) return 0;
  auto inside = [r](SInt16 h, SInt16 v) {
    return h >= r->left && h <= r->right && v >= r->top && v <= r->bottom;
  };
  if (inside(h1, v1) || inside(h2, v2)) return 1;
  const IntPoint a{h1, v1}, b{h2, v2};
  const IntPoint tl{r->left, r->top}, tr{r->right, r->top};
  const IntPoint bl{r->left, r->bottom}, br{r->right, r->bottom};
  return SegmentsMeet(a, b, tl, tr) || SegmentsMeet(a, b, tr, br) || SegmentsMeet(a, b, br, bl) ||
                 SegmentsMeet(a, b, bl, tl)
             ? 1
             : 0;
}

// Target approach -------------------------------------------------------------------

void ApproachAxis(SInt16 current, SInt16 target, SInt16* velocity, UInt8* phase, SInt16* peak,
                  SInt16 acceleration) {
  // No acceleration means no motion (and nothing to divide by).
  if (acceleration == 0) {
    *velocity = 0;
    *phase = 0;
    return;
  }
  const SInt32 d = target - current;
  SInt32 accel = acceleration;
  SInt32 top;
  SInt32 speed = *velocity;
  UInt8 state = 1;
  if (std::abs(d) > 2 * accel) {
    top = accel * InverseTriangular(d / 2 / accel);
  } else {
    top = d / 2;
    accel = std::abs(d) / 2;
    if (accel == 0) {
      speed = 0;
      state = 0;
    }
  }

  if (std::abs(top) >= std::abs(speed) && state == 1) {
    speed += top >= 1 ? accel : -accel;
  } else if (state == 0) {
    speed = 0;
  } else if (top == 0) {
    speed = 0;
    state = 0;
  } else {
    state = 0xFF;
  }

  if (top > 0 && speed > top) speed = top;
  if (top < 0 && speed < top) speed = top;

  *velocity = static_cast<SInt16>(speed);
  *phase = state;
  *peak = static_cast<SInt16>(top);
}

void SteerToward(SInt16* h, SInt16* v, SInt16 targetH, SInt16 targetV, SInt16* velocityH,
                 SInt16* velocityV, SInt16 maxSpeed) {
  AlignIntVector(velocityH, velocityV, static_cast<SInt16>(targetH - *h),
                 static_cast<SInt16>(targetV - *v));
  ClampIntVectorLength(velocityH, velocityV, maxSpeed);
  if (maxSpeed > 0) {
    // Never stall on an axis that has not arrived.
    if (*velocityH == 0 && targetH != *h) *velocityH = targetH > *h ? 1 : -1;
    if (*velocityV == 0 && targetV != *v) *velocityV = targetV > *v ? 1 : -1;
  }
  *h = static_cast<SInt16>(*h + *velocityH);
  *v = static_cast<SInt16>(*v + *velocityV);
}

void ApproachTarget(MoverRecord* mover, Point target) {
  ApproachAxis(mover->h, target.h, &mover->hVelocity, &mover->hPhase, &mover->hPeak,
               mover->hAcceleration);
  ApproachAxis(mover->v, target.v, &mover->vVelocity, &mover->vPhase, &mover->vPeak,
               mover->vAcceleration);
  SteerToward(&mover->h, &mover->v, target.h, target.v, &mover->hVelocity, &mover->vVelocity,
              mover->maxSpeed);
}
