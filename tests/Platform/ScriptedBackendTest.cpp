#include <SDL.h>
#include <gtest/gtest.h>

#include "ScriptedBackend.h"
#include "Sys.h"
#include "TestSupport.h"

namespace {

class ScriptedBackendTest : public ::testing::Test {
 protected:
  ScriptedBackendTest() { SetBackend(&backend); }
  bool KeyDown(int dik) {
    uint8_t state[256];
    backend.ReadKeyState(state);
    return state[dik] == 0x80;
  }
  testsupport::FakeClock clock;
  ScriptedBackend backend;
};

}  // namespace

TEST_F(ScriptedBackendTest, InstalledBackendAnswersTheSystemQueries) {
  EXPECT_EQ(&GetBackend(), &backend);
  backend.SetLeftButton(true);
  EXPECT_TRUE(IsLeftMouseButtonDown());
  backend.SetLeftButton(false);
  EXPECT_FALSE(IsLeftMouseButtonDown());
}

TEST(ScriptedBackendLifetime, DestroyingTheInstalledBackendUninstallsIt) {
  {
    ScriptedBackend scripted;
    SetBackend(&scripted);
  }
  EXPECT_EQ(SetBackend(nullptr), nullptr);
}

TEST_F(ScriptedBackendTest, KeyEventsCarryTimeTogglesAndUsKeyCodes) {
  uint32_t w = backend.CreateWindow({100, 100, 580, 740});
  backend.ShowWindow(w);
  backend.SetToggles(true, false);
  clock.AdvanceMilliseconds(250);
  backend.PressKey(SDL_SCANCODE_A);
  backend.RepeatKey(SDL_SCANCODE_A);
  backend.ReleaseKey(SDL_SCANCODE_A);
  NativeEvent e;
  ASSERT_TRUE(backend.NextEvent(e, true));
  EXPECT_EQ(e.kind, NativeEventKind::KeyDown);
  EXPECT_EQ(e.window, w);
  EXPECT_EQ(e.timeMs, MonotonicMilliseconds());
  EXPECT_EQ(e.scancode, SDL_SCANCODE_A);
  EXPECT_EQ(e.keyCode, 'a');
  EXPECT_FALSE(e.repeat);
  EXPECT_TRUE(e.capsLockOn);
  EXPECT_FALSE(e.numLockOn);
  ASSERT_TRUE(backend.NextEvent(e, true));
  EXPECT_TRUE(e.repeat);
  ASSERT_TRUE(backend.NextEvent(e, true));
  EXPECT_EQ(e.kind, NativeEventKind::KeyUp);
  EXPECT_FALSE(backend.NextEvent(e, true));
}

TEST_F(ScriptedBackendTest, PostedMessagesComeBeforeInputAndPeekLeavesThem) {
  backend.PressKey(SDL_SCANCODE_ESCAPE);
  backend.PostMessage(16, 7);
  NativeEvent e;
  ASSERT_TRUE(backend.NextEvent(e, false));
  EXPECT_EQ(e.kind, NativeEventKind::Posted);
  ASSERT_TRUE(backend.NextEvent(e, true));
  EXPECT_EQ(e.kind, NativeEventKind::Posted);
  EXPECT_EQ(e.message, 16u);
  EXPECT_EQ(e.param, 7u);
  ASSERT_TRUE(backend.NextEvent(e, false));
  EXPECT_EQ(e.kind, NativeEventKind::KeyDown);
  ASSERT_TRUE(backend.NextEvent(e, true));
  EXPECT_EQ(e.kind, NativeEventKind::KeyDown);
  EXPECT_FALSE(backend.NextEvent(e, true));
}

TEST_F(ScriptedBackendTest, TappedKeyReadsDownUntilTheLatchIsCleared) {
  backend.TapKey(SDL_SCANCODE_A);
  EXPECT_TRUE(KeyDown(0x1E));
  EXPECT_TRUE(KeyDown(0x1E));  // reading does not clear it
  backend.ClearKeyLatch();
  EXPECT_FALSE(KeyDown(0x1E));
}

TEST_F(ScriptedBackendTest, HeldKeyOutlivesTheLatch) {
  backend.PressKey(SDL_SCANCODE_LSHIFT);
  backend.ClearKeyLatch();
  EXPECT_TRUE(KeyDown(0x2A));
  backend.SetKeyHeld(SDL_SCANCODE_LSHIFT, false);  // released with no event
  EXPECT_FALSE(KeyDown(0x2A));
  EXPECT_EQ(backend.queuedEvents(), 1u);
}

TEST_F(ScriptedBackendTest, FailedReadsGiveNothing) {
  backend.PressKey(SDL_SCANCODE_ESCAPE);
  backend.AddMotion(3, -2);
  backend.failKeyRead = true;
  backend.failMouseRead = true;
  uint8_t state[256];
  state[1] = 0x80;
  EXPECT_FALSE(backend.ReadKeyState(state));
  for (uint8_t b : state) ASSERT_EQ(b, 0);
  int dx = 9, dy = 9;
  EXPECT_FALSE(backend.TakeMotion(dx, dy));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);
}

TEST_F(ScriptedBackendTest, MotionAccumulatesUntilTaken) {
  backend.AddMotion(3, -2);
  backend.AddMotion(1, 1);
  int dx, dy;
  ASSERT_TRUE(backend.TakeMotion(dx, dy));
  EXPECT_EQ(dx, 4);
  EXPECT_EQ(dy, -1);
  ASSERT_TRUE(backend.TakeMotion(dx, dy));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);
}

TEST_F(ScriptedBackendTest, ButtonsSetTheButtonAndCarryClientPoints) {
  uint32_t w = backend.CreateWindow({0, 0, 768, 1024});
  backend.ShowWindow(w);
  backend.PressButton(512, 384);
  EXPECT_TRUE(backend.LeftButton());
  backend.ReleaseButton(512, 384);
  EXPECT_FALSE(backend.LeftButton());
  NativeEvent e;
  ASSERT_TRUE(backend.NextEvent(e, true));
  EXPECT_EQ(e.kind, NativeEventKind::ButtonDown);
  EXPECT_EQ(e.window, w);
  EXPECT_EQ(e.x, 512);
  EXPECT_EQ(e.y, 384);
  ASSERT_TRUE(backend.NextEvent(e, true));
  EXPECT_EQ(e.kind, NativeEventKind::ButtonUp);
}

TEST_F(ScriptedBackendTest, WindowsStartHiddenAndKeepTheirRectangle) {
  uint32_t w = backend.CreateWindow({100, 100, 580, 740});
  ASSERT_NE(w, 0u);
  EXPECT_FALSE(backend.IsWindowVisible(w));
  backend.ShowWindow(w);
  EXPECT_TRUE(backend.IsWindowVisible(w));
  PlatformRect r;
  ASSERT_TRUE(backend.GetContentRect(w, r));
  EXPECT_EQ(r, (PlatformRect{100, 100, 580, 740}));
  backend.SetContentRect(w, {10, 20, 30, 40});
  ASSERT_TRUE(backend.GetContentRect(w, r));
  EXPECT_EQ(r, (PlatformRect{10, 20, 30, 40}));
  backend.DestroyWindow(w);
  EXPECT_FALSE(backend.GetContentRect(w, r));
  EXPECT_FALSE(backend.IsWindowVisible(w));
  EXPECT_EQ(backend.NextWindow(0), 0u);
}

TEST_F(ScriptedBackendTest, FullScreenCoversTheDisplayAndGoesBack) {
  uint32_t w = backend.CreateWindow({100, 100, 580, 740});
  backend.SetFullScreen(w, true);
  PlatformRect r;
  ASSERT_TRUE(backend.GetContentRect(w, r));
  EXPECT_EQ(r, (PlatformRect{0, 0, 1024, 1280}));
  EXPECT_TRUE(backend.IsFullScreen(w));
  backend.SetFullScreen(w, false);
  ASSERT_TRUE(backend.GetContentRect(w, r));
  EXPECT_EQ(r, (PlatformRect{100, 100, 580, 740}));
  ASSERT_EQ(backend.fullScreenSwitches().size(), 2u);
  EXPECT_TRUE(backend.fullScreenSwitches()[0].on);
  EXPECT_FALSE(backend.fullScreenSwitches()[1].on);
  EXPECT_EQ(backend.fullScreenSwitches()[1].window, w);
}

TEST_F(ScriptedBackendTest, InjectedWindowFailures) {
  backend.failWindowCreate = true;
  EXPECT_EQ(backend.CreateWindow({0, 0, 10, 10}), 0u);
  backend.failWindowCreate = false;
  uint32_t w = backend.CreateWindow({0, 0, 10, 10});
  backend.failRectRead = true;
  PlatformRect r;
  EXPECT_FALSE(backend.GetContentRect(w, r));
  backend.failVideoInit = true;
  EXPECT_FALSE(backend.InitVideo());
  backend.failVideoInit = false;
  EXPECT_TRUE(backend.InitVideo());
}

TEST_F(ScriptedBackendTest, IdsAreNotReused) {
  uint32_t a = backend.CreateWindow({0, 0, 10, 10});
  backend.DestroyWindow(a);
  uint32_t b = backend.CreateWindow({0, 0, 10, 10});
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
}

TEST_F(ScriptedBackendTest, ZOrderFocusAndWindowAt) {
  uint32_t back = backend.CreateWindow({0, 0, 100, 100});
  uint32_t front = backend.CreateWindow({50, 50, 150, 150});
  backend.ShowWindow(back);
  EXPECT_EQ(backend.WindowAt(75, 75), back);  // the front one is hidden
  backend.ShowWindow(front);
  EXPECT_EQ(backend.NextWindow(0), front);
  EXPECT_EQ(backend.NextWindow(front), back);
  EXPECT_EQ(backend.NextWindow(back), 0u);
  EXPECT_EQ(backend.WindowAt(75, 75), front);
  EXPECT_EQ(backend.WindowAt(10, 10), back);
  EXPECT_EQ(backend.WindowAt(100, 10), 0u);  // right and bottom edges are outside
  EXPECT_EQ(backend.WindowAt(500, 500), 0u);
  EXPECT_EQ(backend.FocusWindow(), front);
  backend.RaiseWindow(back);
  EXPECT_EQ(backend.WindowAt(75, 75), back);
  EXPECT_EQ(backend.FocusWindow(), back);
  backend.SetFocus(0);
  EXPECT_EQ(backend.FocusWindow(), 0u);
  backend.SetBorders({20, 5, 5, 5});
  EXPECT_EQ(backend.WindowAt(10, -10), back);  // on the title bar
}

TEST_F(ScriptedBackendTest, TitlesAreShownAsUtf8) {
  uint32_t w = backend.CreateWindow({0, 0, 10, 10});
  backend.SetWindowTitle(w, "Caf\xE9 \xA9");
  EXPECT_EQ(backend.WindowTitle(w), "Caf\xC3\xA9 \xC2\xA9");
  EXPECT_EQ(Latin1ToUtf8(nullptr), "");
}

// Typed text: Latin-1 passes, anything beyond it and any broken sequence is
// dropped without eating the characters around it.
TEST(TypedText, Utf8ToLatin1KeepsLatin1AndDropsTheRest) {
  const struct {
    const char* utf8;
    const char* latin1;
  } cases[] = {
      {"Zo\xC3\xAB", "Zo\xEB"},                  // ë
      {"\xC3\xB1\xC3\xA9\xC2\xA0\xC3\xBF", "\xF1\xE9\xA0\xFF"},
      {"a\xE2\x82\xAC" "b", "ab"},                 // the euro sign
      {"a\xF0\x9F\x98\x80" "b", "ab"},             // an emoji
      {"a\xC0\xA0" "b", "ab"},                     // an overlong space
      {"a\xC3" "b", "ab"},                          // a lead byte cut short
      {"a\xA9" "b", "ab"},                          // a stray continuation byte
      {"a\xE2\x82", "a"},                          // cut short at the end
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToLatin1(c.utf8), c.latin1) << c.utf8;
  EXPECT_EQ(Utf8ToLatin1(nullptr), "");
  EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8("Caf\xE9 \xA9\x80").c_str()), "Caf\xE9 \xA9\x80");
}

TEST_F(ScriptedBackendTest, TextInputIsRecordedAndTypedTextIsOneEventACharacter) {
  EXPECT_FALSE(backend.TextInputOn());
  backend.SetTextInput(true);
  EXPECT_TRUE(backend.TextInputOn());
  backend.TypeText("Zo\xC3\xAB\xE2\x82\xAC");
  std::string typed;
  NativeEvent e;
  while (backend.NextEvent(e, true)) {
    EXPECT_EQ(e.kind, NativeEventKind::Text);
    typed += static_cast<char>(e.param);
  }
  EXPECT_EQ(typed, "Zo\xEB");
  backend.SetTextInput(false);
  EXPECT_FALSE(backend.TextInputOn());
}

TEST_F(ScriptedBackendTest, CursorDisplayCount) {
  EXPECT_EQ(backend.CursorCount(), 0);
  EXPECT_TRUE(backend.cursorShown());
  EXPECT_EQ(backend.ShowCursor(false), -1);
  EXPECT_FALSE(backend.cursorShown());
  EXPECT_EQ(backend.ShowCursor(false), -2);
  EXPECT_EQ(backend.ShowCursor(true), -1);
  EXPECT_FALSE(backend.cursorShown());
  EXPECT_EQ(backend.ShowCursor(true), 0);
  EXPECT_TRUE(backend.cursorShown());
  EXPECT_EQ(backend.cursorCalls(), (std::vector<bool>{false, false, true, true}));
}

TEST_F(ScriptedBackendTest, PointerAssociationIsOnlyRecorded) {
  int calls = PointerAssociationCallsForTesting();
  backend.SetPointerAssociated(false);
  EXPECT_FALSE(IsPointerAssociated());
  backend.SetPointerAssociated(true);
  EXPECT_TRUE(IsPointerAssociated());
  EXPECT_EQ(PointerAssociationCallsForTesting(), calls + 2);
}

TEST_F(ScriptedBackendTest, OpenedTextsAndTheLogKeepTheirOrder) {
  uint32_t w = backend.CreateWindow({0, 0, 10, 10});
  backend.SetFullScreen(w, false);
  backend.SetOpenResult(-1);
  EXPECT_EQ(backend.OpenExternal("mailto:a@b"), -1);
  EXPECT_EQ(backend.openedTexts(), std::vector<std::string>{"mailto:a@b"});
  const auto& log = backend.log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[1], "fullscreen " + std::to_string(w) + " 0");
  EXPECT_EQ(log[2], "open mailto:a@b");
}

TEST_F(ScriptedBackendTest, WindowEventsAreQueuedInOrder) {
  uint32_t w = backend.CreateWindow({0, 0, 10, 10});
  backend.PushMaximize(w);
  backend.PushRestore(w);
  backend.PushClose(w);
  NativeEventKind expected[] = {NativeEventKind::Maximize, NativeEventKind::Restore, NativeEventKind::Close};
  for (NativeEventKind kind : expected) {
    NativeEvent e;
    ASSERT_TRUE(backend.NextEvent(e, true));
    EXPECT_EQ(e.kind, kind);
    EXPECT_EQ(e.window, w);
  }
}

TEST_F(ScriptedBackendTest, DisplayIs1280By1024) {
  int width = 0, height = 0;
  backend.DisplaySize(width, height);
  EXPECT_EQ(width, 1280);
  EXPECT_EQ(height, 1024);
}

TEST(ScriptedBackendGL, WindowsAreBackedByHiddenSdlWindows) {
  testsupport::PinGraphicsLibraries();
  ScriptedBackend::Options options;
  options.withGL = true;
  ScriptedBackend backend(options);
  ASSERT_TRUE(backend.InitVideo()) << SDL_GetError();
  uint32_t w = backend.CreateWindow({100, 100, 580, 740});
  ASSERT_NE(w, 0u) << SDL_GetError();
  auto* window = static_cast<SDL_Window*>(backend.NativeWindow(w));
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL);
  EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  ASSERT_NE(context, nullptr) << SDL_GetError();
  EXPECT_EQ(SDL_GL_MakeCurrent(window, context), 0);
  SDL_GL_DeleteContext(context);
  backend.SetContentRect(w, {0, 0, 480, 640});
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
}
