// The poll and the mouse state on the SDL backend, against the per-binary
// Xvfb, driven by xdotool.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "Backend.h"
#include "Bundle.h"
#include "EventPoll.h"
#include "InputDevices.h"
#include "SdlBackend.h"
#include "Strings.h"
#include "SystemUI.h"
#include "TestSupport.h"
#include "Windows.h"

namespace {

bool RunXdotool(const std::string& args) { return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0; }

class SdlEndToEndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!std::getenv("DISPLAY")) return;
    testsupport::PinGraphicsLibraries();
    backend_ = NewSdlBackend();
    previous_ = SetBackend(backend_);
    ResetShellForTesting();
    InitDirectInputMouse();
    InitDirectInputKeyboard();
    const Rect content{100, 100, 868, 1124};  // 1024 x 768
    if (CreateWindowRef(0, 0, &content, &window_) != 0) return;
    title_ = "shell-" + std::to_string(getpid());
    Str255 title;
    CToPStr(title_.c_str(), title);
    SetWindowTitle(window_, title);
    ShowWindowRef(window_);
    backend_->Pump();
    FILE* p = popen(("xdotool search --sync --name '^" + title_ + "$' 2>/dev/null").c_str(), "r");
    if (p) {
      char line[64] = {};
      if (fgets(line, sizeof line, p)) xwindow_ = std::string(line, strcspn(line, "\n"));
      pclose(p);
    }
    RunXdotool("windowfocus --sync " + xwindow_);
  }

  static void TearDownTestSuite() {
    if (window_) DisposeWindowRef(window_);
    window_ = nullptr;
    ResetShellForTesting();
    UnregisterWindowClass();
    SetBackend(previous_);
    delete backend_;
    backend_ = nullptr;
  }

  void SetUp() override {
    if (!backend_ || !window_ || xwindow_.empty()) GTEST_SKIP() << "no X display";
    gMainWindow = window_;
    gWindowSizes[0] = WindowSizePair{640, 480};
    InitEventRecStack();
    // Start from a quiet queue and clean key tables.
    for (int i = 0; i < 5; ++i) PollEvents(0xFFFF, nullptr);
    ClearKeyTables();
  }

  void TearDown() override { ExitEventRecStack(); }

  // Polls until the current event has that what, for up to two seconds.
  static bool PollUntilWhat(UInt16 what) {
    for (int i = 0; i < 200; ++i) {
      PollEvents(0xFFFF, nullptr);
      if (gCurrentEventRecord.what == what) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  static Backend* backend_;
  static Backend* previous_;
  static WindowRef window_;
  static std::string title_;
  static std::string xwindow_;
};

Backend* SdlEndToEndTest::backend_ = nullptr;
Backend* SdlEndToEndTest::previous_ = nullptr;
WindowRef SdlEndToEndTest::window_ = nullptr;
std::string SdlEndToEndTest::title_;
std::string SdlEndToEndTest::xwindow_;

TEST_F(SdlEndToEndTest, EscapeLeavesAKeyDownWithKeyCode53) {
  ASSERT_TRUE(RunXdotool("keydown --window " + xwindow_ + " Escape"));
  const bool seen = PollUntilWhat(kKeyDownEvent);
  RunXdotool("keyup --window " + xwindow_ + " Escape");
  ASSERT_TRUE(seen);
  EXPECT_EQ(GetEventKeyCode(nullptr, nullptr), 53);
  EXPECT_EQ(gCurrentEventRecord.message & 0xFF, 27u);
  EXPECT_TRUE(IsKeyDownEvent(53, -1, nullptr));
}

TEST_F(SdlEndToEndTest, ClickGivesTheMouseStateInPortCoordinates) {
  ASSERT_TRUE(RunXdotool("mousemove --window " + xwindow_ + " --sync 512 384"));
  ASSERT_TRUE(RunXdotool("click --window " + xwindow_ + " 1"));
  ASSERT_TRUE(PollUntilWhat(kMouseDownEvent));
  MouseState state{};
  EXPECT_EQ(GetMouseState(&state), 1);
  EXPECT_EQ(state.mouseDown, 1);
  EXPECT_EQ(state.where.v, 240);
  EXPECT_EQ(state.where.h, 320);
  EXPECT_TRUE(KeyWasPressed(161));
}

TEST_F(SdlEndToEndTest, WindowsAreCreatedHiddenAndSwitchToFullScreenAtTheScreenSize) {
  const Rect content{100, 100, 580, 740};
  WindowRef window = nullptr;
  ASSERT_EQ(CreateWindowRef(0, 0, &content, &window), 0);
  EXPECT_FALSE(IsWindowRefVisible(window));
  ShowWindowRef(window);
  EXPECT_TRUE(IsWindowRefVisible(window));
  Rect r;
  ASSERT_EQ(GetWindowRegionRect(window, kWindowContentRgn, &r), 0);
  EXPECT_EQ(r.top, 100);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.bottom, 580);
  EXPECT_EQ(r.right, 740);
  const Rect screen{0, 0, 1024, 1280};
  SetWindowRegionRect(window, kWindowContentRgn, &screen);
  EXPECT_TRUE(IsWindowFullScreenStyle(window));
  SetWindowRegionRect(window, kWindowContentRgn, &content);
  EXPECT_FALSE(IsWindowFullScreenStyle(window));
  ASSERT_EQ(GetWindowRegionRect(window, kWindowContentRgn, &r), 0);
  EXPECT_EQ(r.right - r.left, 640);
  EXPECT_EQ(r.bottom - r.top, 480);
  EXPECT_EQ(GetWindowRegionRect(window, 34, &r), -30593);
  DisposeWindowRef(window);
}

TEST_F(SdlEndToEndTest, ADesktopCloseIsOneCloseEventCarryingTheWindow) {
  auto* sdl = static_cast<SDL_Window*>(backend_->NativeWindow(WindowId(window_)));
  ASSERT_NE(sdl, nullptr);
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = SDL_GetWindowID(sdl);
  ASSERT_EQ(SDL_PushEvent(&close), 1);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);  // dropped: one close is one request
  int closes = 0;
  for (int i = 0; i < 20; ++i) {
    EventRef event = nullptr;
    if (ReceiveNextEvent(0, nullptr, 0.0, 1, &event) != 0) {
      backend_->Pump();
      continue;
    }
    if (GetEventRecordClass(event) == kEventClassWindow && GetEventRecordKind(event) == kEventWindowClose) {
      UInt32 target = 0;
      GetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("wind"), nullptr, 4, nullptr, &target);
      EXPECT_EQ(target, WindowId(window_));
      ++closes;
    }
    ReleaseEvent(event);
  }
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(IsWindowRefVisible(window_));
}

}  // namespace
