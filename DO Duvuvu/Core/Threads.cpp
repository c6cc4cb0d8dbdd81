#include "Threads.h"

#include <pthread.h>

#include <atomic>
#include <climits>
#include <future>
#include <mutex>

#include "Sys.h"

struct CriticalRegionRecord {
  std::recursive_mutex mutex;
  std::atomic<UInt64> entries{0};
};

namespace {

struct ThreadStart {
  ThreadTaskRoutine routine;
  void* argument;
  std::promise<UInt32> threadID;
};

void* RunThreadTask(void* raw) {
  auto* start = static_cast<ThreadStart*>(raw);
  ThreadTaskRoutine routine = start->routine;
  void* argument = start->argument;
  start->threadID.set_value(CurrentThreadId());
  delete start;
  routine(argument);
  return nullptr;
}

}  // namespace

OSErr CreateThreadTask(ThreadTaskRoutine routine, void* argument, UInt32 stackSize, UInt32, UInt32, UInt32,
                       UInt32, UInt32* outThreadID) {
  auto* start = new ThreadStart{routine, argument, {}};
  std::future<UInt32> threadID = start->threadID.get_future();

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  if (stackSize > 0) {
    // pthreads refuses stacks below its minimum; round up rather than fail.
    size_t size = stackSize < PTHREAD_STACK_MIN ? static_cast<size_t>(PTHREAD_STACK_MIN) : stackSize;
    pthread_attr_setstacksize(&attributes, size);
  }
  pthread_t thread;
  int failed = pthread_create(&thread, &attributes, RunThreadTask, start);
  pthread_attr_destroy(&attributes);
  if (failed) {
    delete start;
    if (outThreadID) *outThreadID = 0;
    return 0;
  }
  UInt32 id = threadID.get();
  if (outThreadID) *outThreadID = id;
  return 0;
}

UInt32 GetCurrentThreadID() { return CurrentThreadId(); }

OSErr CreateCriticalRegion(CriticalRegion* outRegion) {
  *outRegion = new CriticalRegionRecord;
  return 0;
}

OSErr DeleteCriticalRegion(CriticalRegion region) {
  delete region;
  return 0;
}

OSErr EnterCriticalRegion(CriticalRegion region) {
  region->mutex.lock();
  region->entries.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

OSErr ExitCriticalRegion(CriticalRegion region) {
  region->mutex.unlock();
  return 0;
}

UInt64 CriticalRegionEntriesForTesting(CriticalRegion region) {
  return region->entries.load(std::memory_order_relaxed);
}
