#include "GameDriver.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Backend.h"
#include "Clocks.h"
#include "DrawGame.h"
#include "EventPoll.h"
#include "GLContext.h"
#include "GLFrame.h"
#include "GameSound.h"
#include "GameStartup.h"
#include "GraphicsStartup.h"
#include "Levels.h"
#include "MainLoop.h"
#include "MainWindow.h"
#include "PortDrawing.h"
#include "Ports.h"
#include "Random.h"
#include "ScreenList.h"
#include "Controls.h"
#include "SpritesStartup.h"
#include "Startup.h"
#include "Sys.h"

namespace gametest {

namespace {

// Some engine calls busy-wait on the tick count (a new sound channel waits 2
// ticks): outside the loop's own timed passes every clock read moves 0.1 ms.
constexpr uint64_t kBusyWaitNanoseconds = 100000;

class MovingClock {
 public:
  explicit MovingClock(testsupport::FakeClock& clock) : clock_(clock), saved_(clock.stepPerRead) {
    if (saved_ == 0) clock_.stepPerRead = kBusyWaitNanoseconds;
  }
  ~MovingClock() { clock_.stepPerRead = saved_; }
  MovingClock(const MovingClock&) = delete;
  MovingClock& operator=(const MovingClock&) = delete;

 private:
  testsupport::FakeClock& clock_;
  uint64_t saved_;
};

}  // namespace

int ScancodeForKeyCode(UInt8 keyCode) {
  switch (keyCode) {
    case 123: return SDL_SCANCODE_LEFT;
    case 124: return SDL_SCANCODE_RIGHT;
    case 126: return SDL_SCANCODE_UP;
    case 125: return SDL_SCANCODE_DOWN;
    case 49: return SDL_SCANCODE_SPACE;
    case 39: return SDL_SCANCODE_APOSTROPHE;
    case 138: return SDL_SCANCODE_CAPSLOCK;
    case 36: return SDL_SCANCODE_RETURN;
    case 53: return SDL_SCANCODE_ESCAPE;
    case 86: return SDL_SCANCODE_KP_4;
    case 88: return SDL_SCANCODE_KP_6;
    case 91: return SDL_SCANCODE_KP_8;
    case 87: return SDL_SCANCODE_KP_5;
    case 82: return SDL_SCANCODE_KP_0;
    default: return -1;
  }
}

const char* GameDriver::audioDriver = "null";

GameDriver::GameDriver(UInt32 seed) {
  home_ = std::make_unique<testsupport::TempDir>();
  setenv("AppData", home_->path().c_str(), 1);
  setenv("XDG_DATA_HOME", home_->path().c_str(), 1);
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("DUVUVU_MESSAGE_BOX", "stderr", 1);
  setenv("ALSOFT_DRIVERS", audioDriver, 1);
  unsetenv("KESTROVA_TRACE");
  unsetenv("KESTROVA_SEED");
  // The engine finds its resources from the executable's place in the bundle.
  savedExecutable_ = ExecutablePath();
  SetExecutablePathForTesting(std::string(DUVUVU_BUNDLE_DIR) + "/Contents/MacOS/Kestrova");
  testsupport::PinGraphicsLibraries();
  clock_ = std::make_unique<testsupport::FakeClock>();
  // Start-up waits on the clock (calibration, event flushes): let it move.
  clock_->stepPerRead = 100000;
  boxes_ = std::make_unique<testsupport::RecordingMessageBox>();
  // A fatal error ends the process from inside the recording sink: say why
  // before that happens.
  boxes_->onBox = [](const testsupport::RecordingMessageBox::Box& box) {
    std::fprintf(stderr, "GameDriver start-up box: %s: %s\n", box.caption.c_str(), box.text.c_str());
    std::fflush(stderr);
  };
  ScriptedBackend::Options options;
  options.withGL = true;
  backend_ = std::make_unique<ScriptedBackend>(options);
  previousBackend_ = SetBackend(backend_.get());

  ResetStartupListForTesting();
  RegisterCoreStartup();
  RegisterShellStartup();
  RegisterBlitterStartup();
  RegisterGraphicsStartup();
  RegisterSpritesStartup();
  RegisterAudioStartup();
  RegisterAdditionsStartup();
  RegisterGameStartup();
  RunStartup();
  StartKestrova();
  boxes_->onBox = nullptr;
  clock_->stepPerRead = 0;
  RandomSeed = seed;
  SetGameSoundSink(&GameDriver::RecordSound, this);
  SetBeforeSwapHook(&GameDriver::BeforeSwap, this);
  ResetFrameTimer();
}

GameDriver::~GameDriver() {
  SetBeforeSwapHook(nullptr, nullptr);
  SetGameSoundSink(nullptr, nullptr);
  // As the program ends: the displays close before the exits run.
  CloseDisplays();
  SetCurrentPort(nullptr);
  ResetMainWindowForTesting();
  ClearDisplaysReady();
  RunShutdown();
  // The screens and controls are gone: the next driver must not find them listed.
  ResetScreenListForTesting();
  ResetControlTrackingForTesting();
  ResetStartupListForTesting();
  SetBackend(previousBackend_);
  SetExecutablePathForTesting(savedExecutable_);
}

void GameDriver::BeforeSwap(void* self) {
  auto* driver = static_cast<GameDriver*>(self);
  ++driver->framesDrawn_;
  if (!driver->capture_) return;
  FramePicture& picture = driver->picture_;
  picture.geometry = GetGLFrameGeometry();
  picture.width = picture.geometry.window.right - picture.geometry.window.left;
  picture.height = picture.geometry.window.bottom - picture.geometry.window.top;
  picture.rgba.assign(static_cast<size_t>(picture.width) * picture.height * 4, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.data());
}

void GameDriver::RecordSound(const ::GameSoundRequest& request, void* self) {
  auto* driver = static_cast<GameDriver*>(self);
  driver->sounds_.push_back({GameSoundName(request.sound), request.point, request.volume, request.pitch});
}

void GameDriver::Hold(UInt8 keyCode, bool down) {
  int scancode = ScancodeForKeyCode(keyCode);
  if (scancode >= 0) backend_->SetKeyHeld(scancode, down);
}

bool GameDriver::step(const StepInput& input) {
  for (UInt8 key : held_)
    if (std::find(input.held.begin(), input.held.end(), key) == input.held.end()) Hold(key, false);
  for (UInt8 key : input.held) Hold(key, true);
  held_ = input.held;
  for (UInt8 key : input.keyDowns) {
    int scancode = ScancodeForKeyCode(key);
    if (scancode < 0) continue;
    backend_->PressKey(scancode);
    if (std::find(held_.begin(), held_.end(), key) == held_.end()) backend_->ReleaseKey(scancode);
  }
  if (input.moveMouse) {
    Point global = PortToGlobalPoint(input.mouse);
    backend_->SetGlobalMouse(global.h, global.v);
  }
  for (Point click : input.clicks) {
    Point window = PortToWindowPoint(click);
    backend_->PressButton(window.h, window.v);
    backend_->ReleaseButton(window.h, window.v);
  }
  sounds_.clear();
  bool completed;
  {
    MovingClock moving(*clock_);
    completed = RunGameStep();
  }
  if (completed) {
    char line[512];
    FormatTraceLine(line, sizeof line, ++stepCount_);
    trace_.emplace_back(line);
  }
  return completed;
}

void GameDriver::steps(int n, const StepInput& input) {
  for (int i = 0; i < n; ++i) step(input);
}

// The calibrated clock's scale is not exactly 1/1000 under the fake clock:
// move it to the first nanosecond at which the loop's own clock has advanced
// by the microseconds asked for.
void GameDriver::AdvanceLoopClock(uint64_t microseconds) {
  const uint64_t saved = clock_->stepPerRead;
  clock_->stepPerRead = 0;
  const double target = ElapsedMicroseconds() + static_cast<double>(microseconds);
  auto reaches = [this, target](uint64_t ns) {
    clock_->nanoseconds = ns;
    return ElapsedMicroseconds() >= target;
  };
  uint64_t low = clock_->nanoseconds;  // below the target unless it is 0
  uint64_t high = low + microseconds * 1000ull;
  for (uint64_t extra = 1000; !reaches(high); extra *= 2) high += extra;
  if (reaches(low)) high = low;
  while (high - low > 1) {
    const uint64_t middle = low + (high - low) / 2;
    if (reaches(middle))
      high = middle;
    else
      low = middle;
  }
  clock_->nanoseconds = high;
  clock_->stepPerRead = saved;
}

int GameDriver::pass(uint64_t microseconds) {
  AdvanceLoopClock(microseconds);
  sounds_.clear();
  return RunLoopPass();
}

const FramePicture& GameDriver::frame() {
  picture_ = FramePicture{};
  capture_ = true;
  DrawGameFrame();
  capture_ = false;
  return picture_;
}

void GameDriver::startGame() {
  {
    MovingClock moving(*clock_);
    SetFadeDark();
    StartGame();
  }
  // StartGame's own reset read a moving clock.
  ResetFrameTimer();
}

}  // namespace gametest
