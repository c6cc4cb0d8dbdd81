// The real program, started from the built bundle.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

namespace {

int CountLines(const std::string& path) {
  std::ifstream in(path);
  int lines = 0;
  for (std::string line; std::getline(in, line);) lines += line.rfind("step=", 0) == 0;
  return lines;
}

// A pass runs at most 15 steps before it draws, so more lines than that mean
// the first frame was drawn and the loop came round again.
TEST(ProgramTest, StartsFromTheBundleAndRunsItsLoop) {
  const std::string program = std::string(DUVUVU_BUNDLE_DIR) + "/Contents/MacOS/Kestrova";
  ASSERT_EQ(access(program.c_str(), X_OK), 0) << program;
  testsupport::TempDir home;
  const std::string trace = home / "trace.txt";

  const pid_t child =
      testsupport::StartBundleProgram(program, home.path(), {"KESTROVA_TRACE=" + trace, "KESTROVA_SEED=5"});
  ASSERT_GE(child, 0);

  int lines = 0;
  int status = 0;
  bool ended = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    lines = CountLines(trace);
    if (lines > 15) break;
    if (waitpid(child, &status, WNOHANG) == child) {
      ended = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  EXPECT_FALSE(ended) << "the program ended by itself, status " << status;
  EXPECT_GT(lines, 15);
  std::ifstream in(trace);
  std::string first;
  std::getline(in, first);
  // The program opens on the logo, with no game on.
  EXPECT_EQ(first.rfind("step=1 screen=QVLogoScreen ", 0), 0u) << first;
  EXPECT_NE(first.find(" game=0 "), std::string::npos) << first;

  // After the first frame the trace holds the start-up phases, once, in the
  // order they ran: main first, the first frame last, the time never going back.
  std::ifstream again(trace);
  std::vector<std::string> names;
  double last = -1;
  for (std::string line; std::getline(again, line);) {
    if (line.rfind("phase=", 0) != 0) continue;
    const size_t ms = line.find(" ms=");
    const size_t name = line.find(" name=");
    ASSERT_NE(ms, std::string::npos) << line;
    ASSERT_NE(name, std::string::npos) << line;
    ASSERT_NE(line.find(" clock="), std::string::npos) << line;
    EXPECT_EQ(line.rfind("phase=" + std::to_string(names.size()) + " ", 0), 0u) << line;
    const double at = std::strtod(line.c_str() + ms + 4, nullptr);
    EXPECT_GE(at, last) << line;
    last = at;
    names.push_back(line.substr(name + 6));
  }
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names.front(), "main");
  EXPECT_EQ(names.back(), "first frame");
  const auto at = [&](const char* n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
  // An entry of the engine's list, then the game's own steps.
  EXPECT_LT(at("Blitter"), at("display system"));
  EXPECT_LT(at("display system"), at("game assets"));
  EXPECT_LT(at("game assets"), at("logo screen"));
  EXPECT_LT(at("logo screen"), at("first frame"));
}

}  // namespace
