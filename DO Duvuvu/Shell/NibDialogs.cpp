#include "NibDialogs.h"

#include <algorithm>
#include <cstdio>

#include "AppGlobals.h"
#include "DialogControls.h"
#include "DialogDefaults.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "Errors.h"
#include "Events.h"
#include "NibWindows.h"
#include "PasswordDialogs.h"
#include "ShellServices.h"
#include "Strings.h"
#include "SystemCalls.h"
#include "SystemUI.h"
#include "Windows.h"

namespace {

WindowRef gProgressWindow = nullptr;
void* gProgressIcon = nullptr;

void TimerFired(void*, void* user) {
  auto* record = static_cast<DialogTimer*>(user);
  if (record->procedure) record->procedure(record);
}

void RepeatFired(void*, void* user) {
  auto* record = static_cast<DialogTimer*>(user);
  if (record->secondProcedure) record->secondProcedure(record);
}

ControlRef ByCommand(WindowRef window, const char (&command)[5]) {
  return FindWindowControlByCommand(window, FOUR_CHAR_CODE(command));
}

const EventTypeSpec kPasswordEvents[] = {{kEventClassControl, 1}, {kEventClassKeyboard, 1}, {kEventClassKeyboard, 2}};

void ReportInstallFailure(OSStatus status) {
  char caption[16];
  std::snprintf(caption, sizeof caption, "%d", static_cast<int>(status));
  AlertMessage("InstallWindowEventHandler() failed.", caption, "OK");
}

}  // namespace

void StopDialogTimer(DialogTimer* record) {
  if (record->timer) gSystemCalls.removeEventLoopTimer(record->timer);
  record->timer = nullptr;
  record->userValue = 0;
}

void StartDialogTimer(DialogTimer* record, void (*procedure)(DialogTimer*), uintptr_t userValue) {
  record->procedure = procedure;
  StopDialogTimer(record);
  record->userValue = userValue;
  gSystemCalls.installEventLoopTimer(record->delay, 0, TimerFired, record, &record->timer);
}

void StartRepeatingDialogTimer(DialogTimer* record, void (*procedure)(DialogTimer*), uintptr_t userValue) {
  record->secondProcedure = procedure;
  StopDialogTimer(record);
  record->userValue = userValue;
  gSystemCalls.installEventLoopTimer(record->delay, record->interval, RepeatFired, record, &record->timer);
}

OSType RunScaleImageDialog(UInt32, UInt32, UInt32, Rect* ioRect, const Rect* reference, WindowRef parent) {
  const double width = ioRect->right - ioRect->left, height = ioRect->bottom - ioRect->top;
  const double rw = (reference->right - reference->left) / width;
  const double rh = (reference->bottom - reference->top) / height;
  WindowRef window = GetNibWindow(EngineNib, "Scale Image");
  struct {
    OSType signature;
    SInt32 id;
  } const methodID{FOUR_CHAR_CODE("mthd"), 0};
  ControlRef method = nullptr;
  if (window) gSystemCalls.getControlByID(window, &methodID, &method);
  const OSType result = RunModalNibWindow(window, parent, 1);
  if (window) DisposeWindowRef(window);
  if (result != kResultOK) return result;
  const SInt32 choice = method ? gSystemCalls.getControlValue(method) : 0;
  if (choice == 1 || choice == 3) {
    const double ratio = choice == 1 ? std::max(rw, rh) : std::min(rw, rh);
    ioRect->right = static_cast<SInt16>(ioRect->left + static_cast<int>(width * ratio));
    ioRect->bottom = static_cast<SInt16>(ioRect->top + static_cast<int>(height * ratio));
  } else if (choice == 2) {
    *ioRect = *reference;
  }
  return kResultOK;
}

void ShowProgressWindow(ConstStr255Param title, UInt8 indeterminate, ConstStr255Param text) {
  if (gProgressWindow) return SetProgress(text, -1);
  WindowRef window = GetNibWindow(EngineNib, "Progress");
  if (!window) FatalError("GetNibWindow() failed.", "");
  gProgressWindow = window;
  SetWindowTitle(window, title);
  if (DialogDefaults.parent) {
    CenterWindowOnParent(window, DialogDefaults.parent);
    ResetAlertDefaults();
  }
  const OSErr status = gSystemCalls.getIconRef(-32768, ApplicationCreator, FOUR_CHAR_CODE("APPL"), &gProgressIcon);
  if (status != 0) FatalErrorNum("GetIconRef() failed.", status);
  SetIconControlContent(ByCommand(window, "icon"), gProgressIcon);
  if (ControlRef label = ByCommand(window, "txt1")) SetControlText(label, text);
  if (ControlRef bar = ByCommand(window, "prog")) {
    gSystemCalls.setControlValue(bar, 0);
    gSystemCalls.setControlMinimum(bar, 0);
    gSystemCalls.setControlMaximum(bar, 0);
    gSystemCalls.setControlData(bar, 0, FOUR_CHAR_CODE("inde"), 1, &indeterminate);
  }
  DialogPushPort();
  ShowWindowRef(window);
  DialogSetPort(window);
  RunEventLoopOnce();
}

void SetProgress(ConstStr255Param text, SInt32 step) {
  if (!gProgressWindow) return;
  if (ControlRef bar = ByCommand(gProgressWindow, "prog")) {
    UInt8 indeterminate = step < 0 ? 1 : 0;
    if (step != 0) gSystemCalls.setControlData(bar, 0, FOUR_CHAR_CODE("inde"), 1, &indeterminate);
    if (step > 0) gSystemCalls.setControlValue(bar, gSystemCalls.getControlValue(bar) + 1);
  }
  if (ControlRef label = ByCommand(gProgressWindow, "txt1")) SetControlText(label, text);
  RunEventLoopOnce();
}

OSErr CloseProgressWindow() {
  if (!gProgressWindow) return 0;
  DialogPopPort();
  DisposeWindowRef(gProgressWindow);
  gProgressWindow = nullptr;
  const OSErr status = gSystemCalls.releaseIconRef(gProgressIcon);
  gProgressIcon = nullptr;
  if (status != 0) FatalErrorNum("ReleaseIconRef() failed.", status);
  return status;
}

UInt8 IsProgressWindowOpen() { return gProgressWindow ? 1 : 0; }

OSType RunPasswordDialog(ConstStr255Param message, ConstStr255Param storedPassword) {
  PasswordDialogRecord record{};
  PStrCopy31(storedPassword, record.storedPassword);
  record.triesLeft = 3;
  WindowRef window = GetNibWindow(EngineNib, "Password");
  if (!window) {
    ResetAlertDefaults();
    return 0;
  }
  const OSStatus installed =
      InstallWindowEventHandler(window, DialogDefaults.passwordHandler, 3, kPasswordEvents, &record, nullptr);
  if (installed != 0) {
    ReportInstallFailure(installed);
    DisposeWindowRef(window);
    return 0;
  }
  record.defaultButton = ByCommand(window, "ok  ");
  record.firstField = ByCommand(window, "pass");
  if (ControlRef text = ByCommand(window, "text")) SetControlText(text, message);
  const UInt8 cursorWasVisible = gCursorVisible;
  SetArrowCursor();
  ShowDialogCursor();
  ShowWindowRef(window);
  SetControlSelection(record.firstField, 0, 32767);
  gSystemCalls.setKeyboardFocus(window, record.firstField, 0);
  gSystemCalls.disableControl(record.defaultButton);
  gSystemCalls.runAppModalLoop(window);
  DisposeWindowRef(window);
  RestoreDialogCursor(cursorWasVisible);
  ResetAlertDefaults();
  return record.result;
}

OSType RunPasswordPairDialog(ConstStr255Param message, StringPtr ioPassword, ConstStr255Param confirmation) {
  PasswordDialogRecord record{};
  PStrCopy31(confirmation, record.confirmation);
  const DialogDefaultsRecord& d = DialogDefaults;
  const SInt16 height = static_cast<SInt16>(std::max<int>(96 + d.extraHeight, 96) + 88);
  const Rect rect = CenterDialogRect(static_cast<SInt16>(312 + d.extraWidth), height, 0);
  const UInt8 cancelAllowed = d.cancelAllowed;
  WindowRef window = NewDialogWindow(rect, PStr("Password").GetPtr(), 0);
  const SInt16 h = static_cast<SInt16>(rect.bottom - rect.top);
  Rect r = DialogButtonRect(rect, 0);
  record.defaultButton = AddDialogItem(window, &r, kItemPushButton, PStr("Set").GetPtr(), 0, 0, 1);
  SetDefaultButton(record.defaultButton, 1);
  r = DialogButtonRect(rect, 1);
  ControlRef cancel = AddDialogItem(window, &r, kItemPushButton, PStr("Cancel").GetPtr(), 0, 0, 1);
  if (cancelAllowed) {
    SetCancelButton(cancel, 1);
  } else {
    gSystemCalls.disableControl(cancel);
    gSystemCalls.hideControl(cancel);
  }
  Rect icon = DialogIconRect();
  AddDialogItem(window, &icon, kItemIconNoTrack, PStr("").GetPtr(), 1, 0, 1);
  Rect text = DialogTextRect(rect);
  text.bottom = static_cast<SInt16>(h - 120);
  AddDialogItem(window, &text, kItemStaticText, message, 0, 0, 0);
  Rect field{static_cast<SInt16>(text.bottom + 8), text.left, static_cast<SInt16>(text.bottom + 30), text.right};
  record.firstField = AddDialogItem(window, &field, kItemEditText, PStr("").GetPtr(), 0, 0, 0);
  field.top = static_cast<SInt16>(field.top + 32);
  field.bottom = static_cast<SInt16>(field.bottom + 32);
  record.secondField = AddDialogItem(window, &field, kItemEditText, PStr("").GetPtr(), 0, 0, 0);
  const Rect row = DialogButtonRect(rect, 0);
  Rect none{row.top, 20, row.bottom, 90};
  ControlRef clear = AddDialogItem(window, &none, kItemPushButton, PStr("None").GetPtr(), 0, 0, 1);
  if (!ioPassword || ioPassword[0] == 0) {
    gSystemCalls.disableControl(clear);
  } else {
    gSystemCalls.setControlCommandID(clear, FOUR_CHAR_CODE("clea"));
  }
  gSystemCalls.disableControl(record.defaultButton);
  const OSStatus installed =
      window ? InstallWindowEventHandler(window, d.passwordPairHandler, 3, kPasswordEvents, &record, nullptr) : 0;
  if (installed != 0) {
    ReportInstallFailure(installed);
    DisposeWindowRef(window);
    return 0;
  }
  const UInt8 cursorWasVisible = gCursorVisible;
  SetArrowCursor();
  ShowDialogCursor();
  if (window) {
    ShowWindowRef(window);
    gSystemCalls.runAppModalLoop(window);
  }
  RestoreDialogCursor(cursorWasVisible);
  // Only a confirmed entry replaces the password: a cancelled run (or one
  // nobody answered) keeps the caller's.
  if (ioPassword && record.result == kResultOK) PStrCopy31(record.firstEntry, ioPassword);
  if (window) DisposeWindowRef(window);
  ResetAlertDefaults();
  return record.result;
}
