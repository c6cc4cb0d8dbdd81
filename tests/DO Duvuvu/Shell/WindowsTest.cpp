#include <vector>

#include "Memory.h"
#include "ResultCodes.h"
#include "ShellTestSupport.h"

namespace {

using WindowsTest = ShellTest;

void ExpectRect(const Rect& r, SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) {
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.bottom, bottom);
  EXPECT_EQ(r.right, right);
}

TEST_F(WindowsTest, CreatedHiddenThenShownAtItsContentRect) {
  const Rect content{100, 100, 580, 740};
  WindowRef window = nullptr;
  ASSERT_EQ(CreateWindowRef(0, 0, &content, &window), 0);
  EXPECT_EQ(GetMemoryError(), 0);
  EXPECT_NE(WindowId(window), 0u);
  EXPECT_FALSE(IsWindowRefVisible(window));
  ShowWindowRef(window);
  EXPECT_TRUE(IsWindowRefVisible(window));
  Rect r;
  ASSERT_EQ(GetWindowRegionRect(window, kWindowContentRgn, &r), 0);
  ExpectRect(r, 100, 100, 580, 740);
  HideWindowRef(window);
  EXPECT_FALSE(IsWindowRefVisible(window));
  DisposeWindowRef(window);
  EXPECT_EQ(backend.windowCount(), 0u);
}

TEST_F(WindowsTest, StructureRegionAddsTheBorders) {
  backend.SetBorders(PlatformRect{20, 2, 3, 4});
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  Rect r;
  ASSERT_EQ(GetWindowRegionRect(window, kWindowStructureRgn, &r), 0);
  ExpectRect(r, 80, 98, 583, 744);
  const Rect whole{10, 10, 510, 650};
  EXPECT_EQ(SetWindowRegionRect(window, kWindowStructureRgn, &whole), 0);
  GetWindowRegionRect(window, kWindowContentRgn, &r);
  ExpectRect(r, 30, 12, 507, 646);
}

TEST_F(WindowsTest, ScreenSizedContentIsFullScreenAndAnyOtherWindowed) {
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  const Rect screen{0, 0, 1024, 1280};
  EXPECT_EQ(SetWindowRegionRect(window, kWindowContentRgn, &screen), 0);
  EXPECT_TRUE(IsWindowFullScreenStyle(window));
  const Rect other{0, 0, 1023, 1280};
  EXPECT_EQ(SetWindowRegionRect(window, kWindowContentRgn, &other), 0);
  EXPECT_FALSE(IsWindowFullScreenStyle(window));
  Rect r;
  GetWindowRegionRect(window, kWindowContentRgn, &r);
  ExpectRect(r, 0, 0, 1023, 1280);
}

TEST_F(WindowsTest, RegionCodesAndUnknownWindows) {
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  Rect r{1, 1, 1, 1};
  EXPECT_EQ(GetWindowRegionRect(window, 34, &r), kWindowRegionCodeInvalidErr);
  EXPECT_EQ(SetWindowRegionRect(window, 34, &r), kWindowRegionCodeInvalidErr);
  EXPECT_EQ(GetWindowRegionRect(WindowFromId(999), kWindowContentRgn, &r), kWindowRectUnreadableErr);
  backend.failRectRead = true;
  EXPECT_EQ(GetWindowRegionRect(window, kWindowContentRgn, &r), kWindowRectUnreadableErr);
}

TEST_F(WindowsTest, CreationFailureIsOutOfMemory) {
  backend.failWindowCreate = true;
  const Rect content{0, 0, 10, 10};
  WindowRef window = WindowFromId(5);
  EXPECT_EQ(CreateWindowRef(0, 0, &content, &window), kErrMemFull);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(GetMemoryError(), -1);
}

TEST_F(WindowsTest, SizeMoveReferenceTitleAndOrder) {
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  SizeWindowRef(window, 1024, 768);
  MoveWindowRef(window, 5, 6);
  Rect r;
  GetWindowRegionRect(window, kWindowContentRgn, &r);
  ExpectRect(r, 6, 5, 774, 1029);
  SetWindowReference(window, static_cast<uintptr_t>(0x123456789ull));
  EXPECT_EQ(GetWindowReference(window), static_cast<uintptr_t>(0x123456789ull));
  EXPECT_EQ(GetWindowReference(nullptr), 0u);
  const unsigned char title[] = {4, 'K', 0xE9, 'y', '!'};
  SetWindowTitle(window, title);
  EXPECT_EQ(backend.WindowTitle(WindowId(window)), "K\xC3\xA9y!");
  WindowRef second = nullptr;
  const Rect content{0, 0, 10, 10};
  CreateWindowRef(0, 0, &content, &second);
  ShowWindowRef(second);
  BringWindowToFront(window);
  EXPECT_EQ(CountWindows(), 2);
  WindowRef hit = nullptr;
  EXPECT_EQ(FindWindowAtPoint(Point{1000, 5}, &hit), 3);  // over no window of ours
  EXPECT_EQ(hit, nullptr);
  EXPECT_EQ(FindWindowAtPoint(Point{300, 300}, &hit), 3);
  EXPECT_EQ(hit, window);
}

struct Recorded {
  UInt32 kind;
  SInt16 mode;
  bool fullScreenAtCall;
};
std::vector<Recorded> gModeEvents;
ScriptedBackend* gBackendForHandler = nullptr;

OSStatus RecordMode(EventHandlerCallRef, EventRef event, void* window) {
  SInt16 mode = 0;
  GetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), nullptr, 2, nullptr, &mode);
  gModeEvents.push_back(
      {GetEventRecordKind(event), mode, gBackendForHandler->IsFullScreen(WindowId(static_cast<WindowRef>(window)))});
  EXPECT_EQ(GetEventRecordTime(event), 0.0);
  return 0;
}

TEST_F(WindowsTest, MaximizeAndRestoreReachTheWindowsHandler) {
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  gModeEvents.clear();
  gBackendForHandler = &backend;
  const EventTypeSpec spec[] = {{FOUR_CHAR_CODE("wind"), 76}};
  InstallWindowEventHandler(window, RecordMode, 1, spec, window, nullptr);
  backend.PushMaximize(WindowId(window));
  PollEvents(0xFFFF, nullptr);
  ASSERT_EQ(gModeEvents.size(), 1u);
  EXPECT_EQ(gModeEvents[0].mode, 8);
  EXPECT_TRUE(gModeEvents[0].fullScreenAtCall);  // full-screen style first
  backend.PushRestore(WindowId(window));
  PollEvents(0xFFFF, nullptr);
  ASSERT_EQ(gModeEvents.size(), 2u);
  EXPECT_EQ(gModeEvents[1].mode, 7);
  EXPECT_TRUE(gModeEvents[1].fullScreenAtCall);  // the event comes before the windowed style
  EXPECT_FALSE(IsWindowFullScreenStyle(window));
}

TEST_F(WindowsTest, TaskbarIsFlatAndFollowsItsFlag) {
  EXPECT_EQ(GetMenuBarHeight(), 0);
  EXPECT_TRUE(IsTaskbarVisible());
  HideTaskbar();
  EXPECT_FALSE(IsTaskbarVisible());
  ShowTaskbar();
  EXPECT_TRUE(IsTaskbarVisible());
  Rect r;
  GetTaskbarRect(&r);
  ExpectRect(r, 1024, 0, 1024, 1280);
  EXPECT_EQ(GetFrontWindow(), nullptr);
  WindowRef window = MakeMainWindow(Rect{100, 100, 580, 740});
  EXPECT_EQ(GetFrontWindow(), window);
}

}  // namespace
