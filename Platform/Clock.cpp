#include "Sys.h"

#include <ctime>

namespace {

const ClockSource* gSource = nullptr;

}  // namespace

uint64_t MonotonicNanoseconds() {
  if (gSource) return gSource->monotonicNanoseconds(gSource->context);
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<uint64_t>(ts.tv_nsec);
}

uint32_t MonotonicMilliseconds() { return static_cast<uint32_t>(MonotonicNanoseconds() / 1000000ull); }

int64_t WallClockSeconds() {
  if (gSource) return gSource->wallSeconds(gSource->context);
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  return ts.tv_sec;
}

int32_t LocalTimeOffsetSeconds() {
  if (gSource) return gSource->localOffsetSeconds(gSource->context);
  time_t now = static_cast<time_t>(WallClockSeconds());
  tm local;
  if (!localtime_r(&now, &local)) return 0;
  return static_cast<int32_t>(local.tm_gmtoff);
}

void SleepMilliseconds(uint32_t ms) {
  if (gSource) {
    gSource->sleepMilliseconds(gSource->context, ms);
    return;
  }
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

void SetClockSource(const ClockSource* source) { gSource = source; }
