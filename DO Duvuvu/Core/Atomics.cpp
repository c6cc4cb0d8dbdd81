#include "Atomics.h"

#include <cstdint>
#include <optional>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "byte lanes assume little-endian words");

namespace {

UInt8 gMultiprocessingFlag = 0;

// Runs change(old lane value) on the `bytes`-wide lane at `address` inside its
// aligned 32-bit word; change answers the new lane value, or nothing to leave
// the word alone. Answers the lane's value before the change.
//
// The word may reach past a small object into bytes the allocator owns but
// the sanitizer poisons; they are only ever written back as they were read.
template <typename Change>
__attribute__((no_sanitize("address"))) UInt32 ChangeLane(void* address, unsigned bytes, Change change) {
  uintptr_t at = reinterpret_cast<uintptr_t>(address);
  auto* word = reinterpret_cast<UInt32*>(at & ~uintptr_t{3});
  unsigned shift = 8 * static_cast<unsigned>(at & 3);
  UInt32 laneMask = bytes == 1 ? 0xFFu : 0xFFFFu;
  UInt32 mask = laneMask << shift;
  UInt32 old = __atomic_load_n(word, __ATOMIC_SEQ_CST);
  for (;;) {
    UInt32 lane = (old & mask) >> shift;
    std::optional<UInt32> next = change(lane);
    if (!next) return lane;
    UInt32 desired = (old & ~mask) | ((*next & laneMask) << shift);
    if (__atomic_compare_exchange_n(word, &old, desired, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST)) return lane;
  }
}

bool SpansTwoWords(const void* address) { return (reinterpret_cast<uintptr_t>(address) & 3) == 3; }

}  // namespace

Boolean CompareAndSwap32(SInt32 expected, SInt32 newValue, SInt32* address) {
  return __atomic_compare_exchange_n(address, &expected, newValue, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
}

SInt32 AtomicAdd32(SInt32 delta, SInt32* address) {
  return __atomic_add_fetch(address, delta, __ATOMIC_SEQ_CST);
}

Boolean TestAndClearBit(UInt8* address, UInt32 n) {
  if (n > 7) return 0;
  UInt32 bit = 1u << n;
  UInt32 old = ChangeLane(address, 1, [bit](UInt32 lane) -> std::optional<UInt32> { return lane & ~bit; });
  return (old & bit) != 0;
}

Boolean TestAndSetBit(UInt8* address, UInt32 n) {
  if (n > 7) return 0;
  UInt32 bit = 1u << n;
  UInt32 old = ChangeLane(address, 1, [bit](UInt32 lane) -> std::optional<UInt32> { return lane | bit; });
  return (old & bit) != 0;
}

Boolean TestByteBit(const UInt8* address, UInt32 n) {
  if (n > 7) return 0;
  return (*address >> n) & 1;
}

SInt8 AtomicAdd8(SInt8 delta, SInt8* address) {
  UInt32 add = static_cast<UInt8>(delta);
  UInt32 old = ChangeLane(address, 1, [add](UInt32 lane) -> std::optional<UInt32> { return lane + add; });
  return static_cast<SInt8>(static_cast<UInt8>(old + add));
}

Boolean AtomicStore8(SInt8 expected, SInt8 newValue, SInt8* address) {
  UInt32 want = static_cast<UInt8>(expected);
  UInt32 next = static_cast<UInt8>(newValue);
  bool replaced = false;
  ChangeLane(address, 1, [&](UInt32 lane) -> std::optional<UInt32> {
    replaced = lane == want;
    if (!replaced) return std::nullopt;
    return next;
  });
  return replaced;
}

Boolean CompareAndSwap16(SInt16 expected, SInt16 newValue, SInt16* address) {
  if (SpansTwoWords(address)) return 0;
  UInt32 want = static_cast<UInt16>(expected);
  UInt32 next = static_cast<UInt16>(newValue);
  bool replaced = false;
  ChangeLane(address, 2, [&](UInt32 lane) -> std::optional<UInt32> {
    replaced = lane == want;
    if (!replaced) return std::nullopt;
    return next;
  });
  return replaced;
}

SInt16 AtomicAdd16(SInt16 delta, SInt16* address) {
  if (SpansTwoWords(address)) return 0;
  UInt32 add = static_cast<UInt16>(delta);
  UInt32 old = ChangeLane(address, 2, [add](UInt32 lane) -> std::optional<UInt32> { return lane + add; });
  return static_cast<SInt16>(static_cast<UInt16>(old + add));
}

Boolean TestBitInArray(const UInt8* array, UInt32 n) { return (array[n >> 3] >> (n & 7)) & 1; }

void SetBitInArray(UInt8* array, UInt32 n) { WriteBitInArray(array, n, 1); }

void ClearBitInArray(UInt8* array, UInt32 n) { WriteBitInArray(array, n, 0); }

void WriteBitInArray(UInt8* array, UInt32 n, UInt8 value) {
  UInt8 mask = static_cast<UInt8>(1u << (n & 7));
  if (value)
    array[n >> 3] |= mask;
  else
    array[n >> 3] &= static_cast<UInt8>(~mask);
}

Boolean MultiprocessingAvailable() {
  __atomic_store_n(&gMultiprocessingFlag, UInt8{1}, __ATOMIC_RELAXED);
  return 1;
}

void SetMultiprocessingAvailable(UInt8 available) {
  __atomic_store_n(&gMultiprocessingFlag, available, __ATOMIC_RELAXED);
}

// Each guarded form re-sets the flag before it looks, so the flag never
// changes which path runs.
Boolean AtomicTestAndSetBit(UInt8* address, UInt32 n) {
  MultiprocessingAvailable();
  return TestAndSetBit(address, n);
}

Boolean AtomicTestAndClearBit(UInt8* address, UInt32 n) {
  MultiprocessingAvailable();
  return TestAndClearBit(address, n);
}

Boolean AtomicTestBit(const UInt8* address, UInt32 n) {
  MultiprocessingAvailable();
  return TestByteBit(address, n);
}

Boolean AtomicCompareAndSwap(SInt32 expected, SInt32 newValue, SInt32* address) {
  MultiprocessingAvailable();
  return CompareAndSwap32(expected, newValue, address);
}

Boolean AtomicCompareAndSwap32(SInt32 expected, SInt32 newValue, SInt32* address) {
  MultiprocessingAvailable();
  return CompareAndSwap32(expected, newValue, address);
}

Boolean AtomicCompareAndSwap16(SInt16 expected, SInt16 newValue, SInt16* address) {
  MultiprocessingAvailable();
  return CompareAndSwap16(expected, newValue, address);
}

Boolean AtomicCompareAndSwapByte(SInt8 expected, SInt8 newValue, SInt8* address) {
  MultiprocessingAvailable();
  return AtomicStore8(expected, newValue, address);
}

SInt32 AtomicAddLong(SInt32 delta, SInt32* address) {
  MultiprocessingAvailable();
  return AtomicAdd32(delta, address);
}

SInt16 AtomicAddWord(SInt16 delta, SInt16* address) {
  MultiprocessingAvailable();
  return AtomicAdd16(delta, address);
}

SInt8 AtomicAddByte(SInt8 delta, SInt8* address) {
  MultiprocessingAvailable();
  return AtomicAdd8(delta, address);
}

UInt8* ClearLockByte(UInt8* address) {
  __atomic_store_n(address, UInt8{0}, __ATOMIC_SEQ_CST);
  return address;
}

Boolean TryAcquireLockByte(UInt8* address) { return AtomicTestAndSetBit(address, 0) ? 0 : 1; }
