#include <dirent.h>
#include <gtest/gtest.h>

#include <vector>

#include "ScriptedBackend.h"
#include "Sys.h"
#include "TestSupport.h"

namespace {

struct Runs {
  std::vector<uint32_t> times;
  std::vector<uint32_t> ids;
  Backend* backend = nullptr;
  uint32_t killId = 0;
  bool reenter = false;
};

void Record(uint32_t id, void* context) {
  auto* runs = static_cast<Runs*>(context);
  runs->times.push_back(MonotonicMilliseconds());
  runs->ids.push_back(id);
  if (runs->killId) runs->backend->KillTimer(runs->killId);
  if (runs->reenter) runs->backend->RunDueTimers();
}

// The threads of this process, as the kernel lists them.
int ThreadCount() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') ++count;
    closedir(dir);
  }
  return count;
}

class TimerTest : public ::testing::Test {
 protected:
  testsupport::FakeClock clock;
  ScriptedBackend backend;
};

}  // namespace

TEST_F(TimerTest, ThirtyMillisecondTimerOverOneSecondOfPolls) {
  Runs runs;
  backend.SetTimer(30, Record, &runs);
  for (int ms = 0; ms < 1000; ++ms) {
    clock.AdvanceMilliseconds(1);
    backend.RunDueTimers();
    backend.RunDueTimers();  // a second dispatch point in the same step
  }
  EXPECT_EQ(runs.times.size(), 33u);
  for (size_t i = 1; i < runs.times.size(); ++i) EXPECT_EQ(runs.times[i] - runs.times[i - 1], 30u);
}

TEST_F(TimerTest, LateTimerRunsOnceThenCountsFromItsRun) {
  Runs runs;
  backend.SetTimer(30, Record, &runs);
  clock.AdvanceMilliseconds(100);
  backend.RunDueTimers();
  EXPECT_EQ(runs.times.size(), 1u);
  clock.AdvanceMilliseconds(29);
  backend.RunDueTimers();
  EXPECT_EQ(runs.times.size(), 1u);
  clock.AdvanceMilliseconds(1);
  backend.RunDueTimers();
  EXPECT_EQ(runs.times.size(), 2u);
}

TEST_F(TimerTest, NotDueBeforeItsInterval) {
  Runs runs;
  backend.SetTimer(30, Record, &runs);
  backend.RunDueTimers();
  clock.AdvanceMilliseconds(29);
  backend.RunDueTimers();
  EXPECT_TRUE(runs.times.empty());
}

TEST_F(TimerTest, IdsAreNonZeroAndNeverReused) {
  Runs runs;
  uint32_t a = backend.SetTimer(30, Record, &runs);
  backend.KillTimer(a);
  uint32_t b = backend.SetTimer(30, Record, &runs);
  ScriptedBackend other;
  uint32_t c = other.SetTimer(30, Record, &runs);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_NE(b, c);
  EXPECT_NE(a, c);
  EXPECT_EQ(backend.SetTimer(30, nullptr, nullptr), 0u);
}

TEST_F(TimerTest, KilledTimerNeverFires) {
  Runs runs;
  uint32_t old = backend.SetTimer(30, Record, &runs);
  backend.KillTimer(old);
  uint32_t replacement = backend.SetTimer(30, Record, &runs);
  clock.AdvanceMilliseconds(300);
  backend.RunDueTimers();
  EXPECT_EQ(runs.ids, std::vector<uint32_t>{replacement});
  EXPECT_EQ(backend.TimerCount(), 1u);
}

TEST_F(TimerTest, TimerStoppedByAnEarlierOneInTheSameRunDoesNotRun) {
  Runs first, second;
  backend.SetTimer(10, Record, &first);
  uint32_t victim = backend.SetTimer(10, Record, &second);
  first.backend = &backend;
  first.killId = victim;
  clock.AdvanceMilliseconds(10);
  backend.RunDueTimers();
  EXPECT_EQ(first.times.size(), 1u);
  EXPECT_TRUE(second.times.empty());
}

TEST_F(TimerTest, ReentryFromAProcedureDoesNothing) {
  Runs runs;
  runs.backend = &backend;
  runs.reenter = true;
  backend.SetTimer(0, Record, &runs);
  clock.AdvanceMilliseconds(1);
  backend.RunDueTimers();
  EXPECT_EQ(runs.times.size(), 1u);
}

// A timer is only a record until a dispatch point runs it: setting one starts
// no thread, and no time passing makes it run by itself.
TEST_F(TimerTest, RunsOnTheCallingThreadOnly) {
  const int threadsBefore = ThreadCount();
  ASSERT_GT(threadsBefore, 0);
  Runs runs;
  backend.SetTimer(5, Record, &runs);
  clock.AdvanceMilliseconds(50);
  EXPECT_EQ(ThreadCount(), threadsBefore);
  EXPECT_TRUE(runs.times.empty());
  uint32_t thread = 0;
  auto probe = [](uint32_t, void* context) { *static_cast<uint32_t*>(context) = CurrentThreadId(); };
  backend.SetTimer(5, probe, &thread);
  clock.AdvanceMilliseconds(5);
  backend.RunDueTimers();
  EXPECT_EQ(thread, CurrentThreadId());
  EXPECT_EQ(runs.times.size(), 1u);
}
