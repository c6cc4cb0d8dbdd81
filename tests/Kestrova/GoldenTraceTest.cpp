// A stored 3,000-step input script replayed from the start of a game gives
// the stored trace byte for byte, twice in one process.
//
// KESTROVA_REGENERATE_GOLDEN=1 writes the trace file from this run instead of
// reading it (and records a new script from the autopilot when the script
// file is missing); do that only when the game's behaviour changed on purpose.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Autopilot.h"
#include "GameDriver.h"

namespace {

using gametest::Autopilot;
using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt32 kSeed = 12345;
constexpr int kScriptSteps = 3000;
// Escape, Return and Caps Lock would open the pause screen.
constexpr UInt8 kPauseKeys[] = {53, 36, 138};

std::filesystem::path GoldenFolder() { return std::filesystem::path(DUVUVU_TESTS_DIR) / "Kestrova" / "golden"; }
std::filesystem::path ScriptPath() { return GoldenFolder() / "input-12345.txt"; }
std::filesystem::path TracePath() { return GoldenFolder() / "trace-12345.txt"; }

bool Regenerating() {
  const char* value = std::getenv("KESTROVA_REGENERATE_GOLDEN");
  return value && std::string(value) == "1";
}

// One line per run of equal steps: the step count, then the held key codes.
std::vector<StepInput> ReadScript(const std::filesystem::path& path) {
  std::vector<StepInput> script;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int count = 0;
    fields >> count;
    StepInput input;
    for (int key; fields >> key;) input.held.push_back(static_cast<UInt8>(key));
    script.insert(script.end(), static_cast<size_t>(count), input);
  }
  return script;
}

void WriteScript(const std::filesystem::path& path, const std::vector<StepInput>& script) {
  std::ofstream out(path);
  out << "# Held engine key codes from the start of a game at seed 12345: \"<steps> <key codes...>\"\n";
  for (size_t i = 0; i < script.size();) {
    size_t run = 1;
    while (i + run < script.size() && script[i + run].held == script[i].held) ++run;
    out << run;
    for (UInt8 key : script[i].held) out << ' ' << static_cast<int>(key);
    out << '\n';
    i += run;
  }
}

std::vector<StepInput> RecordAutopilot() {
  GameDriver driver(kSeed);
  driver.startGame();
  Autopilot pilot;
  std::vector<StepInput> script;
  for (int i = 0; i < kScriptSteps; ++i) {
    script.push_back(pilot.next());
    driver.step(script.back());
  }
  return script;
}

std::string Replay(const std::vector<StepInput>& script) {
  GameDriver driver(kSeed);
  driver.startGame();
  for (const StepInput& input : script) driver.step(input);
  std::string text;
  for (const std::string& line : driver.trace()) text += line + '\n';
  return text;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The first line on which two traces part, for the failure message.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream a(expected);
  std::istringstream b(actual);
  std::string lineA;
  std::string lineB;
  for (int n = 1;; ++n) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreB = static_cast<bool>(std::getline(b, lineB));
    if (!moreA && !moreB) return "no line differs";
    if (!moreA || !moreB || lineA != lineB)
      return "line " + std::to_string(n) + ":\n  golden: " + (moreA ? lineA : "(end)") +
             "\n  run:    " + (moreB ? lineB : "(end)");
  }
}

TEST(GoldenTraceTest, TheStoredScriptGivesTheGoldenTraceTwice) {
  if (Regenerating() && !std::filesystem::exists(ScriptPath())) {
    std::filesystem::create_directories(GoldenFolder());
    WriteScript(ScriptPath(), RecordAutopilot());
  }
  const std::vector<StepInput> script = ReadScript(ScriptPath());
  ASSERT_EQ(script.size(), static_cast<size_t>(kScriptSteps)) << ScriptPath();
  for (const StepInput& input : script) {
    for (UInt8 key : kPauseKeys)
      ASSERT_EQ(std::count(input.held.begin(), input.held.end(), key), 0) << "the script pauses the game";
    ASSERT_TRUE(input.keyDowns.empty() && input.clicks.empty() && !input.moveMouse);
  }

  const std::string first = Replay(script);
  if (Regenerating()) {
    std::ofstream(TracePath(), std::ios::binary) << first;
  }
  const std::string golden = ReadFile(TracePath());
  ASSERT_FALSE(golden.empty()) << "no golden trace at " << TracePath();
  // The run must stay a game in play: never paused, never over.
  EXPECT_EQ(golden.find(" paused=1 "), std::string::npos);
  EXPECT_EQ(golden.find(" over=1 "), std::string::npos);

  EXPECT_TRUE(first == golden) << FirstDifference(golden, first);
  const std::string second = Replay(script);
  EXPECT_TRUE(second == golden) << FirstDifference(golden, second);
}

}  // namespace
