// The game's window on the SDL backend against an Xvfb of its own
// (1280 x 1024, no window manager): the geometry X itself reports.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AppGlobals.h"
#include "Backend.h"
#include "Bundle.h"
#include "DisplayFlush.h"
#include "DisplayList.h"
#include "DisplayStartup.h"
#include "EventPoll.h"
#include "Events.h"
#include "GLTestSupport.h"
#include "GraphicsStartup.h"
#include "MainPrefs.h"
#include "MainWindow.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "PortsTestSupport.h"
#include "SdlBackend.h"
#include "Strings.h"
#include "Sys.h"
#include "SystemUI.h"
#include "TextLayout.h"
#include "WindowRecords.h"

namespace {

struct XGeometry {
  int x = -1, y = -1, width = -1, height = -1, border = -1;
  bool found = false;
};

// What the X server says of the window: xwininfo reads it straight from X.
// The window is found by its title, so finding it also checks the title.
XGeometry ReadXGeometry() {
  XGeometry g;
  FILE* p = popen("xwininfo -name Kestrova 2>/dev/null", "r");
  if (!p) return g;
  char line[256];
  while (std::fgets(line, sizeof line, p)) {
    int value = 0;
    if (std::sscanf(line, " Absolute upper-left X: %d", &value) == 1) g.x = value;
    if (std::sscanf(line, " Absolute upper-left Y: %d", &value) == 1) g.y = value;
    if (std::sscanf(line, " Width: %d", &value) == 1) g.width = value;
    if (std::sscanf(line, " Height: %d", &value) == 1) g.height = value;
    if (std::sscanf(line, " Border width: %d", &value) == 1) g.border = value;
  }
  g.found = pclose(p) == 0 && g.width > 0;
  return g;
}

GLint ViewportSide(int i) {
  GLint v[4] = {};
  glGetIntegerv(GL_VIEWPORT, v);
  return v[i];
}

class SdlWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testsupport::PinGraphicsLibraries();
    backend_ = NewSdlBackend();
  }
  static void TearDownTestSuite() {
    delete backend_;
    backend_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under tests/xvfb-wrap";
    previous_ = SetBackend(backend_);
    ASSERT_TRUE(backend_->InitVideo());
    SetGLWindowAttributes();
    ResetShellForTesting();
    InitGWorldStack();
    InitPixMapList();
    InitDisplayList();
    InitTextParamStack();
    InstallGraphicsDisplayServices();
    InstallDisplayLayerServices();
    EngineSettings[kSettingGameOwnsScreen] = 1;
    EngineSettings[kSettingCopyOnFlush] = 0;
    EngineSettings[kSettingDepth] = 16;
    gMainPrefs.fullScreen = 0;
    gMainPrefs.graphicsMode = 1;
    gWindowSizes[0] = gWindowSizes[1] = WindowSizePair{640, 480};
    CToPStr("Kestrova", ApplicationName);
    ClearDisplaysReady();
    SetFadeClear();
  }

  void TearDown() override {
    SetBeforeSwapHook(nullptr, nullptr);
    EngineSettings[kSettingCopyOnFlush] = 0;
    CloseDisplays();
    SetCurrentPort(nullptr);
    ResetMainWindowForTesting();
    ClearDisplaysReady();
    ResetShellForTesting();
    gDisplayHooks.createPixMap = nullptr;
    gDisplayHooks.releasePixMap = nullptr;
    gDisplayHooks.findPixMapGWorld = nullptr;
    gDisplayHooks.findPixMapAlpha = nullptr;
    gDisplayHooks.setPortToPixMap = nullptr;
    gDisplayHooks.makeWindowWorld = nullptr;
    ResetPixMapHooks();
    SetFadeClear();
    SetBackend(previous_);
  }

  bool PlatformFullScreen() { return backend_->IsFullScreen(WindowId(gMainWindow)); }

  // X applies a resize or move a moment after the request.
  XGeometry SettledGeometry(int width, int height) {
    XGeometry g;
    for (int i = 0; i < 50; ++i) {
      PollSystemEvents();
      g = ReadXGeometry();
      if (g.width == width && g.height == height) break;
      SleepMilliseconds(20);
    }
    return g;
  }

  static void ExpectAt(const XGeometry& g, int x, int y, int width, int height) {
    ASSERT_TRUE(g.found);
    EXPECT_EQ(g.x, x);
    EXPECT_EQ(g.y, y);
    EXPECT_EQ(g.width, width);
    EXPECT_EQ(g.height, height);
  }

  // One flush, read back at the before-swap hook over the whole window.
  FrameImage FlushAndCapture() {
    FrameImage image;
    SetBeforeSwapHook(
        [](void* out) {
          GLint v[4] = {};
          glGetIntegerv(GL_VIEWPORT, v);
          auto* f = static_cast<FrameImage*>(out);
          *f = FrameImage(v[2], v[3]);
          glReadBuffer(GL_BACK);
          glPixelStorei(GL_PACK_ALIGNMENT, 1);
          glReadPixels(0, 0, v[2], v[3], GL_RGBA, GL_UNSIGNED_BYTE, f->data());
        },
        &image);
    FlushToScreen(nullptr);
    SetBeforeSwapHook(nullptr, nullptr);
    return image;
  }

  static Backend* backend_;

 private:
  Backend* previous_ = nullptr;
};

Backend* SdlWindowTest::backend_ = nullptr;

TEST_F(SdlWindowTest, StartUpShowsTheCentredWindow) {
  StartDisplaySystem();
  ASSERT_NE(gMainWindow, nullptr);
  ASSERT_NE(buildWORLD, nullptr);
  ExpectAt(SettledGeometry(640, 480), 320, 272, 640, 480);
  EXPECT_TRUE(backend_->IsWindowVisible(WindowId(gMainWindow)));
  FlushToScreen(nullptr);
  EXPECT_EQ(ViewportSide(2), 640);
  EXPECT_EQ(ViewportSide(3), 480);
  const PixMap* p = *buildPMAP;
  EXPECT_EQ(p->pixelDepth, 16);
  EXPECT_EQ(p->bounds.right, 640);
  EXPECT_EQ(p->bounds.bottom, 480);
  int nonZero = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) nonZero += portstest::Pixel16(buildWORLD, x, y) != 0;
  EXPECT_EQ(nonZero, 0);
  EXPECT_EQ(DisplaysReady(), 1);
  EXPECT_EQ(IsFullScreen_Displays(), 0u);
  EXPECT_EQ(DisplayList->count, 0u);
}

TEST_F(SdlWindowTest, FullScreenIsBorderlessOverTheWholeDisplayAndComesBack) {
  StartDisplaySystem();
  ASSERT_NE(gMainWindow, nullptr);
  SettledGeometry(640, 480);

  SetFullScreen_Displays(1);
  ExpectAt(SettledGeometry(1280, 1024), 0, 0, 1280, 1024);
  EXPECT_TRUE(PlatformFullScreen());
  EXPECT_EQ(ReadXGeometry().border, 0);

  // A white 640 x 480 picture at scale 2 leaves bars of 32 rows.
  EngineSettings[kSettingCopyOnFlush] = 1;
  PushPort();
  SetCurrentPort(buildWORLD);
  buildWORLD->foreColor = ColorRGB{65535, 65535, 65535};
  FillRectForeColor(&ScreenRect);
  PopPort();
  FrameImage f;
  for (int i = 0; i < 20; ++i) {
    f = FlushAndCapture();
    if (f.width() == 1280 && f.height() == 1024 && f.Red(640, 512) > 0) break;
    SleepMilliseconds(20);
  }
  ASSERT_EQ(f.width(), 1280);
  ASSERT_EQ(f.height(), 1024);
  int wrongBars = 0, darkPicture = 0;
  for (int x = 0; x < 1280; x += 7) {
    for (int y = 0; y < 32; ++y) wrongBars += f.Red(x, y) != 0 || f.Red(x, 1023 - y) != 0;
    for (int y = 33; y < 991; y += 3) darkPicture += f.Red(x, y) < 250;
  }
  EXPECT_EQ(wrongBars, 0);
  EXPECT_EQ(darkPicture, 0);
  EngineSettings[kSettingCopyOnFlush] = 0;

  SetFullScreen_Displays(0);
  ExpectAt(SettledGeometry(640, 480), 320, 272, 640, 480);
  EXPECT_FALSE(PlatformFullScreen());
  FlushToScreen(nullptr);
  EXPECT_EQ(ViewportSide(2), 640);
  EXPECT_EQ(ViewportSide(3), 480);
  EXPECT_EQ(FullScreenFlag, 0);
}

TEST_F(SdlWindowTest, TheLargerWindowIsCentredWithoutBars) {
  StartDisplaySystem();
  ASSERT_NE(gMainWindow, nullptr);
  SetWindowContentSize(1024, 768);
  ExpectAt(SettledGeometry(1024, 768), 128, 128, 1024, 768);
  BeginFrameGL(buildWORLD);
  const GLFrameGeometry g = GetGLFrameGeometry();
  EXPECT_EQ(ViewportSide(2), 1024);
  EXPECT_EQ(ViewportSide(3), 768);
  EndFrameGL();
  EXPECT_FLOAT_EQ(g.scale, 1.6f);
  EXPECT_FLOAT_EQ(g.offsetH, 0.0f);
  EXPECT_FLOAT_EQ(g.offsetV, 0.0f);
  EXPECT_EQ(ScreenRect.right, 640);
  EXPECT_EQ(ScreenRect.bottom, 480);
}

// The window manager's zoom ('wind' 76) switches through the handler the
// display start-up installed; a switch to the current state changes nothing.
TEST_F(SdlWindowTest, ZoomEventsSwitchTheRealWindow) {
  StartDisplaySystem();
  ASSERT_NE(gMainWindow, nullptr);
  auto zoom = [](bool withParameter, SInt16 value) {
    EventRef event = nullptr;
    MacCreateEvent(nullptr, kEventClassWindow, kEventWindowZoom, 0, 0, &event);
    if (withParameter) SetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), 2, &value);
    SendEventToWindow(event, gMainWindow);
    ReleaseEvent(event);
  };
  zoom(true, 8);
  EXPECT_EQ(FullScreenFlag, 1);
  ExpectAt(SettledGeometry(1280, 1024), 0, 0, 1280, 1024);
  zoom(true, 7);
  EXPECT_EQ(FullScreenFlag, 0);
  ExpectAt(SettledGeometry(640, 480), 320, 272, 640, 480);
  // The shell's event record holds one parameter word: an event made without
  // 'wpar' reads it as 0, which is the windowed state already held.
  FullScreenStateKnown = 0;
  zoom(false, 0);
  EXPECT_EQ(FullScreenFlag, 0);
  EXPECT_EQ(FullScreenStateKnown, 1);
  ExpectAt(SettledGeometry(640, 480), 320, 272, 640, 480);
}

}  // namespace
