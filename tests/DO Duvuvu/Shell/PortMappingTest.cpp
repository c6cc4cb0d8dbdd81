#include "ShellTestSupport.h"

namespace {

using PortMappingTest = ShellTest;

TEST_F(PortMappingTest, LetterboxOfTheLogicalScreen) {
  struct Case {
    Rect content;
    Rect expected;
  } cases[] = {
      {{0, 0, 1024, 1280}, {32, 0, 992, 1280}},
      {{0, 0, 768, 1024}, {0, 0, 768, 1024}},
      {{50, 60, 530, 700}, {0, 0, 480, 640}},
  };
  for (const Case& c : cases) {
    WindowRef window = MakeMainWindow(c.content);
    Rect r;
    GetPortDisplayRect(&r);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.bottom, c.expected.bottom);
    EXPECT_EQ(r.right, c.expected.right);
    DisposeWindowRef(window);
  }
}

TEST_F(PortMappingTest, PointsMapBetweenWindowAndPort) {
  MakeMainWindow(Rect{0, 0, 1024, 1280});
  const Point port = WindowToPortPoint(Point{512, 640});
  EXPECT_EQ(port.v, 240);
  EXPECT_EQ(port.h, 320);
  const Point back = PortToWindowPoint(port);
  EXPECT_EQ(back.v, 512);
  EXPECT_EQ(back.h, 640);
}

TEST_F(PortMappingTest, PortMouseFollowsThePointer) {
  MakeMainWindow(Rect{100, 200, 868, 1224});  // 1024 x 768 at (200, 100)
  backend.SetGlobalMouse(200 + 512, 100 + 384);
  const Point p = GetPortMouse();
  EXPECT_EQ(p.h, 320);
  EXPECT_EQ(p.v, 240);
}

TEST_F(PortMappingTest, NoWindowOrNoLogicalSizeLeavesPointsAlone) {
  Rect r{1, 2, 3, 4};
  GetPortDisplayRect(&r);
  EXPECT_EQ(r.bottom, 0);
  EXPECT_EQ(r.right, 0);
  const Point p = WindowToPortPoint(Point{512, 640});
  EXPECT_EQ(p.v, 512);
  EXPECT_EQ(p.h, 640);
  MakeMainWindow(Rect{0, 0, 1024, 1280});
  gWindowSizes[0] = WindowSizePair{0, 0};
  GetPortDisplayRect(&r);
  EXPECT_EQ(r.right, 0);
  const Point q = PortToWindowPoint(Point{5, 6});
  EXPECT_EQ(q.v, 5);
  EXPECT_EQ(q.h, 6);
}

TEST_F(PortMappingTest, AccumulatedMouseIsKeptOnTheScreen) {
  BeginMouseDeltaTracking();
  UpdateMousePosition();
  gMouseMotion = MotionAccumulator{-50, 5000};
  const Point p = GetAccumulatedMouse();
  EXPECT_EQ(p.v, 0);
  EXPECT_EQ(p.h, 1279);
  gMouseMotion = MotionAccumulator{3000, -3};
  const Point q = GetAccumulatedMouse();
  EXPECT_EQ(q.v, 1023);
  EXPECT_EQ(q.h, 1276);
}

}  // namespace
