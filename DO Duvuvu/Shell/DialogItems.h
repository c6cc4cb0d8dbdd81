// Dialog items: controls made by kind, their texts and data.
#pragma once

#include "Events.h"
#include "MacTypes.h"
#include "SystemCalls.h"

// Item kinds (control definitions).
constexpr SInt16 kItemDisclosure = 64;
constexpr SInt16 kItemAutoDisclosure = 66;
constexpr SInt16 kItemCheckGroupBox = 161;
constexpr SInt16 kItemEditText = 272;
constexpr SInt16 kItemStaticText = 288;
constexpr SInt16 kItemIcon = 320;
constexpr SInt16 kItemIconNoTrack = 321;
constexpr SInt16 kItemIconRefNoTrack = 325;
constexpr SInt16 kItemPushButton = 368;
constexpr SInt16 kItemCheckBox = 369;
constexpr SInt16 kItemRadioButton = 370;
constexpr SInt16 kItemAutoCheckBox = 371;
constexpr SInt16 kItemPopupButton = 400;

// Fits check boxes, radio buttons and zero-width 16-high static texts to their
// text (the rect is updated), then makes the control.
ControlRef AddDialogItem(WindowRef window, Rect* ioRect, SInt16 kind, ConstStr255Param text, SInt16 value,
                         SInt16 minimum, SInt16 maximum);
// A failing status is fatal.
void SetControlText(ControlRef control, ConstStr255Param text);
void GetControlText(ControlRef control, StringPtr outText);
// The same for the password text.
void GetPasswordText(ControlRef control, StringPtr outText);

// Handlers (0 handled, -9874 not handled).
OSStatus DialogControlEventHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus PasswordEventHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus PasswordPairEventHandler(EventHandlerCallRef call, EventRef event, void* userData);
