#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "Memory.h"
#include "PixMapDrawing.h"
#include "PortsTestSupport.h"

namespace {

using portstest::Pixel16;
using portstest::Pixel32;

using Fills = portstest::PortsTest;
using Frames = portstest::PortsTest;

TEST_F(Fills, ForegroundColoursPackByDepth) {
  struct Case {
    SInt16 depth;
    ColorRGB color;
    UInt32 pixel;
  } cases[] = {
      {16, {65535, 0, 0}, 0x7C00},
      {16, {0x1234, 0x5678, 0x9ABC}, 0x0953},
      {32, {0x1234, 0x5678, 0x9ABC}, 0x0012569A},
      {32, {65535, 65535, 65535}, 0x00FFFFFF},
  };
  for (const Case& c : cases) {
    GWorldPtr world = UseNewWorld(c.depth, Rect{0, 0, 6, 6});
    world->foreColor = c.color;
    const Rect inner{1, 2, 4, 5};
    FillRectForeColor(&inner);
    for (int v = 0; v < 6; ++v)
      for (int h = 0; h < 6; ++h) {
        const bool inside = v >= 1 && v < 4 && h >= 2 && h < 5;
        const UInt32 got = c.depth == 16 ? Pixel16(world, h, v) : Pixel32(world, h, v);
        EXPECT_EQ(got, inside ? c.pixel : 0u) << c.depth << " at " << h << "," << v;
      }
    DestroyGWorld(world);
  }
}

TEST_F(Fills, EightBitMapsGetZeroAndEraseUsesTheBackground) {
  GWorldPtr world = UseNewWorld(8, Rect{0, 0, 2, 4});
  const PixMap* p = *world->portPixMap;
  std::memset(p->baseAddr, 0x55, 2 * (p->rowBytes & 0x7FFF));
  world->foreColor = ColorRGB{65535, 65535, 65535};
  const Rect all{0, 0, 2, 4};
  FillRectForeColor(&all);
  EXPECT_EQ(static_cast<UInt8>(p->baseAddr[3]), 0);
  DestroyGWorld(world);

  world = UseNewWorld(16, Rect{0, 0, 2, 2});
  world->backColor = ColorRGB{0, 65535, 0};
  const Rect two{0, 0, 2, 2};
  FillRectBackColor(&two);
  EXPECT_EQ(Pixel16(world, 1, 1), 0x03E0);
  DestroyGWorld(world);
}

// Counts the painted pixels (value 1) and checks none lies outside r.
int Painted(GWorldPtr world, int size) {
  int n = 0;
  for (int v = 0; v < size; ++v)
    for (int h = 0; h < size; ++h) n += Pixel16(world, h, v) != 0;
  return n;
}

TEST_F(Frames, BandsNeverOverlapOrMiss) {
  GWorldPtr world = UseNewWorld(16, Rect{0, 0, 40, 40});
  world->foreColor = ColorRGB{0, 0, 65535};
  world->penSize = Point{3, 3};
  const Rect small{0, 0, 4, 4};
  FrameRectWithPen(&small);
  EXPECT_EQ(Painted(world, 40), 16);

  const Rect all{0, 0, 40, 40};
  world->foreColor = ColorRGB{0, 0, 0};
  FillRectForeColor(&all);
  world->foreColor = ColorRGB{0, 0, 65535};
  world->penSize = Point{1, 1};
  const Rect ten{5, 5, 15, 15};
  FrameRectWithPen(&ten);
  EXPECT_EQ(Painted(world, 40), 36);
  EXPECT_EQ(Pixel16(world, 5, 5), 0x1F);
  EXPECT_EQ(Pixel16(world, 14, 14), 0x1F);
  EXPECT_EQ(Pixel16(world, 6, 6), 0);
  DestroyGWorld(world);
}

std::vector<UInt16> Snapshot(GWorldPtr world, int size) {
  std::vector<UInt16> pixels;
  for (int v = 0; v < size; ++v)
    for (int h = 0; h < size; ++h) pixels.push_back(Pixel16(world, h, v));
  return pixels;
}

TEST_F(Frames, RoundCornersFollowTheMaskTable) {
  GWorldPtr world = UseNewWorld(16, Rect{0, 0, 40, 40});
  world->foreColor = ColorRGB{65535, 0, 0};
  world->penSize = Point{1, 1};
  const Rect r{2, 2, 38, 38};
  const Rect all{0, 0, 40, 40};
  auto draw = [&](SInt16 diameter) {
    const ColorRGB fore = world->foreColor;
    world->foreColor = ColorRGB{0, 0, 0};
    FillRectForeColor(&all);
    world->foreColor = fore;
    if (diameter < 0)
      FrameRectWithPen(&r);
    else
      FrameRoundRectWithPen(&r, diameter);
    return Snapshot(world, 40);
  };
  EXPECT_EQ(draw(0), draw(-1));
  EXPECT_EQ(draw(40), draw(32));
  draw(20);
  // Diameter 20 leaves 7 pixels of the top row bare at each end.
  for (int h = 2; h < 9; ++h) EXPECT_EQ(Pixel16(world, h, 2), 0) << h;
  EXPECT_EQ(Pixel16(world, 9, 2), 0x7C00);
  EXPECT_EQ(Pixel16(world, 30, 2), 0x7C00);
  for (int h = 31; h < 38; ++h) EXPECT_EQ(Pixel16(world, h, 2), 0) << h;
  // The ring is one pixel thick: nothing inside the rect's interior.
  EXPECT_EQ(Pixel16(world, 20, 20), 0);
  DestroyGWorld(world);
}

// Copies ------------------------------------------------------------------------

using Copies = portstest::PortsTest;

struct Map {
  GWorldPtr world = nullptr;
  Map(SInt16 depth, SInt16 width, SInt16 height) {
    const Rect bounds{0, 0, height, width};
    CreateGWorld(&world, depth, &bounds, nullptr, 0, 0);
  }
  ~Map() { DestroyGWorld(world); }
  PixMap* pm() const { return *world->portPixMap; }
  template <typename T>
  T& At(int h, int v) const {
    return reinterpret_cast<T*>(pm()->baseAddr + v * (pm()->rowBytes & 0x7FFF))[h];
  }
  Rect bounds() const { return world->portRect; }
};

// A 2 x 1 8-bit map of pixels (index, second) over its own colour table: a
// block of `entries` entries whose size field says `size`, entry index set.
struct TabledSource {
  Map map{8, 2, 1};
  Handle table = nullptr;
  TabledSource(int entries, SInt16 size, UInt8 index, ColorSpecEntry color, UInt8 second) {
    table = NewHandleBlockClear(static_cast<UInt32>(offsetof(CTable, table) + entries * sizeof(ColorSpecEntry)));
    auto* ctab = reinterpret_cast<CTable*>(*table);
    ctab->size = size;
    ctab->table[index] = color;
    map.pm()->colorTable = table;
    map.At<UInt8>(0, 0) = index;
    map.At<UInt8>(1, 0) = second;
  }
  ~TabledSource() {
    map.pm()->colorTable = nullptr;
    DisposeHandleBlock(table);
  }
};

TEST_F(Copies, ModesZeroAndThirtySixAndUnsupportedModes) {
  Map src(16, 4, 1), dst(16, 4, 1);
  const UInt16 values[] = {0x7FFF, 0x001F, 0x7FFF, 0x0400};
  for (int i = 0; i < 4; ++i) {
    src.At<UInt16>(i, 0) = values[i];
    dst.At<UInt16>(i, 0) = 0x1111;
  }
  const Rect r = src.bounds();
  EXPECT_NE(CopyPixMapBits(src.pm(), dst.pm(), &r, &r, 5, nullptr), 0);
  EXPECT_EQ(dst.At<UInt16>(1, 0), 0x1111);
  EXPECT_EQ(CopyPixMapBits(src.pm(), dst.pm(), &r, &r, 36, nullptr), 0);
  const UInt16 keyed[] = {0x1111, 0x001F, 0x1111, 0x0400};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.At<UInt16>(i, 0), keyed[i]) << i;
  EXPECT_EQ(CopyPixMapBits(src.pm(), dst.pm(), &r, &r, 0, nullptr), 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.At<UInt16>(i, 0), values[i]) << i;
}

TEST_F(Copies, DepthConversions) {
  // 8 -> 32 through the source's own table.
  const Rect r2{0, 0, 1, 2};
  {
    TabledSource src8(4, 3, 3, ColorSpecEntry{3, 0x1200, 0x3400, 0x5600}, 0);
    Map dst32(32, 2, 1);
    EXPECT_EQ(CopyPixMapBits(src8.map.pm(), dst32.pm(), &r2, &r2, 0, nullptr), 0);
    EXPECT_EQ(dst32.At<UInt32>(0, 0), 0x00123456u);
    EXPECT_EQ(dst32.At<UInt32>(1, 0), 0u);

    // 8 -> 16 with the formula, and with a transfer table.
    Map dst16(16, 2, 1);
    const Rect clip = dst16.bounds();
    CopyBits8To16(src8.map.world->portPixMap, dst16.world->portPixMap, &r2, &r2, &clip, nullptr, nullptr);
    EXPECT_EQ(dst16.At<UInt16>(0, 0), (0x5600 >> 11) | (0x3400 >> 11) << 5 | (0x1200 >> 11) << 10);
    std::vector<float> transfer(768, 1.0f);
    CopyBits8To16(src8.map.world->portPixMap, dst16.world->portPixMap, &r2, &r2, &clip, nullptr, transfer.data());
    EXPECT_EQ(dst16.At<UInt16>(0, 0), 0xFFFF);
  }

  // 32 -> 16 through CopyPixMapBits, 16 -> 32 through the converter.
  Map src32(32, 2, 1), out16(16, 2, 1);
  src32.At<UInt32>(0, 0) = 0x00FF8040;
  src32.At<UInt32>(1, 0) = 0x00FFFFFF;
  EXPECT_EQ(CopyPixMapBits(src32.pm(), out16.pm(), &r2, &r2, 0, nullptr), 0);
  const UInt32 x = 0x00FF8040;
  EXPECT_EQ(out16.At<UInt16>(0, 0), (x >> 9 & 0x7C00) | (x >> 6 & 0x03E0) | (x >> 3 & 0x1F));
  EXPECT_EQ(out16.At<UInt16>(1, 0), 0x7FFF);
  Map in16(16, 2, 1), out32(32, 2, 1);
  in16.At<UInt16>(0, 0) = 0x0421;
  in16.At<UInt16>(1, 0) = 0x7FFF;
  const Rect clip32 = out32.bounds();
  CopyBits16To32(in16.world->portPixMap, out32.world->portPixMap, &r2, &r2, &clip32);
  EXPECT_EQ(out32.At<UInt32>(0, 0), 0xFF080808u);
  EXPECT_EQ(out32.At<UInt32>(1, 0), 0xFFFFFFFFu);
  // Same size 16 -> 32 is not a pair CopyPixMapBits converts.
  out32.At<UInt32>(0, 0) = 7;
  EXPECT_NE(CopyPixMapBits(in16.pm(), out32.pm(), &r2, &r2, 0, nullptr), 0);
  EXPECT_EQ(out32.At<UInt32>(0, 0), 7u);
}

// A table copied over a smaller one keeps the larger size field: entries past
// its block are black, never read (ASan).
TEST_F(Copies, ColourTablesAreReadOnlyInsideTheirBlock) {
  TabledSource src8(16, 255, 15, ColorSpecEntry{15, 0xFF00, 0x8000, 0x0800}, 200);
  Map dst32(32, 2, 1), dst16(16, 2, 1);
  const Rect r2{0, 0, 1, 2};
  EXPECT_EQ(CopyPixMapBits(src8.map.pm(), dst32.pm(), &r2, &r2, 0, nullptr), 0);
  EXPECT_EQ(dst32.At<UInt32>(0, 0), 0x00FF8008u);
  EXPECT_EQ(dst32.At<UInt32>(1, 0), 0u);
  const Rect clip = dst16.bounds();
  CopyBits8To16(src8.map.world->portPixMap, dst16.world->portPixMap, &r2, &r2, &clip, nullptr, nullptr);
  EXPECT_EQ(dst16.At<UInt16>(0, 0), (0x0800 >> 11) | (0x8000 >> 11) << 5 | (0xFF00 >> 11) << 10);
  EXPECT_EQ(dst16.At<UInt16>(1, 0), 0);
}

TEST_F(Copies, ConvertersClipToTheDestination) {
  Map src(32, 4, 4), dst(16, 4, 4);
  for (int v = 0; v < 4; ++v)
    for (int h = 0; h < 4; ++h) src.At<UInt32>(h, v) = 0x00FFFFFF;
  const Rect r{0, 0, 4, 4};
  const Rect clip{1, 1, 3, 3};
  CopyBits32To16(src.world->portPixMap, dst.world->portPixMap, &r, &r, &clip);
  EXPECT_EQ(dst.At<UInt16>(0, 0), 0);
  EXPECT_EQ(dst.At<UInt16>(1, 1), 0x7FFF);
  EXPECT_EQ(dst.At<UInt16>(2, 2), 0x7FFF);
  EXPECT_EQ(dst.At<UInt16>(3, 3), 0);
}

TEST_F(Copies, ScaledCopies) {
  Map src(16, 2, 2), dst(16, 4, 4);
  src.At<UInt16>(0, 0) = 1;
  src.At<UInt16>(1, 0) = 2;
  src.At<UInt16>(0, 1) = 3;
  src.At<UInt16>(1, 1) = 4;
  const Rect s = src.bounds();
  const Rect d = dst.bounds();
  EXPECT_EQ(CopyPixMapBits(src.pm(), dst.pm(), &s, &d, 0, nullptr), 0);
  for (int v = 0; v < 4; ++v)
    for (int h = 0; h < 4; ++h) EXPECT_EQ(dst.At<UInt16>(h, v), 1 + h / 2 + 2 * (v / 2)) << h << "," << v;

  // Different depths on the scaled road draw nothing.
  Map dst32(32, 4, 4);
  dst32.At<UInt32>(3, 3) = 9;
  EXPECT_NE(CopyPixMapBits(src.pm(), dst32.pm(), &s, &d, 0, nullptr), 0);
  EXPECT_EQ(dst32.At<UInt32>(3, 3), 9u);
}

TEST_F(Copies, WideScaledCopiesStayInsideTheirRows) {
  struct Case {
    SInt16 from;
    SInt16 to;
  } cases[] = {{600, 1200}, {2000, 1100}};
  for (const Case& c : cases) {
    Map src(16, c.from, 2), dst(16, c.to, 2);
    for (int h = 0; h < c.from; ++h) src.At<UInt16>(h, 0) = src.At<UInt16>(h, 1) = static_cast<UInt16>(h % 32);
    const Rect s = src.bounds();
    const Rect d = dst.bounds();
    EXPECT_EQ(CopyPixMapBits(src.pm(), dst.pm(), &s, &d, 0, nullptr), 0);
    for (int h = 0; h < c.to; ++h) {
      const int from = static_cast<int>(static_cast<long>(h) * c.from / c.to);
      const int got = dst.At<UInt16>(h, 1);
      const bool near = got == (from + 31) % 32 || got == from % 32 || got == (from + 1) % 32;
      EXPECT_TRUE(near) << c.from << "->" << c.to << " at " << h << ": " << got;
    }
  }
}

TEST_F(Copies, CopyBlackMakesBitsAndChecksItsArguments) {
  Map src(8, 32, 2);
  src.At<UInt8>(0, 0) = 1;
  src.At<UInt8>(31, 0) = 9;
  src.At<UInt8>(5, 1) = 1;
  // A one-bit map over a plain block.
  UInt8 bits[8] = {};
  PixMapHandle bitmap = NewPixMapHandle();
  (*bitmap)->baseAddr = reinterpret_cast<Ptr>(bits);
  (*bitmap)->rowBytes = 4;
  (*bitmap)->bounds = Rect{0, 0, 2, 32};
  (*bitmap)->pixelDepth = 1;
  const Rect r{0, 0, 2, 32};
  CopyBlack(src.world->portPixMap, bitmap, &r, &r, 0);
  EXPECT_EQ(bits[0], 0x80);
  EXPECT_EQ(bits[3], 0x01);
  EXPECT_EQ(bits[4], 0x04);
  // The source start follows what the destination's bounds cut.
  std::memset(bits, 0, sizeof bits);
  const Rect above{-1, 0, 1, 32};
  CopyBlack(src.world->portPixMap, bitmap, &r, &above, 0);
  EXPECT_EQ(bits[0], 0x04);
  DisposePixMapHandle(bitmap);

  portstest::ExpectFatalBox(
      [&] {
        const Rect rr{0, 0, 2, 32};
        CopyBlack(src.world->portPixMap, src.world->portPixMap, &rr, &rr, 0);
      },
      "CopyBlack()", "Error: Destination must be a one bit PixMap (BitMap).");
}

}  // namespace
