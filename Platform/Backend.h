// The window, input and timer services the shell runs on. One backend object
// serves the whole program: the SDL backend, or a scripted one in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Screen rectangle in pixels; Platform sits below Core, so no Core Rect here.
struct PlatformRect {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
};

inline bool operator==(const PlatformRect& a, const PlatformRect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

enum class NativeEventKind : uint8_t {
  KeyDown,
  KeyUp,
  ButtonDown,  // left button only
  ButtonUp,
  Motion,      // the pointer moved over one of our windows
  Close,       // the window's close button or the desktop asked to close it
  Maximize,    // the user maximised the window
  Restore,     // the user restored a maximised window
  Posted,      // a PostMessage message
  Text,        // one character typed while text input is on (param: Latin-1)
  Other,
};

struct NativeEvent {
  NativeEventKind kind = NativeEventKind::Other;
  uint32_t window = 0;    // our window id, 0 for none
  uint32_t timeMs = 0;    // MonotonicMilliseconds when it arrived
  int scancode = 0;       // SDL scancode (keys; Text: the key down before it, 0 for none)
  int32_t keyCode = 0;    // SDL key code, layout-aware (keys; Text: as scancode)
  bool repeat = false;    // auto-repeat key down
  // A key down while text input is on: the character it types, if any, comes
  // as a Text event of its own.
  bool typesAsText = false;
  bool capsLockOn = false;  // toggles at the time of a key event
  bool numLockOn = false;
  int x = 0;              // pointer in the window's client coordinates (buttons, motion)
  int y = 0;
  uint32_t message = 0;   // Posted
  uint32_t param = 0;
};

// What the input box reports (see Backend::OpenInputBox).
struct InputBoxMessage {
  enum class Kind : uint8_t { Close, ReturnUp, EditChanged, Command };
  Kind kind = Kind::Close;
  bool boxHasFocus = false;  // ReturnUp: the box, not its field, had the keyboard
  std::string text;          // EditChanged: the field's whole text (Latin-1)
  uint32_t command = 0;      // Command: 1002 Ok, 1003 Cancel
};

// A joystick event in the 20-byte record of the older SDL event interface:
// type (axis 7, ball 8, hat 9, button down 10, up 11), the device index of the
// event's joystick (255 when none), the axis, ball, hat or button, the hat
// value or button state, the axis value or ball dx, the ball dy.
struct JoyEvent12 {
  uint8_t type = 0;
  uint8_t device = 0;
  uint8_t input = 0;
  uint8_t state = 0;
  int16_t value = 0;
  int16_t dy = 0;
  uint8_t unused[12] = {};
};
static_assert(sizeof(JoyEvent12) == 20);
using JoyHandle = void*;

// Runs on the main thread from RunDueTimers.
using TimerProc = void (*)(uint32_t timerId, void* context);

// Opens a URL or file with the desktop's handler; 0 when it was handed over.
using ExternalOpener = int (*)(const char* text, void* context);

class Backend {
 public:
  virtual ~Backend() = default;

  // Video and input -----------------------------------------------------------

  // Starts the video subsystem (text input off); true when it is up.
  virtual bool InitVideo() = 0;
  // Fetches pending input from the system; key downs seen here are latched.
  virtual void Pump() = 0;
  // Posted messages first, then input in arrival order. Events without a
  // meaning for the shell are consumed here and never handed out.
  virtual bool NextEvent(NativeEvent& out, bool remove) = 0;
  void PostMessage(uint32_t message, uint32_t param);

  // 256 bytes, DirectInput-numbered, 0x80 for a key that is held or whose
  // down was pumped since the last ClearKeyLatch. False (all clear) on failure.
  virtual bool ReadKeyState(uint8_t dik[256]) = 0;
  // One entry of that state, without building the rest; false when the state
  // cannot be read.
  virtual bool IsKeyHeld(uint8_t dik) = 0;
  virtual void ClearKeyLatch() = 0;
  // Relative mouse motion since the last call; false when it cannot be read.
  virtual bool TakeMotion(int& dx, int& dy) = 0;
  // The pointer in desktop coordinates.
  virtual void GlobalMouse(int& x, int& y) = 0;
  virtual bool LeftButton() = 0;
  // Display count, as the Windows call keeps it: the cursor shows while >= 0.
  int ShowCursor(bool show);
  int CursorCount() const { return cursorCount_; }
  // Only recorded (see Sys.h): the pointer is never confined.
  void SetPointerAssociated(bool associated);
  // Typed characters as the keyboard layout makes them (Text events); off
  // after InitVideo.
  void SetTextInput(bool on);
  bool TextInputOn() const { return textInput_; }

  // Windows -------------------------------------------------------------------

  // A hidden, OpenGL-capable, fixed-size window with the given content
  // rectangle (desktop coordinates). Returns its non-zero id, 0 on failure.
  virtual uint32_t CreateWindow(const PlatformRect& content) = 0;
  virtual void DestroyWindow(uint32_t id) = 0;
  virtual void ShowWindow(uint32_t id) = 0;
  virtual void HideWindow(uint32_t id) = 0;
  virtual void RaiseWindow(uint32_t id) = 0;
  virtual bool IsWindowVisible(uint32_t id) = 0;
  // The title in Latin-1; shown as UTF-8.
  virtual void SetWindowTitle(uint32_t id, const char* latin1) = 0;
  // Content rectangle in desktop coordinates; false for an unknown window.
  virtual bool GetContentRect(uint32_t id, PlatformRect& out) = 0;
  virtual void SetContentRect(uint32_t id, const PlatformRect& content) = 0;
  // Frame thickness on each side (top, left, bottom, right); 0 when unknown.
  virtual PlatformRect Borders(uint32_t id) = 0;
  // Desktop-sized borderless window, or back to the rectangle it had before.
  virtual void SetFullScreen(uint32_t id, bool on) = 0;
  virtual bool IsFullScreen(uint32_t id) = 0;
  // Size of display 0.
  virtual void DisplaySize(int& width, int& height) = 0;
  // Our window with the keyboard focus, 0 when none of ours has it.
  virtual uint32_t FocusWindow() = 0;
  // Our topmost visible window whose frame holds the desktop point, else 0.
  uint32_t WindowAt(int x, int y);
  // Z-order over our windows, front first: 0 gives the frontmost; 0 at the end.
  uint32_t NextWindow(uint32_t id) const;
  const std::vector<uint32_t>& WindowOrder() const { return order_; }
  // The SDL_Window* behind an id (for GL contexts and message boxes), nil if none.
  virtual void* NativeWindow(uint32_t id) = 0;

  // Timers (main thread only; never SDL timers) ------------------------------

  // Ids are non-zero and never reused in a run. Due interval ms after the
  // timer was set or last ran.
  uint32_t SetTimer(uint32_t intervalMs, TimerProc proc, void* context);
  void KillTimer(uint32_t id);
  // Runs each due timer at most once; does nothing when re-entered.
  void RunDueTimers();
  size_t TimerCount() const { return timers_.size(); }

  // The input box ---------------------------------------------------------------
  // A small window of its own asking for one line of text: a prompt, an edit
  // field and "Ok" and "Cancel" (SdlInputBox.cpp unless a backend overrides).

  // frame in desktop coordinates; glyphs from the font file (none when it
  // does not load). 0 when no box can be made.
  virtual uint32_t OpenInputBox(const PlatformRect& frame, const char* prompt, const char* initial,
                                const char* fontPath);
  // Takes the box's next message; events of other windows are dropped, but a
  // quit or another window's close request is queued again when the box
  // closes. Closing leaves text input as the box found it.
  virtual bool NextInputBoxMessage(uint32_t box, InputBoxMessage& out);
  virtual std::string InputBoxText(uint32_t box);
  virtual void CloseInputBox(uint32_t box);

  // Joysticks (SdlJoystick.cpp unless a backend overrides) ----------------------

  // No joysticks when the subsystem cannot start.
  virtual int JoyCount();
  // Nil when the joystick has no name.
  virtual const char* JoyNameForIndex(int index);
  virtual JoyHandle JoyOpen(int index);  // nil on failure
  virtual void JoyClose(JoyHandle joystick);
  virtual int JoyIndexOf(JoyHandle joystick);  // -1 = not attached
  virtual void JoyCounts(JoyHandle joystick, int& axes, int& balls, int& hats, int& buttons);
  virtual void JoyEnableEvents();
  // One joystick event; the shell's own events stay queued.
  virtual bool JoyNextEvent(JoyEvent12& out);

  // Shell services --------------------------------------------------------------

  // Hands the text to the current opener (SetExternalOpener).
  virtual int OpenExternal(const char* text);

 protected:
  // Subclasses keep the z-order list through these.
  void AddToOrder(uint32_t id);
  void RemoveFromOrder(uint32_t id);
  void MoveToFront(uint32_t id);
  // Posted messages, taken first by NextEvent.
  bool TakePosted(NativeEvent& out, bool remove);
  // Called by every ShowCursor with its argument and the new count.
  virtual void CursorCountChanged(bool show, int count) = 0;
  // Called when SetTextInput changes the setting.
  virtual void TextInputChanged(bool) {}

 private:
  struct Timer {
    uint32_t id;
    uint32_t intervalMs;
    uint32_t lastMs;
    TimerProc proc;
    void* context;
  };
  struct Posted {
    uint32_t message;
    uint32_t param;
    uint32_t timeMs;
  };
  std::vector<Timer> timers_;
  std::vector<Posted> posted_;
  std::vector<uint32_t> order_;
  bool runningTimers_ = false;
  int cursorCount_ = 0;
  bool textInput_ = false;
};

// The program's backend: the SDL one unless a test installed another.
Backend& GetBackend();
// Installs a backend (nil restores the SDL backend); returns the previous one.
// The caller keeps ownership.
Backend* SetBackend(Backend* backend);

// Window titles are Latin-1 in the engine and UTF-8 on the desktop.
std::string Latin1ToUtf8(const char* latin1);
// Typed text the other way: characters beyond Latin-1 and malformed
// sequences are dropped.
std::string Utf8ToLatin1(const char* utf8);

// The opener OpenExternal uses; nil restores the default. Returns the old one.
ExternalOpener SetExternalOpener(ExternalOpener opener, void* context);
// Double fork and exec of xdg-open with the text as its one argument: no
// shell, never waited on. 0 when the child was started.
int DefaultExternalOpener(const char* text, void* context);
