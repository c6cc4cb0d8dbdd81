#include "Atomics.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Four bytes in one aligned word, so every lane position can be tried while
// the other three show whether they were left alone.
struct alignas(4) Word {
  UInt8 bytes[4];
};

Word Filled() { return Word{{0xA1, 0xB2, 0xC3, 0xD4}}; }

TEST(AtomicBitTest, TestAndSetThenClear) {
  Word word = Filled();
  word.bytes[1] = 0;
  EXPECT_EQ(TestAndSetBit(&word.bytes[1], 3), 0);
  EXPECT_EQ(word.bytes[1], 0x08);
  EXPECT_EQ(TestAndSetBit(&word.bytes[1], 3), 1);
  EXPECT_EQ(TestByteBit(&word.bytes[1], 3), 1);
  EXPECT_EQ(TestAndClearBit(&word.bytes[1], 3), 1);
  EXPECT_EQ(TestAndClearBit(&word.bytes[1], 3), 0);
  EXPECT_EQ(word.bytes[1], 0);
  EXPECT_EQ(word.bytes[0], 0xA1);
  EXPECT_EQ(word.bytes[2], 0xC3);
  EXPECT_EQ(word.bytes[3], 0xD4);

  // A bit number outside the byte touches nothing.
  EXPECT_EQ(TestAndSetBit(&word.bytes[1], 8), 0);
  EXPECT_EQ(TestByteBit(&word.bytes[0], 9), 0);
  EXPECT_EQ(0, std::memcmp(word.bytes, "\xA1\x00\xC3\xD4", 4));
}

TEST(AtomicByteTest, AddAndCompareAndSwapWorkInEveryLane) {
  for (int lane = 0; lane < 4; ++lane) {
    SCOPED_TRACE(lane);
    Word word = Filled();
    Word expected = Filled();
    auto* target = reinterpret_cast<SInt8*>(&word.bytes[lane]);

    *target = 127;
    expected.bytes[lane] = 0x80;
    EXPECT_EQ(AtomicAdd8(1, target), -128);
    EXPECT_EQ(0, std::memcmp(word.bytes, expected.bytes, 4));

    EXPECT_EQ(AtomicStore8(5, 9, target), 0);  // holds -128, not 5
    EXPECT_EQ(0, std::memcmp(word.bytes, expected.bytes, 4));
    EXPECT_EQ(AtomicStore8(-128, 9, target), 1);
    expected.bytes[lane] = 9;
    EXPECT_EQ(0, std::memcmp(word.bytes, expected.bytes, 4));
  }
}

TEST(AtomicHalfWordTest, CompareAndSwapAndAddSkipTheStraddlingLane) {
  for (int offset = 0; offset < 4; ++offset) {
    SCOPED_TRACE(offset);
    Word word = Filled();
    Word expected = Filled();
    auto* target = reinterpret_cast<SInt16*>(&word.bytes[offset]);
    if (offset == 3) {
      EXPECT_EQ(CompareAndSwap16(static_cast<SInt16>(0xD4), 1, target), 0);
      EXPECT_EQ(AtomicAdd16(1, target), 0);
      EXPECT_EQ(0, std::memcmp(word.bytes, expected.bytes, 4));
      continue;
    }
    SInt16 held;
    std::memcpy(&held, &word.bytes[offset], 2);

    EXPECT_EQ(CompareAndSwap16(static_cast<SInt16>(held + 1), 0x7FFF, target), 0);
    EXPECT_EQ(0, std::memcmp(word.bytes, expected.bytes, 4));
    EXPECT_EQ(CompareAndSwap16(held, 0x7FFF, target), 1);
    EXPECT_EQ(AtomicAdd16(1, target), -32768);

    SInt16 now;
    std::memcpy(&now, &word.bytes[offset], 2);
    EXPECT_EQ(now, -32768);
    for (int i = 0; i < 4; ++i) {
      if (i != offset && i != offset + 1) {
        EXPECT_EQ(word.bytes[i], expected.bytes[i]) << "byte " << i;
      }
    }
  }
}

TEST(Atomic32Test, CompareAndSwapAndAdd) {
  SInt32 value = 10;
  EXPECT_EQ(CompareAndSwap32(11, 20, &value), 0);
  EXPECT_EQ(value, 10);
  EXPECT_EQ(CompareAndSwap32(10, 20, &value), 1);
  EXPECT_EQ(value, 20);
  EXPECT_EQ(AtomicAdd32(-25, &value), -5);
  value = 0x7FFFFFFF;
  EXPECT_EQ(AtomicAdd32(1, &value), static_cast<SInt32>(0x80000000u));
}

// A lone byte from the heap: its word reaches past the allocation, which the
// sanitizer must not count against the lane operations.
TEST(AtomicByteTest, LoneHeapByte) {
  auto byte = std::make_unique<SInt8>(127);
  EXPECT_EQ(AtomicAddByte(1, byte.get()), -128);
  EXPECT_EQ(AtomicCompareAndSwapByte(-128, 3, byte.get()), 1);
  EXPECT_EQ(*byte, 3);
}

TEST(AtomicLaneTest, ThreadsSharingOneWordLoseNoUpdate) {
  struct alignas(4) Lanes {
    SInt16 half;
    SInt8 added;
    SInt8 swapped;
  } lanes{0, 0, 0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&lanes] {
      for (int i = 0; i < 5000; ++i) {
        AtomicAddWord(1, &lanes.half);
        if (i < 25) {
          AtomicAddByte(1, &lanes.added);
          for (;;) {
            SInt8 seen = __atomic_load_n(&lanes.swapped, __ATOMIC_SEQ_CST);
            if (AtomicCompareAndSwapByte(seen, static_cast<SInt8>(seen + 1), &lanes.swapped)) break;
          }
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(lanes.half, 20000);
  EXPECT_EQ(lanes.added, 100);
  EXPECT_EQ(lanes.swapped, 100);
}

TEST(BitArrayTest, BitNIsBitNAnd7OfByteNShr3) {
  UInt8 array[3] = {0, 0x02, 0};
  EXPECT_EQ(TestBitInArray(array, 9), 1);
  EXPECT_EQ(TestBitInArray(array, 8), 0);
  EXPECT_EQ(TestBitInArray(array, 1), 0);

  SetBitInArray(array, 0);
  EXPECT_EQ(array[0], 0x01);
  SetBitInArray(array, 23);
  EXPECT_EQ(array[2], 0x80);
  ClearBitInArray(array, 9);
  EXPECT_EQ(array[1], 0x00);

  array[1] = 0xF0;
  WriteBitInArray(array, 8, 7);  // any non-zero value sets
  EXPECT_EQ(array[1], 0xF1);
  WriteBitInArray(array, 15, 0);
  EXPECT_EQ(array[1], 0x71);
}

TEST(GuardedAtomicTest, LockByteAndTheGuardedForms) {
  UInt8 lock = 0;
  EXPECT_EQ(TryAcquireLockByte(&lock), 1);
  EXPECT_EQ(lock & 1, 1);
  EXPECT_EQ(TryAcquireLockByte(&lock), 0);
  EXPECT_EQ(ClearLockByte(&lock), &lock);
  EXPECT_EQ(lock, 0);
  EXPECT_EQ(TryAcquireLockByte(&lock), 1);

  // Clearing the flag changes nothing: each form sets it again first.
  SetMultiprocessingAvailable(0);
  EXPECT_EQ(MultiprocessingAvailable(), 1);

  SInt8 byte = 127;
  EXPECT_EQ(AtomicAddByte(1, &byte), -128);
  UInt8 bits = 0;
  EXPECT_EQ(AtomicTestAndSetBit(&bits, 2), 0);
  EXPECT_EQ(AtomicTestBit(&bits, 2), 1);
  EXPECT_EQ(AtomicTestAndClearBit(&bits, 2), 1);
  EXPECT_EQ(bits, 0);

  SInt32 value = 1;
  EXPECT_EQ(AtomicCompareAndSwap(1, 2, &value), 1);
  EXPECT_EQ(AtomicCompareAndSwap32(1, 3, &value), 0);
  EXPECT_EQ(AtomicAddLong(5, &value), 7);

  alignas(4) SInt16 half[2] = {-1, 0};
  EXPECT_EQ(AtomicAddWord(1, &half[0]), 0);
  EXPECT_EQ(AtomicCompareAndSwap16(0, 4, &half[0]), 1);
  EXPECT_EQ(AtomicCompareAndSwap16(0, 5, &half[0]), 0);
  EXPECT_EQ(half[0], 4);
  EXPECT_EQ(half[1], 0);
}

}  // namespace
