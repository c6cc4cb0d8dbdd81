#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "Memory.h"
#include "PixMapDrawing.h"
#include "PixelEffects.h"
#include "PortsTestSupport.h"

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

template <typename Pixel>
Pixel* Row(PixMapHandle pm, int y) {
  return reinterpret_cast<Pixel*>((*pm)->baseAddr + y * ((*pm)->rowBytes & kPixMapRowBytesMask));
}

class PixelEffects : public portstest::PortsTest {
 protected:
  void SetUp() override {
    PortsTest::SetUp();
    InstallPixMapHooks();
    SetDissolveSeedSource([] { return SInt32{0}; });
  }
  void TearDown() override {
    for (PixMapHandle& pm : maps_) DestroyPixMap(&pm);
    SetDissolveSeedSource(nullptr);
    PortsTest::TearDown();
  }
  PixMapHandle Map(SInt16 depth, const Rect& bounds) {
    PixMapHandle pm = nullptr;
    EXPECT_EQ(CreatePixMap(depth, &pm, &bounds, 1, 1, 1), 0);
    EXPECT_EQ((*pm)->pixelDepth, depth);
    maps_.push_back(pm);
    return pm;
  }

 private:
  std::vector<PixMapHandle> maps_;
};

std::vector<int> Bytes(PixMapHandle pm, int y, int from, int count) {
  std::vector<int> out;
  for (int x = from; x < from + count; ++x) out.push_back(Row<UInt8>(pm, y)[x]);
  return out;
}

TEST_F(PixelEffects, DissolveFillFollowsItsGenerator) {
  PixMapHandle pm = Map(8, Rect{10, 20, 14, 30});
  const Rect rect{10, 20, 11, 24};
  std::fill(Row<UInt8>(pm, 0), Row<UInt8>(pm, 0) + 10, 9);
  DissolveFill(pm, &rect, nullptr, 0, nullptr, 255);
  EXPECT_EQ(Bytes(pm, 0, 0, 5), (std::vector<int>{65, 172, 178, 137, 9}));
  UInt8 reversed[256];
  for (int i = 0; i < 256; ++i) reversed[i] = static_cast<UInt8>(255 - i);
  DissolveFill(pm, &rect, nullptr, 0, reversed, 255);
  EXPECT_EQ(Bytes(pm, 0, 0, 4), (std::vector<int>{190, 83, 77, 118}));

  std::fill(Row<UInt8>(pm, 0), Row<UInt8>(pm, 0) + 10, 9);
  DissolveFill(pm, &rect, nullptr, 1, nullptr, 128);
  EXPECT_EQ(Bytes(pm, 0, 0, 4), (std::vector<int>{172, 9, 9, 24}));
  DissolveFill(pm, &rect, nullptr, 0, nullptr, 128);
  EXPECT_EQ(Bytes(pm, 0, 0, 4), (std::vector<int>{172, 255, 255, 24}));

  DissolveFill(pm, &rect, nullptr, 1, nullptr, 0);
  EXPECT_EQ(Bytes(pm, 0, 0, 4), (std::vector<int>{172, 255, 255, 24}));
  DissolveFill(pm, &rect, nullptr, 0, nullptr, 0);
  EXPECT_EQ(Bytes(pm, 0, 0, 5), (std::vector<int>{0, 0, 0, 0, 9}));
}

TEST_F(PixelEffects, DissolveFillStaysInsideTheClipAndTheBounds) {
  PixMapHandle pm = Map(8, Rect{0, 0, 4, 8});
  for (int y = 0; y < 4; ++y) std::fill(Row<UInt8>(pm, y), Row<UInt8>(pm, y) + 8, 9);
  const Rect wide{-5, -5, 20, 20};  // past every side (ASan)
  const Rect clip{1, 2, 3, 6};
  DissolveFill(pm, &wide, &clip, 0, nullptr, 255);
  EXPECT_EQ(Bytes(pm, 0, 0, 8), (std::vector<int>(8, 9)));
  EXPECT_EQ(Bytes(pm, 1, 0, 2), (std::vector<int>{9, 9}));
  EXPECT_EQ(Row<UInt8>(pm, 1)[2], 65);
  EXPECT_EQ(Bytes(pm, 2, 6, 2), (std::vector<int>{9, 9}));
  DissolveFill(pm, &wide, nullptr, 0, nullptr, 255);
  EXPECT_EQ(Row<UInt8>(pm, 0)[0], 65);
  EXPECT_EQ(Row<UInt8>(pm, 0)[1], 172);
}

// The open rect covers any map, wherever its bounds start.
TEST_F(PixelEffects, TheOpenRectCoversTheWholeMap) {
  const Rect open{-32768, -32768, 32767, 32767};
  PixMapHandle pm8 = Map(8, Rect{30, 40, 32, 44});
  for (const Rect* clip : {static_cast<const Rect*>(nullptr), &open}) {
    for (int y = 0; y < 2; ++y) std::fill(Row<UInt8>(pm8, y), Row<UInt8>(pm8, y) + 4, 9);
    DissolveFill(pm8, &open, clip, 0, nullptr, 255);
    EXPECT_EQ(Bytes(pm8, 0, 0, 4), (std::vector<int>{65, 172, 178, 137})) << (clip ? "open clip" : "no clip");
    EXPECT_EQ(Bytes(pm8, 1, 0, 4), (std::vector<int>{35, 24, 27, 54})) << (clip ? "open clip" : "no clip");
  }

  PixMapHandle pm16 = Map(16, Rect{-7, 100, -6, 104});
  for (int x = 0; x < 4; ++x) Row<UInt16>(pm16, 0)[x] = static_cast<UInt16>(x + 1);
  MirrorRect16(pm16, &open);
  EXPECT_EQ(std::vector<UInt16>(Row<UInt16>(pm16, 0), Row<UInt16>(pm16, 0) + 4), (std::vector<UInt16>{4, 3, 2, 1}));
}

// A global table copied over a smaller one keeps the larger size field: the
// fill at density 0 never reads past its block (ASan).
TEST_F(PixelEffects, DensityZeroReadsTheGlobalTableOnlyInsideItsBlock) {
  const CTabHandle saved = GlobalColorTable;
  auto small = reinterpret_cast<CTabHandle>(NewHandleBlockClear(offsetof(CTable, table) + 16 * sizeof(ColorSpecEntry)));
  (*small)->size = 255;
  GlobalColorTable = small;
  PixMapHandle pm = Map(8, Rect{0, 0, 2, 4});
  std::fill(Row<UInt8>(pm, 0), Row<UInt8>(pm, 0) + 4, 9);
  const Rect rect{0, 0, 1, 4};
  UInt8 lookup[256] = {};
  lookup[255] = 3;
  DissolveFill(pm, &rect, nullptr, 0, lookup, 0);
  DissolveFill(pm, &rect, nullptr, 0, nullptr, 0);
  EXPECT_EQ(Bytes(pm, 0, 0, 4), (std::vector<int>{0, 0, 0, 0}));
  GlobalColorTable = saved;
  DisposeHandleBlock(reinterpret_cast<Handle>(small));
}

TEST(RectTransforms, RotateRectQuarter) {
  struct Case {
    Rect in;
    SInt16 turns;
    Rect out;
  };
  const Case cases[] = {
      {{0, 0, 10, 30}, 1, {-10, 10, 20, 20}}, {{0, 0, 10, 30}, 3, {-10, 10, 20, 20}},
      {{0, 0, 10, 30}, -1, {-10, 10, 20, 20}}, {{0, 0, 10, 30}, 2, {0, 0, 10, 30}},
      {{0, 0, 11, 30}, 1, {-10, 10, 20, 21}},
  };
  for (const Case& c : cases) {
    Rect out;
    RotateRectQuarter(&c.in, &out, c.turns);
    EXPECT_TRUE(SameRect(out, c.out)) << c.turns << " " << out.top << "," << out.left << "," << out.bottom << ","
                                      << out.right;
  }
}

TEST(RectTransforms, TransformSubRect) {
  const Rect square{0, 0, 32, 32};
  const Rect part{0, 0, 8, 16};
  struct Case {
    Rect target;
    UInt8 flipH, flipV;
    SInt8 rotation;
    Rect out;
  };
  const Case cases[] = {
      {square, 0, 0, 0, {0, 0, 8, 16}},     {square, 0, 0, 1, {16, 0, 32, 8}},
      {square, 0, 0, 2, {24, 16, 32, 32}},  {square, 0, 0, 3, {0, 24, 16, 32}},
      {square, 1, 0, 0, {0, 16, 8, 32}},    {square, 1, 0, 1, {0, 0, 16, 8}},
      {square, 0, 1, 0, {24, 0, 32, 16}},   {{100, 200, 164, 264}, 0, 0, 0, {116, 216, 124, 232}},
  };
  for (const Case& c : cases) {
    Rect out;
    TransformSubRect(&square, &part, &c.target, &out, c.flipH, c.flipV, c.rotation);
    EXPECT_TRUE(SameRect(out, c.out)) << int{c.rotation} << " h" << int{c.flipH} << " v" << int{c.flipV} << ": "
                                      << out.top << "," << out.left << "," << out.bottom << "," << out.right;
  }
  Rect out;
  TransformSubRect(&square, &square, &square, &out, 0, 0, 0);
  EXPECT_TRUE(SameRect(out, square));
}

TEST_F(PixelEffects, MirrorRect16StaysInsideTheBounds) {
  PixMapHandle pm = Map(16, Rect{0, 0, 2, 5});
  for (int x = 0; x < 5; ++x) Row<UInt16>(pm, 0)[x] = static_cast<UInt16>(x + 1);
  const Rect all{0, 0, 1, 5};
  MirrorRect16(pm, &all);
  EXPECT_EQ(std::vector<UInt16>(Row<UInt16>(pm, 0), Row<UInt16>(pm, 0) + 5), (std::vector<UInt16>{5, 4, 3, 2, 1}));
  MirrorRect16(pm, &all);
  EXPECT_EQ(std::vector<UInt16>(Row<UInt16>(pm, 0), Row<UInt16>(pm, 0) + 5), (std::vector<UInt16>{1, 2, 3, 4, 5}));
  const Rect past{-4, -3, 1, 3};
  MirrorRect16(pm, &past);
  EXPECT_EQ(std::vector<UInt16>(Row<UInt16>(pm, 0), Row<UInt16>(pm, 0) + 5), (std::vector<UInt16>{3, 2, 1, 4, 5}));
}

TEST_F(PixelEffects, CopyBits8To8ClipsBothSides) {
  PixMapHandle src = Map(8, Rect{0, 0, 4, 8});
  PixMapHandle dst = Map(8, Rect{0, 0, 4, 8});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) Row<UInt8>(src, y)[x] = static_cast<UInt8>(10 * y + x + 1);
  const Rect r{0, 0, 2, 8};
  const Rect clip{0, 2, 4, 8};
  CopyBits8To8(src, dst, &r, &r, &clip);
  EXPECT_EQ(Bytes(dst, 0, 0, 8), (std::vector<int>{0, 0, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(Bytes(dst, 1, 0, 3), (std::vector<int>{0, 0, 13}));
  EXPECT_EQ(Bytes(dst, 2, 0, 8), (std::vector<int>(8, 0)));

  // A source rect past its bounds copies only its inside, at the matching place.
  PixMapHandle out = Map(8, Rect{0, 0, 8, 16});
  const Rect sourcePast{2, 4, 6, 12};
  const Rect destination{0, 0, 4, 8};
  CopyBits8To8(src, out, &sourcePast, &destination, &(*out)->bounds);
  EXPECT_EQ(Bytes(out, 0, 0, 8), (std::vector<int>{25, 26, 27, 28, 0, 0, 0, 0}));
  EXPECT_EQ(Bytes(out, 1, 0, 5), (std::vector<int>{35, 36, 37, 38, 0}));
  EXPECT_EQ(Bytes(out, 2, 0, 8), (std::vector<int>(8, 0)));
}

TEST_F(PixelEffects, RoundRectCopyMatchesThePlainCopy) {
  PixMapHandle src = Map(16, Rect{0, 0, 16, 16});
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) Row<UInt16>(src, y)[x] = static_cast<UInt16>(y * 16 + x);
  struct Case {
    Rect source, destination;
  };
  for (const Case& c : {Case{{0, 0, 8, 8}, {2, 2, 10, 10}}, Case{{0, 0, 8, 8}, {0, 0, 16, 16}}}) {
    PixMapHandle a = Map(16, Rect{0, 0, 32, 32});
    PixMapHandle b = Map(16, Rect{0, 0, 32, 32});
    EXPECT_EQ(CopyPixMapBits(*src, *a, &c.source, &c.destination, kCopyModeCopy, nullptr), 0);
    // The region's frames are never painted into the current port.
    SetCurrentPort(GetPixMapGWorld(b));
    EXPECT_EQ(CopyPixMapBitsRoundRect(*src, *b, &c.source, &c.destination, kCopyModeCopy, 12, 1), 0);
    for (int y = 0; y < 32; ++y)
      ASSERT_EQ(std::vector<UInt16>(Row<UInt16>(a, y), Row<UInt16>(a, y) + 32),
                std::vector<UInt16>(Row<UInt16>(b, y), Row<UInt16>(b, y) + 32))
          << y;
  }
}

}  // namespace
