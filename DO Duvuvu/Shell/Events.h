// Carbon-style events: reference-counted records with a class, a kind, a time
// and one typed parameter; per-window handlers; the receiver that turns the
// platform's input into such events; and the classic 16-byte event record
// with the classic calls built on the receiver.
#pragma once

#include <cstdint>

#include "DisplayHooks.h"
#include "MacTypes.h"
#include "ResultCodes.h"

constexpr UInt32 kEventClassKeyboard = FOUR_CHAR_CODE("keyb");
constexpr UInt32 kEventClassMouse = FOUR_CHAR_CODE("mous");
constexpr UInt32 kEventClassWindow = FOUR_CHAR_CODE("wind");
constexpr UInt32 kEventClassControl = FOUR_CHAR_CODE("cntl");
constexpr UInt32 kEventClassTextInput = FOUR_CHAR_CODE("text");

constexpr UInt32 kEventRawKeyDown = 1;
constexpr UInt32 kEventRawKeyUp = 3;
constexpr UInt32 kEventTextInputUnicodeForKeyEvent = 2;
constexpr UInt32 kEventMouseDown = 1;
constexpr UInt32 kEventMouseUp = 2;
constexpr UInt32 kEventMouseMoved = 5;
constexpr UInt32 kEventMouseDragged = 6;
constexpr UInt32 kEventWindowClose = 72;
constexpr UInt32 kEventWindowZoom = 76;

constexpr UInt16 kWindowParamFullScreen = 8;
constexpr UInt16 kWindowParamWindowed = 7;

// Modifier bits of events.
constexpr UInt32 kCmdKeyBit = 0x100;    // a Windows key or the Application key
constexpr UInt32 kShiftKeyBit = 0x200;
constexpr UInt32 kCapsLockBit = 0x400;  // the key held, not its toggle
constexpr UInt32 kOptionKeyBit = 0x800; // Alt
constexpr UInt32 kControlKeyBit = 0x1000;

struct EventRecord {
  UInt32 refCount;
  UInt32 eventClass;
  UInt32 kind;
  double time;  // seconds
  UInt32 attributes;
  UInt32 param;  // key: virtual key << 8 | character; else the one parameter
  UInt32 modifiers;
};
typedef EventRecord* EventRef;

struct EventTypeSpec {
  UInt32 eventClass;
  UInt32 eventKind;
};

// Event targets are the windows themselves; the application target is nil.
typedef WindowRef EventTargetRef;
typedef void* EventHandlerCallRef;
typedef void* EventHandlerRef;
typedef OSStatus (*EventHandlerProcPtr)(EventHandlerCallRef call, EventRef event, void* userData);

// The classic Toolbox event record.
struct EventRec {
  UInt16 what;  // 0 null, 1 mouse down, 2 mouse up, 3 key down, 4 key up, 5 auto-key
  UInt32 message;
  UInt32 when;  // sixtieths of a second
  Point where;
  UInt16 modifiers;
};

constexpr UInt16 kNullEvent = 0;
constexpr UInt16 kMouseDownEvent = 1;
constexpr UInt16 kMouseUpEvent = 2;
constexpr UInt16 kKeyDownEvent = 3;
constexpr UInt16 kKeyUpEvent = 4;
constexpr UInt16 kAutoKeyEvent = 5;

// Records ---------------------------------------------------------------------

// Always 0; an allocation failure is fatal.
OSStatus MacCreateEvent(void* allocator, UInt32 eventClass, UInt32 kind, double time, UInt32 attributes,
                        EventRef* outEvent);
void ReleaseEvent(EventRef event);
UInt32 GetEventRecordClass(EventRef event);
UInt32 GetEventRecordKind(EventRef event);
double GetEventRecordTime(EventRef event);

// The out type and out size are never written; -1 leaves the buffer untouched.
OSStatus GetEventParameter(EventRef event, UInt32 name, UInt32 desiredType, UInt32* outType, UInt32 bufferSize,
                           UInt32* outSize, void* outData);
OSStatus SetEventParameter(EventRef event, UInt32 name, UInt32 type, UInt32 size, const void* data);

// Handlers and targets --------------------------------------------------------

// Always 0; a pair already present is replaced.
OSStatus InstallWindowEventHandler(EventTargetRef target, EventHandlerProcPtr handler, UInt32 count,
                                   const EventTypeSpec* list, void* userData, EventHandlerRef* outRef);
OSStatus SendEventToWindow(EventRef event, EventTargetRef target);
EventTargetRef GetWindowEventTarget(WindowRef window);
EventTargetRef GetControlEventTarget(void* control);
EventTargetRef GetApplicationEventTarget();
OSStatus PassEventToNextHandler(EventHandlerCallRef call, EventRef event);
double GetCurrentEventTime();

// The receiver -----------------------------------------------------------------

// Never waits. 0 with an event in *outEvent (the caller's to release), or
// -9875.
OSStatus ReceiveNextEvent(UInt32 typeCount, const EventTypeSpec* types, double timeout, Boolean pull,
                          EventRef* outEvent);
// Runs due timers, pumps the platform and yields; takes no event.
void PollSystemEvents();
Boolean ConvertEventRefToEventRecord(EventRef event, EventRec* outRecord);

// Classic calls ----------------------------------------------------------------

Boolean GetNextEvent(UInt16 mask, EventRec* outRecord);
Boolean WaitNextEvent(UInt16 mask, EventRec* outRecord);
OSStatus RunEventLoopOnce();
// Takes classic events until one receive gives none; 0.
OSStatus DrainEvents(UInt16 mask);
void GetGlobalMouse(Point* outPoint);
void GetMouseLocal(Point* outPoint);

// The shared device-motion accumulator (the poll zeroes it).
struct MotionAccumulator {
  SInt16 v;
  SInt16 h;
};
extern MotionAccumulator gMouseMotion;
