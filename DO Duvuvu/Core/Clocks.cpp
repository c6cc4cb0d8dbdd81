#include "Clocks.h"

#include <cmath>

#include "FixedResults.h"
#include "Sys.h"

namespace {

// The counter runs in nanoseconds here. The frame clock reads it every loop
// pass, so the frequency is kept as a factor rather than divided by.
UInt64 gCounterFrequency = 1000000000ull;
double gNanosecondsPerCount = 1.0;
UInt64 gCounterStart = 0;

double gUpTimeBase = 0.0;
double gMicrosecondBase = 0.0;
double gClockScale = 0.0;
bool gClockCalibrated = false;

double gTimeStamp = 0.0;
EventPumpHook gEventPump = nullptr;

struct TimeTaskRecord {
  bool running;
  SInt32 count;
  SInt32 countAtStart;
};
TimeTaskRecord gTimeTask = {};

UInt64 Join(UInt32 lo, UInt32 hi) { return (static_cast<UInt64>(hi) << 32) | lo; }

// A negative or huge double has no unsigned 64-bit value; keep to the range.
UInt64 ToUpTime(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 18446744073709551615.0) return ~0ull;
  return static_cast<UInt64>(value);
}

}  // namespace

void InitPerformanceClock() {
  gCounterFrequency = 1000000000ull;
  gNanosecondsPerCount = 1e9 / static_cast<double>(gCounterFrequency);
  gCounterStart = MonotonicNanoseconds();
}

double GetElapsedNanoseconds() {
  UInt64 counter = MonotonicNanoseconds() - gCounterStart;
  return static_cast<double>(counter) * gNanosecondsPerCount;
}

UInt64 GetUpTime() { return ToUpTime(GetElapsedNanoseconds()); }

UInt64 UpTimeToNanoseconds(UInt32 lo, UInt32 hi) { return Join(lo, hi); }

UInt64 NanosecondsToUpTime(UInt32 lo, UInt32 hi) { return Join(lo, hi); }

UInt64 AddUpTimes(UInt32 aLo, UInt32 aHi, UInt32 bLo, UInt32 bHi) {
  return ToUpTime(static_cast<double>(Join(aLo, aHi)) + static_cast<double>(Join(bLo, bHi)));
}

UInt64 SubtractMicrosFromUpTime(UInt32 n, UInt32 lo, UInt32 hi) {
  return ToUpTime(static_cast<double>(Join(lo, hi)) - 1000.0 * n);
}

void GetMicroseconds(UnsignedWide* out) {
  UInt64 micros = ToUpTime(GetElapsedNanoseconds() / 1000.0);
  out->lo = static_cast<UInt32>(micros);
  out->hi = static_cast<UInt32>(micros >> 32);
}

SInt32 DelayUntilNanoseconds(const UInt64* deadline) {
  double until = static_cast<double>(*deadline);
  while (!(GetElapsedNanoseconds() > until)) SleepMilliseconds(1);
  return 0;
}

static double MicrosecondsNow() {
  UnsignedWide micros;
  GetMicroseconds(&micros);
  return static_cast<double>(Join(micros.lo, micros.hi));
}

void CalibrateClock() {
  if (gClockCalibrated) return;
  // The first reads pay for any lazy set-up; keep it out of the pairing below.
  GetUpTime();
  MicrosecondsNow();

  double m1 = 0.0, m2 = 0.0;
  UInt64 up = 0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    m1 = MicrosecondsNow();
    up = GetUpTime();
    m2 = MicrosecondsNow();
    if (m2 - m1 < 150.0) break;
    DelayTicks(1);
  }
  gUpTimeBase = static_cast<double>(up);
  gMicrosecondBase = m2;
  gClockScale = 1.0;
  gClockCalibrated = true;

  DelayTicks(2);
  CalibrateClockScale();
}

void CalibrateClockScale() {
  CalibrateClock();
  double micros = MicrosecondsNow() - gMicrosecondBase;
  double upTime = static_cast<double>(GetUpTime()) - gUpTimeBase;
  // With no up-time gone by there is nothing to measure against.
  if (upTime == 0.0) {
    gClockScale = 1.0;
    return;
  }
  gClockScale = micros / upTime;
}

double ElapsedMicroseconds() {
  // GetUpTime without the trip through a 64-bit integer.
  double upTime = std::trunc(GetElapsedNanoseconds());
  return (upTime - gUpTimeBase) * gClockScale + gMicrosecondBase;
}

double ElapsedMilliseconds() { return ElapsedMicroseconds() * 0.001; }

void StampTime() { gTimeStamp = ElapsedMilliseconds(); }

void WaitSinceStamp(SInt32 ms) {
  double until = gTimeStamp + ms;
  while (ElapsedMilliseconds() < until) {
    if (IsOSXOrLater() && gEventPump) gEventPump();
  }
}

void SetEventPumpHook(EventPumpHook hook) { gEventPump = hook; }
EventPumpHook GetEventPumpHook() { return gEventPump; }

SInt32 GetTicks() {
  return static_cast<SInt32>(static_cast<double>(MonotonicMilliseconds()) * 60.0 / 1000.0);
}

UInt32 DelayTicks(UInt32 n, UInt32* finalTick) {
  UInt32 now = static_cast<UInt32>(GetTicks());
  UInt32 target = now + n;
  if (finalTick) *finalTick = target;
  while (now < target) now = static_cast<UInt32>(GetTicks());
  return now;
}

double StopWatchRead(const StopWatch* watch) {
  double now = watch->source();
  return now + watch->offset + watch->drift * (now - watch->lastReading);
}

double StopWatchReadMs(const StopWatch* watch) { return StopWatchRead(watch) * 0.001; }

void StopWatchAdjust(StopWatch* watch, double correction, UInt8 smooth) {
  double now = watch->source();
  double elapsed = now - watch->lastReading;
  if (elapsed <= 1000000.0) {
    // Within a second small corrections are noise.
    if (std::fabs(correction) <= 10000.0) return;
  } else {
    double rate = correction / elapsed;
    if (smooth && watch->lastReading != 0.0 && std::fabs(rate) <= 0.001) {
      correction *= 0.5;
      watch->drift += rate * 0.5;
    }
  }
  watch->offset += correction;
  watch->lastReading = now;
}

void StopWatchAdjustMs(StopWatch* watch, double correctionMs, UInt8 smooth) {
  StopWatchAdjust(watch, correctionMs * 1000.0, smooth);
}

void StartTimeTask() {
  if (gTimeTask.running) StopTimeTask();
  gTimeTask.count = 0;
  gTimeTask.countAtStart = 0;
  gTimeTask.running = true;
  InstallTimeTask(&gTimeTask);
  PrimeTimeTask(&gTimeTask, 0);
}

SInt32 StopTimeTask() {
  if (!gTimeTask.running) return 0;
  gTimeTask.running = false;
  RemoveTimeTask(&gTimeTask);
  return gTimeTask.count - gTimeTask.countAtStart + 2000000000;
}
