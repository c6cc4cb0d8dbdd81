#include <gtest/gtest.h>

#include "Geometry.h"

namespace {

::testing::AssertionResult Same(const Rect& got, const Rect& want) {
  if (got.top == want.top && got.left == want.left && got.bottom == want.bottom && got.right == want.right)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got (" << got.top << ", " << got.left << ", " << got.bottom << ", "
                                       << got.right << ") want (" << want.top << ", " << want.left << ", "
                                       << want.bottom << ", " << want.right << ")";
}

TEST(Geometry, RectAndPointArgumentOrders) {
  Rect r;
  SetRectSides(&r, 1, 2, 3, 4);  // left, top, right, bottom
  EXPECT_TRUE(Same(r, Rect{2, 1, 4, 3}));
  Point p;
  const Point back = SetPoint(&p, 7, 9);  // h, v
  EXPECT_EQ(p.h, 7);
  EXPECT_EQ(p.v, 9);
  EXPECT_EQ(EqualPoints(back, p), 1);
  EXPECT_EQ(EqualPoints(p, Point{7, 9}), 0);
  EXPECT_EQ(EqualRects(&r, &r), 1);
  const Rect other{2, 1, 4, 4};
  EXPECT_EQ(EqualRects(&r, &other), 0);
}

TEST(Geometry, InsetReturnsTheNewBottomAndNegativeValuesGrow) {
  Rect r{10, 10, 50, 60};
  EXPECT_EQ(InsetRectBy(&r, 5, 3), 47);
  EXPECT_TRUE(Same(r, Rect{13, 15, 47, 55}));
  EXPECT_EQ(InsetRectBy(&r, -5, -3), 50);
  EXPECT_TRUE(Same(r, Rect{10, 10, 50, 60}));
}

TEST(Geometry, MapRectMapsBothCorners) {
  Rect r{2, 5, 8, 10};
  const Rect from{0, 0, 10, 10};
  const Rect to{100, 0, 120, 40};
  MapRectBetweenRects(&r, &from, &to);
  EXPECT_TRUE(Same(r, Rect{104, 20, 116, 40}));
}

TEST(Geometry, KeepRectInside) {
  struct Case {
    Rect r, bounds, want;
    UInt8 moved;
  } cases[] = {
      {{0, -5, 10, 5}, {0, 0, 100, 100}, {0, 0, 10, 10}, 1},
      {{95, 10, 105, 20}, {0, 0, 100, 100}, {90, 10, 100, 20}, 1},
      {{10, 10, 20, 20}, {0, 0, 100, 100}, {10, 10, 20, 20}, 0},
      // Wider than the bounds: flush with the right side.
      {{0, -10, 10, 130}, {0, 0, 100, 100}, {0, -40, 10, 100}, 1},
  };
  for (const Case& c : cases) {
    Rect r = c.r;
    EXPECT_EQ(KeepRectInside(&r, &c.bounds), c.moved);
    EXPECT_TRUE(Same(r, c.want));
  }
  Rect onlyV{-5, 10, 5, 20};
  const Rect bounds{0, 0, 100, 100};
  EXPECT_EQ(KeepRectInsideH(&onlyV, &bounds), 0);
  EXPECT_EQ(KeepRectInsideV(&onlyV, &bounds), 1);
  EXPECT_TRUE(Same(onlyV, Rect{0, 10, 10, 20}));
}

TEST(Geometry, KeepPointInRectClampsToTheLastPixel) {
  const Rect r{0, 0, 40, 80};
  Point p{50, 100};
  EXPECT_EQ(KeepPointInRect(&p, &r), 1);
  EXPECT_EQ(p.v, 39);
  EXPECT_EQ(p.h, 79);
  Point inside{5, 5};
  EXPECT_EQ(KeepPointInRect(&inside, &r), 0);
  Point before{-3, -4};
  EXPECT_EQ(KeepPointInRect(&before, &r), 1);
  EXPECT_EQ(before.v, 0);
  EXPECT_EQ(before.h, 0);
}

TEST(Geometry, SeparateRects) {
  struct Case {
    Rect a, b;
    UInt8 both;
    Rect wantA, wantB;
    UInt8 result;
  } cases[] = {
      // dy = 2 < dx = 8: a lies above b.
      {{0, 0, 10, 10}, {8, 2, 18, 12}, 0, {-2, 0, 8, 10}, {8, 2, 18, 12}, 1},
      {{0, 0, 10, 10}, {8, 2, 18, 12}, 1, {-1, 0, 9, 10}, {9, 2, 19, 12}, 1},
      // Horizontal: dx = 3 < dy; a lies left of b.
      {{0, 0, 10, 10}, {0, 7, 10, 17}, 0, {0, -3, 10, 7}, {0, 7, 10, 17}, 1},
      {{0, 0, 10, 10}, {0, 7, 10, 17}, 1, {0, -2, 10, 8}, {0, 8, 10, 18}, 1},
      // a right of b.
      {{0, 8, 10, 18}, {0, 0, 10, 10}, 0, {0, 10, 10, 20}, {0, 0, 10, 10}, 1},
      // Below b (tie of the vertical distances goes below).
      {{8, 0, 18, 10}, {0, 2, 10, 12}, 0, {10, 0, 20, 10}, {0, 2, 10, 12}, 1},
      // Touching only: no overlap.
      {{0, 0, 10, 10}, {0, 10, 10, 20}, 0, {0, 0, 10, 10}, {0, 10, 10, 20}, 0},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, 1, {0, 0, 10, 10}, {10, 0, 20, 10}, 0},
  };
  for (const Case& c : cases) {
    Rect a = c.a;
    Rect b = c.b;
    EXPECT_EQ(SeparateRects(&a, &b, c.both), c.result);
    EXPECT_TRUE(Same(a, c.wantA));
    EXPECT_TRUE(Same(b, c.wantB));
  }
}

TEST(Geometry, SeparateRectsTiesGoVertical) {
  // dx = dy = 2.
  Rect a{0, 0, 10, 10};
  Rect b{8, 8, 18, 18};
  EXPECT_EQ(SeparateRects(&a, &b, 0), 1);
  EXPECT_TRUE(Same(a, Rect{-2, 0, 8, 10}));
}

TEST(Geometry, AngleBetweenPointsOnTheAxes) {
  struct Case {
    SInt16 hb, vb, want;
  } cases[] = {{20, 10, 0}, {0, 10, 180}, {10, 20, 90}, {10, 0, 270}, {10, 10, 0}, {20, 20, 0}, {20, 0, 180}};
  for (const Case& c : cases) {
    EXPECT_EQ(AngleBetweenPoints(10, 10, c.hb, c.vb), c.want) << c.hb << ", " << c.vb;
    EXPECT_EQ(AngleBetweenPointsP(Point{10, 10}, Point{c.vb, c.hb}), c.want);
  }
}

TEST(Geometry, DistanceAndPointAtAngleFollowTheFixedResults) {
  EXPECT_EQ(DistanceBetweenPoints(0, 0, 3, 4), 0);
  EXPECT_EQ(DistanceBetweenPointsP(Point{-32768, -32768}, Point{32767, 32767}), 0);
  Point out{1, 1};
  PointAtAngle(&out, Point{512, 1024}, 45, 100);
  EXPECT_EQ(out.h, 4);  // origin >> 8
  EXPECT_EQ(out.v, 2);
  PointAtAngle(&out, Point{-512, -1024}, 300, 32767);
  EXPECT_EQ(out.h, -4);
  EXPECT_EQ(out.v, -2);
}

TEST(Geometry, WrapValue) {
  struct Case {
    SInt32 value, add, min, max, want;
  } cases[] = {
      {5, 3, 0, 9, 8}, {5, 5, 0, 9, 0}, {5, 7, 0, 9, 2}, {2, -3, 0, 9, 9},
      {15, 0, 10, 19, 15}, {8, 0, 10, 19, 28},  // min only decides whether to wrap
  };
  for (const Case& c : cases) {
    SInt32 v = c.value;
    EXPECT_EQ(WrapValue(&v, c.add, c.min, c.max), c.want);
    EXPECT_EQ(v, c.want);
  }
}

}  // namespace
