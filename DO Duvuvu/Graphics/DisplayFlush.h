// The display hook table's flush: events and sound are serviced first so that
// both keep going during fade loops and other blocking flushes.
#pragma once

struct OpaqueWindowPtr;
typedef OpaqueWindowPtr* WindowRef;

// Polls events once, services the sound channels, then hands the window (nil =
// the main window) to the installed flush, when there is one.
void FlushToScreen(WindowRef window);
