// Paced waits: a tick record (sixtieths of a second) and a counter record over
// the millisecond clock.
#pragma once

#include "MacTypes.h"

// start = GetTicks; returns it.
UInt32 RecordTickCount();
// Waits until start + ticks, pumping events; the start becomes the first tick
// count read that reached the target.
void DelaySinceTickRecord(SInt16 ticks);
UInt8 TicksNotElapsed(SInt16 n);
SInt16 TicksSinceRecord();

UInt32 RecordCounter();
// A busy wait without pumping; the start becomes the value that ended it.
void DelaySinceCounterRecord(UInt32 n);
UInt32 CounterSinceRecord();
