// The game's one window: made with its GL record and the software build
// world, switched between a centred window and borderless full screen
// (always letterboxed by the frame), and closed at exit.
#pragma once

#include "GWorld.h"
#include "MacTypes.h"
#include "PixMap.h"

struct OpaqueWindowPtr;
typedef OpaqueWindowPtr* WindowRef;

// The build world, made only when the game owns the screen
// (EngineSettings[kSettingGameOwnsScreen]), with its base address and row bytes (flag cleared).
extern PixMapHandle buildPMAP;
extern GWorldPtr buildWORLD;
extern Ptr buildBaseAddress;
extern UInt16 buildRowBytes;

// The centred content rectangle and its top-left.
extern Rect WindowRect;
extern Point WindowOrigin;

// The current full-screen state and whether a switch has happened.
extern UInt8 FullScreenFlag;
extern UInt8 FullScreenStateKnown;

// Centred on the main device: left = (D.right - D.left) / 2 + D.left - w / 2.
Rect CenteredContentRect(SInt16 width, SInt16 height);

// Once, from the display start-up, with the logical screen size.
void WindowInitGL(SInt16 width, SInt16 height);
// The twin of WindowInitGL for a screen drawn without OpenGL (no caller).
void WindowInit(SInt16 width, SInt16 height);
void SetWindowContentSize(SInt16 width, SInt16 height);
void SetFullScreenWindow(UInt8 on);
// 255 = the stored preference; stores what it applied.
void SetFullScreen_Displays(UInt32 on);
// The preference until the first switch, then the current state.
UInt32 IsFullScreen_Displays();
void EnterMenuMode_Displays();
void DisableAllMenus();
void RestoreAllMenus();
UInt8 MenusEnabled();
// A cover window that nothing here makes: both are fatal without one.
void BlackenScreen();
void UnBlackenScreen();
void CloseDisplays();
// Tests only: back to the state before WindowInitGL (no window is closed).
void ResetMainWindowForTesting();
