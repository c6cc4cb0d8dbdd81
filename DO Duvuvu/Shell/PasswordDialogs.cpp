#include "PasswordDialogs.h"

#include <algorithm>
#include <cstdio>

#include "Alerts.h"
#include "DialogDefaults.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "Errors.h"
#include "NibWindows.h"
#include "ShellServices.h"
#include "Strings.h"
#include "SystemUI.h"
#include "Windows.h"

namespace {

constexpr OSType kClearCommand = FOUR_CHAR_CODE("clea");

bool IsTypingKind(EventRef event) {
  EventRec classic{};
  ConvertEventRefToEventRecord(event, &classic);
  return classic.what == kKeyDownEvent || classic.what == kAutoKeyEvent;
}

UInt8 EventCharacter(EventRef event) {
  UInt8 character = 0;
  GetEventParameter(event, FOUR_CHAR_CODE("kchr"), FOUR_CHAR_CODE("TEXT"), nullptr, 1, nullptr, &character);
  return character;
}

void ReadEntry(ControlRef field, StringPtr entry) {
  Str255 text{};
  GetPasswordText(field, text);
  PStrCopy31(text, entry);
}

void EnableIf(ControlRef button, bool enable) {
  if (enable) {
    gSystemCalls.enableControl(button);
  } else {
    gSystemCalls.disableControl(button);
  }
}

ControlRef HitControl(EventRef event) {
  ControlRef control = nullptr;
  GetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("ctrl"), nullptr, sizeof control, nullptr, &control);
  return control;
}

void EndRun(ControlRef control) { gSystemCalls.quitAppModalLoop(gSystemCalls.getControlOwner(control)); }

void SelectAndFocus(ControlRef field) {
  const SInt16 selection[2] = {0, 32767};
  gSystemCalls.setControlData(field, 0, FOUR_CHAR_CODE("sele"), sizeof selection, selection);
  WindowRef owner = gSystemCalls.getControlOwner(field);
  gSystemCalls.setKeyboardFocus(owner, field, 0);
  gSystemCalls.setKeyboardFocus(owner, field, -1);
}

// The engine Nib's "Password Wrong" window as a sheet, with a beep.
void ShowPasswordWrong(WindowRef parent, const char* text) {
  WindowRef sheet = GetNibWindow(EngineNib, "Password Wrong");
  if (!sheet) return;
  if (text) {
    if (ControlRef label = FindWindowControlByCommand(sheet, FOUR_CHAR_CODE("text"))) {
      Str255 p;
      CToPStr(text, p);
      SetControlText(label, p);
    }
  }
  gSystemCalls.beep();
  gSystemCalls.showSheetWindow(sheet, parent);
  gSystemCalls.hideSheetWindow(sheet);
  DisposeWindowRef(sheet);
}

}  // namespace

void GetPasswordText(ControlRef control, StringPtr outText) {
  SInt32 size = 0;
  const OSErr status = gSystemCalls.getControlData(control, 0, FOUR_CHAR_CODE("pass"), 255, outText + 1, &size);
  if (status != 0) FatalErrorNum("GetControlText() failed.", status);
  outText[0] = static_cast<unsigned char>(std::clamp<SInt32>(size, 0, 255));
}

OSStatus PasswordEventHandler(EventHandlerCallRef call, EventRef event, void* userData) {
  auto* record = static_cast<PasswordDialogRecord*>(userData);
  if (!record) return kEventNotHandledErr;
  if (GetEventRecordClass(event) == kEventClassKeyboard) {
    PassEventToNextHandler(call, event);
    if (IsTypingKind(event)) {
      ReadEntry(record->firstField, record->firstEntry);
      EnableIf(record->defaultButton, record->firstEntry[0] != 0);
    }
    return 0;
  }
  if (GetEventRecordKind(event) != 1) return kEventNotHandledErr;
  ControlRef control = HitControl(event);
  if (!control) return kEventNotHandledErr;
  UInt32 command = 0;
  gSystemCalls.getControlCommandID(control, &command);
  record->result = command;
  if (command == kResultCancel) {
    EndRun(control);
    return 0;
  }
  if (command != kResultOK) return kEventNotHandledErr;
  ReadEntry(record->firstField, record->firstEntry);
  if (PStrEqual(record->firstEntry, record->storedPassword)) {
    EndRun(control);
    return 0;
  }
  ShowPasswordWrong(gSystemCalls.getControlOwner(control), nullptr);
  SelectAndFocus(record->firstField);
  if (record->triesLeft > 0) --record->triesLeft;
  if (record->triesLeft == 0) {
    record->result = kResultCancel;
    EndRun(control);
  }
  return 0;
}

OSStatus PasswordPairEventHandler(EventHandlerCallRef call, EventRef event, void* userData) {
  auto* record = static_cast<PasswordDialogRecord*>(userData);
  if (!record) return kEventNotHandledErr;
  if (GetEventRecordClass(event) == kEventClassKeyboard) {
    if (!IsTypingKind(event)) return kEventNotHandledErr;
    WindowRef window = gSystemCalls.getControlOwner(record->firstField);
    const UInt8 character = EventCharacter(event);
    if (character == 27 || character == 13 || character == 3) {
      ControlRef press = nullptr;
      if (character == 27) press = FindWindowControlByCommand(window, kResultCancel);
      if (!press) press = FindWindowControlByCommand(window, kResultOK);
      PressControl(press, 1);
      return 0;
    }
    PassEventToNextHandler(call, event);
    ReadEntry(record->firstField, record->firstEntry);
    ReadEntry(record->secondField, record->secondEntry);
    EnableIf(record->defaultButton, record->firstEntry[0] != 0 && record->secondEntry[0] != 0);
    return 0;
  }
  if (GetEventRecordKind(event) != 1) return kEventNotHandledErr;
  ControlRef control = HitControl(event);
  if (!control) return kEventNotHandledErr;
  UInt32 command = 0;
  gSystemCalls.getControlCommandID(control, &command);
  if (command == kResultOK) {
    ReadEntry(record->firstField, record->firstEntry);
    ReadEntry(record->secondField, record->secondEntry);
    if (PStrEqual(record->firstEntry, record->secondEntry)) {
      record->result = kResultOK;
      EndRun(control);
      return 0;
    }
    ShowPasswordWrong(gSystemCalls.getControlOwner(control),
                      "The passwords do not match.  Please check your typing and try again.");
    SelectAndFocus(record->firstField);
    return 0;
  }
  if (command == kClearCommand) {
    if (RunAlert(CStr(record->confirmation).GetPtr(), 0) == kResultOK) {
      record->firstEntry[0] = 0;
      record->secondEntry[0] = 0;
      record->result = kResultOK;
      EndRun(control);
    }
    return 0;
  }
  if (command == kResultCancel) {
    record->result = kResultCancel;
    EndRun(control);
    return 0;
  }
  return kEventNotHandledErr;
}
