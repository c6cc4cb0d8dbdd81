// The process-wide defaults every alert and modal dialog reads.
#pragma once

#include "Events.h"
#include "MacTypes.h"

// A modal-dialog filter: (dialog, classic event, out item) -> handled.
typedef Boolean (*DialogFilterProcPtr)(void* dialog, EventRec* event, SInt16* outItem);

struct RGBColor {
  UInt16 red;
  UInt16 green;
  UInt16 blue;
};

struct ControlFontStyle {
  SInt16 flags;
  SInt16 font;
  SInt16 size;
  SInt16 style;
  SInt16 mode;
  SInt16 just;
  RGBColor foreColor;
  RGBColor backColor;
};
static_assert(sizeof(ControlFontStyle) == 24);

struct DialogDefaultsRecord {
  EventHandlerProcPtr controlEventHandler;
  EventHandlerProcPtr passwordPairHandler;
  EventHandlerProcPtr passwordHandler;
  UInt16 timeoutItem;
  UInt16 keyItem;
  UInt16 delay;  // ticks
  DialogFilterProcPtr defaultButtonFilter;
  DialogFilterProcPtr alertKeyFilter;
  ControlFontStyle controlFont;
  // The alert part, from here to the end.
  SInt16 extraWidth;
  SInt16 extraHeight;
  SInt16 extraButtonWidth;
  UInt16 iconID;  // 65535 = 1
  UInt8 reservedFlag;
  OSType iconType;  // '????' = use the icon ID
  UInt8 cancelAllowed;
  Str31 defaultText;
  Str31 cancelText;
  Str31 otherText;  // empty = "No"
  UInt8 reserved[3];
  WindowRef parent;
  UInt8 sheet;
  UInt8 dialogHandlerFlag;
};

extern DialogDefaultsRecord DialogDefaults;

// Start-up entry: the whole record to its initial values, the handler and
// filter slots to the dialog layer's own.
void InitDialogDefaults();
// The alert part (extra width through the dialog-handler flag) only.
void ResetAlertDefaults();
