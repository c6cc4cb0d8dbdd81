#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GLFrame.h"
#include "PixelEffects.h"
#include "PortsTestSupport.h"

namespace {

UInt16 At(PixMapHandle pm, int x, int y) {
  return reinterpret_cast<const UInt16*>((*pm)->baseAddr + y * ((*pm)->rowBytes & kPixMapRowBytesMask))[x];
}

void Fill16(PixMapHandle pm, UInt16 value) {
  const PixMap& map = **pm;
  for (int y = 0; y < map.bounds.bottom - map.bounds.top; ++y) {
    auto* row = reinterpret_cast<UInt16*>(map.baseAddr + y * (map.rowBytes & kPixMapRowBytesMask));
    std::fill(row, row + (map.bounds.right - map.bounds.left), value);
  }
}

class Hilite : public portstest::PortsTest {
 protected:
  void SetUp() override {
    PortsTest::SetUp();
    InstallPixMapHooks();
    savedScreen_ = ScreenRect;
    ScreenRect = Rect{0, 0, 480, 640};
  }
  void TearDown() override {
    for (PixMapHandle& pm : maps_) DestroyPixMap(&pm);
    ScreenRect = savedScreen_;
    PortsTest::TearDown();
  }
  PixMapHandle Map(SInt16 depth, const Rect& bounds = Rect{0, 0, 64, 64}) {
    PixMapHandle pm = nullptr;
    EXPECT_EQ(CreatePixMap(depth, &pm, &bounds, 1, 1, 1), 0);
    maps_.push_back(pm);
    return pm;
  }
  const Rect area{0, 0, 40, 40};

 private:
  std::vector<PixMapHandle> maps_;
  Rect savedScreen_{};
};

TEST_F(Hilite, EightBitMapsTakeThePlainCopy) {
  PixMapHandle src = Map(8);
  PixMapHandle dst = Map(8);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      (*src)->baseAddr[y * ((*src)->rowBytes & kPixMapRowBytesMask) + x] = static_cast<char>(x + y);
      (*dst)->baseAddr[y * ((*dst)->rowBytes & kPixMapRowBytesMask) + x] = 7;
    }
  const Rect rr{10, 10, 50, 50};
  HiliteRoundRect(src, dst, &area, &rr, 12, 40, 1);
  auto at = [](PixMapHandle pm, int x, int y) {
    return static_cast<UInt8>((*pm)->baseAddr[y * ((*pm)->rowBytes & kPixMapRowBytesMask) + x]);
  };
  for (int y : {0, 31, 32, 39})
    for (int x : {0, 31, 32, 39}) ASSERT_EQ(at(dst, 10 + x, 10 + y), x + y) << x << "," << y;
  EXPECT_EQ(at(dst, 9, 10), 7);
  EXPECT_EQ(at(dst, 50, 50), 7);
}

TEST_F(Hilite, LevelsTintTheAreaTileByTile) {
  PixMapHandle src = Map(16);
  PixMapHandle dst = Map(16);
  struct Case {
    UInt16 source;
    SInt16 level;
    UInt16 expected;
  };
  const Case cases[] = {
      {0x7FFF, 12, 0x3DEF}, {0x7FFF, 24, 0x7FFF}, {0x0000, 36, 0x4210},
      {0x0000, 48, 0x7FFF}, {0x0000, 60, 0x7FFF}, {0x0000, 0, 0x0000},
  };
  for (const Case& c : cases) {
    Fill16(src, c.source);
    Fill16(dst, 0x1234);
    // The destination's world is current: a painted frame would show there.
    SetCurrentPort(GetPixMapGWorld(dst));
    HiliteRoundRect(src, dst, &area, &area, 12, c.level, 1);
    for (int y : {0, 31, 32, 39})
      for (int x : {0, 31, 32, 39}) ASSERT_EQ(At(dst, x, y), c.expected) << c.level << " at " << x << "," << y;
    for (int i : {40, 63}) {
      EXPECT_EQ(At(dst, i, 0), 0x1234) << c.level;
      EXPECT_EQ(At(dst, 0, i), 0x1234) << c.level;
    }
  }
}

// An area larger than the source takes only the source's pixels (ASan), each
// at its own place in the round rect.
TEST_F(Hilite, AnAreaPastTheSourceReadsOnlyTheSource) {
  struct Case {
    SInt16 depth;
    Rect area;
    int shiftX, shiftY;  // where the source's (0, 0) lands, from rr's corner
  };
  const Case cases[] = {
      {16, {0, 0, 40, 40}, 0, 0},  {8, {0, 0, 40, 40}, 0, 0},
      {16, {-3, -5, 37, 35}, 5, 3}, {8, {-3, -5, 37, 35}, 5, 3},
      {16, {-34, -33, 6, 7}, 33, 34},  // the first tile misses the source: it comes from the next
  };
  for (const Case& c : cases) {
    PixMapHandle src = Map(c.depth, Rect{0, 0, 8, 8});
    PixMapHandle dst = Map(c.depth);
    auto pixel = [&](PixMapHandle pm, int x, int y) -> UInt32 {
      const auto* row = (*pm)->baseAddr + y * ((*pm)->rowBytes & kPixMapRowBytesMask);
      return c.depth == 8 ? static_cast<UInt8>(row[x]) : reinterpret_cast<const UInt16*>(row)[x];
    };
    auto set = [&](PixMapHandle pm, int x, int y, UInt32 v) {
      auto* row = (*pm)->baseAddr + y * ((*pm)->rowBytes & kPixMapRowBytesMask);
      if (c.depth == 8)
        row[x] = static_cast<char>(v);
      else
        reinterpret_cast<UInt16*>(row)[x] = static_cast<UInt16>(v);
    };
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) set(dst, x, y, 7);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) set(src, x, y, 20 + 8 * y + x);
    const Rect rr{10, 10, 50, 50};
    SetCurrentPort(GetPixMapGWorld(dst));
    HiliteRoundRect(src, dst, &c.area, &rr, 12, 24, 0);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const int sx = x - 10 - c.shiftX, sy = y - 10 - c.shiftY;
        const bool inside = sx >= 0 && sx < std::min<int>(8, c.area.right) && sy >= 0 && sy < std::min<int>(8, c.area.bottom);
        ASSERT_EQ(pixel(dst, x, y), inside ? UInt32(20 + 8 * sy + sx) : 7u)
            << c.depth << " bits, area left " << c.area.left << ", at " << x << "," << y;
      }
  }
}

TEST_F(Hilite, MismatchedDepthsDrawNothing) {
  PixMapHandle src = Map(8);
  PixMapHandle dst = Map(16);
  Fill16(dst, 0x1234);
  HiliteRoundRect(src, dst, &area, &area, 12, 12, 0);
  EXPECT_EQ(At(dst, 5, 5), 0x1234);
}

TEST_F(Hilite, ThirtyTwoBitsAreFatal) {
  portstest::ExpectFatalBox(
      [this] {
        PixMapHandle src = Map(32);
        PixMapHandle dst = Map(32);
        HiliteRoundRect(src, dst, &area, &area, 12, 12, 0);
      },
      "", "Error: HiliteRoundRect needs to be finished for 32 bits");
}

}  // namespace
