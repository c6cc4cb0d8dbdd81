// Controls polled the way the game polls them, on the SDL backend against the
// an Xvfb of its own, driven by xdotool: a 1024 x 768 window shows the 640 x 480
// logical screen at 1.6 times.
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
#include "GLFrame.h"
#include "ImageBuff.h"
#include "InputDevices.h"
#include "ScreensTestSupport.h"
#include "SdlBackend.h"
#include "Strings.h"
#include "SystemUI.h"
#include "TextField.h"
#include "Windows.h"

namespace {


class SdlControlsTest : public ::testing::Test, protected ControlRecording {
 protected:
  static void SetUpTestSuite() {
    if (!std::getenv("DISPLAY")) return;
    // Without this SDL falls back to its offscreen driver when the display
    // does not answer, and the suite would pass without any X server.
    setenv("SDL_VIDEODRIVER", "x11", 1);
    testsupport::PinGraphicsLibraries();
    backend_ = NewSdlBackend();
    previous_ = SetBackend(backend_);
    ResetShellForTesting();
    InitDirectInputMouse();
    InitDirectInputKeyboard();
    SetGLWindowAttributes();
    const Rect content{100, 100, 868, 1124};
    if (CreateWindowRef(0, 0, &content, &window_) != 0) return;
    title_ = "controls-" + std::to_string(getpid());
    Str255 title;
    CToPStr(title_.c_str(), title);
    SetWindowTitle(window_, title);
    ShowWindowRef(window_);
    backend_->Pump();
    gMainWindow = window_;
    BuildGLForWindow(window_);
    xwindow_ = testsupport::FindAndFocusXWindow(title_);
  }

  static void TearDownTestSuite() {
    if (window_) {
      DisposeGLForWindow(window_);
      DisposeWindowRef(window_);
    }
    window_ = nullptr;
    gMainWindow = nullptr;
    ResetShellForTesting();
    UnregisterWindowClass();
    SetBackend(previous_);
    delete backend_;
    backend_ = nullptr;
  }

  // Only a missing display skips: a display that does not answer, or a
  // window that cannot be made on it, is a failure.
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display) GTEST_SKIP() << "no X display";
    ASSERT_NE(window_, nullptr) << "no window (or no video) on DISPLAY=" << display;
    ASSERT_FALSE(xwindow_.empty()) << "xdotool found no window titled " << title_;
    gMainWindow = window_;
    gWindowSizes[0] = WindowSizePair{640, 480};
    InitEventRecStack();
    StartRecording();
    AllocImageBuff(&buffer_, 1024, 64);
    mainGUI.imageBuff = &buffer_;
    for (int i = 0; i < 5; ++i) PollEvents(0xFFFF, nullptr);
    ClearKeyTables();
  }

  void TearDown() override {
    if (!backend_ || !window_ || xwindow_.empty()) return;
    mainGUI.imageBuff = nullptr;
    FreeImageBuff(&buffer_);
    StopRecording();
    ExitEventRecStack();
  }

  // Logical point to screen point: window point = logical x 1.6, and the
  // content stands at (100, 100). Moved through XTEST like a real mouse, so the
  // pointer's global state follows.
  static std::string At(int v, int h) {
    return std::to_string(100 + static_cast<int>(h * 1.6)) + " " + std::to_string(100 + static_cast<int>(v * 1.6));
  }
  void Move(int v, int h) { ASSERT_TRUE(testsupport::RunXdotool("mousemove --sync " + At(v, h))); }

  // Steps of the game's loop: poll, read the mouse, hand it and this step's
  // key character to the controls.
  void Steps(int count, const std::function<void(MouseState&, SInt8)>& step) {
    for (int i = 0; i < count; ++i) {
      PollEvents(0xFFFF, nullptr);
      MouseState state{};
      GetMouseState(&state);
      const UInt16 what = gCurrentEventRecord.what;
      const auto character =
          (what == kKeyDownEvent || what == 5) ? static_cast<SInt8>(gCurrentEventRecord.message & 0xFF) : SInt8{0};
      step(state, character);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  // A held key: down, about a tenth of a second of steps, up.
  void HoldKey(const std::string& key, const std::function<void(MouseState&, SInt8)>& step) {
    ASSERT_TRUE(testsupport::RunXdotool("keydown --window " + xwindow_ + " " + key));
    Steps(10, step);
    ASSERT_TRUE(testsupport::RunXdotool("keyup --window " + xwindow_ + " " + key));
    Steps(5, step);
  }

  ImageBuff buffer_{};
  static Backend* backend_;
  static Backend* previous_;
  static WindowRef window_;
  static std::string title_;
  static std::string xwindow_;
};

Backend* SdlControlsTest::backend_ = nullptr;
Backend* SdlControlsTest::previous_ = nullptr;
WindowRef SdlControlsTest::window_ = nullptr;
std::string SdlControlsTest::title_;
std::string SdlControlsTest::xwindow_;

TEST_F(SdlControlsTest, ButtonClickIsReportedOnceOnTheReleaseStep) {
  ButtonGL button;
  button.rect = Rect{100, 100, 140, 200};
  int clicks = 0;
  int clickButton = -1;
  auto step = [&](MouseState& s, SInt8) {
    if (button.TrackMouse(&s, 4, 0) == &button) {
      ++clicks;
      clickButton = s.button;
    }
  };
  Move(120, 150);
  Steps(3, step);
  ASSERT_TRUE(testsupport::RunXdotool("mousedown 1"));
  Steps(10, step);
  EXPECT_EQ(button.armed, 1);
  EXPECT_EQ(clicks, 0);
  ASSERT_TRUE(testsupport::RunXdotool("mouseup 1"));
  Steps(10, step);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(clickButton, 0);
  EXPECT_EQ(sounds.size(), 1u);
}

// The held button keeps the port mouse following the pointer: back along the
// track, then past its end and out of the window.
TEST_F(SdlControlsTest, SliderDraggedPastItsEndGivesTheMaximum) {
  SliderGL slider;
  slider.rect = Rect{200, 100, 220, 200};
  slider.maximum = 8;
  auto step = [&](MouseState& s, SInt8) { slider.TrackThumb(&s); };
  Move(210, 150);
  Steps(3, step);
  ASSERT_TRUE(testsupport::RunXdotool("mousedown 1"));
  Steps(10, step);
  EXPECT_EQ(slider.value, 4);
  Move(210, 125);
  Steps(10, step);
  EXPECT_EQ(slider.value, 2);
  Move(210, 700);  // screen x 1220, right of the window's 1124
  Steps(10, step);
  EXPECT_EQ(slider.value, 8);
  EXPECT_EQ(captureControl, &slider);
  ASSERT_TRUE(testsupport::RunXdotool("mouseup 1"));
  Steps(10, step);
  EXPECT_EQ(slider.value, 8);
  EXPECT_EQ(captureControl, nullptr);
}

TEST_F(SdlControlsTest, TypingIntoAClickedField) {
  TextFieldGL field;
  field.rect = Rect{300, 100, 324, 300};
  field.textRect = Rect{304, 104, 320, 296};
  SInt8 last = 0;
  auto step = [&](MouseState& s, SInt8 character) {
    if (character) last = character;
    field.HandleInput(&s, character);
  };
  Move(310, 200);
  Steps(3, step);
  ASSERT_TRUE(testsupport::RunXdotool("click --window " + xwindow_ + " 1"));
  Steps(10, step);
  ASSERT_EQ(focusedField, &field);
  HoldKey("shift+a", step);
  HoldKey("n", step);
  HoldKey("n", step);
  HoldKey("BackSpace", step);
  EXPECT_EQ(field.text, "An");
  EXPECT_EQ(field.caret, 2);
  HoldKey("Return", step);
  EXPECT_EQ(last, 13);
  EXPECT_EQ(field.text, "An");
}

}  // namespace
