// The alert with a clickable link, and the link control's handlers.
#pragma once

#include "Events.h"
#include "MacTypes.h"
#include "SystemCalls.h"

OSType RunURLAlert(const char* message, const char* linkText, const char* buttonText, SInt16 iconID);
OSStatus LinkControlHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus LinkMouseHandler(EventHandlerCallRef call, EventRef event, void* control);
// The handler's draw: the title in blue, underlined and condensed, at
// (left, top + 16) on the erased bounds; the standard foreground colour and
// style 0 afterwards. The shell's events never carry a control, so only a
// direct call reaches it here.
void DrawLinkControl(ControlRef control);
