// The engine's three time bases: the calibrated microsecond clock that paces
// the main loop, ticks (sixtieths of a second) and calendar seconds since
// 1904-01-01 local time; with date records, the date text and stop-watches.
#pragma once

#include "MacTypes.h"

// A 64-bit count handed over as two words, low word first.
struct UnsignedWide {
  UInt32 lo;
  UInt32 hi;
};

struct DateTimeRecord {
  SInt16 year;
  SInt16 month;      // 1..12
  SInt16 day;        // 1..31
  SInt16 hour;
  SInt16 minute;
  SInt16 second;
  SInt16 dayOfWeek;  // 0 = Sunday
};

// A clock with its own offset and drift over a microsecond source.
struct StopWatch {
  double (*source)();
  double offset;     // microseconds
  double drift;      // microseconds per microsecond
  double lastReading;
};

// Up-time and the microsecond clock -------------------------------------------

void InitPerformanceClock();
double GetElapsedNanoseconds();
// Nanoseconds since InitPerformanceClock.
UInt64 GetUpTime();
UInt64 UpTimeToNanoseconds(UInt32 lo, UInt32 hi);
UInt64 NanosecondsToUpTime(UInt32 lo, UInt32 hi);
UInt64 AddUpTimes(UInt32 aLo, UInt32 aHi, UInt32 bLo, UInt32 bHi);
UInt64 SubtractMicrosFromUpTime(UInt32 n, UInt32 lo, UInt32 hi);
void GetMicroseconds(UnsignedWide* out);
// Sleeps a millisecond between checks until the up-time passes the deadline.
SInt32 DelayUntilNanoseconds(const UInt64* deadline);

// Once only; later calls do nothing.
void CalibrateClock();
void CalibrateClockScale();
// The main loop's frame clock.
double ElapsedMicroseconds();
double ElapsedMilliseconds();
void StampTime();
// Pumps the event loop while it waits for the stamp + ms.
void WaitSinceStamp(SInt32 ms);

// What WaitSinceStamp runs per check; the shell installs its event loop pass.
typedef void (*EventPumpHook)();
void SetEventPumpHook(EventPumpHook hook);
EventPumpHook GetEventPumpHook();

// Ticks -----------------------------------------------------------------------

SInt32 GetTicks();
// Busy-waits n ticks; *finalTick (when given) gets start + n before the wait.
// Returns the last tick count read.
UInt32 DelayTicks(UInt32 n, UInt32* finalTick = nullptr);

// Calendar --------------------------------------------------------------------

// Local time in seconds since 1904; stored through out when given.
UInt32 GetDateTimeSeconds(UInt32* out);
// A file time (100 ns units since 1601) as calendar seconds.
UInt32 FileTimeToMacSeconds(UInt64 fileTime);
// 0 for a month outside 1..12.
SInt16 DaysInMonth(SInt16 month, SInt16 year);
UInt32 DateRecordToSeconds(const DateTimeRecord* record, UInt32* out);
void SecondsToDateRecord(UInt32 seconds, DateTimeRecord* out);
// asctime of the local time without its line end, in one shared buffer.
const char* DateTimeText();

// Stop-watches ----------------------------------------------------------------

double StopWatchRead(const StopWatch* watch);
double StopWatchReadMs(const StopWatch* watch);
void StopWatchAdjust(StopWatch* watch, double correction, UInt8 smooth);
void StopWatchAdjustMs(StopWatch* watch, double correctionMs, UInt8 smooth);

// The periodic time task; the platform never runs it.
void StartTimeTask();
SInt32 StopTimeTask();
