#include "Events.h"

#include <sched.h>

#include <cmath>
#include <cstring>

#include "Backend.h"
#include "Errors.h"
#include "EventInternals.h"
#include "InputDevices.h"
#include "KeyTables.h"
#include "KeyTranslation.h"
#include "Memory.h"
#include "WindowRecords.h"
#include "Windows.h"

MotionAccumulator gMouseMotion;

namespace {

bool gLastWasDeviceMotion = false;

void WriteSized(UInt32 value, UInt32 size, void* out) {
  if (size == 1) {
    const UInt8 v = static_cast<UInt8>(value);
    std::memcpy(out, &v, 1);
  } else if (size == 2) {
    const UInt16 v = static_cast<UInt16>(value);
    std::memcpy(out, &v, 2);
  } else {
    std::memcpy(out, &value, 4);
  }
}

Point PackedPoint(SInt16 v, SInt16 h) { return Point{v, h}; }

UInt32 PointWord(Point p) {
  UInt32 word;
  std::memcpy(&word, &p, 4);
  return word;
}

UInt32 ModifiersNow() {
  uint8_t dik[256] = {};
  if (!GetBackend().ReadKeyState(dik)) return 0;
  const HeldModifiers held = ModifiersFromKeyState(dik);
  UInt32 bits = 0;
  if (held.gui) bits |= kCmdKeyBit;
  if (held.shift) bits |= kShiftKeyBit;
  if (held.capsLock) bits |= kCapsLockBit;
  if (held.alt) bits |= kOptionKeyBit;
  if (held.control) bits |= kControlKeyBit;
  return bits;
}

bool Wanted(UInt32 count, const EventTypeSpec* types, UInt32 eventClass, UInt32 kind) {
  if (count == 0) return true;
  for (UInt32 i = 0; i < count; ++i)
    if (types[i].eventClass == eventClass && types[i].eventKind == kind) return true;
  return false;
}

void ClassAndKind(const NativeEvent& message, UInt32* eventClass, UInt32* kind) {
  *eventClass = 0;
  *kind = 0;
  switch (message.kind) {
    case NativeEventKind::KeyDown:  // repeats too, as the system repeats key downs
      *eventClass = kEventClassKeyboard;
      *kind = kEventRawKeyDown;
      break;
    case NativeEventKind::KeyUp:
      *eventClass = kEventClassKeyboard;
      *kind = kEventRawKeyUp;
      break;
    case NativeEventKind::ButtonDown:
      *eventClass = kEventClassMouse;
      *kind = kEventMouseDown;
      break;
    case NativeEventKind::ButtonUp:
      *eventClass = kEventClassMouse;
      *kind = kEventMouseUp;
      break;
    case NativeEventKind::Motion:
      *eventClass = kEventClassMouse;
      *kind = kEventMouseMoved;
      break;
    case NativeEventKind::Text:
      *eventClass = kEventClassTextInput;
      *kind = kEventTextInputUnicodeForKeyEvent;
      break;
    case NativeEventKind::Posted:
      if (message.message == kWindowCloseMessageID) {
        *eventClass = kEventClassWindow;
        *kind = kEventWindowClose;
      }
      break;
    default:
      break;
  }
}

// The key event's parameter word, or false when the key makes no event.
bool KeyParameter(const NativeEvent& message, UInt32 modifiers, UInt32* outParam) {
  const UInt8 virtualKey = VirtualKeyForKey(message.scancode, message.keyCode, message.numLockOn);
  const UInt8 keyCode = VirtualKeyToKeyCode(virtualKey);
  UInt8 character = CharacterForKey(virtualKey, (modifiers & kShiftKeyBit) != 0, (modifiers & kControlKeyBit) != 0,
                                    message.capsLockOn);
  // Codes of 128 and above (255 for keys without one) have no table character.
  if (character == 0) character = KeyCodeToCharacter(keyCode);
  if (character == 0) return false;
  switch (keyCode) {
    case kKeyCodeCommand:
    case kKeyCodeShift:
    case kKeyCodeCapsLock:
    case kKeyCodeAlt:
    case kKeyCodeControl:
    case kKeyCodeNumLock:
      return false;  // modifier keys make no key events
    default:
      break;
  }
  // Its character comes as a text event, which the layout made.
  const bool printable = character >= 32 && character != 127;
  if (message.typesAsText && printable) character = 0;
  *outParam = static_cast<UInt32>(virtualKey) << 8 | character;
  return true;
}

// A typed character with the virtual key of the key that made it.
UInt32 TextParameter(const NativeEvent& message) {
  const UInt8 virtualKey = VirtualKeyForKey(message.scancode, message.keyCode, message.numLockOn);
  return static_cast<UInt32>(virtualKey) << 8 | (message.param & 0xFF);
}

}  // namespace

bool LastEventWasDeviceMotion() { return gLastWasDeviceMotion; }

// Records ---------------------------------------------------------------------

OSStatus MacCreateEvent(void*, UInt32 eventClass, UInt32 kind, double time, UInt32 attributes, EventRef* outEvent) {
  auto* event = static_cast<EventRecord*>(static_cast<void*>(NewPtrBlockClear(sizeof(EventRecord))));
  if (!event) FatalError("Out of memory.", "MacCreateEvent()");
  event->refCount = 1;
  event->eventClass = eventClass;
  event->kind = kind;
  event->time = time;
  event->attributes = attributes;
  *outEvent = event;
  return 0;
}

void ReleaseEvent(EventRef event) {
  if (!event) return;
  if (event->refCount <= 1) {
    DisposePtrBlock(event);
    return;
  }
  --event->refCount;
}

UInt32 GetEventRecordClass(EventRef event) { return event->eventClass; }
UInt32 GetEventRecordKind(EventRef event) { return event->kind; }
double GetEventRecordTime(EventRef event) { return event->time; }

OSStatus GetEventParameter(EventRef event, UInt32 name, UInt32 desiredType, UInt32*, UInt32 bufferSize, UInt32*,
                           void* outData) {
  if (!event || !outData) return kErrFailed;
  const bool sized = bufferSize == 1 || bufferSize == 2 || bufferSize == 4;
  switch (name) {
    case FOUR_CHAR_CODE("kmod"):
      if (!sized) return kErrFailed;
      WriteSized(event->modifiers, bufferSize, outData);
      return 0;
    case FOUR_CHAR_CODE("kchr"):
      if (!sized) return kErrFailed;
      WriteSized(event->param & 0xFF, bufferSize, outData);
      return 0;
    case FOUR_CHAR_CODE("kcod"):
      if (!sized) return kErrFailed;
      WriteSized(VirtualKeyToKeyCode(static_cast<UInt8>(event->param >> 8)), bufferSize, outData);
      return 0;
    case FOUR_CHAR_CODE("mloc"):
    case FOUR_CHAR_CODE("mdta"):
      if (desiredType != FOUR_CHAR_CODE("QDpt") || bufferSize != 4) return kErrFailed;
      std::memcpy(outData, &event->param, 4);
      return 0;
    case FOUR_CHAR_CODE("----"):
      if (desiredType != FOUR_CHAR_CODE("wind") || bufferSize != 4) return kErrFailed;
      std::memcpy(outData, &event->param, 4);
      return 0;
    case FOUR_CHAR_CODE("wpar"):
      if (desiredType != FOUR_CHAR_CODE("wpar") || bufferSize != 2) return kErrFailed;
      WriteSized(event->param, 2, outData);
      return 0;
    default:
      return kErrFailed;
  }
}

OSStatus SetEventParameter(EventRef event, UInt32 name, UInt32 type, UInt32 size, const void* data) {
  if (!event || !data) return kErrFailed;
  const bool point = (name == FOUR_CHAR_CODE("mdta") || name == FOUR_CHAR_CODE("mloc")) &&
                     type == FOUR_CHAR_CODE("QDpt") && size == 4;
  const bool window = name == FOUR_CHAR_CODE("----") && type == FOUR_CHAR_CODE("wind") && size == 4;
  if (point || window) {
    std::memcpy(&event->param, data, 4);
    return 0;
  }
  if (name == FOUR_CHAR_CODE("wpar") && type == FOUR_CHAR_CODE("wpar") && size == 2) {
    SInt16 value;
    std::memcpy(&value, data, 2);
    event->param = static_cast<UInt32>(static_cast<SInt32>(value));
    return 0;
  }
  return kErrFailed;
}

// Handlers and targets --------------------------------------------------------

OSStatus InstallWindowEventHandler(EventTargetRef target, EventHandlerProcPtr handler, UInt32 count,
                                   const EventTypeSpec* list, void* userData, EventHandlerRef* outRef) {
  if (outRef) *outRef = nullptr;
  WindowRecord* record = FindWindowRecord(target);
  if (!record) return 0;
  for (UInt32 i = 0; i < count; ++i) {
    const UInt64 key = static_cast<UInt64>(list[i].eventClass) << 32 | list[i].eventKind;
    record->handlers[key] = {handler, userData};
  }
  return 0;
}

OSStatus SendEventToWindow(EventRef event, EventTargetRef target) {
  if (!target || !event) return 0;
  WindowRecord* record = FindWindowRecord(target);
  if (!record) return 0;
  const UInt64 key = static_cast<UInt64>(event->eventClass) << 32 | event->kind;
  auto it = record->handlers.find(key);
  if (it == record->handlers.end()) return 0;
  const auto [handler, userData] = it->second;  // a copy: the handler may change the map
  if (handler) handler(nullptr, event, userData);
  return 0;
}

EventTargetRef GetWindowEventTarget(WindowRef window) { return window; }
EventTargetRef GetControlEventTarget(void* control) { return static_cast<EventTargetRef>(control); }
EventTargetRef GetApplicationEventTarget() { return nullptr; }
OSStatus PassEventToNextHandler(EventHandlerCallRef, EventRef) { return 0; }
double GetCurrentEventTime() { return 0.0; }

// The receiver -----------------------------------------------------------------

OSStatus ReceiveNextEvent(UInt32 typeCount, const EventTypeSpec* types, double, Boolean pull, EventRef* outEvent) {
  Backend& backend = GetBackend();
  gLastWasDeviceMotion = false;
  if (outEvent) *outEvent = nullptr;
  // Due timers run first, on this thread.
  backend.RunDueTimers();

  // Device motion, ahead of everything queued.
  if (outEvent && Wanted(typeCount, types, kEventClassMouse, kEventMouseMoved)) {
    int dx = 0;
    int dy = 0;
    if (ReadMouseMotion(&dx, &dy) && (dx != 0 || dy != 0)) {
      gMouseMotion.h = static_cast<SInt16>(gMouseMotion.h + dx);
      gMouseMotion.v = static_cast<SInt16>(gMouseMotion.v + dy);
      EventRef event = nullptr;
      MacCreateEvent(nullptr, kEventClassMouse, kEventMouseMoved, 0.0, 0, &event);
      event->param = PointWord(PackedPoint(static_cast<SInt16>(dy), static_cast<SInt16>(dx)));
      *outEvent = event;
      gLastWasDeviceMotion = true;
      return 0;
    }
  }

  // The next message, handed to the window procedure when taken.
  NativeEvent message;
  if (!backend.NextEvent(message, pull != 0)) return kEventLoopNoEventErr;
  if (pull) DispatchWindowMessage(message);

  if (!outEvent) return kEventLoopNoEventErr;
  UInt32 eventClass;
  UInt32 kind;
  ClassAndKind(message, &eventClass, &kind);
  if (typeCount != 0 && !Wanted(typeCount, types, eventClass, kind)) return kEventLoopNoEventErr;
  if (eventClass == 0) return kEventLoopNoEventErr;

  EventRef event = nullptr;
  MacCreateEvent(nullptr, eventClass, kind, message.timeMs / 1000.0, 0, &event);
  event->modifiers = ModifiersNow();
  bool made = true;
  if (eventClass == kEventClassMouse) {
    if (kind == kEventMouseDown || kind == kEventMouseUp) {
      // Client coordinates to the screen through the foreground window.
      PlatformRect origin;
      const WindowRef front = GetFrontWindow();
      if (!front || !backend.GetContentRect(WindowId(front), origin)) origin = PlatformRect{};
      event->param = PointWord(
          PackedPoint(static_cast<SInt16>(message.y + origin.top), static_cast<SInt16>(message.x + origin.left)));
    }
  } else if (eventClass == kEventClassWindow) {
    event->param = message.param;
  } else if (eventClass == kEventClassTextInput) {
    event->param = TextParameter(message);
  } else {
    made = KeyParameter(message, event->modifiers, &event->param);
  }
  if (!made) {
    ReleaseEvent(event);
    return kEventLoopNoEventErr;
  }
  *outEvent = event;
  return 0;
}

void PollSystemEvents() {
  ReceiveNextEvent(0, nullptr, 0.0, 0, nullptr);
  GetBackend().Pump();
  sched_yield();
}

Boolean ConvertEventRefToEventRecord(EventRef event, EventRec* outRecord) {
  if (!event) return 0;
  UInt16 what;
  if ((event->eventClass == kEventClassKeyboard && event->kind == kEventRawKeyDown) ||
      event->eventClass == kEventClassTextInput) {
    what = kKeyDownEvent;
  } else if (event->eventClass == kEventClassKeyboard && event->kind == kEventRawKeyUp) {
    what = kKeyUpEvent;
  } else if (event->eventClass == kEventClassMouse && event->kind == kEventMouseDown) {
    what = kMouseDownEvent;
  } else if (event->eventClass == kEventClassMouse && event->kind == kEventMouseUp) {
    what = kMouseUpEvent;
  } else {
    return 0;
  }
  outRecord->what = what;
  UInt16 modifiers = 0;
  GetEventParameter(event, FOUR_CHAR_CODE("kmod"), 0, nullptr, 2, nullptr, &modifiers);
  outRecord->modifiers = modifiers;
  if (what == kKeyDownEvent || what == kKeyUpEvent) {
    // The Macintosh key code, as every key test reads it.
    UInt8 keyCode = 0;
    UInt8 character = 0;
    GetEventParameter(event, FOUR_CHAR_CODE("kcod"), 0, nullptr, 1, nullptr, &keyCode);
    GetEventParameter(event, FOUR_CHAR_CODE("kchr"), 0, nullptr, 1, nullptr, &character);
    outRecord->message = static_cast<UInt32>(keyCode) << 8 | character;
    outRecord->where = Point{0, 0};
  } else {
    Point where{0, 0};
    GetEventParameter(event, FOUR_CHAR_CODE("mloc"), FOUR_CHAR_CODE("QDpt"), nullptr, 4, nullptr, &where);
    outRecord->where = where;
  }
  // Sixtieths, kept to 32 bits without converting an out-of-range double.
  const double ticks = event->time * 60.0;
  SInt64 whole = 0;
  if (std::isfinite(ticks) && std::fabs(ticks) < 9.0e18) whole = static_cast<SInt64>(ticks);
  outRecord->when = static_cast<UInt32>(static_cast<UInt64>(whole));
  return 1;
}

// Classic calls ----------------------------------------------------------------

Boolean GetNextEvent(UInt16, EventRec* outRecord) {
  PollSystemEvents();
  EventRef event = nullptr;
  if (ReceiveNextEvent(0, nullptr, 0.0, 1, &event) == 0) {
    const Boolean converted = ConvertEventRefToEventRecord(event, outRecord);
    ReleaseEvent(event);
    if (converted) return 1;
    return 0;
  }
  outRecord->what = kNullEvent;
  return 0;
}

Boolean WaitNextEvent(UInt16 mask, EventRec* outRecord) { return GetNextEvent(mask, outRecord); }

OSStatus RunEventLoopOnce() {
  PollSystemEvents();
  return 0;
}

OSStatus DrainEvents(UInt16 mask) {
  EventRec record{};
  while (WaitNextEvent(mask, &record)) {
  }
  return 0;
}

void GetGlobalMouse(Point* outPoint) {
  int x = 0;
  int y = 0;
  GetBackend().GlobalMouse(x, y);
  *outPoint = Point{static_cast<SInt16>(y), static_cast<SInt16>(x)};
}

void GetMouseLocal(Point* outPoint) {
  GetGlobalMouse(outPoint);
  PlatformRect origin;
  const WindowRef front = GetFrontWindow();
  if (!front || !GetBackend().GetContentRect(WindowId(front), origin)) return;
  outPoint->h = static_cast<SInt16>(outPoint->h - origin.left);
  outPoint->v = static_cast<SInt16>(outPoint->v - origin.top);
}
