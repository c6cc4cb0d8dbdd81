#include <gtest/gtest.h>

#include "DisplayServices.h"
#include "GLImage.h"
#include "GLTestSupport.h"
#include "GraphicsStartup.h"
#include "WindowPoints.h"

namespace {

// The context always belongs to the main window, whichever window is in front.
TEST_F(GLTest, ContextFollowsTheMainWindowNotTheFocus) {
  OpenWindow(640, 480);
  WindowRef other = nullptr;
  const Rect content = {0, 0, 100, 100};
  ASSERT_EQ(CreateWindowRef(0, 0, &content, &other), 0);
  ShowWindowRef(other);
  backend_.SetFocus(WindowId(other));
  ASSERT_EQ(GetFrontWindow(), other);

  ASSERT_EQ(SetCurrentGLContext(CurrentGLRecord()->context), 1);
  EXPECT_EQ(CurrentGLContextHandle(), CurrentGLRecord()->context);
  std::vector<UInt32> white(16, 0xFFFFFFFFu);
  GLImage image;
  const Rect r = {0, 0, 4, 4};
  MakeGLImage(&image, white.data(), 16, 32, &r);
  BeginFrameGL(screen_);
  const Rect all = {0, 0, 480, 640};
  DrawGLImage(&image, &all);
  FrameImage f = EndAndCapture();
  EXPECT_EQ(f.width(), 640);  // the main window's frame
  EXPECT_EQ(f.Red(320, 240), 255);
  DeleteGLImageTexture(&image);
  DisposeWindowRef(other);
}

TEST_F(GLTest, NoMainWindowMeansNoContext) {
  ASSERT_TRUE(backend_.InitVideo());
  EXPECT_EQ(CreateGLContext(nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateGLContextForPort(nullptr), nullptr);
  DestroyGLContext(nullptr);
}

TEST_F(GLTest, PointsMoveByTheMainWindowsPosition) {
  ASSERT_TRUE(backend_.InitVideo());
  Point p = {5, 7};
  WindowToScreenPoint(&p);  // no main window: unchanged
  EXPECT_EQ(p.h, 7);
  const Rect content = {100, 200, 580, 840};
  ASSERT_EQ(CreateWindowRef(0, 0, &content, &window_), 0);
  gMainWindow = window_;
  WindowToScreenPoint(&p);
  EXPECT_EQ(p.v, 105);
  EXPECT_EQ(p.h, 207);
  ScreenToWindowPoint(&p);
  EXPECT_EQ(p.v, 5);
  EXPECT_EQ(p.h, 7);
}

TEST(GraphicsServices, WindowManagerWorldIsOneByOneAt32Bits) {
  RegisterDisplayServices(nullptr);
  InstallGraphicsDisplayServices();
  ASSERT_NE(GetDisplayServices().newWindowManagerWorld, nullptr);
  GWorldPtr world = GetDisplayServices().newWindowManagerWorld();
  ASSERT_NE(world, nullptr);
  const PixMap* p = *PixMapOfPort(world);
  EXPECT_EQ(p->pixelDepth, 32);
  EXPECT_EQ(p->bounds.bottom, 1);
  EXPECT_EQ(p->bounds.right, 1);
  GWorldPtr saved = nullptr;
  GetCurrentPort(&saved, nullptr);
  GetDisplayServices().setCurrentWorld(world);
  GWorldPtr now = nullptr;
  GetCurrentPort(&now, nullptr);
  EXPECT_EQ(now, world);
  SetCurrentPort(saved);

  // Origin of a port whose bounds do not start at (0, 0).
  DestroyGWorld(world);
  RegisterDisplayServices(nullptr);
}

TEST(GraphicsServices, WindowPixelOriginOfNoWindow) { EXPECT_EQ(WindowPixelOrigin(nullptr), nullptr); }

}  // namespace
