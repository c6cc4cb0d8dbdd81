#include "NibWindows.h"

#include <cstdio>

#include "Backend.h"
#include "DialogDefaults.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "DisplayHooks.h"
#include "Errors.h"
#include "FieldMonitors.h"
#include "RefObjects.h"
#include "SystemUI.h"
#include "Windows.h"

EventHandlerProcPtr NibHandlerTable[kNibHandlerCount];

namespace {

constexpr UInt16 kDrainMask = 62;

void ReportStatus(const char* message, OSStatus status) {
  char caption[16];
  std::snprintf(caption, sizeof caption, "%d", static_cast<int>(status));
  AlertMessage(message, caption, "OK");
}

OSType CommandOf(ControlRef control) {
  UInt32 command = 0;
  gSystemCalls.getControlCommandID(control, &command);
  return command;
}

}  // namespace

void ShowDialogCursor() {
  if (!gCursorVisible) {
    GetBackend().ShowCursor(true);
    gCursorVisible = 1;
  }
}

void RestoreDialogCursor(UInt8 wasVisible) {
  if (!wasVisible && gCursorVisible) {
    GetBackend().ShowCursor(false);
    gCursorVisible = 0;
  }
}

OSType RunModalNibWindow(WindowRef window, WindowRef parent, UInt8 sheet) {
  const UInt8 cursorWasVisible = gCursorVisible;
  DialogRunState state{0, 0, DialogDefaults.dialogHandlerFlag, 0, 0};
  if (!parent) parent = DialogDefaults.parent;
  ResetAlertDefaults();
  if (!window) return 0;

  const EventTypeSpec pairs[] = {{kEventClassControl, 1}, {kEventClassKeyboard, 1}};
  EventHandlerProcPtr handler = NibHandlerTable[kStandardDialogHandler];
  const OSStatus installed = InstallWindowEventHandler(window, handler, 2, pairs, &state, nullptr);
  if (installed != 0) {
    ReportStatus("InstallWindowEventHandler() failed.", installed);
    return kResultCancel;
  }

  RefreshStaticTexts(window);
  DialogPushPort();
  DialogSetPort(window);
  DrainEvents(kDrainMask);
  if (parent && !sheet) CenterWindowOnParent(window, parent);
  if (parent && sheet) {
    gSystemCalls.showSheetWindow(window, parent);
  } else {
    ShowWindowRef(window);
  }

  const SInt32 wasInMenuMode = InMenuMode();
  EnterMenuMode();
  SetArrowCursor();
  ShowDialogCursor();

  gSystemCalls.runAppModalLoop(window);
  gSystemCalls.clearKeyboardFocus(window);
  DrainEvents(kDrainMask);

  RestoreDialogCursor(cursorWasVisible);
  if (!wasInMenuMode) LeaveMenuMode();
  DialogPopPort();
  return state.result;
}

WindowRef GetNibWindow(void* nib, const char* windowName) {
  if (!nib) return nullptr;
  StringObject* name = CreateString(nullptr, windowName, kDefaultTextEncoding);
  WindowRef window = nullptr;
  const OSStatus status = gSystemCalls.createWindowFromNib(nib, name, &window);
  ReleaseObject(name);
  return status == 0 ? window : nullptr;
}

OSType RunNibDialog(const char* nibName, const char* windowName, WindowRef parent, UInt8 sheet) {
  StringObject* name = CreateString(nullptr, nibName, kDefaultTextEncoding);
  void* nib = nullptr;
  OSStatus status = gSystemCalls.createNibReference(name, &nib);
  ReleaseObject(name);
  if (status != 0) ReportStatus("CreateNibReference() failed.", status);

  StringObject* window = CreateString(nullptr, windowName, kDefaultTextEncoding);
  WindowRef made = nullptr;
  status = gSystemCalls.createWindowFromNib(nib, window, &made);
  ReleaseObject(window);
  if (status != 0 || !made) {
    ReportStatus("CreateWindowFromNib() failed.", status);
    if (nib) gSystemCalls.disposeNibReference(nib);
    return kResultCancel;
  }
  const OSType result = RunModalNibWindow(made, parent, sheet);
  DisposeWindowRef(made);
  if (nib) gSystemCalls.disposeNibReference(nib);
  return result;
}

void RefreshStaticTexts(WindowRef window) {
  ControlRef root = nullptr;
  gSystemCalls.getRootControl(window, &root);
  if (!root) return;
  UInt16 count = 0;
  gSystemCalls.countSubControls(root, &count);
  for (UInt16 i = 1; i <= count; ++i) {
    ControlRef child = nullptr;
    gSystemCalls.getIndexedSubControl(root, i, &child);
    ControlKind kind{};
    gSystemCalls.getControlKind(child, &kind);
    if (kind.kind != FOUR_CHAR_CODE("stxt")) continue;
    Str255 text{};
    GetControlText(child, text);
    SetControlText(child, text);
  }
}

OSStatus PressControl(ControlRef control, SInt16 part) {
  if (const Boolean disabled = gSystemCalls.isControlDisabled(control)) return disabled;
  gSystemCalls.setControlValue(control, part);
  EventRef event = nullptr;
  OSStatus status = MacCreateEvent(nullptr, kEventClassControl, 1, GetCurrentEventTime(), 0, &event);
  if (status != 0) {
    ReportStatus("MacCreateEvent() failed.", status);
    return status;
  }
  status = SetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("ctrl"), sizeof control, &control);
  if (status != 0) {
    ReportStatus("SetEventParameter(1) failed.", status);
    ReleaseEvent(event);
    return status;
  }
  status = SendEventToWindow(event, GetControlEventTarget(control));
  ReleaseEvent(event);
  return status;
}

ControlRef FindControlByCommand(ControlRef parent, UInt32 command) {
  if (!parent) return nullptr;
  UInt16 count = 0;
  gSystemCalls.countSubControls(parent, &count);
  for (UInt16 i = 1; i <= count; ++i) {
    ControlRef child = nullptr;
    gSystemCalls.getIndexedSubControl(parent, i, &child);
    if (!child) continue;
    if (CommandOf(child) == command) return child;
    if (ControlRef found = FindControlByCommand(child, command)) return found;
  }
  return nullptr;
}

ControlRef FindWindowControlByCommand(WindowRef window, UInt32 command) {
  ControlRef root = nullptr;
  gSystemCalls.getRootControl(window, &root);
  return FindControlByCommand(root, command);
}

SInt16 GetControlValueByCommand(WindowRef window, UInt32 command) {
  ControlRef control = FindWindowControlByCommand(window, command);
  return control ? static_cast<SInt8>(gSystemCalls.getControlValue(control)) : 0;
}

void GetControlTextByCommand(WindowRef window, UInt32 command, StringPtr outText) {
  if (ControlRef control = FindWindowControlByCommand(window, command)) GetControlText(control, outText);
}

void SetDefaultButton(ControlRef control, UInt8 flag) {
  gSystemCalls.setControlData(control, 10, FOUR_CHAR_CODE("dflt"), 1, &flag);
  gSystemCalls.setControlCommandID(control, kResultOK);
}

void SetCancelButton(ControlRef control, UInt8 flag) {
  gSystemCalls.setControlData(control, 10, FOUR_CHAR_CODE("cncl"), 1, &flag);
  gSystemCalls.setControlCommandID(control, kResultCancel);
}

OSStatus StandardDialogHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto* state = static_cast<DialogRunState*>(userData);
  const UInt32 eventClass = GetEventRecordClass(event);
  const UInt32 kind = GetEventRecordKind(event);
  if (eventClass == kEventClassKeyboard) {
    EventRec classic{};
    ConvertEventRefToEventRecord(event, &classic);
    if (classic.what != kKeyDownEvent && classic.what != kAutoKeyEvent) return kEventNotHandledErr;
    // A key event's parameter word is its key, not a window: keys belong to
    // the front window.
    WindowRef target = GetFrontWindow();
    const UInt8 character = classic.message & 0xFF;
    ControlRef press = nullptr;
    if (character == 27) {
      press = FindWindowControlByCommand(target, kResultCancel);
      if (!press) press = FindWindowControlByCommand(target, kResultOK);
    } else if (character == 13 || character == 3) {
      press = FindWindowControlByCommand(target, kResultOK);
    }
    if (!press) return kEventNotHandledErr;
    PressControl(press, 1);
    return 0;
  }
  if (eventClass == kEventClassMouse) {
    UInt32 window = 0;
    const OSStatus status =
        GetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("wind"), nullptr, 4, nullptr, &window);
    if (status != 0) {
      ReportStatus("GetEventParameter() failed.", status);
      return kEventNotHandledErr;
    }
    return kEventNotHandledErr;
  }
  if (eventClass == kEventClassControl && kind == 1) {
    ControlRef control = nullptr;
    if (GetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("ctrl"), nullptr, sizeof control, nullptr,
                          &control) != 0 ||
        !control)
      return kEventNotHandledErr;
    ControlKind controlKind{};
    gSystemCalls.getControlKind(control, &controlKind);
    const OSType command = CommandOf(control);
    const bool ends = controlKind.kind == FOUR_CHAR_CODE("push") || controlKind.kind == FOUR_CHAR_CODE("rndb") ||
                      (controlKind.kind == FOUR_CHAR_CODE("bevl") && state && state->dialogHandlerFlag);
    if (state) state->result = command;
    if (ends || command == kResultOK || command == kResultCancel)
      gSystemCalls.quitAppModalLoop(gSystemCalls.getControlOwner(control));
  }
  return kEventNotHandledErr;
}

void InitNibHandlers() {
  NibHandlerTable[kTabControlHandler] = TabControlHandler;
  NibHandlerTable[kReadOnlyFieldHandler] = ReadOnlyFieldHandler;
  NibHandlerTable[kRequiredFieldHandler] = RequiredFieldHandler;
  NibHandlerTable[kControlProcHandler] = ControlProcHandler;
  NibHandlerTable[kAlphaFieldHandler] = AlphaFieldHandler;
  NibHandlerTable[kMaxLengthFieldHandler] = MaxLengthFieldHandler;
  NibHandlerTable[kRealFieldHandler] = RealFieldHandler;
  NibHandlerTable[kIntegerFieldHandler] = IntegerFieldHandler;
  NibHandlerTable[kStandardDialogHandler] = StandardDialogHandler;
}
