#include "Windows.h"

#include <map>
#include <utility>

#include "Backend.h"
#include "DisplayServices.h"
#include "Memory.h"
#include "ResultCodes.h"
#include "Strings.h"
#include "WindowRecords.h"

WindowRef gMainWindow = nullptr;

namespace {

// Window records by id; made on first use, released by the class's exit.
std::map<UInt32, WindowRecord*>* gRecords = nullptr;
GWorldPtr gWindowManagerWorld = nullptr;
bool gTaskbarVisible = true;

std::map<UInt32, WindowRecord*>& Records() {
  if (!gRecords) gRecords = new std::map<UInt32, WindowRecord*>();
  return *gRecords;
}

Rect ToRect(const PlatformRect& r) {
  return Rect{static_cast<SInt16>(r.top), static_cast<SInt16>(r.left), static_cast<SInt16>(r.bottom),
              static_cast<SInt16>(r.right)};
}

PlatformRect ToPlatform(const Rect& r) {
  PlatformRect p;
  p.top = r.top;
  p.left = r.left;
  p.bottom = r.bottom;
  p.right = r.right;
  return p;
}

// Sends a one-shot ('wind', 76) with the window-mode word to the window's handlers.
void SendWindowModeEvent(WindowRef window, UInt16 mode) {
  EventRef event = nullptr;
  if (MacCreateEvent(nullptr, kEventClassWindow, kEventWindowZoom, 0.0, 0, &event) != 0 || !event) return;
  if (SetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), 2, &mode) == 0)
    SendEventToWindow(event, window);
  ReleaseEvent(event);
}

}  // namespace

WindowRecord* FindWindowRecord(WindowRef window) {
  if (!window || !gRecords) return nullptr;
  auto it = gRecords->find(WindowId(window));
  return it == gRecords->end() ? nullptr : it->second;
}

void GetMainScreenRect(Rect* outRect) {
  int width = 0;
  int height = 0;
  GetBackend().DisplaySize(width, height);
  *outRect = Rect{0, 0, static_cast<SInt16>(height), static_cast<SInt16>(width)};
}

void RegisterWindowClass() {}

void UnregisterWindowClass() {
  if (!gRecords) return;
  for (auto& entry : *gRecords) delete entry.second;
  delete gRecords;
  gRecords = nullptr;
}

OSStatus CreateWindowRef(UInt32, UInt32, const Rect* content, WindowRef* outWindow) {
  const UInt32 id = GetBackend().CreateWindow(ToPlatform(*content));
  if (id == 0) {
    *outWindow = nullptr;
    SetMemoryError(-1);
    return kErrMemFull;
  }
  Records()[id] = new WindowRecord();
  *outWindow = WindowFromId(id);
  ClearMemoryError();
  return 0;
}

void DisposeWindowRef(WindowRef window) {
  if (!window) return;
  if (gRecords) {
    auto it = gRecords->find(WindowId(window));
    if (it != gRecords->end()) {
      delete it->second;
      gRecords->erase(it);
    }
  }
  GetBackend().DestroyWindow(WindowId(window));
  if (gMainWindow == window) gMainWindow = nullptr;
}

SInt16 FindWindowAtPoint(Point where, WindowRef* outWindow) {
  *outWindow = WindowFromId(GetBackend().WindowAt(where.h, where.v));
  return kInContentPart;
}

WindowRef GetFrontWindow() {
  const UInt32 focus = GetBackend().FocusWindow();
  return focus ? WindowFromId(focus) : gMainWindow;
}

void BringWindowToFront(WindowRef window) {
  if (window) GetBackend().RaiseWindow(WindowId(window));
}

WindowRef GetNextWindowRef(WindowRef window) { return WindowFromId(GetBackend().NextWindow(WindowId(window))); }

void SetWindowReference(WindowRef window, uintptr_t value) {
  if (WindowRecord* record = FindWindowRecord(window)) record->reference = value;
}

uintptr_t GetWindowReference(WindowRef window) {
  const WindowRecord* record = FindWindowRecord(window);
  return record ? record->reference : 0;
}

void SetWindowTitle(WindowRef window, ConstStr255Param title) {
  char text[256];
  PToCStr(title, text);
  GetBackend().SetWindowTitle(WindowId(window), text);
}

OSStatus GetWindowRegionRect(WindowRef window, UInt16 region, Rect* outRect) {
  Backend& backend = GetBackend();
  PlatformRect content;
  if (!window || !backend.GetContentRect(WindowId(window), content)) return kWindowRectUnreadableErr;
  if (region == kWindowContentRgn) {
    *outRect = ToRect(content);
    return 0;
  }
  if (region == kWindowStructureRgn) {
    const PlatformRect borders = backend.Borders(WindowId(window));
    content.top -= borders.top;
    content.left -= borders.left;
    content.bottom += borders.bottom;
    content.right += borders.right;
    *outRect = ToRect(content);
    return 0;
  }
  return kWindowRegionCodeInvalidErr;
}

OSStatus SetWindowRegionRect(WindowRef window, UInt16 region, const Rect* rect) {
  if (region != kWindowStructureRgn && region != kWindowContentRgn) return kWindowRegionCodeInvalidErr;
  Backend& backend = GetBackend();
  const UInt32 id = WindowId(window);
  PlatformRect content = ToPlatform(*rect);
  if (region == kWindowStructureRgn) {
    const PlatformRect borders = backend.Borders(id);
    content.top += borders.top;
    content.left += borders.left;
    content.bottom -= borders.bottom;
    content.right -= borders.right;
    backend.SetContentRect(id, content);
    return 0;
  }
  int width = 0;
  int height = 0;
  backend.DisplaySize(width, height);
  if (rect->left == 0 && rect->top == 0 && rect->right == width && rect->bottom - rect->top == height) {
    backend.SetFullScreen(id, true);
    return 0;
  }
  // Windowed style: leave full screen first, then place the window again.
  if (backend.IsFullScreen(id)) backend.SetFullScreen(id, false);
  backend.SetContentRect(id, content);
  return 0;
}

void SizeWindowRef(WindowRef window, SInt16 width, SInt16 height) {
  Rect r;
  if (GetWindowRegionRect(window, kWindowContentRgn, &r) != 0) return;
  r.right = static_cast<SInt16>(r.left + width);
  r.bottom = static_cast<SInt16>(r.top + height);
  SetWindowRegionRect(window, kWindowContentRgn, &r);
}

void MoveWindowRef(WindowRef window, SInt16 h, SInt16 v) {
  Rect r;
  if (GetWindowRegionRect(window, kWindowContentRgn, &r) != 0) return;
  r = Rect{v, h, static_cast<SInt16>(v + (r.bottom - r.top)), static_cast<SInt16>(h + (r.right - r.left))};
  SetWindowRegionRect(window, kWindowContentRgn, &r);
}

void HideWindowRef(WindowRef window) { GetBackend().HideWindow(WindowId(window)); }
void ShowWindowRef(WindowRef window) { GetBackend().ShowWindow(WindowId(window)); }
UInt8 IsWindowRefVisible(WindowRef window) { return GetBackend().IsWindowVisible(WindowId(window)) ? 1 : 0; }
Boolean IsWindowFullScreenStyle(WindowRef window) { return GetBackend().IsFullScreen(WindowId(window)) ? 1 : 0; }

GWorldPtr GetWindowManagerPort(WindowRef) {
  if (!gWindowManagerWorld && GetDisplayServices().newWindowManagerWorld)
    gWindowManagerWorld = GetDisplayServices().newWindowManagerWorld();
  return gWindowManagerWorld;
}

void ForgetWindowManagerPort() { gWindowManagerWorld = nullptr; }

OSStatus SetWindowAttributes(WindowRef, UInt32, UInt32) { return 0; }
OSStatus SetNewWindowOption(WindowRef, UInt32, UInt32) { return 0; }
OSStatus SetWindowStateRect(WindowRef, const Rect*) { return 0; }

SInt16 GetMenuBarHeight() { return 0; }  // the taskbar has no height
Boolean IsTaskbarVisible() { return gTaskbarVisible ? 1 : 0; }
void ShowTaskbar() { gTaskbarVisible = true; }
void HideTaskbar() { gTaskbarVisible = false; }

void GetTaskbarRect(Rect* outRect) {
  Rect screen;
  GetMainScreenRect(&screen);
  *outRect = Rect{screen.bottom, screen.left, screen.bottom, screen.right};
}

void ResetTaskbarForTesting() { gTaskbarVisible = true; }

void DispatchWindowMessage(const NativeEvent& message) {
  const WindowRef window = WindowFromId(message.window);
  switch (message.kind) {
    case NativeEventKind::Close:
      // The window stays; the request reaches the program as ('wind', 72).
      GetBackend().PostMessage(kWindowCloseMessageID, message.window);
      break;
    case NativeEventKind::Maximize:
      GetBackend().SetFullScreen(message.window, true);
      SendWindowModeEvent(window, kWindowParamFullScreen);
      break;
    case NativeEventKind::Restore:
      SendWindowModeEvent(window, kWindowParamWindowed);
      GetBackend().SetFullScreen(message.window, false);
      break;
    default:
      break;
  }
}
