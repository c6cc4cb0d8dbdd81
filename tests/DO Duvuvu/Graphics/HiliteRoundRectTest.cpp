#include <gtest/gtest.h>

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
  PixMapHandle Map(SInt16 depth) {
    PixMapHandle pm = nullptr;
    const Rect bounds{0, 0, 64, 64};
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
