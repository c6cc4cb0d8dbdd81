#include "SdlBackend.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "KeyTranslation.h"
#include "Sys.h"
#include "XConnection.h"

namespace {

struct WindowState {
  SDL_Window* window = nullptr;
  bool fullScreen = false;
  PlatformRect windowed;      // the rectangle to go back to from full screen
  bool userMaximized = false;  // a Maximize was reported; its Restore will be too
};

// Joystick and controller events stay in SDL's queue for the joystick layer,
// so the shell reads only the types below them.
constexpr Uint32 kLastShellEvent = SDL_JOYAXISMOTION - 1;

class SdlBackend final : public Backend {
 public:
  ~SdlBackend() override {
    for (auto& [id, state] : windows_) {
      UnwatchXWindow(state.window);
      SDL_DestroyWindow(state.window);
    }
    if (videoUp_) {
      StopWatchingXConnection();
      SDL_DelEventWatch(&SdlBackend::Watch, this);
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
  }

  bool InitVideo() override {
    if (videoUp_) return true;
    // SDL adds no signal handlers: the program's own (CatchShutdownSignals) stay.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    if (TextInputOn())
      SDL_StartTextInput();
    else
      SDL_StopTextInput();
    SDL_AddEventWatch(&SdlBackend::Watch, this);
    videoUp_ = true;
    return true;
  }

  void Pump() override {
    if (!videoUp_) return;
    SDL_PumpEvents();
    // Touch, gesture, clipboard and drop events have no reader; keep the
    // queue from filling with them.
    SDL_FlushEvents(SDL_FINGERDOWN, SDL_DROPCOMPLETE);
  }

  bool NextEvent(NativeEvent& out, bool remove) override {
    if (TakePosted(out, remove)) return true;
    if (!videoUp_) return false;
    SDL_Event ev;
    while (SDL_PeepEvents(&ev, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, kLastShellEvent) == 1) {
      // Text comes a character at a time: its event stays queued until the
      // last one is taken.
      bool last = true;
      const bool meaningful = ev.type == SDL_TEXTINPUT ? ConvertText(ev, out, &last) : Convert(ev, out, remove);
      if (!meaningful || (remove && last)) {
        SDL_PeepEvents(&ev, 1, SDL_GETEVENT, SDL_FIRSTEVENT, kLastShellEvent);
        textTaken_ = 0;
      } else if (remove) {
        ++textTaken_;
      }
      if (meaningful) {
        if (remove && out.kind == NativeEventKind::KeyDown) {
          lastKeyScancode_ = out.scancode;
          lastKeyCode_ = out.keyCode;
        }
        return true;
      }
    }
    return false;
  }

  bool ReadKeyState(uint8_t dik[256]) override {
    std::memset(dik, 0, 256);
    if (!videoUp_) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    if (!state) return false;
    for (const ScancodePair& p : MappedScancodes())
      if (p.scancode < count && (state[p.scancode] || latched_[p.scancode])) dik[p.dik] = 0x80;
    return true;
  }

  bool IsKeyHeld(uint8_t dik) override {
    if (!videoUp_) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    if (!state) return false;
    for (uint16_t sc : ScancodesOf(dik))
      if (sc < count && (state[sc] || latched_[sc])) return true;
    return false;
  }

  void ClearKeyLatch() override { std::memset(latched_, 0, sizeof latched_); }

  bool TakeMotion(int& dx, int& dy) override {
    dx = dy = 0;
    if (!videoUp_) return false;
    SDL_GetRelativeMouseState(&dx, &dy);
    return true;
  }

  // SDL's X11 global pointer is re-read only after raw input events, and
  // synthetic pointer moves (XTEST: remote desktops, input tools) send none
  // for motion, so it can stay where the button went down for a whole drag.
  // Over one of our windows, that window's pointer, which ordinary motion
  // events keep current (also outside it while a press captures the mouse),
  // gives the position instead.
  void GlobalMouse(int& x, int& y) override {
    x = y = 0;
    if (!videoUp_) return;
    SDL_GetGlobalMouseState(&x, &y);
    SDL_Window* focus = SDL_GetMouseFocus();
    PlatformRect content;
    if (focus && GetContentRect(SDL_GetWindowID(focus), content)) {
      int wx = 0, wy = 0;
      SDL_GetMouseState(&wx, &wy);
      x = content.left + wx;
      y = content.top + wy;
    }
  }

  bool LeftButton() override {
    if (!videoUp_ || !SDL_WasInit(SDL_INIT_VIDEO)) return false;
    return (SDL_GetGlobalMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
  }

  uint32_t CreateWindow(const PlatformRect& content) override {
    if (!videoUp_) return 0;
    int w = std::max(1, content.right - content.left);
    int h = std::max(1, content.bottom - content.top);
    // Never resizable, so dragging a border cannot change the size.
    SDL_Window* window = SDL_CreateWindow("", content.left, content.top, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) return 0;
    uint32_t id = SDL_GetWindowID(window);
    if (id == 0) {
      SDL_DestroyWindow(window);
      return 0;
    }
    WatchXWindow(window);
    WindowState state;
    state.window = window;
    state.windowed = content;
    windows_[id] = state;
    AddToOrder(id);
    return id;
  }

  void DestroyWindow(uint32_t id) override {
    WindowState* s = Find(id);
    if (!s) return;
    UnwatchXWindow(s->window);
    SDL_DestroyWindow(s->window);
    windows_.erase(id);
    RemoveFromOrder(id);
  }

  void ShowWindow(uint32_t id) override {
    if (WindowState* s = Find(id)) SDL_ShowWindow(s->window);
  }

  void HideWindow(uint32_t id) override {
    if (WindowState* s = Find(id)) SDL_HideWindow(s->window);
  }

  void RaiseWindow(uint32_t id) override {
    WindowState* s = Find(id);
    if (!s) return;
    SDL_RaiseWindow(s->window);
    MoveToFront(id);
  }

  bool IsWindowVisible(uint32_t id) override {
    WindowState* s = Find(id);
    return s && (SDL_GetWindowFlags(s->window) & SDL_WINDOW_SHOWN) != 0;
  }

  void SetWindowTitle(uint32_t id, const char* latin1) override {
    if (WindowState* s = Find(id)) SDL_SetWindowTitle(s->window, Latin1ToUtf8(latin1).c_str());
  }

  bool GetContentRect(uint32_t id, PlatformRect& out) override {
    WindowState* s = Find(id);
    if (!s) return false;
    if (s->fullScreen) {
      // Without a window manager SDL may not report the new geometry at once.
      int w = 0, h = 0;
      DisplaySize(w, h);
      out = PlatformRect{0, 0, h, w};
      return true;
    }
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(s->window, &x, &y);
    SDL_GetWindowSize(s->window, &w, &h);
    out = PlatformRect{y, x, y + h, x + w};
    return true;
  }

  void SetContentRect(uint32_t id, const PlatformRect& content) override {
    WindowState* s = Find(id);
    if (!s) return;
    if (!s->fullScreen) s->windowed = content;
    SDL_SetWindowSize(s->window, std::max(1, content.right - content.left), std::max(1, content.bottom - content.top));
    SDL_SetWindowPosition(s->window, content.left, content.top);
  }

  PlatformRect Borders(uint32_t id) override {
    WindowState* s = Find(id);
    PlatformRect b;
    if (!s || s->fullScreen) return b;
    if (SDL_GetWindowBordersSize(s->window, &b.top, &b.left, &b.bottom, &b.right) != 0) return PlatformRect{};
    return b;
  }

  void SetFullScreen(uint32_t id, bool on) override {
    WindowState* s = Find(id);
    if (!s || s->fullScreen == on) return;
    s->fullScreen = on;
    if (on) {
      // Full screen is only a request to the window manager; without one
      // nothing would move, so the window first covers its display itself
      // (SDL ignores size and position once the window is full screen).
      SDL_Rect display;
      const int index = SDL_GetWindowDisplayIndex(s->window);
      if (SDL_GetDisplayBounds(index < 0 ? 0 : index, &display) == 0) {
        SDL_SetWindowSize(s->window, display.w, display.h);
        SDL_SetWindowPosition(s->window, display.x, display.y);
      }
    }
    SDL_SetWindowFullscreen(s->window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!on) {
      // Without a window manager SDL keeps the full-screen size.
      const PlatformRect& r = s->windowed;
      SDL_SetWindowSize(s->window, std::max(1, r.right - r.left), std::max(1, r.bottom - r.top));
      SDL_SetWindowPosition(s->window, r.left, r.top);
    }
    // The state changes this causes are ours, not the user's.
    SDL_PumpEvents();
    SDL_FilterEvents(&SdlBackend::DropOwnStateChange, &id);
  }

  bool IsFullScreen(uint32_t id) override {
    WindowState* s = Find(id);
    return s && s->fullScreen;
  }

  void DisplaySize(int& width, int& height) override {
    width = height = 0;
    SDL_DisplayMode mode;
    if (videoUp_ && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
      width = mode.w;
      height = mode.h;
    }
  }

  uint32_t FocusWindow() override {
    if (!videoUp_) return 0;
    SDL_Window* focus = SDL_GetKeyboardFocus();
    if (!focus) return 0;
    uint32_t id = SDL_GetWindowID(focus);
    return Find(id) ? id : 0;
  }

  void* NativeWindow(uint32_t id) override {
    WindowState* s = Find(id);
    return s ? s->window : nullptr;
  }

 protected:
  void CursorCountChanged(bool, int count) override {
    if (videoUp_) SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
  }

  void TextInputChanged(bool on) override {
    if (!videoUp_) return;
    if (on)
      SDL_StartTextInput();
    else
      SDL_StopTextInput();
  }

 private:
  WindowState* Find(uint32_t id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
  }

  // Latches every key down as SDL queues it, so a tap inside one pump is seen.
  static int Watch(void* self, SDL_Event* ev) {
    if (ev->type == SDL_KEYDOWN) {
      int sc = ev->key.keysym.scancode;
      if (sc > 0 && sc < kScancodeLimit) static_cast<SdlBackend*>(self)->latched_[sc] = true;
    }
    return 1;
  }

  static int DropOwnStateChange(void* idPointer, SDL_Event* ev) {
    if (ev->type != SDL_WINDOWEVENT || ev->window.windowID != *static_cast<uint32_t*>(idPointer)) return 1;
    Uint8 what = ev->window.event;
    return what == SDL_WINDOWEVENT_MAXIMIZED || what == SDL_WINDOWEVENT_RESTORED ? 0 : 1;
  }

  // SDL's timestamps count from its own start; events carry our clock's.
  static uint32_t EventTime(Uint32 timestamp) {
    Uint32 age = SDL_GetTicks() - timestamp;
    return MonotonicMilliseconds() - age;
  }

  // Fills out for events the shell reads; false for the rest.
  bool Convert(const SDL_Event& ev, NativeEvent& out, bool remove) {
    out = NativeEvent{};
    out.timeMs = EventTime(ev.common.timestamp);
    switch (ev.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        out.kind = ev.type == SDL_KEYDOWN ? NativeEventKind::KeyDown : NativeEventKind::KeyUp;
        out.window = ev.key.windowID;
        out.scancode = ev.key.keysym.scancode;
        out.keyCode = ev.key.keysym.sym;
        out.repeat = ev.key.repeat != 0;
        out.typesAsText = ev.type == SDL_KEYDOWN && SDL_IsTextInputActive();
        out.capsLockOn = (ev.key.keysym.mod & KMOD_CAPS) != 0;
        out.numLockOn = (ev.key.keysym.mod & KMOD_NUM) != 0;
        return true;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (ev.button.button != SDL_BUTTON_LEFT) return false;
        out.kind = ev.type == SDL_MOUSEBUTTONDOWN ? NativeEventKind::ButtonDown : NativeEventKind::ButtonUp;
        out.window = ev.button.windowID;
        out.x = ev.button.x;
        out.y = ev.button.y;
        return true;
      case SDL_MOUSEMOTION:
        out.kind = NativeEventKind::Motion;
        out.window = ev.motion.windowID;
        out.x = ev.motion.x;
        out.y = ev.motion.y;
        return true;
      case SDL_WINDOWEVENT:
        return ConvertWindowEvent(ev.window, out, remove);
      default:
        // SDL_QUIT follows a close request, which already made its event.
        return false;
    }
  }

  // The next character of a text event not yet taken, in Latin-1, with the
  // key whose press made it; false when none is left.
  bool ConvertText(const SDL_Event& ev, NativeEvent& out, bool* last) {
    const std::string text = Utf8ToLatin1(ev.text.text);
    if (textTaken_ >= text.size()) return false;
    out = NativeEvent{};
    out.timeMs = EventTime(ev.common.timestamp);
    out.kind = NativeEventKind::Text;
    out.window = ev.text.windowID;
    out.param = static_cast<unsigned char>(text[textTaken_]);
    out.scancode = lastKeyScancode_;
    out.keyCode = lastKeyCode_;
    *last = textTaken_ + 1 >= text.size();
    return true;
  }

  // A peek leaves the maximise bookkeeping as it was.
  bool ConvertWindowEvent(const SDL_WindowEvent& ev, NativeEvent& out, bool remove) {
    WindowState* s = Find(ev.windowID);
    if (!s) return false;
    out.window = ev.windowID;
    switch (ev.event) {
      case SDL_WINDOWEVENT_CLOSE:
        out.kind = NativeEventKind::Close;
        return true;
      case SDL_WINDOWEVENT_MAXIMIZED:
        if (s->fullScreen) return false;
        if (remove) s->userMaximized = true;
        out.kind = NativeEventKind::Maximize;
        return true;
      case SDL_WINDOWEVENT_RESTORED:
        if (!s->userMaximized) return false;
        if (remove) s->userMaximized = false;
        out.kind = NativeEventKind::Restore;
        return true;
      default:
        return false;
    }
  }

  bool videoUp_ = false;
  bool latched_[kScancodeLimit] = {};
  size_t textTaken_ = 0;  // characters of the first queued text event handed out
  int lastKeyScancode_ = 0;  // the last key down taken, for the text it makes
  int32_t lastKeyCode_ = 0;
  std::map<uint32_t, WindowState> windows_;
};

}  // namespace

Backend* NewSdlBackend() { return new SdlBackend(); }
