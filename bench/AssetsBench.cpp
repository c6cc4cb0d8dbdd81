// Regenerating every asset, two programs at a time as on a 2-core machine,
// and the check that a rebuild with nothing changed runs no generator.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "GeneratorWaves.h"

namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

void BM_RegenerateAllAssets(benchmark::State& state) {
  const auto waves = ReadGeneratorWaves(DUVUVU_ASSET_GENERATOR_LIST);
  if (waves.empty()) {
    state.SkipWithError("no generator list");
    return;
  }
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("assets-bench-" + std::to_string(::getpid()));
  double worst = 0.0;
  for (auto _ : state) {
    std::filesystem::remove_all(root);
    const auto start = std::chrono::steady_clock::now();
    std::atomic<int> failures{0};
    for (const auto& programs : waves) {
      std::atomic<size_t> next{0};
      auto worker = [&] {
        for (size_t i = next++; i < programs.size(); i = next++) {
          const std::string command = Quoted(programs[i]) + " " + Quoted((root / "Kestrova/Contents").string()) +
                                      " " + Quoted((root / "review").string()) + " " +
                                      Quoted(DUVUVU_FONT_FIRST_FACE) + " " + Quoted(DUVUVU_FONT_SECOND_FACE);
          if (std::system(command.c_str()) != 0) ++failures;
        }
      };
      std::thread a(worker), b(worker);
      a.join();
      b.join();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    worst = std::max(worst, seconds);
    if (failures != 0) state.SkipWithError("a generator failed");
  }
  std::filesystem::remove_all(root);
  state.counters["seconds"] = worst;
  if (worst > 60.0) state.SkipWithError("regenerating took longer than 60 s");
}
BENCHMARK(BM_RegenerateAllAssets)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Ninja's dry run of the assets target lists no generator once the tree is built.
void BM_NoChangeRebuildRunsNoGenerator(benchmark::State& state) {
  const std::string make = DUVUVU_MAKE_PROGRAM;
  if (make.find("ninja") == std::string::npos) {
    state.SkipWithError("needs the Ninja generator");
    return;
  }
  int generatorSteps = 0;
  for (auto _ : state) {
    const std::string command = Quoted(make) + " -C " + Quoted(DUVUVU_BUILD_DIR) + " -n assets 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
      state.SkipWithError("cannot run ninja");
      return;
    }
    generatorSteps = 0;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe))
      if (std::string(line).find("Making the assets of") != std::string::npos) ++generatorSteps;
    pclose(pipe);
  }
  state.counters["generator_steps"] = generatorSteps;
  if (generatorSteps != 0) state.SkipWithError("a rebuild with no change would run a generator");
}
BENCHMARK(BM_NoChangeRebuildRunsNoGenerator)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
