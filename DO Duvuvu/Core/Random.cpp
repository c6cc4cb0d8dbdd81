#include "Random.h"

#include <cmath>

#include "Clocks.h"

UInt32 RandomSeed = 0;

UInt32 NextRandomFrom(UInt32* seed) {
  // The product wraps at 32 bits before the modulus.
  UInt32 product = *seed * 331691u;
  *seed = product % 199604759u + 65089u;
  return *seed;
}

UInt32 NextRandom(const char*, SInt32, const char*) { return NextRandomFrom(&RandomSeed); }

void SeedRandomFromClock() {
  UInt32 seconds = 0;
  GetDateTimeSeconds(&seconds);
  RandomSeed = seconds;
}

SInt32 RandomRange(SInt32 lo, SInt32 hi, const char*, SInt32, const char*) {
  if (hi == lo) return lo;
  UInt32 span = static_cast<UInt32>(hi) - static_cast<UInt32>(lo);
  return static_cast<SInt32>(static_cast<UInt32>(lo) + NextRandom() % span);
}

UInt8 IsPrime(UInt32 n) {
  if (n == 2) return 1;
  if (n < 2 || (n & 1) == 0) return 0;
  UInt32 limit = static_cast<UInt32>(std::floor(std::sqrt(static_cast<double>(n)) + 1.0));
  for (UInt32 d = 3; d <= limit; d += 2) {
    if (n % d == 0) return 0;
  }
  return 1;
}

UInt32 NextPrime(UInt32 n) {
  if (n < 3) return 2;
  if ((n & 1) == 0) ++n;
  while (!IsPrime(n)) n += 2;
  return n;
}
