// The per-step event poll and the input state it keeps: the key tables, the
// current classic event and its stack, the mouse motion and position, the
// mouse in the game port's coordinates, and the dispatch of the current event
// to the menus and the application.
#pragma once

#include "Events.h"
#include "MacTypes.h"

// Flags of the menu dispatch, read by the application's per-event hook.
struct MenuDispatchFlagsRecord {
  UInt8 quitCommand;    // menus 129/130 on old systems: never here
  UInt8 secondCommand;  // likewise
  UInt8 inMenuCommand;  // while the hook runs for a menu command
  UInt8 closeBox;       // a close request was taken
};
extern MenuDispatchFlagsRecord MenuDispatchFlags;

// The record PollEvents fills when given none.
extern EventRec gCurrentEventRecord;

// The poll -----------------------------------------------------------------------

// True when the last event taken converts to a classic event other than null.
Boolean PollEvents(UInt16 mask, EventRec* outRecord);
void ClearKeyTables();
// True on every call while the key is held, and once more for a press that
// began and ended between two calls.
Boolean KeyWasPressed(UInt8 keyCode);
Boolean MouseButtonWasPressed();

// The current event ------------------------------------------------------------

EventRec* GetCurrentEventRec();
void SetCurrentEventRec(EventRec* record);
// 128 deep; overflow and underflow are fatal.
void PushEventRec();
void PopEventRec();
// Start-up entry: the stack (and the event pump the clocks wait with).
void InitEventRecStack();
void ExitEventRecStack();

// Nil records mean the current event.
UInt8 GetEventKeyCode(const EventRec* record, UInt16* outModifiers);
// Modifier 0: none at all; -1: any; n: exactly 1 << n.
Boolean IsKeyDownEvent(SInt16 keyCode, SInt16 modifier, const EventRec* record);
Boolean IsKeyRepeatEvent(SInt16 keyCode);
Boolean EventHasModifier(SInt16 modifier, const EventRec* record);
Boolean IsMouseDownWithModifier(SInt16 modifier);
Boolean GetMenuSelection(SInt16* outMenuID, SInt16* outItem);
Boolean IsResumeRedraw();
Boolean IsSuspendRedraw();
Boolean IsEventIdle();
Boolean GetMouseSnapshot(WindowRef* outWindow, Point* outPoint);

// The mouse ------------------------------------------------------------------------

void BeginMouseDeltaTracking();
// Advances the position by the accumulated motion, kept on the main screen.
void UpdateMousePosition();
Point GetAccumulatedMouse();

// The letterbox of the logical screen in the main window, in window
// coordinates; empty without a main window or a logical size.
void GetPortDisplayRect(Rect* outRect);
Point WindowToPortPoint(Point point);
Point PortToWindowPoint(Point point);
Point GetPortMouse();
Point GlobalToPortPoint(Point point);
Point PortToGlobalPoint(Point point);
// True for a current mouse-down, with its location in the port.
Boolean GetMouseDownPortLocation(SInt16* outH, SInt16* outV);
// Cursor moves: clamped to the main screen, then handed to the bound warp.
void WarpMouseTo(Point global);
void WarpMouseBy(SInt16 dh, SInt16 dv);
void WarpMouseToPortPoint(Point port);
void WarpMouseToWindowPoint(Point window);

Boolean IsFrontProcess();

// Dispatch ---------------------------------------------------------------------

// The current event to the menus and the application's per-event hook.
void DispatchCurrentEvent();
// A menu choice: the About box, the Window menu's sizes and full screen.
void HandleMenuCommand(SInt16 menuID, SInt16 item);
