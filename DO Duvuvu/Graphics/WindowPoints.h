// Points between the main window's content and the screen, and the address of
// a window port's pixel (0, 0).
#pragma once

#include "MacTypes.h"

struct OpaqueWindowPtr;
typedef OpaqueWindowPtr* WindowRef;

// Add or subtract the main window's content position; unchanged without one.
void WindowToScreenPoint(Point* p);
void ScreenToWindowPoint(Point* p);
// base - bounds.top x row bytes - bounds.left x bytes per pixel; nil for a nil
// window or a missing port.
Ptr WindowPixelOrigin(WindowRef window);
