#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "AppGlobals.h"
#include "GraphicsStartup.h"
#include "MainWindow.h"
#include "Memory.h"
#include "PixMapDrawing.h"
#include "PixMapList.h"
#include "PortsTestSupport.h"
#include "ResultCodes.h"
#include "Windows.h"

namespace {

using portstest::ExpectFatalBox;
using portstest::Pixel16;
using portstest::Pixel32;
using PixMapList = portstest::PortsTest;

bool Aligned32(const void* p) { return (reinterpret_cast<uintptr_t>(p) & 31) == 0; }

UInt32 PtrBlocks() { return GeneralMemoryRegistry().PtrBlockCountForTesting(); }
UInt32 Handles() { return GeneralMemoryRegistry().HandleCountForTesting(); }

TEST_F(PixMapList, OwnMemoryRowsHoldWhole32PixelGroups) {
  struct Case {
    SInt32 depth;
    Rect bounds;
    UInt16 rowBytes;
  } cases[] = {
      {16, {10, 20, 30, 60}, 128},
      {16, {0, 0, 4, 100}, 256},
      {32, {0, 0, 4, 33}, 256},
      {32, {0, 0, 1, 32}, 128},
  };
  for (const Case& c : cases) {
    PixMapHandle pm = nullptr;
    ASSERT_EQ(CreatePixMap(c.depth, &pm, &c.bounds, 0, 1, 1), 0);
    ASSERT_NE(pm, nullptr);
    const PixMap* p = *pm;
    EXPECT_EQ(p->rowBytes, 0x8000 | c.rowBytes) << c.depth << " x " << c.bounds.right;
    EXPECT_EQ(p->bounds.top, c.bounds.top);
    EXPECT_EQ(p->bounds.left, c.bounds.left);
    EXPECT_EQ(p->bounds.bottom, c.bounds.bottom);
    EXPECT_EQ(p->bounds.right, c.bounds.right);
    EXPECT_TRUE(Aligned32(p->baseAddr));
    PixMapListEntry* entry = FindPixMapEntry(pm);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->ownsMemory, 1);
    EXPECT_EQ(GetPixMapGWorld(pm), entry->world);
    DestroyPixMap(&pm);
    EXPECT_EQ(pm, nullptr);
  }
}

TEST_F(PixMapList, ErasedPixMapsAreWhiteAndNamedUnnamed) {
  const Rect bounds{0, 0, 2, 3};
  PixMapHandle pm = nullptr;
  ASSERT_EQ(CreatePixMap(16, &pm, &bounds, 1, 0, 1), 0);
  EXPECT_EQ(Pixel16(GetPixMapGWorld(pm), 2, 1), 0x7FFF);
  Str255 name;
  ASSERT_EQ(GetPixMapName(pm, name), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "(unnamed pixmap)");
  DestroyPixMap(&pm);
}

TEST_F(PixMapList, CreatePixMap2AndDestroyLeaveTheListAsItWas) {
  InstallPixMapHooks();
  const UInt32 items = pixmapLIST->itemCount;
  const UInt32 blocks = PtrBlocks();
  const UInt32 handles = Handles();
  const Rect bounds{0, 0, 8, 8};
  PixMapHandle pm = nullptr;
  ASSERT_EQ(CreatePixMap2(16, &pm, &bounds, 1, 1, 1), 0);
  PixMapHandle alpha = GetPixMapAlpha(pm);
  ASSERT_NE(alpha, nullptr);
  EXPECT_EQ((*alpha)->pixelDepth, 8);
  EXPECT_EQ(pixmapLIST->itemCount, items + 2);
  ReleasePixMap(&pm);
  EXPECT_EQ(pm, nullptr);
  EXPECT_EQ(pixmapLIST->itemCount, items);
  EXPECT_EQ(FindPixMapEntry(alpha), nullptr);
  EXPECT_EQ(PtrBlocks(), blocks);
  EXPECT_EQ(Handles(), handles);
}

TEST_F(PixMapList, NamesLongerThan31ReadBackAsMinusOne) {
  const Rect bounds{0, 0, 1, 1};
  PixMapHandle pm = nullptr;
  ASSERT_EQ(CreatePixMap(16, &pm, &bounds, 1, 0, 0), 0);
  const unsigned char longName[] = "\050abcdefghijabcdefghijabcdefghijabcdefghij";
  SetPixMapName(pm, longName);
  Str255 out;
  std::memset(out, 0x5A, sizeof out);
  EXPECT_EQ(GetPixMapName(pm, out), -1);
  EXPECT_EQ(out[0], 0x5A);
  EXPECT_EQ(out[1], 0x5A);
  const unsigned char pict[] = "\004logo";
  SetPixMapPictName(pm, pict);
  ASSERT_EQ(GetPixMapPictName(pm, out), 0);
  EXPECT_EQ(std::memcmp(out, pict, 5), 0);
  SetPixMapInUse(pm, 1);
  SetClutUpdate(pm, 1);
  EXPECT_EQ(GetInUse(pm), 1);
  EXPECT_EQ(GetClutUpdate(pm), 1);
  DestroyPixMap(&pm);
}

TEST_F(PixMapList, AFailingOwnBlockIsAMemoryErrorWithoutLeaks) {
  const UInt32 items = pixmapLIST->itemCount;
  const UInt32 blocks = PtrBlocks();
  const UInt32 handles = Handles();
  const Rect bounds{0, 0, 16, 16};
  PixMapHandle pm = reinterpret_cast<PixMapHandle>(1);
  FailNextPixMapBlockForTesting();
  EXPECT_EQ(CreatePixMap(16, &pm, &bounds, 0, 1, 1), kErrMemFull);
  EXPECT_EQ(pm, nullptr);
  // A request no allocator can hold, and rows wider than 15 bits.
  const Rect huge{0, 0, 20000, 32767};
  pm = reinterpret_cast<PixMapHandle>(1);
  EXPECT_EQ(CreatePixMap(32, &pm, &huge, 0, 1, 1), kErrMemFull);
  EXPECT_EQ(pm, nullptr);
  const Rect wide{0, 0, 2, 9000};
  pm = reinterpret_cast<PixMapHandle>(1);
  EXPECT_EQ(CreatePixMap(32, &pm, &wide, 0, 0, 0), kErrMemFull);
  EXPECT_EQ(pm, nullptr);
  EXPECT_EQ(pixmapLIST->itemCount, items);
  EXPECT_EQ(PtrBlocks(), blocks);
  EXPECT_EQ(Handles(), handles);
  // CreatePixMap2 hands the error on.
  InstallPixMapHooks();
  pm = reinterpret_cast<PixMapHandle>(1);
  FailNextPixMapBlockForTesting();
  EXPECT_EQ(CreatePixMap2(16, &pm, &bounds, 0, 1, 1), kErrMemFull);
  EXPECT_EQ(pm, nullptr);
}

TEST_F(PixMapList, MustSucceedTurnsFailuresFatal) {
  ExpectFatalBox(
      [] {
        const Rect bounds{0, 0, 16, 16};
        PixMapHandle pm = nullptr;
        FailNextPixMapBlockForTesting();
        CreatePixMap(16, &pm, &bounds, 1, 1, 1);
      },
      "", "Error: CreatePixMap() failed because \"mem\" is nil.");
  ExpectFatalBox(
      [] {
        const Rect huge{0, 0, 20000, 32767};
        PixMapHandle pm = nullptr;
        CreatePixMap(32, &pm, &huge, 1, 0, 0);
      },
      "-108", "Error: CreatePixMap() failed.");
}

TEST_F(PixMapList, HooksRouteMakeAndReleaseThroughTheList) {
  const Rect bounds{0, 0, 4, 4};
  GWorldPtr port = nullptr;
  GetCurrentPort(&port, nullptr);
  EXPECT_EQ(FindPixMapGWorld(port->portPixMap), nullptr);  // slot 3 empty
  InstallPixMapHooks();
  PixMapHandle pm = nullptr;
  ASSERT_EQ(MakePixMap(16, &pm, &bounds, 1, 1, 1), 0);
  ASSERT_NE(FindPixMapEntry(pm), nullptr);
  GWorldPtr world = FindPixMapGWorld(pm);
  EXPECT_EQ(world->portPixMap, pm);
  SetPortToPixMap(pm);
  GetCurrentPort(&port, nullptr);
  EXPECT_EQ(port, world);
  EXPECT_EQ(FindPixMapAlpha(pm), nullptr);
  ReleasePixMap(&pm);
  EXPECT_EQ(pm, nullptr);
}

TEST_F(PixMapList, WindowWorldsKeepTheirOwnPixels) {
  InstallGraphicsDisplayServices();
  InstallPixMapHooks();
  WindowRef fakeWindow = WindowFromId(77);
  GWorldPtr world = CreateWindowWorld(fakeWindow, 32, 640, 480);
  ASSERT_NE(world, nullptr);
  PixMapListEntry* entry = FindPixMapEntry(world->portPixMap);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->sharesWindowPixels, 0);
  EXPECT_EQ(entry->savedWorld, nullptr);
  EXPECT_NE((*world->portPixMap)->baseAddr, (*GetWindowManagerPort()->portPixMap)->baseAddr);
  // Every pixel lies in the world's own block (ASan checks the fill).
  SetCurrentPort(world);
  const ColorRGB red{65535, 0, 0};
  world->foreColor = red;
  const Rect all{0, 0, 480, 640};
  FillRectForeColor(&all);
  EXPECT_EQ(Pixel32(world, 639, 479), 0x00FF0000u);
  EXPECT_EQ(ShareWindowPixels(&world, fakeWindow), 0);
  DisposeWindowWorld(&world);
  EXPECT_EQ(world, nullptr);
}

TEST_F(PixMapList, TheBuildPixMapAndTheWindowPortAreFound) {
  InstallGraphicsDisplayServices();
  GWorldPtr windowPort = GetWindowManagerPort();
  WindowRef saved = gMainWindow;
  gMainWindow = WindowFromId(5);
  EXPECT_EQ(GetPixMapGWorld(windowPort->portPixMap), windowPort);
  gMainWindow = saved;

  GWorldPtr built = UseNewWorld(16, Rect{0, 0, 2, 2});
  buildWORLD = built;
  buildPMAP = built->portPixMap;
  const UInt8 owns = EngineSettings[kSettingGameOwnsScreen];
  EngineSettings[kSettingGameOwnsScreen] = 1;
  EXPECT_EQ(GetPixMapGWorld(buildPMAP), built);
  EngineSettings[kSettingGameOwnsScreen] = owns;
  buildWORLD = nullptr;
  buildPMAP = nullptr;
  DestroyGWorld(built);
}

TEST_F(PixMapList, UnlistedPixMapsAreFatal) {
  ExpectFatalBox([] { GetPixMapAlpha(reinterpret_cast<PixMapHandle>(0x1000)); }, "GetPixMapAlpha()",
                 "Error: Pixmap was not located in the list!");
  ExpectFatalBox([] { GetInUse(reinterpret_cast<PixMapHandle>(0x1000)); }, "GetInUse()",
                 "Error: That pixmap was not in the list.");
  ExpectFatalBox(
      [] {
        PixMapHandle pm = reinterpret_cast<PixMapHandle>(0x1000);
        DestroyPixMap(&pm);
      },
      "DestroyPixMap()", "Error: Pixmap was not located in the list!");
  ExpectFatalBox(
      [] {
        gMainWindow = nullptr;
        GetPixMapGWorld(reinterpret_cast<PixMapHandle>(0x1000));
      },
      "", "Error: GetPixMapGWorld() failed.");
}

}  // namespace
