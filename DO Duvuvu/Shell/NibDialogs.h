// Dialogs made from the engine's Nib (absent here, so they never appear):
// the progress window, the scale-image sheet and the password dialogs, and
// the dialogs' event-loop timers.
#pragma once

#include "Events.h"
#include "MacTypes.h"

struct DialogTimer {
  void (*procedure)(DialogTimer* timer);
  void (*secondProcedure)(DialogTimer* timer);
  void* timer;  // the event-loop timer, nil while stopped
  uintptr_t userValue;
  double delay;     // seconds
  double interval;  // seconds
};

void StopDialogTimer(DialogTimer* record);
void StartDialogTimer(DialogTimer* record, void (*procedure)(DialogTimer*), uintptr_t userValue);
void StartRepeatingDialogTimer(DialogTimer* record, void (*procedure)(DialogTimer*), uintptr_t userValue);

OSType RunScaleImageDialog(UInt32 unused1, UInt32 unused2, UInt32 unused3, Rect* ioRect, const Rect* reference,
                           WindowRef parent);
// Fatal here: the engine Nib has no "Progress" window.
void ShowProgressWindow(ConstStr255Param title, UInt8 indeterminate, ConstStr255Param text);
void SetProgress(ConstStr255Param text, SInt32 step);
OSErr CloseProgressWindow();
UInt8 IsProgressWindowOpen();

OSType RunPasswordDialog(ConstStr255Param message, ConstStr255Param storedPassword);
OSType RunPasswordPairDialog(ConstStr255Param message, StringPtr ioPassword, ConstStr255Param confirmation);
