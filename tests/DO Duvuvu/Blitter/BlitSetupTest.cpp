#include <gtest/gtest.h>

#include <vector>

#include "BlitDispatch.h"
#include "BlitSetup.h"
#include "BlitTestMaps.h"

namespace {

struct OrientCase {
  SInt8 rotation;
  UInt8 flipH, flipV;
  UInt32 start, step, undo, next;
  bool v, h;
};

constexpr OrientCase kOrientations[] = {
    {0, 0, 0, 0, 0, 0, 0, false, false}, {0, 0, 1, 1, 0, 0, 2, true, false},
    {0, 1, 0, 3, 2, 2, 0, false, true},  {0, 1, 1, 2, 2, 2, 2, true, true},
    {1, 0, 0, 1, 1, 1, 1, false, false}, {1, 0, 1, 2, 1, 1, 3, true, false},
    {1, 1, 0, 0, 3, 3, 1, false, true},  {1, 1, 1, 3, 3, 3, 3, true, true},
    {2, 0, 0, 2, 2, 2, 2, true, true},   {2, 0, 1, 3, 2, 2, 0, false, true},
    {2, 1, 0, 1, 0, 0, 2, true, false},  {2, 1, 1, 0, 0, 0, 0, false, false},
    {3, 0, 0, 3, 3, 3, 3, true, true},   {3, 0, 1, 0, 3, 3, 1, false, true},
    {3, 1, 0, 2, 1, 1, 3, true, false},  {3, 1, 1, 1, 1, 1, 1, false, false},
};

TEST(ClipAndOrientBlit, WalkCodesForEveryOrientation) {
  for (const OrientCase& c : kOrientations) {
    SCOPED_TRACE(testing::Message() << "rotation " << int(c.rotation) << " flipH " << int(c.flipH)
                                    << " flipV " << int(c.flipV));
    const BlitOrientation o = OrientBlit(c.flipH, c.flipV, c.rotation);
    EXPECT_EQ(o.startCorner, c.start);
    EXPECT_EQ(o.pixelStep, c.step);
    EXPECT_EQ(o.rowUndo, c.undo);
    EXPECT_EQ(o.nextRow, c.next);
    EXPECT_EQ(o.swapV, c.v);
    EXPECT_EQ(o.swapH, c.h);

    Rect src{0, 0, 4, 4};
    const Rect dst{0, 0, 4, 4};
    UInt32 start, step, undo, next;
    UInt8 shrinkH, shrinkV;
    ClipAndOrientBlit(&src, &dst, &dst, nullptr, c.flipH, c.flipV, c.rotation, &start, &step,
                      &undo, &next, &shrinkH, &shrinkV);
    EXPECT_EQ(start, c.start);
    EXPECT_EQ(step, c.step);
    EXPECT_EQ(undo, c.undo);
    EXPECT_EQ(next, c.next);
    EXPECT_EQ(src.left, 0);
    EXPECT_EQ(src.right, 4);
    EXPECT_EQ(shrinkH, 0);
    EXPECT_EQ(shrinkV, 0);
  }
}

struct TrimResult {
  Rect src;
  Rect mask;
};

TrimResult Trim(Rect src, Rect dst, Rect clipped, UInt8 flipH, SInt8 rotation = 0) {
  Rect mask = dst;
  UInt32 start, step, undo, next;
  UInt8 shrinkH, shrinkV;
  ClipAndOrientBlit(&src, &dst, &clipped, &mask, flipH, 0, rotation, &start, &step, &undo, &next,
                    &shrinkH, &shrinkV);
  return {src, mask};
}

TEST(ClipAndOrientBlit, ClippedEdgesTrimTheSourceInProportion) {
  // Same size, 3 clipped on the left.
  TrimResult r = Trim({0, 0, 10, 10}, {0, 0, 10, 10}, {0, 3, 10, 10}, 0);
  EXPECT_EQ(r.src.left, 3);
  EXPECT_EQ(r.src.right, 10);
  EXPECT_EQ(r.mask.left, 3);
  // Mirrored: the source's right side gives way instead.
  r = Trim({0, 0, 10, 10}, {0, 0, 10, 10}, {0, 3, 10, 10}, 1);
  EXPECT_EQ(r.src.left, 0);
  EXPECT_EQ(r.src.right, 7);
  // 20 source columns onto 10: 3 clipped move the source by 6; the mask by 3.
  r = Trim({0, 0, 10, 20}, {0, 0, 10, 10}, {0, 3, 10, 10}, 0);
  EXPECT_EQ(r.src.left, 6);
  EXPECT_EQ(r.mask.left, 3);
  // A quarter turn puts the destination's left edge on the source's bottom.
  r = Trim({0, 0, 10, 10}, {0, 0, 10, 10}, {0, 3, 10, 10}, 0, 1);
  EXPECT_EQ(r.src.bottom, 7);
  EXPECT_EQ(r.src.left, 0);
}

TEST(ClipAndOrientBlit, ShrinkFlagsUseTheTurnedSourceExtents) {
  Rect src{0, 0, 20, 10};  // 10 wide, 20 high
  const Rect dst{0, 0, 10, 15};
  UInt32 start, step, undo, next;
  UInt8 shrinkH, shrinkV;
  ClipAndOrientBlit(&src, &dst, &dst, nullptr, 0, 0, 0, &start, &step, &undo, &next, &shrinkH,
                    &shrinkV);
  EXPECT_EQ(shrinkH, 0);
  EXPECT_EQ(shrinkV, 1);
  src = Rect{0, 0, 20, 10};
  ClipAndOrientBlit(&src, &dst, &dst, nullptr, 0, 0, 1, &start, &step, &undo, &next, &shrinkH,
                    &shrinkV);
  EXPECT_EQ(shrinkH, 1);
  EXPECT_EQ(shrinkV, 0);
}

// The image rule, on a grid: turn clockwise, then mirror in the new frame.
using Grid = std::vector<std::vector<UInt32>>;

Grid TurnClockwise(const Grid& g) {
  const size_t h = g.size(), w = g[0].size();
  Grid out(w, std::vector<UInt32>(h));
  for (size_t y = 0; y < w; ++y) {
    for (size_t x = 0; x < h; ++x) out[y][x] = g[h - 1 - x][y];
  }
  return out;
}

Grid Expected(const Grid& src, int rotation, bool flipH, bool flipV) {
  Grid g = src;
  for (int i = 0; i < rotation; ++i) g = TurnClockwise(g);
  if (flipH) {
    for (auto& row : g) std::reverse(row.begin(), row.end());
  }
  if (flipV) std::reverse(g.begin(), g.end());
  return g;
}

template <typename Pixel>
class OrientedCopy : public testing::Test {};
using PixelTypes = testing::Types<UInt8, UInt16, UInt32>;
TYPED_TEST_SUITE(OrientedCopy, PixelTypes);

TYPED_TEST(OrientedCopy, DrawsTheTurnedThenMirroredImage) {
  using Pixel = TypeParam;
  constexpr int depth = blittest::kDepth<Pixel>;
  auto src = blittest::MakeMap(depth, 5, 3, 0);
  Grid numbered(3, std::vector<UInt32>(5));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      numbered[y][x] = static_cast<UInt32>(1 + x + 5 * y);
      src->Set(x, y, numbered[y][x]);
    }
  }
  const Rect srcRect = blittest::On(*src, 0, 0, 5, 3);
  for (const OrientCase& c : kOrientations) {
    SCOPED_TRACE(testing::Message() << "rotation " << int(c.rotation) << " flipH " << int(c.flipH)
                                    << " flipV " << int(c.flipV));
    const Grid want = Expected(numbered, c.rotation, c.flipH, c.flipV);
    const int w = static_cast<int>(want[0].size()), h = static_cast<int>(want.size());
    auto dst = blittest::MakeMap(depth, 8, 8, 200);
    const Rect dstRect = blittest::On(*dst, 1, 2, 1 + w, 2 + h);
    if constexpr (depth == 8) {
      COPY8(src->handle(), dst->handle(), nullptr, &srcRect, &dstRect, nullptr, 0, kBlitNoColor,
            nullptr, nullptr, c.flipH, c.flipV, c.rotation, nullptr);
    } else if constexpr (depth == 16) {
      COPY16(src->handle(), dst->handle(), nullptr, &srcRect, &dstRect, nullptr, 0, kBlitNoColor,
             nullptr, nullptr, c.flipH, c.flipV, c.rotation, nullptr);
    } else {
      COPY32(src->handle(), dst->handle(), nullptr, &srcRect, &dstRect, nullptr, 0, kBlitNoColor,
             nullptr, nullptr, c.flipH, c.flipV, c.rotation, nullptr);
    }
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        const bool inside = x >= 1 && x < 1 + w && y >= 2 && y < 2 + h;
        EXPECT_EQ(dst->Get(x, y), inside ? want[y - 2][x - 1] : 200u) << "at " << x << "," << y;
      }
    }
  }
}

}  // namespace
