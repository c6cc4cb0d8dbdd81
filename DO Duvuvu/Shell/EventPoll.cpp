#include "EventPoll.h"

#include <cmath>
#include <cstring>

#include "AppCallbacks.h"
#include "Backend.h"
#include "BoundedStack.h"
#include "Bundle.h"
#include "Clocks.h"
#include "DisplayHooks.h"
#include "DisplayServices.h"
#include "Errors.h"
#include "EventInternals.h"
#include "Geometry.h"
#include "InputDevices.h"
#include "KeyTables.h"
#include "Menus.h"
#include "SoundChannels.h"
#include "System.h"
#include "SystemUI.h"
#include "WindowRecords.h"
#include "Windows.h"

MenuDispatchFlagsRecord MenuDispatchFlags;
EventRec gCurrentEventRecord;

namespace {

constexpr SInt16 kEventRecStackDepth = 128;

// Key code -> count; a key is down while presses > releases.
UInt8 gPresses[256];
UInt8 gReleases[256];
UInt8 gReported[256];

EventRec* gCurrentEvent = &gCurrentEventRecord;
BoundedStack<EventRec*>* gEventRecStack = nullptr;

// Dispatch state.
UInt8 gInFront = 1;
UInt8 gMenuChosen = 0;
SInt16 gChosenMenuID = 0;
SInt16 gChosenItem = 0;
UInt8 gResumeFlag = 0;
UInt8 gSuspendFlag = 0;
UInt8 gClickPending = 0;
WindowRef gClickWindow = nullptr;
Point gClickPoint{0, 0};

// Mouse motion tracking.
UInt8 gTrackingMotion = 0;
Point gMousePosition{0, 0};

void CountPress(UInt8 k) {
  if (gPresses[k] != gReleases[k]) return;
  // 255 unreported pairs would wrap the presses and jam the key: start over.
  if (gPresses[k] == 255) {
    gPresses[k] = 0;
    gReleases[k] = 0;
  }
  ++gPresses[k];
}

void CountRelease(UInt8 k) {
  if (gPresses[k] > gReleases[k]) ++gReleases[k];
}

void RunEventHook() {
  if (AppCallbacks.handleEvent) AppCallbacks.handleEvent();
}

// Saved across the suspend/resume callbacks.
struct SavedDispatchState {
  EventRec event;
  UInt8 menuChosen;
};

SavedDispatchState SaveDispatchState() {
  SavedDispatchState saved{*gCurrentEvent, gMenuChosen};
  *gCurrentEvent = EventRec{};
  gCurrentEvent->where = Point{-32768, -32768};
  gMenuChosen = 0;
  gResumeFlag = 0;
  gSuspendFlag = 0;
  return saved;
}

void RestoreDispatchState(const SavedDispatchState& saved) {
  *gCurrentEvent = saved.event;
  gMenuChosen = saved.menuChosen;
  gResumeFlag = 0;
  gSuspendFlag = 0;
  gClickPending = 0;
}

Boolean ModifiersMatch(UInt16 modifiers, SInt16 modifier) {
  if (modifier == -1) return 1;
  if (modifier == 0) return modifiers == 0;
  if (modifier < 0 || modifier > 15) return 0;
  return modifiers == (1u << modifier);
}

const EventRec* RecordOrCurrent(const EventRec* record) { return record ? record : gCurrentEvent; }

// A Window-menu size: out of full screen when in it, else resize the content.
void RequestWindowSize(SInt16 width, SInt16 height) {
  if (IsFullScreen()) {
    SetFullScreen(0);
  } else if (GetDisplayServices().setWindowContentSize) {
    GetDisplayServices().setWindowContentSize(width, height);
  }
}

// The logical screen: the Core window-size pair 0.
Rect PortRect() {
  return Rect{0, 0, static_cast<SInt16>(gWindowSizes[0].height), static_cast<SInt16>(gWindowSizes[0].width)};
}

bool ContentOrigin(WindowRef window, Rect* outContent) {
  return window && GetWindowRegionRect(window, kWindowContentRgn, outContent) == 0;
}

void ClampToMainScreen(Point* p) {
  Rect screen;
  GetMainScreenRect(&screen);
  if (p->h < 0) p->h = 0;
  if (p->v < 0) p->v = 0;
  if (p->h >= screen.right) p->h = static_cast<SInt16>(screen.right - 1);
  if (p->v >= screen.bottom) p->v = static_cast<SInt16>(screen.bottom - 1);
}

}  // namespace

// The poll -----------------------------------------------------------------------

Boolean PollEvents(UInt16, EventRec* outRecord) {
  Backend& backend = GetBackend();
  // Taps latched by earlier pumps read as down only until here.
  backend.ClearKeyLatch();
  PollSystemEvents();
  ServiceSoundChannels();

  GetApplicationEventTarget();
  EventRec* target = outRecord ? outRecord : &gCurrentEventRecord;
  target->what = kNullEvent;

  bool endedForWant = false;
  for (;;) {
    EventRef event = nullptr;
    if (ReceiveNextEvent(0, nullptr, 0.0, 1, &event) != 0) {
      endedForWant = true;
      break;
    }
    const bool deviceMotion = LastEventWasDeviceMotion();
    const UInt32 eventClass = GetEventRecordClass(event);
    const UInt32 kind = GetEventRecordKind(event);
    bool motion = false;
    if (eventClass == kEventClassKeyboard) {
      UInt8 keyCode = 0;
      if (GetEventParameter(event, FOUR_CHAR_CODE("kcod"), 0, nullptr, 1, nullptr, &keyCode) == 0) {
        if (kind == kEventRawKeyDown) CountPress(keyCode);
        if (kind == kEventRawKeyUp) CountRelease(keyCode);
      }
    } else if (eventClass == kEventClassMouse) {
      if (kind == kEventMouseDown) CountPress(kKeyCodeMouseButton);
      if (kind == kEventMouseUp) CountRelease(kKeyCodeMouseButton);
      if (kind == kEventMouseMoved || kind == kEventMouseDragged) {
        Point delta{0, 0};
        if (GetEventParameter(event, FOUR_CHAR_CODE("mdta"), FOUR_CHAR_CODE("QDpt"), nullptr, 4, nullptr, &delta) ==
            0) {
          if (gTrackingMotion) {
            gMouseMotion = MotionAccumulator{0, 0};
            gTrackingMotion = 0;
          }
          gMouseMotion.h = static_cast<SInt16>(gMouseMotion.h + delta.h);
          gMouseMotion.v = static_cast<SInt16>(gMouseMotion.v + delta.v);
        }
        motion = true;
      }
    } else if (eventClass == kEventClassWindow && kind == kEventWindowClose) {
      // The close box ends the game through its Quit command.
      MenuDispatchFlags.closeBox = 1;
    }
    // Device motion carries no modifier word: it must not release held modifiers.
    if (!deviceMotion) {
      UInt32 modifiers = 0;
      GetEventParameter(event, FOUR_CHAR_CODE("kmod"), 0, nullptr, 4, nullptr, &modifiers);
      for (int bit = 0; bit < 32; ++bit) {
        if (modifiers & (1u << bit))
          CountPress(static_cast<UInt8>(128 + bit));
        else
          CountRelease(static_cast<UInt8>(128 + bit));
      }
    }
    ConvertEventRefToEventRecord(event, target);
    SendEventToWindow(event, GetApplicationEventTarget());
    ReleaseEvent(event);
    if (!motion) break;
  }

  if (endedForWant) {
    // Keys released while no event reached us: every key with a bit of the
    // key map whose bit is clear. Only a key counted down can be released,
    // so only those keys' bits are read.
    for (int k = 0; k < 256; ++k) {
      if (gPresses[k] <= gReleases[k]) continue;
      const UInt8 keyCode = static_cast<UInt8>(k);
      const UInt8 bit = KeyCodeToKeyBit(keyCode);
      if (bit != kNoKeyCode && KeyBitToKeyCode(bit) == keyCode && !IsKeyCodeDown(keyCode)) CountRelease(keyCode);
    }
    if (!backend.LeftButton()) CountRelease(kKeyCodeMouseButton);
  }

  // Due timers again. The system was pumped and the processor yielded at the
  // start of this poll: another pump finds nothing new this soon and costs
  // as much as the rest of the step's input work.
  backend.RunDueTimers();
  return target->what != kNullEvent;
}

void ClearKeyTables() {
  std::memset(gPresses, 0, sizeof gPresses);
  std::memset(gReleases, 0, sizeof gReleases);
  std::memset(gReported, 0, sizeof gReported);
}

Boolean KeyWasPressed(UInt8 k) {
  if (gPresses[k] == 0) {
    gReported[k] = 0;
    return 0;
  }
  if (gReleases[k] == 0 || gReported[k] == 0) {
    gReported[k] = 1;
    return 1;
  }
  gReported[k] = 0;
  --gPresses[k];
  --gReleases[k];
  return 0;
}

Boolean MouseButtonWasPressed() { return KeyWasPressed(kKeyCodeMouseButton); }

// The current event ------------------------------------------------------------

EventRec* GetCurrentEventRec() { return gCurrentEvent; }
void SetCurrentEventRec(EventRec* record) { gCurrentEvent = record; }

void PushEventRec() {
  BoundedStack<EventRec*>& stack = *gEventRecStack;
  if (stack.top + 1 >= stack.capacity) FatalError("EventRec stack is full!", "");
  stack.data[++stack.top] = gCurrentEvent;
}

void PopEventRec() {
  BoundedStack<EventRec*>& stack = *gEventRecStack;
  if (stack.top < 0) FatalError("EventRec stack is empty!", "PopPort()");
  gCurrentEvent = stack.data[stack.top--];
}

namespace {
void PumpEventLoop() { RunEventLoopOnce(); }
}  // namespace

void InitEventRecStack() {
  if (!gEventRecStack) gEventRecStack = new BoundedStack<EventRec*>(kEventRecStackDepth);
  SetEventPumpHook(PumpEventLoop);
}

void ExitEventRecStack() {
  SetEventPumpHook(nullptr);
  delete gEventRecStack;
  gEventRecStack = nullptr;
}

UInt8 GetEventKeyCode(const EventRec* record, UInt16* outModifiers) {
  const EventRec* r = RecordOrCurrent(record);
  if (outModifiers) *outModifiers = r->modifiers;
  return static_cast<UInt8>(r->message >> 8);
}

Boolean IsKeyDownEvent(SInt16 keyCode, SInt16 modifier, const EventRec* record) {
  const EventRec* r = RecordOrCurrent(record);
  if (r->what != kKeyDownEvent) return 0;
  if (keyCode != -1 && static_cast<UInt8>(r->message >> 8) != keyCode) return 0;
  return ModifiersMatch(r->modifiers, modifier);
}

Boolean IsKeyRepeatEvent(SInt16 keyCode) {
  const EventRec* r = gCurrentEvent;
  if (keyCode == -1) return r->what == kAutoKeyEvent;
  return (r->what == kKeyDownEvent || r->what == kAutoKeyEvent) && static_cast<UInt8>(r->message >> 8) == keyCode;
}

Boolean EventHasModifier(SInt16 modifier, const EventRec* record) {
  const EventRec* r = RecordOrCurrent(record);
  // 0 and -1 have no special meaning here; a bit beyond the word never matches.
  if (modifier < 0 || modifier > 31) return 0;
  return r->modifiers == (1u << modifier);
}

Boolean IsMouseDownWithModifier(SInt16 modifier) {
  return gCurrentEvent->what == kMouseDownEvent && ModifiersMatch(gCurrentEvent->modifiers, modifier);
}

Boolean GetMenuSelection(SInt16* outMenuID, SInt16* outItem) {
  if (!gMenuChosen) return 0;
  if (outMenuID) *outMenuID = gChosenMenuID;
  if (outItem) *outItem = gChosenItem;
  return 1;
}

Boolean IsResumeRedraw() { return gResumeFlag; }
Boolean IsSuspendRedraw() { return gSuspendFlag; }

Boolean IsEventIdle() {
  return gCurrentEvent->what == kNullEvent && !gMenuChosen && !gResumeFlag && !gSuspendFlag && !gClickPending;
}

Boolean GetMouseSnapshot(WindowRef* outWindow, Point* outPoint) {
  if (!gClickPending) return 0;
  if (outWindow) *outWindow = gClickWindow;
  if (outPoint) *outPoint = gClickPoint;
  return 1;
}

// The mouse ------------------------------------------------------------------------

void BeginMouseDeltaTracking() {
  gTrackingMotion = 1;
  gMouseMotion = MotionAccumulator{0, 0};
}

void UpdateMousePosition() {
  if (gTrackingMotion) {
    gMouseMotion = MotionAccumulator{0, 0};
    gTrackingMotion = 0;
  }
  Rect screen;
  GetMainScreenRect(&screen);
  SInt32 h = gMousePosition.h + gMouseMotion.h;
  SInt32 v = gMousePosition.v + gMouseMotion.v;
  if (h < 0) h = 0;
  if (v < 0) v = 0;
  if (h > screen.right - 1) h = screen.right - 1;
  if (v > screen.bottom - 1) v = screen.bottom - 1;
  gMousePosition = Point{static_cast<SInt16>(v), static_cast<SInt16>(h)};
  gMouseMotion = MotionAccumulator{0, 0};
}

Point GetAccumulatedMouse() {
  UpdateMousePosition();
  return gMousePosition;
}

void GetPortDisplayRect(Rect* outRect) {
  *outRect = Rect{0, 0, 0, 0};
  Rect content;
  const float pw = gWindowSizes[0].width;
  const float ph = gWindowSizes[0].height;
  // Without a window or a logical size there is no scale to take.
  if (pw <= 0.0f || ph <= 0.0f || !ContentOrigin(gMainWindow, &content)) return;
  const float w = static_cast<float>(content.right - content.left);
  const float h = static_cast<float>(content.bottom - content.top);
  const float s = std::fmin(w / pw, h / ph);
  const float x0 = (w - pw * s) * 0.5f;
  const float y0 = (h - ph * s) * 0.5f;
  *outRect = Rect{static_cast<SInt16>(std::floor(y0)), static_cast<SInt16>(std::floor(x0)),
                  static_cast<SInt16>(std::ceil(y0 + ph * s)), static_cast<SInt16>(std::ceil(x0 + pw * s))};
}

Point WindowToPortPoint(Point point) {
  Rect display;
  GetPortDisplayRect(&display);
  if (RectIsEmpty(&display)) return point;
  const Rect port = PortRect();
  MapPointBetweenRects(&point, &display, &port);
  return point;
}

Point PortToWindowPoint(Point point) {
  Rect display;
  GetPortDisplayRect(&display);
  if (RectIsEmpty(&display)) return point;
  const Rect port = PortRect();
  MapPointBetweenRects(&point, &port, &display);
  return point;
}

Point GlobalToPortPoint(Point point) {
  Rect content;
  if (ContentOrigin(GetFrontWindow(), &content)) {
    point.h = static_cast<SInt16>(point.h - content.left);
    point.v = static_cast<SInt16>(point.v - content.top);
  }
  return WindowToPortPoint(point);
}

Point PortToGlobalPoint(Point point) {
  point = PortToWindowPoint(point);
  Rect content;
  if (ContentOrigin(GetFrontWindow(), &content)) {
    point.h = static_cast<SInt16>(point.h + content.left);
    point.v = static_cast<SInt16>(point.v + content.top);
  }
  return point;
}

Point GetPortMouse() {
  if (gMainWindow && GetDisplayServices().setCurrentWorld)
    GetDisplayServices().setCurrentWorld(GetWindowManagerPort());
  Point global;
  GetGlobalMouse(&global);
  return GlobalToPortPoint(global);
}

Boolean GetMouseDownPortLocation(SInt16* outH, SInt16* outV) {
  if (gCurrentEvent->what != kMouseDownEvent) return 0;
  const Point port = GlobalToPortPoint(gCurrentEvent->where);
  if (outH) *outH = port.h;
  if (outV) *outV = port.v;
  return 1;
}

void WarpMouseTo(Point global) {
  if (!gSystemUI.bound || !gSystemUI.warpMouseCursorPosition) return;
  ClampToMainScreen(&global);
  gSystemUI.warpMouseCursorPosition(global.h, global.v);
}

void WarpMouseBy(SInt16 dh, SInt16 dv) {
  Point p;
  GetGlobalMouse(&p);
  WarpMouseTo(Point{static_cast<SInt16>(p.v + dv), static_cast<SInt16>(p.h + dh)});
}

void WarpMouseToPortPoint(Point port) { WarpMouseTo(PortToGlobalPoint(port)); }

void WarpMouseToWindowPoint(Point window) {
  Rect content;
  if (ContentOrigin(GetFrontWindow(), &content)) {
    window.h = static_cast<SInt16>(window.h + content.left);
    window.v = static_cast<SInt16>(window.v + content.top);
  }
  WarpMouseTo(window);
}

Boolean IsFrontProcess() {
  ProcessSerialNumber current;
  ProcessSerialNumber front;
  if (GetCurrentProcessSerial(&current) != 0 || GetFrontProcessSerial(&front) != 0) return 1;
  Boolean same = 1;
  if (SameProcessSerial(&current, &front, &same) != 0) return 1;
  return same;
}

// Dispatch ---------------------------------------------------------------------

void HandleMenuCommand(SInt16 menuID, SInt16 item) {
  gMenuChosen = 1;
  gChosenMenuID = menuID;
  gChosenItem = item;
  if (menuID == kApplicationMenuID && item == 1) {
    if (AppCallbacks.about) AppCallbacks.about();
  } else if (menuID != 0 && menuID == gMenuBar.windowMenuID) {
    // Literal item numbers: the recorded ones are all 1 here.
    if (item == 1) RequestWindowSize(640, 480);
    if (item == 2) RequestWindowSize(1024, 768);
    if (item == 4) SetFullScreen(IsFullScreen() ? 0 : 1);
  }
  MenuDispatchFlags.inMenuCommand = 1;
  RunEventHook();
  MenuDispatchFlags.inMenuCommand = 0;
  gMenuChosen = 0;
}

namespace {

void HandleSuspendResume() {
  const UInt32 message = gCurrentEvent->message;
  const bool resume = (message & 0x01000000u) && (message & 1u);
  const bool suspend = (message & 0x01000000u) && !(message & 1u);
  if (resume && gInFront == 0) {
    DrainEvents(62);
    if (gDisplaySystemInUse) SetFullScreen(255);  // the stored preference
    const SavedDispatchState saved = SaveDispatchState();
    gResumeFlag = 1;
    RunEventHook();
    RestoreDispatchState(saved);
    gInFront = 1;
  } else if (suspend) {
    gInFront = 0;
    const SavedDispatchState saved = SaveDispatchState();
    gSuspendFlag = 1;
    RunEventHook();
    RestoreDispatchState(saved);
    SetFullScreen(0);
    ShowCursorOnce();
  }
}

}  // namespace

void DispatchCurrentEvent() {
  if (gMainWindow && GetDisplayServices().setCurrentWorld)
    GetDisplayServices().setCurrentWorld(GetWindowManagerPort());
  if (gCurrentEvent->what == 15) {
    HandleSuspendResume();
    return;
  }
  // The taskbar has no height: its reveal never fires.
  LocalizeMenuBarRect();
  switch (gCurrentEvent->what) {
    case kKeyDownEvent: {
      const SInt32 choice = MenuKey(static_cast<SInt16>(gCurrentEvent->message & 0xFF));
      if (choice != 0) HandleMenuCommand(static_cast<SInt16>(choice >> 16), static_cast<SInt16>(choice & 0xFFFF));
      RunEventHook();
      break;
    }
    case kMouseDownEvent: {
      WindowRef window = nullptr;
      if (FindWindowAtPoint(gCurrentEvent->where, &window) == kInContentPart) RunEventHook();
      break;
    }
    case 6:
      break;
    default:
      RunEventHook();
      break;
  }
}

void ResetEventPollForTesting() {
  ClearKeyTables();
  gCurrentEventRecord = EventRec{};
  gCurrentEvent = &gCurrentEventRecord;
  if (gEventRecStack) gEventRecStack->top = -1;
  MenuDispatchFlags = MenuDispatchFlagsRecord{};
  gInFront = 1;
  gMenuChosen = 0;
  gResumeFlag = 0;
  gSuspendFlag = 0;
  gClickPending = 0;
  gTrackingMotion = 0;
  gMousePosition = Point{0, 0};
  gMouseMotion = MotionAccumulator{0, 0};
}
