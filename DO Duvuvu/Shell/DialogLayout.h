// Where dialog windows and their items go, and making dialog windows.
#pragma once

#include "Events.h"
#include "MacTypes.h"

// Screen rectangle of a width x height dialog: centred on the main window's
// content while windowed, else on the main device and 20 lower.
Rect CenterDialogRect(SInt16 width, SInt16 height, SInt16 extraHeight);
void CenterWindowOnParent(WindowRef window, WindowRef parent);
// Rectangles inside a window rectangle, indexed from the right.
Rect DialogButtonRect(const Rect& window, SInt8 index);
Rect DialogButtonRectSized(const Rect& window, SInt8 index, SInt16 buttonWidth, SInt16 margin);
Rect DialogIconRect();
Rect DialogTextRect(const Rect& window);
Rect DialogFooterRect(const Rect& window);
// Also sets DialogCheckSize to (12, 12).
Rect DialogCheckRect(const Rect& window);

// The pair of 16-bit globals DialogCheckRect writes.
struct DialogCheckSizePair {
  SInt16 width;
  SInt16 height;
};
extern DialogCheckSizePair DialogCheckSize;

// A sheet (class 15) or a movable dialog (class 2), titled; nil on failure.
WindowRef NewDialogWindow(const Rect& bounds, ConstStr255Param title, UInt8 sheet);
void OffsetWindow(WindowRef window, SInt16 dh, SInt16 dv);

// The display services' port stack and conversions, with the shell's
// fall-backs.
void DialogPushPort();
void DialogPopPort();
void DialogSetPort(WindowRef window);
void DialogWindowToScreen(Point* point);
