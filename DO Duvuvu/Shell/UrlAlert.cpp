#include "UrlAlert.h"

#include "Alerts.h"
#include "DialogDefaults.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "DisplayServices.h"
#include "NibWindows.h"
#include "ShellServices.h"
#include "Strings.h"
#include "SystemCalls.h"
#include "SystemUI.h"
#include "Windows.h"

namespace {

constexpr UInt32 kStandardHandlerAttribute = 0x2000000;

SInt16 Measure(ConstStr255Param text, SInt16 style) {
  auto measure = GetDisplayServices().measureText;
  return measure ? measure(text, style) : 0;
}

ControlRef EventControl(EventRef event) {
  ControlRef control = nullptr;
  GetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("ctrl"), nullptr, sizeof control, nullptr, &control);
  return control;
}

}  // namespace

void DrawLinkControl(ControlRef control) {
  constexpr UInt8 kLinkStyle = 36;
  constexpr UInt16 kBlue[3] = {0, 0, 65535};
  Str255 title{};
  gSystemCalls.getControlTitle(control, title);
  Rect bounds{};
  gSystemCalls.getControlBounds(control, &bounds);
  const DisplayServices& services = GetDisplayServices();
  if (services.setForeColor) services.setForeColor(kBlue);
  if (services.movePenTo) services.movePenTo(bounds.left, static_cast<SInt16>(bounds.top + 16));
  if (services.setTextStyle) services.setTextStyle(kLinkStyle);
  if (services.eraseRect) services.eraseRect(&bounds);
  if (services.drawText) services.drawText(title);
  if (services.setTextStyle) services.setTextStyle(0);
  UInt16 standard[3] = {0, 0, 0};
  if (services.standardForeColor) services.standardForeColor(standard);
  if (services.setForeColor) services.setForeColor(standard);
}

OSStatus LinkControlHandler(EventHandlerCallRef, EventRef event, void*) {
  ControlRef control = EventControl(event);
  if (!control) return kEventNotHandledErr;
  Str255 title{};
  gSystemCalls.getControlTitle(control, title);
  switch (GetEventRecordKind(event)) {
    case 1:
      OpenURLInShell(CStr(title).GetPtr());
      return 0;
    case 3: {
      const SInt16 part = 127;
      SetEventParameter(event, FOUR_CHAR_CODE("cprt"), FOUR_CHAR_CODE("cprt"), 2, &part);
      return 0;
    }
    case 4:
      DrawLinkControl(control);
      return 0;
    default:
      return kEventNotHandledErr;
  }
}

OSStatus LinkMouseHandler(EventHandlerCallRef, EventRef event, void*) {
  if (GetEventRecordKind(event) == kEventMouseMoved) SetArrowCursor();
  return 0;
}

OSType RunURLAlert(const char* message, const char* linkText, const char* buttonText, SInt16 iconID) {
  const UInt8 cursorWasVisible = gCursorVisible;
  WindowRef parent = DialogDefaults.parent;
  const bool menuBarWasVisible = IsTaskbarVisible();
  const OSType iconType = DialogDefaults.iconType;
  const UInt8 sheet = DialogDefaults.sheet;

  void* linkClass = nullptr;
  gSystemCalls.registerControlClass("urlControl", LinkControlHandler, &linkClass);
  const Rect rect = CenterDialogRect(static_cast<SInt16>(500 + DialogDefaults.extraWidth),
                                     static_cast<SInt16>(128 + DialogDefaults.extraHeight), 0);
  ResetAlertDefaults();
  ShowTaskbar();
  WindowRef window = nullptr;
  CreateWindowRef(sheet ? 11 : 2, kStandardHandlerAttribute, &rect, &window);
  if (!window) {
    if (auto shutdown = GetDisplayServices().shutdownApplication) shutdown(0);
    gSystemCalls.unregisterControlClass(linkClass);
    return 0;
  }
  SetNewWindowOption(window, 0, 0);

  Str255 button;
  CToPStr(buttonText ? buttonText : "", button);
  Rect r = DialogButtonRect(rect, 0);
  const SInt16 buttonWidth = Measure(button, 0);
  if (buttonWidth + 16 > r.right - r.left) r.left = static_cast<SInt16>(r.right - (buttonWidth + 16));
  SetDefaultButton(AddDialogItem(window, &r, kItemPushButton, button, 0, 0, 1), 1);

  Str255 link;
  CToPStr(linkText ? linkText : "", link);
  const Rect text = DialogTextRect(rect);
  const Rect linkRect{static_cast<SInt16>(text.top + 64), text.left, static_cast<SInt16>(text.top + 88),
                      static_cast<SInt16>(text.left + Measure(link, 32))};
  ControlRef linkControl = nullptr;
  gSystemCalls.createCustomControl(window, &linkRect, linkClass, &linkControl);
  if (linkControl) {
    gSystemCalls.setControlTitle(linkControl, link);
    gSystemCalls.setControlCommandID(linkControl, kResultCancel);
    const EventTypeSpec moved{kEventClassMouse, kEventMouseMoved};
    InstallWindowEventHandler(GetControlEventTarget(linkControl), LinkMouseHandler, 1, &moved, linkControl, nullptr);
  }
  Rect messageRect = text;
  messageRect.bottom = static_cast<SInt16>(text.top + 48);
  Str255 m;
  CToPStr(message ? message : "", m);
  AddDialogItem(window, &messageRect, kItemStaticText, m, 0, 0, 0);
  Rect icon = DialogIconRect();
  const unsigned char none[1] = {0};
  if (iconType == FOUR_CHAR_CODE("????")) {
    AddDialogItem(window, &icon, kItemIconNoTrack, none, iconID, 0, 1);
  } else {
    SetIconControlFromType(AddDialogItem(window, &icon, kItemIconRefNoTrack, none, 0, 0, 0), iconType);
  }

  SetArrowCursor();
  ShowDialogCursor();
  const OSType result = RunModalNibWindow(window, parent, sheet);
  SetArrowCursor();
  if (linkControl) gSystemCalls.releaseControl(linkControl);
  gSystemCalls.unregisterControlClass(linkClass);
  DisposeWindowRef(window);
  if (!menuBarWasVisible) HideTaskbar();
  RestoreDialogCursor(cursorWasVisible);
  return result;
}
