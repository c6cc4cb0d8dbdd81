// Fatal errors and alerts: the two ways the engine tells the user of a failure.
#pragma once

#include "MacTypes.h"

// Shows "Error: " + message with the location as caption, then ends the
// program with status 1. The two flags are accepted and select nothing.
[[noreturn]] void FatalError(const char* message, const char* location, UInt8 flag1 = 0, UInt8 flag2 = 0);
[[noreturn]] void FatalErrorP(ConstStr255Param message, ConstStr255Param location, UInt8 flag1 = 0, UInt8 flag2 = 0);
// The caption is the code in decimal.
[[noreturn]] void FatalErrorNum(const char* message, SInt16 code, UInt8 flag1 = 0, UInt8 flag2 = 0);
[[noreturn]] void FatalErrorNumP(ConstStr255Param message, SInt16 code, UInt8 flag1 = 0, UInt8 flag2 = 0);

// Shows "Alert: " + message and returns 1 (the box's only button, OK).
SInt32 AlertMessage(const char* message, const char* location, const char* button = "OK");
SInt32 AlertMessageP(ConstStr255Param message, ConstStr255Param location, const char* button = "OK");
