#include <gtest/gtest.h>

#include "Clocks.h"
#include "TestSupport.h"
#include "TickRecords.h"

namespace {

int gPumps = 0;
void CountPump() { ++gPumps; }

class TickRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gPumps = 0;
    previous_ = GetEventPumpHook();
    SetEventPumpHook(CountPump);
  }
  void TearDown() override { SetEventPumpHook(previous_); }
  testsupport::FakeClock clock;

 private:
  EventPumpHook previous_ = nullptr;
};

TEST_F(TickRecordsTest, DelayPumpsUntilTheTargetAndKeepsThatTick) {
  clock.stepPerRead = 1000000;  // 1 ms per read
  const UInt32 start = RecordTickCount();
  DelaySinceTickRecord(3);
  EXPECT_GT(gPumps, 0);
  // The new start is the first read that reached the target.
  EXPECT_EQ(TicksSinceRecord(), 0);
  EXPECT_GE(static_cast<UInt32>(GetTicks()), start + 3);
  EXPECT_LE(static_cast<UInt32>(GetTicks()), start + 4);
}

TEST_F(TickRecordsTest, PacesOneStepPerTickFromTheEndOfTheLastWait) {
  clock.stepPerRead = 1000000;
  const UInt32 first = RecordTickCount();
  for (int i = 0; i < 10; ++i) DelaySinceTickRecord(1);
  const UInt32 now = static_cast<UInt32>(GetTicks());
  EXPECT_GE(now, first + 10);
  EXPECT_LE(now, first + 11);
}

TEST_F(TickRecordsTest, PassedTargetEndsAfterOneReadAtTheCurrentCount) {
  const UInt32 start = RecordTickCount();
  clock.AdvanceMilliseconds(1000);
  DelaySinceTickRecord(2);
  EXPECT_EQ(gPumps, 1);
  EXPECT_EQ(TicksSinceRecord(), 0);  // the start is now, not start + 2
  EXPECT_EQ(static_cast<UInt32>(GetTicks()), start + 60);
}

TEST_F(TickRecordsTest, TicksNotElapsedAndSince) {
  RecordTickCount();
  EXPECT_EQ(TicksNotElapsed(2), 1);
  clock.AdvanceMilliseconds(34);  // two ticks and a bit
  EXPECT_EQ(TicksNotElapsed(2), 0);
  EXPECT_EQ(TicksSinceRecord(), 2);
}

TEST_F(TickRecordsTest, CounterRecordReadsTheMillisecondClockAndEnds) {
  clock.stepPerRead = 500000;  // half a millisecond per read
  const UInt32 start = RecordCounter();
  DelaySinceCounterRecord(5);
  EXPECT_EQ(gPumps, 0);  // a busy wait: nothing pumped
  EXPECT_EQ(CounterSinceRecord(), 0u);
  EXPECT_GE(RecordCounter(), start + 5);
}

}  // namespace
