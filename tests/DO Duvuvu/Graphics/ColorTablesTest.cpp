#include <gtest/gtest.h>

#include "ColorTables.h"
#include "FadesTestSupport.h"
#include "FixedResultServices.h"
#include "PortDrawing.h"

namespace {

using fadestest::FadesTest;

// A table of n entries (size n - 1) in a block just big enough.
CTabHandle NewTable(int entries, UInt16 red = 0) {
  auto t = reinterpret_cast<CTabHandle>(NewHandleBlockClear(8 + 8 * entries));
  (*t)->size = static_cast<SInt16>(entries - 1);
  for (int i = 0; i < entries; ++i) (*t)->table[i] = ColorSpecEntry{static_cast<SInt16>(i), red, 100, 200};
  return t;
}

int gPalette = 0;
void* FakeAllocPalette(SInt16, void*, SInt16, SInt16) { return &gPalette; }

class ColorTables : public FadesTest {
 protected:
  void TearDown() override {
    for (CTabHandle& t : CycleTables) DisposeCTable(&t);
    DisposeCTable(&GlobalColorTable);
    ScreenPalette = nullptr;
    SetFixedResultServices(nullptr);
    FadesTest::TearDown();
  }
  void UseFakePalette() {
    FixedResultServices services = GetFixedResultServices();
    services.allocPalette = FakeAllocPalette;
    SetFixedResultServices(&services);
  }
};

TEST_F(ColorTables, CopyCTableTakesTheSmallerCountAndTheSourcesHeader) {
  CTabHandle source = NewTable(256, 500);
  (*source)->seed = 77;
  (*source)->flags = 0x4000;
  CTabHandle small = NewTable(16, 1);
  CopyCTable(source, small);
  EXPECT_EQ((*small)->size, 255);
  EXPECT_EQ((*small)->seed, 77);
  EXPECT_EQ((*small)->flags, 0x4000);
  EXPECT_EQ((*small)->table[15].red, 500);
  // Its block still holds 16 entries: a later walk stops there (ASan).
  EXPECT_EQ(CTableEntryCount(small), 16);
  CTabHandle again = NewTable(256);
  CopyCTable(small, again);
  EXPECT_EQ((*again)->table[15].red, 500);
  EXPECT_EQ((*again)->table[16].red, 0);

  // An empty source passes only its header.
  (*source)->size = -1;
  CopyCTable(source, again);
  EXPECT_EQ((*again)->size, -1);
  EXPECT_EQ((*again)->table[0].red, 500);
  for (CTabHandle t : {source, small, again}) DisposeCTable(&t);
}

TEST_F(ColorTables, DarkFaderScalesTheFirstCycleTable) {
  FadesOn(8);
  CycleTables[0] = NewTable(256, 48000);
  BuildDarkFader(-1);
  // A new table has one entry, so one colour is copied before the size.
  struct Case {
    int level;
    UInt16 red;
  };
  for (const Case c : {Case{0, 0}, Case{1, 2000}, Case{12, 24000}, Case{23, 46000}, Case{24, 48000}}) {
    EXPECT_EQ((*BrightCluts[c.level])->table[0].red, c.red) << c.level;
  }
  EXPECT_EQ((*BrightCluts[0])->table[0].green, 0);
  EXPECT_EQ((*BrightCluts[12])->size, 255);
  ASSERT_NE(BrightInverseTables[3], nullptr);
  EXPECT_EQ(GetPtrBlockSize(BrightInverseTables[3]), 256);
  EXPECT_EQ(BrightInverseTables[3][200], 0);
}

TEST_F(ColorTables, BrightCluts) {
  FadesOn(8);
  UseFakePalette();
  EngineSettings[0] = 0;
  EngineSettings[8] = 8;
  LoadScreenClut(128);
  ASSERT_NE(ScreenPalette, nullptr);
  CycleTables[0] = NewTable(256, 0);
  BuildBrightCluts(-1);
  struct Case {
    int level;
    UInt16 red;
  };
  for (const Case c : {Case{25, 2730}, Case{36, 32768}, Case{47, 62805}, Case{48, 65535}})
    EXPECT_EQ((*BrightCluts[c.level])->table[0].red, c.red) << c.level;
  for (int i = 0; i < 256; ++i) ASSERT_EQ((*BrightCluts[48])->table[i].blue, 65535) << i;
  // Inverse tables: the nearest index (0 here) for 0 .. 279 - level.
  const auto* level25 = reinterpret_cast<const UInt8*>(BrightInverseTables[25]);
  const auto* level48 = reinterpret_cast<const UInt8*>(BrightInverseTables[48]);
  EXPECT_EQ(level25[254], 0);
  EXPECT_EQ(level25[255], 255);
  EXPECT_EQ(level48[231], 0);
  EXPECT_EQ(level48[232], 232);
  EXPECT_EQ(level48[255], 255);
}

TEST_F(ColorTables, BrightClutsAreNotBuiltForADeepOwnedScreen) {
  EngineSettings[0] = 1;
  EngineSettings[8] = 16;
  BuildBrightCluts(-1);
  for (CTabHandle t : BrightCluts) EXPECT_EQ(t, nullptr);
}

TEST_F(ColorTables, SetCycleEntriesRotatesAcrossTheFourTables) {
  GlobalColorTable = NewTable(256);
  for (int i = 0; i < 256; ++i) (*GlobalColorTable)->table[i].red = static_cast<UInt16>(1000 + i);
  for (CTabHandle& t : CycleTables) t = NewTable(256);
  SetCycleEntries(1, 2, 3, 4, 10);
  const int expected[4][4] = {{1, 2, 3, 4}, {4, 1, 2, 3}, {3, 4, 1, 2}, {2, 3, 4, 1}};
  for (int t = 0; t < 4; ++t)
    for (int k = 0; k < 4; ++k) EXPECT_EQ((*CycleTables[t])->table[10 + k].red, 1000 + expected[t][k]) << t << k;
  // Only the value fields' neighbours change: the value stays.
  EXPECT_EQ((*CycleTables[1])->table[10].value, 10);

  // Slot 254 writes 254 and 255 only; nothing past the last entry (ASan).
  SetCycleEntries(5, 6, 7, 8, 254);
  EXPECT_EQ((*CycleTables[0])->table[254].red, 1005);
  EXPECT_EQ((*CycleTables[0])->table[255].red, 1006);

  // Nil cycle tables stay nil; no global table, nothing.
  DisposeCTable(&CycleTables[2]);
  SetCycleEntries(1, 2, 3, 4, 0);
  EXPECT_EQ(CycleTables[2], nullptr);
  DisposeCTable(&GlobalColorTable);
  SetCycleEntries(9, 9, 9, 9, 0);
  EXPECT_EQ((*CycleTables[0])->table[0].red, 1001);
}

TEST_F(ColorTables, EightBitBrightnessShowsTheLevelTable) {
  FadesOn(8);
  CycleTables[0] = NewTable(256, 48000);
  BuildDarkFader(-1);
  SetBrightness(12);
  const CTabHandle shown = GetScreenFadeTablesForTesting().current8;
  EXPECT_EQ((*shown)->table[0].red, 24000);
  EXPECT_TRUE(display.tables.empty());
}

TEST_F(ColorTables, FadeColorTableStepsOnAnIndexedDevice) {
  FadesOn(8);
  display.fullScreen = 0;
  EngineSettings[0] = 1;
  // A type-0 device with a colour table of its own.
  PixMapHandle pixMap = NewPixMapHandle();
  CTabHandle own = NewTable(256, 123);
  (*pixMap)->colorTable = reinterpret_cast<Handle>(own);
  auto device = reinterpret_cast<DeviceHandle>(NewHandleBlockClear(sizeof(DeviceRecord)));
  (*device)->type = 0;
  (*device)->pixMap = pixMap;

  CTabHandle target = NewTable(256, 40000);
  FadeColorTable(target, 4, device);
  EXPECT_EQ(display.flushedReds, (std::vector<UInt16>{10000, 20000, 30000, 40000}));
  EXPECT_EQ(display.flushes, 4);
  EXPECT_EQ((*own)->table[0].red, 123);
  EXPECT_EQ((*GetScreenFadeTablesForTesting().current8)->table[200].red, 40000);

  // The main device (direct colour) only takes the target.
  display.flushes = 0;
  CTabHandle black = NewTable(256, 0);
  FadeColorTable(black, 4, nullptr);
  EXPECT_EQ(display.flushes, 0);
  EXPECT_EQ((*GetScreenFadeTablesForTesting().current8)->table[0].red, 0);

  // A device without a colour table of its own fades all the same.
  (*pixMap)->colorTable = nullptr;
  FadeColorTable(target, 2, device);
  EXPECT_EQ(display.flushes, 2);
  for (CTabHandle t : {own, target, black}) DisposeCTable(&t);
  DisposePixMapHandle(pixMap);
  DisposeHandleBlock(reinterpret_cast<Handle>(device));
}

TEST_F(ColorTables, FatalErrors) {
  using portstest::ExpectFatalBox;
  ExpectFatalBox([] { LoadScreenClut(128); }, "NewPalette()", "Error: Sorry, a memory error has occured.");
  ExpectFatalBox([] { LoadScreenClut(-1); }, "CLUT    #-1", "Error: Failed to load the CLUT.");
  ExpectFatalBox([] { SetWindowClut(5, nullptr); }, "SetWindowClut()", "Error: Sorry, a memory error has occured.");
  ExpectFatalBox(
      [this] {
        UseFakePalette();
        SetWindowClut(5, nullptr);
      },
      "SetWindowClut()", "Error: The clut could not be set because the window was not initialized.");
  ExpectFatalBox(
      [] {
        CTabHandle t = NewTable(4);
        CopyCTable(nullptr, t);
      },
      "CopyCTable();", "Error: srceClut is nil.");
  ExpectFatalBox(
      [] {
        CTabHandle t = NewTable(4);
        GetScreenColors(t);  // no colours are shown while the fades are off
      },
      "CopyCTable();", "Error: srceClut is nil.");
  ExpectFatalBox(
      [] {
        CTabHandle t = NewTable(4);
        CopyCTable(t, nullptr);
      },
      "CopyCTable();", "Error: destClut is nil.");
  ExpectFatalBox(
      [this] {
        FadesOn(8);
        BuildDarkFader(-1);
      },
      "CopyCTable();", "Error: srceClut is nil.");
  ExpectFatalBox(
      [this] {
        FadesOn(8);
        UseFakePalette();
        EngineSettings[0] = 0;
        CycleTables[0] = NewTable(256);
        BuildBrightCluts(-1);
      },
      "", "Error: Program Error:  SetScreenClut() must be called once before BuildBrightCluts().");
  ExpectFatalBox(
      [this] {
        FadesOn(8);
        CTabHandle fade = GetScreenFadeTablesForTesting().fade;
        (*fade)->size = 15;
        FadeScreenColor(&BlackColor, 1, nullptr);
      },
      "15", "Error: FadeScreenColor():  fadeCLUT.ctSize is invalid.");
  ExpectFatalBox(
      [] {
        DeviceHandle saved = mainDEVICE;
        mainDEVICE = nullptr;
        GetOrigCTable();
        mainDEVICE = saved;
      },
      "GetOrigCTable()", "Error: mainDEVICE is nil.");
}

}  // namespace
