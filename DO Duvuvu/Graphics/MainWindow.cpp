#include "MainWindow.h"

#include "AppCallbacks.h"
#include "AppGlobals.h"
#include "Bundle.h"
#include "DisplayFlush.h"
#include "DisplayHooks.h"
#include "DisplayList.h"
#include "Errors.h"
#include "EventPoll.h"
#include "FixedResults.h"
#include "GLFrame.h"
#include "GammaFades.h"
#include "MainPrefs.h"
#include "Menus.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "PortText.h"
#include "Ports.h"
#include "Sys.h"
#include "SystemUI.h"
#include "WindowRecords.h"
#include "Windows.h"

PixMapHandle buildPMAP = nullptr;
GWorldPtr buildWORLD = nullptr;
Ptr buildBaseAddress = nullptr;
UInt16 buildRowBytes = 0;
Rect WindowRect = {0, 0, 0, 0};
Point WindowOrigin = {0, 0};
UInt8 FullScreenFlag = 0;
UInt8 FullScreenStateKnown = 0;

namespace {

constexpr UInt32 kMainWindowClass = 6;
constexpr UInt32 kMainWindowAttributes = 0x8000000F;
constexpr MenuID kFirstMenu = 128;
constexpr MenuID kLastMenu = 147;
constexpr UInt32 kSystemUIModeFullScreen = 3;
constexpr UInt32 kSystemUIModeNormal = 0;

UInt8 gMenusEnabled = 1;
UInt8 gMenuWasEnabled[kLastMenu - kFirstMenu + 1];
WindowRef gCoverWindow = nullptr;
UInt8 gTaskbarWasVisible = 0;

Rect MainDeviceRect() {
  DeviceHandle device = GetMainDeviceHandle();
  return device ? (*device)->bounds : Rect{0, 0, 0, 0};
}

SInt16 StoredWidth() { return static_cast<SInt16>(gWindowSizes[1].width); }
SInt16 StoredHeight() { return static_cast<SInt16>(gWindowSizes[1].height); }

void RecordWindowRect(const Rect& rect) {
  WindowRect = rect;
  WindowOrigin = Point{rect.top, rect.left};
}

void BuildGLOrDie() {
  if (!BuildGLForWindow(gMainWindow)) FatalError("Error:  BuildGLForWindow()", "");
}

void LockWindowManagerPort() {
  GWorldPtr port = GetWindowManagerPort(gMainWindow);
  if (!port) return;
  LockPixMapMemory(port);
  LockPixMapPixels(port->portPixMap);
}

void FillScreenRect(const ColorRGB& color) {
  GWorldPtr port = nullptr;
  GetCurrentPort(&port, nullptr);
  const ColorRGB saved = port->foreColor;
  port->foreColor = color;
  FillRectForeColor(&ScreenRect);
  port->foreColor = saved;
}

// The captured gamma (nil here) and the port's system font.
void FinishDisplaySetUp() {
  NewGammaTable(&CapturedGammaTable);
  GetDisplayGammaTable(CapturedGammaTable, nullptr);
  SetCurrentTextFont(0);
}

}  // namespace

Rect CenteredContentRect(SInt16 width, SInt16 height) {
  const Rect d = MainDeviceRect();
  const SInt32 left = (d.right - d.left) / 2 + d.left - width / 2;
  const SInt32 top = (d.bottom - d.top) / 2 + d.top - height / 2;
  return Rect{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(top + height),
              static_cast<SInt16>(left + width)};
}

void WindowInitGL(SInt16 width, SInt16 height) {
  if (gWindowSizes[1].width == 0) gWindowSizes[1].width = static_cast<UInt16>(width);
  if (gWindowSizes[1].height == 0) gWindowSizes[1].height = static_cast<UInt16>(height);
  ScreenRect = Rect{0, 0, height, width};

  const Rect content = CenteredContentRect(StoredWidth(), StoredHeight());
  CreateWindowRef(kMainWindowClass, kMainWindowAttributes, &content, &gMainWindow);
  const EventTypeSpec zoom = {kEventClassWindow, kEventWindowZoom};
  InstallWindowEventHandler(GetWindowEventTarget(gMainWindow), HandleWindowZoomEvent, 1, &zoom, nullptr, nullptr);
  SetWindowTitle(gMainWindow, ApplicationName);
  RecordWindowRect(content);
  ShowWindowRef(gMainWindow);

  BuildGLOrDie();
  LockWindowManagerPort();

  if (EngineSettings[kSettingGameOwnsScreen]) {
    MakePixMap(EngineSettings[kSettingDepth], &buildPMAP, &ScreenRect, 1, 1, 1);
    if (!buildPMAP) FatalError("Failed to create the buildPMAP.", "WindowInitGL()");
    buildWORLD = FindPixMapGWorld(buildPMAP);
    buildBaseAddress = PixMapBaseAddress(buildPMAP);
    buildRowBytes = PixMapRowBytes(buildPMAP);
    SetCurrentPort(buildWORLD);
    FillScreenRect(BlackColor);
    SetDisplaysReady();
    SetFullScreen(gMainPrefs.fullScreen);
  }
  FinishDisplaySetUp();
}

void WindowInit(SInt16 width, SInt16 height) {
  ScreenRect = Rect{0, 0, height, width};
  const Rect content = CenteredContentRect(width, height);
  gWindowSizes[1] = WindowSizePair{static_cast<UInt16>(width), static_cast<UInt16>(height)};
  RecordWindowRect(content);
  CreateWindowRef(4, 0x80000000, &content, &gMainWindow);
  SetWindowTitle(gMainWindow, ApplicationName);
  ShowWindowRef(gMainWindow);
  SetWindowAttributes(gMainWindow, 0, 0);
  LockWindowManagerPort();

  if (EngineSettings[kSettingGameOwnsScreen]) {
    buildWORLD = MakeWindowWorld(gMainWindow, PortDepth, width, height);
    if (buildWORLD) {
      buildPMAP = buildWORLD->portPixMap;
      buildBaseAddress = PixMapBaseAddress(buildPMAP);
      buildRowBytes = PixMapRowBytes(buildPMAP);
      SetPortToPixMap(buildPMAP);
      FillRectForeColor(&ScreenRect);
    }
    SetDisplaysReady();
    FlushToScreen(nullptr);
    SetFullScreen(gMainPrefs.fullScreen);
  }
  FinishDisplaySetUp();
}

void SetWindowContentSize(SInt16 width, SInt16 height) {
  gWindowSizes[1] = WindowSizePair{static_cast<UInt16>(width), static_cast<UInt16>(height)};
  const Rect content = CenteredContentRect(width, height);
  RecordWindowRect(content);
  if (!gMainWindow) return;
  HideWindowRef(gMainWindow);
  SetWindowRegionRect(gMainWindow, kWindowContentRgn, &content);
  BuildGLForWindow(gMainWindow);
  ShowWindowRef(gMainWindow);
}

void SetFullScreenWindow(UInt8 on) {
  on = on ? 1 : 0;
  if (on != FullScreenFlag && gMainWindow) {
    HideWindowRef(gMainWindow);
    Rect content;
    if (on) {
      const Rect d = MainDeviceRect();
      content = Rect{0, 0, static_cast<SInt16>(d.bottom - d.top), static_cast<SInt16>(d.right - d.left)};
    } else {
      content = CenteredContentRect(StoredWidth(), StoredHeight());
      RecordWindowRect(content);
      ShowMenuBarIfHidden();
    }
    SetWindowRegionRect(gMainWindow, kWindowContentRgn, &content);
    BuildGLOrDie();
    if (on) HideMenuBarIfShown();
    FlushToScreen(nullptr);
    ShowWindowRef(gMainWindow);
    LocalizeMenuBarRect();
    FullScreenFlag = on;
  }
  FullScreenStateKnown = 1;
}

void SetFullScreen_Displays(UInt32 on) {
  const UInt8 value = on < 255 ? static_cast<UInt8>(on) : gMainPrefs.fullScreen;
  SetFullScreenWindow(value);
  gMainPrefs.fullScreen = value;
}

UInt32 IsFullScreen_Displays() { return FullScreenStateKnown ? FullScreenFlag : gMainPrefs.fullScreen; }

void EnterMenuMode_Displays() {
  if (gMenuModeFlag) return;
  RestoreAllMenus();
  if (gSystemUI.setSystemUIMode)
    gSystemUI.setSystemUIMode(FullScreenFlag ? kSystemUIModeFullScreen : kSystemUIModeNormal, 0);
  else
    SetMenuBarState(kPlayStateMenuID);
  // Back to the pointer the shell took: association, the saved point, deltas.
  if (gSystemUI.associateMouseAndMouseCursorPosition)
    gSystemUI.associateMouseAndMouseCursorPosition(1);
  else
    SetPointerAssociated(true);
  WarpMouseTo(GetRememberedCursorPoint());
  BeginMouseDeltaTracking();
  gMenuModeFlag = 1;
}

void DisableAllMenus() {
  if (gMenusEnabled != 1) return;
  for (MenuID id = kFirstMenu; id <= kLastMenu; ++id) {
    MenuRef menu = GetMenuByID(id);
    if (!menu) continue;
    gMenuWasEnabled[id - kFirstMenu] = IsMenuItemEnabled(menu, 0);
    DisableMenuItem(menu, 0);
  }
  gMenusEnabled = 0;
}

void RestoreAllMenus() {
  if (gMenusEnabled != 0) return;
  for (MenuID id = kFirstMenu; id <= kLastMenu; ++id) {
    MenuRef menu = GetMenuByID(id);
    if (menu && gMenuWasEnabled[id - kFirstMenu]) EnableMenuItem(menu, 0);
  }
  gMenusEnabled = 1;
}

UInt8 MenusEnabled() { return gMenusEnabled; }

void BlackenScreen() {
  if (!gCoverWindow) FatalError("Black window is not initialized!", "BlackenScreen()");
  gTaskbarWasVisible = IsTaskbarVisible();
  HideMenuBarIfShown();
  BringWindowToFront(gCoverWindow);
  ShowWindowRef(gCoverWindow);
}

void UnBlackenScreen() {
  if (!gCoverWindow) FatalError("Black window is not initialized!", "UnBlackenScreen()");
  if (gTaskbarWasVisible) ShowMenuBarIfHidden();
  HideWindowRef(gCoverWindow);
}

void CloseDisplays() {
  if (!gMainWindow) return;
  if (FullScreenFlag) FadeToColorNow(&BlackColor, nullptr);
  if (buildWORLD) {
    PushPort();
    SetCurrentPort(buildWORLD);
    FillRectForeColor(&ScreenRect);
    PopPort();
  }
  FlushToScreen(nullptr);
  if (FullScreenFlag) HideMenuBarIfShown();

  HideWindowRef(gMainWindow);
  DisposeGLForWindow(gMainWindow);
  if (GWorldPtr port = GetWindowManagerPort(gMainWindow)) {
    GWorldPtr current = nullptr;
    GetCurrentPort(&current, nullptr);
    if (current == port) SetCurrentPort(buildWORLD);
    DestroyGWorld(port);
    ForgetWindowManagerPort();
  }
  DisposeWindowRef(gMainWindow);
  gMainWindow = nullptr;

  if (EngineSettings[kSettingGameOwnsScreen]) {
    if (gCoverWindow) DisposeWindowRef(gCoverWindow);
    gCoverWindow = nullptr;
    if (AppCallbacks.displayCleanup) AppCallbacks.displayCleanup();
    // The build world lives as long as the window; nothing draws after this.
    if (buildPMAP) {
      GWorldPtr current = nullptr;
      GetCurrentPort(&current, nullptr);
      if (current == buildWORLD) SetCurrentPort(nullptr);
      ReleasePixMap(&buildPMAP);
    }
    buildPMAP = nullptr;
    buildWORLD = nullptr;
    buildBaseAddress = nullptr;
    buildRowBytes = 0;
  }
  DisposeDisplayList(DisplayList);
}

void ResetMainWindowForTesting() {
  if (buildPMAP) ReleasePixMap(&buildPMAP);
  buildPMAP = nullptr;
  buildWORLD = nullptr;
  buildBaseAddress = nullptr;
  buildRowBytes = 0;
  WindowRect = Rect{0, 0, 0, 0};
  WindowOrigin = Point{0, 0};
  FullScreenFlag = 0;
  FullScreenStateKnown = 0;
  gMenusEnabled = 1;
  gCoverWindow = nullptr;
}
