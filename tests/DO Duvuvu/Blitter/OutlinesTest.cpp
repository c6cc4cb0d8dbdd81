// Outlines on buffers and between 8-bit maps.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "BlitTestMaps.h"
#include "Outlines.h"

namespace {

TEST(OutlineBuffers, NeighboursOfTheColourGetTheEdge) {
  const std::vector<UInt8> src = {0, 0, 0, 0, 5, 0, 0, 0, 0};
  struct Case {
    SInt8 eight;
    std::vector<UInt8> want;
  } cases[] = {
      {0, {1, 9, 1, 9, 1, 9, 1, 9, 1}},
      {1, {9, 9, 9, 9, 1, 9, 9, 9, 9}},
  };
  for (const Case& c : cases) {
    std::vector<UInt8> dst(9, 1);
    OutlineColor8(src.data(), dst.data(), 3, 3, 5, 9, c.eight);
    EXPECT_EQ(dst, c.want) << int(c.eight);
    std::vector<UInt16> src16(src.begin(), src.end()), dst16(9, 1);
    OutlineColor16(src16.data(), dst16.data(), 3, 3, 5, 9, c.eight);
    EXPECT_EQ(dst16, std::vector<UInt16>(c.want.begin(), c.want.end())) << int(c.eight);
  }
}

TEST(OutlineBuffers, FullRegionWritesNothingAndRowsWrapAround) {
  std::vector<UInt8> full(16, 5), dst(16, 1);
  OutlineColor8(full.data(), dst.data(), 4, 4, 5, 9, 1);
  EXPECT_EQ(dst, std::vector<UInt8>(16, 1));
  // A colour pixel in column 0 of row 2 paints the last pixel of row 1.
  std::vector<UInt8> src(16, 0);
  src[8] = 5;
  OutlineColor8(src.data(), dst.data(), 4, 4, 5, 9, 0);
  std::vector<UInt8> want(16, 1);
  want[4] = want[7] = want[9] = want[12] = 9;
  EXPECT_EQ(dst, want);
}

TEST(OutlineBuffers, ArraysTooSmallOrEmptyShapesDoNothing) {
  NamedArray<UInt16> src(9), dst(9), small(8);
  src.data[4] = 5;
  OutlineColor16Array(src, dst, 3, 3, 5, 9, 0);
  EXPECT_EQ(dst.data[1], 9);
  NamedArray<UInt16> dst2(9);
  OutlineColor16Array(src, small, 3, 3, 5, 9, 0);
  OutlineColor16Array(small, dst2, 3, 3, 5, 9, 0);
  for (UInt32 i = 0; i < small.count; ++i) EXPECT_EQ(small.data[i], 0);
  for (UInt32 i = 0; i < 9; ++i) EXPECT_EQ(dst2.data[i], 0);
  std::vector<UInt8> one(1, 5), out(1, 1);
  OutlineColor8(one.data(), out.data(), 0, 5, 5, 9, 1);
  OutlineColor8(one.data(), out.data(), 1, -1, 5, 9, 1);
  EXPECT_EQ(out[0], 1);
}

// A source rectangle equal to the source's bounds: its outer ring is not
// examined, so no neighbour outside the source (a guard band here) is read.
TEST(OutlinePixMap, SourceAtItsBoundsReadsNothingOutside) {
  std::mt19937 rng(3);
  blitref::TestMap src(8, 6, 6, Point{2, 3}, rng), dst(8, 10, 10, Point{-1, 4}, rng);
  const Rect sr = src.bounds(), clip{-100, -100, 100, 100};
  const Rect dr = blittest::On(dst, 2, 2, 8, 8);
  struct Case {
    int holeX, holeY;  // -1: none
    int colourX, colourY;  // with holeX -1: the one colour pixel, else all colour
    std::vector<std::pair<int, int>> painted;  // in the source's places
  } cases[] = {
      {-1, -1, -2, -2, {}},                              // all colour: nothing
      {2, 2, -2, -2, {{2, 2}}},                          // an inner hole
      {-1, -1, 0, 3, {}},                                // colour on the ring
      {-1, -1, 1, 3, {{0, 3}, {2, 3}, {1, 2}, {1, 4}}},  // colour one pixel in
  };
  for (const Case& c : cases) {
    if (c.colourX == -2) {
      src.Fill(5);
      if (c.holeX >= 0) src.Set(c.holeX, c.holeY, 0);
    } else {
      src.Fill(0);
      src.Set(c.colourX, c.colourY, 5);
    }
    dst.Fill(1);
    auto want = dst.Clone();
    for (auto [x, y] : c.painted) want->Set(x + 2, y + 2, 9);
    OutlinePixMap8(src.handle(), dst.handle(), &sr, &dr, &clip, 5, 9, 0);
    EXPECT_EQ(dst.Diff(*want), "") << c.holeX << "," << c.colourX;
  }
}

TEST(OutlinePixMap, ClipKeepsSourceAndDestinationAligned) {
  std::mt19937 rng(9);
  blitref::TestMap src(8, 10, 10, Point{0, 0}, rng), dst(8, 10, 10, Point{0, 0}, rng);
  src.Fill(0);
  src.Set(4, 4, 5);
  dst.Fill(1);
  const Rect sr{2, 2, 8, 8}, dr{2, 2, 8, 8};
  // The clip cuts the left side of the destination rectangle at 4: the
  // pixel (4, 4) lies on the cut edge and is not examined.
  const Rect cutAt4{0, 4, 10, 10};
  OutlinePixMap8(src.handle(), dst.handle(), &sr, &dr, &cutAt4, 5, 9, 0);
  EXPECT_EQ(dst.Get(5, 4), 1u);
  // Cut at 3: (4, 4) is examined and its neighbours inside the clip painted.
  const Rect cutAt3{0, 3, 10, 10};
  OutlinePixMap8(src.handle(), dst.handle(), &sr, &dr, &cutAt3, 5, 9, 0);
  EXPECT_EQ(dst.Get(5, 4), 9u);
  EXPECT_EQ(dst.Get(3, 4), 9u);
  EXPECT_EQ(dst.Get(4, 3), 9u);
  EXPECT_EQ(dst.Get(4, 5), 9u);
  EXPECT_EQ(dst.Get(4, 4), 1u);
  // Rectangles of different sizes draw nothing.
  dst.Fill(1);
  const Rect smaller{2, 2, 7, 8};
  OutlinePixMap8(src.handle(), dst.handle(), &sr, &smaller, &cutAt3, 5, 9, 0);
  EXPECT_EQ(blittest::Pixels(dst, 0, 0, 10, 10), std::vector<UInt32>(100, 1));
}

}  // namespace
