#include <gtest/gtest.h>

#include "Geometry.h"

namespace {

bool Same(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

TEST(IntersectRects, CommonPartOrZeroRect) {
  struct Case {
    Rect a, b, want;
    UInt8 result;
  } cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}, 1},
      {{0, 0, 10, 10}, {10, 10, 20, 20}, {0, 0, 0, 0}, 0},
      {{-5, -5, 5, 5}, {0, -10, 3, 0}, {0, -5, 3, 0}, 1},
      {{3, 3, 3, 9}, {0, 0, 10, 10}, {0, 0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    Rect out{1, 2, 3, 4};
    EXPECT_EQ(IntersectRects(&c.a, &c.b, &out), c.result);
    EXPECT_TRUE(Same(out, c.want));
    Rect a = c.a;  // out may be an input
    EXPECT_EQ(IntersectRects(&a, &c.b, &a), c.result);
    EXPECT_TRUE(Same(a, c.want));
    Rect b = c.b;
    EXPECT_EQ(IntersectRects(&c.a, &b, &b), c.result);
    EXPECT_TRUE(Same(b, c.want));
  }
}

}  // namespace
