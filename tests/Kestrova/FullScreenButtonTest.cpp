// The full-screen button of the real program, clicked through a 1280 x 1024
// Xvfb of its own with xdotool, the window read back with xwininfo.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Geometry {
  int x = -1, y = -1, width = 0, height = 0;
  bool operator==(const Geometry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
  return out << g.width << " x " << g.height << " at (" << g.x << ", " << g.y << ")";
}

// Bounded, so a hung X client fails the test instead of hanging it.
Geometry ReadGeometry() {
  Geometry g;
  FILE* p = popen("timeout 5 xwininfo -name Kestrova 2>/dev/null", "r");
  if (!p) return g;
  char line[256];
  while (std::fgets(line, sizeof line, p)) {
    std::sscanf(line, " Absolute upper-left X: %d", &g.x);
    std::sscanf(line, " Absolute upper-left Y: %d", &g.y);
    std::sscanf(line, " Width: %d", &g.width);
    std::sscanf(line, " Height: %d", &g.height);
  }
  pclose(p);
  return g;
}


// Every window on the display, for a failure's message.
std::string Windows() {
  std::string text;
  FILE* p = popen("timeout 5 xwininfo -root -tree 2>&1", "r");
  if (!p) return text;
  char line[256];
  while (std::fgets(line, sizeof line, p)) text += line;
  pclose(p);
  return text;
}

int CountSteps(const std::string& path) {
  std::ifstream in(path);
  int lines = 0;
  for (std::string line; std::getline(in, line);) lines += line.rfind("step=", 0) == 0;
  return lines;
}

class FullScreenButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  }

  void TearDown() override {
    if (child_ > 0) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
  }

  // Windowed preferences, so the program opens its 640 x 480 window.
  void Start() {
    const std::string program = std::string(DUVUVU_BUNDLE_DIR) + "/Contents/MacOS/Kestrova";
    ASSERT_EQ(access(program.c_str(), X_OK), 0) << program;
    ASSERT_TRUE(testsupport::WriteFile(home_ / "Kestrova Preferences.plist",
                                       "<dict><key>Full Screen</key><false/></dict>"));
    trace_ = home_ / "trace.txt";
    child_ = testsupport::StartBundleProgram(program, home_.path(), {"KESTROVA_TRACE=" + trace_});
    ASSERT_GE(child_, 0);
    // The button only answers once the loop steps.
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (CountSteps(trace_) <= 15) {
      ASSERT_LT(Clock::now(), deadline) << "the program drew no frame";
      ASSERT_EQ(waitpid(child_, nullptr, WNOHANG), 0) << "the program ended";
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  // Held over several steps, so the press and the release each meet a poll.
  void ClickAt(int x, int y) {
    ASSERT_TRUE(testsupport::RunXdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y)));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(testsupport::RunXdotool("mousedown 1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(testsupport::RunXdotool("mouseup 1"));
  }

  Geometry WaitForChange(const Geometry& from) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    Geometry now = ReadGeometry();
    while (now == from && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      now = ReadGeometry();
    }
    // Let a resize that comes in parts finish.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return ReadGeometry();
  }

  testsupport::TempDir home_;
  std::string trace_;
  pid_t child_ = -1;
};

// The clicks aim at logical (h 625, v 29): inside the button (top -1, bottom
// 34) only where the picture sits where it should; in full screen a picture
// stretched over all 1024 rows, or one without the top bar, puts that point
// below the button.
TEST_F(FullScreenButtonTest, ThreeClicksGoLargerThenFullScreenThenBack) {
  Start();
  // The window settles in its preferred size; what else is there if not.
  Geometry g = ReadGeometry();
  const auto settle = Clock::now() + std::chrono::seconds(5);
  while (!(g == Geometry{320, 272, 640, 480}) && Clock::now() < settle) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    g = ReadGeometry();
  }
  ASSERT_EQ(g, (Geometry{320, 272, 640, 480})) << Windows() << testsupport::ReadFile(trace_).substr(0, 2000);

  ClickAt(g.x + 625, g.y + 29);
  g = WaitForChange(g);
  ASSERT_EQ(g, (Geometry{128, 128, 1024, 768}));

  ClickAt(g.x + 1000, g.y + 46);  // scale 1.6
  g = WaitForChange(g);
  ASSERT_EQ(g, (Geometry{0, 0, 1280, 1024}));

  ClickAt(1250, 32 + 2 * 29);  // scale 2 below a 32-row bar
  g = WaitForChange(g);
  EXPECT_EQ(g, (Geometry{320, 272, 640, 480}));
  EXPECT_EQ(waitpid(child_, nullptr, WNOHANG), 0) << "the program ended";
}

}  // namespace
