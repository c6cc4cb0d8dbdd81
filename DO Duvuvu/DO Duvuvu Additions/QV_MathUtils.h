// The game's mathematics library: random choices among the bits of a mask,
// integer roots and ring steps, float and 16-bit vectors, angle octants, a
// segment-rectangle test and the target-approach motion step.
#pragma once

#include "MacTypes.h"

// Target-approach motion; a phase is 1 speeding up, 0 stopped, 0xFF slowing.
struct MoverRecord {
  SInt16 v;
  SInt16 h;
  SInt16 hPeak;
  SInt16 vPeak;
  SInt16 hVelocity;
  SInt16 vVelocity;
  UInt8 hPhase;
  UInt8 vPhase;
  SInt16 hAcceleration;
  SInt16 vAcceleration;
  SInt16 maxSpeed;
};

// Random choices among set bits -----------------------------------------------

// The number of one set bit, drawn uniformly; -1 (no draw) for an empty mask.
SInt32 RandomBit(UInt32 mask);
// The mask with random set bits cleared until at most n remain.
UInt32 KeepRandomBits(UInt32 mask, SInt32 n);
// Shares total among the entries whose bit is set (bits past the array's end
// do not count); the remainder goes one each to randomly kept bits.
void DistributeAmongBits(UInt32 mask, UInt32 total, UInt32* counts, SInt32 count);

// Integers ------------------------------------------------------------------------

// Twenty Newton rounds from 10000: close to the root, not exact.
SInt32 IntSqrt(SInt32 n);
SInt32 Triangular(SInt32 n);
SInt32 InverseTriangular(SInt32 n);
// The smallest q from a*c/b upward with q*b/c == a; the start value when none
// turns up within 65,536 tries, a when b or c is 0.
SInt16 ScaleRoundTrip(SInt16 a, SInt16 b, SInt16 c);
// The shortest signed step from a to b on a ring of n positions.
SInt16 RingDifference(SInt16 a, SInt16 b, SInt16 n);
UInt8 PointsEqual(Point a, Point b);

// Float vectors ---------------------------------------------------------------------

// The component of (x, y) along (dx, dy); 0 for a zero direction.
float LengthAlongVector(float x, float y, float dx, float dy);
float ExtendVectorToLength(float* x, float* y, float minimum);
float ClampVectorLength(float* x, float* y, float maximum);
void SetVectorLength(float* x, float* y, float length);

// 16-bit vectors --------------------------------------------------------------------

SInt32 ClampIntVectorLength(SInt16* x, SInt16* y, SInt32 maximum);
// (x, y) becomes (dx, dy), cut to the length of (x, y)'s component along it
// (reversed when that component is negative).
void AlignIntVector(SInt16* x, SInt16* y, SInt16 dx, SInt16 dy);
// Mirrors (x, y) so that it no longer heads along (dx, dy), in 32 steps of
// direction; returns the step index of the way back.
SInt32 ReflectAboutDirection(float* x, float* y, float dx, float dy);
void SplitAngleOctant(SInt16 angle, SInt16 circle, SInt16* offset, UInt8* mirror, UInt8* second,
                      SInt16* quarter);
// Edges count as inside; an empty rectangle meets nothing.
UInt8 SegmentMeetsRect(SInt16 h1, SInt16 v1, SInt16 h2, SInt16 v2, const Rect* r);

// Target approach -------------------------------------------------------------------

void ApproachAxis(SInt16 current, SInt16 target, SInt16* velocity, UInt8* phase, SInt16* peak,
                  SInt16 acceleration);
void SteerToward(SInt16* h, SInt16* v, SInt16 targetH, SInt16 targetV, SInt16* velocityH,
                 SInt16* velocityV, SInt16 maxSpeed);
void ApproachTarget(MoverRecord* mover, Point target);
