// The modal core of dialog windows: the run of a window with the standard
// dialog handler, windows from the engine's Nib, and finding and pressing
// controls.
#pragma once

#include "Events.h"
#include "MacTypes.h"
#include "SystemCalls.h"

constexpr OSType kResultOK = FOUR_CHAR_CODE("ok  ");
constexpr OSType kResultCancel = FOUR_CHAR_CODE("not!");
constexpr OSType kResultDont = FOUR_CHAR_CODE("dont");

// The user data of StandardDialogHandler for one run.
struct DialogRunState {
  UInt32 reserved0;
  OSType result;  // 0 until a control ends the run
  UInt8 dialogHandlerFlag;
  UInt32 reserved1;
  UInt32 reserved2;
};

enum NibHandlerIndex {
  kTabControlHandler,
  kReadOnlyFieldHandler,
  kRequiredFieldHandler,
  kControlProcHandler,
  kAlphaFieldHandler,
  kMaxLengthFieldHandler,
  kRealFieldHandler,
  kIntegerFieldHandler,
  kStandardDialogHandler,
  kNibHandlerCount
};
extern EventHandlerProcPtr NibHandlerTable[kNibHandlerCount];
// Start-up entry: fills the table.
void InitNibHandlers();

OSStatus StandardDialogHandler(EventHandlerCallRef call, EventRef event, void* runState);

// A nil window resets the alert defaults and answers 0.
OSType RunModalNibWindow(WindowRef window, WindowRef parent, UInt8 sheet);
WindowRef GetNibWindow(void* nib, const char* windowName);
OSType RunNibDialog(const char* nibName, const char* windowName, WindowRef parent, UInt8 sheet);
void RefreshStaticTexts(WindowRef window);

OSStatus PressControl(ControlRef control, SInt16 part);
ControlRef FindControlByCommand(ControlRef parent, UInt32 command);
ControlRef FindWindowControlByCommand(WindowRef window, UInt32 command);
SInt16 GetControlValueByCommand(WindowRef window, UInt32 command);
void GetControlTextByCommand(WindowRef window, UInt32 command, StringPtr outText);
void SetDefaultButton(ControlRef control, UInt8 flag);
void SetCancelButton(ControlRef control, UInt8 flag);

// The cursor rule of the dialogs: show the cursor (and set the flag) when it
// is hidden; afterwards hide it again when it was hidden at the start.
void ShowDialogCursor();
void RestoreDialogCursor(UInt8 wasVisible);
