#include "DialogItems.h"

#include <algorithm>

#include "DisplayServices.h"
#include "Errors.h"

namespace {

constexpr OSType kTextTag = FOUR_CHAR_CODE("text");

bool IsTwoState(SInt16 kind) {
  return kind == kItemDisclosure || kind == kItemAutoDisclosure || kind == kItemCheckGroupBox ||
         (kind >= kItemPushButton && kind <= kItemAutoCheckBox);
}

SInt16 MeasureText(ConstStr255Param text) {
  auto measure = GetDisplayServices().measureText;
  return measure ? measure(text, 0) : 0;
}

}  // namespace

ControlRef AddDialogItem(WindowRef window, Rect* ioRect, SInt16 kind, ConstStr255Param text, SInt16 value,
                         SInt16 minimum, SInt16 maximum) {
  const bool checkOrRadio = kind == kItemCheckBox || kind == kItemRadioButton || kind == kItemAutoCheckBox;
  const bool fittedStatic =
      kind == kItemStaticText && ioRect->bottom - ioRect->top == 16 && ioRect->left == ioRect->right;
  if (checkOrRadio || fittedStatic) {
    const SInt16 width = MeasureText(text);
    ioRect->right = static_cast<SInt16>(ioRect->left + width + (checkOrRadio ? 28 : 12));
  }
  if (IsTwoState(kind)) {
    minimum = 0;
    maximum = 1;
  }
  ControlRef control = gSystemCalls.newControl(window, ioRect, text, 1, value, minimum, maximum, kind, 0);
  if (kind == kItemEditText || kind == kItemStaticText) SetControlText(control, text);
  if (kind == kItemPopupButton) gSystemCalls.setControlValue(control, value);
  return control;
}

void SetControlText(ControlRef control, ConstStr255Param text) {
  const OSErr status = gSystemCalls.setControlData(control, 0, kTextTag, text[0], text + 1);
  if (status != 0) FatalErrorNum("SetControlText() failed.", status);
  gSystemCalls.drawControl(control);
}

void GetControlText(ControlRef control, StringPtr outText) {
  SInt32 size = 0;
  const OSErr status = gSystemCalls.getControlData(control, 0, kTextTag, 255, outText + 1, &size);
  if (status != 0) FatalErrorNum("GetControlText() failed.", status);
  outText[0] = static_cast<unsigned char>(std::clamp<SInt32>(size, 0, 255));
}

OSStatus DialogControlEventHandler(EventHandlerCallRef, EventRef event, void*) {
  if (GetEventRecordClass(event) != kEventClassControl || GetEventRecordKind(event) != 7) return 0;
  ControlRef control = nullptr;
  SInt16 part = -1;
  if (GetEventParameter(event, FOUR_CHAR_CODE("----"), FOUR_CHAR_CODE("ctrl"), nullptr, sizeof control, nullptr,
                        &control) != 0)
    return kEventNotHandledErr;
  GetEventParameter(event, FOUR_CHAR_CODE("cprt"), FOUR_CHAR_CODE("cprt"), nullptr, 2, nullptr, &part);
  if (part == 0) {
    if (void* object = gSystemCalls.getTextObject(control)) gSystemCalls.updateTextObject(object);
  }
  return kEventNotHandledErr;
}
