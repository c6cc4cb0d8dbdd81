// Choosing the screen mode that best fits a request, switching a display to a
// mode, asking the user to confirm it, and going back to the modes in force
// at start-up. With no display functions bound (here) every operation that
// needs one returns 0.
#pragma once

#include "DisplayList.h"
#include "MacTypes.h"

// The depth chosen (0 when no mode qualifies) and its index (-1 when none).
// Refresh is 16.16; depth at least 1.
UInt32 FindBestDisplayMode(const DisplayRecord* record, SInt32* index, UInt32 depth, UInt32 width, UInt32 height,
                           UInt32 refresh);
// A mode dictionary, or on older systems a DisplayModeWords. 1 switched.
UInt8 SetDisplayMode(DisplayRecord* record, const void* mode);
UInt8 RestoreDisplayMode(DisplayRecord* record);
// Last to first; 1 when every restore succeeded (and for an empty list).
UInt8 RestoreAllDisplayModes(NamedArray<DisplayRecord>* list);
// The current bits per pixel, 0 when the mode is not in the record's array
// (the index is then -1).
UInt32 GetCurrentModeIndex(DisplayRecord* record, SInt32* index, UInt8* keep);
UInt8 ConfirmDisplayMode(DisplayRecord* record);
// The low byte of word is the depth; bit 30 or 31 asks the mode preference
// on older systems. An index of -1 is first set to the current mode's.
UInt8 SwitchDisplayMode(DisplayRecord* record, UInt32 word, SInt32* index);
SInt32 CaptureMainDisplay();
SInt32 ReleaseMainDisplay();

void MatchModeResolutionCallback(DisplayModeMatch* match, UInt32 userWord, const DisplayModeInfo* info);
void MatchModeDepthCallback(DisplayModeMatch* match, UInt32 userWord, const DisplayModeInfo* info);
// The callbacks the older systems' enumeration is handed.
extern DisplayModeCallback MatchModeResolutionSlot;
extern DisplayModeCallback MatchModeDepthSlot;
