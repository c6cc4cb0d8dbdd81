// One fixed step's input work on the SDL backend: the event poll on an empty
// queue and the game's eleven key tests, against the 16,667 us step.
#include <benchmark/benchmark.h>

#include <chrono>

#include "Backend.h"
#include "EventPoll.h"
#include "InputDevices.h"
#include "Windows.h"

namespace {

constexpr double kStepMicroseconds = 16667.0;
// Ten bound keys (both players' arrows, fire keys) and Caps Lock.
constexpr UInt8 kStepKeys[11] = {123, 124, 125, 126, 49, 0, 1, 2, 13, 12, 138};

void StepInputWork(benchmark::State& state) {
  static WindowRef window = nullptr;
  if (!window) {
    InitDirectInputMouse();
    InitDirectInputKeyboard();
    InitEventRecStack();
    const Rect content{100, 100, 580, 740};
    if (CreateWindowRef(0, 0, &content, &window) != 0) {
      state.SkipWithError("no window");
      return;
    }
    ShowWindowRef(window);
    gMainWindow = window;
  }
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    benchmark::DoNotOptimize(PollEvents(0xFFFF, nullptr));
    for (UInt8 key : kStepKeys) benchmark::DoNotOptimize(IsKeyCodeDown(key));
  }
  const double micros = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  if (state.iterations() > 0)
    state.counters["step_ratio"] = micros / static_cast<double>(state.iterations()) / kStepMicroseconds;
}
BENCHMARK(StepInputWork)->Unit(benchmark::kMicrosecond);

}  // namespace
