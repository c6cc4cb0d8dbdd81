#include <sys/stat.h>

#include <string>
#include <vector>

#include "AppCallbacks.h"
#include "AppGlobals.h"
#include "DisplayHooks.h"
#include "Menus.h"
#include "ShellTestSupport.h"
#include "Sys.h"

namespace {

std::vector<std::string> gSteps;
UInt32 gFullScreen = 0;
SInt16 gLastWidth = 0;
SInt16 gLastHeight = 0;

DisplayServices RecordingServices() {
  DisplayServices s{};
  s.flushToScreen = [](WindowRef) { gSteps.push_back("flush"); };
  s.isFullScreen = []() -> UInt32 { return gFullScreen; };
  s.setFullScreen = [](UInt32 on) {
    gSteps.push_back("setFullScreen " + std::to_string(on));
    gFullScreen = on;
  };
  s.enterMenuMode = [] {
    gSteps.push_back("enterMenuMode");
    gMenuModeFlag = 1;
  };
  s.setPortDepth = [](UInt8 depth) { gSteps.push_back("depth " + std::to_string(depth)); };
  s.installPixMapHooks = [] { gSteps.push_back("pixmapHooks"); };
  s.buildDisplayList = [] { gSteps.push_back("displayList"); };
  s.buildBrightGammaTables = [] { gSteps.push_back("gamma"); };
  s.windowInitGL = [](SInt16 w, SInt16 h) {
    gSteps.push_back("windowInitGL " + std::to_string(w) + "x" + std::to_string(h));
  };
  s.setWindowContentSize = [](SInt16 w, SInt16 h) {
    gLastWidth = w;
    gLastHeight = h;
    gSteps.push_back("contentSize " + std::to_string(w) + "x" + std::to_string(h));
  };
  s.disableAllMenus = [] { gSteps.push_back("disableMenus"); };
  return s;
}

class SystemUITest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    savedExe_ = ExecutablePath();
    const std::string bundle = dir / "Kestrova";
    for (const char* sub : {"", "/Contents", "/Contents/MacOS"}) mkdir((bundle + sub).c_str(), 0777);
    testsupport::WriteFile(bundle + "/Contents/MacOS/Kestrova", "#!");
    SetExecutablePathForTesting(bundle + "/Contents/MacOS/Kestrova");
    gSteps.clear();
    gFullScreen = 0;
    const DisplayServices services = RecordingServices();
    RegisterDisplayServices(&services);
    EngineSettings[kSettingDepth] = 16;
    clock.stepPerRead = 1000000;  // the 2-tick delay must end
    saved_ = AppCallbacks;
  }
  void TearDown() override {
    AppCallbacks = saved_;
    SetExecutablePathForTesting(savedExe_);
    ShellTest::TearDown();
  }

  testsupport::TempDir dir;

 private:
  std::string savedExe_;
  AppCallbackTable saved_{};
};

TEST_F(SystemUITest, BindingInstallsTheMenuModeHooks) {
  EXPECT_EQ(InMenuMode(), 0);
  BindSystemUIFunctions();
  EXPECT_EQ(gSystemUI.bound, 1);
  EXPECT_EQ(gSystemUI.setSystemUIMode, nullptr);
  EXPECT_EQ(InMenuMode(), 1);
  EnterMenuMode();
  EXPECT_EQ(gSteps, std::vector<std::string>{"enterMenuMode"});
}

TEST_F(SystemUITest, StartDisplaySystemRunsItsStepsInOrderAndEntersThePlayState) {
  static std::vector<std::string>* steps = &gSteps;
  AppCallbacks.displayStartup = [] { steps->push_back("appDisplayStartup"); };
  AppCallbacks.menuSetup = [] { steps->push_back("menuSetup"); };
  MakeMainWindow(Rect{272, 320, 752, 960});
  BindSystemUIFunctions();
  const int cursorBefore = backend.CursorCount();
  StartDisplaySystem();
  const std::vector<std::string> expected = {"depth 16",    "pixmapHooks", "displayList", "appDisplayStartup",
                                             "menuSetup",   "gamma",       "windowInitGL 640x480",
                                             "disableMenus"};
  EXPECT_EQ(gSteps, expected);
  EXPECT_EQ(InMenuMode(), 0);
  EXPECT_EQ(backend.CursorCount(), cursorBefore - 1);
  EXPECT_EQ(gCursorVisible, 0);
  EXPECT_FALSE(IsPointerAssociated());
  EXPECT_EQ(gDisplayHooks.isFullScreen, GetDisplayServices().isFullScreen);

  // The port mouse still follows the pointer, and device motion still arrives.
  backend.SetGlobalMouse(320 + 64, 272 + 48);
  const Point p = GetPortMouse();
  EXPECT_EQ(p.h, 64);
  EXPECT_EQ(p.v, 48);
  backend.AddMotion(2, 3);
  EventRef event = nullptr;
  ASSERT_EQ(ReceiveNextEvent(0, nullptr, 0.0, 1, &event), 0);
  EXPECT_EQ(GetEventRecordClass(event), FOUR_CHAR_CODE("mous"));
  EXPECT_EQ(GetEventRecordKind(event), 5u);
  ReleaseEvent(event);
}

TEST_F(SystemUITest, DisplayCountEndsAtMinusOne) {
  BindSystemUIFunctions();
  StartDisplaySystem();
  EXPECT_EQ(backend.CursorCount(), -1);
  EXPECT_FALSE(backend.cursorShown());
}

TEST_F(SystemUITest, SetMainWindowCentresTheContent) {
  WindowRef window = MakeMainWindow(Rect{0, 0, 100, 100});
  SetMainWindow(640, 480);
  Rect r;
  GetWindowRegionRect(window, kWindowContentRgn, &r);
  EXPECT_EQ(r.left, 320);
  EXPECT_EQ(r.top, 272);
  EXPECT_EQ(r.right - r.left, 640);
  EXPECT_EQ(r.bottom - r.top, 480);
  EXPECT_EQ(GetMainWindowOrigin().h, 320);
  EXPECT_EQ(GetMainWindowOrigin().v, 272);
}

TEST_F(SystemUITest, WindowMenuCommandsRunTheHookInsideTheCommand) {
  static std::vector<int>* flags = new std::vector<int>();
  flags->clear();
  AppCallbacks.handleEvent = [] { flags->push_back(MenuDispatchFlags.inMenuCommand); };
  StartDisplaySystem();
  BuildWindowMenu(131);
  EXPECT_EQ(gMenuBar.fullScreenItem, 1);
  gSteps.clear();
  HandleMenuCommand(131, 1);
  HandleMenuCommand(131, 2);
  HandleMenuCommand(131, 4);
  HandleMenuCommand(131, 2);  // leaves full screen instead of resizing
  const std::vector<std::string> expected = {"contentSize 640x480", "contentSize 1024x768", "setFullScreen 1",
                                             "setFullScreen 0"};
  EXPECT_EQ(gSteps, expected);
  EXPECT_EQ(*flags, (std::vector<int>{1, 1, 1, 1}));
  EXPECT_EQ(MenuDispatchFlags.inMenuCommand, 0);
  SInt16 menu = 0;
  SInt16 item = 0;
  EXPECT_FALSE(GetMenuSelection(&menu, &item));
}

TEST_F(SystemUITest, DispatchPassesEventsToTheHook) {
  static int calls = 0;
  calls = 0;
  AppCallbacks.handleEvent = [] { ++calls; };
  MakeMainWindow(Rect{100, 100, 580, 740});
  gCurrentEventRecord.what = 0;
  DispatchCurrentEvent();
  gCurrentEventRecord.what = 3;
  DispatchCurrentEvent();
  gCurrentEventRecord.what = 1;
  DispatchCurrentEvent();
  gCurrentEventRecord.what = 6;
  DispatchCurrentEvent();
  EXPECT_EQ(calls, 3);
}

TEST_F(SystemUITest, WindowModeHandlerSwitchesThroughTheHook) {
  StartDisplaySystem();
  gSteps.clear();
  EventRef event = nullptr;
  MacCreateEvent(nullptr, FOUR_CHAR_CODE("wind"), 76, 0.0, 0, &event);
  const SInt16 full = 8;
  SetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), 2, &full);
  WindowModeEventHandler(nullptr, event, nullptr);
  const SInt16 windowed = 7;
  SetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), 2, &windowed);
  WindowModeEventHandler(nullptr, event, nullptr);
  ReleaseEvent(event);
  EXPECT_EQ(gSteps, (std::vector<std::string>{"setFullScreen 1", "setFullScreen 0"}));
}

TEST_F(SystemUITest, MouseStateOutsideAndInsideAClick) {
  MakeMainWindow(Rect{0, 0, 768, 1024});
  backend.SetGlobalMouse(512, 384);
  backend.SetLeftButton(false);
  MouseState state{};
  EXPECT_EQ(GetMouseState(&state), 0);
  EXPECT_EQ(state.mouseDown, 0);
  EXPECT_EQ(state.where.h, 320);
  EXPECT_EQ(state.where.v, 240);
  backend.PressButton(512, 384);
  EXPECT_TRUE(PollEvents(0xFFFF, nullptr));
  EXPECT_EQ(GetMouseState(&state), 1);
  EXPECT_EQ(state.mouseDown, 1);
  EXPECT_EQ(state.where.h, 320);
  EXPECT_EQ(state.where.v, 240);
  EXPECT_TRUE(KeyWasPressed(161));
}

TEST_F(SystemUITest, SmallRoutines) {
  EXPECT_EQ(PowerOfTwo(0), 0);
  EXPECT_EQ(PowerOfTwo(1), 1);
  EXPECT_EQ(PowerOfTwo(16), static_cast<SInt16>(0x8000));
  EXPECT_EQ(PowerOfTwo(17), 0);
  EXPECT_EQ(PowerOfTwo(-3), 0);
  EXPECT_EQ(BitLength(0), 0);
  EXPECT_EQ(BitLength(1), 1);
  EXPECT_EQ(BitLength(2), 2);
  EXPECT_EQ(BitLength(4), 3);
  EXPECT_EQ(BitLength(5), 3);
  EXPECT_TRUE(IsInLowerHalf(5, 0, 10));
  EXPECT_FALSE(IsInLowerHalf(6, 0, 10));
  EXPECT_TRUE(IsInLowerHalf(5, 10, 0));
  EXPECT_EQ(GetSystemVersion(), 0x0A00);
}

}  // namespace
