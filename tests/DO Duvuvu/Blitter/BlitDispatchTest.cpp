#include <gtest/gtest.h>

#include <vector>

#include "BlitDispatch.h"
#include "BlitSetup.h"
#include "BlitTestMaps.h"
#include "BlitVariants.h"

namespace {

using blittest::MakeMap;
using blittest::On;

TEST(BlitDispatch, FillSelectsTheColourSlot) {
  auto map = MakeMap(16, 10, 10, 0x1234);
  const Rect r = On(*map, 2, 2, 6, 6);
  auto setup = SetUpCOPY16(map->handle(), map->handle(), nullptr, &r, &r, nullptr, 0, 0x4321,
                           nullptr, nullptr, 0, 0, 0, nullptr);
  ASSERT_TRUE(setup);
  EXPECT_EQ(setup->slot, kBlitFlagColor);
  EXPECT_EQ(setup->args.color, 0x4321u);
  EXPECT_EQ(setup->args.width, 4u);
  EXPECT_EQ(setup->args.dstEnd - setup->args.dstStart, 4 * static_cast<ptrdiff_t>(setup->args.dstRowPixels));
}

TEST(BlitDispatch, LookupWithColourFoldsTheColourAndRewritesMode3) {
  auto src = MakeMap(8, 4, 1, 9);
  auto dst = MakeMap(8, 4, 1, 0);
  std::vector<UInt8> lookup(256);
  for (int i = 0; i < 256; ++i) lookup[i] = static_cast<UInt8>(255 - i);
  const Rect sr = On(*src, 0, 0, 4, 1), dr = On(*dst, 0, 0, 4, 1);
  struct Case {
    BlitMode in, out;
  } cases[] = {{3, 1}, {19, 17}, {0, 0}, {7, 1}, {35, 1}, {0xFFFFFFFF, 17}};
  for (const Case& c : cases) {
    auto setup = SetUpCOPY8(src->handle(), dst->handle(), nullptr, &sr, &dr, nullptr, c.in, 5,
                            lookup.data(), nullptr, 0, 0, 0, nullptr);
    ASSERT_TRUE(setup);
    EXPECT_EQ(setup->slot, kBlitFlagColor);
    EXPECT_EQ(setup->args.color, 250u);
    EXPECT_EQ(setup->args.lookupTable, nullptr);
    EXPECT_EQ(setup->args.mode, c.out) << "mode " << c.in;
  }
  COPY8(src->handle(), dst->handle(), nullptr, &sr, &dr, nullptr, 3, 5, lookup.data(), nullptr, 0,
        0, 0, nullptr);
  EXPECT_EQ(blittest::Pixels(*dst, 0, 0, 4, 1), (std::vector<UInt32>(4, 250)));
}

TEST(BlitDispatch, LookupAloneKeepsMode3) {
  auto src = MakeMap(8, 4, 1, 9);
  auto dst = MakeMap(8, 4, 1, 0);
  std::vector<UInt8> lookup(256, 1);
  const Rect sr = On(*src, 0, 0, 4, 1), dr = On(*dst, 0, 0, 4, 1);
  auto setup = SetUpSCALE8(src->handle(), dst->handle(), nullptr, &sr, &dr, nullptr, 3,
                           kBlitNoColor, lookup.data(), nullptr, 0, 0, 0, nullptr);
  ASSERT_TRUE(setup);
  EXPECT_EQ(setup->slot, kBlitFlagLookup);
  EXPECT_EQ(setup->args.mode, 3u);
  EXPECT_EQ(setup->args.lookupTable, lookup.data());
}

TEST(BlitDispatch, OnlyTheEightBitFamiliesPassATranslucencyTable) {
  auto src16 = MakeMap(16, 4, 4, 1), dst16 = MakeMap(16, 4, 4, 2);
  auto src32 = MakeMap(32, 4, 4, 1), dst32 = MakeMap(32, 4, 4, 2);
  auto src8 = MakeMap(8, 4, 4, 1), dst8 = MakeMap(8, 4, 4, 2);
  std::vector<UInt16> t16(16);
  std::vector<UInt32> t32(16);
  std::vector<UInt8> t8(65536);
  const Rect r = On(*src16, 0, 0, 4, 4), big = On(*dst32, 0, 0, 4, 4);
  auto c16 = SetUpCOPY16(src16->handle(), dst16->handle(), nullptr, &r, &r, nullptr, 0,
                         kBlitNoColor, nullptr, t16.data(), 0, 0, 0, nullptr);
  ASSERT_TRUE(c16);
  EXPECT_EQ(c16->slot & kBlitFlagTrans, 0u);
  EXPECT_EQ(c16->args.transTable, nullptr);
  const Rect smaller = On(*dst32, 0, 0, 2, 2);
  auto s32 = SetUpSCALE32(src32->handle(), dst32->handle(), nullptr, &big, &smaller, nullptr, 0,
                          kBlitNoColor, nullptr, t32.data(), 0, 0, 0, nullptr);
  ASSERT_TRUE(s32);
  EXPECT_EQ(s32->slot & kBlitFlagTrans, 0u);
  EXPECT_EQ(s32->args.transTable, nullptr);
  auto c8 = SetUpCOPY8(src8->handle(), dst8->handle(), nullptr, &r, &r, nullptr, 0, kBlitNoColor,
                       nullptr, t8.data(), 0, 0, 0, nullptr);
  ASSERT_TRUE(c8);
  EXPECT_EQ(c8->slot, kBlitFlagTrans);
  EXPECT_EQ(c8->args.transTable, t8.data());
}

TEST(BlitDispatch, CopySizesMustMatchTheTurnedSource) {
  auto src = MakeMap(16, 10, 20, 0x11);
  auto dst = MakeMap(16, 20, 10, 0x22);
  const Rect sr = On(*src, 0, 0, 10, 20), dr = On(*dst, 0, 0, 20, 10);
  EXPECT_TRUE(SetUpCOPY16(src->handle(), dst->handle(), nullptr, &sr, &dr, nullptr, 0,
                          kBlitNoColor, nullptr, nullptr, 0, 0, 1, nullptr));
  EXPECT_FALSE(SetUpCOPY16(src->handle(), dst->handle(), nullptr, &sr, &dr, nullptr, 0,
                           kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr));
  COPY16(src->handle(), dst->handle(), nullptr, &sr, &dr, nullptr, 0, kBlitNoColor, nullptr,
         nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(dst->Get(0, 0), 0x22u);
  COPY16(src->handle(), dst->handle(), nullptr, &sr, &dr, nullptr, 0, kBlitNoColor, nullptr,
         nullptr, 0, 0, 1, nullptr);
  EXPECT_EQ(blittest::Pixels(*dst, 0, 0, 20, 10), std::vector<UInt32>(200, 0x11));
}

TEST(BlitDispatch, RequestsThatDrawNothing) {
  auto src = MakeMap(16, 8, 8, 0x11);
  auto dst = MakeMap(16, 8, 8, 0x22);
  const Rect r = On(*dst, 0, 0, 8, 8);
  const Rect outside = On(*dst, 20, 20, 30, 30);
  PixMapPtr nilMaster = nullptr;
  EXPECT_FALSE(SetUpCOPY16(src->handle(), dst->handle(), nullptr, &r, &r, &outside, 0,
                           kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr));
  EXPECT_FALSE(SetUpCOPY16(nullptr, dst->handle(), nullptr, &r, &r, nullptr, 0, kBlitNoColor,
                           nullptr, nullptr, 0, 0, 0, nullptr));
  EXPECT_FALSE(SetUpCOPY16(src->handle(), &nilMaster, nullptr, &r, &r, nullptr, 0, kBlitNoColor,
                           nullptr, nullptr, 0, 0, 0, nullptr));
  EXPECT_FALSE(SetUpCOPY16(src->handle(), dst->handle(), nullptr, &r, &r, nullptr, 0,
                           kBlitNoColor, nullptr, nullptr, 0, 0, 4, nullptr));
  EXPECT_FALSE(SetUpSCALE16(src->handle(), dst->handle(), nullptr, &r, &r, nullptr, 0,
                            kBlitNoColor, nullptr, nullptr, 0, 0, -1, nullptr));
  const Rect inverted = On(*src, 4, 4, 2, 2);
  EXPECT_FALSE(SetUpSCALE16(src->handle(), dst->handle(), nullptr, &inverted, &r, nullptr, 0,
                            kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr));
  COPY16(src->handle(), dst->handle(), nullptr, &r, &r, &outside, 0, kBlitNoColor, nullptr,
         nullptr, 0, 0, 0, nullptr);
  SCALE16(src->handle(), dst->handle(), nullptr, &inverted, &r, nullptr, 0, kBlitNoColor, nullptr,
          nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(blittest::Pixels(*dst, 0, 0, 8, 8), std::vector<UInt32>(64, 0x22));
}

TEST(BlitDispatch, Mode64ReachesTheKernelAndDrawsNothing) {
  auto src = MakeMap(32, 6, 6, 0x11);
  auto dst = MakeMap(32, 6, 6, 0x22);
  const Rect r = On(*dst, 0, 0, 6, 6), half = On(*dst, 0, 0, 3, 3);
  auto setup = SetUpCOPY32(src->handle(), dst->handle(), nullptr, &r, &r, nullptr, 64,
                           kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr);
  ASSERT_TRUE(setup);
  EXPECT_EQ(setup->args.mode, 64u);
  COPY32(src->handle(), dst->handle(), nullptr, &r, &r, nullptr, 64, kBlitNoColor, nullptr,
         nullptr, 0, 0, 0, nullptr);
  SCALE32(src->handle(), dst->handle(), nullptr, &r, &half, nullptr, 64, kBlitNoColor, nullptr,
          nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(blittest::Pixels(*dst, 0, 0, 6, 6), std::vector<UInt32>(36, 0x22));
}

TEST(BlitDispatch, MaskFollowsTheClippedDestination) {
  auto src = MakeMap(16, 10, 4, 0x11);
  auto dst = MakeMap(16, 10, 4, 0x22);
  auto mask = MakeMap(16, 20, 6, 0x7FFF);
  const Rect r = On(*dst, 0, 0, 10, 4);
  const Rect clip = On(*dst, 2, 0, 10, 4);
  // The mask rect is in the destination's coordinates.
  const Rect maskRect = On(*dst, 5, 1, 15, 5);
  auto setup = SetUpCOPY16(src->handle(), dst->handle(), mask->handle(), &r, &r, &clip, 0,
                           kBlitNoColor, nullptr, nullptr, 0, 0, 0, &maskRect);
  ASSERT_TRUE(setup);
  EXPECT_EQ(setup->slot, kBlitFlagMask);
  const UInt16* maskBase = reinterpret_cast<const UInt16*>(mask->pixmap().baseAddr);
  const UInt32 stride = setup->args.maskRowPixels;
  EXPECT_EQ(stride, static_cast<UInt32>(mask->pixmap().rowBytes & 0x7FFF) / 2);
  EXPECT_EQ(setup->args.maskStart, maskBase + 1 * stride + 5 + 2);
  // Without a mask rect the mask is read at the clipped destination's offset.
  setup = SetUpCOPY16(src->handle(), dst->handle(), mask->handle(), &r, &r, &clip, 0,
                      kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr);
  ASSERT_TRUE(setup);
  EXPECT_EQ(setup->args.maskStart, maskBase + 2);
}

TEST(BlitDispatch, NoRequestReachesAStub) {
  auto src = MakeMap(16, 4, 4, 1), dst = MakeMap(16, 4, 4, 2), mask = MakeMap(16, 4, 4, 3);
  std::vector<UInt16> lookup(65536, 1);
  const Rect r = On(*dst, 0, 0, 4, 4);
  for (int withMask = 0; withMask < 2; ++withMask) {
    for (int withLookup = 0; withLookup < 2; ++withLookup) {
      for (UInt32 color : {kBlitNoColor, 0u, 0x7FFFu}) {
        for (BlitMode mode : {0u, 3u, 19u}) {
          auto setup = SetUpCOPY16(src->handle(), dst->handle(), withMask ? mask->handle() : nullptr,
                                   &r, &r, nullptr, mode, color,
                                   withLookup ? lookup.data() : nullptr, lookup.data(), 0, 0, 0,
                                   nullptr);
          ASSERT_TRUE(setup);
          EXPECT_LT(setup->slot, 12u);
        }
      }
    }
  }
}

}  // namespace
