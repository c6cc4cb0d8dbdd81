#include "Clocks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "TestSupport.h"

namespace {

// Runs body in a child; gtest failures inside it fail the parent too.
void ExpectCleanChild(const std::function<void()>& body) {
  testsupport::ChildResult result = testsupport::RunInChild([&] {
    body();
    if (::testing::Test::HasFailure()) std::exit(1);
  });
  EXPECT_TRUE(result.exited) << result.stdoutText << result.stderrText;
  EXPECT_EQ(result.exitStatus, 0) << result.stdoutText << result.stderrText;
}

DateTimeRecord Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return DateTimeRecord{static_cast<SInt16>(year),   static_cast<SInt16>(month),
                        static_cast<SInt16>(day),    static_cast<SInt16>(hour),
                        static_cast<SInt16>(minute), static_cast<SInt16>(second), 0};
}

std::string Text(const DateTimeRecord& d) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d w%d", d.year, d.month, d.day,
                d.hour, d.minute, d.second, d.dayOfWeek);
  return buffer;
}

// Checks of the calendar that must not depend on the process's time zone.
void CheckCalendar() {
  EXPECT_EQ(FileTimeToMacSeconds(95616288000000000ull), 0u);
  EXPECT_EQ(FileTimeToMacSeconds(95616288000000000ull + 10000000ull * 86400), 86400u);

  DateTimeRecord record{};
  SecondsToDateRecord(0, &record);
  EXPECT_EQ(Text(record), "1904-01-01 00:00:00 w5");
  SecondsToDateRecord(3786912000u, &record);
  EXPECT_EQ(Text(record), "2024-01-01 00:00:00 w1");
  SecondsToDateRecord(0xFFFFFFFFu, &record);
  EXPECT_EQ(Text(record), "2040-02-06 06:28:15 w1");

  struct Row {
    DateTimeRecord in;
    const char* normalised;
  };
  const Row rows[] = {
      {Date(2023, 12, 31, 23, 59, 60), "2024-01-01 00:00:00"},
      {Date(2024, 1, 32), "2024-02-01 00:00:00"},
      {Date(2024, 2, 30), "2024-03-01 00:00:00"},
      {Date(2023, 2, 29), "2023-03-01 00:00:00"},
      {Date(2024, 0, 15), "2023-12-15 00:00:00"},
      {Date(2024, -1, 1), "2023-11-01 00:00:00"},
      {Date(2024, 13, 1), "2025-01-01 00:00:00"},
      {Date(2024, 25, 1), "2026-01-01 00:00:00"},
      {Date(2024, 3, 1, 0, 0, -1), "2024-02-29 23:59:59"},
      {Date(2024, 3, 1, -1, 0, 0), "2024-02-29 23:00:00"},
      {Date(2024, 1, 0), "2023-12-31 00:00:00"},
      {Date(2024, 3, -1), "2024-02-28 00:00:00"},
      {Date(2024, 1, 1, 48, 120, 3600), "2024-01-03 03:00:00"},
      {Date(1904, 1, 1), "1904-01-01 00:00:00"},
  };
  for (const Row& row : rows) {
    UInt32 stored = 0;
    UInt32 seconds = DateRecordToSeconds(&row.in, &stored);
    EXPECT_EQ(stored, seconds);
    SecondsToDateRecord(seconds, &record);
    EXPECT_EQ(Text(record).substr(0, 19), row.normalised) << Text(row.in);
  }
  DateTimeRecord leapSecond = Date(2023, 12, 31, 23, 59, 60);
  DateTimeRecord newYear = Date(2024, 1, 1);
  EXPECT_EQ(DateRecordToSeconds(&leapSecond, nullptr), 3786912000u);
  EXPECT_EQ(DateRecordToSeconds(&newYear, nullptr), 3786912000u);

  struct Days {
    SInt16 month, year, days;
  };
  const Days days[] = {{2, 1900, 28}, {2, 2000, 29}, {2, 2024, 29}, {2, 2023, 28},
                       {4, 2023, 30}, {1, 2023, 31}, {12, 2023, 31}, {0, 2023, 0}, {13, 2023, 0}};
  for (const Days& row : days) EXPECT_EQ(DaysInMonth(row.month, row.year), row.days) << row.month << "/" << row.year;
}

TEST(DatesTest, CalendarConversions) { CheckCalendar(); }

TEST(DatesTest, CalendarIgnoresTheTimeZone) {
  for (const char* zone : {"UTC", "Asia/Kolkata", "America/St_Johns"}) {
    SCOPED_TRACE(zone);
    ExpectCleanChild([zone] {
      setenv("TZ", zone, 1);
      tzset();
      CheckCalendar();
    });
  }
}

TEST(DatesTest, LocalTimeComesFromTheZoneOffset) {
  ExpectCleanChild([] {
    setenv("TZ", "Asia/Kolkata", 1);
    tzset();
    // The engine's clock: time() reads a coarser one, which can still show
    // the last second while the engine's has turned over.
    const auto now = [] {
      timespec ts{};
      clock_gettime(CLOCK_REALTIME, &ts);
      return ts.tv_sec;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
      time_t before = now();
      UInt32 stored = 0;
      UInt32 seconds = GetDateTimeSeconds(&stored);
      std::string text = DateTimeText();
      time_t after = now();
      if (before != after) continue;  // the second turned over; read again
      EXPECT_EQ(stored, seconds);
      EXPECT_EQ(seconds, static_cast<UInt32>(before + 19800 + 2082844800));
      tm local{};
      localtime_r(&before, &local);
      char reference[64];
      asctime_r(&local, reference);
      reference[std::strlen(reference) - 1] = 0;
      EXPECT_EQ(text, reference);
      return;
    }
    ADD_FAILURE() << "the clock never held still";
  });
}

TEST(DatesTest, DateTimeTextHasAsctimesLayout) {
  testsupport::FakeClock clock;
  struct Row {
    int64_t wall;
    int32_t offset;
    const char* text;
  };
  const Row rows[] = {{1700000000, 0, "Tue Nov 14 22:13:20 2023"},
                      {1700000000, 3600, "Tue Nov 14 23:13:20 2023"},
                      {1709650800, -7200, "Tue Mar  5 13:00:00 2024"}};
  for (const Row& row : rows) {
    clock.wallSeconds = row.wall;
    clock.localOffsetSeconds = row.offset;
    EXPECT_STREQ(DateTimeText(), row.text);
  }
}

TEST(DatesTest, GetDateTimeSecondsAddsTheOffsetAndTheEpoch) {
  testsupport::FakeClock clock;
  clock.wallSeconds = 1700000000;
  clock.localOffsetSeconds = -18000;
  UInt32 stored = 0;
  EXPECT_EQ(GetDateTimeSeconds(&stored), 1700000000u - 18000u + 2082844800u);
  EXPECT_EQ(stored, 1700000000u - 18000u + 2082844800u);
  EXPECT_EQ(GetDateTimeSeconds(nullptr), stored);
}

TEST(DatesTest, TwoDigitYearsFollowTheClocksCentury) {
  testsupport::FakeClock clock;
  struct Row {
    int64_t wall;  // the UTC clock
    int year, expected;
  };
  const Row rows[] = {
      {1700000000, 24, 2024},  // 2023
      {1700000000, 5, 2005},
      {1104537600, 95, 1995},  // 2005: late years belong to the century before
      {1104537600, 10, 2010},
      {800000000, 5, 2005},    // 1995: early years belong to the next century
      {800000000, 11, 1911},
      {800000000, 89, 1989},
  };
  for (const Row& row : rows) {
    clock.wallSeconds = row.wall;
    DateTimeRecord in = Date(row.year, 6, 1);
    DateTimeRecord out{};
    SecondsToDateRecord(DateRecordToSeconds(&in, nullptr), &out);
    EXPECT_EQ(out.year, row.expected) << row.year << " at " << row.wall;
  }
}

class ClocksTest : public ::testing::Test {
 protected:
  void SetUp() override { InitPerformanceClock(); }
  testsupport::FakeClock clock_;
};

TEST_F(ClocksTest, UpTimeArithmetic) {
  EXPECT_EQ(UpTimeToNanoseconds(1, 2), 0x200000001ull);
  EXPECT_EQ(NanosecondsToUpTime(0xFFFFFFFFu, 0), 0xFFFFFFFFull);
  EXPECT_EQ(AddUpTimes(0xFFFFFFFFu, 0, 1, 0), 0x100000000ull);
  EXPECT_EQ(AddUpTimes(5, 1, 7, 2), 0x30000000Cull);
  EXPECT_EQ(SubtractMicrosFromUpTime(1, 5000, 0), 4000u);
  EXPECT_EQ(SubtractMicrosFromUpTime(2, 0, 1), 0x100000000ull - 2000);
}

TEST_F(ClocksTest, UpTimeAndMicrosecondsCountFromStart) {
  EXPECT_EQ(GetUpTime(), 0u);
  clock_.nanoseconds += 0x123456789ull;
  EXPECT_EQ(GetUpTime(), 0x123456789ull);
  EXPECT_DOUBLE_EQ(GetElapsedNanoseconds(), static_cast<double>(0x123456789ull));
  UnsignedWide micros{};
  GetMicroseconds(&micros);
  EXPECT_EQ(micros.lo, static_cast<UInt32>(0x123456789ull / 1000));
  EXPECT_EQ(micros.hi, 0u);
  clock_.nanoseconds += 5000000000000000ull;  // past 32 bits of microseconds
  GetMicroseconds(&micros);
  uint64_t joined = (static_cast<uint64_t>(micros.hi) << 32) | micros.lo;
  EXPECT_EQ(joined, (0x123456789ull + 5000000000000000ull) / 1000);
}

TEST_F(ClocksTest, TicksAreSixtiethsOfTheMillisecondCount) {
  struct Row {
    uint64_t ms;
    SInt32 ticks;
  };
  const Row rows[] = {{0, 0}, {16, 0}, {17, 1}, {1000, 60}, {1016, 60}, {1017, 61}, {2000, 120}};
  for (const Row& row : rows) {
    clock_.nanoseconds = row.ms * 1000000ull;
    EXPECT_EQ(GetTicks(), row.ticks) << row.ms << " ms";
  }
  clock_.nanoseconds = 12345678000000ull;
  SInt32 before = GetTicks();
  clock_.AdvanceMilliseconds(1000);
  EXPECT_EQ(GetTicks(), before + 60);
}

TEST_F(ClocksTest, DelayTicksBusyWaitsToTheTarget) {
  clock_.nanoseconds = 1000000000ull;  // exactly tick 60
  clock_.stepPerRead = 1000000;        // each read moves 1 ms
  UInt32 final = 0;
  UInt32 last = DelayTicks(3, &final);
  EXPECT_EQ(final, 63u);
  EXPECT_EQ(last, 63u);
  EXPECT_GE(clock_.nanoseconds, 1050000000ull);

  UInt32 now = static_cast<UInt32>(GetTicks());
  EXPECT_EQ(DelayTicks(0, nullptr), now) << "no wait for zero ticks";
}

TEST_F(ClocksTest, DelayUntilNanosecondsSleepsPastTheDeadline) {
  clock_.nanoseconds += 2000000;
  const UInt64 deadline = 7000000;  // 5 ms from now
  EXPECT_EQ(DelayUntilNanoseconds(&deadline), 0);
  EXPECT_GT(GetUpTime(), deadline);
  EXPECT_LE(GetUpTime(), deadline + 1000000) << "one millisecond sleep per check";
}

// The calibration is once per process, so each of these runs in a child.
TEST_F(ClocksTest, CalibrationMakesAMicrosecondClock) {
  ExpectCleanChild([this] {
    clock_.stepPerRead = 1000;  // 1 us per read
    CalibrateClock();
    clock_.stepPerRead = 0;
    double start = ElapsedMicroseconds();
    clock_.AdvanceMilliseconds(1000);
    // The reads' own spacing skews the scale a little (2 us in 2 ticks).
    EXPECT_NEAR(ElapsedMicroseconds() - start, 1000000.0, 100.0);
    EXPECT_NEAR(ElapsedMilliseconds() * 1000.0, ElapsedMicroseconds(), 1e-6);

    // A second calibration reads no clock and changes nothing.
    uint64_t before = clock_.nanoseconds;
    double reading = ElapsedMicroseconds();
    clock_.stepPerRead = 10000;
    CalibrateClock();
    EXPECT_EQ(clock_.nanoseconds, before);
    clock_.stepPerRead = 0;
    EXPECT_EQ(ElapsedMicroseconds(), reading);
  });
}

TEST_F(ClocksTest, CalibrationGivesUpAfterFiveTries) {
  ExpectCleanChild([this] {
    clock_.stepPerRead = 200000;  // every pair of reads 400 us apart
    CalibrateClock();
    clock_.stepPerRead = 0;
    double start = ElapsedMicroseconds();
    clock_.AdvanceMilliseconds(500);
    EXPECT_NEAR(ElapsedMicroseconds() - start, 500000.0, 500000.0 * 0.02);
  });
}

TEST_F(ClocksTest, ScaleStaysOneWithNoUpTimeGoneBy) {
  ExpectCleanChild([this] {
    const uint64_t step = 10000;
    const uint64_t start = clock_.nanoseconds;  // InitPerformanceClock read this
    clock_.nanoseconds = start + step;
    clock_.stepPerRead = step;
    CalibrateClock();
    // The base up-time was the fourth read after the start: two settling reads,
    // then microseconds, up-time, microseconds.
    clock_.stepPerRead = 0;
    clock_.nanoseconds = start + 4 * step;
    CalibrateClockScale();
    double base = ElapsedMicroseconds();
    clock_.nanoseconds += 1000;
    EXPECT_DOUBLE_EQ(ElapsedMicroseconds() - base, 1000.0);
  });
}

TEST_F(ClocksTest, WaitSinceStampPumpsEventsUntilDue) {
  ExpectCleanChild([this] {
    clock_.stepPerRead = 10000;
    CalibrateClock();
    clock_.stepPerRead = 0;
    static testsupport::FakeClock* fake;
    static int pumps;
    fake = &clock_;
    pumps = 0;
    SetEventPumpHook([] {
      ++pumps;
      fake->AdvanceMilliseconds(1);
    });
    StampTime();
    WaitSinceStamp(10);
    EXPECT_GE(pumps, 9);
    EXPECT_LE(pumps, 11);
    SetEventPumpHook(nullptr);
  });
}

class StopWatchTest : public ::testing::Test {
 protected:
  static double Now() { return now_; }
  void SetUp() override {
    now_ = 0;
    watch_ = StopWatch{&Now, 100.0, 0.0, 0.0};
  }
  static double now_;
  StopWatch watch_{};
};
double StopWatchTest::now_ = 0;

TEST_F(StopWatchTest, ReadAddsOffsetAndDrift) {
  watch_.drift = 0.01;
  watch_.lastReading = 1000;
  now_ = 3000;
  EXPECT_DOUBLE_EQ(StopWatchRead(&watch_), 3000 + 100 + 20);
  EXPECT_DOUBLE_EQ(StopWatchReadMs(&watch_), 3.12);
}

TEST_F(StopWatchTest, AdjustRules) {
  struct Row {
    const char* what;
    double last, now, correction;
    UInt8 smooth;
    double offset, drift, lastAfter;
  };
  const Row rows[] = {
      {"small change within a second is noise", 1000, 501000, 5000, 1, 100, 0, 1000},
      {"exactly a second is still within", 1000, 1001000, -10000, 0, 100, 0, 1000},
      {"large change within a second applies", 1000, 501000, 20000, 1, 20100, 0, 501000},
      {"after a second without smoothing", 1000, 2001000, 1000, 0, 1100, 0, 2001000},
      {"smoothing halves and drifts", 1000, 2001000, 1000, 1, 600, 0.00025, 2001000},
      {"smoothing at the rate limit", 1000, 2001000, 2000, 1, 1100, 0.0005, 2001000},
      {"smoothing needs a last reading", 0, 2000000, 1000, 1, 1100, 0, 2000000},
      {"smoothing skips large rates", 1000, 2001000, 3000, 1, 3100, 0, 2001000},
  };
  for (const Row& row : rows) {
    SetUp();
    watch_.lastReading = row.last;
    now_ = row.now;
    StopWatchAdjust(&watch_, row.correction, row.smooth);
    EXPECT_DOUBLE_EQ(watch_.offset, row.offset) << row.what;
    EXPECT_DOUBLE_EQ(watch_.drift, row.drift) << row.what;
    EXPECT_DOUBLE_EQ(watch_.lastReading, row.lastAfter) << row.what;
  }

  SetUp();
  now_ = 2000000;
  StopWatchAdjustMs(&watch_, 20, 0);
  EXPECT_DOUBLE_EQ(watch_.offset, 20100);
}

TEST(TimeTaskTest, StopAnswersOnlyForARunningTask) {
  EXPECT_EQ(StopTimeTask(), 0);
  StartTimeTask();
  StartTimeTask();
  EXPECT_EQ(StopTimeTask(), 2000000000);
  EXPECT_EQ(StopTimeTask(), 0);
}

}  // namespace
