// The alert with a clickable link, and the link control's handlers.
#pragma once

#include "Events.h"
#include "MacTypes.h"

OSType RunURLAlert(const char* message, const char* linkText, const char* buttonText, SInt16 iconID);
OSStatus LinkControlHandler(EventHandlerCallRef call, EventRef event, void* userData);
OSStatus LinkMouseHandler(EventHandlerCallRef call, EventRef event, void* control);
