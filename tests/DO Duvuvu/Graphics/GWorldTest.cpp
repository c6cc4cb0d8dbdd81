#include <gtest/gtest.h>

#include <cstdint>

#include "GWorld.h"
#include "Memory.h"
#include "ResultCodes.h"
#include "TestSupport.h"

namespace {

bool Aligned32(const void* p) { return (reinterpret_cast<uintptr_t>(p) & 31) == 0; }

TEST(GWorld, FirstCurrentPortIsAnEmpty16BitWorld) {
  auto result = testsupport::RunInChild([] {
    GWorldPtr port = nullptr;
    void* device = reinterpret_cast<void*>(1);
    GetCurrentPort(&port, &device);
    if (!port || device) std::exit(10);
    const PixMap* p = *PixMapOfPort(port);
    if (p->pixelDepth != 16 || p->pixelFormat != 16) std::exit(11);
    if (p->bounds.top || p->bounds.left || p->bounds.bottom || p->bounds.right) std::exit(12);
    if (PixMapRowBytes(PixMapOfPort(port)) != 0 || p->rowBytes != 0x8000) std::exit(13);
    if (GetPtrBlockSize(port->ownedPixels) != 32) std::exit(14);
    GWorldPtr again = nullptr;
    GetCurrentPort(&again, nullptr);
    if (again != port) std::exit(15);
  });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 0) << result.stderrText;
}

TEST(GWorld, RowsRoundUpTo32BytesOverAlignedPixels) {
  struct Case {
    SInt16 depth;
    SInt16 width;
    UInt16 rowBytes;
  } cases[] = {{16, 10, 32}, {32, 10, 64}, {16, 16, 32}, {16, 17, 64}, {32, 640, 2560}, {8, 3, 32},
               // A 1-bit row still takes whole bytes: 40 pixels are 5 bytes, 257 are 33.
               {1, 40, 32}, {1, 257, 64}};
  for (const Case& c : cases) {
    GWorldPtr world = nullptr;
    const Rect bounds{5, 7, 25, static_cast<SInt16>(7 + c.width)};
    ASSERT_EQ(CreateGWorld(&world, c.depth, &bounds, nullptr, 0, 0), 0);
    PixMapHandle pm = PixMapOfPort(world);
    EXPECT_EQ(PixMapRowBytes(pm), c.rowBytes) << c.depth << " x " << c.width;
    EXPECT_EQ((*pm)->rowBytes, c.rowBytes | 0x8000);
    EXPECT_TRUE(Aligned32(PixMapBaseAddress(pm)));
    EXPECT_EQ(GetPtrBlockSize(world->ownedPixels), 20 * c.rowBytes + 32);
    // The whole pixel area lies inside the block.
    EXPECT_LE(PixMapBaseAddress(pm) + 20 * c.rowBytes, world->ownedPixels + 20 * c.rowBytes + 32);
    EXPECT_EQ((*pm)->pixelDepth, c.depth);
    EXPECT_EQ((*pm)->cmpSize, c.depth == 32 ? 8 : 5);
    EXPECT_EQ((*pm)->cmpCount, 1);
    EXPECT_EQ((*pm)->version, 1);
    EXPECT_EQ((*pm)->hRes, 72u << 16);
    EXPECT_EQ(world->portRect.left, 7);
    EXPECT_EQ((*pm)->bounds.top, 5);
    DestroyGWorld(world);
  }
}

TEST(GWorld, RowsTooLongAreAMemoryError) {
  struct Case {
    SInt16 depth;
    Rect bounds;
  } cases[] = {
      {32, {0, 0, 1, 8192}},   // 32768 row bytes: more than 15 bits hold
      {16, {0, 0, 1, 16384}},  // the same at 16 bits
  };
  for (const Case& c : cases) {
    GWorldPtr world = nullptr;
    EXPECT_EQ(CreateGWorld(&world, c.depth, &c.bounds, nullptr, 0, 0), kErrMemFull);
    EXPECT_EQ(world, nullptr);
  }
}

TEST(GWorld, NewWorldPortState) {
  GWorldPtr world = nullptr;
  const Rect bounds{0, 0, 4, 4};
  ASSERT_EQ(CreateGWorld(&world, 16, &bounds, nullptr, 0, 0), 0);
  EXPECT_EQ(world->portVersion, 1u);
  EXPECT_EQ(world->device, 0u);
  EXPECT_EQ(world->foreColor.red, 0);
  EXPECT_EQ(world->backColor.green, 65535);
  EXPECT_EQ(world->penSize.h, 1);
  EXPECT_EQ(world->penSize.v, 1);
  EXPECT_EQ(world->penLocation.h, 0);
  EXPECT_EQ(GetPortPixMap(world), PixMapOfPort(world));
  DestroyGWorld(world);
}

TEST(GWorld, OverMemoryDoesNotOwnThePixels) {
  UInt8 pixels[4 * 40] = {};
  GWorldPtr world = nullptr;
  const Rect bounds{0, 0, 4, 10};
  Handle table = NewHandleBlockClear(16);
  ASSERT_EQ(BuildGWorldOverMemory(&world, 32, &bounds, table, 0, 0, reinterpret_cast<Ptr>(pixels), 40), 0);
  EXPECT_EQ(world->ownedPixels, nullptr);
  EXPECT_EQ(PixMapBaseAddress(PixMapOfPort(world)), reinterpret_cast<Ptr>(pixels));
  EXPECT_EQ(PixMapRowBytes(PixMapOfPort(world)), 40);
  EXPECT_EQ((*PixMapOfPort(world))->colorTable, table);
  DestroyGWorld(world);  // leaves the stack pixels alone
  DisposeHandleBlock(table);
}

TEST(GWorld, AnExistingWorldIsReplaced) {
  GWorldPtr world = nullptr;
  const Rect small{0, 0, 2, 2};
  const Rect big{0, 0, 20, 20};
  ASSERT_EQ(CreateGWorld(&world, 16, &small, nullptr, 0, 0), 0);
  ASSERT_EQ(CreateGWorld(&world, 32, &big, nullptr, 0, 0), 0);
  EXPECT_EQ((*PixMapOfPort(world))->pixelDepth, 32);
  DestroyGWorld(world);  // ASan: nothing of either world leaks
}

TEST(GWorld, DestroyingAnUnknownRecordTouchesNothing) {
  GWorld fake = {};
  fake.ownedPixels = reinterpret_cast<Ptr>(0x40);
  DestroyGWorld(&fake);
  EXPECT_EQ(GetMemoryError(), kErrBadHandle);
  DestroyGWorld(nullptr);
}

TEST(GWorld, NewPixMapHandleDefaults) {
  PixMapHandle pm = NewPixMapHandle();
  ASSERT_NE(pm, nullptr);
  EXPECT_EQ((*pm)->baseAddr, nullptr);
  EXPECT_EQ((*pm)->rowBytes, 0x8000);
  EXPECT_EQ((*pm)->version, 1);
  EXPECT_EQ((*pm)->vRes, 72u << 16);
  EXPECT_EQ((*pm)->pixelDepth, 0);
  EXPECT_EQ((*pm)->colorTable, nullptr);
  DisposePixMapHandle(pm);
}

TEST(GWorld, SetCurrentPortTakesAnyWorld) {
  GWorldPtr before = nullptr;
  GetCurrentPort(&before, nullptr);
  GWorldPtr world = nullptr;
  const Rect bounds{0, 0, 1, 1};
  ASSERT_EQ(CreateGWorld(&world, 32, &bounds, nullptr, 0, 0), 0);
  EXPECT_EQ(SetCurrentPort(world), world);
  GWorldPtr now = nullptr;
  GetCurrentPort(&now, nullptr);
  EXPECT_EQ(now, world);
  SetCurrentPort(before);
  DestroyGWorld(world);
}

}  // namespace
