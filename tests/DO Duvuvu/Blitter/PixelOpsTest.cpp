#include <gtest/gtest.h>

#include <vector>

#include "BlitTestMaps.h"
#include "PixelOps.h"
#include "TestSupport.h"

namespace {

TEST(RotateMaskTable, EveryEntryFollowsTheBitRangeRule) {
  for (UInt32 b = 0; b < 32; ++b) {
    for (UInt32 e = 0; e < 32; ++e) {
      UInt32 want = 0;
      for (UInt32 bit = 0; bit < 32; ++bit) {
        const bool set = b <= e ? (bit >= b && bit <= e) : (bit >= b || bit <= e);
        if (set) want |= 0x80000000u >> bit;
      }
      ASSERT_EQ(RotateMaskTable[b * 32 + e], want) << b << "," << e;
    }
  }
  struct Entry {
    UInt32 b, e, value;
  } entries[] = {{0, 31, 0xFFFFFFFF}, {31, 31, 1},          {0, 0, 0x80000000},
                 {31, 0, 0x80000001}, {5, 4, 0xFFFFFFFF},   {6, 10, 0x03E00000},
                 {22, 26, 0x000003E0}, {17, 21, 0x00007C00}, {27, 31, 0x0000001F},
                 {8, 12, 0x00F80000}, {16, 20, 0x0000F800}, {24, 28, 0x000000F8},
                 {13, 15, 0x00070000}, {21, 23, 0x00000700}, {29, 31, 0x00000007}};
  for (const Entry& x : entries) EXPECT_EQ(RotateMask(x.b, x.e), x.value) << x.b << "," << x.e;
  const auto before = RotateMaskTable;
  BuildRotateMaskTable();
  EXPECT_EQ(RotateMaskTable, before);
}

// Maps whose base is their bounds' top-left; the tests address from the base.
TEST(RectHasColorName, CountsMatchingPixels) {
  auto map = blittest::MakeMap(8, 4, 1, 0);
  const Rect r{0, 0, 1, 4};
  using P = std::vector<UInt32>;
  const std::pair<P, SInt8> cases[] = {{{7, 7, 7, 7}, 2}, {{7, 1, 7, 1}, 1}, {{1, 2, 3, 4}, 0}};
  for (const auto& [pixels, want] : cases) {
    for (int i = 0; i < 4; ++i) map->Set(i, 0, pixels[i]);
    EXPECT_EQ(RectHasColorName(map->handle(), &r, 7), want);
  }
  const Rect empty{0, 2, 0, 4};
  EXPECT_EQ(RectHasColorName(map->handle(), &empty, 7), 2);
  for (int i = 0; i < 4; ++i) map->Set(i, 0, 0);
  EXPECT_EQ(RectHasColorName(map->handle(), &r, 0x100), 0);

  auto map16 = blittest::MakeMap(16, 3, 2, 0x7FFF);
  const Rect r16{1, 1, 2, 3};
  map16->Set(1, 1, 0x1234);
  EXPECT_EQ(RectHasColorName(map16->handle(), &r16, 0x1234), 1);
  EXPECT_EQ(RectHasColorName(map16->handle(), &r16, 0x11234), 0);
}

TEST(RectContainsColorsName, RangeShadowAndKeyFlag) {
  auto map = blittest::MakeMap(16, 4, 2, 0x0100);
  const Rect r{0, 0, 2, 4};
  UInt8 flag = 9;
  EXPECT_EQ(RectContainsColorsName(map->handle(), &r, 0x200, 0x100, &flag, nullptr), 0u);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(RectContainsColorsName(map->handle(), &r, 0x0F0, 0x100, &flag, nullptr), 1u);
  map->Set(3, 1, 0x7FFF);
  EXPECT_EQ(RectContainsColorsName(map->handle(), &r, 0x200, 0x300, &flag, nullptr), 0u);
  EXPECT_EQ(flag, 0);
  std::vector<UInt16> shadow(65536, 0);
  EXPECT_EQ(RectContainsColorsName(map->handle(), &r, 0, 0xFFFF, nullptr, shadow.data()), 0u);
  shadow[0x7FFF] = 0x8000;
  EXPECT_EQ(RectContainsColorsName(map->handle(), &r, 1, 0, nullptr, shadow.data()), 1u);

  auto map32 = blittest::MakeMap(32, 2, 1, 0x00FFFFFF);
  const Rect r32{0, 0, 1, 2};
  EXPECT_EQ(RectContainsColorsName(map32->handle(), &r32, 0x00FFFFFF, 0x00FFFFFF, &flag, nullptr), 1u);
  EXPECT_EQ(flag, 0);
}

UInt16 Tinted(UInt16 present, BlitTint tint) {
  auto map = blittest::MakeMap(16, 3, 3, 0x1111);
  map->Set(2, 1, present);
  SetPixelTinted16(map->handle(), 2, 1, tint);
  EXPECT_EQ(map->Get(1, 1), 0x1111u);  // neighbours untouched
  return static_cast<UInt16>(map->Get(2, 1));
}

TEST(SetPixelTinted16, BlendsEveryFieldTowardTheColour) {
  EXPECT_EQ(Tinted(0x1234, {3, 4, 5, 32}), 3 * 1024 + 4 * 32 + 5);
  EXPECT_EQ(Tinted(0x0000, {31, 31, 31, 16}), 0x3DEF);
  EXPECT_EQ(Tinted(0x7FFF, {0, 0, 0, 16}), 0x3DEF);
  EXPECT_EQ(Tinted(0x1234, {9, 9, 9, 0}), 0x1234);
  // Bit 15 is no colour: it neither reaches red nor survives.
  EXPECT_EQ(Tinted(0xFFFF, {0, 0, 0, 16}), 0x3DEF);
  EXPECT_EQ(Tinted(0x9234, {9, 9, 9, 0}), 0x1234);
}

TEST(SetPixelTinted16, SpreadFormEqualsTheFieldFormula) {
  for (UInt32 level = 0; level <= 32; ++level) {
    for (UInt32 d : {0x0000u, 0x7FFFu, 0x1234u, 0x5A5Au, 0x03E0u}) {
      const BlitTint tint{17, 3, 29, static_cast<SInt8>(level)};
      auto field = [&](int shift, int c) {
        const int df = static_cast<int>((d >> shift) & 31);
        const int diff = (c - df) * static_cast<int>(level);
        const int step = diff >= 0 ? diff / 32 : -((-diff + 31) / 32);
        return static_cast<UInt32>(df + step) << shift;
      };
      const UInt32 want = field(10, 17) | field(5, 3) | field(0, 29);
      EXPECT_EQ(Tinted(static_cast<UInt16>(d), tint), want) << "level " << level << " d " << d;
    }
  }
}

TEST(PixelOpsDeathTest, NilPixMapIsFatal) {
  const Rect r{0, 0, 1, 1};
  struct Case {
    bool nilMaster;
    bool contains;
    const char* text;
  } cases[] = {{false, false, "Tried to pass a nil pixmap to RectHasColorName4"},
               {true, false, "Tried to pass a nil pixmap to RectHasColorName4"},
               {false, true, "Tried to pass a nil pixmap to RectContainsColorsName4"},
               {true, true, "Tried to pass a nil pixmap to RectContainsColorsName4"}};
  for (const Case& c : cases) {
    const auto result = testsupport::RunInChild([&] {
      PixMapPtr master = nullptr;
      PixMapHandle h = c.nilMaster ? &master : nullptr;
      if (c.contains) {
        RectContainsColorsName(h, &r, 0, 1, nullptr, nullptr);
      } else {
        RectHasColorName(h, &r, 0);
      }
    });
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.stderrText.find(c.text), std::string::npos) << result.stderrText;
  }
}

}  // namespace
