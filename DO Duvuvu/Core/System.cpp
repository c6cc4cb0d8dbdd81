#include "System.h"

#include <cstring>

#include "Clocks.h"
#include "FixedResults.h"
#include "Memory.h"
#include "Sys.h"

namespace {

// Stands where Win32 keeps its current-process pseudo-handle.
constexpr UInt32 kCurrentProcessToken = 0xFFFFFFFF;

}  // namespace

void MoveBytes(const void* source, void* destination, SInt32 count) {
  if (count < 1) return;
  std::memmove(destination, source, static_cast<size_t>(count));
}

void ZeroBytes(UInt32, void* destination, SInt32 count) {
  if (count < 1) return;
  std::memset(destination, 0, static_cast<size_t>(count));
}

void SwapAlternateBytes(void* buffer, SInt32 length) {
  if (length == 0) length = GetPtrBlockSize(buffer);
  length &= ~1;
  if (length <= 2) return;
  auto* bytes = static_cast<UInt8*>(buffer);
  for (SInt32 front = 1, back = length - 2; front < back; front += 2, back -= 2) {
    UInt8 kept = bytes[front];
    bytes[front] = bytes[back];
    bytes[back] = kept;
  }
}

OSErr GetCurrentProcessSerial(ProcessSerialNumber* outSerial) {
  outSerial->high = 0;
  outSerial->low = kCurrentProcessToken;
  return 0;
}

OSErr GetFrontProcessSerial(ProcessSerialNumber* outSerial) { return GetCurrentProcessSerial(outSerial); }

OSErr SameProcessSerial(const ProcessSerialNumber* a, const ProcessSerialNumber* b, Boolean* outSame) {
  *outSame = a->high == 0 && b->high == 0 && a->low == b->low;
  return 0;
}

void ExitProgram() { ExitProcess(0); }

void SystemBeep() { Beep(); }

void DebugText(const char* text) {
  Str255 message;
  size_t length = std::strlen(text);
  if (length > 255) length = 255;
  message[0] = static_cast<UInt8>(length);
  std::memcpy(message + 1, text, length);
  ShowDebuggerMessage(message);
}

void DebugText() {
  DebugText("testing");
  DelayTicks(60);
}

Boolean AppleEventIdleCallback(const void* event, UInt32* outSleepTime, void*) {
  UInt16 kind;
  std::memcpy(&kind, event, sizeof kind);
  if (kind == 0) *outSleepTime = 0;
  return 0;
}
