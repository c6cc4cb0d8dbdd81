#include "FieldMonitors.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "Backend.h"
#include "DialogItems.h"
#include "DialogControls.h"
#include "Errors.h"
#include "NibWindows.h"
#include "Strings.h"

namespace {

ControlRef TargetControl(EventHandlerCallRef call, EventRef event) {
  ControlRef control = nullptr;
  if (GetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("ctrl"), nullptr, sizeof control, nullptr,
                        &control) == 0 && control)
    return control;
  return static_cast<ControlRef>(call);
}

bool IsKey(EventRef event) { return GetEventRecordClass(event) == kEventClassKeyboard; }
bool IsValueChanged(EventRef event) {
  return GetEventRecordClass(event) == kEventClassControl && GetEventRecordKind(event) == 7;
}

UInt8 Character(EventRef event) {
  UInt8 c = 0;
  GetEventParameter(event, FOUR_CHAR_CODE("kchr"), FOUR_CHAR_CODE("TEXT"), nullptr, 1, nullptr, &c);
  return c;
}

// Tab, Backspace, Escape, Return, Enter and the side arrows.
bool IsEditingKey(UInt8 c) { return c == 9 || c == 8 || c == 27 || c == 13 || c == 3 || c == 28 || c == 29; }

OSStatus PassOrSwallow(bool passes) { return passes ? kEventNotHandledErr : 0; }

std::string FieldText(ControlRef field) {
  Str255 text{};
  GetControlText(field, text);
  return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

void SetFieldText(ControlRef field, const std::string& text) {
  Str255 p;
  CToPStr(text.substr(0, 255).c_str(), p);
  SetControlText(field, p);
}

OSStatus Install(EventTargetRef target, NibHandlerIndex which, UInt32 count, const EventTypeSpec* pairs, void* data) {
  return InstallWindowEventHandler(target, NibHandlerTable[which], count, pairs, data, nullptr);
}

const EventTypeSpec kKeyAndValue[] = {{kEventClassKeyboard, 1}, {kEventClassControl, 7}};

}  // namespace

void ClampIntegerField(ControlRef field, const IntegerRange* range) {
  const std::string text = FieldText(field);
  if (text.empty() && range->allowEmpty) return;
  double value = std::strtol(text.c_str(), nullptr, 10);
  if (value < range->minimum) value = range->minimum;
  if (value > range->maximum) value = range->maximum;
  // A range may reach past long; 2^63 is exact as a double, LONG_MAX is not.
  const double limit = -static_cast<double>(std::numeric_limits<long>::min());
  long shown = std::numeric_limits<long>::max();
  if (value < -limit) {
    shown = std::numeric_limits<long>::min();
  } else if (value < limit) {
    shown = static_cast<long>(value);
  }
  char out[32];
  std::snprintf(out, sizeof out, "%ld", shown);
  SetFieldText(field, out);
}

void ClampRealField(ControlRef field, const RealRange* range) {
  const std::string text = FieldText(field);
  if (text.empty() && range->allowEmpty) return;
  double value = text.empty() ? range->minimum : std::strtod(text.c_str(), nullptr);
  if (!(value >= range->minimum)) value = range->minimum;
  if (value > range->maximum) value = range->maximum;
  char out[64];
  std::snprintf(out, sizeof out, "%.*f", range->decimals < 0 ? 0 : range->decimals, value);
  SetFieldText(field, out);
}

OSStatus IntegerFieldHandler(EventHandlerCallRef call, EventRef event, void* data) {
  if (IsValueChanged(event)) {
    if (data) ClampIntegerField(TargetControl(call, event), static_cast<IntegerRange*>(data));
    return kEventNotHandledErr;
  }
  if (!IsKey(event)) return kEventNotHandledErr;
  const UInt8 c = Character(event);
  return PassOrSwallow(std::isdigit(c) || IsEditingKey(c));
}

OSStatus RealFieldHandler(EventHandlerCallRef call, EventRef event, void* data) {
  auto* range = static_cast<RealRange*>(data);
  if (IsValueChanged(event)) {
    if (range) ClampRealField(TargetControl(call, event), range);
    return kEventNotHandledErr;
  }
  if (!IsKey(event) || !range) return kEventNotHandledErr;
  const UInt8 c = Character(event);
  const bool passes = std::isdigit(c) || IsEditingKey(c) || c == '.' || (c == '-' && range->minimum < 0) ||
                      ((c == 1 || c == ' ') && range->allowSpace);
  return PassOrSwallow(passes);
}

OSStatus MaxLengthFieldHandler(EventHandlerCallRef, EventRef event, void* data) {
  auto* record = static_cast<MaxLengthRecord*>(data);
  if (!record) return kEventNotHandledErr;
  if (IsValueChanged(event)) {
    const std::string text = FieldText(record->field);
    if (record->maximum >= 0 && text.size() > static_cast<size_t>(record->maximum))
      SetFieldText(record->field, text.substr(0, record->maximum));
    return kEventNotHandledErr;
  }
  if (!IsKey(event)) return kEventNotHandledErr;
  const UInt8 c = Character(event);
  if (IsEditingKey(c)) return kEventNotHandledErr;
  return PassOrSwallow(static_cast<SInt32>(FieldText(record->field).size()) < record->maximum);
}

OSStatus AlphaFieldHandler(EventHandlerCallRef, EventRef event, void*) {
  if (!IsKey(event)) return kEventNotHandledErr;
  const UInt8 c = Character(event);
  return PassOrSwallow(std::isalpha(c) || c == ' ' || IsEditingKey(c));
}

OSStatus ControlProcHandler(EventHandlerCallRef call, EventRef event, void* data) {
  auto procedure = reinterpret_cast<OSStatus (*)(ControlRef)>(data);
  if (!procedure || GetEventRecordKind(event) != 1) return kEventNotHandledErr;
  return procedure(TargetControl(call, event)) == 1 ? kEventNotHandledErr : 0;
}

OSStatus RequiredFieldHandler(EventHandlerCallRef call, EventRef event, void* data) {
  auto* record = static_cast<RequiredFieldRecord*>(data);
  if (!record || !IsKey(event)) return kEventNotHandledErr;
  PassEventToNextHandler(call, event);
  if (FieldText(record->field).empty()) {
    gSystemCalls.disableControl(record->button);
  } else {
    gSystemCalls.enableControl(record->button);
  }
  return kEventNotHandledErr;
}

OSStatus FieldMonitorHandler(EventHandlerCallRef, EventRef event, void* data) {
  auto* record = static_cast<FieldMonitorRecord*>(data);
  if (!record) FatalError("FieldMonitor pointer is nil.", "FieldMonitorHandler()");
  if (!record->customProc) FatalError("CustomProc pointer is nil.", "FieldMonitorHandler()");
  if (GetEventRecordClass(event) == FOUR_CHAR_CODE("txfd")) record->customProc(record->userValue, record->control);
  return kEventNotHandledErr;
}

OSStatus ReadOnlyFieldHandler(EventHandlerCallRef, EventRef event, void* data) {
  auto field = static_cast<ControlRef>(data);
  const UInt32 eventClass = GetEventRecordClass(event);
  if (eventClass == FOUR_CHAR_CODE("cmds")) {
    UInt32 command = GetEventRecordKind(event) == 1 ? event->param : 0;
    return PassOrSwallow(command != FOUR_CHAR_CODE("cut ") && command != FOUR_CHAR_CODE("past"));
  }
  if (eventClass == kEventClassKeyboard) {
    const UInt8 c = Character(event);
    return PassOrSwallow(GetEventRecordKind(event) == 1 && (c == 9 || c == 13 || c == 3 || c == 27));
  }
  if (eventClass == kEventClassMouse || eventClass == kEventClassControl) {
    SetControlSelection(field, 0, 32767);
    WindowRef window = gSystemCalls.getControlOwner(field);
    gSystemCalls.setKeyboardFocus(window, field, 0);
    gSystemCalls.setKeyboardFocus(window, field, -1);
    return 0;
  }
  return kEventNotHandledErr;
}

namespace {

struct ControlIdentifier {
  OSType signature;
  SInt32 id;
};

ControlRef Pane(WindowRef window, ControlRef tab, SInt32 pane) {
  ControlIdentifier tabID{0, 0};
  gSystemCalls.getControlID(tab, &tabID);
  const ControlIdentifier id{static_cast<OSType>(tabID.id), pane};
  ControlRef found = nullptr;
  gSystemCalls.getControlByID(window, &id, &found);
  return found;
}

}  // namespace

void SelectTabPane(WindowRef window, ControlRef tab, SInt32 pane) {
  const SInt32 maximum = gSystemCalls.getControlMaximum(tab);
  ControlRef shown = nullptr;
  for (SInt32 i = 1; i <= maximum; ++i) {
    ControlRef p = Pane(window, tab, i);
    if (!p) continue;
    if (i == pane) {
      shown = p;
    } else {
      gSystemCalls.setControlVisible(p, 0, 1);
    }
  }
  if (shown) {
    gSystemCalls.clearKeyboardFocus(window);
    gSystemCalls.setControlVisible(shown, 1, 1);
  }
  gSystemCalls.drawControl(tab);
}

OSStatus TabControlHandler(EventHandlerCallRef call, EventRef event, void* data) {
  auto tab = static_cast<ControlRef>(data);
  if (!tab || TargetControl(call, event) != tab) return kEventNotHandledErr;
  WindowRef window = gSystemCalls.getControlOwner(tab);
  SInt32 v = gSystemCalls.getControlValue(tab);
  const SInt32 maximum = gSystemCalls.getControlMaximum(tab);
  ControlRef pane = Pane(window, tab, v);
  if (pane && gSystemCalls.isControlDisabled(pane)) {
    gSystemCalls.beep();
    while (v < maximum && (pane = Pane(window, tab, v)) && gSystemCalls.isControlDisabled(pane)) ++v;
    gSystemCalls.setControlValue(tab, v);
  }
  SelectTabPane(window, tab, v);
  return 0;
}

OSStatus CustomControlHandler(EventHandlerCallRef call, EventRef event, void* data) {
  auto* record = static_cast<CustomControlRecord*>(data);
  if (!record) FatalError("DialogHandler pointer is nil.", "CustomControlHandler()");
  if (!record->controlProc) FatalError("ControlProc pointer is nil.", "CustomControlHandler()");
  return record->controlProc(TargetControl(call, event));
}

OSStatus CustomDialogHandler(EventHandlerCallRef call, EventRef event, void* data) {
  auto* record = static_cast<CustomDialogRecord*>(data);
  if (!record) FatalError("DialogHandler pointer is nil.", "CustomDialogHandler()");
  if (!record->customProc) FatalError("CustomProc pointer is nil.", "CustomDialogHandler()");
  if (IsKey(event)) return StandardDialogHandler(call, event, nullptr);
  ControlRef control = TargetControl(call, event);
  if (!control || GetEventRecordKind(event) != 1) return kEventNotHandledErr;
  SInt16 part = 0;
  GetEventParameter(event, FOUR_CHAR_CODE("cprt"), FOUR_CHAR_CODE("cprt"), nullptr, 2, nullptr, &part);
  UInt32 command = 0;
  gSystemCalls.getControlCommandID(control, &command);
  record->customProc(gSystemCalls.getControlOwner(control), command, part);
  record->lastCommand = command;
  return kEventNotHandledErr;
}

OSStatus InstallIntegerFieldMonitor(ControlRef field, IntegerRange* range) {
  return Install(GetControlEventTarget(field), kIntegerFieldHandler, 2, kKeyAndValue, range);
}
OSStatus InstallRealFieldMonitor(ControlRef field, RealRange* range) {
  return Install(GetControlEventTarget(field), kRealFieldHandler, 2, kKeyAndValue, range);
}
OSStatus InstallMaxLengthFieldMonitor(ControlRef field, MaxLengthRecord* record) {
  record->field = field;
  return Install(GetControlEventTarget(field), kMaxLengthFieldHandler, 2, kKeyAndValue, record);
}
OSStatus InstallAlphaFieldMonitor(ControlRef field) {
  return Install(GetControlEventTarget(field), kAlphaFieldHandler, 2, kKeyAndValue, nullptr);
}
OSStatus InstallControlProc(ControlRef control, OSStatus (*procedure)(ControlRef)) {
  const EventTypeSpec hit{kEventClassControl, 1};
  return Install(GetControlEventTarget(control), kControlProcHandler, 1, &hit, reinterpret_cast<void*>(procedure));
}
OSStatus InstallRequiredFieldMonitor(ControlRef field, ControlRef button, RequiredFieldRecord* record) {
  record->button = button;
  record->field = field;
  const EventTypeSpec keys[] = {{kEventClassKeyboard, 1}, {kEventClassKeyboard, 2}};
  return Install(GetControlEventTarget(field), kRequiredFieldHandler, 2, keys, record);
}
OSStatus InstallFieldMonitor(ControlRef field, FieldMonitorRecord* record, uintptr_t userValue) {
  record->handler = FieldMonitorHandler;
  record->control = field;
  record->userValue = userValue;
  const EventTypeSpec text[] = {{FOUR_CHAR_CODE("txfd"), 1}, {FOUR_CHAR_CODE("txfd"), 3}};
  return InstallWindowEventHandler(GetControlEventTarget(field), FieldMonitorHandler, 2, text, record, nullptr);
}
OSStatus InstallReadOnlyField(ControlRef field) {
  const EventTypeSpec pairs[] = {{kEventClassKeyboard, 1}, {kEventClassKeyboard, 2}, {FOUR_CHAR_CODE("cmds"), 1},
                                 {kEventClassControl, 1}};
  return Install(GetControlEventTarget(field), kReadOnlyFieldHandler, 4, pairs, field);
}
OSStatus InstallTabControlHandler(ControlRef tab) {
  const EventTypeSpec hit{kEventClassControl, 1};
  return Install(GetControlEventTarget(tab), kTabControlHandler, 1, &hit, tab);
}
OSStatus InstallCustomControlHandler(ControlRef control, CustomControlRecord* record) {
  record->handler = CustomControlHandler;
  const EventTypeSpec hit{kEventClassControl, 1};
  return InstallWindowEventHandler(GetControlEventTarget(control), CustomControlHandler, 1, &hit, record, nullptr);
}
OSStatus InstallCustomDialogHandler(WindowRef window, CustomDialogRecord* record) {
  record->handler = CustomDialogHandler;
  const EventTypeSpec pairs[] = {{kEventClassControl, 1}, {kEventClassKeyboard, 1}};
  return InstallWindowEventHandler(window, CustomDialogHandler, 2, pairs, record, nullptr);
}

SInt32 ControlValueToRange(ControlRef control, SInt32 low, SInt32 high) {
  if (!control) return 0;
  const SInt64 value = gSystemCalls.getControlValue(control), minimum = gSystemCalls.getControlMinimum(control),
               maximum = gSystemCalls.getControlMaximum(control);
  if (maximum == minimum) return low;
  const SInt64 ratio = (static_cast<SInt64>(high) - low) / (maximum - minimum);
  return static_cast<SInt32>((value - minimum) * ratio + low);
}

SInt32 RangeToControlValue(SInt32 number, ControlRef control, SInt32 low, SInt32 high) {
  if (!control) return 0;
  const SInt64 minimum = gSystemCalls.getControlMinimum(control), maximum = gSystemCalls.getControlMaximum(control);
  const SInt64 ratio = maximum == minimum ? 0 : (static_cast<SInt64>(high) - low) / (maximum - minimum);
  // An empty range, or one the target range cannot step through, sets the minimum.
  const SInt64 value = ratio == 0 ? minimum : minimum + (static_cast<SInt64>(number) - low) / ratio;
  gSystemCalls.setControlValue(control, static_cast<SInt32>(value));
  return static_cast<SInt32>(value);
}
