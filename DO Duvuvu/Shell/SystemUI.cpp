#include "SystemUI.h"

#include "AppCallbacks.h"
#include "AppGlobals.h"
#include "Backend.h"
#include "Bundle.h"
#include "Clocks.h"
#include "DisplayHooks.h"
#include "DisplayServices.h"
#include "Errors.h"
#include "EventInternals.h"
#include "EventPoll.h"
#include "FixedResults.h"
#include "InputDevices.h"
#include "Menus.h"
#include "RefObjects.h"
#include "WindowRecords.h"
#include "Windows.h"

UInt8 gMenuModeFlag = 1;
UInt8 gCursorVisible = 1;
UInt8 gDisplaySystemInUse = 0;
SystemUIBindings gSystemUI;

namespace {

Point gMainWindowOrigin{0, 0};
Point gRememberedCursor{0, 0};
DateTimeRecord gStartupDate;

// Nil when the bundle or the name is missing.
ProcPtr BindByName(const BundleObject* bundle, const char* name) {
  StringObject* text = CreateString(nullptr, name, kDefaultTextEncoding);
  const ProcPtr routine = LookupFunctionByName(bundle, text);
  ReleaseObject(text);
  return routine;
}

BundleObject* LoadFramework(const char* name) {
  StringObject* text = CreateString(nullptr, name, kDefaultTextEncoding);
  BundleObject* bundle = nullptr;
  const OSStatus status = LoadFrameworkBundle(text, &bundle);
  ReleaseObject(text);
  return status == 0 ? bundle : nullptr;
}

// SetSystemUIMode from "Carbon.framework" (never found here).
void BindSystemUIMode() {
  BundleObject* carbon = LoadFramework("Carbon.framework");
  if (!carbon) return;
  gSystemUI.setSystemUIMode = reinterpret_cast<OSStatus (*)(UInt32, UInt32)>(BindByName(carbon, "SetSystemUIMode"));
  ReleaseObject(carbon);
}

void EnterMenuModeThroughDisplays() {
  if (GetDisplayServices().enterMenuMode) GetDisplayServices().enterMenuMode();
}

template <typename T>
bool Bind(const BundleObject* bundle, const char* name, T* out) {
  *out = reinterpret_cast<T>(BindByName(bundle, name));
  return *out != nullptr;
}

}  // namespace

UInt16 GetSystemVersion() {
  SInt32 version = 0;
  if (GetSystemAttribute(FOUR_CHAR_CODE("sysv"), &version) != 0) return 0;
  return static_cast<UInt16>(version);
}

void BindSystemUIFunctions() {
  if (gSystemUI.bound || !IsOSXOrLater()) return;
  BindSystemUIMode();
  BundleObject* services = LoadFramework("ApplicationServices.framework");
  if (!services) FatalError("Failed to load Application Services framework bundle.", "");
  const bool complete =
      Bind(services, "CGWarpMouseCursorPosition", &gSystemUI.warpMouseCursorPosition) &&
      Bind(services, "CGAssociateMouseAndMouseCursorPosition", &gSystemUI.associateMouseAndMouseCursorPosition) &&
      Bind(services, "CGGetLastMouseDelta", &gSystemUI.getLastMouseDelta) &&
      Bind(services, "CGInhibitLocalEvents", &gSystemUI.inhibitLocalEvents) &&
      Bind(services, "CGSetLocalEventsSuppressionInterval", &gSystemUI.setLocalEventsSuppressionInterval) &&
      Bind(services, "CGPostKeyboardEvent", &gSystemUI.postKeyboardEvent);
  ReleaseObject(services);
  if (!complete) return;
  gSystemUI.bound = 1;
  gDisplayHooks.enterMenuMode = EnterMenuModeThroughDisplays;
  gDisplayHooks.leaveMenuMode = LeaveMenuMode_Displays;
  gDisplayHooks.inMenuMode = InMenuMode_Displays;
}

void LeaveMenuMode_Displays() {
  if (!gMenuModeFlag) return;
  if (GetDisplayServices().disableAllMenus) GetDisplayServices().disableAllMenus();
  if (gSystemUI.setSystemUIMode) {
    gSystemUI.setSystemUIMode(IsFullScreen() ? 3 : 1, 12);
    AddPlayStateMenuItems(0);
  } else {
    AddPlayStateMenuItems(1);
  }
  if (gCursorVisible) {
    GetBackend().ShowCursor(false);
    gCursorVisible = 0;
  }
  DelayTicks(2);

  GetGlobalMouse(&gRememberedCursor);
  Rect screen;
  GetMainScreenRect(&screen);
  Point centre{static_cast<SInt16>((screen.top + screen.bottom) / 2),
               static_cast<SInt16>((screen.left + screen.right) / 2)};
  Rect content;
  if (gMainWindow && GetWindowRegionRect(gMainWindow, kWindowContentRgn, &content) == 0) {
    SInt32 h = (content.left + content.right) / 2;
    SInt32 v = (content.top + content.bottom) / 2;
    // At least 6 pixels inside every edge of the main screen.
    if (h < screen.left + 6) h = screen.left + 6;
    if (h > screen.right - 6) h = screen.right - 6;
    if (v < screen.top + 6) v = screen.top + 6;
    if (v > screen.bottom - 6) v = screen.bottom - 6;
    centre = Point{static_cast<SInt16>(v), static_cast<SInt16>(h)};
  }
  // Only recorded: the game reads a moving port mouse in the play state.
  if (gSystemUI.associateMouseAndMouseCursorPosition) gSystemUI.associateMouseAndMouseCursorPosition(0);
  WarpMouseTo(centre);
  BeginMouseDeltaTracking();
  gMenuModeFlag = 0;
}

SInt32 InMenuMode_Displays() { return gMenuModeFlag; }

Point GetRememberedCursorPoint() { return gRememberedCursor; }

void ShowCursorOnce() {
  if (gCursorVisible) return;
  GetBackend().ShowCursor(true);
  gCursorVisible = 1;
}

void StartDisplaySystem() {
  const DisplayServices& services = GetDisplayServices();
  gDisplayHooks.flushToScreen = services.flushToScreen;
  gDisplayHooks.isFullScreen = services.isFullScreen;
  gDisplayHooks.setFullScreen = services.setFullScreen;
  if (services.setPortDepth) services.setPortDepth(EngineSettings[kSettingDepth]);
  if (services.installPixMapHooks) services.installPixMapHooks();
  if (services.buildDisplayList) services.buildDisplayList();
  if (AppCallbacks.displayStartup) AppCallbacks.displayStartup();
  BuildApplicationMenu(0);
  if (services.buildBrightGammaTables) services.buildBrightGammaTables();
  if (services.windowInitGL)
    services.windowInitGL(static_cast<SInt16>(gWindowSizes[0].width), static_cast<SInt16>(gWindowSizes[0].height));
  if (IsOSXOrLater()) BindSystemUIMode();
  LeaveMenuMode();
  // Settle the display count at hidden.
  if (!gCursorVisible) {
    GetBackend().ShowCursor(true);
    gCursorVisible = 1;
  }
  GetBackend().ShowCursor(false);
  gCursorVisible = 0;
  gDisplaySystemInUse = 1;
}

OSStatus WindowModeEventHandler(EventHandlerCallRef call, EventRef event, void*) {
  SInt16 mode = 0;
  GetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), nullptr, 2, nullptr, &mode);
  SetFullScreen(mode == kWindowParamFullScreen ? 1 : 0);
  return PassEventToNextHandler(call, event);
}

void SetMainWindow(SInt16 width, SInt16 height) {
  if (!gMainWindow) FatalError("Program Error:  InitWindow() must be called once before SetMainWindow().", "");
  Rect screen;
  GetMainScreenRect(&screen);
  const SInt16 h = static_cast<SInt16>((screen.right - screen.left) / 2 + screen.left - width / 2);
  const SInt16 v = static_cast<SInt16>((screen.bottom - screen.top) / 2 + screen.top - height / 2);
  gMainWindowOrigin = Point{v, h};
  SizeWindowRef(gMainWindow, width, height);
  MoveWindowRef(gMainWindow, h, v);
}

Point GetMainWindowOrigin() { return gMainWindowOrigin; }

SInt16 GetDevicePixelDepth(void* device, SInt16* outDepth, Boolean* outColor) {
  UInt16 flags = 0;
  const SInt16 depth = GetDisplayServices().devicePixelDepth ? GetDisplayServices().devicePixelDepth(device, &flags) : 0;
  if (outDepth) *outDepth = depth;
  if (outColor) *outColor = flags & 1;
  return depth;
}

UInt8 GetMouseState(MouseState* outState) {
  if (!IsFrontProcess()) {
    *outState = MouseState{0, 0, Point{-1, -1}};
    return 0;
  }
  SInt16 h = 0;
  SInt16 v = 0;
  if (GetMouseDownPortLocation(&h, &v)) {
    *outState = MouseState{1, 1, Point{v, h}};
  } else {
    *outState = MouseState{static_cast<UInt8>(GetBackend().LeftButton() ? 1 : 0), 0, GetPortMouse()};
  }
  return outState->button;
}

void RecordStartupDate() { SecondsToDateRecord(GetDateTimeSeconds(nullptr), &gStartupDate); }

void SetArrowCursor() { SetStandardCursor(0); }

SInt16 PowerOfTwo(SInt16 n) {
  if (n <= 0 || n >= 17) return 0;
  return static_cast<SInt16>(static_cast<UInt16>(1u << (n - 1)));
}

SInt16 BitLength(SInt32 n) {
  if (n <= 0) return 0;
  SInt16 length = 1;
  while (n > 1) {
    n /= 2;
    ++length;
  }
  return length;
}

Boolean IsInLowerHalf(SInt32 x, SInt32 a, SInt32 b) {
  const SInt32 span = b > a ? b - a : a - b;
  return x <= a + span / 2;
}

SInt16 CountWindows() {
  SInt16 count = 0;
  for (WindowRef w = GetFrontWindow(); w && count < 32767; w = GetNextWindowRef(w)) ++count;
  return count;
}

void ResetShellForTesting() {
  gMenuModeFlag = 1;
  gCursorVisible = 1;
  gDisplaySystemInUse = 0;
  gSystemUI = SystemUIBindings{};
  gMainWindowOrigin = Point{0, 0};
  gMainWindow = nullptr;
  gMenuBar = MenuBarState{};
  ForgetWindowManagerPort();
  ResetTaskbarForTesting();
  ResetEventPollForTesting();
  ResetInputDevicesForTesting();
  gDisplayHooks.flushToScreen = nullptr;
  gDisplayHooks.isFullScreen = nullptr;
  gDisplayHooks.setFullScreen = nullptr;
  gDisplayHooks.enterMenuMode = nullptr;
  gDisplayHooks.leaveMenuMode = nullptr;
  gDisplayHooks.inMenuMode = nullptr;
}
