// The engine's one seeded random generator and the prime sizes of hash tables.
#pragma once

#include "MacTypes.h"

// The generator's whole state; a replay restores it to replay a game.
extern UInt32 RandomSeed;

// Advances RandomSeed and returns it. The location arguments are kept for
// callers that pass them; they change nothing.
UInt32 NextRandom(const char* file = nullptr, SInt32 line = 0, const char* routine = nullptr);
// The same step on the caller's own seed.
UInt32 NextRandomFrom(UInt32* seed);
// Seeds from the local calendar time (seconds since 1904).
void SeedRandomFromClock();
// lo up to hi - 1 (unsigned remainder); lo, with no draw, when hi equals lo.
SInt32 RandomRange(SInt32 lo, SInt32 hi, const char* file = nullptr, SInt32 line = 0,
                   const char* routine = nullptr);

UInt8 IsPrime(UInt32 n);
// The smallest prime at or above n (2 below 3).
UInt32 NextPrime(UInt32 n);
