#include "Threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct TaskRecord {
  std::atomic<UInt32> seenThreadID{0};
  std::atomic<bool> done{false};
  int argumentMark = 0;
};

UInt32 RecordThread(void* argument) {
  auto* record = static_cast<TaskRecord*>(argument);
  record->argumentMark = 42;
  record->seenThreadID = GetCurrentThreadID();
  record->done = true;
  record->done.notify_one();
  return 0;
}

void WaitFor(TaskRecord& record) {
  while (!record.done) record.done.wait(false);
}

TEST(ThreadTaskTest, RunsTheRoutineOnAThreadOfItsOwn) {
  for (UInt32 stackSize : {0u, 1u, 1u << 20}) {
    SCOPED_TRACE(stackSize);
    TaskRecord record;
    UInt32 threadID = 0;
    EXPECT_EQ(CreateThreadTask(RecordThread, &record, stackSize, 1, 2, 3, 4, &threadID), 0);
    WaitFor(record);
    EXPECT_EQ(record.argumentMark, 42);
    EXPECT_EQ(record.seenThreadID.load(), threadID);
    EXPECT_NE(threadID, GetCurrentThreadID());
  }
}

TEST(CriticalRegionTest, IsRecursiveAndCountsEntries) {
  CriticalRegion region = nullptr;
  ASSERT_EQ(CreateCriticalRegion(&region), 0);
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(CriticalRegionEntriesForTesting(region), 0u);
  EXPECT_EQ(EnterCriticalRegion(region), 0);
  EXPECT_EQ(EnterCriticalRegion(region), 0);  // the same thread may enter again
  EXPECT_EQ(ExitCriticalRegion(region), 0);
  EXPECT_EQ(ExitCriticalRegion(region), 0);
  EXPECT_EQ(CriticalRegionEntriesForTesting(region), 2u);
  EXPECT_EQ(DeleteCriticalRegion(region), 0);
}

TEST(CriticalRegionTest, ExcludesOtherThreads) {
  CriticalRegion region = nullptr;
  CreateCriticalRegion(&region);
  long counter = 0;  // plain on purpose: only the region guards it
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        EnterCriticalRegion(region);
        counter = counter + 1;
        ExitCriticalRegion(region);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, 80000);
  DeleteCriticalRegion(region);
}

}  // namespace
