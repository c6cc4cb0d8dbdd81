#include <gtest/gtest.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "AppGlobals.h"
#include "ResultCodes.h"
#include "FixedResultServices.h"
#include "LookupTables.h"
#include "Memory.h"
#include "PNGFiles.h"
#include "PortsTestSupport.h"
#include "TestSupport.h"

namespace {

UInt16 Entry(Ptr table, int i) { return reinterpret_cast<const UInt16*>(table)[i]; }

class LookupTables : public portstest::PortsTest {
 protected:
  void SetUp() override {
    PortsTest::SetUp();
    saved_ = EngineSettings[8];
    EngineSettings[8] = 16;
  }
  void TearDown() override {
    DisposeLookupTable(&table);
    EngineSettings[8] = saved_;
    SetFixedResultServices(nullptr);
    PortsTest::TearDown();
  }
  Ptr table = nullptr;

 private:
  UInt8 saved_ = 0;
};

TEST_F(LookupTables, NewTablesFollowTheDepthSetting) {
  NewLookupTable(&table);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(GetPtrBlockSize(table), 65536);
  EXPECT_EQ(Entry(table, 1000), 1000);
  EXPECT_EQ(Entry(table, 32767), 32767);
  EngineSettings[8] = 8;
  NewLookupTable(&table);
  EXPECT_EQ(GetPtrBlockSize(table), 256);
  EXPECT_EQ(static_cast<UInt8>(table[200]), 200);
  EngineSettings[8] = 32;
  NewLookupTable(&table);
  EXPECT_EQ(table, nullptr);
}

TEST_F(LookupTables, TooSmallTablesAreLeftAlone) {
  EngineSettings[8] = 8;
  NewLookupTable(&table);
  EngineSettings[8] = 16;
  Ptr big = nullptr;
  NewLookupTable(&big);
  reinterpret_cast<UInt16*>(big)[5] = 9;
  CopyLookupTable(big, table);  // 65536 bytes would not fit (ASan)
  EXPECT_EQ(static_cast<UInt8>(table[5]), 5);
  BuildHSVScaleTable(table, 0, 65536, 32768);
  EXPECT_EQ(static_cast<UInt8>(table[255]), 255);
  BuildHSVBlendTable(table, 0, 0, 65536, 50);
  EXPECT_EQ(static_cast<UInt8>(table[1]), 1);
  Ptr other = nullptr;
  NewLookupTable(&other);
  CopyLookupTable(big, other);
  EXPECT_EQ(Entry(other, 5), 9);
  DisposeLookupTable(&big);
  DisposeLookupTable(&other);
}

TEST_F(LookupTables, FromAnImage) {
  testsupport::TempDir dir;
  std::vector<UInt8> rgba(256 * 128 * 4);
  for (int i = 0; i < 32768; ++i) {
    rgba[4 * i] = static_cast<UInt8>(((i >> 10) & 31) * 8);
    rgba[4 * i + 1] = static_cast<UInt8>(((i >> 5) & 31) * 8);
    rgba[4 * i + 2] = static_cast<UInt8>((i & 31) * 8);
    rgba[4 * i + 3] = 255;
  }
  const std::string path = dir / "table.png";
  ASSERT_EQ(WritePNGFile(path.c_str(), rgba.data(), 256, 128, 0, nullptr, 0), 1);

  // A 256-byte table comes back as a 16-bit one.
  EngineSettings[8] = 8;
  NewLookupTable(&table);
  EXPECT_EQ(LoadLookupTableFromImage(&table, path.c_str()), 0);
  ASSERT_EQ(GetPtrBlockSize(table), 65536);
  for (int i = 0; i < 32768; ++i) ASSERT_EQ(Entry(table, i), i) << i;

  const std::string damaged = dir / "damaged.png";
  FILE* f = std::fopen(damaged.c_str(), "wb");
  std::fputs("\x89PNG\r\n\x1a\nnot really", f);
  std::fclose(f);
  for (const std::string& bad : {damaged, dir / "missing.png"}) {
    reinterpret_cast<UInt16*>(table)[3] = 77;
    EXPECT_EQ(LoadLookupTableFromImage(&table, bad.c_str()), kErrFailed) << bad;
    EXPECT_EQ(Entry(table, 3), 77);
  }
}

Handle gResource = nullptr;
Handle FakeResource(OSType type, ConstStr255Param) { return type == FOUR_CHAR_CODE("tabl") ? gResource : nullptr; }

TEST_F(LookupTables, FromAResource) {
  FixedResultServices services = GetFixedResultServices();
  services.getNamedResource = FakeResource;
  SetFixedResultServices(&services);
  gResource = NewHandleBlockClear(65536);
  (*gResource)[1] = 1;
  (*gResource)[65535] = 0x7F;
  LoadLookupTable16(&table, reinterpret_cast<ConstStr255Param>("\005Shade"));
  EXPECT_EQ(Entry(table, 0), 1);
  EXPECT_EQ(Entry(table, 32767), 0x7F);

  auto child = [](bool shortResource) {
    return [shortResource] {
      FixedResultServices s = GetFixedResultServices();
      s.getNamedResource = FakeResource;
      SetFixedResultServices(&s);
      gResource = shortResource ? NewHandleBlockClear(100) : nullptr;
      Ptr t = nullptr;
      LoadLookupTable16(&t, reinterpret_cast<ConstStr255Param>("\005Shade"));
    };
  };
  portstest::ExpectFatalBox(child(false), "Shade", "Error: LoadLookupTable16()");
  portstest::ExpectFatalBox(child(true), "Shade", "Error: LoadLookupTable16()");
}

TEST_F(LookupTables, HSVTablesAt16Bits) {
  NewLookupTable(&table);
  struct Case {
    UInt16 hue;
    SInt32 saturation, value;
    int from, to;
  };
  const Case cases[] = {
      {21845, 65536, 65536, 0x7C00, 0x03E0},
      {0, 65536, 32768, 0x7BDE, 0x3DEF},  // 0x7FFF itself is the fixed end
      {10923, 65536, 65536, 0x7E10, 0x7FF0},
      {0, 65536, 131072, 0x7BDE, 0x7FFF},  // a value above 65535 is held there
  };
  for (const Case& c : cases) {
    BuildHSVScaleTable(table, c.hue, c.saturation, c.value);
    EXPECT_EQ(Entry(table, c.from), c.to) << c.hue;
    EXPECT_EQ(Entry(table, 0), 0);
    EXPECT_EQ(Entry(table, 32767), 32767);
  }
  for (const auto& [percent, to] : std::initializer_list<std::pair<int, int>>{{0, 0x7C00}, {50, 0x03E0}, {100, 0x001F}}) {
    BuildHSVBlendTable(table, 43690, 65535, 65536, static_cast<SInt8>(percent));
    EXPECT_EQ(Entry(table, 0x7C00), to) << percent;
  }
}

// A 3-3-2 colour cube stands in for the screen's colour-index services:
// index rrrgggbb, each part spread over 0..65535 and read back from the top bits.
void CubeColor(SInt32 index, ColorRGB* out) {
  *out = ColorRGB{static_cast<UInt16>((index >> 5 & 7) * 65535 / 7), static_cast<UInt16>((index >> 2 & 7) * 65535 / 7),
                  static_cast<UInt16>((index & 3) * 65535 / 3)};
}
SInt32 CubeIndex(const ColorRGB* c) { return (c->red >> 13) << 5 | (c->green >> 13) << 2 | c->blue >> 14; }

constexpr int kBlue = 3, kGreen = 7 << 2, kRed = 7 << 5, kWhite = 255;
constexpr int kDarkRed = 3 << 5;  // (28086, 0, 0)

TEST_F(LookupTables, EightBitBuildersOnThisPlatform) {
  FixedResultServices services = GetFixedResultServices();
  services.colorIndexToRGB = CubeColor;
  services.rgbToColorIndex = CubeIndex;
  SetFixedResultServices(&services);
  EngineSettings[8] = 8;
  NewLookupTable(&table);
  struct Case {
    const char* what;
    void (*build)(Ptr);
    bool setsEnds;
    std::vector<std::pair<int, int>> entries;  // index, expected entry
  };
  const Case cases[] = {
      {"hue to red", [](Ptr t) { BuildHueTable8(t, 0); }, true, {{kBlue, kRed}, {kGreen, kRed}, {kDarkRed, kDarkRed}}},
      {"hue to green", [](Ptr t) { BuildHueTable8(t, 21845); }, true, {{kBlue, kGreen}, {kRed, kGreen}}},
      {"saturation off", [](Ptr t) { BuildSaturationTable8(t, 0); }, true,
       {{kBlue, kWhite}, {kRed, kWhite}, {kDarkRed, 3 << 5 | 3 << 2 | 1}}},
      {"saturation kept", [](Ptr t) { BuildSaturationTable8(t, 65536); }, true,
       {{kBlue, kBlue}, {kDarkRed, kDarkRed}, {200, 200}}},
      // The HSL conversions leave their outputs as they were here.
      {"lighten", [](Ptr t) { BuildLightenTable8(t, 65535); }, true,
       {{kBlue, kBlue}, {kDarkRed, kDarkRed}, {200, 200}}},
      {"contrast", [](Ptr t) { BuildContrastTable8(t, 3.0f); }, false, {{kBlue, 1}, {kRed, 2 << 5}}},
      {"hsv scale", [](Ptr t) { BuildHSVScaleTable(t, 0, 65536, 40000); }, true, {{kBlue, 4 << 5}, {kGreen, 4 << 5}}},
      {"hsv blend", [](Ptr t) { BuildHSVBlendTable(t, 21845, 65535, 65536, 50); }, true,
       {{kBlue, kGreen}, {kDarkRed, 3 << 2}}},
  };
  for (const Case& c : cases) {
    std::fill(table, table + 256, 7);
    c.build(table);
    EXPECT_EQ(static_cast<UInt8>(table[0]), c.setsEnds ? 0 : 7) << c.what;
    EXPECT_EQ(static_cast<UInt8>(table[255]), c.setsEnds ? 255 : 7) << c.what;
    for (const auto& [index, expected] : c.entries)
      EXPECT_EQ(static_cast<UInt8>(table[index]), expected) << c.what << ", entry " << index;
  }
}

TEST(ContrastChange, ScalesSaturationAndDividesValue) {
  struct Case {
    float factor;
    HSVColor out;
  };
  for (const Case& c : {Case{2.0f, {0, 65535, 30000}}, Case{0.5f, {0, 20000, 54464}}, Case{0.0f, {0, 0, 60000}}}) {
    const HSVColor out = ContrastChange(HSVColor{0, 40000, 60000}, c.factor);
    EXPECT_EQ(out.saturation, c.out.saturation) << c.factor;
    EXPECT_EQ(out.value, c.out.value) << c.factor;
  }
}

}  // namespace
