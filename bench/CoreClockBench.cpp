// The frame clock against the raw monotonic clock it stands on.
#include <benchmark/benchmark.h>

#include <ctime>

#include "Clocks.h"

namespace {

void RawMonotonicClock(benchmark::State& state) {
  for (auto _ : state) {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    benchmark::DoNotOptimize(ts);
  }
}
BENCHMARK(RawMonotonicClock);

void ElapsedMicrosecondsRead(benchmark::State& state) {
  static bool calibrated = false;
  if (!calibrated) {
    InitPerformanceClock();
    CalibrateClock();
    calibrated = true;
  }
  for (auto _ : state) benchmark::DoNotOptimize(ElapsedMicroseconds());
}
BENCHMARK(ElapsedMicrosecondsRead);

}  // namespace
