// Whole requests through COPY16X: the graphics layer's tints over maps, a
// quarter turn, and sizes that draw nothing.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "BlitExtended.h"
#include "BlitTestMaps.h"
#include "TestSupport.h"

namespace {

using blittest::MakeMap;
using blittest::On;

constexpr UInt16 kKey = 0x7FFF;

// Applies f to the red, green and blue fields of a bit-15-clear pixel.
UInt16 PerField(UInt16 p, const std::function<UInt32(UInt32)>& f) {
  return static_cast<UInt16>(f((p >> 10) & 31) << 10 | f((p >> 5) & 31) << 5 | f(p & 31));
}

// A 7 x 5 source (keys among its pixels) onto a 9 x 8 destination at
// (1, 2); every pixel the mode writes becomes want(source, old destination),
// every other pixel of the destination map stays.
TEST(ExtendedCopy, TintsOverWholeMaps) {
  struct Row {
    const char* what;
    BlitTint tint;
    bool bit15;  // sources and destinations may carry bit 15
    std::function<UInt16(UInt16, UInt16)> want;
  } rows[] = {
      {"(0, 0, 0) blackens", {0, 0, 0, 32}, true, [](UInt16, UInt16) -> UInt16 { return 0; }},
      {"(64, 64, 64) whitens to the key", {64, 64, 64, 32}, true, [](UInt16, UInt16) { return kKey; }},
      {"(16, 48, 16) halves every field",
       {16, 48, 16, 32},
       false,
       [](UInt16 s, UInt16) { return PerField(s, [](UInt32 f) { return f / 2; }); }},
      {"(40, 24, 24) lifts every field by red's offset",
       {40, 24, 24, 32},
       false,
       [](UInt16 s, UInt16) { return PerField(s, [](UInt32 f) { return f * 24 / 32 + 8; }); }},
      {"level 32 writes the source exactly", {32, 32, 32, 32}, true, [](UInt16 s, UInt16) { return s; }},
      {"level 0 writes the destination without bit 15",
       {32, 32, 32, 0},
       true,
       [](UInt16, UInt16 d) { return static_cast<UInt16>(d & 0x7FFF); }},
      {"level 0 under a brightness too",
       {16, 16, 16, 0},
       true,
       [](UInt16, UInt16 d) { return static_cast<UInt16>(d & 0x7FFF); }},
  };
  testsupport::RecordingMessageBox boxes;
  std::mt19937 rng(8101);
  for (const Row& row : rows) {
    for (BlitMode mode : {0u, 1u}) {
      auto src = MakeMap(16, 7, 5, 0);
      auto dst = MakeMap(16, 9, 8, 0);
      const UInt32 keep = row.bit15 ? 0xFFFF : 0x7FFF;
      for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) src->Set(x, y, rng() % 4 == 0 ? kKey : rng() & keep);
      }
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 9; ++x) dst->Set(x, y, rng() & keep);
      }
      auto want = dst->Clone();
      for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
          const auto s = static_cast<UInt16>(src->Get(x, y));
          if (mode == 1 && s == kKey) continue;
          want->Set(x + 1, y + 2, row.want(s, static_cast<UInt16>(dst->Get(x + 1, y + 2))));
        }
      }
      const Rect s = On(*src, 0, 0, 7, 5);
      const Rect d = On(*dst, 1, 2, 8, 7);
      COPY16X(src->handle(), dst->handle(), nullptr, &s, &d, nullptr, mode, kBlitNoColor, nullptr, &row.tint, 0, 0, 0,
              nullptr, nullptr, nullptr);
      EXPECT_EQ(dst->Diff(*want), "") << row.what << ", mode " << mode;
    }
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

// A 10 x 20 source under a quarter turn fills a 20 x 10 destination: under
// rotation 1 each destination row reads one source column from the bottom
// up, columns left to right; rotation 3 reads them top down, right to left.
// With a brightness the same pixels arrive halved.
TEST(ExtendedCopy, QuarterTurnOfATallSource) {
  std::mt19937 rng(8102);
  auto src = MakeMap(16, 10, 20, 0);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 10; ++x) src->Set(x, y, rng() & 0x7FFF);
  }
  const Rect s = On(*src, 0, 0, 10, 20);
  const BlitTint halve{16, 16, 16, 32};
  for (SInt8 rotation : {SInt8{1}, SInt8{3}}) {
    for (const BlitTint* tint : {static_cast<const BlitTint*>(nullptr), &halve}) {
      auto dst = MakeMap(16, 22, 12, 0x1234);
      auto want = dst->Clone();
      for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
          auto v = static_cast<UInt16>(rotation == 1 ? src->Get(y, 19 - x) : src->Get(9 - y, x));
          if (tint) v = PerField(v, [](UInt32 f) { return f / 2; });
          want->Set(x + 1, y + 1, v);
        }
      }
      const Rect d = On(*dst, 1, 1, 21, 11);
      COPY16X(src->handle(), dst->handle(), nullptr, &s, &d, nullptr, 0, kBlitNoColor, nullptr, tint, 0, 0, rotation,
              nullptr, nullptr, nullptr);
      EXPECT_EQ(dst->Diff(*want), "") << "rotation " << int{rotation} << (tint ? ", halved" : "");
    }
  }
}

// Requests the set-up turns away: sizes that do not match the oriented
// source, an empty rectangle, a clip that misses. The destination keeps every
// byte, whatever the tint, alpha map or mask. The controls are requests of the
// same kind that do draw.
TEST(ExtendedCopy, RequestsThatDrawNothing) {
  struct Case {
    const char* what;
    int srcW, srcH;
    SInt8 rotation;
    int dstW, dstH;
    bool clipMisses;
    bool draws = false;
  } cases[] = {
      {"control: turned source, turned size", 10, 20, 1, 20, 10, false, true},
      {"control: no clip", 6, 5, 0, 6, 5, false, true},
      {"turned source, unturned size", 10, 20, 1, 10, 20, false},
      {"turned source, one row more", 10, 20, 1, 20, 11, false},
      {"turned source, one column more", 10, 20, 3, 21, 10, false},
      {"unturned source, turned size", 10, 20, 0, 20, 10, false},
      {"half turn keeps the size", 10, 20, 2, 20, 10, false},
      {"height 0", 6, 0, 0, 6, 0, false},
      {"width 0", 0, 5, 0, 0, 5, false},
      {"width 0, turned", 0, 5, 1, 5, 0, false},
      {"clip beside the destination", 6, 5, 0, 6, 5, true},
  };
  const BlitTint tints[] = {{32, 32, 32, 32}, {16, 16, 16, 20}, {40, 8, 64, 32}};
  testsupport::RecordingMessageBox boxes;
  for (const Case& c : cases) {
    for (const BlitTint& tint : tints) {
      for (bool extras : {false, true}) {
        auto src = MakeMap(16, 24, 24, 0x0421);
        auto dst = MakeMap(16, 24, 24, 0x1234);
        auto mask = MakeMap(16, 24, 24, 0);  // mode 16 draws where it is not the key
        auto alpha = MakeMap(8, 24, 24, 16);
        auto before = dst->Clone();
        const Rect s = On(*src, 2, 2, 2 + c.srcW, 2 + c.srcH);
        const Rect d = On(*dst, 1, 1, 1 + c.dstW, 1 + c.dstH);
        const Rect clip = On(*dst, 1 + c.dstW, 0, 24, 24);
        COPY16X(src->handle(), dst->handle(), extras ? mask->handle() : nullptr, &s, &d, c.clipMisses ? &clip : nullptr,
                extras ? 16 : 0, kBlitNoColor, nullptr, &tint, 0, 0, c.rotation, nullptr,
                extras ? alpha->handle() : nullptr, nullptr);
        EXPECT_EQ(dst->Diff(*before) != "", c.draws) << c.what << (extras ? " with mask and alpha" : "");
      }
    }
  }
  EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
