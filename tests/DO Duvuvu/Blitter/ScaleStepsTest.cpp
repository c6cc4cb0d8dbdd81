#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "BlitDispatch.h"
#include "BlitSetup.h"
#include "BlitTestMaps.h"

namespace {

struct Steps {
  std::vector<UInt32> entries;
  SInt32 rowError;
};

// sw x sh source onto dw x dh, the first clipLeft columns and clipTop rows clipped.
Steps BuildSteps(int sw, int sh, int dw, int dh, int clipLeft, int clipTop, size_t count) {
  const Rect src{0, 0, static_cast<SInt16>(sh), static_cast<SInt16>(sw)};
  const Rect dst{0, 0, static_cast<SInt16>(dh), static_cast<SInt16>(dw)};
  const Rect clipped{static_cast<SInt16>(clipTop), static_cast<SInt16>(clipLeft),
                     static_cast<SInt16>(dh), static_cast<SInt16>(dw)};
  std::vector<UInt32> table(64, 0xDEADBEEF);
  SInt32 rowError = -99;
  BuildScaleSteps(&src, &dst, &clipped, 0, 1, table.data(), &rowError);
  table.resize(count);
  return {table, rowError};
}

TEST(BuildScaleSteps, TablesAndFirstErrors) {
  using V = std::vector<UInt32>;
  EXPECT_EQ(BuildSteps(4, 4, 8, 8, 0, 0, 5).entries, (V{2, 2, 2, 2, 0}));
  Steps s = BuildSteps(8, 8, 4, 4, 0, 0, 4);
  EXPECT_EQ(s.entries, (V{3, 2, 2, 2}));
  EXPECT_EQ(s.rowError, 4);
  s = BuildSteps(2, 2, 5, 5, 0, 0, 2);
  EXPECT_EQ(s.entries, (V{2, 3}));
  EXPECT_EQ(s.rowError, 1);
  s = BuildSteps(8, 8, 3, 3, 0, 0, 3);
  EXPECT_EQ(s.entries, (V{4, 2, 3}));
  EXPECT_EQ(s.rowError, 4);
  EXPECT_EQ(BuildSteps(7, 7, 7, 7, 0, 0, 7).entries, V(7, 1));
}

TEST(BuildScaleSteps, ShrinkingEntriesAreMultiplesOfThePixelStep) {
  const Rect src{0, 0, 1, 8};
  const Rect dst{0, 0, 1, 4};
  UInt32 table[8] = {};
  SInt32 rowError = 0;
  BuildScaleSteps(&src, &dst, nullptr, 0, -640, table, &rowError);
  EXPECT_EQ(static_cast<SInt32>(table[0]), -3 * 640);
  EXPECT_EQ(static_cast<SInt32>(table[1]), -2 * 640);
}

// Each destination pixel of the clipped area as the (column, row) of the
// source pixel it took, through SCALE8.
std::vector<std::pair<int, int>> Reads(int sw, int sh, int dw, int dh, int clipLeft, int clipTop) {
  auto src = blittest::MakeMap(8, sw, sh, 0);
  for (int y = 0; y < sh; ++y) {
    for (int x = 0; x < sw; ++x) src->Set(x, y, static_cast<UInt32>(1 + x + 16 * y));
  }
  auto dst = blittest::MakeMap(8, dw, dh, 0);
  const Rect srcRect = blittest::On(*src, 0, 0, sw, sh);
  const Rect dstRect = blittest::On(*dst, 0, 0, dw, dh);
  const Rect clip = blittest::On(*dst, clipLeft, clipTop, dw, dh);
  SCALE8(src->handle(), dst->handle(), nullptr, &srcRect, &dstRect, &clip, 0, kBlitNoColor,
         nullptr, nullptr, 0, 0, 0, nullptr);
  std::vector<std::pair<int, int>> out;
  for (int y = clipTop; y < dh; ++y) {
    for (int x = clipLeft; x < dw; ++x) {
      const int v = static_cast<int>(dst->Get(x, y)) - 1;
      out.emplace_back(v % 16, v / 16);
    }
  }
  return out;
}

std::vector<int> Columns(int sw, int dw, int clipLeft) {
  std::vector<int> out;
  for (auto [column, row] : Reads(sw, 1, dw, 1, clipLeft, 0)) out.push_back(column);
  return out;
}

std::vector<int> Rows(int sh, int dh, int clipTop) {
  std::vector<int> out;
  for (auto [column, row] : Reads(1, sh, 1, dh, 0, clipTop)) out.push_back(row);
  return out;
}

TEST(ScaleSampling, SourcePixelsEachDestinationPixelTakes) {
  using V = std::vector<int>;
  EXPECT_EQ(Columns(8, 4, 0), (V{0, 3, 5, 7}));
  EXPECT_EQ(Columns(2, 5, 0), (V{0, 0, 1, 1, 1}));
  EXPECT_EQ(Columns(5, 2, 0), (V{0, 3}));
  EXPECT_EQ(Columns(8, 3, 0), (V{0, 4, 6}));
  EXPECT_EQ(Rows(8, 3, 0), (V{0, 4, 6}));
  EXPECT_EQ(Columns(8, 3, 1), (V{2, 6}));
  // The unclipped copy takes the same columns there.
  EXPECT_EQ(Columns(4, 8, 3), (V{1, 2, 2, 3, 3}));
  EXPECT_EQ(Columns(5, 6, 1), (V{0, 1, 2, 3, 4}));
  EXPECT_EQ(Rows(5, 6, 1), (V{0, 2, 2, 3, 4}));
  EXPECT_EQ(Rows(2, 5, 0), (V{0, 0, 1, 1, 1}));
}

TEST(ScaleSampling, FourByFourOntoEightByEightMakesBlocks) {
  auto src = blittest::MakeMap(16, 4, 4, 0);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) src->Set(x, y, static_cast<UInt32>(0x100 + x + 4 * y));
  }
  auto dst = blittest::MakeMap(16, 8, 8, 0);
  const Rect srcRect = blittest::On(*src, 0, 0, 4, 4);
  const Rect dstRect = blittest::On(*dst, 0, 0, 8, 8);
  auto setup = SetUpSCALE16(src->handle(), dst->handle(), nullptr, &srcRect, &dstRect, nullptr, 0,
                            kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr);
  ASSERT_TRUE(setup);
  EXPECT_EQ(setup->args.rowError, 2);
  EXPECT_EQ(setup->slot, 0u);
  SCALE16(src->handle(), dst->handle(), nullptr, &srcRect, &dstRect, nullptr, 0, kBlitNoColor,
          nullptr, nullptr, 0, 0, 0, nullptr);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(dst->Get(x, y), static_cast<UInt32>(0x100 + x / 2 + 4 * (y / 2)));
    }
  }
}

}  // namespace
