#include "TimerTasks.h"

#include <map>

#include "Backend.h"

namespace {

// Timer id -> task; made on the first start and kept for the run.
std::map<UInt32, TimerTask*>* gTimerMap = nullptr;

std::map<UInt32, TimerTask*>& TimerMap() {
  if (!gTimerMap) gTimerMap = new std::map<UInt32, TimerTask*>();
  return *gTimerMap;
}

void KillRunningTimer(TimerTask* task) {
  if (task->timerId == 0) return;
  GetBackend().KillTimer(task->timerId);
  TimerMap().erase(task->timerId);
  task->timerId = 0;
}

}  // namespace

SInt32 StartTimerTask(TimerTask* task, TimerTaskProcPtr callback, UInt32 interval, uintptr_t userValue) {
  // Stop a running timer before the record is cleared, or it would run on
  // with its map entry and the new callback would run from two timers.
  KillRunningTimer(task);
  *task = TimerTask{};
  TimerMap();
  return InstallTimerTask(task, callback, interval, userValue);
}

SInt32 InstallTimerTask(TimerTask* task, TimerTaskProcPtr callback, UInt32 interval, uintptr_t userValue) {
  KillRunningTimer(task);
  task->callback = callback;
  task->interval = interval;
  task->userValue = userValue;
  if (callback) {
    const UInt32 id = GetBackend().SetTimer(interval, TimerTaskProc, nullptr);
    if (id != 0) {
      TimerMap()[id] = task;
      task->timerId = id;
    }
  }
  return 1;
}

void StopTimerTask(TimerTask* task) { InstallTimerTask(task, nullptr, 0, 0); }

TimerTaskProcPtr GetTimerTaskCallback(const TimerTask* task) { return task->callback; }
UInt32 GetTimerTaskInterval(const TimerTask* task) { return task->interval; }
uintptr_t GetTimerTaskUserValue(const TimerTask* task) { return task->userValue; }

void TimerTaskProc(uint32_t timerId, void*) {
  // Looked up right before the call: an earlier procedure may have stopped it.
  if (!gTimerMap) return;
  auto it = gTimerMap->find(timerId);
  if (it == gTimerMap->end()) return;
  TimerTask* task = it->second;
  if (task && task->callback) task->callback(task);
}
