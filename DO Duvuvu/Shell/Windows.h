// The engine's top-level windows over the platform's windows, the window
// procedure's handling of close, maximise and restore, and the taskbar that
// stands in for the menu bar.
#pragma once

#include <cstdint>

#include "Events.h"
#include "MacTypes.h"
#include "ResultCodes.h"

struct GWorld;
typedef GWorld* GWorldPtr;

// A window reference carries the platform's small non-zero window id; it is
// never dereferenced, and fits the 4-byte '----' parameter.
inline WindowRef WindowFromId(UInt32 id) { return reinterpret_cast<WindowRef>(static_cast<uintptr_t>(id)); }
inline UInt32 WindowId(WindowRef window) { return static_cast<UInt32>(reinterpret_cast<uintptr_t>(window)); }

constexpr UInt16 kWindowStructureRgn = 32;
constexpr UInt16 kWindowContentRgn = 33;
constexpr SInt16 kInContentPart = 3;

// The main window; nil until the display layer makes it.
extern WindowRef gMainWindow;

// Start-up entry ("QV_WINDOW"): nothing to register here; the exit releases
// the window records still held.
void RegisterWindowClass();
void UnregisterWindowClass();

// -108 and a nil window on failure (the memory manager's last error -1).
OSStatus CreateWindowRef(UInt32 windowClass, UInt32 attributes, const Rect* content, WindowRef* outWindow);
void DisposeWindowRef(WindowRef window);
// Always the content part, also over no window of ours (then *outWindow is nil).
SInt16 FindWindowAtPoint(Point where, WindowRef* outWindow);
// Ours with the keyboard focus, else the main window.
WindowRef GetFrontWindow();
void BringWindowToFront(WindowRef window);
WindowRef GetNextWindowRef(WindowRef window);
void SetWindowReference(WindowRef window, uintptr_t value);
uintptr_t GetWindowReference(WindowRef window);
void SetWindowTitle(WindowRef window, ConstStr255Param title);
// Global coordinates; -5600 when unreadable, -30593 for other regions.
OSStatus GetWindowRegionRect(WindowRef window, UInt16 region, Rect* outRect);
// A content rectangle that is exactly the screen makes the window full screen.
OSStatus SetWindowRegionRect(WindowRef window, UInt16 region, const Rect* rect);
void SizeWindowRef(WindowRef window, SInt16 width, SInt16 height);
void MoveWindowRef(WindowRef window, SInt16 h, SInt16 v);
void HideWindowRef(WindowRef window);
void ShowWindowRef(WindowRef window);
UInt8 IsWindowRefVisible(WindowRef window);
// The one 1 x 1, 32-bit world that stands for every window's port.
GWorldPtr GetWindowManagerPort(WindowRef unused = nullptr);
// Whether the window is in the full-screen style.
Boolean IsWindowFullScreenStyle(WindowRef window);

// No effect here.
OSStatus SetWindowAttributes(WindowRef window, UInt32 setAttributes, UInt32 clearAttributes);
OSStatus SetNewWindowOption(WindowRef window, UInt32 option, UInt32 value);
OSStatus SetWindowStateRect(WindowRef window, const Rect* rect);

// The taskbar: zero height, empty along the screen's bottom, visible until hidden.
SInt16 GetMenuBarHeight();
Boolean IsTaskbarVisible();
void ShowTaskbar();
void HideTaskbar();
// Leaves the rectangle as it was when there is no taskbar (never here).
void GetTaskbarRect(Rect* outRect);
