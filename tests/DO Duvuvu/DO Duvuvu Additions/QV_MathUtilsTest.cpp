#include "QV_MathUtils.h"

#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "Random.h"

namespace {

// Counts generator draws by stepping a copy of the seed alongside.
class SeededTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = RandomSeed;
    RandomSeed = 12345;
  }
  void TearDown() override { RandomSeed = saved_; }
  static int DrawsSince(UInt32 seed) {
    for (int draws = 0; draws < 100; ++draws) {
      if (seed == RandomSeed) return draws;
      NextRandomFrom(&seed);
    }
    return -1;
  }
  UInt32 saved_ = 0;
};

using RandomBitsTest = SeededTest;

TEST_F(RandomBitsTest, RandomBitPicksASetBitWithOneDraw) {
  EXPECT_EQ(RandomBit(0), -1);
  EXPECT_EQ(RandomSeed, 12345u) << "an empty mask draws nothing";

  UInt32 before = RandomSeed;
  EXPECT_EQ(RandomBit(8), 3);
  EXPECT_EQ(DrawsSince(before), 1);

  // The (r+1)-th set bit from bit 0, r being the draw mod the bit count.
  const UInt32 mask = 0x80010120u;
  const SInt32 bits[] = {5, 8, 16, 31};
  for (int i = 0; i < 50; ++i) {
    UInt32 seed = RandomSeed;
    UInt32 r = NextRandomFrom(&seed) % 4;
    EXPECT_EQ(RandomBit(mask), bits[r]);
  }
}

TEST_F(RandomBitsTest, KeepRandomBits) {
  EXPECT_EQ(KeepRandomBits(0, 3), 0u);
  EXPECT_EQ(KeepRandomBits(0xF0u, 0), 0u);
  UInt32 before = RandomSeed;
  EXPECT_EQ(KeepRandomBits(0xF0u, 4), 0xF0u);
  EXPECT_EQ(KeepRandomBits(0xF0u, 9), 0xF0u);
  EXPECT_EQ(RandomSeed, before) << "nothing to clear, nothing drawn";

  for (SInt32 n = 1; n < 8; ++n) {
    before = RandomSeed;
    UInt32 kept = KeepRandomBits(0x8421F00Fu, n);
    EXPECT_EQ(std::popcount(kept), n);
    EXPECT_EQ(kept & ~0x8421F00Fu, 0u);
    EXPECT_EQ(DrawsSince(before), 12 - n) << "one draw per cleared bit";
  }
}

TEST_F(RandomBitsTest, DistributeAmongBitsSharesTheTotal) {
  std::vector<UInt32> counts(5, 99);
  DistributeAmongBits(0x16u, 10, counts.data(), 5);  // bits 1, 2, 4
  EXPECT_EQ(counts[0], 0u);
  EXPECT_EQ(counts[3], 0u);
  int extras = 0;
  for (int i : {1, 2, 4}) {
    EXPECT_TRUE(counts[i] == 3 || counts[i] == 4) << i;
    extras += counts[i] == 4;
  }
  EXPECT_EQ(extras, 1);

  UInt32 before = RandomSeed;
  DistributeAmongBits(0x16u, 9, counts.data(), 5);
  EXPECT_EQ(counts, (std::vector<UInt32>{0, 3, 3, 0, 3}));
  EXPECT_EQ(RandomSeed, before) << "an even share draws nothing";
}

TEST_F(RandomBitsTest, DistributeAmongBitsStaysInsideTheArray) {
  // Exactly sized, so a write past the end trips the address sanitizer.
  std::vector<UInt32> counts(4, 99);
  DistributeAmongBits(0xFFFFFFFFu, 10, counts.data(), 4);
  UInt32 sum = 0;
  for (UInt32 c : counts) {
    EXPECT_TRUE(c == 2 || c == 3);
    sum += c;
  }
  EXPECT_EQ(sum, 10u) << "the whole total lands inside the array";

  UInt32 before = RandomSeed;
  DistributeAmongBits(0xF0u, 10, counts.data(), 4);
  EXPECT_EQ(counts, (std::vector<UInt32>{0, 0, 0, 0})) << "no bit inside: nothing to share";
  EXPECT_EQ(RandomSeed, before);

  std::vector<UInt32> wide(40, 99);
  DistributeAmongBits(0x80000001u, 5, wide.data(), 40);
  EXPECT_EQ(wide[0] + wide[31], 5u);
  for (int i = 1; i < 40; ++i) {
    if (i != 31) {
      EXPECT_EQ(wide[i], 0u) << i;
    }
  }
}

TEST(IntegerMathTest, IntSqrtRunsTwentyRounds) {
  struct Row {
    SInt32 n, root;
  };
  const Row rows[] = {{-5, 0},          {0, 0},     {1, 1},        {2, 1},           {3, 2},
                      {4, 2},           {50, 7},    {10000, 100},  {1000000, 1000},  {99999999, 10000},
                      {2147483647, 46340}};
  for (const Row& row : rows) EXPECT_EQ(IntSqrt(row.n), row.root) << row.n;
}

TEST(IntegerMathTest, TriangularNumbers) {
  struct Row {
    SInt32 n, value;
  };
  const Row triangular[] = {{-3, -6}, {0, 0}, {1, 1}, {4, 10}, {100, 5050}};
  for (const Row& row : triangular) EXPECT_EQ(Triangular(row.n), row.value) << row.n;
  const Row inverse[] = {{7, 4}, {6, 3}, {-7, -4}, {0, 0}, {1, 1}, {5050, 100}, {5051, 101}};
  for (const Row& row : inverse) EXPECT_EQ(InverseTriangular(row.n), row.value) << row.n;
}

TEST(IntegerMathTest, ScaleRoundTrip) {
  struct Row {
    SInt16 a, b, c, q;
  };
  const Row rows[] = {
      {10, 3, 2, 7},  // 20/3 = 6 gives 9; 7 gives 10
      {5, 2, 4, 10},
      {1, 3, 1, 0},   // no q exists: the start value, after bounded tries
      {7, 0, 5, 7},   // b = 0
      {7, 5, 0, 7},   // c = 0
  };
  for (const Row& row : rows) EXPECT_EQ(ScaleRoundTrip(row.a, row.b, row.c), row.q) << row.a << "," << row.b << "," << row.c;
}

TEST(IntegerMathTest, RingDifferenceTakesTheShortWay) {
  struct Row {
    SInt16 a, b, n, step;
  };
  const Row rows[] = {{10, 5, 360, -5},  {5, 10, 360, 5},   {0, 359, 360, -1}, {359, 0, 360, 1},
                      {7, 7, 360, 0},    {0, 180, 360, 180}, {180, 0, 360, 180}, {1, 30, 32, -3}};
  for (const Row& row : rows) EXPECT_EQ(RingDifference(row.a, row.b, row.n), row.step) << row.a << "->" << row.b;
}

TEST(IntegerMathTest, PointsEqual) {
  EXPECT_EQ(PointsEqual(Point{1, 2}, Point{1, 2}), 1);
  EXPECT_EQ(PointsEqual(Point{1, 2}, Point{2, 1}), 0);
  EXPECT_EQ(PointsEqual(Point{1, 2}, Point{1, 3}), 0);
}

TEST(VectorMathTest, FloatVectorLengths) {
  EXPECT_FLOAT_EQ(LengthAlongVector(3, 4, 1, 0), 3);
  EXPECT_FLOAT_EQ(LengthAlongVector(3, 4, 0, -2), -4);
  EXPECT_FLOAT_EQ(LengthAlongVector(3, 4, 0, 0), 0) << "a zero direction has no component";

  float x = 3, y = 4;
  EXPECT_FLOAT_EQ(ExtendVectorToLength(&x, &y, 10), 10);
  EXPECT_FLOAT_EQ(x, 6);
  EXPECT_FLOAT_EQ(y, 8);
  EXPECT_FLOAT_EQ(ExtendVectorToLength(&x, &y, 5), 10);
  EXPECT_FLOAT_EQ(x, 6);
  x = 0.0005f, y = 0;
  EXPECT_FLOAT_EQ(ExtendVectorToLength(&x, &y, 5), 5);
  EXPECT_FLOAT_EQ(x, 5);
  EXPECT_FLOAT_EQ(y, 0);

  x = 6, y = 8;
  EXPECT_FLOAT_EQ(ClampVectorLength(&x, &y, 5), 5);
  EXPECT_FLOAT_EQ(x, 3);
  EXPECT_FLOAT_EQ(y, 4);
  EXPECT_FLOAT_EQ(ClampVectorLength(&x, &y, 10), 5);
  EXPECT_FLOAT_EQ(x, 3);

  SetVectorLength(&x, &y, 10);
  EXPECT_FLOAT_EQ(x, 6);
  EXPECT_FLOAT_EQ(y, 8);
  x = 0, y = 0;
  SetVectorLength(&x, &y, 10);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST(VectorMathTest, IntVectors) {
  SInt16 x = 30, y = 40;
  EXPECT_EQ(ClampIntVectorLength(&x, &y, 10), 10);
  EXPECT_EQ(x, 6);
  EXPECT_EQ(y, 8);
  EXPECT_EQ(ClampIntVectorLength(&x, &y, 20), 10);
  EXPECT_EQ(x, 6);
  x = 0, y = 0;
  EXPECT_EQ(ClampIntVectorLength(&x, &y, -1), -1);
  EXPECT_EQ(x, 0);

  struct Row {
    SInt16 x, y, dx, dy, outX, outY;
  };
  const Row rows[] = {
      {10, 5, 100, 0, 10, 0},    // cut to the component along the direction
      {-10, 5, 100, 0, -10, 0},  // a component against it turns the vector round
      {10, 5, 1, 0, 1, 0},       // never longer than the direction itself
      {3, 4, 0, 0, 0, 0},        // no direction
      {30, 40, 60, 80, 30, 40},
  };
  for (const Row& row : rows) {
    x = row.x, y = row.y;
    AlignIntVector(&x, &y, row.dx, row.dy);
    EXPECT_EQ(x, row.outX) << row.x << "," << row.y << " on " << row.dx << "," << row.dy;
    EXPECT_EQ(y, row.outY) << row.x << "," << row.y << " on " << row.dx << "," << row.dy;
  }
}

TEST(VectorMathTest, ReflectAboutDirection) {
  float x = 3, y = 4;
  EXPECT_EQ(ReflectAboutDirection(&x, &y, 0, 1), 0);  // angle 0: index 0
  EXPECT_FLOAT_EQ(x, -3);
  EXPECT_FLOAT_EQ(y, 4);
  EXPECT_EQ(ReflectAboutDirection(&x, &y, 0, 1), 0);
  EXPECT_FLOAT_EQ(x, -3) << "already heading away";

  x = 3, y = 4;
  EXPECT_EQ(ReflectAboutDirection(&x, &y, 1, 0), 24);  // angle 90: index 8, back 24
  EXPECT_NEAR(x, 3, 1e-5);
  EXPECT_NEAR(y, -4, 1e-5);
}

TEST(VectorMathTest, SplitAngleOctant) {
  struct Row {
    SInt16 angle, offset;
    UInt8 mirror;
    SInt16 quarter;
  };
  const Row rows[] = {{0, 0, 0, 0},    {30, 30, 0, 0},  {45, 45, 0, 0}, {46, 44, 1, 1},
                      {60, 30, 1, 1},  {90, 0, 0, 1},   {100, 10, 0, 1}, {150, 30, 1, 0},
                      {190, 10, 0, 2}, {250, 20, 1, 3}, {280, 10, 0, 3}, {330, 30, 1, 2},
                      {360, 0, 0, 0},  {-1, 0, 0, 0}};
  for (const Row& row : rows) {
    SInt16 offset = -7, quarter = -7;
    UInt8 mirror = 9, second = 9;
    SplitAngleOctant(row.angle, 360, &offset, &mirror, &second, &quarter);
    EXPECT_EQ(offset, row.offset) << row.angle;
    EXPECT_EQ(mirror, row.mirror) << row.angle;
    EXPECT_EQ(quarter, row.quarter) << row.angle;
    EXPECT_EQ(second, 0) << row.angle;
  }
}

TEST(VectorMathTest, SegmentMeetsRect) {
  const Rect r{10, 10, 20, 20};
  struct Row {
    SInt16 h1, v1, h2, v2;
    UInt8 meets;
  };
  const Row rows[] = {
      {12, 12, 15, 15, 1},  // inside
      {0, 15, 30, 15, 1},   // straight through
      {0, 10, 30, 10, 1},   // along the top edge
      {0, 0, 10, 10, 1},    // ends on the corner
      {0, 20, 20, 0, 1},    // grazes the corner
      {0, 19, 19, 0, 0},    // passes the corner by
      {0, 0, 9, 30, 0},     // left of it
      {25, 0, 25, 30, 0},   // right of it
      {15, 0, 15, 5, 0},    // short of it
  };
  for (const Row& row : rows) {
    EXPECT_EQ(SegmentMeetsRect(row.h1, row.v1, row.h2, row.v2, &r), row.meets)
        << row.h1 << "," << row.v1 << " - " << row.h2 << "," << row.v2;
    EXPECT_EQ(SegmentMeetsRect(row.h2, row.v2, row.h1, row.v1, &r), row.meets) << "reversed";
  }
  const Rect empty{10, 10, 10, 20};
  EXPECT_EQ(SegmentMeetsRect(0, 10, 30, 10, &empty), 0);
}

TEST(ApproachTest, ApproachAxisSteps) {
  struct Row {
    const char* what;
    SInt16 current, target, velocity, acceleration;
    SInt16 outVelocity;
    UInt8 outPhase;
    SInt16 outPeak;
  };
  const Row rows[] = {
      {"speeding up", 0, 100, 0, 2, 2, 1, 14},
      {"speeding up backwards", 100, 0, 0, 2, -2, 1, -14},
      {"slowing down, capped at the peak", 0, 10, 8, 1, 3, 0xFF, 3},
      {"short way: half the distance", 0, 3, 0, 2, 1, 1, 1},
      {"arrived", 99, 100, 5, 2, 0, 0, 0},
      {"no acceleration", 0, 100, 5, 0, 0, 0, 77},
  };
  for (const Row& row : rows) {
    SInt16 velocity = row.velocity, peak = 77;
    UInt8 phase = 0x55;
    ApproachAxis(row.current, row.target, &velocity, &phase, &peak, row.acceleration);
    EXPECT_EQ(velocity, row.outVelocity) << row.what;
    EXPECT_EQ(phase, row.outPhase) << row.what;
    EXPECT_EQ(peak, row.outPeak) << row.what;
  }
}

TEST(ApproachTest, SteerTowardMovesAlongTheTargetsDirection) {
  SInt16 h = 0, v = 0, vh = 3, vv = 3;
  SteerToward(&h, &v, 10, 0, &vh, &vv, 5);
  EXPECT_EQ(vh, 3);
  EXPECT_EQ(vv, 0);
  EXPECT_EQ(h, 3);
  EXPECT_EQ(v, 0);

  h = 0, v = 0, vh = 0, vv = 0;
  SteerToward(&h, &v, 10, -10, &vh, &vv, 5);
  EXPECT_EQ(vh, 1) << "a stalled axis creeps toward the target";
  EXPECT_EQ(vv, -1);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(v, -1);

  h = 0, v = 0, vh = 50, vv = 0;
  SteerToward(&h, &v, 100, 0, &vh, &vv, 5);
  EXPECT_EQ(vh, 5) << "held to the maximum speed";
  EXPECT_EQ(h, 5);
}

TEST(ApproachTest, ApproachTargetWithoutAccelerationStillMoves) {
  MoverRecord mover{};
  mover.maxSpeed = 4;
  for (int step = 0; step < 3; ++step) ApproachTarget(&mover, Point{10, 20});
  EXPECT_EQ(mover.h, 3);
  EXPECT_EQ(mover.v, 3);
  EXPECT_EQ(mover.hPhase, 0);
  EXPECT_EQ(mover.vPhase, 0);
}

}  // namespace
