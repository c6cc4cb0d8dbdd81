// A backend driven by tests: scripted input, in-memory windows on a 1280 x 1024
// display, recordings of what the shell asked for, and injectable failures.
// Times come from MonotonicMilliseconds, so a FakeClock sets them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Backend.h"

class ScriptedBackend : public Backend {
 public:
  struct Options {
    // Back each window with a hidden SDL OpenGL window under the current video
    // driver, so GL can be made current on it. Input stays scripted.
    bool withGL = false;
  };
  ScriptedBackend();
  explicit ScriptedBackend(const Options& options);
  ~ScriptedBackend() override;
  ScriptedBackend(const ScriptedBackend&) = delete;
  ScriptedBackend& operator=(const ScriptedBackend&) = delete;

  // Script: input ---------------------------------------------------------------

  // Queues a key event for an SDL scancode with the US key code (or the one
  // given), on the focus window, timed now, with the current toggles. A down
  // holds the key and latches it; an up releases it.
  void PressKey(int scancode, int32_t keyCode = 0);
  void RepeatKey(int scancode, int32_t keyCode = 0);
  void ReleaseKey(int scancode, int32_t keyCode = 0);
  // Text as the system's text input hands it over (UTF-8 in): one Text event
  // per Latin-1 character, on the focus window, whatever SetTextInput says.
  // Scripted key events never defer their characters to text (typesAsText).
  void TypeText(const char* utf8);
  // Down and up in one pump: the key reads as down until ClearKeyLatch.
  void TapKey(int scancode);
  // Changes the physical key state without any event (focus elsewhere).
  void SetKeyHeld(int scancode, bool held);
  void SetToggles(bool capsLockOn, bool numLockOn);
  // Left button at client (x, y) of the focus window; also sets LeftButton.
  void PressButton(int x, int y);
  void ReleaseButton(int x, int y);
  // Relative motion for TakeMotion (accumulates until taken).
  void AddMotion(int dx, int dy);
  void SetGlobalMouse(int x, int y);
  void SetLeftButton(bool down);
  // Window events as the desktop would send them.
  void PushClose(uint32_t window);
  void PushMaximize(uint32_t window);
  void PushRestore(uint32_t window);
  // Any event as given (time 0 is replaced by now).
  void Push(const NativeEvent& event);
  // Which window has the keyboard focus; by default the frontmost visible one.
  void SetFocus(uint32_t window);
  void SetDisplaySize(int width, int height);
  void SetBorders(const PlatformRect& borders) { borders_ = borders; }
  // Result the recording opener gives.
  void SetOpenResult(int result) { openResult_ = result; }

  // Script: the input box ----------------------------------------------------------

  // The next box plays these messages, each once its delay after the opening
  // has passed; an EditChanged also becomes the field's text.
  struct TimedInputBoxMessage {
    InputBoxMessage message;
    uint32_t afterMs = 0;
  };
  void ScriptInputBox(std::vector<TimedInputBoxMessage> messages, std::string fieldText);
  struct InputBoxRecord {
    PlatformRect frame;
    std::string prompt;
    std::string initial;
    std::string fontPath;
    bool closed = false;
  };
  const std::vector<InputBoxRecord>& inputBoxes() const { return inputBoxes_; }

  // Script: joysticks ---------------------------------------------------------------

  struct ScriptedJoystick {
    std::string name;  // empty: no name
    int axes = 0, balls = 0, hats = 0, buttons = 0;
    bool failOpen = false;
  };
  // Attached at the next index; returns it.
  int AttachJoystick(const ScriptedJoystick& joystick);
  // Later joysticks move down one index.
  void DetachJoystick(int index);
  void PushJoyEvent(const JoyEvent12& event) { joyEvents_.push_back(event); }
  size_t queuedJoyEvents() const { return joyEvents_.size(); }
  int joyEventsEnabled() const { return joyEventsEnabled_; }

  // Injected failures -------------------------------------------------------------

  bool failInputBox = false;

  bool failVideoInit = false;
  bool failKeyRead = false;
  bool failMouseRead = false;
  bool failWindowCreate = false;
  bool failRectRead = false;

  // Recordings --------------------------------------------------------------------

  struct FullScreenSwitch {
    uint32_t window;
    bool on;
  };
  const std::vector<FullScreenSwitch>& fullScreenSwitches() const { return fullScreenSwitches_; }
  // Every ShowCursor call's argument, in order.
  const std::vector<bool>& cursorCalls() const { return cursorCalls_; }
  bool cursorShown() const { return cursorShown_; }
  // Texts given to OpenExternal, in order.
  const std::vector<std::string>& openedTexts() const { return openedTexts_; }
  // One line per call that changes something outside the program, in order:
  // "video", "create <id>", "destroy <id>", "show <id>", "hide <id>",
  // "raise <id>", "title <id> <utf8>", "rect <id> t l b r",
  // "fullscreen <id> 0|1", "cursor 0|1", "open <text>".
  const std::vector<std::string>& log() const { return log_; }
  std::string WindowTitle(uint32_t id) const;  // UTF-8
  bool videoUp() const { return videoUp_; }
  int pumpCount() const { return pumps_; }
  size_t queuedEvents() const { return queue_.size(); }
  size_t windowCount() const { return windows_.size(); }

  // Backend ---------------------------------------------------------------------

  bool InitVideo() override;
  void Pump() override;
  bool NextEvent(NativeEvent& out, bool remove) override;
  bool ReadKeyState(uint8_t dik[256]) override;
  bool IsKeyHeld(uint8_t dik) override;
  void ClearKeyLatch() override;
  bool TakeMotion(int& dx, int& dy) override;
  void GlobalMouse(int& x, int& y) override;
  bool LeftButton() override;
  uint32_t CreateWindow(const PlatformRect& content) override;
  void DestroyWindow(uint32_t id) override;
  void ShowWindow(uint32_t id) override;
  void HideWindow(uint32_t id) override;
  void RaiseWindow(uint32_t id) override;
  bool IsWindowVisible(uint32_t id) override;
  void SetWindowTitle(uint32_t id, const char* latin1) override;
  bool GetContentRect(uint32_t id, PlatformRect& out) override;
  void SetContentRect(uint32_t id, const PlatformRect& content) override;
  PlatformRect Borders(uint32_t id) override;
  void SetFullScreen(uint32_t id, bool on) override;
  bool IsFullScreen(uint32_t id) override;
  void DisplaySize(int& width, int& height) override;
  uint32_t FocusWindow() override;
  void* NativeWindow(uint32_t id) override;
  int OpenExternal(const char* text) override;
  uint32_t OpenInputBox(const PlatformRect& frame, const char* prompt, const char* initial,
                        const char* fontPath) override;
  bool NextInputBoxMessage(uint32_t box, InputBoxMessage& out) override;
  std::string InputBoxText(uint32_t box) override;
  void CloseInputBox(uint32_t box) override;
  int JoyCount() override;
  const char* JoyNameForIndex(int index) override;
  JoyHandle JoyOpen(int index) override;
  void JoyClose(JoyHandle joystick) override;
  int JoyIndexOf(JoyHandle joystick) override;
  void JoyCounts(JoyHandle joystick, int& axes, int& balls, int& hats, int& buttons) override;
  void JoyEnableEvents() override { ++joyEventsEnabled_; }
  bool JoyNextEvent(JoyEvent12& out) override;

 protected:
  void CursorCountChanged(bool show, int count) override;

 private:
  struct Window {
    PlatformRect content;
    PlatformRect windowed;  // the rectangle to go back to from full screen
    bool visible = false;
    bool fullScreen = false;
    std::string title;
    void* gl = nullptr;  // SDL_Window*
  };
  Window* Find(uint32_t id);
  void QueueKey(NativeEventKind kind, int scancode, int32_t keyCode, bool repeat);
  void QueueWindowEvent(NativeEventKind kind, uint32_t window);
  void Log(const std::string& line) { log_.push_back(line); }

  Options options_;
  std::vector<NativeEvent> queue_;
  bool held_[512] = {};
  bool latched_[512] = {};
  bool capsLockOn_ = false;
  bool numLockOn_ = false;
  int motionX_ = 0;
  int motionY_ = 0;
  int mouseX_ = 0;
  int mouseY_ = 0;
  bool leftButton_ = false;
  bool focusSet_ = false;
  uint32_t focus_ = 0;
  int displayWidth_ = 1280;
  int displayHeight_ = 1024;
  PlatformRect borders_;
  int openResult_ = 0;
  uint32_t nextId_ = 1;
  std::map<uint32_t, Window> windows_;
  std::vector<FullScreenSwitch> fullScreenSwitches_;
  std::vector<bool> cursorCalls_;
  bool cursorShown_ = true;
  std::vector<std::string> openedTexts_;
  std::vector<std::string> log_;
  std::vector<TimedInputBoxMessage> boxScript_;
  std::string boxField_;
  std::vector<InputBoxRecord> inputBoxes_;
  uint32_t boxOpenedMs_ = 0;
  bool boxOpen_ = false;
  struct AttachedJoystick {
    ScriptedJoystick joystick;
    int serial;  // the handle
  };
  std::vector<AttachedJoystick> joysticks_;
  int nextJoystickSerial_ = 1;
  std::vector<JoyEvent12> joyEvents_;
  int joyEventsEnabled_ = 0;
  bool videoUp_ = false;
  bool sdlVideoStarted_ = false;
  int pumps_ = 0;
};
