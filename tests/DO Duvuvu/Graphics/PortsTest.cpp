#include <gtest/gtest.h>

#include "AppGlobals.h"
#include "Bundle.h"
#include "Memory.h"
#include "PixMapDrawing.h"
#include "Ports.h"
#include "PortsTestSupport.h"
#include "ResultCodes.h"

namespace {

using portstest::ExpectFatalBox;
using PortStack = portstest::PortsTest;
using PlainMakePixMap = portstest::PortsTest;

TEST_F(PortStack, PushAndPopRestoreTheCurrentPort) {
  const Rect bounds{0, 0, 4, 4};
  GWorldPtr a = UseNewWorld(16, bounds);
  PushPort();
  GWorldPtr b = UseNewWorld(16, bounds);
  PushPort();
  GWorldPtr peeked = nullptr;
  void* device = reinterpret_cast<void*>(1);
  ASSERT_EQ(PeekPort(&peeked, &device), 1);
  EXPECT_EQ(peeked, b);
  EXPECT_EQ(device, nullptr);
  SetCurrentPort(nullptr);
  PopPort();
  GWorldPtr current = nullptr;
  GetCurrentPort(&current, nullptr);
  EXPECT_EQ(current, b);
  PopPort();
  GetCurrentPort(&current, nullptr);
  EXPECT_EQ(current, a);
  DestroyGWorld(a);
  DestroyGWorld(b);
}

TEST_F(PortStack, PeekOnAnEmptyStackWritesNothing) {
  GWorldPtr port = reinterpret_cast<GWorldPtr>(0x10);
  void* device = reinterpret_cast<void*>(0x20);
  EXPECT_EQ(PeekPort(&port, &device), 0);
  EXPECT_EQ(port, reinterpret_cast<GWorldPtr>(0x10));
  EXPECT_EQ(device, reinterpret_cast<void*>(0x20));
}

TEST_F(PortStack, The129thPushIsFatal) {
  ExpectFatalBox(
      [] {
        for (int i = 0; i < 128; ++i) PushPort();
        std::fputs("[128 pushed]\n", stderr);
        PushPort();
      },
      "", "Error: GWorld stack is full!");
}

TEST_F(PortStack, PoppingAnEmptyStackIsFatal) { ExpectFatalBox([] { PopPort(); }, "PopPort()", "Error: GWorld stack is empty!"); }

TEST_F(PortStack, LockingLooksTheBlockUp) {
  GWorldPtr world = UseNewWorld(16, Rect{0, 0, 2, 2});
  EXPECT_EQ(LockPixMapMemory(world), 0);
  EXPECT_EQ(UnlockPixMapMemory(world->portPixMap), 0);
  int notABlock = 0;
  EXPECT_EQ(LockPixMapMemory(&notABlock), kErrBadHandle);
  DestroyGWorld(world);
}

TEST_F(PlainMakePixMap, DepthsBecome16Or32AndBoundsMoveToTheOrigin) {
  struct Case {
    UInt8 depth;
    SInt16 expected;
  } cases[] = {{1, 16}, {8, 16}, {16, 16}, {24, 32}, {32, 32}};
  const Rect bounds{10, 20, 30, 60};
  for (const Case& c : cases) {
    PixMapHandle pm = nullptr;
    ASSERT_EQ(MakePixMap(c.depth, &pm, &bounds, 0, 0, 0), 0);
    ASSERT_NE(pm, nullptr);
    const PixMap* p = *pm;
    EXPECT_EQ(p->pixelDepth, c.expected) << int(c.depth);
    EXPECT_EQ(p->pixelFormat, static_cast<UInt32>(c.expected));
    EXPECT_EQ(p->cmpSize, c.expected == 32 ? 8 : 5);
    EXPECT_EQ(p->rowBytes, 0x8000 | (40 * c.expected / 8));
    EXPECT_EQ(p->bounds.top, 0);
    EXPECT_EQ(p->bounds.left, 0);
    EXPECT_EQ(p->bounds.bottom, 20);
    EXPECT_EQ(p->bounds.right, 40);
    EXPECT_EQ(p->hRes, 72u);
    EXPECT_EQ(GetPtrBlockSize(p->baseAddr), 20 * 40 * c.expected / 8);
    ReleasePixMap(&pm);
    EXPECT_EQ(pm, nullptr);
  }
}

TEST_F(PlainMakePixMap, EraseFillsWithWhite) {
  const Rect bounds{0, 0, 3, 5};
  PixMapHandle pm = nullptr;
  ASSERT_EQ(MakePixMap(16, &pm, &bounds, 0, 0, 1), 0);
  const auto* pixels = reinterpret_cast<const UInt16*>((*pm)->baseAddr);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(pixels[i], 0x7FFF) << i;
  ReleasePixMap(&pm);
}

TEST_F(PlainMakePixMap, SizesBeyondTheAllocatorAreAMemoryError) {
  // 32767 x 20000 at 32 bits is about 2.6 GB; rows of 131068 bytes do not fit
  // 15 bits either.
  const Rect huge{0, 0, 20000, 32767};
  PixMapHandle pm = reinterpret_cast<PixMapHandle>(1);
  EXPECT_EQ(MakePixMap(32, &pm, &huge, 0, 0, 1), kErrMemFull);
  EXPECT_EQ(pm, nullptr);
}

TEST(EngineGraphics, DefaultColorsAndGreyRamps) {
  auto child = testsupport::RunInChild([] {
    gUseBundle = 0;
    EngineSettings[kSettingDepth] = 16;
    InitGWorldStack();
    InitEngineGraphics();
    const UInt8 bytes[16] = {0, 32, 64, 96, 128, 160, 192, 224, 31, 63, 95, 127, 159, 191, 223, 255};
    for (int i = 0; i < 16; ++i)
      if (GreyRampBytes[i] != bytes[i]) std::exit(10 + i);
    if (GreyRampPixels[0] != 0x7FFF || GreyRampPixels[15] != 0) std::exit(30);
    // 65535 - 4369 x 8 = 30583: top five bits 14.
    if (GreyRampPixels[8] != (14 << 10 | 14 << 5 | 14)) std::exit(31);
    if (DefaultColors.white.red != 65535 || DefaultColors.grey.green != 32768 || DefaultColors.extra[2] != 65535)
      std::exit(32);
    if (EngineGraphics.tickRate != 60 || !EngineGraphics.ranOnce) std::exit(33);
    DeviceHandle device = GetMainDeviceHandle();
    if (!device || device != mainDEVICE || (*device)->type != 2) std::exit(34);
    // A second run changes nothing.
    GreyRampBytes[0] = 99;
    InitEngineGraphics();
    if (GreyRampBytes[0] != 99) std::exit(35);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 0) << child.stderrText;
}

TEST(EngineGraphics, ShutdownEndsWithStatusZeroUnlessKeptRunning) {
  auto kept = testsupport::RunInChild([] {
    gUseBundle = 0;
    ShutdownApplication(1);
    std::exit(7);
  });
  EXPECT_EQ(kept.exitStatus, 7);
  auto ended = testsupport::RunInChild([] {
    gUseBundle = 0;
    ShutdownApplication(0);
    std::exit(7);
  });
  EXPECT_TRUE(ended.exited);
  EXPECT_EQ(ended.exitStatus, 0);
}

}  // namespace
