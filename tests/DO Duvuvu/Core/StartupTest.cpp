#include <gtest/gtest.h>

#include <string>

#include "DisplayHooks.h"
#include "Geometry.h"
#include "Startup.h"
#include "TestSupport.h"

namespace {
std::string gLog;
}

TEST(Startup, RunsInOrderAndShutsDownInReverseOnce) {
  ResetStartupListForTesting();
  gLog.clear();
  AddStartupEntry({"a", [] { gLog += "A"; }, [] { gLog += "a"; }});
  AddStartupEntry({"b", [] { gLog += "B"; }, nullptr});
  AddStartupEntry({"c", nullptr, [] { gLog += "c"; }});
  // The observer hears each entry after its init, those without one too.
  SetStartupObserver([](const char* name) { gLog += std::string("<") + name + ">"; });
  RunStartup();
  RunStartup();
  SetStartupObserver(nullptr);
  RunShutdown();
  RunShutdown();
  EXPECT_EQ(gLog, "A<a>B<b><c>ca");
  ResetStartupListForTesting();
}

TEST(Startup, ShutdownRunsAtExit) {
  auto r = testsupport::RunInChild([] {
    ResetStartupListForTesting();
    AddStartupEntry({"x", [] { std::fputs("up ", stderr); }, [] { std::fputs("down\n", stderr); }});
    RunStartup();
    std::exit(0);
  });
  EXPECT_EQ(r.stderrText, "up down\n");
}

TEST(DisplayHooks, MenuModeCallsForwardOrAnswerFixedValues) {
  DisplayHookTable saved = gDisplayHooks;
  gDisplayHooks = {};
  EnterMenuMode();
  LeaveMenuMode();
  EXPECT_EQ(InMenuMode(), 0);

  static int mode;
  mode = 1;
  gDisplayHooks.enterMenuMode = [] { mode = 1; };
  gDisplayHooks.leaveMenuMode = [] { mode = 0; };
  gDisplayHooks.inMenuMode = [] { return static_cast<SInt32>(mode); };
  LeaveMenuMode();
  EXPECT_EQ(InMenuMode(), 0);
  EnterMenuMode();
  EXPECT_EQ(InMenuMode(), 1);
  gDisplayHooks = saved;
}

TEST(Geometry, RectIsEmpty) {
  struct Row {
    Rect r;
    UInt8 empty;
  } rows[] = {
      {{0, 0, 10, 10}, 0}, {{0, 0, 0, 10}, 1}, {{0, 0, 10, 0}, 1}, {{5, 5, 4, 6}, 1}, {{-5, -5, -4, -4}, 0},
  };
  for (const auto& row : rows) EXPECT_EQ(RectIsEmpty(&row.r), row.empty);
}

TEST(Geometry, AngleBetweenPointsOnScreenAxes) {
  struct Row {
    SInt16 hb, vb, angle;
  } rows[] = {{20, 10, 0}, {0, 10, 180}, {10, 20, 90}, {10, 0, 270}, {10, 10, 0},
              // Off the axes the slope routine answers 0: below is 0, above 180.
              {20, 20, 0}, {0, 0, 180}};
  for (const auto& row : rows) EXPECT_EQ(AngleBetweenPoints(10, 10, row.hb, row.vb), row.angle) << row.hb << "," << row.vb;
  EXPECT_EQ(AngleBetweenPointsP(Point{10, 10}, Point{20, 10}), 90);
}
