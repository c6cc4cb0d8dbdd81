#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Clocks.h"
#include "DisplayFlush.h"
#include "DisplayHooks.h"
#include "GLImage.h"
#include "Events.h"
#include "GLTestSupport.h"

namespace {

// A white image of 16 x 16 texels drawn texel for texel.
class LetterboxTest : public GLTest {
 protected:
  void MakeWhite() {
    std::vector<UInt32> white(16 * 16, 0xFFFFFFFFu);
    const Rect r = {0, 0, 16, 16};
    MakeGLImage(&image_, white.data(), 16 * 4, 32, &r);
    image_.filter = kGLNearest;
  }
  void TearDown() override {
    DeleteGLImageTexture(&image_);
    GLTest::TearDown();
  }
  FrameImage DrawFullScreen() {
    BeginFrameGL(screen_);
    const Rect all = {0, 0, 480, 640};
    DrawGLImage(&image_, &all);
    return ReadBack();
  }
  GLImage image_;
};

TEST_F(LetterboxTest, SameSizeWindowIsWhiteEverywhere) {
  OpenWindow(640, 480);
  MakeWhite();
  FrameImage f = DrawFullScreen();
  for (auto [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {639, 0}, {0, 479}, {639, 479}, {320, 240}})
    EXPECT_EQ(f.Red(x, y), 255) << x << "," << y;
  const GLFrameGeometry g = GetGLFrameGeometry();
  EXPECT_FLOAT_EQ(g.scale, 1.0f);
  EXPECT_FLOAT_EQ(g.offsetH, 0.0f);
  EXPECT_FLOAT_EQ(g.offsetV, 0.0f);
}

TEST_F(LetterboxTest, TallWindowGetsBarsAboveAndBelow) {
  OpenWindow(1280, 1024);
  MakeWhite();
  FrameImage f = DrawFullScreen();
  const GLFrameGeometry g = GetGLFrameGeometry();
  EXPECT_FLOAT_EQ(g.scale, 2.0f);
  EXPECT_FLOAT_EQ(g.offsetH, 0.0f);
  EXPECT_FLOAT_EQ(g.offsetV, 32.0f);
  for (int x : {0, 640, 1279}) {
    EXPECT_EQ(f.Red(x, 31), 0) << x;
    EXPECT_EQ(f.Red(x, 32), 255) << x;
    EXPECT_EQ(f.Red(x, 991), 255) << x;
    EXPECT_EQ(f.Red(x, 992), 0) << x;
  }
}

TEST_F(LetterboxTest, WideWindowGetsBarsLeftAndRight) {
  OpenWindow(800, 480);
  MakeWhite();
  FrameImage f = DrawFullScreen();
  for (int y : {0, 240, 479}) {
    EXPECT_EQ(f.Red(79, y), 0) << y;
    EXPECT_EQ(f.Red(80, y), 255) << y;
    EXPECT_EQ(f.Red(719, y), 255) << y;
    EXPECT_EQ(f.Red(720, y), 0) << y;
  }
}

TEST_F(LetterboxTest, ScaledWindowHasNoBarsAndScalesSquares) {
  OpenWindow(1024, 768);
  MakeWhite();
  FrameImage full = DrawFullScreen();
  EXPECT_EQ(full.Red(0, 0), 255);
  EXPECT_EQ(full.Red(1023, 767), 255);

  BeginFrameGL(screen_);
  const Rect square = {100, 100, 110, 110};
  DrawGLImage(&image_, &square);
  FrameImage f = ReadBack();
  int columns = 0;
  int rows = 0;
  for (int x = 0; x < 1024; ++x) columns += f.Red(x, 168) == 255;
  for (int y = 0; y < 768; ++y) rows += f.Red(168, y) == 255;
  EXPECT_EQ(columns, 16);
  EXPECT_EQ(rows, 16);
  EXPECT_EQ(f.Red(160, 160), 255);  // 100 x 1.6
  EXPECT_EQ(f.Red(159, 160), 0);
}

TEST_F(LetterboxTest, ScissorClipsInWindowPixels) {
  OpenWindow(1280, 1024);
  MakeWhite();
  BeginFrameGL(screen_);
  const Rect clip = {10, 20, 30, 60};
  SetScissorRect(&clip);
  const Rect all = {0, 0, 480, 640};
  DrawGLImage(&image_, &all);
  FrameImage f = ReadBack();
  EXPECT_EQ(f.Red(39, 70), 0);
  EXPECT_EQ(f.Red(40, 70), 255);
  EXPECT_EQ(f.Red(119, 70), 255);
  EXPECT_EQ(f.Red(120, 70), 0);
  EXPECT_EQ(f.Red(80, 51), 0);
  EXPECT_EQ(f.Red(80, 52), 255);
  EXPECT_EQ(f.Red(80, 91), 255);
  EXPECT_EQ(f.Red(80, 92), 0);
  int lit = 0;
  for (int y = 0; y < 1024; y += 1)
    for (int x = 0; x < 1280; x += 1) lit += f.Red(x, y) != 0;
  EXPECT_EQ(lit, 80 * 40);
}

TEST_F(LetterboxTest, FadeOverlayDarkensTheFinishedFrame) {
  OpenWindow(640, 480);
  MakeWhite();
  struct Case {
    UInt16 level;
    int want;
  } cases[] = {{0, 255}, {128, 127}, {255, 0}};
  for (const Case& c : cases) {
    BeginFrameGL(screen_);
    const Rect all = {0, 0, 480, 640};
    DrawGLImage(&image_, &all);
    FadeOverlay.level = c.level;
    FrameImage f = EndAndCapture();
    EXPECT_NEAR(f.Red(320, 240), c.want, 1) << c.level;
    EXPECT_NEAR(f.At(0, 0).b, c.want, 1) << c.level;
  }
  SetFadeClear();
}

TEST_F(LetterboxTest, BuildGivesSixtyFourNamesAndFollowsResizes) {
  OpenWindow(640, 480);
  GLWindowRecord* record = reinterpret_cast<GLWindowRecord*>(GetWindowReference(window_));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(CurrentGLRecord(), record);
  std::vector<UInt32> names(record->textureNames, record->textureNames + kGLWindowTextureCount);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
  EXPECT_NE(names.front(), 0u);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 480);

  GLContextRef context = record->context;
  SizeWindowRef(window_, 1024, 768);
  ASSERT_EQ(BuildGLForWindow(window_), 1);
  EXPECT_EQ(reinterpret_cast<GLWindowRecord*>(GetWindowReference(window_)), record);
  EXPECT_EQ(record->context, context);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 1024);
  EXPECT_EQ(viewport[3], 768);
}

TEST_F(LetterboxTest, DisposeClearsTheWindowsRecord) {
  OpenWindow(640, 480);
  DisposeGLForWindow(window_);
  EXPECT_EQ(GetWindowReference(window_), 0u);
  DisposeGLForWindow(window_);  // nothing left to dispose
}

// Calls with nothing to act on do nothing: an integer other than the swap
// interval, or none at all, is refused rather than read; no current context
// means no swap; a null format is not freed.
TEST(GLContextLayer, CallsWithNothingToActOnDoNothing) {
  const SInt32 one = 1;
  EXPECT_EQ(SetGLContextInteger(nullptr, kGLSwapIntervalParameter - 1, &one), 0);
  EXPECT_EQ(SetGLContextInteger(nullptr, kGLSwapIntervalParameter, nullptr), 0);
  SwapGLBuffers(nullptr);
  DisposeGLPixelFormat(nullptr);
  GLPixelFormatRef format = ChooseGLPixelFormat(nullptr, 0, nullptr);
  ASSERT_NE(format, nullptr);
  DisposeGLPixelFormat(format);  // a leak here shows at exit
}

TEST(Fade, StepsAndBrightness) {
  FadeOverlay.level = 4;
  FadeInStep(10);
  EXPECT_EQ(FadeOverlay.level, 0);
  FadeOverlay.level = 250;
  FadeOutStep(10);
  EXPECT_EQ(FadeOverlay.level, 255);
  FadeOverlay.level = 100;
  FadeOutStep(5);
  EXPECT_EQ(FadeOverlay.level, 105);
  FadeInStep(2);
  EXPECT_EQ(FadeOverlay.level, 103);
  SetFadeClear();
  EXPECT_EQ(GetFadeBrightness(), 255);
  SetFadeDark();
  EXPECT_EQ(GetFadeBrightness(), 0);
  EXPECT_EQ(ResetFade(), 0);
  EXPECT_EQ(FadeOverlay.level, 0);
}

int gFlushes = 0;
WindowRef gFlushedWindow = nullptr;

class FlushTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetBackend(&backend_);
    saved_ = gDisplayHooks;
    gFlushes = 0;
    gFlushedWindow = nullptr;
  }
  void TearDown() override {
    gDisplayHooks = saved_;
    gMainWindow = nullptr;
    SetFadeClear();
    SetBackend(previous_);
  }
  testsupport::FakeClock clock_;
  ScriptedBackend backend_;

 private:
  Backend* previous_ = nullptr;
  DisplayHookTable saved_;
};

TEST_F(FlushTest, PumpsEventsEvenWithoutAFlush) {
  gDisplayHooks.flushToScreen = nullptr;
  const int before = backend_.pumpCount();
  PollSystemEvents();
  const int perPoll = backend_.pumpCount() - before;
  FlushToScreen(nullptr);
  EXPECT_EQ(backend_.pumpCount() - before, 2 * perPoll);
}

TEST_F(FlushTest, HandsTheMainWindowToTheFlush) {
  gDisplayHooks.flushToScreen = [](WindowRef w) {
    ++gFlushes;
    gFlushedWindow = w;
  };
  gMainWindow = reinterpret_cast<WindowRef>(0x42);
  FlushToScreen(nullptr);
  EXPECT_EQ(gFlushedWindow, gMainWindow);
  FlushToScreen(reinterpret_cast<WindowRef>(0x43));
  EXPECT_EQ(gFlushedWindow, reinterpret_cast<WindowRef>(0x43));
  EXPECT_EQ(gFlushes, 2);
}

TEST_F(FlushTest, FadeInScreenFlushesOncePerTick) {
  gDisplayHooks.flushToScreen = [](WindowRef) { ++gFlushes; };
  clock_.stepPerRead = 1000000;
  SetFadeDark();
  const SInt32 start = GetTicks();
  FadeInScreen(8);
  EXPECT_EQ(gFlushes, 32);
  EXPECT_EQ(FadeOverlay.level, 0);
  EXPECT_GE(GetTicks() - start, 32);

  gFlushes = 0;
  FadeInScreen(8);  // already clear
  EXPECT_EQ(gFlushes, 0);

  FadeOutScreen(51);
  EXPECT_EQ(gFlushes, 5);
  EXPECT_EQ(FadeOverlay.level, 255);
}

}  // namespace
