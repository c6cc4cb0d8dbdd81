// The glue between the shell and the display system: the system version,
// the platform calls bound by name, menu mode and the play state, the display
// start-up, the main window's centring and small queries.
#pragma once

#include "Events.h"
#include "MacTypes.h"

// 1 in menu mode (at start), 0 in the play state; the display layer's menu
// mode entry sets it too.
extern UInt8 gMenuModeFlag;
// 1 while the engine shows the system cursor (at start).
extern UInt8 gCursorVisible;
// 1 once StartDisplaySystem has run.
extern UInt8 gDisplaySystemInUse;

// The 'sysv' answer as 16 bits, 0 when the query fails.
UInt16 GetSystemVersion();

// Once; binds the system interface calls and installs the menu-mode hooks.
// The Application Services bundle missing is fatal.
void BindSystemUIFunctions();
// The play state (slot 11); acts only in menu mode.
void LeaveMenuMode_Displays();
// Slot 12.
SInt32 InMenuMode_Displays();
// Where the cursor was when the play state took the mouse.
Point GetRememberedCursorPoint();
void ShowCursorOnce();
void StartDisplaySystem();
// The main window's 'wind' 76 handler: 'wpar' 8 full screen, else windowed.
OSStatus WindowModeEventHandler(EventHandlerCallRef call, EventRef event, void* userData);

// Centres the main window's content of that size on the main screen; fatal
// without a main window.
void SetMainWindow(SInt16 width, SInt16 height);
Point GetMainWindowOrigin();
// Nil device: the main one.
SInt16 GetDevicePixelDepth(void* device, SInt16* outDepth, Boolean* outColor);

struct MouseState {
  UInt8 button;
  UInt8 mouseDown;
  Point where;  // port coordinates
};
// The button; a current mouse-down gives 1, 1 and its port location.
UInt8 GetMouseState(MouseState* outState);

void RecordStartupDate();
void SetArrowCursor();

SInt16 PowerOfTwo(SInt16 n);
SInt16 BitLength(SInt32 n);
Boolean IsInLowerHalf(SInt32 x, SInt32 a, SInt32 b);
SInt16 CountWindows();

// The bound platform calls (nil when unbound).
struct SystemUIBindings {
  OSStatus (*setSystemUIMode)(UInt32 mode, UInt32 options);
  void (*warpMouseCursorPosition)(double x, double y);
  SInt32 (*associateMouseAndMouseCursorPosition)(SInt32 connected);
  void (*getLastMouseDelta)(SInt32* dx, SInt32* dy);
  void (*inhibitLocalEvents)(Boolean inhibit);
  void (*setLocalEventsSuppressionInterval)(double seconds);
  void (*postKeyboardEvent)(UInt16 character, UInt16 keyCode, Boolean down);
  UInt8 bound;  // the whole binding succeeded
};
extern SystemUIBindings gSystemUI;

// Back to the state at start (tests only).
void ResetShellForTesting();
