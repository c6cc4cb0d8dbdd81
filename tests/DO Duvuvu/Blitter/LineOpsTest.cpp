// Colour replacement and thick lines.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "BlitTestMaps.h"
#include "LineOps.h"

namespace {

using blittest::MakeMap;
using Points = std::set<std::pair<int, int>>;

TEST(ReplaceColor, NilRectangleCoversExactlyThePixelMemory) {
  std::mt19937 rng(8);
  for (int depth : {8, 16}) {
    // Bounds (10, 20, 42, 52): 32 x 32 pixels away from the origin.
    blitref::TestMap map(depth, 32, 32, Point{10, 20}, rng);
    map.Fill(5);
    auto want = map.Clone();
    want->Fill(9);
    if (depth == 8) {
      ReplaceColor8(map.handle(), nullptr, 5, 9);
    } else {
      ReplaceColor16(map.handle(), nullptr, 5, 9);
    }
    EXPECT_EQ(map.Diff(*want), "") << depth;
  }
}

TEST(ReplaceColor, GivenRectangleCountsRawRowsAndColumns) {
  for (int depth : {8, 16}) {
    auto map = MakeMap(depth, 8, 6, 5);  // bounds start at (3, 5)
    map->Set(1, 1, 7);
    auto want = map->Clone();
    for (int y = 1; y < 3; ++y) {
      for (int x = 2; x < 6; ++x) want->Set(x, y, 9);
    }
    const Rect r{1, 2, 3, 6};  // raw: rows 1-2, columns 2-5
    const Rect empty{4, 0, 4, 8};
    if (depth == 8) {
      ReplaceColor8(map->handle(), &r, 5, 9);
      ReplaceColor8(map->handle(), &empty, 5, 1);
    } else {
      ReplaceColor16(map->handle(), &r, 5, 9);
      ReplaceColor16(map->handle(), &empty, 5, 1);
    }
    EXPECT_EQ(map->Diff(*want), "") << depth;
  }
}

// The points a line lights in a map whose bounds start at (-40, -40).
struct Canvas {
  std::unique_ptr<blitref::TestMap> map;
  Canvas() {
    std::mt19937 rng(4);
    map = std::make_unique<blitref::TestMap>(8, 120, 120, Point{-40, -40}, rng);
    map->Fill(0);
  }
  Rect bounds() const { return map->bounds(); }
  Points Lit() const {
    Points p;
    for (int y = 0; y < 120; ++y) {
      for (int x = 0; x < 120; ++x) {
        if (map->Get(x, y)) p.insert({x - 40, y - 40});
      }
    }
    return p;
  }
};

Points Draw(int x1, int y1, int x2, int y2, int thickness) {
  Canvas c;
  const Rect clip = c.bounds();
  DrawThickLine8(c.map->handle(), nullptr, static_cast<SInt16>(x1), static_cast<SInt16>(y1),
                 static_cast<SInt16>(x2), static_cast<SInt16>(y2), &clip, 1,
                 static_cast<SInt8>(thickness));
  return c.Lit();
}

TEST(ThickLine, DrawsTheListedPoints) {
  EXPECT_EQ(Draw(0, 0, 4, 1, 1), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}));
  EXPECT_EQ(Draw(0, 0, 4, 4, 1), (Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
  Points row;
  for (int x = 0; x <= 4; ++x) {
    row.insert({x, 0});
    row.insert({x, 1});
  }
  EXPECT_EQ(Draw(0, 0, 3, 0, 2), row);
  EXPECT_EQ(Draw(5, 5, 2, 2, 2), (Points{{2, 2}, {3, 2}, {2, 3}, {3, 3}, {4, 3}, {3, 4}, {4, 4},
                                         {5, 4}, {4, 5}, {5, 5}, {6, 5}, {5, 6}, {6, 6}}));
  EXPECT_EQ(Draw(2, 0, 2, 3, 1), (Points{{2, 0}, {2, 1}, {2, 2}, {2, 3}}));
  EXPECT_TRUE(Draw(3, 3, 3, 3, 2).empty());
  EXPECT_TRUE(Draw(0, 0, 5, 5, 0).empty());
  EXPECT_TRUE(Draw(0, 0, 5, 5, -3).empty());
}

// Every line within 24 in both directions reaches both of its ends: the
// pens at both ends are covered (down-and-left lines used to end a row short).
TEST(ThickLine, EveryShortLineCoversBothEndPens) {
  for (int thickness = 1; thickness <= 4; ++thickness) {
    int failures = 0;
    for (int dx = -24; dx <= 24; ++dx) {
      for (int dy = -24; dy <= 24; ++dy) {
        if (!dx && !dy) continue;
        const Points lit = Draw(0, 0, dx, dy, thickness);
        for (auto [ex, ey] : {std::pair{0, 0}, std::pair{dx, dy}}) {
          for (int py = 0; py < thickness; ++py) {
            for (int px = 0; px < thickness; ++px) {
              if (!lit.count({ex + px, ey + py}) && failures++ < 5) {
                ADD_FAILURE() << "T " << thickness << " to (" << dx << ", " << dy
                              << ") misses (" << ex + px << ", " << ey + py << ")";
              }
            }
          }
        }
      }
    }
    EXPECT_EQ(failures, 0) << "T " << thickness;
  }
}

TEST(ThickLine, ClipAndMaskGateThePoints) {
  // A clip that leaves out the start still shows the rest.
  Canvas c;
  const Rect clip{0, 2, 10, 10};  // x from 2
  DrawThickLine8(c.map->handle(), nullptr, 0, 0, 4, 0, &clip, 1, 1);
  EXPECT_EQ(c.Lit(), (Points{{2, 0}, {3, 0}, {4, 0}}));
  // The mask draws where it is exactly 0; its own bounds place it.
  Canvas m;
  m.map->Fill(0);
  std::mt19937 rng(1);
  blitref::TestMap mask(8, 10, 10, Point{0, 0}, rng);
  mask.Fill(0);
  mask.Set(1, 0, 1);
  mask.Set(3, 0, 255);
  const Rect all = m.bounds();
  DrawThickLine8(m.map->handle(), mask.handle(), 0, 0, 4, 0, &all, 1, 1);
  EXPECT_EQ(m.Lit(), (Points{{0, 0}, {2, 0}, {4, 0}}));
}

TEST(ThickLine, CopyWritesSourcePixelsAtTheSamePoints) {
  Canvas src, dst;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 120; ++x) src.map->Set(x, y, static_cast<UInt32>(1 + (x * 7 + y) % 200));
  }
  const Rect clip = dst.bounds();
  const Points want = Draw(-3, 7, 9, -5, 3);
  CopyThickLine8(src.map->handle(), dst.map->handle(), nullptr, -3, 7, 9, -5, &clip, 3);
  EXPECT_EQ(dst.Lit(), want);
  for (auto [x, y] : want) EXPECT_EQ(dst.map->Get(x + 40, y + 40), src.map->Get(x + 40, y + 40));
}

TEST(ThickLine, PointsNeverLeaveTheMaps) {
  // Lines far outside, and a clip reaching past every map, touch nothing
  // outside the pixels (the guard bands say so).
  std::mt19937 rng(6);
  blitref::TestMap dst(8, 20, 20, Point{5, 5}, rng), src(8, 10, 30, Point{0, 0}, rng);
  auto want = dst.Clone();
  const Rect wide{-1000, -1000, 1000, 1000};
  CopyThickLine8(src.handle(), dst.handle(), nullptr, -50, -50, 60, 60, &wide, 5);
  DrawThickLine8(dst.handle(), nullptr, 32000, 32000, -32000, -32000, &wide, 9, 2);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) want->Set(x, y, dst.Get(x, y));
  }
  EXPECT_EQ(dst.Diff(*want), "");
}

}  // namespace
