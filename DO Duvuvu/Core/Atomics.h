// Full-barrier atomic operations, bit tests and bit arrays.
//
// The 8- and 16-bit operations work on the aligned 32-bit word that holds
// their target, by a compare-and-swap loop; the other bytes of that word are
// written back unchanged.
#pragma once

#include "MacTypes.h"

// 1 when *address held `expected` and now holds `newValue`, else 0.
Boolean CompareAndSwap32(SInt32 expected, SInt32 newValue, SInt32* address);
// Adds and answers the new value (wrapping).
SInt32 AtomicAdd32(SInt32 delta, SInt32* address);

// Bit n (0 = least significant) of the byte at the address; answer 1 when it
// was set before. A bit number above 7 touches nothing and answers 0.
Boolean TestAndClearBit(UInt8* address, UInt32 n);
Boolean TestAndSetBit(UInt8* address, UInt32 n);
// (byte >> n) & 1; 0 for n above 7.
Boolean TestByteBit(const UInt8* address, UInt32 n);

// Adds to the byte and answers its new value (wrapping).
SInt8 AtomicAdd8(SInt8 delta, SInt8* address);
// 8-bit compare-and-swap: 1 when the byte held `expected` and now holds
// `newValue`.
Boolean AtomicStore8(SInt8 expected, SInt8 newValue, SInt8* address);
// 16-bit compare-and-swap and add; a half-word at an address 3 mod 4 spans two
// words and is refused (0, nothing changed).
Boolean CompareAndSwap16(SInt16 expected, SInt16 newValue, SInt16* address);
SInt16 AtomicAdd16(SInt16 delta, SInt16* address);

// Bit arrays: bit n is bit (n & 7) of byte n >> 3. Not atomic.
Boolean TestBitInArray(const UInt8* array, UInt32 n);
void SetBitInArray(UInt8* array, UInt32 n);
void ClearBitInArray(UInt8* array, UInt32 n);
// Bit n becomes 1 when value is non-zero, else 0.
void WriteBitInArray(UInt8* array, UInt32 n, UInt8 value);

// The guarded forms: each first asks MultiprocessingAvailable (always 1 here).
Boolean MultiprocessingAvailable();
void SetMultiprocessingAvailable(UInt8 available);

Boolean AtomicTestAndSetBit(UInt8* address, UInt32 n);
Boolean AtomicTestAndClearBit(UInt8* address, UInt32 n);
Boolean AtomicTestBit(const UInt8* address, UInt32 n);
Boolean AtomicCompareAndSwap(SInt32 expected, SInt32 newValue, SInt32* address);
Boolean AtomicCompareAndSwap32(SInt32 expected, SInt32 newValue, SInt32* address);
Boolean AtomicCompareAndSwap16(SInt16 expected, SInt16 newValue, SInt16* address);
Boolean AtomicCompareAndSwapByte(SInt8 expected, SInt8 newValue, SInt8* address);
SInt32 AtomicAddLong(SInt32 delta, SInt32* address);
SInt16 AtomicAddWord(SInt16 delta, SInt16* address);
SInt8 AtomicAddByte(SInt8 delta, SInt8* address);

// A one-byte spin lock: bit 0 set while held.
UInt8* ClearLockByte(UInt8* address);
// 1 when the lock was free and is now taken, else 0.
Boolean TryAcquireLockByte(UInt8* address);
