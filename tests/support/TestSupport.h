// Shared fixtures for the engine's tests.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Sys.h"

namespace testsupport {

struct ChildResult {
  bool exited = false;     // ended through exit() or a return from main
  int exitStatus = -1;     // valid when exited
  int signal = 0;          // the signal that ended it, 0 for none
  bool timedOut = false;   // killed after the time limit
  std::string stdoutText;
  std::string stderrText;
};

// Runs body in a forked child (which leaves with status 0 when body returns)
// and collects how it ended and what it printed.
ChildResult RunInChild(const std::function<void()>& body, int timeoutMs = 30000);

// Records every message box while alive; restores the previous sink after.
class RecordingMessageBox {
 public:
  struct Box {
    std::string caption;
    std::string text;
  };
  RecordingMessageBox();
  ~RecordingMessageBox();
  RecordingMessageBox(const RecordingMessageBox&) = delete;
  RecordingMessageBox& operator=(const RecordingMessageBox&) = delete;

  const std::vector<Box>& boxes() const { return boxes_; }
  // Called after each box is recorded (for ordering checks).
  std::function<void(const Box&)> onBox;

 private:
  static void Sink(const char* caption, const char* text, void* self);
  std::vector<Box> boxes_;
  MessageBoxSink previous_;
};

// A fresh folder under $TMPDIR, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Stands in for the system's clocks while alive. Time moves only when the test
// moves it, by `stepPerRead` at each monotonic read, or by a sleep.
class FakeClock {
 public:
  FakeClock();
  ~FakeClock();
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  uint64_t nanoseconds = 1000000000ull;
  int64_t wallSeconds = 1700000000;  // 2023-11-14 22:13:20 UTC
  int32_t localOffsetSeconds = 0;
  uint64_t stepPerRead = 0;

  void AdvanceMilliseconds(uint64_t ms) {
    nanoseconds += ms * 1000000ull;
  }

 private:
  ClockSource source_;
};

// Loads the GL driver libraries for good before SDL_Init in binaries that open
// windows or GL: SDL's video start-up and Mesa leave small blocks behind, and
// LeakSanitizer can only name (and suppress) them while their module is still
// mapped at exit. Returns false when one of them could not be loaded.
bool PinGraphicsLibraries();

// Runs xdotool with the given arguments, bounded to 10 s; true on success.
bool RunXdotool(const std::string& args);
// The X window id of our window with exactly this title, after waiting up to
// 10 s for it to appear; empty when it never does. The window is focused.
std::string FindAndFocusXWindow(const std::string& title);
// Starts the built program as a new user would meet it: its preferences
// folder (AppData, XDG_DATA_HOME, HOME) at home, the null sound driver, boxes
// on stderr, the test's display (or SDL's offscreen driver without one) and
// the sanitizers' options; then the extra "NAME=value" entries. The child's
// process id, or -1.
pid_t StartBundleProgram(const std::string& program, const std::string& home, const std::vector<std::string>& extra);
// Asks the window to close as its close button does (WM_DELETE_WINDOW).
bool SendDeleteWindow(const std::string& window);

// Writes a whole file (binary); returns false on failure.
bool WriteFile(const std::string& path, const std::string& bytes);
// Reads a whole file; empty when missing.
std::string ReadFile(const std::string& path);

// What python3's plistlib, a reader other than ours, makes of the property
// list at `path`: the text of the Python `expression`, evaluated with the
// list loaded as `d`. `available` is false only when python3 is not
// installed; `status` is the script's exit status and `out` its output.
struct PlistlibResult {
  bool available = false;
  int status = -1;
  std::string out;
};
PlistlibResult ReadWithPlistlib(const std::string& path, const std::string& expression);

}  // namespace testsupport
