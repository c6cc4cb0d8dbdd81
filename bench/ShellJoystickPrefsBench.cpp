// Matching the joystick calibrations of a preferences file the user may have
// edited by hand: with every entry a distinct pair of an attached device's
// SDL name, the time must grow about linearly with the entries (the fitted
// complexity the run prints), or a large file stalls start-up.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "Joystick.h"
#include "JoystickPrefs.h"
#include "PlistTag.h"
#include "ScriptedBackend.h"

namespace {

void MatchJoystickCalibrationsOf(benchmark::State& state) {
  ScriptedBackend backend;
  Backend* previous = SetBackend(&backend);
  InitJoystickLists();
  backend.AttachJoystick({"Pad", 2, 0, 0, 4, false});
  // Its own name is in no entry, so nothing loads and every run is alike.
  OpenJoystickDevice(0)->name[0] = 0;
  PlistTag prefs;
  PlistTag* array = PlistTag::NewTag(&prefs, "array", "Joystick Calibrations", "");
  for (int64_t i = 0; i < state.range(0); ++i) {
    PlistTag* entry = PlistTag::NewTag(array, "dict", "", "");
    PlistTag::NewTag(entry, "string", "Name", ("Name " + std::to_string(i)).c_str());
    PlistTag::NewTag(entry, "string", "Device Name", "Pad");
  }
  std::vector<PlistTag*> entries;
  std::vector<JoystickDevice*> devices;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MatchJoystickCalibrations(&prefs, &entries, &devices));
    if (entries.size() != static_cast<size_t>(state.range(0))) state.SkipWithError("wrong match");
  }
  state.SetComplexityN(state.range(0));
  while (!JoystickDevices.empty()) CloseJoystickDevice(JoystickDevices.front());
  ExitJoystickLists();
  SetBackend(previous);
}
BENCHMARK(MatchJoystickCalibrationsOf)->RangeMultiplier(4)->Range(512, 32768)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
