// The per-depth rectangle primitives on plain byte planes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AppGlobals.h"
#include "PixMap.h"
#include "Primitives.h"

namespace {

// A plane of `rows` rows of `rowBytes` bytes, every pixel `fill`.
struct Plane {
  int depth;
  SInt16 rowBytes;
  std::vector<UInt8> bytes;
  Plane(int depth, int rowBytes, int rows, UInt32 fill = 0)
      : depth(depth), rowBytes(static_cast<SInt16>(rowBytes)),
        bytes(static_cast<size_t>(rowBytes) * rows) {
    for (int y = 0; y < rows; ++y) {
      for (int x = 0; x < rowBytes / (depth / 8); ++x) Set(x, y, fill);
    }
  }
  UInt8* base() { return bytes.data(); }
  UInt32 Get(int x, int y) const {
    UInt32 v = 0;
    std::memcpy(&v, &bytes[static_cast<size_t>(y) * rowBytes + x * (depth / 8)], depth / 8);
    return v;
  }
  void Set(int x, int y, UInt32 v) {
    std::memcpy(&bytes[static_cast<size_t>(y) * rowBytes + x * (depth / 8)], &v, depth / 8);
  }
  // How many pixels of row y hold v.
  int Count(int y, UInt32 v) const {
    int n = 0;
    for (int x = 0; x < rowBytes / (depth / 8); ++x) n += Get(x, y) == v;
    return n;
  }
};

Rect R(int left, int top, int right, int bottom) {
  return Rect{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(bottom),
              static_cast<SInt16>(right)};
}

int Index(int depth) { return depth == 8 ? 0 : depth == 16 ? 1 : 2; }

// Keeps the depth and interlace settings of each test to itself.
class Primitives : public ::testing::Test {
 protected:
  void SetUp() override {
    depth_ = EngineSettings[8];
    interlaced_ = EngineSettings[6];
    mode_ = InterlaceMode;
    field_ = InterlaceField;
  }
  void TearDown() override {
    EngineSettings[8] = depth_;
    EngineSettings[6] = interlaced_;
    InterlaceMode = mode_;
    InterlaceField = field_;
  }

 private:
  UInt8 depth_, interlaced_, mode_, field_;
};

TEST_F(Primitives, FillsCoverWholeUnitsUnclippedAndEveryPixelClipped) {
  struct Case {
    int depth;
    bool doubles;
    bool clipped;
    int written;
  } cases[] = {
      {8, false, false, 8},  {8, true, false, 8},  {16, false, false, 10}, {16, true, false, 8},
      {32, false, false, 10}, {32, true, false, 10}, {8, false, true, 10},  {8, true, true, 10},
      {16, false, true, 10}, {16, true, true, 10}, {32, false, true, 10}, {32, true, true, 10},
  };
  for (const Case& c : cases) {
    Plane p(c.depth, 64, 4, 1);
    const Rect r = R(3, 1, 13, 3);
    const UInt32 value = 0xA5A5A5A5u;
    const UInt32 pixel = c.depth == 32 ? value : c.depth == 16 ? 0xA5A5 : 0xA5;
    const int i = Index(c.depth);
    if (c.clipped) {
      const auto& members = c.doubles ? FillRectDoublesClippedMembers : FillRectLongsClippedMembers;
      members[i](&r, p.base(), p.rowBytes, Point{0, 0}, Point{100, 100}, value);
    } else {
      (c.doubles ? FillRectDoublesMembers : FillRectLongsMembers)[i](&r, p.base(), p.rowBytes,
                                                                     value);
    }
    const std::string what = std::to_string(c.depth) + (c.doubles ? " doubles" : " longs") +
                             (c.clipped ? " clipped" : "");
    for (int y : {1, 2}) {
      EXPECT_EQ(p.Count(y, pixel), c.written) << what;
      EXPECT_EQ(p.Get(3, y), pixel) << what;
      EXPECT_EQ(p.Get(2, y), 1u) << what;
    }
    EXPECT_EQ(p.Count(0, pixel) + p.Count(3, pixel), 0) << what;
  }
  // The fill value is taken at the pixel's width.
  Plane p(16, 16, 1, 0);
  const Rect r = R(0, 0, 2, 1);
  FillRectLongsClipped16(&r, p.base(), p.rowBytes, Point{0, 0}, Point{10, 10}, 0x12345678);
  EXPECT_EQ(p.Get(0, 0), 0x5678u);
}

TEST_F(Primitives, DispatchersPickTheMemberByDepth) {
  struct Case {
    UInt8 setting;
    UInt32 firstFour;  // the first four bytes after filling with 0xA1B2C3D4
  } cases[] = {{8, 0xD4D4D4D4}, {16, 0xC3D4C3D4}, {24, 0xA1B2C3D4}, {32, 0xA1B2C3D4}, {0, 0xA1B2C3D4}};
  for (const Case& c : cases) {
    EngineSettings[8] = c.setting;
    // Four bytes: one unit at 8 bits, two pixels at 16, one at 32.
    Plane p(8, 16, 1, 0);
    const Rect wide = R(0, 0, 4, 1);
    FillRectLongs(&wide, p.base(), p.rowBytes, 0xA1B2C3D4);
    UInt32 four;
    std::memcpy(&four, p.base(), 4);
    EXPECT_EQ(four, c.firstFour) << int(c.setting);
  }
  // Where a depth has no member nothing is drawn.
  std::vector<UInt8> table(65536, 7);
  struct Missing {
    UInt8 setting;
    bool blends, alpha;
  } missing[] = {{8, true, false}, {16, true, true}, {32, false, false}, {0, false, false}};
  for (const Missing& m : missing) {
    EngineSettings[8] = m.setting;
    Plane s(32, 16, 1, 0x01010101), d(32, 16, 1, 0x02020202), a(8, 16, 1, 32);
    const Rect one = R(0, 0, 1, 1);
    BlendRect(&one, &one, s.base(), d.base(), 16, 16, table.data());
    EXPECT_EQ(d.Get(0, 0) != 0x02020202u, m.blends) << int(m.setting);
    Plane d2(32, 16, 1, 0x02020202);
    AlphaBlendRect(&one, &one, s.base(), d2.base(), a.base(), 16, 16, 16);
    EXPECT_EQ(d2.Get(0, 0) != 0x02020202u, m.alpha) << int(m.setting);
  }
  EXPECT_EQ(BlendRectMembers[2], nullptr);
  EXPECT_EQ(AlphaBlendRectMembers[0], nullptr);
  EXPECT_EQ(AlphaBlendRectClippedMembers[2], nullptr);
  EXPECT_EQ(FillRectLongs16, FillRectLongsMembers[1]);
}

// A value of its own for every place, never a key.
UInt32 Num(int x, int y) { return static_cast<UInt32>(1 + (y * 16 + x) % 250); }

Plane Numbered(int depth) {
  Plane p(depth, 16 * (depth / 8), 16, 0);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) p.Set(x, y, Num(x, y));
  }
  return p;
}

TEST_F(Primitives, ClipBoxCutsAndShifts) {
  const Rect src = R(1, 1, 5, 5), dst = R(4, 4, 8, 8);
  struct Case {
    const char* what;
    Point a, b;
    Rect drawn;  // in the destination; empty: nothing
  } cases[] = {
      {"box to the right", {0, 9}, {16, 16}, {}},
      {"box to the left", {0, 0}, {16, 3}, {}},
      {"box below", {9, 0}, {16, 16}, {}},
      {"box above", {0, 0}, {3, 16}, {}},
      {"box inside", {5, 6}, {7, 7}, R(6, 5, 7, 7)},
      {"box covering", {0, 0}, {16, 16}, R(4, 4, 8, 8)},
  };
  for (int depth : {8, 16, 32}) {
    for (const Case& c : cases) {
      Plane s = Numbered(depth);
      Plane d(depth, 16 * (depth / 8), 16, 1);
      CopyRectTransparentClippedMembers[Index(depth)](&src, &dst, s.base(), d.base(), s.rowBytes,
                                                      d.rowBytes, c.a, c.b);
      for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
          const bool inside = x >= c.drawn.left && x < c.drawn.right && y >= c.drawn.top &&
                              y < c.drawn.bottom;
          const UInt32 want = inside ? Num(x - 3, y - 3) : 1u;
          ASSERT_EQ(d.Get(x, y), want) << c.what << " depth " << depth << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(Primitives, InterlaceDrawsOneFieldOfRows) {
  const Rect r = R(0, 4, 4, 10);
  struct Case {
    UInt8 settingOn, mode, field;
    std::vector<int> rows;
  } cases[] = {
      {1, 1, 1, {5, 7, 9}},
      {1, 2, 0, {4, 6, 8}},
      {0, 1, 1, {4, 5, 6, 7, 8, 9}},
      {1, 0, 1, {4, 5, 6, 7, 8, 9}},
  };
  for (const Case& c : cases) {
    EngineSettings[6] = c.settingOn;
    InterlaceMode = c.mode;
    InterlaceField = c.field;
    for (bool clipped : {false, true}) {
      Plane s = Numbered(16);
      Plane d(16, 32, 16, 1);
      if (clipped) {
        CopyRectLongsClipped16(&r, &r, s.base(), d.base(), 32, 32, Point{0, 0}, Point{16, 16});
      } else {
        CopyRectLongs16(&r, &r, s.base(), d.base(), 32, 32);
      }
      std::vector<int> rows;
      for (int y = 0; y < 16; ++y) {
        if (d.Get(0, y) != 1u) {
          rows.push_back(y);
          EXPECT_EQ(d.Get(3, y), Num(3, y));
        }
      }
      EXPECT_EQ(rows, c.rows) << "field " << int(c.field) << (clipped ? " clipped" : "");
    }
  }
}

TEST_F(Primitives, LayeredCopiesTakeTheFirstNonKeyPixel) {
  for (int depth : {8, 16, 32}) {
    const UInt32 key = depth == 8 ? 0 : depth == 16 ? 0x7FFF : 0x00FFFFFF;
    Plane s(depth, 64, 1), m(depth, 64, 1), b(depth, 64, 1, 3), d(depth, 64, 1, 9);
    const UInt32 src[4] = {1, key, key, 1};
    const UInt32 mid[4] = {2, 2, key, key};
    for (int x = 0; x < 4; ++x) {
      s.Set(x, 0, src[x]);
      m.Set(x, 0, mid[x]);
    }
    const Rect r = R(0, 0, 4, 1);
    const int i = Index(depth);
    CopyRectOverTwoMembers[i](&r, &r, &r, &r, s.base(), d.base(), m.base(), b.base(), 64, 64, 64,
                              64);
    EXPECT_EQ((std::vector<UInt32>{d.Get(0, 0), d.Get(1, 0), d.Get(2, 0), d.Get(3, 0)}),
              (std::vector<UInt32>{1, 2, 3, 1}))
        << depth;
    Plane d2(depth, 64, 1, 9);
    CopyRectOverBackClippedMembers[i](&r, &r, &r, s.base(), d2.base(), b.base(), 64, 64, 64,
                                      Point{0, 0}, Point{10, 10});
    EXPECT_EQ((std::vector<UInt32>{d2.Get(0, 0), d2.Get(1, 0), d2.Get(2, 0), d2.Get(3, 0)}),
              (std::vector<UInt32>{1, 3, 3, 1}))
        << depth;
    Plane d3(depth, 64, 1, 9);
    CopyRectTransparentMembers[i](&r, &r, s.base(), d3.base(), 64, 64);
    EXPECT_EQ((std::vector<UInt32>{d3.Get(0, 0), d3.Get(1, 0), d3.Get(2, 0), d3.Get(3, 0)}),
              (std::vector<UInt32>{1, 9, 9, 1}))
        << depth;
  }
}

// One row of 16-bit blend; the table has exactly 32768 entries (fault: a
// bit-15 source used to read past it).
std::vector<UInt32> Blend16(int which, const std::vector<UInt32>& src,
                            const std::vector<UInt32>& dst, const std::vector<UInt32>& mask,
                            const std::vector<UInt16>& table) {
  const int n = static_cast<int>(src.size());
  Plane s(16, 2 * n, 1), d(16, 2 * n, 1), m(16, 2 * n, 1);
  for (int x = 0; x < n; ++x) {
    s.Set(x, 0, src[x]);
    d.Set(x, 0, dst[x]);
    m.Set(x, 0, mask[x]);
  }
  const Rect r = R(0, 0, n, 1);
  const SInt16 rb = static_cast<SInt16>(2 * n);
  const Point a{0, 0}, b{10, 100};
  switch (which) {
    case 0: BlendRect16(&r, &r, s.base(), d.base(), rb, rb, table.data()); break;
    case 1: BlendRectTransparentClipped16(&r, &r, s.base(), d.base(), rb, rb, a, b, table.data()); break;
    case 2: BlendRectMasked16(&r, &r, &r, s.base(), d.base(), m.base(), rb, rb, rb, table.data()); break;
    default:
      BlendRectMaskedTransparentClipped16(&r, &r, &r, s.base(), d.base(), m.base(), rb, rb, rb, a,
                                          b, table.data());
  }
  std::vector<UInt32> out;
  for (int x = 0; x < n; ++x) out.push_back(d.Get(x, 0));
  return out;
}

TEST_F(Primitives, SixteenBitBlendsDarkenOrCopy) {
  std::vector<UInt16> table(32768, 0x8010);
  table[5] = 0x0001;  // lets the source through
  table[0x7FFF] = 0x0001;
  // src: shadow, shadow over key, pass-through, bit-15 shadow, key source, pass-through under key mask
  const std::vector<UInt32> src = {1, 1, 5, 0x8001, 0x7FFF, 5};
  const std::vector<UInt32> dst = {0x7BDE, 0x7FFF, 0x1111, 0x7BDE, 0x2222, 0x3333};
  const std::vector<UInt32> mask = {0, 0, 0x7FFF, 0, 0, 0x7FFF};
  struct Case {
    int which;
    std::vector<UInt32> want;
  } cases[] = {
      {0, {0x3DEF, 0x7FFF, 5, 0x3DEF, 0x7FFF, 5}},
      {1, {0x3DEF, 0x7FFF, 5, 0x3DEF, 0x2222, 5}},
      {2, {0x3DEF, 0x3DEF, 5, 0x3DEF, 0x7FFF, 5}},
      {3, {0x3DEF, 0x3DEF, 5, 0x3DEF, 0x2222, 5}},
  };
  for (const Case& c : cases) EXPECT_EQ(Blend16(c.which, src, dst, mask, table), c.want) << c.which;
  // A masked-out shadow leaves the destination.
  EXPECT_EQ(Blend16(2, {1}, {0x7BDE}, {0x7FFF}, table), (std::vector<UInt32>{0x7BDE}));
  // Bit 15 of a pass-through source is written as it is.
  table[3] = 0x0001;
  EXPECT_EQ(Blend16(0, {0x8003}, {0}, {0}, table), (std::vector<UInt32>{0x8003}));
}

TEST_F(Primitives, EightBitBlendsIndexSourceThenDestination) {
  std::vector<UInt8> table(65536);
  for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<UInt8>((i >> 8) ^ (i & 0xFF) ^ 0x5A);
  Plane s(8, 4, 1), d(8, 4, 1), m(8, 4, 1);
  const UInt32 src[4] = {0, 7, 200, 255}, dst[4] = {3, 0, 9, 255}, mask[4] = {1, 0, 1, 1};
  for (int x = 0; x < 4; ++x) {
    s.Set(x, 0, src[x]);
    d.Set(x, 0, dst[x]);
    m.Set(x, 0, mask[x]);
  }
  const Rect r = R(0, 0, 4, 1);
  Plane d1 = d;
  BlendRect8(&r, &r, s.base(), d1.base(), 4, 4, table.data());
  Plane d2 = d;
  BlendRectMaskedTransparent8(&r, &r, &r, s.base(), d2.base(), m.base(), 4, 4, 4, table.data());
  for (int x = 0; x < 4; ++x) {
    const UInt32 blended = table[(src[x] << 8) + dst[x]];
    EXPECT_EQ(d1.Get(x, 0), blended);
    EXPECT_EQ(d2.Get(x, 0), src[x] != 0 && mask[x] != 0 ? blended : dst[x]);
  }
}

TEST_F(Primitives, AlphaBlendMovesTowardTheSource) {
  const std::vector<UInt32> src = {0x7FFF - 1, 0x7C1F, 0x001F, 0x03E0, 0x1234};
  const std::vector<UInt32> dst = {0x0000, 0x03E0, 0x7FFF, 0x7FFF, 0x7FFF};
  const std::vector<UInt8> alpha = {0, 32, 16, 31, 32};
  // 0 keeps, 32 writes the source, a key destination changes only at 32 and up.
  const std::vector<UInt32> want = {0x0000, 0x7C1F, 0x7FFF, 0x7FFF, 0x1234};
  for (bool clipped : {false, true}) {
    const int n = 5;
    Plane s(16, 2 * n, 1), d(16, 2 * n, 1), a(8, n, 1);
    for (int x = 0; x < n; ++x) {
      s.Set(x, 0, src[x]);
      d.Set(x, 0, dst[x]);
      a.Set(x, 0, alpha[x]);
    }
    const Rect r = R(0, 0, n, 1);
    if (clipped) {
      AlphaBlendRectClipped16(&r, &r, s.base(), d.base(), a.base(), 10, 10, 5, Point{0, 0},
                              Point{5, 5});
    } else {
      AlphaBlendRect16(&r, &r, s.base(), d.base(), a.base(), 10, 10, 5);
    }
    for (int x = 0; x < n; ++x) EXPECT_EQ(d.Get(x, 0), want[x]) << x;
  }
  // Half way toward 0, per field: 30 becomes 15.
  Plane s(16, 2, 1, 0), d(16, 2, 1, 0x7BDE), a(8, 1, 1, 16);
  const Rect r = R(0, 0, 1, 1);
  AlphaBlendRect16(&r, &r, s.base(), d.base(), a.base(), 2, 2, 1);
  EXPECT_EQ(d.Get(0, 0), 0x3DEFu);
}

TEST_F(Primitives, RowLengthBelowOneDrawsNothing) {
  Plane d(16, 32, 2, 1);
  const Rect r = R(0, 0, 4, 2);
  FillRectLongsClipped16(&r, d.base(), 0, Point{0, 0}, Point{10, 10}, 5);
  FillRectDoubles16(&r, d.base(), -32, 5);
  EXPECT_EQ(d.Count(0, 1) + d.Count(1, 1), 32);
}

}  // namespace
