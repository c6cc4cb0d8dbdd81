// Threads and the engine's locks: recursive critical regions.
#pragma once

#include "MacTypes.h"

// A heap-held recursive lock, made and freed only through the routines below.
struct CriticalRegionRecord;
typedef CriticalRegionRecord* CriticalRegion;

typedef UInt32 (*ThreadTaskRoutine)(void* argument);

// Starts a detached thread running routine(argument); a stack size of 0 takes
// the system's default. The four words are accepted and ignored. The new
// thread's ID goes to outThreadID when given. Returns 0.
OSErr CreateThreadTask(ThreadTaskRoutine routine, void* argument, UInt32 stackSize, UInt32 unused1,
                       UInt32 unused2, UInt32 unused3, UInt32 unused4, UInt32* outThreadID);
UInt32 GetCurrentThreadID();

OSErr CreateCriticalRegion(CriticalRegion* outRegion);
OSErr DeleteCriticalRegion(CriticalRegion region);
OSErr EnterCriticalRegion(CriticalRegion region);
OSErr ExitCriticalRegion(CriticalRegion region);

// How many times the region has been entered since it was made (tests only).
UInt64 CriticalRegionEntriesForTesting(CriticalRegion region);
