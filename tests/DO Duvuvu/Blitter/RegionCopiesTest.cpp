// 8-bit region copies, the dissolve and the average colour.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "BlitTestMaps.h"
#include "Clocks.h"
#include "LineOps.h"
#include "Outlines.h"
#include "RegionCopies.h"
#include "TestSupport.h"

namespace {

using blittest::On;

// 4 x 4 maps (bounds at different origins); source pixel (x, y) = 10 + y * 4 + x,
// background 100 + y * 4 + x.
struct Maps {
  std::mt19937 rng{21};
  blitref::TestMap src{8, 4, 4, Point{3, 5}, rng};
  blitref::TestMap dst{8, 6, 6, Point{-2, 7}, rng};
  blitref::TestMap back{8, 5, 5, Point{40, -9}, rng};
  Maps() {
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) src.Set(x, y, static_cast<UInt32>(10 + y * 4 + x));
    }
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 5; ++x) back.Set(x, y, static_cast<UInt32>(100 + y * 5 + x));
    }
    dst.Fill(1);
  }
};

// Each clip keeps part of the destination rectangle (at (1, 1) in dst); the
// kept pixels must show the source pixels at the same offsets.
TEST(RegionCopies, ClippedCopiesStayAligned) {
  struct Case {
    const char* what;
    int left, top, right, bottom;  // clip, relative to dst's bounds
  } cases[] = {
      {"top row cut", 0, 2, 6, 6},      {"bottom row cut", 0, 0, 6, 4},
      {"left column cut", 2, 0, 6, 6},  {"right column cut", 0, 0, 4, 6},
      {"top and bottom cut", 0, 2, 6, 4}, {"left and right cut", 2, 0, 4, 6},
      {"nothing cut", 0, 0, 6, 6},
  };
  for (int which = 0; which < 3; ++which) {
    for (const Case& c : cases) {
      Maps m;
      std::vector<UInt8> first(256), second(256);
      for (int i = 0; i < 256; ++i) {
        first[i] = static_cast<UInt8>(i + 1);
        second[i] = static_cast<UInt8>(i * 2);
      }
      const Rect sr = On(m.src, 0, 0, 4, 4), dr = On(m.dst, 1, 1, 5, 5);
      const Rect br = On(m.back, 1, 0, 5, 4);
      const Rect clip = On(m.dst, c.left, c.top, c.right, c.bottom);
      m.src.Set(2, 2, 0);  // shows the background
      if (which == 0) {
        CopyWithBackground8(m.src.handle(), m.dst.handle(), m.back.handle(), &sr, &dr, &br, &clip);
      } else if (which == 1) {
        CopyThroughTwoTables8(m.src.handle(), m.dst.handle(), &sr, &dr, &clip, first.data(),
                              second.data());
      } else {
        DissolveCopy8(m.src.handle(), m.dst.handle(), &sr, &dr, &clip, 0, nullptr, 255);
      }
      for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
          const bool kept = x >= 1 && x < 5 && y >= 1 && y < 5 && x >= c.left && x < c.right &&
                            y >= c.top && y < c.bottom;
          UInt32 want = 1;
          if (kept) {
            const UInt32 s = m.src.Get(x - 1, y - 1);
            want = which == 0 ? (s ? s : m.back.Get(x, y - 1))
                 : which == 1 ? second[first[s]]
                              : s;
          }
          ASSERT_EQ(m.dst.Get(x, y), want) << c.what << " copy " << which << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(RegionCopies, AllZeroSourceShowsTheBackground) {
  Maps m;
  m.src.Fill(0);
  const Rect sr = On(m.src, 0, 0, 4, 4), dr = On(m.dst, 0, 0, 4, 4), br = On(m.back, 1, 1, 5, 5);
  const Rect clip = m.dst.bounds();
  CopyWithBackground8(m.src.handle(), m.dst.handle(), m.back.handle(), &sr, &dr, &br, &clip);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(m.dst.Get(x, y), m.back.Get(x + 1, y + 1));
  }
}

TEST(RegionCopies, UnequalSizesOrOutsideRectanglesDrawNothing) {
  Maps m;
  auto before = m.dst.Clone();
  const Rect sr = On(m.src, 0, 0, 4, 4), small = On(m.dst, 0, 0, 3, 4);
  const Rect outside = On(m.src, 2, 0, 6, 4), dr = On(m.dst, 0, 0, 4, 4);
  const Rect clip = m.dst.bounds(), farClip = On(m.dst, 5, 5, 6, 6);
  std::vector<UInt8> t(256, 3);
  CopyThroughTwoTables8(m.src.handle(), m.dst.handle(), &sr, &small, &clip, t.data(), t.data());
  CopyThroughTwoTables8(m.src.handle(), m.dst.handle(), &outside, &dr, &clip, t.data(), t.data());
  CopyThroughTwoTables8(m.src.handle(), m.dst.handle(), &sr, &dr, &farClip, t.data(), t.data());
  EXPECT_EQ(m.dst.Diff(*before), "");
}

// Every operation on pixel maps, with each required map nil in turn.
TEST(RegionCopies, NilMapsDrawNothing) {
  Maps m;
  auto before = m.dst.Clone();
  PixMapPtr nilMaster = nullptr;
  const Rect sr = On(m.src, 0, 0, 4, 4), dr = On(m.dst, 0, 0, 4, 4), br = On(m.back, 0, 0, 4, 4);
  const Rect clip = m.dst.bounds();
  std::vector<UInt8> t(256, 3);
  for (PixMapHandle nil : {PixMapHandle(nullptr), &nilMaster}) {
    const PixMapHandle s = m.src.handle(), d = m.dst.handle(), b = m.back.handle();
    CopyWithBackground8(nil, d, b, &sr, &dr, &br, &clip);
    CopyWithBackground8(s, nil, b, &sr, &dr, &br, &clip);
    CopyWithBackground8(s, d, nil, &sr, &dr, &br, &clip);
    CopyThroughTwoTables8(nil, d, &sr, &dr, &clip, t.data(), t.data());
    CopyThroughTwoTables8(s, nil, &sr, &dr, &clip, t.data(), t.data());
    DissolveCopy8(nil, d, &sr, &dr, &clip, 0, nullptr, 255);
    DissolveCopy8(s, nil, &sr, &dr, &clip, 0, nullptr, 255);
    DrawThickLine8(nil, nullptr, 0, 0, 3, 3, &clip, 5, 2);
    DrawThickLine8(d, nil, 5, 7, 8, 9, &clip, 5, 2);  // a given mask needs its pixels
    CopyThickLine8(nil, d, nullptr, 5, 7, 8, 9, &clip, 2);
    CopyThickLine8(s, nil, nullptr, 5, 7, 8, 9, &clip, 2);
    OutlinePixMap8(nil, d, &sr, &dr, &clip, 10, 0, 1);
    OutlinePixMap8(s, nil, &sr, &dr, &clip, 10, 0, 1);
    ReplaceColor8(nil, nullptr, 1, 2);
    ReplaceColor16(nil, &sr, 1, 2);
    UInt16 out[3] = {7, 7, 7};
    AverageColor8(nil, &sr, out, 0);
    EXPECT_EQ(out[0] + out[1] + out[2], 0);
  }
  EXPECT_EQ(m.dst.Diff(*before), "");
}

TEST(Dissolve, LevelsModesAndTables) {
  struct Case {
    UInt8 mode;
    bool table;
    UInt8 level;
    bool copiesNonZero, copiesZero;
  } cases[] = {
      {1, false, 255, true, false}, {0, false, 255, true, true}, {1, false, 0, false, false},
      {2, false, 255, false, false}, {3, true, 255, false, false}, {2, true, 255, true, false},
  };
  std::vector<UInt8> table(256);
  for (int i = 0; i < 256; ++i) table[i] = static_cast<UInt8>(i & 1 ? i : 0);  // odd only
  for (const Case& c : cases) {
    Maps m;
    m.src.Set(0, 0, 0);
    const Rect sr = On(m.src, 0, 0, 4, 4), dr = On(m.dst, 0, 0, 4, 4);
    const Rect clip = m.dst.bounds();
    DissolveCopy8(m.src.handle(), m.dst.handle(), &sr, &dr, &clip, c.mode,
                  c.table ? table.data() : nullptr, c.level);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) {
        const UInt32 s = m.src.Get(x, y);
        const UInt32 value = c.table ? table[s] : s;
        bool copied = s ? c.copiesNonZero : c.copiesZero;
        if (c.table && value == 0) copied = false;
        EXPECT_EQ(m.dst.Get(x, y), copied ? value : 1u)
            << "mode " << int(c.mode) << " level " << int(c.level) << " at " << x << "," << y;
      }
    }
  }
}

TEST(Dissolve, PatternFollowsTheTickSeed) {
  testsupport::FakeClock clock;
  for (UInt8 level : {1, 64, 128, 254}) {
    Maps m;
    m.src.Set(1, 1, 0);  // no candidate in mode 1: the seed does not move
    const Rect sr = On(m.src, 0, 0, 4, 4), dr = On(m.dst, 0, 0, 4, 4);
    const Rect clip = m.dst.bounds();
    UInt32 seed = static_cast<UInt32>(GetTicks());
    DissolveCopy8(m.src.handle(), m.dst.handle(), &sr, &dr, &clip, 1, nullptr, level);
    int written = 0;
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) {
        const UInt32 s = m.src.Get(x, y);
        UInt32 want = 1;
        if (s) {
          seed = (seed * 331691u) % 199604759u + 65089u;
          if ((seed & 255) <= level) want = s;
        }
        written += want != 1;
        ASSERT_EQ(m.dst.Get(x, y), want) << "level " << int(level) << " at " << x << "," << y;
      }
    }
    if (level == 254) {
      EXPECT_GT(written, 0);
    }
  }
}

const ColorRGB kColors[4] = {{0, 0, 0}, {300, 10, 7}, {100, 20, 8}, {65535, 65535, 65535}};
void TableColor(UInt8 index, ColorRGB* out) { *out = kColors[index & 3]; }

TEST(AverageColor, IntegerMeansThroughTheConverter) {
  Maps m;
  std::vector<UInt8> pixels = {1, 2, 0, 3};
  for (int i = 0; i < 4; ++i) m.src.Set(i % 2, i / 2, pixels[i]);
  const Rect r = On(m.src, 0, 0, 2, 2), empty = On(m.src, 1, 1, 1, 3);
  UInt16 out[3] = {9, 9, 9};
  AverageColor8(m.src.handle(), &r, out, 0);  // default converter: the cleared record
  EXPECT_EQ((std::vector<UInt16>{out[0], out[1], out[2]}), (std::vector<UInt16>{0, 0, 0}));
  const ColorIndexConverter saved = AverageColorConverter;
  AverageColorConverter = &TableColor;
  AverageColor8(m.src.handle(), &r, out, 0);
  EXPECT_EQ((std::vector<UInt16>{out[0], out[1], out[2]}),
            (std::vector<UInt16>{(300 + 100 + 0 + 65535) / 4, (10 + 20 + 0 + 65535) / 4,
                                 (7 + 8 + 0 + 65535) / 4}));
  AverageColor8(m.src.handle(), &r, out, 1);
  EXPECT_EQ((std::vector<UInt16>{out[0], out[1], out[2]}),
            (std::vector<UInt16>{(300 + 100 + 65535) / 3, (10 + 20 + 65535) / 3,
                                 (7 + 8 + 65535) / 3}));
  // No counted pixel: an empty rectangle, or zeros only with skip zero.
  out[0] = out[1] = out[2] = 9;
  AverageColor8(m.src.handle(), &empty, out, 0);
  EXPECT_EQ((std::vector<UInt16>{out[0], out[1], out[2]}), (std::vector<UInt16>{0, 0, 0}));
  m.src.Fill(0);
  out[0] = 9;
  AverageColor8(m.src.handle(), &r, out, 1);
  EXPECT_EQ((std::vector<UInt16>{out[0], out[1], out[2]}), (std::vector<UInt16>{0, 0, 0}));
  AverageColorConverter = saved;
}

// The open rect averages the whole map wherever its bounds start, and a map
// of white averages to white however many pixels it has.
TEST(AverageColor, OpenRectsAndLargeMaps) {
  const ColorIndexConverter saved = AverageColorConverter;
  AverageColorConverter = &TableColor;
  std::mt19937 rng{5};
  struct Case {
    int width, height;
    Point origin;
    Rect r;  // relative to the bounds; the open rect when empty
  } cases[] = {
      {4, 4, Point{3, 5}, Rect{}},
      {4, 4, Point{-300, 900}, Rect{}},
      {300, 300, Point{0, 0}, Rect{0, 0, 300, 300}},
      {300, 300, Point{-20, 7}, Rect{}},
      {256, 256, Point{0, 0}, Rect{0, 0, 256, 256}},  // 65,536 pixels: no wrap even before
  };
  for (const Case& c : cases) {
    blitref::TestMap map{8, c.width, c.height, c.origin, rng};
    map.Fill(3);  // white
    map.Set(0, 0, 1);
    const bool open = c.r.bottom == 0;
    const Rect r = open ? Rect{-32768, -32768, 32767, 32767} : On(map, c.r.left, c.r.top, c.r.right, c.r.bottom);
    UInt16 out[3] = {9, 9, 9};
    AverageColor8(map.handle(), &r, out, 0);
    const SInt64 n = SInt64{c.width} * c.height;
    const auto mean = [n](SInt64 first) { return static_cast<UInt16>((first + (n - 1) * 65535) / n); };
    EXPECT_EQ((std::vector<UInt16>{out[0], out[1], out[2]}),
              (std::vector<UInt16>{mean(300), mean(10), mean(7)}))
        << c.width << " x " << c.height << (open ? ", open rect" : "");
  }
  AverageColorConverter = saved;
}

}  // namespace
