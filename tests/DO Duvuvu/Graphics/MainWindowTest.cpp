#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "AppGlobals.h"
#include "Bundle.h"
#include "DisplayFlush.h"
#include "DisplayList.h"
#include "DisplayStartup.h"
#include "EventPoll.h"
#include "GLTestSupport.h"
#include "GWorldPresent.h"
#include "GraphicsStartup.h"
#include "MainPrefs.h"
#include "MainWindow.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "PortsTestSupport.h"
#include "Strings.h"
#include "Sys.h"
#include "SystemUI.h"
#include "TextLayout.h"
#include "WindowRecords.h"

namespace {

using portstest::ExpectFatalBox;

Rect ContentRect() {
  Rect r{};
  GetWindowRegionRect(gMainWindow, kWindowContentRgn, &r);
  return r;
}

void ExpectRect(const Rect& r, int top, int left, int bottom, int right) {
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.bottom, bottom);
  EXPECT_EQ(r.right, right);
}

struct Viewport {
  GLint x, y, width, height;
};
Viewport CurrentViewport() {
  Viewport v{};
  glGetIntegerv(GL_VIEWPORT, &v.x);
  return v;
}

// The display started the way main starts it, on the scripted backend with GL.
class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testsupport::PinGraphicsLibraries(); }

  void SetUp() override {
    previous_ = SetBackend(&backend_);
    ASSERT_TRUE(backend_.InitVideo());
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
    gMainPrefs.graphicsMode = 0;
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
    for (auto* slot : {&gDisplayHooks.releasePixMap}) *slot = nullptr;
    gDisplayHooks.createPixMap = nullptr;
    gDisplayHooks.findPixMapGWorld = nullptr;
    gDisplayHooks.findPixMapAlpha = nullptr;
    gDisplayHooks.setPortToPixMap = nullptr;
    gDisplayHooks.makeWindowWorld = nullptr;
    ResetPixMapHooks();
    SetFadeClear();
    SetBackend(previous_);
  }

  void Start() {
    StartDisplaySystem();
    ASSERT_NE(gMainWindow, nullptr);
    ASSERT_NE(buildWORLD, nullptr);
  }

  // Presents one flush and gives what the window showed.
  FrameImage FlushAndCapture() {
    struct Capture {
      FrameImage image;
      int frames = 0;
    } capture;
    SetBeforeSwapHook(
        [](void* c) {
          auto* cap = static_cast<Capture*>(c);
          const Rect r = ContentRect();
          cap->image = FrameImage(r.right - r.left, r.bottom - r.top);
          glReadBuffer(GL_BACK);
          glPixelStorei(GL_PACK_ALIGNMENT, 1);
          glReadPixels(0, 0, cap->image.width(), cap->image.height(), GL_RGBA, GL_UNSIGNED_BYTE, cap->image.data());
          ++cap->frames;
        },
        &capture);
    FlushToScreen(nullptr);
    SetBeforeSwapHook(nullptr, nullptr);
    EXPECT_EQ(capture.frames, 1);
    return capture.image;
  }

  // The first frames after a resize may still have the old size: flush until
  // the (non-black) picture shows at the window's centre.
  void SettleAfterResize() {
    for (int i = 0; i < 20; ++i) {
      FrameImage f = FlushAndCapture();
      if (f.width() > 0 && f.Red(f.width() / 2, f.height() / 2) > 0) return;
      SleepMilliseconds(10);
    }
  }

  void FillBuildWorld(const ColorRGB& color) {
    PushPort();
    SetCurrentPort(buildWORLD);
    const ColorRGB saved = buildWORLD->foreColor;
    buildWORLD->foreColor = color;
    FillRectForeColor(&ScreenRect);
    buildWORLD->foreColor = saved;
    PopPort();
  }

  ScriptedBackend backend_{ScriptedBackend::Options{true}};

 private:
  Backend* previous_ = nullptr;
};

TEST_F(MainWindowTest, StartUpMakesTheCentredWindowAndTheBuildWorld) {
  Start();
  ExpectRect(ContentRect(), 272, 320, 752, 960);
  EXPECT_EQ(backend_.WindowTitle(WindowId(gMainWindow)), "Kestrova");
  const Viewport v = CurrentViewport();
  EXPECT_EQ(v.width, 640);
  EXPECT_EQ(v.height, 480);
  const PixMap* p = *buildPMAP;
  EXPECT_EQ(p->pixelDepth, 16);
  EXPECT_EQ(p->bounds.right, 640);
  EXPECT_EQ(p->bounds.bottom, 480);
  for (int y = 0; y < 480; y += 7)
    for (int x = 0; x < 640; x += 5) ASSERT_EQ(portstest::Pixel16(buildWORLD, x, y), 0);
  EXPECT_EQ(DisplaysReady(), 1);
  EXPECT_EQ(IsFullScreen_Displays(), 0u);
  EXPECT_EQ(IsFullScreen(), 0);
  EXPECT_EQ(DisplayList->count, 0u);
  EXPECT_EQ(BuildDisplayList(DisplayList), 2);
}

TEST_F(MainWindowTest, WindowModesSwitchTheOneWindow) {
  Start();
  SetFullScreen_Displays(1);
  ExpectRect(ContentRect(), 0, 0, 1024, 1280);
  EXPECT_EQ(IsFullScreen_Displays(), 1u);
  EXPECT_EQ(gMainPrefs.fullScreen, 1);
  EXPECT_FALSE(IsTaskbarVisible());

  SetFullScreen_Displays(0);
  PollSystemEvents();
  ExpectRect(ContentRect(), 272, 320, 752, 960);
  EXPECT_TRUE(IsTaskbarVisible());

  SetWindowContentSize(1024, 768);
  ExpectRect(ContentRect(), 128, 128, 896, 1152);
  BeginFrameGL(buildWORLD);
  const GLFrameGeometry g = GetGLFrameGeometry();
  EndFrameGL();
  EXPECT_FLOAT_EQ(g.scale, 1.6f);
  EXPECT_FLOAT_EQ(g.offsetH, 0.0f);
  EXPECT_FLOAT_EQ(g.offsetV, 0.0f);
  EXPECT_EQ(ScreenRect.right, 640);
  EXPECT_EQ(ScreenRect.bottom, 480);

  // A white logical frame in a taller window sits between black bars. (The
  // scripted backend keeps its GL window's size through a full-screen switch,
  // so the letterbox is read in a window of 1280 x 1020: scale 2, bars of 30.)
  SetWindowContentSize(1280, 1020);
  EXPECT_EQ(CurrentViewport().width, 1280);
  EXPECT_EQ(CurrentViewport().height, 1020);
  EngineSettings[kSettingCopyOnFlush] = 1;
  FillBuildWorld(ColorRGB{65535, 65535, 65535});
  SettleAfterResize();
  FrameImage f = FlushAndCapture();
  EXPECT_EQ(f.Red(640, 0), 0);
  EXPECT_EQ(f.Red(640, 29), 0);
  EXPECT_GE(f.Red(640, 31), 250);
  EXPECT_GE(f.Red(640, 988), 250);
  EXPECT_EQ(f.Red(640, 990), 0);
  EXPECT_EQ(f.Red(640, 1019), 0);
  EngineSettings[kSettingCopyOnFlush] = 0;
  SetWindowContentSize(640, 480);

  // 255 re-applies the stored preference.
  gMainPrefs.fullScreen = 1;
  SetFullScreen_Displays(255);
  EXPECT_EQ(FullScreenFlag, 1);
  ExpectRect(ContentRect(), 0, 0, 1024, 1280);
  // The same state again only marks the state known.
  FullScreenStateKnown = 0;
  const size_t logged = backend_.log().size();
  SetFullScreen_Displays(1);
  EXPECT_EQ(FullScreenStateKnown, 1);
  EXPECT_EQ(backend_.log().size(), logged);
}

TEST_F(MainWindowTest, ZoomEventsSwitchModes) {
  Start();
  for (SInt16 value : {8, 7}) {
    EventRef event = nullptr;
    MacCreateEvent(nullptr, kEventClassWindow, kEventWindowZoom, 0, 0, &event);
    SetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), 2, &value);
    SendEventToWindow(event, gMainWindow);
    ReleaseEvent(event);
    EXPECT_EQ(FullScreenFlag, value == 8 ? 1 : 0);
  }
  ExpectRect(ContentRect(), 272, 320, 752, 960);
}

TEST_F(MainWindowTest, FadesFlushBlackFrames) {
  Start();
  struct Count {
    int frames = 0;
    int blackFrames = 0;
  } count;
  SetBeforeSwapHook(
      [](void* c) {
        auto* n = static_cast<Count*>(c);
        ++n->frames;
        unsigned char pixel[4] = {1, 1, 1, 1};
        unsigned char corner[4] = {1, 1, 1, 1};
        glReadBuffer(GL_BACK);
        glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner);
        if (pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0 && corner[0] == 0) ++n->blackFrames;
      },
      &count);
  SetFadeDark();
  FadeInScreen(8);
  SetBeforeSwapHook(nullptr, nullptr);
  EXPECT_EQ(count.frames, 32);
  EXPECT_EQ(count.blackFrames, 32);

  // With the build world copied in, half the fade shows half the white.
  EngineSettings[kSettingCopyOnFlush] = 1;
  FillBuildWorld(ColorRGB{65535, 65535, 65535});
  FadeOverlay.level = 128;
  FrameImage f = FlushAndCapture();
  EXPECT_NEAR(f.Red(320, 240), 127, 1);
  EXPECT_NEAR(f.Red(100, 400), 127, 1);
}

TEST_F(MainWindowTest, FlushesThatPresentNothing) {
  Start();
  int frames = 0;
  SetBeforeSwapHook([](void* c) { ++*static_cast<int*>(c); }, &frames);
  ClearDisplaysReady();
  FlushToScreen(nullptr);
  EXPECT_EQ(frames, 0);
  SetDisplaysReady();
  FlushHoldFlag = 1;
  FlushToScreen(nullptr);
  FlushHoldFlag = 0;
  EXPECT_EQ(frames, 0);
  FlushToScreen(nullptr);
  EXPECT_EQ(frames, 1);
  SetBeforeSwapHook(nullptr, nullptr);
}

// Fatal ends without GL in the parent: a forked child must not share a
// window's connection.
TEST(MainWindowFatal, FlushWithoutBuildWorldAndBlackenWithoutCover) {
  ExpectFatalBox(
      [] {
        SetDisplaysReady();
        buildWORLD = nullptr;
        FlushToScreen_Displays(nullptr);
      },
      "FlushToScreen_Displays()", "Error: buildWORLD is nil.");
  ExpectFatalBox([] { BlackenScreen(); }, "BlackenScreen()", "Error: Black window is not initialized!");
  ExpectFatalBox([] { UnBlackenScreen(); }, "UnBlackenScreen()", "Error: Black window is not initialized!");
}

TEST_F(MainWindowTest, GWorldsArePresentedPixelExactAtScaleOne) {
  Start();
  EngineSettings[kSettingCopyOnFlush] = 1;
  const PixMap* p = *buildPMAP;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      auto* row = reinterpret_cast<UInt16*>(p->baseAddr + y * (p->rowBytes & 0x7FFF));
      row[x] = static_cast<UInt16>((x % 32) << 10 | (y % 32) << 5 | ((x + y) % 32));
    }
  for (UInt8 mode : {1, 0}) {
    gMainPrefs.graphicsMode = mode;
    FrameImage f = FlushAndCapture();
    int bad = 0;
    for (int y = 0; y < 480; y += 3)
      for (int x = 0; x < 640; x += 3) {
        const RGBA c = f.At(x, y);
        auto expand = [](int v) { return (v << 3) | (v >> 2); };
        if (std::abs(c.r - expand(x % 32)) > 1 || std::abs(c.g - expand(y % 32)) > 1 ||
            std::abs(c.b - expand((x + y) % 32)) > 1) {
          if (bad < 5) ADD_FAILURE() << x << "," << y << " got " << c.r << " " << c.g << " " << c.b;
          ++bad;
        }
      }
    EXPECT_EQ(bad, 0) << "graphics mode " << int(mode);
  }
}

TEST_F(MainWindowTest, GWorldsScaleSmoothlyAcrossTileSeams) {
  Start();
  SetWindowContentSize(1280, 960);
  EngineSettings[kSettingCopyOnFlush] = 1;
  FillBuildWorld(ColorRGB{65535, 65535, 65535});
  SettleAfterResize();
  for (UInt8 mode : {1, 0}) {
    gMainPrefs.graphicsMode = mode;
    FrameImage white = FlushAndCapture();
    int dark = 0;
    for (int y = 1; y < 959; ++y)
      for (int x = 1; x < 1279; ++x) dark += white.Red(x, y) < 250;
    EXPECT_EQ(dark, 0) << "graphics mode " << int(mode) << " vp " << CurrentViewport().width << "x"
                       << CurrentViewport().height << " img " << white.width() << "x" << white.height() << " px "
                       << white.Red(10, 10) << "," << white.Red(640, 480) << "," << white.Red(1200, 900) << ","
                       << white.Red(300, 100);
  }

  gMainPrefs.graphicsMode = 1;
  const PixMap* p = *buildPMAP;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      reinterpret_cast<UInt16*>(p->baseAddr + y * (p->rowBytes & 0x7FFF))[x] = static_cast<UInt16>((x % 32) << 10);
  FrameImage f = FlushAndCapture();
  auto expand = [](int v) { return (v << 3) | (v >> 2); };
  int outside = 0;
  for (int y = 0; y < 960; y += 5)
    for (int x = 0; x + 1 < 640; ++x) {
      if (x % 32 == 31) continue;  // the wrap from 31 back to 0
      const int lo = expand(x % 32) - 1;
      const int hi = expand(x % 32 + 1) + 1;
      const int got = f.Red(2 * x + 1, y);
      if ((got < lo || got > hi) && outside < 5) ADD_FAILURE() << x << "," << y << " got " << got;
      outside += got < lo || got > hi;
    }
  EXPECT_EQ(outside, 0);
}

TEST(GWorldTiles, LayoutOfA640By480World) {
  const GWorldTiling t = TileGWorld(640, 480);
  EXPECT_EQ(t.tileWidth, 256);
  EXPECT_EQ(t.tileHeight, 256);
  EXPECT_EQ(t.columns, 3);
  EXPECT_EQ(t.rows, 2);
  EXPECT_EQ(t.lastX, 508);
  EXPECT_EQ(t.lastY, 254);
}

TEST_F(MainWindowTest, ClippedUploadsSkipTheCutPixels) {
  Start();
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
  const UInt32 source[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  UploadTexSubImageClipped(GL_TEXTURE_2D, 0, -3, 0, 8, 1, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, source);
  UInt32 back[4] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, back);
  EXPECT_EQ(back[0], 4u);
  EXPECT_EQ(back[3], 7u);
  glDeleteTextures(1, &name);
}

std::vector<Point> gWarps;
void RecordWarp(double x, double y) { gWarps.push_back(Point{static_cast<SInt16>(y), static_cast<SInt16>(x)}); }

std::vector<SInt32> gAssociations;
SInt32 RecordAssociation(SInt32 connected) {
  gAssociations.push_back(connected);
  SetPointerAssociated(connected != 0);
  return 0;
}

TEST_F(MainWindowTest, MenuModeGivesTheMouseBack) {
  Start();
  gSystemUI.bound = 1;
  gSystemUI.warpMouseCursorPosition = RecordWarp;
  gSystemUI.associateMouseAndMouseCursorPosition = RecordAssociation;
  gMenuModeFlag = 0;  // the play state
  gWarps.clear();
  gAssociations.clear();
  SetPointerAssociated(false);
  EnterMenuMode_Displays();
  EXPECT_EQ(gMenuModeFlag, 1);
  EXPECT_EQ(gAssociations, std::vector<SInt32>{1});
  EXPECT_TRUE(IsPointerAssociated());
  ASSERT_EQ(gWarps.size(), 1u);
  EXPECT_EQ(gWarps[0].h, GetRememberedCursorPoint().h);
  EXPECT_EQ(gWarps[0].v, GetRememberedCursorPoint().v);
  // In menu mode nothing happens.
  EnterMenuMode_Displays();
  EXPECT_EQ(gWarps.size(), 1u);
  EXPECT_EQ(gAssociations.size(), 1u);

  DisableAllMenus();
  EXPECT_EQ(MenusEnabled(), 0);
  RestoreAllMenus();
  EXPECT_EQ(MenusEnabled(), 1);
}

// Run on its own by ShutDownEndsCleanly: the end of the process is the test.
TEST_F(MainWindowTest, DISABLED_ShutDownBody) {
  Start();
  for (int i = 0; i < 3; ++i) FlushToScreen(nullptr);
  if (glGetError() != GL_NO_ERROR) std::exit(20);
  CloseDisplays();
  if (gMainWindow) std::exit(21);
  ShutdownApplication(0);
  std::exit(22);
}

// A fresh process of this binary: a forked child would share the parent's
// X connection, which its exit would break.
TEST(MainWindowShutdown, ShutDownEndsCleanly) {
  const std::string command = "'" + ExecutablePath() +
                              "' --gtest_also_run_disabled_tests --gtest_filter=MainWindowTest.DISABLED_ShutDownBody"
                              " > /dev/null 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
