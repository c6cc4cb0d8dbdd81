// Start-up to the first presented frame: the real program and a bare SDL2 GL
// program, started alternately under one private Xvfb, full screen and
// windowed. Prints the program's phases (medians, ms from the spawn), the
// bare program's first frame and the ratio of the two.
//
// usage: startup_bench [runs [program]]   (default 5 runs of the built program)
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long long Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Runs Xvfb with -displayfd; the display number, or -1.
int StartXvfb(pid_t* pid) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  *pid = fork();
  if (*pid == 0) {
    close(fds[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  char text[32] = {};
  size_t got = 0;
  while (got < sizeof text - 1) {
    const ssize_t n = read(fds[0], text + got, sizeof text - 1 - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
    if (std::memchr(text, '\n', got)) break;
  }
  close(fds[0]);
  return got > 0 ? std::atoi(text) : -1;
}

struct Phase {
  std::string name;
  double ms;  // from the spawn
};

struct Home {
  std::string path;
  Home() {
    char pattern[] = "/tmp/startup_bench.XXXXXX";
    if (mkdtemp(pattern)) path = pattern;
  }
  ~Home() {
    if (!path.empty()) std::system(("rm -rf '" + path + "'").c_str());
  }
};

std::vector<std::string> BaseEnvironment(const std::string& display, const std::string& home) {
  std::vector<std::string> env = {"DISPLAY=:" + display, "HOME=" + home,     "AppData=" + home,
                                  "XDG_DATA_HOME=" + home, "ALSOFT_DRIVERS=null", "ALSOFT_LOGLEVEL=0",
                                  "DUVUVU_MESSAGE_BOX=stderr"};
  for (const char* name : {"PATH", "XDG_RUNTIME_DIR", "LSAN_OPTIONS", "ASAN_OPTIONS", "UBSAN_OPTIONS"})
    if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
  return env;
}

// The program from spawn to its "first frame" phase; empty on failure.
std::vector<Phase> RunProgram(const std::string& program, const std::string& display, bool full) {
  Home home;
  if (home.path.empty()) return {};
  if (!full) {
    std::ofstream(home.path + "/Kestrova Preferences.plist") << "<dict><key>Full Screen</key><false/></dict>";
  }
  const std::string trace = home.path + "/trace.txt";
  std::vector<std::string> env = BaseEnvironment(display, home.path);
  env.push_back("KESTROVA_TRACE=" + trace);
  std::vector<char*> envp = Pointers(env);
  const long long start = Now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    execve(program.c_str(), argv, envp.data());
    _exit(127);
  }
  std::vector<Phase> phases;
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (Clock::now() < deadline) {
    std::ifstream in(trace);
    std::vector<Phase> read;
    bool done = false;
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("phase=", 0) != 0) continue;
      const size_t clock = line.find(" clock=");
      const size_t name = line.find(" name=");
      if (clock == std::string::npos || name == std::string::npos) continue;
      const double ms = (std::atoll(line.c_str() + clock + 7) - start) / 1e6;
      read.push_back(Phase{line.substr(name + 6), ms});
      if (read.back().name == "first frame") done = true;
    }
    if (done) {
      phases = read;
      break;
    }
    if (waitpid(child, nullptr, WNOHANG) == child) return {};
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  return phases;
}

// The bare program's first frame from spawn, in ms; negative on failure.
double RunBare(const std::string& bare, const std::string& display, bool full) {
  Home home;
  std::vector<std::string> env = BaseEnvironment(display, home.path);
  std::vector<char*> envp = Pointers(env);
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const long long start = Now();
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    dup2(fds[1], 1);
    char mode[] = "window";
    char fullMode[] = "full";
    char* argv[] = {const_cast<char*>(bare.c_str()), full ? fullMode : mode, nullptr};
    execve(bare.c_str(), argv, envp.data());
    _exit(127);
  }
  close(fds[1]);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  const size_t at = text.find("clock=");
  if (at == std::string::npos) return -1;
  return (std::atoll(text.c_str() + at + 6) - start) / 1e6;
}

struct ModeResult {
  std::vector<std::vector<Phase>> runs;
  std::vector<double> bare;
};

void Report(const char* mode, const ModeResult& result) {
  std::printf("\n== %s: %zu runs ==\n", mode, result.runs.size());
  if (result.runs.empty() || result.bare.empty()) {
    std::printf("no complete run\n");
    return;
  }
  // The phases of the first run name the rows; a run without the same list
  // is left out of that row.
  std::printf("%-40s %10s %10s\n", "phase", "at ms", "step ms");
  const std::vector<Phase>& names = result.runs.front();
  for (size_t i = 0; i < names.size(); ++i) {
    std::vector<double> at;
    std::vector<double> step;
    for (const std::vector<Phase>& run : result.runs) {
      if (run.size() != names.size() || run[i].name != names[i].name) continue;
      at.push_back(run[i].ms);
      step.push_back(i == 0 ? run[i].ms : run[i].ms - run[i - 1].ms);
    }
    std::printf("%-40s %10.1f %10.1f\n", names[i].name.c_str(), Median(at), Median(step));
  }
  std::vector<double> first;
  for (const std::vector<Phase>& run : result.runs) first.push_back(run.back().ms);
  const double program = Median(first);
  const double bare = Median(result.bare);
  std::printf("program first frame %.1f ms, bare first frame %.1f ms, ratio %.2f (target <= 1.5)\n", program, bare,
              program / bare);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string program = argc > 2 ? argv[2] : STARTUP_BENCH_PROGRAM;
  const std::string bare = STARTUP_BENCH_BARE;
  pid_t xvfb = -1;
  const int number = StartXvfb(&xvfb);
  if (number < 0) {
    std::fprintf(stderr, "startup_bench: Xvfb did not start\n");
    if (xvfb > 0) kill(xvfb, SIGTERM);
    return 1;
  }
  const std::string display = std::to_string(number);
  // One unmeasured start of each warms the file cache.
  RunBare(bare, display, false);
  RunProgram(program, display, false);

  ModeResult full;
  ModeResult windowed;
  bool failed = false;
  for (int i = 0; i < runs; ++i) {
    for (bool fullScreen : {true, false}) {
      ModeResult& result = fullScreen ? full : windowed;
      const double b = RunBare(bare, display, fullScreen);
      std::vector<Phase> p = RunProgram(program, display, fullScreen);
      if (b < 0 || p.empty()) {
        failed = true;
        std::fprintf(stderr, "startup_bench: a %s run failed\n", fullScreen ? "full-screen" : "windowed");
        continue;
      }
      result.bare.push_back(b);
      result.runs.push_back(std::move(p));
    }
  }
  kill(xvfb, SIGTERM);
  waitpid(xvfb, nullptr, 0);
  Report("full screen", full);
  Report("windowed", windowed);
  return failed ? 1 : 0;
}
