#include <thread>
#include <vector>

#include "ShellTestSupport.h"
#include "TimerTasks.h"

namespace {

struct Runs {
  int count = 0;
  int nested = 0;  // runs that began while another was running
  bool inside = false;
  std::thread::id thread;
  bool otherThread = false;
  std::vector<uint32_t> times;
};

Runs gRuns;
bool gInDispatchPoint = false;
int gOutsideDispatch = 0;

SInt32 CountRun(TimerTask*) {
  if (gRuns.inside) ++gRuns.nested;
  gRuns.inside = true;
  ++gRuns.count;
  if (std::this_thread::get_id() != gRuns.thread) gRuns.otherThread = true;
  if (!gInDispatchPoint) ++gOutsideDispatch;
  gRuns.times.push_back(MonotonicMilliseconds());
  // A nested pump must not run a timer again.
  PollSystemEvents();
  gRuns.inside = false;
  return 0;
}

class TimerTasksTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    gRuns = Runs{};
    gRuns.thread = std::this_thread::get_id();
    gOutsideDispatch = 0;
  }
  void PollFor(int ms) {
    for (int i = 0; i < ms; ++i) {
      clock.AdvanceMilliseconds(1);
      gInDispatchPoint = true;
      PollEvents(0xFFFF, nullptr);
      gInDispatchPoint = false;
    }
  }
};

TEST_F(TimerTasksTest, ThirtyMillisecondTaskRuns33TimesInASecondOfPolls) {
  TimerTask task{};
  EXPECT_EQ(StartTimerTask(&task, CountRun, 30, 7), 1);
  EXPECT_NE(task.timerId, 0u);
  EXPECT_EQ(GetTimerTaskInterval(&task), 30u);
  EXPECT_EQ(GetTimerTaskUserValue(&task), 7u);
  PollFor(1000);
  EXPECT_EQ(gRuns.count, 33);
  EXPECT_EQ(gRuns.nested, 0);
  EXPECT_FALSE(gRuns.otherThread);
  EXPECT_EQ(gOutsideDispatch, 0);
  // Only the event calls run timers: a clock that moves alone runs nothing.
  clock.AdvanceMilliseconds(500);
  EXPECT_EQ(gRuns.count, 33);
  StopTimerTask(&task);
}

TEST_F(TimerTasksTest, ALateTimerRunsOnce) {
  TimerTask task{};
  StartTimerTask(&task, CountRun, 30, 0);
  clock.AdvanceMilliseconds(100);
  PollEvents(0xFFFF, nullptr);
  EXPECT_EQ(gRuns.count, 1);
  StopTimerTask(&task);
}

TEST_F(TimerTasksTest, ReinstallingReplacesTheTimer) {
  TimerTask task{};
  StartTimerTask(&task, CountRun, 30, 0);
  const UInt32 oldId = task.timerId;
  InstallTimerTask(&task, CountRun, 30, 0);
  EXPECT_NE(task.timerId, oldId);
  EXPECT_EQ(backend.TimerCount(), 1u);
  TimerTaskProc(oldId, nullptr);  // a stale message for the old id
  EXPECT_EQ(gRuns.count, 0);
  PollFor(1000);
  EXPECT_EQ(gRuns.count, 33);
  StopTimerTask(&task);
  EXPECT_EQ(task.timerId, 0u);
  EXPECT_EQ(GetTimerTaskCallback(&task), nullptr);
  EXPECT_EQ(backend.TimerCount(), 0u);
}

TEST_F(TimerTasksTest, StartingARunningTaskAgainLeavesOneTimer) {
  TimerTask task{};
  StartTimerTask(&task, CountRun, 30, 0);
  StartTimerTask(&task, CountRun, 30, 0);
  EXPECT_EQ(backend.TimerCount(), 1u);
  PollFor(1000);
  EXPECT_EQ(gRuns.count, 33);
  StopTimerTask(&task);
}

TEST_F(TimerTasksTest, NullCallbackNeverRuns) {
  TimerTask task{};
  StartTimerTask(&task, nullptr, 30, 0);
  EXPECT_EQ(task.timerId, 0u);
  EXPECT_EQ(backend.TimerCount(), 0u);
  PollFor(100);
  EXPECT_EQ(gRuns.count, 0);
}

}  // namespace
