#include "Alerts.h"

#include <cstdio>

#include "AppGlobals.h"
#include "Clocks.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "DisplayServices.h"
#include "Errors.h"
#include "FixedResults.h"
#include "NibWindows.h"
#include "Strings.h"
#include "SystemUI.h"
#include "Windows.h"

namespace {

constexpr UInt16 kDrainMask = 62;
const unsigned char kEmptyTitle[1] = {0};

void MoveRect(Rect* r, int dh, int dv) {
  r->left = static_cast<SInt16>(r->left + dh);
  r->right = static_cast<SInt16>(r->right + dh);
  r->top = static_cast<SInt16>(r->top + dv);
  r->bottom = static_cast<SInt16>(r->bottom + dv);
}

ControlRef AddButton(WindowRef window, Rect r, ConstStr255Param title) {
  return AddDialogItem(window, &r, kItemPushButton, title, 0, 0, 1);
}

ControlRef AddButton(WindowRef window, Rect r, const char* title) {
  Str255 text;
  CToPStr(title, text);
  return AddButton(window, r, text);
}

void AddMessage(WindowRef window, Rect r, ConstStr255Param message, SInt16 minimum = 0) {
  AddDialogItem(window, &r, kItemStaticText, message, 0, minimum, 0);
}

void AddIcon(WindowRef window, SInt16 kind, SInt16 value, SInt16 minimum, SInt16 maximum) {
  Rect r = DialogIconRect();
  AddDialogItem(window, &r, kind, kEmptyTitle, value, minimum, maximum);
}

// The alert icon: the icon ID, or the application's icon of the set type.
void AddAlertIcon(WindowRef window, OSType iconType, UInt16 iconID) {
  if (iconType == FOUR_CHAR_CODE("????")) {
    AddIcon(window, kItemIconNoTrack, iconID == 65535 ? 1 : static_cast<SInt16>(iconID), 0, 1);
    return;
  }
  Rect r = DialogIconRect();
  SetIconControlFromType(AddDialogItem(window, &r, kItemIconRefNoTrack, kEmptyTitle, 0, 0, 0), iconType);
}

SInt16 TextWidth(ConstStr255Param text) {
  auto measure = GetDisplayServices().measureText;
  return measure ? measure(text, 0) : 0;
}

// The icon content record of the 'cont' tag.
struct IconContent {
  SInt16 contentType;
  void* icon;
};

}  // namespace

OSType RunAlert(const char* message, UInt8 style) {
  if (style > 2) style = 0;
  const DialogDefaultsRecord& d = DialogDefaults;
  const Rect rect = CenterDialogRect(static_cast<SInt16>(360 + d.extraWidth), static_cast<SInt16>(120 + d.extraHeight), 0);
  WindowRef window = NewDialogWindow(rect, kEmptyTitle, d.sheet);
  WindowRef parent = d.parent;
  const UInt8 sheet = d.sheet;
  if (parent) CenterWindowOnParent(window, parent);

  Rect r = DialogButtonRect(rect, 0);
  r.left = static_cast<SInt16>(r.left - d.extraButtonWidth);
  SetDefaultButton(AddButton(window, r, d.defaultText), 1);
  if (style != 2) {
    r = DialogButtonRect(rect, 1);
    MoveRect(&r, -d.extraButtonWidth, 0);
    SetCancelButton(AddButton(window, r, d.cancelText), 1);
  }
  if (style == 1 || style == 2) {
    r = DialogButtonRect(rect, style == 1 ? 3 : 1);
    if (style == 2) MoveRect(&r, -d.extraButtonWidth, 0);
    if (d.otherText[0] == 0) {
      AddButton(window, r, "No");
    } else {
      gSystemCalls.setControlCommandID(AddButton(window, r, d.otherText), kResultDont);
    }
  }
  AddAlertIcon(window, d.iconType, d.iconID);
  Str255 text;
  CToPStr(message ? message : "", text);
  AddMessage(window, DialogTextRect(rect), text);

  const OSType result = RunModalNibWindow(window, parent, sheet);
  if (window) {
    if (sheet) gSystemCalls.hideSheetWindow(window);
    DisposeWindowRef(window);
  }
  ResetAlertDefaults();
  return result;
}

OSType RunSaveAlert(ConstStr255Param message, ConstStr255Param verb, SInt16 iconID, UInt8 hasCancel, UInt8 hasDont) {
  const UInt8 cursorWasVisible = gCursorVisible;
  const UInt8 sheet = DialogDefaults.sheet;
  WindowRef parent = DialogDefaults.parent;
  ResetAlertDefaults();
  Rect rect = CenterDialogRect(352, 104, 0);
  MoveRect(&rect, 0, -32);
  WindowRef window = NewDialogWindow(rect, kEmptyTitle, sheet);

  SetDefaultButton(AddButton(window, DialogButtonRect(rect, 0), verb), 1);
  ControlRef cancel = AddButton(window, DialogButtonRect(rect, 1), "Cancel");
  if (hasCancel) {
    SetCancelButton(cancel, 1);
  } else {
    gSystemCalls.hideControl(cancel);
  }
  Str31 dont;
  CToPStr("Don't ", dont);
  PStrAppend31(verb, dont);
  Rect r = DialogButtonRect(rect, hasCancel ? 3 : 1);
  if (hasCancel) {
    r.right = static_cast<SInt16>(r.right + 24);
  } else {
    r.left = static_cast<SInt16>(r.left - 24);
  }
  ControlRef third = AddButton(window, r, dont);
  if (hasDont) {
    gSystemCalls.setControlCommandID(third, kResultDont);
  } else {
    gSystemCalls.hideControl(third);
  }
  AddIcon(window, kItemIconNoTrack, iconID, 0, 1);
  AddMessage(window, DialogTextRect(rect), message);

  const OSType result = RunModalNibWindow(window, parent, sheet);
  if (window) {
    if (sheet) gSystemCalls.hideSheetWindow(window);
    DisposeWindowRef(window);
  }
  RestoreDialogCursor(cursorWasVisible);
  return result;
}

OSType RunTextAlert(ConstStr255Param message, UInt16 delay, UInt16 keyItem, UInt16 timeoutItem) {
  const UInt8 cursorWasVisible = gCursorVisible;
  DialogDefaults.delay = delay;
  DialogDefaults.keyItem = keyItem;
  DialogDefaults.timeoutItem = timeoutItem;
  SInt16 width = 352, height = 120;
  const int length = message[0];
  if (length >= 128) {
    width = static_cast<SInt16>(2 * length + 96);
    height = static_cast<SInt16>(static_cast<UInt8>((length - 128) / 2 + 120));
  }
  Rect rect = CenterDialogRect(width, height, 0);
  MoveRect(&rect, 0, -32);
  WindowRef window = NewDialogWindow(rect, kEmptyTitle, 0);
  AddButton(window, DialogButtonRect(rect, 0), "OK");
  AddButton(window, DialogButtonRect(rect, 1), "Cancel");
  AddIcon(window, kItemIcon, 2, 1, 1);
  AddMessage(window, DialogTextRect(rect), message, 1);

  SetArrowCursor();
  ShowDialogCursor();
  DialogPushPort();
  if (window) {
    ShowWindowRef(window);
    DialogSetPort(window);
  }
  DrainEvents(kDrainMask);
  DrainEvents(kDrainMask);
  DialogPopPort();
  if (window) DisposeWindowRef(window);
  RestoreDialogCursor(cursorWasVisible);
  ResetAlertDefaults();
  return kResultCancel;
}

OSType RunChoiceAlert(ConstStr255Param message, ConstStr255Param secondText) {
  const Rect rect = CenterDialogRect(400, 160, 0);
  WindowRef window = NewDialogWindow(rect, kEmptyTitle, 0);
  AddButton(window, DialogButtonRect(rect, 0), "OK");
  Rect r = DialogButtonRect(rect, 1);
  r.left = static_cast<SInt16>(r.right - TextWidth(secondText) - 16);
  AddButton(window, r, secondText);
  AddIcon(window, kItemIcon, 2, 1, 1);
  AddMessage(window, DialogTextRect(rect), message);
  const OSType result = RunModalNibWindow(window, nullptr, 0);
  if (window) DisposeWindowRef(window);
  return result;
}

void SetIconControlFromType(ControlRef control, OSType iconType) {
  void* icon = nullptr;
  const OSErr status = gSystemCalls.getIconRef(-32768, ApplicationCreator, iconType, &icon);
  if (status != 0) {
    char location[16];
    std::snprintf(location, sizeof location, "%d", static_cast<int>(status));
    FatalError("GetIconRef() failed.", location);
  }
  const IconContent content{132, icon};
  gSystemCalls.setControlData(control, 0, FOUR_CHAR_CODE("cont"), sizeof content, &content);
  const UInt8 scale = 1;
  gSystemCalls.setControlData(control, 0, FOUR_CHAR_CODE("scal"), 1, &scale);
}

namespace {

// The platform's parameter alert: nothing is shown here.
void ParameterAlert(ConstStr255Param, ConstStr255Param, UInt8) {}

void NumberText(SInt32 number, StringPtr out) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(number));
  CToPStr(text, out);
}

}  // namespace

void ShowNumberAlert(const char* message, SInt32 number, UInt8 flag) {
  Str255 text, figure;
  CToPStr(message ? message : "", text);
  NumberText(number, figure);
  ParameterAlert(text, figure, flag);
}

void ShowNumberAlert(ConstStr255Param message, SInt32 number, UInt8 flag) {
  Str255 figure;
  NumberText(number, figure);
  ParameterAlert(message, figure, flag);
}

void ShowNumberAlert(SInt32 first, SInt32 number, UInt8 flag) {
  Str255 text, figure;
  NumberText(first, text);
  NumberText(number, figure);
  ParameterAlert(text, figure, flag);
}

SInt16 NewFeaturesDialog(void*, void*, void*, void*, void*, void*, void*, void*, void*) {
  SInt32 value = 0;
  if (GetSystemAttribute(FOUR_CHAR_CODE("appr"), &value) != 0) FatalError("NewFeaturesDialog() is not available.", "");
  DialogPushPort();
  if (WindowRef front = GetFrontWindow()) DialogSetPort(front);
  DialogPopPort();
  return 0;
}

SInt16 NewFeaturesDialogEx(void* a, void* b, void* c, void* d, void* e, void* f, void* g, void* h, void* i) {
  return NewFeaturesDialog(a, b, c, d, e, f, g, h, i);
}

void DebugNote(const char*) {}

Boolean DefaultButtonKeyFilter(void*, EventRec* event, SInt16* outItem) {
  const UInt8 character = event->message & 0xFF;
  if (event->what != kKeyDownEvent || (character != 13 && character != 3)) return 0;
  *outItem = 1;
  return 1;
}

Boolean AlertKeyFilter(void* dialog, EventRec* event, SInt16* outItem) {
  WindowRef window = static_cast<WindowRef>(dialog);
  const UInt32 start = static_cast<UInt32>(GetWindowReference(window));
  const UInt32 now = static_cast<UInt32>(GetTicks());
  if (start == 0) {
    SetWindowReference(window, now);
    return 0;
  }
  SInt16 item;
  if (start + DialogDefaults.delay < now) {
    item = static_cast<SInt16>(DialogDefaults.timeoutItem);
  } else {
    const UInt8 character = event->message & 0xFF;
    const bool accepted = character == 13 || character == 3 || character == 27 ||
                          (character == '.' && (event->modifiers & 0x0088) != 0);
    if (event->what != kKeyDownEvent || !accepted) return 0;
    item = static_cast<SInt16>(DialogDefaults.keyItem);
  }
  event->what = 0;
  *outItem = item;
  return 1;
}
