// Every status result the engine returns, by name. A routine that returns a
// code returns one of these; tests assert the names, not the numbers.
#pragma once

#include "MacTypes.h"

// General ---------------------------------------------------------------------
// The routine could not do what was asked; its caller's documented "-1".
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
constexpr OSErr kErrMemFull = -108;
constexpr OSErr kErrNilHandle = -109;
constexpr OSErr kErrBadHandle = -111;

// Resources ---------------------------------------------------------------------
constexpr OSErr kErrResNotFound = -192;

// Sound channels ------------------------------------------------------------------
constexpr OSErr kErrNotEnoughHardware = -201;
constexpr OSErr kErrQueueFull = -203;
constexpr OSErr kErrBadChannel = -205;

// Components and Nib files (absent here: fixed results) -----------------------------
constexpr OSErr kErrInvalidComponent = -3000;
constexpr OSStatus kErrNibFileNotFound = -10960;
constexpr OSStatus kErrNibObjectNotFound = -10962;
