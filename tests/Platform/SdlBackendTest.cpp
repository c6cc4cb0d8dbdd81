// The SDL backend against a real X server (an Xvfb of its own), driven by
// xdotool.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "KeyTranslation.h"
#include "SdlBackend.h"
#include "Sys.h"
#include "TestSupport.h"

namespace {


class SdlBackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!std::getenv("DISPLAY")) return;
    // Without this SDL falls back to its offscreen driver when the display
    // does not answer, and the suite would pass without any X server.
    setenv("SDL_VIDEODRIVER", "x11", 1);
    testsupport::PinGraphicsLibraries();
    backend_ = NewSdlBackend();
    if (!backend_->InitVideo()) {
      delete backend_;
      backend_ = nullptr;
      return;
    }
    SetBackend(backend_);
    window_ = backend_->CreateWindow({100, 100, 868, 1124});
    if (!window_) return;
    title_ = "shellplat-" + std::to_string(getpid());
    backend_->SetWindowTitle(window_, title_.c_str());
    hiddenAtCreation_ = !backend_->IsWindowVisible(window_);
    backend_->ShowWindow(window_);
    backend_->Pump();
    xwindow_.clear();
    xwindow_ = testsupport::FindAndFocusXWindow(title_);
  }

  static void TearDownTestSuite() {
    SetBackend(nullptr);
    delete backend_;
    backend_ = nullptr;
  }

  // Only a missing display skips: a display that does not answer, or a
  // window that cannot be made on it, is a failure.
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display) GTEST_SKIP() << "no X display";
    ASSERT_NE(backend_, nullptr) << "SDL's video did not start on DISPLAY=" << display;
    ASSERT_NE(window_, 0u) << "no window on DISPLAY=" << display;
    Drain();
  }

  // Pumps until the condition holds or two seconds pass.
  static bool PumpUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 200; ++i) {
      backend_->Pump();
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  static bool KeyDown(uint8_t dik) {
    uint8_t state[256];
    return backend_->ReadKeyState(state) && state[dik] == 0x80;
  }

  // Pumps until an event of that kind arrives; the events before it are dropped.
  static bool WaitFor(NativeEventKind kind, NativeEvent& out) {
    return PumpUntil([&] {
      while (backend_->NextEvent(out, true))
        if (out.kind == kind) return true;
      return false;
    });
  }

  static void Drain() {
    backend_->Pump();
    NativeEvent e;
    while (backend_->NextEvent(e, true)) {
    }
    backend_->ClearKeyLatch();
  }

  static Backend* backend_;
  static uint32_t window_;
  static std::string title_;
  static std::string xwindow_;
  static bool hiddenAtCreation_;
};

Backend* SdlBackendTest::backend_ = nullptr;
uint32_t SdlBackendTest::window_ = 0;
std::string SdlBackendTest::title_;
std::string SdlBackendTest::xwindow_;
bool SdlBackendTest::hiddenAtCreation_ = false;

}  // namespace

TEST_F(SdlBackendTest, WindowIsCreatedHiddenAndShowsItsTitleAsUtf8) {
  EXPECT_TRUE(hiddenAtCreation_);
  EXPECT_TRUE(backend_->IsWindowVisible(window_));
  EXPECT_FALSE(xwindow_.empty());
  auto* sdl = static_cast<SDL_Window*>(backend_->NativeWindow(window_));
  ASSERT_NE(sdl, nullptr);
  EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL);
  EXPECT_FALSE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_RESIZABLE);
  backend_->SetWindowTitle(window_, "Kestrova \xA9");
  EXPECT_STREQ(SDL_GetWindowTitle(sdl), "Kestrova \xC2\xA9");
  backend_->SetWindowTitle(window_, title_.c_str());
}

TEST_F(SdlBackendTest, ContentRectFullScreenAndBack) {
  int width = 0, height = 0;
  backend_->DisplaySize(width, height);
  EXPECT_EQ(width, 1280);
  EXPECT_EQ(height, 1024);
  PlatformRect r;
  ASSERT_TRUE(backend_->GetContentRect(window_, r));
  EXPECT_EQ(r, (PlatformRect{100, 100, 868, 1124}));
  backend_->SetFullScreen(window_, true);
  EXPECT_TRUE(backend_->IsFullScreen(window_));
  ASSERT_TRUE(backend_->GetContentRect(window_, r));
  EXPECT_EQ(r, (PlatformRect{0, 0, 1024, 1280}));
  backend_->SetFullScreen(window_, false);
  EXPECT_FALSE(backend_->IsFullScreen(window_));
  ASSERT_TRUE(backend_->GetContentRect(window_, r));
  EXPECT_EQ(r, (PlatformRect{100, 100, 868, 1124}));
  int w = 0, h = 0;
  SDL_GetWindowSize(static_cast<SDL_Window*>(backend_->NativeWindow(window_)), &w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
  // Our own switches are not reported as the user's maximise or restore.
  backend_->Pump();
  NativeEvent e;
  while (backend_->NextEvent(e, true)) {
    EXPECT_NE(e.kind, NativeEventKind::Maximize);
    EXPECT_NE(e.kind, NativeEventKind::Restore);
  }
  testsupport::RunXdotool("windowfocus --sync " + xwindow_);
}

TEST_F(SdlBackendTest, CloseRequestIsOneEventAndQuitIsDropped) {
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = window_;
  ASSERT_EQ(SDL_PushEvent(&close), 1);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&quit), 1);
  NativeEvent e;
  ASSERT_TRUE(backend_->NextEvent(e, false));
  EXPECT_EQ(e.kind, NativeEventKind::Close);
  ASSERT_TRUE(backend_->NextEvent(e, true));
  EXPECT_EQ(e.kind, NativeEventKind::Close);
  EXPECT_EQ(e.window, window_);
  EXPECT_FALSE(backend_->NextEvent(e, true));
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 0);
}

TEST_F(SdlBackendTest, PostedMessagesComeFirst) {
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = window_;
  SDL_PushEvent(&close);
  backend_->PostMessage(16, window_);
  NativeEvent e;
  ASSERT_TRUE(backend_->NextEvent(e, true));
  EXPECT_EQ(e.kind, NativeEventKind::Posted);
  EXPECT_EQ(e.param, window_);
  ASSERT_TRUE(backend_->NextEvent(e, true));
  EXPECT_EQ(e.kind, NativeEventKind::Close);
}

TEST_F(SdlBackendTest, JoystickEventsStayInSdlsQueue) {
  SDL_Event joy{};
  joy.type = SDL_JOYBUTTONDOWN;
  ASSERT_EQ(SDL_PushEvent(&joy), 1);
  NativeEvent e;
  EXPECT_FALSE(backend_->NextEvent(e, true));
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_JOYBUTTONDOWN, SDL_JOYBUTTONDOWN), 1);
  SDL_FlushEvent(SDL_JOYBUTTONDOWN);
}

TEST_F(SdlBackendTest, HeldKeyReadsDownWhileHeldAndUpAfter) {
  ASSERT_TRUE(testsupport::RunXdotool("keydown Left"));
  EXPECT_TRUE(PumpUntil([] { return KeyDown(0xCB); }));
  EXPECT_TRUE(backend_->IsKeyHeld(0xCB));
  EXPECT_FALSE(backend_->IsKeyHeld(0xCD));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(testsupport::RunXdotool("keyup Left"));
  backend_->ClearKeyLatch();
  EXPECT_TRUE(PumpUntil([] {
    backend_->ClearKeyLatch();
    return !KeyDown(0xCB);
  }));
  EXPECT_FALSE(backend_->IsKeyHeld(0xCB));
}

TEST_F(SdlBackendTest, CapsLockHeldReadsDown) {
  ASSERT_TRUE(testsupport::RunXdotool("keydown Caps_Lock"));
  EXPECT_TRUE(PumpUntil([] { return KeyDown(0x3A); }));
  ASSERT_TRUE(testsupport::RunXdotool("keyup Caps_Lock"));
  EXPECT_TRUE(PumpUntil([] {
    backend_->ClearKeyLatch();
    return !KeyDown(0x3A);
  }));
  // Put the toggle back where it was.
  testsupport::RunXdotool("key Caps_Lock");
  Drain();
}

TEST_F(SdlBackendTest, EscapeGivesKeyEvents) {
  ASSERT_TRUE(testsupport::RunXdotool("keydown Escape"));
  NativeEvent e;
  ASSERT_TRUE(WaitFor(NativeEventKind::KeyDown, e));
  EXPECT_EQ(e.scancode, SDL_SCANCODE_ESCAPE);
  EXPECT_EQ(e.keyCode, SDLK_ESCAPE);
  EXPECT_EQ(e.window, window_);
  EXPECT_FALSE(e.repeat);
  uint32_t now = MonotonicMilliseconds();
  EXPECT_LE(e.timeMs, now);
  EXPECT_GT(e.timeMs + 5000, now);
  ASSERT_TRUE(testsupport::RunXdotool("keyup Escape"));
  ASSERT_TRUE(WaitFor(NativeEventKind::KeyUp, e));
  EXPECT_EQ(e.scancode, SDL_SCANCODE_ESCAPE);
}

// With text input on, the layout's characters come as Text events in
// Latin-1, each after the key down that made it, which defers its character;
// with it off, keys alone.
TEST_F(SdlBackendTest, TextInputGivesTheLayoutsCharactersInLatin1) {
  struct Seen {
    std::string text;
    int keyDowns = 0;
    int deferred = 0;
    int lastDown = 0;
    int firstTextScancode = -1;  // should name the key down before it
    int firstTextKeyDown = -2;
  };
  // Types with xdotool and takes events until the key downs and characters
  // expected have come (or two seconds pass).
  const auto typeAndCollect = [](const char* utf8, int keyDowns, size_t characters) {
    Seen seen;
    EXPECT_TRUE(testsupport::RunXdotool(std::string("type --delay 50 '") + utf8 + "'"));
    PumpUntil([&] {
      NativeEvent e;
      while (backend_->NextEvent(e, true)) {
        if (e.kind == NativeEventKind::KeyDown) {
          ++seen.keyDowns;
          seen.deferred += e.typesAsText;
          seen.lastDown = e.scancode;
        }
        if (e.kind == NativeEventKind::Text) {
          seen.text += static_cast<char>(e.param);
          if (seen.firstTextScancode < 0) {
            seen.firstTextScancode = e.scancode;
            seen.firstTextKeyDown = seen.lastDown;
          }
        }
      }
      return seen.keyDowns >= keyDowns && seen.text.size() >= characters;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Drain();
    return seen;
  };

  // A layout with its own key for ë, as its users have: xdotool's stand-in
  // key for a missing character is looked up too late by a slow reader.
  ASSERT_EQ(std::system("setxkbmap -layout al"), 0);
  backend_->SetTextInput(true);
  EXPECT_TRUE(SDL_IsTextInputActive());
  const Seen on = typeAndCollect("Zo\xC3\xAB", 3, 3);
  std::system("setxkbmap -layout us");
  EXPECT_EQ(on.text, "Zo\xEB");
  EXPECT_EQ(on.deferred, on.keyDowns);
  EXPECT_EQ(on.firstTextScancode, on.firstTextKeyDown);
  EXPECT_GT(on.firstTextScancode, 0);

  backend_->SetTextInput(false);
  EXPECT_FALSE(SDL_IsTextInputActive());
  const Seen off = typeAndCollect("ab", 2, 0);
  EXPECT_EQ(off.keyDowns, 2);
  EXPECT_EQ(off.text, "");
  EXPECT_EQ(off.deferred, 0);
}

TEST_F(SdlBackendTest, TapIsLatchedUntilTheLatchIsCleared) {
  ASSERT_TRUE(testsupport::RunXdotool("key a"));
  // One pump takes both the down and the up.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(PumpUntil([] { return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYUP, SDL_KEYUP) > 0; }));
  EXPECT_TRUE(KeyDown(0x1E));
  EXPECT_TRUE(backend_->IsKeyHeld(0x1E));
  backend_->ClearKeyLatch();
  backend_->Pump();
  EXPECT_FALSE(KeyDown(0x1E));
  EXPECT_FALSE(backend_->IsKeyHeld(0x1E));
}

TEST_F(SdlBackendTest, ClickGivesButtonEventsAtClientPoints) {
  ASSERT_TRUE(testsupport::RunXdotool("mousemove --window " + xwindow_ + " --sync 512 384 mousedown 1"));
  NativeEvent e;
  ASSERT_TRUE(WaitFor(NativeEventKind::ButtonDown, e));
  EXPECT_EQ(e.window, window_);
  EXPECT_EQ(e.x, 512);
  EXPECT_EQ(e.y, 384);
  EXPECT_TRUE(backend_->LeftButton());
  EXPECT_TRUE(IsLeftMouseButtonDown());
  int x = 0, y = 0;
  backend_->GlobalMouse(x, y);
  EXPECT_EQ(x, 100 + 512);
  EXPECT_EQ(y, 100 + 384);
  EXPECT_EQ(backend_->WindowAt(x, y), window_);
  EXPECT_EQ(backend_->WindowAt(5, 5), 0u);
  ASSERT_TRUE(testsupport::RunXdotool("mouseup 1"));
  ASSERT_TRUE(WaitFor(NativeEventKind::ButtonUp, e));
  EXPECT_FALSE(backend_->LeftButton());
}

TEST_F(SdlBackendTest, MotionIsTakenRelative) {
  ASSERT_TRUE(testsupport::RunXdotool("mousemove --window " + xwindow_ + " --sync 100 100"));
  backend_->Pump();
  int dx = 0, dy = 0;
  backend_->TakeMotion(dx, dy);
  ASSERT_TRUE(testsupport::RunXdotool("mousemove --window " + xwindow_ + " --sync 130 80"));
  int total_x = 0, total_y = 0;
  PumpUntil([&] {
    int mx = 0, my = 0;
    backend_->TakeMotion(mx, my);
    total_x += mx;
    total_y += my;
    return total_x == 30 && total_y == -20;
  });
  EXPECT_EQ(total_x, 30);
  EXPECT_EQ(total_y, -20);
}

TEST_F(SdlBackendTest, KeyboardFocusIsOurWindow) { EXPECT_EQ(backend_->FocusWindow(), window_); }

TEST(SdlBackendStartUp, VideoInitFailsWithoutADisplay) {
  auto r = testsupport::RunInChild([] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);
    Backend* backend = NewSdlBackend();
    bool up = backend->InitVideo();
    bool created = backend->CreateWindow({0, 0, 10, 10}) != 0;
    delete backend;
    std::exit(!up && !created ? 0 : 1);
  });
  EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
}
