// One fixed step's input work on the SDL backend: the event poll on an empty
// queue and the game's eleven key tests, against the 16,667 us step and
// against SDL's own event pump on the same empty queue, measured first in
// the same run (pump_ratio on the wall clock, pump_cpu_ratio on this
// thread's processor time, which a loaded machine disturbs less; at most 1.5
// is the aim).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>

#include "Backend.h"
#include "EventPoll.h"
#include "InputDevices.h"
#include "Windows.h"

namespace {

constexpr double kStepMicroseconds = 16667.0;
// Ten bound keys (both players' arrows, fire keys) and Caps Lock.
constexpr UInt8 kStepKeys[11] = {123, 124, 125, 126, 49, 0, 1, 2, 13, 12, 138};

// One empty SDL pump, once SdlEmptyPump has run: wall and processor time.
double gPumpMicroseconds = 0;
double gPumpCpuMicroseconds = 0;

// The shell's window on the SDL backend, made once for the run.
bool EnsureWindow(benchmark::State& state) {
  static WindowRef window = nullptr;
  if (!window) {
    InitDirectInputMouse();
    InitDirectInputKeyboard();
    InitEventRecStack();
    const Rect content{100, 100, 580, 740};
    if (CreateWindowRef(0, 0, &content, &window) != 0) {
      state.SkipWithError("no window");
      return false;
    }
    ShowWindowRef(window);
    gMainWindow = window;
    // Whatever showing the window queued goes before the empty-queue timings.
    for (int i = 0; i < 8; ++i) PollEvents(0xFFFF, nullptr);
  }
  return true;
}

double ThreadCpuMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Wall and processor microseconds per iteration since a start.
struct Span {
  std::chrono::steady_clock::time_point wallStart = std::chrono::steady_clock::now();
  double cpuStart = ThreadCpuMicroseconds();
  double wall = 0;
  double cpu = 0;
  void Finish(const benchmark::State& state) {
    if (state.iterations() == 0) return;
    const double n = static_cast<double>(state.iterations());
    wall = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - wallStart).count() / n;
    cpu = (ThreadCpuMicroseconds() - cpuStart) / n;
  }
};

void SdlEmptyPump(benchmark::State& state) {
  if (!EnsureWindow(state)) return;
  Span span;
  for (auto _ : state) SDL_PumpEvents();
  span.Finish(state);
  gPumpMicroseconds = span.wall;
  gPumpCpuMicroseconds = span.cpu;
}
BENCHMARK(SdlEmptyPump)->Unit(benchmark::kMicrosecond);

void StepInputWork(benchmark::State& state) {
  if (!EnsureWindow(state)) return;
  Span span;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PollEvents(0xFFFF, nullptr));
    for (UInt8 key : kStepKeys) benchmark::DoNotOptimize(IsKeyCodeDown(key));
  }
  span.Finish(state);
  state.counters["step_ratio"] = span.wall / kStepMicroseconds;
  if (gPumpMicroseconds > 0) state.counters["pump_ratio"] = span.wall / gPumpMicroseconds;
  if (gPumpCpuMicroseconds > 0) state.counters["pump_cpu_ratio"] = span.cpu / gPumpCpuMicroseconds;
}
BENCHMARK(StepInputWork)->Unit(benchmark::kMicrosecond);

}  // namespace
