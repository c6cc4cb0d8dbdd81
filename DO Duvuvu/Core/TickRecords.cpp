#include "TickRecords.h"

#include "Clocks.h"
#include "Sys.h"

namespace {

UInt32 gTickStart = 0;
UInt32 gTickTarget = 0;
UInt32 gCounterStart = 0;
UInt32 gCounterTarget = 0;

UInt32 Ticks() { return static_cast<UInt32>(GetTicks()); }

}  // namespace

UInt32 RecordTickCount() {
  gTickStart = Ticks();
  return gTickStart;
}

void DelaySinceTickRecord(SInt16 ticks) {
  gTickTarget = gTickStart + static_cast<UInt32>(static_cast<SInt32>(ticks));
  while (gTickStart < gTickTarget) {
    if (EventPumpHook pump = GetEventPumpHook()) pump();
    gTickStart = Ticks();
  }
}

UInt8 TicksNotElapsed(SInt16 n) { return Ticks() < gTickStart + static_cast<UInt32>(static_cast<SInt32>(n)) ? 1 : 0; }

SInt16 TicksSinceRecord() { return static_cast<SInt16>(Ticks() - gTickStart); }

UInt32 RecordCounter() {
  gCounterStart = MonotonicMilliseconds();
  return gCounterStart;
}

void DelaySinceCounterRecord(UInt32 n) {
  gCounterTarget = gCounterStart + n;
  UInt32 now = MonotonicMilliseconds();
  while (now < gCounterTarget) now = MonotonicMilliseconds();
  gCounterStart = now;
}

UInt32 CounterSinceRecord() { return MonotonicMilliseconds() - gCounterStart; }
