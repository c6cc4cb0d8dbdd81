// Control data through four-char tags: selections, icons, text placement,
// fonts and text views, with a fatal message per failing call; small alerts
// and filters of the dialog layer.
#pragma once

#include "Events.h"
#include "MacTypes.h"
#include "SystemCalls.h"

struct URLObject;

// The 'cont' record: a content type and its resource number or object.
struct ControlContent {
  SInt16 contentType;  // 1 icon suite, 2 colour icon, 3 picture, 129 icon-suite handle, 132 icon reference
  SInt16 resourceID;
  void* object;
};

OSErr SetControlSelection(ControlRef control, SInt16 start, SInt16 end);
SInt32 GetControlInteger(ControlRef control);
void SetIconControlContent(ControlRef control, void* icon);
void SetIconAlignment(ControlRef control, SInt16 alignment);
void SetIconOffset(ControlRef control, SInt16 h, SInt16 v);
void SetTextAlignment(ControlRef control, SInt16 value);
void SetTextPlacement(ControlRef control, SInt16 value);
void SetTextOffset(ControlRef control, SInt16 value);
void SetControlCIcon(ControlRef control, SInt16 resourceID);
void SetControlIconSuite(ControlRef control, SInt16 resourceID);
OSErr SetControlPictureRes(ControlRef control, SInt16 resourceID);
OSErr SetControlContentRecord(ControlRef control, const ControlContent* content);
void SetBevelButton_ics8(ControlRef control, SInt16 resourceID);
void SetBevelButton_icns(ControlRef control, SInt16 resourceID);
void SetControlFont(ControlRef control);
// No control: the value back, nothing done.
SInt16 SetControlFontColor(ControlRef control, SInt16 value);
SInt16 SetControlFontSize(ControlRef control, SInt16 value);
SInt16 SetControlFontJustification(ControlRef control, SInt16 value);
SInt16 SetControlFontFace(ControlRef control, SInt16 value);
OSErr SetControlDragTracking(ControlRef control, UInt8 flag);
OSErr GetListBoxHandle(ControlRef control, void** outHandle);
// A pop-up menu control (definition 1008) for menu menuID in the dialog's
// window, titled with the menu's own title when the given one is empty; at
// {0, 0, 0, 0} until the caller places it.
ControlRef NewPopupMenuControl(WindowRef dialog, SInt16 menuID, SInt32 reference, SInt16 maximum,
                               ConstStr255Param title);
// Appends "<figure>.<digit> K" or " M".
void FormatByteSize(UInt32 count, StringPtr ioText);

void SetTextViewText(ControlRef control, const char* text, SInt32 length, UInt8 keepReadOnly);
void SetTextViewPString(ControlRef control, ConstStr255Param text);
void SetTextViewJustification(ControlRef control, SInt16 justification, UInt8 keepReadOnly);
OSStatus InstallDialogControlHandler(WindowRef window);
OSStatus PushButtonQuitHandler(EventHandlerCallRef call, EventRef event, void* userData);

Boolean RunDialogFilter(void* dialog, EventRec* event, SInt16* outItem);
SInt32 AlertWithNumbers(SInt32 first, SInt32 number, UInt8 flag);
SInt32 AlertWithNumbers(ConstStr255Param message, SInt32 number, UInt8 flag);
SInt32 AlertWithNumbers(const char* message, SInt32 number, UInt8 flag);
// The URL's path from its 51st character on; a shorter path shows nothing.
void ShowURLPathAlert(const URLObject* url);
