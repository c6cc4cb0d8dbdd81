// The headless game: the engine on the scripted backend with hidden GL
// windows, the fake clock, recording sinks and the built bundle's assets.
// step() runs exactly the body of one main-loop step.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GLFrame.h"
#include "GameGlobals.h"
#include "GameSound.h"
#include "MacTypes.h"
#include "ScriptedBackend.h"
#include "TestSupport.h"

namespace gametest {

struct StepInput {
  std::vector<UInt8> held;  // engine key codes held this step
  std::vector<UInt8> keyDowns;  // key-down events delivered this step
  std::vector<Point> clicks;    // mouse down then up at a logical point
  bool moveMouse = false;
  Point mouse = {0, 0};  // logical
};

struct SoundRecord {
  std::string name;
  Point point;
  float volume;
  float pitch;
};

// A drawn frame as read back just before the swap, bottom row first.
struct FramePicture {
  std::vector<uint8_t> rgba;
  int width = 0;
  int height = 0;
  GLFrameGeometry geometry{};

  // The pixel under a logical point (x, y from the top left).
  const uint8_t* At(int x, int y) const {
    const int wx = static_cast<int>(geometry.offsetH + (x + 0.5f) * geometry.scale);
    const int wy = static_cast<int>(geometry.offsetV + (y + 0.5f) * geometry.scale);
    return &rgba[(static_cast<size_t>(height - 1 - wy) * width + wx) * 4];
  }
};

class GameDriver {
 public:
  // OpenAL Soft reads it once per process: a test program of its own may
  // set another before its first driver (the no-device program: "wave").
  static const char* audioDriver;

  explicit GameDriver(UInt32 seed);
  ~GameDriver();
  GameDriver(const GameDriver&) = delete;
  GameDriver& operator=(const GameDriver&) = delete;

  // One loop step; false when a quit ended it early. During step() and
  // startGame() each clock read moves the fake clock 0.1 ms (some engine calls
  // busy-wait on ticks); pass() leaves the clock to the test.
  bool step(const StepInput& input = {});
  void steps(int n, const StepInput& input = {});
  // One loop pass with the loop's clock (ElapsedMicroseconds) advanced by
  // exactly that much first; the number of steps that ran.
  int pass(uint64_t microseconds);
  // One DrawGameFrame; the picture it left in the back buffer before the
  // swap (empty while a test has put its own swap hook in place).
  const FramePicture& frame();
  // Frames swapped since the driver came up.
  int framesDrawn() const { return framesDrawn_; }
  void startGame();

  const std::vector<SoundRecord>& sounds() const { return sounds_; }
  const std::vector<std::string>& trace() const { return trace_; }
  const std::vector<testsupport::RecordingMessageBox::Box>& boxes() const { return boxes_->boxes(); }
  ScriptedBackend& backend() { return *backend_; }
  testsupport::FakeClock& clock() { return *clock_; }

 private:
  void AdvanceLoopClock(uint64_t microseconds);
  static void BeforeSwap(void* self);
  static void RecordSound(const ::GameSoundRequest& request, void* self);
  void Hold(UInt8 keyCode, bool down);

  std::unique_ptr<testsupport::TempDir> home_;
  std::unique_ptr<testsupport::FakeClock> clock_;
  std::unique_ptr<testsupport::RecordingMessageBox> boxes_;
  std::unique_ptr<ScriptedBackend> backend_;
  Backend* previousBackend_ = nullptr;
  std::vector<UInt8> held_;
  std::vector<SoundRecord> sounds_;
  std::vector<std::string> trace_;
  unsigned long stepCount_ = 0;
  std::string savedExecutable_;
  FramePicture picture_;
  bool capture_ = false;
  int framesDrawn_ = 0;
};

// The SDL scancode of an engine key code the game uses; -1 for others.
int ScancodeForKeyCode(UInt8 keyCode);

}  // namespace gametest
