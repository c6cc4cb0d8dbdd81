// Every status result the engine returns, by name. A routine that returns a
// code returns one of these; tests assert the names, not the numbers.
#pragma once

#include "MacTypes.h"

// General ---------------------------------------------------------------------
// The routine refused: a nil argument, a limit exceeded, or nothing found by
// the engine's own find routines.
constexpr OSErr kErrFailed = -1;

// Files and folders -------------------------------------------------------------
constexpr OSErr kErrNoSuchVolume = -35;
constexpr OSErr kErrIO = -36;
constexpr OSErr kErrBadName = -37;
constexpr OSErr kErrEndOfFile = -39;
constexpr OSErr kErrFileNotFound = -43;
constexpr OSErr kErrFileLocked = -45;
constexpr OSErr kErrParam = -50;
constexpr OSErr kErrBadRefNum = -51;
constexpr OSErr kErrDirNotFound = -120;
constexpr OSErr kErrNoMoreItems = -1417;

// Memory and handles --------------------------------------------------------------
// Also the answer for a special folder that is not available.
constexpr OSErr kErrMemFull = -108;
constexpr OSErr kErrNilHandle = -109;
// The block or handle is not registered.
constexpr OSErr kErrBadHandle = -111;
constexpr OSErr kErrNoHandleForBlock = -115;
constexpr OSErr kErrNegativeSize = -116;

// Resources ---------------------------------------------------------------------
constexpr OSErr kErrResNotFound = -192;

// Sound channels ------------------------------------------------------------------
constexpr OSErr kErrNotEnoughHardware = -201;
constexpr OSErr kErrQueueFull = -203;
constexpr OSErr kErrBadChannel = -205;
// A channel's disposal stops at the OpenAL step that failed.
constexpr OSErr kErrUnqueueFailed = -2;
constexpr OSErr kErrSourceNotDeleted = -3;
constexpr OSErr kErrBuffersNotDeleted = -4;

// Pascal strings' bracketed numbers -------------------------------------------------
constexpr SInt32 kErrUnbalancedBrackets = -2;
constexpr SInt32 kErrNoSuchBracket = -3;

// Drawing text into an image ----------------------------------------------------------
constexpr SInt32 kErrNoPixels = -2;
constexpr SInt32 kErrNoFontFace = -3;

// Preferences -------------------------------------------------------------------------
// The main preferences file could not be found, read or saved.
constexpr OSErr kErrPrefsFile = -3;

// Windows and events ----------------------------------------------------------------
constexpr OSStatus kWindowRectUnreadableErr = -5600;
constexpr OSStatus kEventNotHandledErr = -9874;
constexpr OSStatus kEventLoopNoEventErr = -9875;
constexpr OSStatus kWindowRegionCodeInvalidErr = -30593;

// Processes and internet preferences (fixed results here) ---------------------------
constexpr OSErr kErrProcessNotFound = -600;
constexpr OSStatus kErrPrefNotFound = -666;

// Components and Nib files (absent here: fixed results) -----------------------------
constexpr OSErr kErrInvalidComponent = -3000;
constexpr OSStatus kErrNibFileNotFound = -10960;
constexpr OSStatus kErrNibObjectNotFound = -10962;
