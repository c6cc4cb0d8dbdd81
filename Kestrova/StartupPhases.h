// Elapsed time at each step of the program's start-up, held in memory until
// the trace file can take it (the trace opens part-way through start-up).
#pragma once

#include <cstdint>
#include <cstdio>

// Records a step by name (a string that outlives the record); the first mark
// is time zero. Marks after the table is full, or after it was written, are
// dropped.
void MarkStartupPhase(const char* name);
// Writes one line per mark, in order: "phase=<n> ms=<since the first mark>
// clock=<steady clock, ns> name=<name>"; then stops recording. Once only.
void WriteStartupPhases(std::FILE* file);
// The steady clock in nanoseconds, the same clock the clock= field uses.
int64_t StartupPhaseClock();
void ResetStartupPhasesForTesting();
