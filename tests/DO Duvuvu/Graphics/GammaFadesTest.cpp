#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Clocks.h"
#include "ResultCodes.h"
#include "FadesTestSupport.h"

namespace {

using fadestest::FadesTest;
using fadestest::Flat;
using fadestest::NewTable;

void ExpectFlat(const GammaTable& t, float red, float green, float blue) {
  for (int i = 0; i < 256; ++i) {
    ASSERT_NEAR(t.red[i], red, 1e-6) << i;
    ASSERT_NEAR(t.green[i], green, 1e-6) << i;
    ASSERT_NEAR(t.blue[i], blue, 1e-6) << i;
  }
}

TEST_F(FadesTest, WithTheFadesOffNothingReachesTheDisplay) {
  ApplyGammaTable(GetOrigGammaTable(), nullptr);
  BuildBrightGammaTables(nullptr);
  FadeToColorNow(&BlackColor, nullptr);
  SetBrightness(12);
  EXPECT_EQ(BrightnessLevel, 12);
  SetBrightnessAndWait(30);
  SetBrightnessDark();
  SetBrightnessNormal();
  SetBrightnessWhite();
  FadeToNormalBrightness();
  FadeBrightnessToDark();
  FadeWhiteToNormal();
  EXPECT_EQ(BrightnessLevel, 23);
  FadeNormalToWhite();
  EXPECT_EQ(BrightnessLevel, 49);
  FadeScreenColor(&BlackColor, 4, nullptr);
  DisposeScreenFades();

  EXPECT_TRUE(display.tables.empty());
  EXPECT_EQ(display.otherCalls, 0);
  EXPECT_EQ(display.flushes, 0);
  for (GammaTableHandle t : BrightGammaTables) EXPECT_EQ(t, nullptr);
  const ScreenFadeTables tables = GetScreenFadeTablesForTesting();
  EXPECT_EQ(tables.reference, nullptr);
  EXPECT_EQ(tables.current8, nullptr);

  GammaTableHandle table = nullptr;
  NewGammaTable(&table);
  EXPECT_EQ(table, nullptr);
  GammaTableHandle probe = NewTable(Flat(0.3f));
  EXPECT_EQ(GetDisplayGammaTable(probe, nullptr), kErrFailed);
  EXPECT_EQ(SetDisplayGammaTable(probe, nullptr), kErrFailed);
  EXPECT_FLOAT_EQ((*probe)->red[7], 0.3f);
  DisposeHandleBlock(reinterpret_cast<Handle>(probe));
}

TEST_F(FadesTest, BrightnessLevelsStayInRange) {
  SetBrightness(200);
  EXPECT_EQ(BrightnessLevel, 48);
  BrightenOneLevel();
  EXPECT_EQ(BrightnessLevel, 48);
  SetBrightnessAndWait(255);
  EXPECT_EQ(BrightnessLevel, 48);
  SetBrightness(0);
  DarkenOneLevel();
  EXPECT_EQ(BrightnessLevel, 0);
  BrightenOneLevel();
  EXPECT_EQ(BrightnessLevel, 1);
}

TEST_F(FadesTest, BrightGammaLevelsScaleTheBase) {
  FadesOn();
  GammaTableHandle half = NewTable(Flat(0.5f));
  BuildBrightGammaTables(half);
  struct Case {
    int level;
    float value;
  };
  for (const Case c : {Case{0, 0.0f}, Case{12, 0.25f}, Case{24, 0.5f}, Case{36, 0.75f}, Case{48, 1.0f}}) {
    SCOPED_TRACE(c.level);
    ExpectFlat(**BrightGammaTables[c.level], c.value, c.value, c.value);
  }
  DisposeHandleBlock(reinterpret_cast<Handle>(half));

  // No base: the reference (i / 255 here).
  BuildBrightGammaTables(nullptr);
  EXPECT_NEAR((*BrightGammaTables[6])->red[255], 0.25, 1e-6);
  EXPECT_NEAR((*BrightGammaTables[42])->blue[0], 0.75, 1e-6);
  EXPECT_NEAR((*BrightGammaTables[24])->green[51], 0.2, 1e-6);
  EXPECT_TRUE(display.tables.empty());
}

// A level table as the base is read before the levels are made anew (ASan).
TEST_F(FadesTest, ALevelTableCanBeTheBase) {
  FadesOn();
  GammaTableHandle half = NewTable(Flat(0.5f));
  BuildBrightGammaTables(half);
  DisposeHandleBlock(reinterpret_cast<Handle>(half));
  struct Case {
    int base;
    float normal;
  };
  for (const Case c : {Case{12, 0.25f}, Case{24, 0.25f}, Case{36, 0.625f}}) {
    SCOPED_TRACE(c.base);
    BuildBrightGammaTables(BrightGammaTables[c.base]);
    ExpectFlat(**BrightGammaTables[24], c.normal, c.normal, c.normal);
    ExpectFlat(**BrightGammaTables[12], c.normal / 2, c.normal / 2, c.normal / 2);
    ExpectFlat(**BrightGammaTables[48], 1.0f, 1.0f, 1.0f);
  }
}

TEST_F(FadesTest, BrightnessHandsTheLevelTableToTheDisplay) {
  FadesOn();
  GammaTableHandle half = NewTable(Flat(0.5f));
  BuildBrightGammaTables(half);
  DisposeHandleBlock(reinterpret_cast<Handle>(half));

  SetBrightness(12);
  ASSERT_EQ(display.tables.size(), 1u);
  ExpectFlat(display.tables[0], 0.25f, 0.25f, 0.25f);

  display.tables.clear();
  FadeWhiteToNormal();
  ASSERT_EQ(display.tables.size(), 25u);
  ExpectFlat(display.tables.front(), 1.0f, 1.0f, 1.0f);
  ExpectFlat(display.tables[12], 0.75f, 0.75f, 0.75f);
  ExpectFlat(display.tables.back(), 0.5f, 0.5f, 0.5f);
  EXPECT_EQ(BrightnessLevel, 23);
}

TEST_F(FadesTest, LevelsNeverBuiltAreSkipped) {
  FadesOn();
  SetBrightness(30);
  FadeToNormalBrightness();
  EXPECT_TRUE(display.tables.empty());
  EXPECT_EQ(BrightnessLevel, 24);
}

TEST_F(FadesTest, AFadeStepsOncePerTickToTheTarget) {
  FadesOn();
  GammaTableHandle white = NewTable(Flat(1.0f));
  const SInt32 start = GetTicks();
  FadeGammaTable(white, 4, nullptr);
  EXPECT_GE(GetTicks() - start, 3);
  // A fresh display reads all 0.0, so the fade starts from black.
  ASSERT_EQ(display.tables.size(), 4u);
  for (int i = 0; i < 4; ++i) ExpectFlat(display.tables[i], 0.25f * (i + 1), 0.25f * (i + 1), 0.25f * (i + 1));

  display.tables.clear();
  GammaTableHandle grey = NewTable(Flat(0.4f));
  FadeGammaTable(grey, 1, nullptr);
  ASSERT_EQ(display.tables.size(), 1u);
  ExpectFlat(display.tables[0], 0.4f, 0.4f, 0.4f);

  display.tables.clear();
  FadeGammaTable(white, 0, nullptr);
  EXPECT_TRUE(display.tables.empty());
  GammaTableHandle current = NewTable(Flat(0.0f));
  GetCurrentGamma(current);
  ExpectFlat(**current, 1.0f, 1.0f, 1.0f);

  for (GammaTableHandle t : {white, grey, current}) DisposeHandleBlock(reinterpret_cast<Handle>(t));
}

TEST_F(FadesTest, AWindowedFadeChangesOnlyTheCurrentTable) {
  FadesOn();
  display.fullScreen = 0;
  GammaTableHandle grey = NewTable(Flat(0.6f));
  FadeGammaTable(grey, 3, nullptr);
  EXPECT_TRUE(display.tables.empty());
  ExpectFlat(**GetScreenFadeTablesForTesting().current, 0.6f, 0.6f, 0.6f);
  // The display reads back what was set.
  GammaTableHandle read = NewTable(Flat(0.0f));
  EXPECT_EQ(GetDisplayGammaTable(read, nullptr), 0);
  ExpectFlat(**read, 0.6f, 0.6f, 0.6f);
  for (GammaTableHandle t : {grey, read}) DisposeHandleBlock(reinterpret_cast<Handle>(t));
}

TEST_F(FadesTest, FadeToColorMakesFlatCurves) {
  FadesOn();
  const ColorRGB color = {65535, 32768, 0};
  FadeToColor(&color, 1, nullptr);
  ASSERT_EQ(display.tables.size(), 1u);
  ExpectFlat(display.tables[0], 1.0f, 0.500008f, 0.0f);
  ExpectFlat(**GetScreenFadeTablesForTesting().target, 1.0f, 0.500008f, 0.0f);
}

TEST_F(FadesTest, BlendingStopsPartWay) {
  FadesOn();
  GammaTableHandle from = NewTable(Flat(0.2f));
  GammaTableHandle to = NewTable(Flat(0.6f));
  BlendGammaTables(from, to, 1, 4, nullptr);
  ASSERT_EQ(display.tables.size(), 1u);
  ExpectFlat(display.tables[0], 0.3f, 0.3f, 0.3f);
  for (GammaTableHandle t : {from, to}) DisposeHandleBlock(reinterpret_cast<Handle>(t));
}

TEST_F(FadesTest, DisposingAppliesTheReferenceOnceAndTurnsTheFadesOff) {
  GammaTable curves = Flat(0.7f);
  FadesOn(32, &curves);
  DisposeScreenFades();
  ASSERT_EQ(display.tables.size(), 1u);
  ExpectFlat(display.tables[0], 0.7f, 0.7f, 0.7f);
  GammaTableHandle probe = NewTable(Flat(0.0f));
  EXPECT_EQ(GetDisplayGammaTable(probe, nullptr), kErrFailed);
  EXPECT_EQ(GetOrigGammaTable(), nullptr);
  DisposeHandleBlock(reinterpret_cast<Handle>(probe));
}

TEST(GammaArithmetic, ResampleFloatTable) {
  struct Case {
    std::vector<float> source;
    int m;
    std::vector<float> expected;
  };
  const std::vector<Case> cases = {
      {{0, 1}, 3, {0, 0.5f, 1}},
      {{0, 10, 20}, 5, {0, 5, 10, 15, 20}},
      {{7, 9}, 1, {7}},
      {{}, 3, {0, 0, 0}},
      {{3, 4, 5}, 3, {3, 4, 5}},
      {{0, 1, 2, 3, 4, 5, 6}, 4, {0, 2, 4, 6}},
  };
  for (const Case& c : cases) {
    std::vector<float> out(c.m, -1.0f);
    ResampleFloatTable(c.source.data(), out.data(), static_cast<SInt32>(c.source.size()), c.m);
    for (int i = 0; i < c.m; ++i) EXPECT_NEAR(out[i], c.expected[i], 1e-6) << c.source.size() << " -> " << c.m;
  }
  std::vector<float> same = {1, 2, 3};
  ResampleFloatTable(same.data(), same.data(), 3, 2);
  EXPECT_EQ(same, (std::vector<float>{1, 2, 3}));
}

TEST(GammaArithmetic, ResampleNeverReadsPastItsSource) {
  // 2050 entries to 8192: in float the last x is 2049.00024, just past the
  // last entry, so only the clamp keeps the read inside (ASan).
  constexpr SInt32 kSource = 2050, kOut = 8192;
  std::vector<float> source(kSource);
  for (int i = 0; i < kSource; ++i) source[i] = static_cast<float>(i);
  std::vector<float> out(kOut, -1.0f);
  ResampleFloatTable(source.data(), out.data(), kSource, kOut);
  EXPECT_NEAR(out[kOut - 1], 2049.0f, 1e-3);
  EXPECT_NEAR(out[0], 0.0f, 1e-6);
  EXPECT_NEAR(out[kOut / 2], 4096.0f * 2049.0f / 8191.0f, 1e-2);
}

TEST(GammaArithmetic, BuildGammaFromColor) {
  GammaTableHandle table = NewTable(Flat(9.0f));
  EXPECT_EQ(BuildGammaFromColor(table, nullptr, 1.0f, 1.0f), 256);
  for (int i : {0, 1, 128, 255}) {
    EXPECT_NEAR((*table)->red[i], i / 255.0, 1e-6);
    EXPECT_NEAR((*table)->blue[i], i / 255.0, 1e-6);
  }
  BuildGammaFromColor(table, nullptr, 0.6f, 0.0f);
  ExpectFlat(**table, 0.3f, 0.3f, 0.3f);

  const ColorRGB color = {65535, 32768, 0};
  BuildGammaFromColor(table, &color, 0.8f, 0.5f);
  EXPECT_NEAR((*table)->red[0], 0.2, 1e-6);
  EXPECT_NEAR((*table)->red[255], 0.6, 1e-6);
  EXPECT_NEAR((*table)->green[255], 0.400003, 1e-6);
  for (int i : {0, 100, 255}) EXPECT_NEAR((*table)->blue[i], 0.2, 1e-6);

  // Out-of-range brightness acts as its limit.
  BuildGammaFromColor(table, nullptr, 1.5f, 1.0f);
  EXPECT_NEAR((*table)->green[255], 1.0, 1e-6);
  DisposeHandleBlock(reinterpret_cast<Handle>(table));
}

// The older systems' path reads the device's gamma record.
std::vector<UInt8> gRecord;
OSErr FakeGammaStatus(DeviceHandle, const DeviceGammaRecord** out) {
  *out = gRecord.empty() ? nullptr : reinterpret_cast<const DeviceGammaRecord*>(gRecord.data());
  return 0;
}

std::vector<UInt8> Record(SInt16 channels, SInt16 count, const std::vector<UInt8>& data) {
  DeviceGammaRecord header = {0, 0, 0, channels, count, 8};
  std::vector<UInt8> bytes(sizeof header + data.size());
  std::memcpy(bytes.data(), &header, sizeof header);
  if (!data.empty()) std::memcpy(bytes.data() + sizeof header, data.data(), data.size());
  return bytes;
}

TEST_F(FadesTest, OlderSystemsResampleTheDeviceRecordWithinItsEntries) {
  DisplayManagerSeam seam = {};
  seam.olderSystem = 1;
  seam.gammaStatus = FakeGammaStatus;
  SetDisplayManagerSeam(&seam);
  FadesOn();
  GammaTableHandle table = NewTable(Flat(0.3f));

  gRecord = Record(1, 2, {0, 255});
  EXPECT_EQ(GetDisplayGammaTable(table, nullptr), 0);
  EXPECT_NEAR((*table)->red[64], 0.5, 1e-6);
  EXPECT_NEAR((*table)->green[127], 0.992188, 1e-6);
  for (int i = 128; i < 256; ++i) ASSERT_NEAR((*table)->blue[i], 1.0, 1e-6) << i;

  for (const auto& bad : {Record(3, 0, {}), Record(0, 2, {0, 255})}) {
    gRecord = bad;
    **table = Flat(0.3f);
    EXPECT_EQ(GetDisplayGammaTable(table, nullptr), kErrFailed);
    ExpectFlat(**table, 0.3f, 0.3f, 0.3f);
  }
  gRecord.clear();
  SetDisplayManagerSeam(nullptr);
  DisposeHandleBlock(reinterpret_cast<Handle>(table));
}

}  // namespace
