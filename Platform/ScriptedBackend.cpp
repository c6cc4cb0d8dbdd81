#include "ScriptedBackend.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "KeyTranslation.h"
#include "Sys.h"

namespace {

std::string RectText(const PlatformRect& r) {
  return std::to_string(r.top) + " " + std::to_string(r.left) + " " + std::to_string(r.bottom) + " " +
         std::to_string(r.right);
}

bool ValidScancode(int scancode) { return scancode > 0 && scancode < kScancodeLimit; }

}  // namespace

ScriptedBackend::ScriptedBackend() : ScriptedBackend(Options{}) {}

ScriptedBackend::ScriptedBackend(const Options& options) : options_(options) {}

ScriptedBackend::~ScriptedBackend() {
  for (auto& [id, window] : windows_)
    if (window.gl) SDL_DestroyWindow(static_cast<SDL_Window*>(window.gl));
  if (sdlVideoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  Backend* installed = SetBackend(nullptr);
  if (installed != this) SetBackend(installed);
}

// Input script -----------------------------------------------------------------

void ScriptedBackend::QueueKey(NativeEventKind kind, int scancode, int32_t keyCode, bool repeat) {
  NativeEvent e;
  e.kind = kind;
  e.window = FocusWindow();
  e.timeMs = MonotonicMilliseconds();
  e.scancode = scancode;
  e.keyCode = keyCode ? keyCode : UsKeyCode(scancode);
  e.repeat = repeat;
  e.capsLockOn = capsLockOn_;
  e.numLockOn = numLockOn_;
  queue_.push_back(e);
  if (ValidScancode(scancode)) {
    bool down = kind == NativeEventKind::KeyDown;
    held_[scancode] = down;
    if (down) latched_[scancode] = true;
  }
}

void ScriptedBackend::PressKey(int scancode, int32_t keyCode) {
  QueueKey(NativeEventKind::KeyDown, scancode, keyCode, false);
}

void ScriptedBackend::RepeatKey(int scancode, int32_t keyCode) {
  QueueKey(NativeEventKind::KeyDown, scancode, keyCode, true);
}

void ScriptedBackend::ReleaseKey(int scancode, int32_t keyCode) {
  QueueKey(NativeEventKind::KeyUp, scancode, keyCode, false);
}

void ScriptedBackend::TapKey(int scancode) {
  PressKey(scancode);
  ReleaseKey(scancode);
}

void ScriptedBackend::SetKeyHeld(int scancode, bool held) {
  if (!ValidScancode(scancode)) return;
  held_[scancode] = held;
}

void ScriptedBackend::SetToggles(bool capsLockOn, bool numLockOn) {
  capsLockOn_ = capsLockOn;
  numLockOn_ = numLockOn;
}

void ScriptedBackend::PressButton(int x, int y) {
  NativeEvent e;
  e.kind = NativeEventKind::ButtonDown;
  e.x = x;
  e.y = y;
  e.window = FocusWindow();
  Push(e);
  leftButton_ = true;
}

void ScriptedBackend::ReleaseButton(int x, int y) {
  NativeEvent e;
  e.kind = NativeEventKind::ButtonUp;
  e.x = x;
  e.y = y;
  e.window = FocusWindow();
  Push(e);
  leftButton_ = false;
}

void ScriptedBackend::AddMotion(int dx, int dy) {
  motionX_ += dx;
  motionY_ += dy;
}

void ScriptedBackend::SetGlobalMouse(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
}

void ScriptedBackend::SetLeftButton(bool down) { leftButton_ = down; }

void ScriptedBackend::QueueWindowEvent(NativeEventKind kind, uint32_t window) {
  NativeEvent e;
  e.kind = kind;
  e.window = window;
  Push(e);
}

void ScriptedBackend::PushClose(uint32_t window) { QueueWindowEvent(NativeEventKind::Close, window); }
void ScriptedBackend::PushMaximize(uint32_t window) { QueueWindowEvent(NativeEventKind::Maximize, window); }
void ScriptedBackend::PushRestore(uint32_t window) { QueueWindowEvent(NativeEventKind::Restore, window); }

void ScriptedBackend::TypeText(const char* utf8) {
  for (char c : Utf8ToLatin1(utf8)) {
    NativeEvent e;
    e.kind = NativeEventKind::Text;
    e.window = FocusWindow();
    e.timeMs = MonotonicMilliseconds();
    e.param = static_cast<unsigned char>(c);
    e.numLockOn = numLockOn_;
    queue_.push_back(e);
  }
}

void ScriptedBackend::Push(const NativeEvent& event) {
  NativeEvent e = event;
  if (e.timeMs == 0) e.timeMs = MonotonicMilliseconds();
  queue_.push_back(e);
}

void ScriptedBackend::SetFocus(uint32_t window) {
  focusSet_ = true;
  focus_ = window;
}

void ScriptedBackend::SetDisplaySize(int width, int height) {
  displayWidth_ = width;
  displayHeight_ = height;
}

std::string ScriptedBackend::WindowTitle(uint32_t id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? std::string() : it->second.title;
}

// Video and input ------------------------------------------------------------------

bool ScriptedBackend::InitVideo() {
  if (failVideoInit) return false;
  if (options_.withGL && !sdlVideoStarted_) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    SDL_StopTextInput();
    sdlVideoStarted_ = true;
  }
  if (!videoUp_) Log("video");
  videoUp_ = true;
  return true;
}

void ScriptedBackend::Pump() { ++pumps_; }

bool ScriptedBackend::NextEvent(NativeEvent& out, bool remove) {
  if (TakePosted(out, remove)) return true;
  if (queue_.empty()) return false;
  out = queue_.front();
  if (remove) queue_.erase(queue_.begin());
  return true;
}

bool ScriptedBackend::ReadKeyState(uint8_t dik[256]) {
  std::memset(dik, 0, 256);
  if (failKeyRead) return false;
  for (int sc = 1; sc < kScancodeLimit; ++sc) {
    uint8_t code = DirectInputScanCode(sc);
    if (code && (held_[sc] || latched_[sc])) dik[code] = 0x80;
  }
  return true;
}

bool ScriptedBackend::IsKeyHeld(uint8_t dik) {
  if (failKeyRead) return false;
  for (uint16_t sc : ScancodesOf(dik))
    if (held_[sc] || latched_[sc]) return true;
  return false;
}

void ScriptedBackend::ClearKeyLatch() { std::memset(latched_, 0, sizeof latched_); }

bool ScriptedBackend::TakeMotion(int& dx, int& dy) {
  dx = dy = 0;
  if (failMouseRead) return false;
  dx = motionX_;
  dy = motionY_;
  motionX_ = motionY_ = 0;
  return true;
}

void ScriptedBackend::GlobalMouse(int& x, int& y) {
  x = mouseX_;
  y = mouseY_;
}

bool ScriptedBackend::LeftButton() { return leftButton_; }

void ScriptedBackend::CursorCountChanged(bool show, int count) {
  cursorCalls_.push_back(show);
  cursorShown_ = count >= 0;
  Log(std::string("cursor ") + (show ? "1" : "0"));
}

// Windows ------------------------------------------------------------------------

ScriptedBackend::Window* ScriptedBackend::Find(uint32_t id) {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : &it->second;
}

uint32_t ScriptedBackend::CreateWindow(const PlatformRect& content) {
  if (failWindowCreate) return 0;
  Window window;
  window.content = content;
  window.windowed = content;
  if (options_.withGL) {
    if (!sdlVideoStarted_ && !InitVideo()) return 0;
    SDL_Window* gl = SDL_CreateWindow("", content.left, content.top, std::max(1, content.right - content.left),
                                      std::max(1, content.bottom - content.top),
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!gl) return 0;
    window.gl = gl;
  }
  uint32_t id = nextId_++;
  windows_[id] = window;
  AddToOrder(id);
  Log("create " + std::to_string(id));
  return id;
}

void ScriptedBackend::DestroyWindow(uint32_t id) {
  Window* w = Find(id);
  if (!w) return;
  if (w->gl) SDL_DestroyWindow(static_cast<SDL_Window*>(w->gl));
  windows_.erase(id);
  RemoveFromOrder(id);
  if (focus_ == id) focus_ = 0;
  Log("destroy " + std::to_string(id));
}

void ScriptedBackend::ShowWindow(uint32_t id) {
  Window* w = Find(id);
  if (!w) return;
  w->visible = true;
  Log("show " + std::to_string(id));
}

void ScriptedBackend::HideWindow(uint32_t id) {
  Window* w = Find(id);
  if (!w) return;
  w->visible = false;
  Log("hide " + std::to_string(id));
}

void ScriptedBackend::RaiseWindow(uint32_t id) {
  if (!Find(id)) return;
  MoveToFront(id);
  Log("raise " + std::to_string(id));
}

bool ScriptedBackend::IsWindowVisible(uint32_t id) {
  Window* w = Find(id);
  return w && w->visible;
}

void ScriptedBackend::SetWindowTitle(uint32_t id, const char* latin1) {
  Window* w = Find(id);
  if (!w) return;
  w->title = Latin1ToUtf8(latin1);
  Log("title " + std::to_string(id) + " " + w->title);
}

bool ScriptedBackend::GetContentRect(uint32_t id, PlatformRect& out) {
  Window* w = Find(id);
  if (!w || failRectRead) return false;
  out = w->content;
  return true;
}

void ScriptedBackend::SetContentRect(uint32_t id, const PlatformRect& content) {
  Window* w = Find(id);
  if (!w) return;
  w->content = content;
  if (!w->fullScreen) w->windowed = content;
  if (w->gl) {
    auto* gl = static_cast<SDL_Window*>(w->gl);
    SDL_SetWindowSize(gl, std::max(1, content.right - content.left), std::max(1, content.bottom - content.top));
    SDL_SetWindowPosition(gl, content.left, content.top);
  }
  Log("rect " + std::to_string(id) + " " + RectText(content));
}

PlatformRect ScriptedBackend::Borders(uint32_t id) {
  if (!Find(id)) return PlatformRect{};
  return borders_;
}

void ScriptedBackend::SetFullScreen(uint32_t id, bool on) {
  Window* w = Find(id);
  if (!w) return;
  fullScreenSwitches_.push_back({id, on});
  Log("fullscreen " + std::to_string(id) + (on ? " 1" : " 0"));
  if (on == w->fullScreen) return;
  w->fullScreen = on;
  w->content = on ? PlatformRect{0, 0, displayHeight_, displayWidth_} : w->windowed;
}

bool ScriptedBackend::IsFullScreen(uint32_t id) {
  Window* w = Find(id);
  return w && w->fullScreen;
}

void ScriptedBackend::DisplaySize(int& width, int& height) {
  width = displayWidth_;
  height = displayHeight_;
}

uint32_t ScriptedBackend::FocusWindow() {
  if (focusSet_) return Find(focus_) ? focus_ : 0;
  for (uint32_t id : WindowOrder())
    if (IsWindowVisible(id)) return id;
  return 0;
}

void* ScriptedBackend::NativeWindow(uint32_t id) {
  Window* w = Find(id);
  return w ? w->gl : nullptr;
}

int ScriptedBackend::OpenExternal(const char* text) {
  openedTexts_.push_back(text ? text : "");
  Log(std::string("open ") + (text ? text : ""));
  return openResult_;
}
