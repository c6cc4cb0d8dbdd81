#include <gtest/gtest.h>

#include "DisplayHooks.h"
#include "Memory.h"
#include "PixMap.h"
#include "ResultCodes.h"

namespace {

class DisplayHooksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = gDisplayHooks;
    gDisplayHooks = DisplayHookTable{};
  }
  void TearDown() override { gDisplayHooks = saved_; }

 private:
  DisplayHookTable saved_;
};

struct Seen {
  int calls = 0;
  SInt32 depth = 0;
  SInt32 width = 0;
  SInt32 height = 0;
  UInt32 value = 0;
  void* pointer = nullptr;
} gSeen;

TEST_F(DisplayHooksTest, EmptySlotsGiveTheirFixedAnswers) {
  PixMapHandle pm = reinterpret_cast<PixMapHandle>(0x10);
  EXPECT_EQ(FindPixMapGWorld(pm), nullptr);
  EXPECT_EQ(FindPixMapAlpha(pm), nullptr);
  EXPECT_EQ(MakeWindowWorld(nullptr, 32, 640, 480), nullptr);
  EXPECT_EQ(IsFullScreen(), 0);
  EXPECT_EQ(InMenuMode(), 0);
  EXPECT_EQ(DisplayHookSlot13(7), 0);
  RestoreBrightness();
  SetPortToPixMap(pm);
  SetFullScreen(1);
  EnterMenuMode();
  LeaveMenuMode();
  DisplayHookSlot14();
}

TEST_F(DisplayHooksTest, SetSlotsGetTheirArgumentsUnchanged) {
  gSeen = Seen{};
  gDisplayHooks.makeWindowWorld = [](WindowRef window, SInt32 depth, SInt32 width, SInt32 height) -> GWorldPtr {
    gSeen.pointer = window;
    gSeen.depth = depth;
    gSeen.width = width;
    gSeen.height = height;
    return reinterpret_cast<GWorldPtr>(0x1234);
  };
  gDisplayHooks.setFullScreen = [](UInt32 on) { gSeen.value = on; };
  gDisplayHooks.isFullScreen = []() -> UInt32 { return 0x301; };  // the low byte answers
  gDisplayHooks.findPixMapGWorld = [](PixMapHandle pm) -> GWorldPtr {
    gSeen.pointer = pm;
    return reinterpret_cast<GWorldPtr>(0x99);
  };
  gDisplayHooks.reserved13 = [](UInt32 v) -> UInt32 { return v + 0x100; };
  gDisplayHooks.inMenuMode = []() -> SInt32 { return 1; };

  auto window = reinterpret_cast<WindowRef>(0xABCDEF012345);
  EXPECT_EQ(MakeWindowWorld(window, 32, 1024, -2), reinterpret_cast<GWorldPtr>(0x1234));
  EXPECT_EQ(gSeen.pointer, window);
  EXPECT_EQ(gSeen.depth, 32);
  EXPECT_EQ(gSeen.width, 1024);
  EXPECT_EQ(gSeen.height, -2);
  EXPECT_EQ(MakeWindowWorld(window, 0xF0, 1, 1), reinterpret_cast<GWorldPtr>(0x1234));
  EXPECT_EQ(gSeen.depth, -16);  // the depth byte is sign-extended
  SetFullScreen(255);
  EXPECT_EQ(gSeen.value, 255u);  // and the switch zero-extended
  EXPECT_EQ(IsFullScreen(), 1);
  auto pm = reinterpret_cast<PixMapHandle>(0x7777);
  EXPECT_EQ(FindPixMapGWorld(pm), reinterpret_cast<GWorldPtr>(0x99));
  EXPECT_EQ(gSeen.pointer, pm);
  EXPECT_EQ(DisplayHookSlot13(5), 5);
  EXPECT_EQ(InMenuMode(), 1);
}

TEST_F(DisplayHooksTest, ReleasePixMapWithoutAHookFreesPixelsAndHandle) {
  auto pm = reinterpret_cast<PixMapHandle>(NewHandleBlockClear(sizeof(PixMap)));
  ASSERT_NE(pm, nullptr);
  (*pm)->baseAddr = NewPtrBlock(400);
  PixMapHandle caller = pm;
  ReleasePixMap(&caller);
  EXPECT_EQ(caller, nullptr);
  EXPECT_EQ(GetHandleBlockSize(reinterpret_cast<Handle>(pm)), kErrBadHandle);  // gone (ASan: no leak)

  auto bare = reinterpret_cast<PixMapHandle>(NewHandleBlockClear(sizeof(PixMap)));
  ReleasePixMap(&bare);  // no pixels
  EXPECT_EQ(bare, nullptr);
}

TEST_F(DisplayHooksTest, ReleasePixMapHandsThePointerToTheHook) {
  static PixMapHandle* seen = nullptr;
  gDisplayHooks.releasePixMap = [](PixMapHandle* p) { seen = p; };
  PixMapHandle pm = reinterpret_cast<PixMapHandle>(0x55);
  ReleasePixMap(&pm);
  EXPECT_EQ(seen, &pm);
  EXPECT_EQ(pm, reinterpret_cast<PixMapHandle>(0x55));
}

}  // namespace
