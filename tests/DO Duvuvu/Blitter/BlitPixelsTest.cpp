#include <gtest/gtest.h>

#include <vector>

#include "BlitDispatch.h"
#include "BlitTestMaps.h"
#include "BlitVariants.h"

namespace {

using blittest::MakeMap;
using blittest::On;
using Pixels = std::vector<UInt32>;

TEST(BlitPixels, ClippedFillWritesTheColoursLowBitsInsideOnly) {
  auto map = MakeMap(16, 640, 480, 0x1111);
  const Rect all = On(*map, 0, 0, 640, 480);
  const Rect clip = On(*map, 17, 33, 600, 401);
  COPY16(map->handle(), map->handle(), nullptr, &all, &all, &clip, 0, 0x00012345, nullptr, nullptr,
         0, 0, 0, nullptr);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const bool inside = x >= 17 && x < 600 && y >= 33 && y < 401;
      ASSERT_EQ(map->Get(x, y), inside ? 0x2345u : 0x1111u) << x << "," << y;
    }
  }
}

// One row of source pixels over dst, through COPYn and through SCALEn at equal size.
struct RowCase {
  int depth;
  BlitMode mode;
  Pixels src, dst, want;
};

void RunRow(const RowCase& c) {
  const int n = static_cast<int>(c.src.size());
  for (int scale = 0; scale < 2; ++scale) {
    SCOPED_TRACE(testing::Message() << "depth " << c.depth << " mode " << c.mode << " scale " << scale);
    auto src = MakeMap(c.depth, n, 1, 0);
    auto dst = MakeMap(c.depth, n, 1, 0);
    for (int i = 0; i < n; ++i) {
      src->Set(i, 0, c.src[i]);
      dst->Set(i, 0, c.dst[i]);
    }
    const Rect r = On(*src, 0, 0, n, 1);
    const Rect tall = On(*src, 0, 0, n, 1);
    const Rect squat = On(*dst, 0, 0, n, 1);
    auto go = [&](auto copy, auto scaler, auto* nilTable) {
      if (scale) {
        scaler(src->handle(), dst->handle(), nullptr, &tall, &squat, nullptr, c.mode, kBlitNoColor,
               nilTable, nilTable, 0, 0, 0, nullptr);
      } else {
        copy(src->handle(), dst->handle(), nullptr, &r, &r, nullptr, c.mode, kBlitNoColor, nilTable,
             nilTable, 0, 0, 0, nullptr);
      }
    };
    if (c.depth == 8) go(COPY8, SCALE8, static_cast<const UInt8*>(nullptr));
    if (c.depth == 16) go(COPY16, SCALE16, static_cast<const UInt16*>(nullptr));
    if (c.depth == 32) go(COPY32, SCALE32, static_cast<const UInt32*>(nullptr));
    EXPECT_EQ(blittest::Pixels(*dst, 0, 0, n, 1), c.want);
  }
}

TEST(BlitPixels, KeysAreWholePixels) {
  const RowCase cases[] = {
      {16, 1, {0x7FFF, 0xFFFF, 0x0001}, {9, 9, 9}, {9, 0xFFFF, 0x0001}},
      {32, 1, {0x00FFFFFF, 0xFFFFFFFF, 0x01FFFFFF}, {9, 9, 9}, {9, 0xFFFFFFFF, 0x01FFFFFF}},
      {8, 1, {0, 1, 255}, {9, 9, 9}, {9, 1, 255}},
      // Mode 2 also keeps destination key pixels.
      {16, 2, {0x7FFF, 5, 6, 7}, {1, 0x7FFF, 2, 0xFFFF}, {1, 0x7FFF, 6, 7}},
      {32, 2, {3, 4}, {0x00FFFFFF, 8}, {0x00FFFFFF, 4}},
      {8, 2, {0, 5, 6}, {1, 0, 2}, {1, 0, 6}},
      {16, 0, {0x7FFF, 0xFFFF}, {1, 1}, {0x7FFF, 0xFFFF}},
  };
  for (const RowCase& c : cases) RunRow(c);
}

TEST(BlitPixels, MaskAdvancesForEveryPixelDrawnOrNot) {
  auto src = MakeMap(16, 6, 1, 0);
  auto dst = MakeMap(16, 6, 1, 1);
  auto mask = MakeMap(16, 6, 1, 0);
  const Pixels srcPixels{0x7FFF, 2, 0x7FFF, 4, 5, 6};
  const Pixels maskPixels{0x7FFF, 0, 0x7FFF, 0x7FFF, 0, 0x7FFF};
  for (int i = 0; i < 6; ++i) {
    src->Set(i, 0, srcPixels[i]);
    mask->Set(i, 0, maskPixels[i]);
  }
  const Rect r = On(*src, 0, 0, 6, 1);
  COPY16(src->handle(), dst->handle(), mask->handle(), &r, &r, nullptr, 1, kBlitNoColor, nullptr,
         nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(blittest::Pixels(*dst, 0, 0, 6, 1), (Pixels{1, 1, 1, 4, 1, 6}));
  // Mode 16 draws exactly where mode 0 does not.
  auto dst2 = MakeMap(16, 6, 1, 1);
  COPY16(src->handle(), dst2->handle(), mask->handle(), &r, &r, nullptr, 16, kBlitNoColor, nullptr,
         nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(blittest::Pixels(*dst2, 0, 0, 6, 1), (Pixels{1, 2, 1, 1, 5, 1}));
}

// The dispatcher's set-up for a one-row 16-bit copy, with the slot's own flags.
struct DirectCopy {
  std::unique_ptr<blitref::TestMap> src, dst, mask;
  BlitVariantArgs<UInt16> args;

  DirectCopy(const Pixels& srcPixels, const Pixels& dstPixels, UInt32 maskFill) {
    const int n = static_cast<int>(srcPixels.size());
    src = MakeMap(16, n, 1, 0);
    dst = MakeMap(16, n, 1, 0);
    mask = MakeMap(16, n, 1, maskFill);
    for (int i = 0; i < n; ++i) {
      src->Set(i, 0, srcPixels[i]);
      dst->Set(i, 0, dstPixels[i]);
    }
    const Rect r = On(*src, 0, 0, n, 1);
    args = SetUpCOPY16(src->handle(), dst->handle(), mask->handle(), &r, &r, nullptr, 0,
                       kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr)
               ->args;
  }
  Pixels Result() const { return blittest::Pixels(*dst, 0, 0, dst->width(), 1); }
};

TEST(BlitPixels, Mode3DestinationTestBelongsToSlot11NotSlot9) {
  std::vector<UInt16> lookup(65536, 0x0123);
  std::vector<UInt16> trans((0x0123 << 8) + 0x8000, 0x0456);
  DirectCopy slot9({5, 6}, {0x7FFF, 1}, 0x7FFF);
  slot9.args.mode = 3;
  slot9.args.lookupTable = lookup.data();
  COPY16Variants[9](slot9.args);
  EXPECT_EQ(slot9.Result(), (Pixels{0x0123, 0x0123}));

  DirectCopy slot11({5, 6}, {0x7FFF, 1}, 0x7FFF);
  slot11.args.mode = 3;
  slot11.args.lookupTable = lookup.data();
  slot11.args.transTable = trans.data();
  COPY16Variants[11](slot11.args);
  EXPECT_EQ(slot11.Result(), (Pixels{0x7FFF, 0x0456}));
}

TEST(BlitPixels, Mode17WithoutAMaskDrawsNothing) {
  for (unsigned slot : {0u, 4u}) {
    DirectCopy c({5, 6}, {1, 2}, 0x7FFF);
    c.args.mode = 17;
    c.args.maskStart = nullptr;
    c.args.color = 0x0777;
    COPY16Variants[slot](c.args);
    SCALE16Variants[slot](c.args);
    EXPECT_EQ(c.Result(), (Pixels{1, 2})) << "slot " << slot;
  }
}

TEST(BlitPixels, LookupIsIndexedByTheWholePixel) {
  std::vector<UInt16> lookup(65536, 0x0001);
  lookup[0xFFFF] = 0x0BCD;
  lookup[0x0002] = 0x7FFF;
  auto src = MakeMap(16, 3, 1, 0);
  auto dst = MakeMap(16, 3, 1, 9);
  src->Set(0, 0, 0xFFFF);
  src->Set(1, 0, 0x0002);
  src->Set(2, 0, 0x0003);
  const Rect r = On(*src, 0, 0, 3, 1);
  COPY16(src->handle(), dst->handle(), nullptr, &r, &r, nullptr, 3, kBlitNoColor, lookup.data(),
         nullptr, 0, 0, 0, nullptr);
  EXPECT_EQ(blittest::Pixels(*dst, 0, 0, 3, 1), (Pixels{0x0BCD, 9, 0x0001}));
}

TEST(BlitPixels, AllFlagsColourThroughTranslucencyInMode1) {
  const UInt32 color = 3;
  std::vector<UInt16> trans((color << 8) + 256, 0);
  for (UInt32 d = 0; d < 256; ++d) trans[(color << 8) + d] = static_cast<UInt16>(0x1000 + d);
  DirectCopy c({0x7FFF, 7, 8, 0x7FFF, 9}, {10, 11, 12, 13, 14}, 0);
  c.args.mode = 1;
  c.args.maskStart = nullptr;
  c.args.color = color;
  c.args.transTable = trans.data();
  COPY16AllFlagsBlit(c.args);
  EXPECT_EQ(c.Result(), (Pixels{10, 0x1000 + 11, 0x1000 + 12, 13, 0x1000 + 14}));
}

TEST(BlitPixels, AllFlagsMode3WithoutALookupTableDrawsNothing) {
  for (BlitMode mode : {3u, 19u}) {
    DirectCopy c({5, 6}, {1, 2}, 0x7FFF);
    c.args.mode = mode;
    c.args.lookupTable = nullptr;
    COPY16AllFlagsBlit(c.args);
    c.args.maskStart = nullptr;
    COPY16AllFlagsBlit(c.args);
    EXPECT_EQ(c.Result(), (Pixels{1, 2}));
  }
}

// Copies within one map whose source and destination overlap must equal the
// forward pixel-by-pixel walk.
TEST(BlitPixels, OverlappingCopiesFollowTheForwardWalk) {
  for (int shift : {-3, -1, 1, 3}) {
    for (BlitMode mode : {0u, 1u}) {
      SCOPED_TRACE(testing::Message() << "shift " << shift << " mode " << mode);
      auto map = MakeMap(16, 40, 1, 0);
      Pixels want(40);
      for (int i = 0; i < 40; ++i) {
        want[i] = i % 5 == 0 ? 0x7FFF : static_cast<UInt32>(100 + i);
        map->Set(i, 0, want[i]);
      }
      const int from = 8, to = 8 + shift, n = 24;
      for (int i = 0; i < n; ++i) {
        const UInt32 s = want[from + i];
        if (mode == 0 || s != 0x7FFF) want[to + i] = s;
      }
      const Rect sr = On(*map, from, 0, from + n, 1), dr = On(*map, to, 0, to + n, 1);
      COPY16(map->handle(), map->handle(), nullptr, &sr, &dr, nullptr, mode, kBlitNoColor, nullptr,
             nullptr, 0, 0, 0, nullptr);
      EXPECT_EQ(blittest::Pixels(*map, 0, 0, 40, 1), want);
    }
  }
}

}  // namespace
