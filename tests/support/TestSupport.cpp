#include "TestSupport.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
// Set in the children RunInChild makes.
bool gInForkedChild = false;
}  // namespace

// LeakSanitizer asks this at exit. A forked child skips its leak check: its
// heap is the parent's, copied, whose own check at exit still runs, and the
// fatal paths the children test leave their blocks by design. Scanning a
// graphics process's heap costs a tenth of a second in each child.
extern "C" int __lsan_is_turned_off() { return gInForkedChild ? 1 : 0; }

namespace testsupport {

ChildResult RunInChild(const std::function<void()>& body, int timeoutMs) {
  ChildResult result;
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return result;
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    gInForkedChild = true;
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(out[0]);
    close(err[0]);
    close(out[1]);
    close(err[1]);
    body();
    std::fflush(nullptr);
    std::exit(0);
  }
  close(out[1]);
  close(err[1]);

  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      kill(pid, SIGKILL);
      result.timedOut = true;
      break;
    }
    if (poll(fds, 2, static_cast<int>(left)) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? result.stdoutText : result.stderrText).append(buffer, static_cast<size_t>(n));
      }
    }
  }
  for (auto& fd : fds)
    if (fd.fd >= 0) close(fd.fd);

  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) {
    result.exited = true;
    result.exitStatus = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  return result;
}

RecordingMessageBox::RecordingMessageBox() { previous_ = SetMessageBoxSink(&RecordingMessageBox::Sink, this); }

RecordingMessageBox::~RecordingMessageBox() {
  SetMessageBoxSink(previous_ == DefaultMessageBoxSink ? nullptr : previous_, nullptr);
}

void RecordingMessageBox::Sink(const char* caption, const char* text, void* self) {
  auto* me = static_cast<RecordingMessageBox*>(self);
  me->boxes_.push_back({caption ? caption : "", text ? text : ""});
  if (me->onBox) me->onBox(me->boxes_.back());
}

TempDir::TempDir() {
  std::string base = std::filesystem::temp_directory_path().string() + "/duvuvu-XXXXXX";
  char* made = mkdtemp(base.data());
  path_ = made ? made : "";
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

FakeClock::FakeClock() {
  source_.context = this;
  source_.monotonicNanoseconds = [](void* c) {
    auto* me = static_cast<FakeClock*>(c);
    uint64_t now = me->nanoseconds;
    me->nanoseconds += me->stepPerRead;
    return now;
  };
  source_.wallSeconds = [](void* c) { return static_cast<FakeClock*>(c)->wallSeconds; };
  source_.localOffsetSeconds = [](void* c) { return static_cast<FakeClock*>(c)->localOffsetSeconds; };
  source_.sleepMilliseconds = [](void* c, uint32_t ms) { static_cast<FakeClock*>(c)->AdvanceMilliseconds(ms); };
  SetClockSource(&source_);
}

FakeClock::~FakeClock() { SetClockSource(nullptr); }

bool RunXdotool(const std::string& args) {
  return std::system(("timeout 10 xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
}

namespace {

// Xlib is looked up at run time, so the tests need no X library of their
// own; its macros would also clash with the test framework's names.
struct XClientMessage {
  int type;
  unsigned long serial;
  int sendEvent;
  void* display;
  unsigned long window;
  unsigned long messageType;
  int format;
  long data[5];
};
union XEventRecord {
  XClientMessage client;
  long pad[24];
};
constexpr int kXClientMessage = 33;

bool SendDeleteWindowTo(unsigned long window) {
  void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  if (!xlib) return false;
  auto openDisplay = reinterpret_cast<void* (*)(const char*)>(dlsym(xlib, "XOpenDisplay"));
  auto internAtom = reinterpret_cast<unsigned long (*)(void*, const char*, int)>(dlsym(xlib, "XInternAtom"));
  auto sendEvent = reinterpret_cast<int (*)(void*, unsigned long, int, long, XEventRecord*)>(dlsym(xlib, "XSendEvent"));
  auto flush = reinterpret_cast<int (*)(void*)>(dlsym(xlib, "XFlush"));
  auto closeDisplay = reinterpret_cast<int (*)(void*)>(dlsym(xlib, "XCloseDisplay"));
  bool sent = false;
  if (openDisplay && internAtom && sendEvent && flush && closeDisplay) {
    if (void* display = openDisplay(nullptr)) {
      XEventRecord event{};
      event.client.type = kXClientMessage;
      event.client.window = window;
      event.client.messageType = internAtom(display, "WM_PROTOCOLS", 0);
      event.client.format = 32;
      event.client.data[0] = static_cast<long>(internAtom(display, "WM_DELETE_WINDOW", 0));
      sent = sendEvent(display, window, 0, 0, &event) != 0;
      flush(display);
      closeDisplay(display);
    }
  }
  dlclose(xlib);
  return sent;
}

}  // namespace

pid_t StartBundleProgram(const std::string& program, const std::string& home, const std::vector<std::string>& extra) {
  std::vector<std::string> env = {"AppData=" + home,        "XDG_DATA_HOME=" + home, "HOME=" + home,
                                  "ALSOFT_DRIVERS=null",    "ALSOFT_LOGLEVEL=0",     "DUVUVU_MESSAGE_BOX=stderr"};
  if (const char* display = std::getenv("DISPLAY"))
    env.push_back(std::string("DISPLAY=") + display);
  else
    env.push_back("SDL_VIDEODRIVER=offscreen");
  for (const char* name : {"PATH", "XDG_RUNTIME_DIR", "LSAN_OPTIONS", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LP_NUM_THREADS"})
    if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
  env.insert(env.end(), extra.begin(), extra.end());
  std::vector<char*> envp;
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    execve(program.c_str(), argv, envp.data());
    _exit(127);
  }
  return child;
}

bool SendDeleteWindow(const std::string& window) {
  char* end = nullptr;
  const unsigned long id = std::strtoul(window.c_str(), &end, 10);
  if (window.empty() || *end) return false;
  return SendDeleteWindowTo(id);
}

std::string FindAndFocusXWindow(const std::string& title) {
  // Bounded, so a window that never appears fails a test instead of hanging
  // it; generous, since a sanitized program on a loaded machine starts slowly.
  std::string window;
  FILE* p = popen(("timeout 60 xdotool search --sync --name '^" + title + "$' 2>/dev/null").c_str(), "r");
  if (p) {
    char line[64] = {};
    if (fgets(line, sizeof line, p)) window = std::string(line, strcspn(line, "\n"));
    pclose(p);
  }
  if (!window.empty()) RunXdotool("windowfocus --sync " + window);
  return window;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

PlistlibResult ReadWithPlistlib(const std::string& path, const std::string& expression) {
  PlistlibResult result;
  if (std::system("command -v python3 >/dev/null 2>&1") != 0) return result;
  result.available = true;
  TempDir dir;
  const std::string script = dir / "read.py";
  if (!WriteFile(script, "import plistlib, sys\n"
                         "d = plistlib.load(open(sys.argv[1], 'rb'), fmt=plistlib.FMT_XML)\n"
                         "sys.stdout.buffer.write(str(" + expression + ").encode())\n")) {
    result.out = "cannot write " + script;
    return result;
  }
  FILE* p = popen(("python3 '" + script + "' '" + path + "' 2>&1").c_str(), "r");
  if (!p) {
    result.out = "cannot start python3";
    return result;
  }
  char buffer[256];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) result.out.append(buffer, n);
  result.status = pclose(p);
  return result;
}

bool PinGraphicsLibraries() {
  bool all = true;
  // Never closed: RTLD_NODELETE keeps them mapped past SDL's unloading.
  for (const char* name : {"libGLX_mesa.so.0", "libEGL_mesa.so.0"})
    if (!dlopen(name, RTLD_NOW | RTLD_NODELETE)) all = false;
  std::vector<std::string> driverDirs;
  if (const char* env = std::getenv("LIBGL_DRIVERS_PATH")) driverDirs.emplace_back(env);
  for (const char* dir : {"/usr/lib/x86_64-linux-gnu/dri", "/usr/lib64/dri", "/usr/lib/dri"})
    driverDirs.emplace_back(dir);
  bool swrast = false;
  for (const std::string& dir : driverDirs) {
    if (dlopen((dir + "/swrast_dri.so").c_str(), RTLD_NOW | RTLD_NODELETE)) {
      swrast = true;
      break;
    }
  }
  return all && swrast;
}

}  // namespace testsupport
