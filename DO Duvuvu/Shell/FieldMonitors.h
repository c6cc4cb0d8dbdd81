// Event handlers that filter keys typed into edit fields, keep numbers in
// range, drive tab panes and call custom procedures; their install routines;
// control values over ranges; dialog timers.
#pragma once

#include "Events.h"
#include "MacTypes.h"
#include "SystemCalls.h"

struct IntegerRange {
  float minimum;
  float maximum;
  UInt8 allowEmpty;
};
struct RealRange {
  float minimum;
  float maximum;
  UInt8 allowEmpty;
  UInt8 allowSpace;
  SInt8 decimals;
};
struct MaxLengthRecord {
  SInt16 maximum;
  ControlRef field;
};
struct RequiredFieldRecord {
  ControlRef button;
  ControlRef field;
};
struct FieldMonitorRecord {
  EventHandlerProcPtr handler;
  ControlRef control;
  uintptr_t userValue;
  SInt32 (*customProc)(uintptr_t value, ControlRef control);
};
struct CustomControlRecord {
  EventHandlerProcPtr handler;
  void* reserved[3];
  OSStatus (*controlProc)(ControlRef control);
};
struct CustomDialogRecord {
  EventHandlerProcPtr handler;
  UInt32 lastCommand;
  void* reserved;
  void (*customProc)(WindowRef window, UInt32 command, SInt16 part);
};

// Handlers find their field through the event's control, else through the
// handler call, which stands for the target they were installed on.
OSStatus IntegerFieldHandler(EventHandlerCallRef call, EventRef event, void* range);
OSStatus RealFieldHandler(EventHandlerCallRef call, EventRef event, void* range);
OSStatus MaxLengthFieldHandler(EventHandlerCallRef call, EventRef event, void* record);
OSStatus AlphaFieldHandler(EventHandlerCallRef call, EventRef event, void* unused);
OSStatus ControlProcHandler(EventHandlerCallRef call, EventRef event, void* procedure);
OSStatus RequiredFieldHandler(EventHandlerCallRef call, EventRef event, void* record);
OSStatus FieldMonitorHandler(EventHandlerCallRef call, EventRef event, void* record);
OSStatus ReadOnlyFieldHandler(EventHandlerCallRef call, EventRef event, void* field);
OSStatus TabControlHandler(EventHandlerCallRef call, EventRef event, void* tab);
OSStatus CustomControlHandler(EventHandlerCallRef call, EventRef event, void* record);
OSStatus CustomDialogHandler(EventHandlerCallRef call, EventRef event, void* record);

void ClampIntegerField(ControlRef field, const IntegerRange* range);
void ClampRealField(ControlRef field, const RealRange* range);

OSStatus InstallIntegerFieldMonitor(ControlRef field, IntegerRange* range);
OSStatus InstallRealFieldMonitor(ControlRef field, RealRange* range);
OSStatus InstallMaxLengthFieldMonitor(ControlRef field, MaxLengthRecord* record);
OSStatus InstallAlphaFieldMonitor(ControlRef field);
OSStatus InstallControlProc(ControlRef control, OSStatus (*procedure)(ControlRef));
OSStatus InstallRequiredFieldMonitor(ControlRef field, ControlRef button, RequiredFieldRecord* record);
OSStatus InstallFieldMonitor(ControlRef field, FieldMonitorRecord* record, uintptr_t userValue);
OSStatus InstallReadOnlyField(ControlRef field);
OSStatus InstallTabControlHandler(ControlRef tab);
OSStatus InstallCustomControlHandler(ControlRef control, CustomControlRecord* record);
OSStatus InstallCustomDialogHandler(WindowRef window, CustomDialogRecord* record);
void SelectTabPane(WindowRef window, ControlRef tab, SInt32 pane);

// 0 for no control; answers low when the control's range is empty or wider
// than the target range.
SInt32 ControlValueToRange(ControlRef control, SInt32 low, SInt32 high);
SInt32 RangeToControlValue(SInt32 number, ControlRef control, SInt32 low, SInt32 high);
