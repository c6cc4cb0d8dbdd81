// Periodic callbacks run on the main thread from inside the event pump.
#pragma once

#include <cstdint>

#include "MacTypes.h"

struct TimerTask;
typedef SInt32 (*TimerTaskProcPtr)(TimerTask* task);

// Owned by the caller.
struct TimerTask {
  TimerTaskProcPtr callback;
  UInt32 interval;  // milliseconds
  uintptr_t userValue;
  UInt32 timerId;  // 0 while stopped
};

// Stops the task if it runs, clears it and installs the callback; 1.
SInt32 StartTimerTask(TimerTask* task, TimerTaskProcPtr callback, UInt32 interval, uintptr_t userValue);
// Replaces the running timer (a new id) when the callback is not nil; 1.
SInt32 InstallTimerTask(TimerTask* task, TimerTaskProcPtr callback, UInt32 interval, uintptr_t userValue);
void StopTimerTask(TimerTask* task);
TimerTaskProcPtr GetTimerTaskCallback(const TimerTask* task);
UInt32 GetTimerTaskInterval(const TimerTask* task);
uintptr_t GetTimerTaskUserValue(const TimerTask* task);
// The platform timer's procedure: runs the task its id names, if any.
void TimerTaskProc(uint32_t timerId, void* context);
