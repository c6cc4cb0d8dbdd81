#include "DialogControls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DialogDefaults.h"
#include "DialogItems.h"
#include "DialogLayout.h"
#include "Errors.h"
#include "NibWindows.h"
#include "RefObjects.h"
#include "ResultCodes.h"
#include "Strings.h"

namespace {

void FatalIf(OSErr status, const char* message) {
  if (status == 0) return;
  char location[16];
  std::snprintf(location, sizeof location, "%d", static_cast<int>(status));
  FatalError(message, location);
}

void SetTagged16(ControlRef control, const char (&tag)[5], SInt16 value, const char* message) {
  FatalIf(gSystemCalls.setControlData(control, 0, FOUR_CHAR_CODE(tag), 2, &value), message);
}

OSErr SetContent(ControlRef control, SInt16 type, SInt16 resourceID, void* object) {
  const ControlContent content{type, resourceID, object};
  return gSystemCalls.setControlData(control, 0, FOUR_CHAR_CODE("cont"), sizeof content, &content);
}

// One style field applied alone; no control answers the value.
SInt16 ApplyStyleField(ControlRef control, SInt16 flag, SInt16 value, const char* message) {
  if (!control) return value;
  ControlFontStyle style{};
  style.flags = flag;
  switch (flag) {
    case 2: style.style = value; break;
    case 4: style.size = value; break;
    case 8: style.foreColor = RGBColor{static_cast<UInt16>(value), static_cast<UInt16>(value), static_cast<UInt16>(value)}; break;
    default: style.just = value; break;
  }
  FatalIf(gSystemCalls.applyControlFontStyle(control, &style), message);
  return value;
}

void ReplaceText(ControlRef control, const void* text, SInt32 length, UInt8 keepReadOnly) {
  void* object = gSystemCalls.getTextObject(control);
  if (!object) return;
  UInt32 readOnly = 0;
  gSystemCalls.getTextObjectOption(object, FOUR_CHAR_CODE("iopv"), &readOnly);
  if (readOnly) gSystemCalls.setTextObjectOption(object, FOUR_CHAR_CODE("iopv"), 0);
  gSystemCalls.setTextObjectData(object, FOUR_CHAR_CODE("TEXT"), text, length, 0, 0x7FFFFFFF);
  if (readOnly && keepReadOnly) gSystemCalls.setTextObjectOption(object, FOUR_CHAR_CODE("iopv"), 1);
}

}  // namespace

OSErr SetControlSelection(ControlRef control, SInt16 start, SInt16 end) {
  const SInt16 selection[2] = {start, end};
  return gSystemCalls.setControlData(control, 0, FOUR_CHAR_CODE("sele"), sizeof selection, selection);
}

SInt32 GetControlInteger(ControlRef control) {
  Str255 text{};
  GetControlText(control, text);
  return static_cast<SInt32>(std::strtol(CStr(text).GetPtr(), nullptr, 10));
}

void SetIconControlContent(ControlRef control, void* icon) {
  SetContent(control, 132, 0, icon);
  gSystemCalls.drawControl(control);
}

void SetIconAlignment(ControlRef control, SInt16 alignment) {
  SetTagged16(control, "gali", alignment, "SetIconAlignment() failed.");
}

void SetIconOffset(ControlRef control, SInt16 h, SInt16 v) {
  const SInt16 offset[2] = {v, h};
  FatalIf(gSystemCalls.setControlData(control, 0, FOUR_CHAR_CODE("goff"), sizeof offset, offset),
          "SetIconOffset() failed.");
}

void SetTextAlignment(ControlRef control, SInt16 value) { SetTagged16(control, "tali", value, "SetTextAlignment() failed."); }
void SetTextPlacement(ControlRef control, SInt16 value) { SetTagged16(control, "tplc", value, "SetTextPlacement() failed."); }
void SetTextOffset(ControlRef control, SInt16 value) { SetTagged16(control, "toff", value, "SetTextOffset() failed."); }

void SetControlCIcon(ControlRef control, SInt16 resourceID) {
  FatalIf(SetContent(control, 2, resourceID, nullptr), "SetControlCIcon() failed.");
}

void SetControlIconSuite(ControlRef control, SInt16 resourceID) {
  FatalIf(SetContent(control, 1, resourceID, nullptr), "SetControlIconSuite() failed.");
}

OSErr SetControlPictureRes(ControlRef control, SInt16 resourceID) {
  const OSErr status = SetContent(control, 3, resourceID, nullptr);
  if (status == 0) gSystemCalls.drawControl(control);
  return status;
}

OSErr SetControlContentRecord(ControlRef control, const ControlContent* content) {
  if (!control) return kErrFailed;
  const OSErr status = gSystemCalls.setControlData(control, 0, FOUR_CHAR_CODE("cont"), sizeof *content, content);
  if (status == 0) gSystemCalls.drawControl(control);
  return status;
}

void SetBevelButton_ics8(ControlRef control, SInt16 resourceID) {
  void* family = nullptr;
  gSystemCalls.getIconFamily(resourceID, 1280, &family);
  FatalIf(SetContent(control, 129, 0, family), "SetBevelButton_ics8() failed.");
  gSystemCalls.drawControl(control);
}

void SetBevelButton_icns(ControlRef control, SInt16 resourceID) {
  void* family = nullptr;
  FatalIf(gSystemCalls.getIconFamily(resourceID, 255, &family), "GetIconSuite() failed.");
  FatalIf(SetContent(control, 129, 0, family), "SetBevelButton_icns() failed.");
  gSystemCalls.drawControl(control);
}

void SetControlFont(ControlRef control) {
  if (!control) return;
  FatalIf(gSystemCalls.applyControlFontStyle(control, &DialogDefaults.controlFont), "SetControlFont() failed.");
}

SInt16 SetControlFontColor(ControlRef control, SInt16 value) {
  return ApplyStyleField(control, 8, value, "SetControlFontColor() failed.");
}
SInt16 SetControlFontSize(ControlRef control, SInt16 value) {
  return ApplyStyleField(control, 4, value, "SetControlFontSize() failed.");
}
SInt16 SetControlFontJustification(ControlRef control, SInt16 value) {
  return ApplyStyleField(control, 64, value, "SetControlFontJustification() failed.");
}
SInt16 SetControlFontFace(ControlRef control, SInt16 value) {
  return ApplyStyleField(control, 2, value, "SetControlFontFace() failed.");
}

OSErr SetControlDragTracking(ControlRef control, UInt8 flag) {
  return gSystemCalls.setControlData(control, 129, FOUR_CHAR_CODE("drag"), 1, &flag);
}

OSErr GetListBoxHandle(ControlRef control, void** outHandle) {
  if (!control || !outHandle) return kErrParam;
  *outHandle = nullptr;
  SInt32 size = 0;
  return gSystemCalls.getControlData(control, 0, FOUR_CHAR_CODE("lhan"), sizeof *outHandle, outHandle, &size);
}

ControlRef NewPopupMenuControl(WindowRef dialog, SInt16 menuID, SInt32 reference, SInt16 maximum,
                               ConstStr255Param title) {
  constexpr SInt16 kPopupMenuDefinition = 1008;
  Str255 text{};
  if (title && title[0]) {
    PStrCopy(title, text);
  } else if (void* menu = gSystemCalls.getMenu(menuID)) {
    gSystemCalls.getMenuTitle(menu, text);
  }
  // The control takes its menu from the minimum; the caller places it.
  const Rect bounds{};
  return gSystemCalls.newControl(dialog, &bounds, text, 1, 0, menuID, maximum, kPopupMenuDefinition, reference);
}

void FormatByteSize(UInt32 count, StringPtr ioText) {
  const UInt32 kilobytes = count / 1024;
  const bool mega = kilobytes > 1023;
  const UInt32 figure = mega ? kilobytes : count;
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u%s", figure / 1024, (figure % 1024) * 10 / 1024, mega ? " M" : " K");
  Str255 suffix;
  CToPStr(text, suffix);
  PStrAppend(suffix, ioText);
}

void SetTextViewText(ControlRef control, const char* text, SInt32 length, UInt8 keepReadOnly) {
  ReplaceText(control, text, length, keepReadOnly);
}

void SetTextViewPString(ControlRef control, ConstStr255Param text) { ReplaceText(control, text + 1, text[0], 1); }

void SetTextViewJustification(ControlRef control, SInt16 justification, UInt8 keepReadOnly) {
  void* object = gSystemCalls.getTextObject(control);
  if (!object) return;
  UInt32 readOnly = 0;
  gSystemCalls.getTextObjectOption(object, FOUR_CHAR_CODE("iopv"), &readOnly);
  if (readOnly) gSystemCalls.setTextObjectOption(object, FOUR_CHAR_CODE("iopv"), 0);
  gSystemCalls.setTextObjectOption(object, FOUR_CHAR_CODE("just"), static_cast<UInt32>(justification));
  if (readOnly && keepReadOnly) gSystemCalls.setTextObjectOption(object, FOUR_CHAR_CODE("iopv"), 1);
}

OSStatus InstallDialogControlHandler(WindowRef window) {
  const EventTypeSpec pair{kEventClassControl, 7};
  return InstallWindowEventHandler(window, DialogDefaults.controlEventHandler, 1, &pair, nullptr, nullptr);
}

OSStatus PushButtonQuitHandler(EventHandlerCallRef call, EventRef event, void*) {
  if (GetEventRecordClass(event) == kEventClassKeyboard) {
    PassEventToNextHandler(call, event);
    return kEventNotHandledErr;
  }
  ControlRef control = nullptr;
  if (GetEventRecordKind(event) == 1 &&
      GetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("ctrl"), nullptr, sizeof control, nullptr,
                        &control) == 0 && control) {
    ControlKind kind{};
    gSystemCalls.getControlKind(control, &kind);
    if (kind.kind == FOUR_CHAR_CODE("push")) gSystemCalls.quitAppModalLoop(gSystemCalls.getControlOwner(control));
  }
  return kEventNotHandledErr;
}

Boolean RunDialogFilter(void* dialog, EventRec* event, SInt16* outItem) {
  constexpr UInt16 kUpdateEvent = 6;
  if (event->what == kUpdateEvent && reinterpret_cast<void*>(static_cast<uintptr_t>(event->message)) != dialog)
    return 0;
  void* filter = nullptr;
  gSystemCalls.getStandardFilterProc(&filter);
  if (!filter) return 0;
  DialogPushPort();
  DialogSetPort(static_cast<WindowRef>(dialog));
  const Boolean handled = reinterpret_cast<Boolean (*)(void*, EventRec*, SInt16*)>(filter)(dialog, event, outItem);
  DialogPopPort();
  return handled;
}

SInt32 AlertWithNumbers(ConstStr255Param message, SInt32 number, UInt8) {
  char caption[16];
  std::snprintf(caption, sizeof caption, "%d", static_cast<int>(number));
  Str255 p;
  CToPStr(caption, p);
  return AlertMessageP(message, p);
}

SInt32 AlertWithNumbers(SInt32 first, SInt32 number, UInt8 flag) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(first));
  Str255 p;
  CToPStr(text, p);
  return AlertWithNumbers(p, number, flag);
}

SInt32 AlertWithNumbers(const char* message, SInt32 number, UInt8 flag) {
  Str255 p;
  CToPStr(message ? message : "", p);
  return AlertWithNumbers(p, number, flag);
}

void ShowURLPathAlert(const URLObject* url) {
  char path[1024] = {};
  if (url) GetURLPath(url, 1, path, sizeof path);
  // A path of 50 characters or fewer has nothing from the 51st on.
  const size_t length = std::strlen(path);
  AlertMessage(length > 50 ? path + 50 : "", "", "OK");
}
