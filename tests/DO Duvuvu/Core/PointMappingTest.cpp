#include <gtest/gtest.h>

#include "Geometry.h"

namespace {

TEST(PointMapping, ScalesEachAxisBetweenRects) {
  const Rect from{0, 0, 10, 10};
  const Rect to{0, 0, 20, 40};
  Point p{5, 5};
  MapPointBetweenRects(&p, &from, &to);
  EXPECT_EQ(p.h, 20);
  EXPECT_EQ(p.v, 10);
}

TEST(PointMapping, TruncatesTowardZeroAndHandlesFlatRects) {
  const Rect from{32, 0, 992, 1280};
  const Rect to{0, 0, 480, 640};
  Point p{31, 3};  // above the letterbox: a negative quotient truncates toward zero
  MapPointBetweenRects(&p, &from, &to);
  EXPECT_EQ(p.v, 0);
  EXPECT_EQ(p.h, 1);

  const Rect flat{5, 7, 5, 7};
  Point q{100, 100};
  MapPointBetweenRects(&q, &flat, &to);
  EXPECT_EQ(q.v, 0);
  EXPECT_EQ(q.h, 0);
}

TEST(RectHelpers, SidesOffsetAndHalfOpenContainment) {
  Rect r;
  SetRectSides(&r, 1, 2, 3, 4);
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right, 3);
  EXPECT_EQ(r.bottom, 4);
  OffsetRectBy(&r, 10, -2);
  EXPECT_EQ(r.left, 11);
  EXPECT_EQ(r.right, 13);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.bottom, 2);
  EXPECT_EQ(PointInRect(Point{0, 11}, &r), 1);
  EXPECT_EQ(PointInRect(Point{2, 11}, &r), 0);  // bottom edge is outside
  EXPECT_EQ(PointInRect(Point{1, 13}, &r), 0);  // right edge is outside
  EXPECT_EQ(PointInRect(Point{1, 12}, &r), 1);
}

}  // namespace
