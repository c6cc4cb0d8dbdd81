// The engine's portable system layer: process identity, byte moves, the
// pending request slot and the Apple-event idle callback. Threads, atomics and
// text conversion come with it.
#pragma once

#include "Atomics.h"
#include "MacTypes.h"
#include "TextConversion.h"
#include "Threads.h"

// Byte moves ------------------------------------------------------------------

// Overlap-safe; a count below 1 does nothing.
void MoveBytes(const void* source, void* destination, SInt32 count);
// The first word is accepted and ignored; a count below 1 does nothing.
void ZeroBytes(UInt32 unused, void* destination, SInt32 count);
// Length 0 takes the pointer block's recorded size. The length is rounded
// down to even; then byte 1 swaps with length - 2, 3 with length - 4, and so
// on while the front lies below the back.
void SwapAlternateBytes(void* buffer, SInt32 length);

// Process identity ------------------------------------------------------------

struct ProcessSerialNumber {
  UInt32 high;
  UInt32 low;
};

// The current process is {0, the current-process token}; the front process is
// always the current one here.
OSErr GetCurrentProcessSerial(ProcessSerialNumber* outSerial);
OSErr GetFrontProcessSerial(ProcessSerialNumber* outSerial);
// *outSame is 1 when both high words are 0 and the low words are equal.
OSErr SameProcessSerial(const ProcessSerialNumber* a, const ProcessSerialNumber* b, Boolean* outSame);

// Ends the process with status 0 (exit handlers run).
[[noreturn]] void ExitProgram();
void SystemBeep();
// Hands the text to the debugger's message routine (silent here).
void DebugText(const char* text);
// Sends "testing", then waits 60 ticks.
void DebugText();

// Pending request slot --------------------------------------------------------

// Stores the request when the slot is empty (the text goes through the 31-
// character copy); an empty text leaves the slot empty. A full slot keeps its
// request.
void PostPendingRequest(UInt32 number, ConstStr255Param text, UInt32 secondNumber);
// 0 when the slot is empty; else copies the request out, empties the slot and
// answers 1.
Boolean TakePendingRequest(UInt32* outNumber, StringPtr outText, UInt32* outSecondNumber);

// Apple-event idle callback ---------------------------------------------------

// `event` is a classic event record, whose first field is its 16-bit kind.
// A null event (kind 0) sets the sleep time to 0. Answers 0: not handled.
Boolean AppleEventIdleCallback(const void* event, UInt32* outSleepTime, void* mouseRegion);
