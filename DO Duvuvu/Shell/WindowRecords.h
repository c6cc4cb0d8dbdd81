// Shell-internal window bookkeeping shared by the window and event files.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "Events.h"
#include "Windows.h"

struct WindowRecord {
  uintptr_t reference = 0;
  // (class << 32 | kind) -> {handler, user data}
  std::map<UInt64, std::pair<EventHandlerProcPtr, void*>> handlers;
};

WindowRecord* FindWindowRecord(WindowRef window);
// Display 0 as {0, 0, height, width}.
void GetMainScreenRect(Rect* outRect);
void ForgetWindowManagerPort();
void ResetTaskbarForTesting();
// The window procedure's part of a receive: close, maximise and restore.
struct NativeEvent;
void DispatchWindowMessage(const NativeEvent& message);
// The posted message a close request becomes.
constexpr UInt32 kWindowCloseMessageID = 16;
