#include "Memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "ResultCodes.h"
#include "TestSupport.h"

namespace {

// Each test gets a registry of its own, as the program's two are shared.
class MemoryRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(reg.PtrBlockCountForTesting(), 0u) << "a test left blocks registered";
    EXPECT_EQ(reg.HandleCountForTesting(), 0u);
  }

  Handle HandleWith(const char* bytes) {
    SInt32 size = static_cast<SInt32>(std::strlen(bytes));
    Handle h = reg.NewHandleBlock(size);
    std::memcpy(*h, bytes, static_cast<size_t>(size));
    return h;
  }

  MemoryRegistry reg;
};

TEST_F(MemoryRegistryTest, PointerBlockSizesAndCodes) {
  Ptr p = reg.NewPtrBlock(10);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(reg.GetMemoryError(), 0);
  EXPECT_EQ(reg.GetPtrBlockSize(p), 10);

  reg.SetPtrBlockSize(p, 11);  // growing is refused
  EXPECT_EQ(reg.GetMemoryError(), kErrBadHandle);
  EXPECT_EQ(reg.GetPtrBlockSize(p), 10);
  reg.SetPtrBlockSize(p, -1);
  EXPECT_EQ(reg.GetMemoryError(), kErrNegativeSize);
  EXPECT_EQ(reg.GetPtrBlockSize(p), 10);
  reg.SetPtrBlockSize(p, 4);
  EXPECT_EQ(reg.GetMemoryError(), 0);
  EXPECT_EQ(reg.GetPtrBlockSize(p), 4);

  reg.DisposePtrBlock(p);
  EXPECT_EQ(reg.GetMemoryError(), 0);
  reg.DisposePtrBlock(p);  // a second release would be a double free under ASan
  EXPECT_EQ(reg.GetMemoryError(), kErrBadHandle);
  EXPECT_EQ(reg.GetPtrBlockSize(p), kErrBadHandle);
  EXPECT_EQ(reg.GetMemoryError(), kErrBadHandle);
}

TEST_F(MemoryRegistryTest, RefusedSizesGiveNilAndOutOfMemory) {
  EXPECT_EQ(reg.NewPtrBlock(-1), nullptr);
  EXPECT_EQ(reg.GetMemoryError(), kErrMemFull);
  // Sizes are recorded as i32, so a larger request cannot be kept.
  EXPECT_EQ(reg.NewPtrBlockClear(0x80000000u), nullptr);
  EXPECT_EQ(reg.GetMemoryError(), kErrMemFull);
  reg.ClearMemoryError();
  EXPECT_EQ(reg.GetMemoryError(), 0);

  // The data block fails after the master pointer was made: no master left.
  EXPECT_EQ(reg.NewHandleBlock(-1), nullptr);
  EXPECT_EQ(reg.GetMemoryError(), kErrMemFull);
  EXPECT_EQ(reg.NewHandleBlockClear(-1), nullptr);
  EXPECT_EQ(reg.GetMemoryError(), kErrMemFull);
}

TEST_F(MemoryRegistryTest, ClearFormsAreZeroFilled) {
  // Dirty a block of the size first, so a reused block would show.
  Ptr dirty = reg.NewPtrBlock(256);
  std::memset(dirty, 0xA5, 256);
  reg.DisposePtrBlock(dirty);
  Ptr p = reg.NewPtrBlockClear(256);
  Handle h = reg.NewHandleBlockClear(256);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(h, nullptr);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(p[i], 0) << i;
    ASSERT_EQ((*h)[i], 0) << i;
  }
  reg.DisposePtrBlock(p);
  reg.DisposeHandleBlock(h);
}

TEST_F(MemoryRegistryTest, AppendKeepsOldBytesAndAddsNew) {
  Handle h = HandleWith("abcdef");
  EXPECT_EQ(reg.AppendToHandleBlock("0123456789", h, 10), 0);
  EXPECT_EQ(reg.GetMemoryError(), 0);
  EXPECT_EQ(reg.GetHandleBlockSize(h), 16);
  EXPECT_EQ(std::string(*h, 16), "abcdef0123456789");

  // A negative count changes nothing.
  Ptr before = *h;
  EXPECT_EQ(reg.AppendToHandleBlock("x", h, -1), kErrNegativeSize);
  EXPECT_EQ(reg.GetMemoryError(), kErrNegativeSize);
  EXPECT_EQ(*h, before);
  EXPECT_EQ(reg.GetHandleBlockSize(h), 16);
  reg.DisposeHandleBlock(h);
}

TEST_F(MemoryRegistryTest, LockedHandleRefusesResize) {
  Handle h = HandleWith("locked");
  reg.LockHandleBlock(h);
  reg.LockHandleBlock(h);
  reg.UnlockHandleBlock(h);
  EXPECT_EQ(reg.GetHandleBlockState(h), -128);

  Ptr data = *h;
  reg.SetHandleBlockSize(h, 100);
  EXPECT_EQ(reg.GetMemoryError(), kErrMemFull);
  EXPECT_EQ(*h, data);
  EXPECT_EQ(reg.GetHandleBlockSize(h), 6);
  EXPECT_EQ(reg.AppendToHandleBlock("more", h, 4), kErrMemFull);
  EXPECT_EQ(std::string(*h, 6), "locked");

  reg.UnlockHandleBlock(h);
  reg.UnlockHandleBlock(h);  // stays at 0
  EXPECT_EQ(reg.GetHandleBlockState(h), 0);
  reg.LockHandleBlock(h);
  EXPECT_EQ(reg.GetHandleBlockState(h), -128);  // one lock is enough again
  reg.SetHandleBlockState(h, 0);
  EXPECT_EQ(reg.GetHandleBlockState(h), 0);
  reg.SetHandleBlockSize(h, 100);
  EXPECT_EQ(reg.GetMemoryError(), 0);
  reg.DisposeHandleBlock(h);
}

TEST_F(MemoryRegistryTest, SetStateWithBit7KeepsHigherCount) {
  Handle h = reg.NewHandleBlock(4);
  for (int i = 0; i < 3; ++i) reg.LockHandleBlock(h);
  reg.SetHandleBlockState(h, -128);
  reg.UnlockHandleBlock(h);
  reg.UnlockHandleBlock(h);
  EXPECT_EQ(reg.GetHandleBlockState(h), -128) << "the count of 3 became 1";
  reg.UnlockHandleBlock(h);
  EXPECT_EQ(reg.GetHandleBlockState(h), 0);

  reg.SetHandleBlockState(h, static_cast<SInt8>(0x80));  // from 0: locked once
  EXPECT_EQ(reg.GetHandleBlockState(h), -128);
  reg.UnlockHandleBlock(h);
  EXPECT_EQ(reg.GetHandleBlockState(h), 0);
  reg.DisposeHandleBlock(h);
}

TEST_F(MemoryRegistryTest, MovingResizeUpdatesTheHandleMap) {
  Handle h = HandleWith("payload");
  Ptr old = *h;
  // Past the heap's mmap threshold, so the block cannot grow in place.
  reg.SetHandleBlockSize(h, 1 << 21);
  ASSERT_EQ(reg.GetMemoryError(), 0);
  ASSERT_NE(*h, old);
  EXPECT_EQ(std::string(*h, 7), "payload");
  EXPECT_EQ(reg.GetHandleBlockSize(h), 1 << 21);
  EXPECT_EQ(reg.GetPtrBlockSize(*h), 1 << 21);
  EXPECT_EQ(reg.GetPtrBlockSize(old), kErrBadHandle);

  EXPECT_EQ(reg.FindHandleOfBlock(*h), h);
  EXPECT_EQ(reg.GetMemoryError(), 0);
  EXPECT_EQ(reg.FindHandleOfBlock(old), nullptr);
  EXPECT_EQ(reg.GetMemoryError(), kErrNoHandleForBlock);

  // Size 0 takes a fresh block rather than realloc's release.
  reg.SetHandleBlockSize(h, 0);
  EXPECT_EQ(reg.GetMemoryError(), 0);
  ASSERT_NE(*h, nullptr);
  EXPECT_EQ(reg.GetHandleBlockSize(h), 0);
  EXPECT_EQ(reg.FindHandleOfBlock(*h), h);
  reg.DisposeHandleBlock(h);
}

TEST_F(MemoryRegistryTest, DuplicateStoresACopyThroughTheAddress) {
  Handle original = HandleWith("twin");
  Handle h = original;
  EXPECT_EQ(reg.DuplicateHandleBlock(&h), 0);
  ASSERT_NE(h, original);
  EXPECT_NE(*h, *original);
  EXPECT_EQ(reg.GetHandleBlockSize(h), 4);
  EXPECT_EQ(std::string(*h, 4), "twin");
  EXPECT_EQ(reg.GetHandleBlockSize(original), 4);
  reg.DisposeHandleBlock(h);
  reg.DisposeHandleBlock(original);

  Handle empty = reg.NewHandleBlock(0);
  Handle copy = empty;
  EXPECT_EQ(reg.DuplicateHandleBlock(&copy), kErrBadHandle);
  EXPECT_EQ(copy, empty);
  reg.DisposeHandleBlock(empty);
  EXPECT_EQ(reg.DuplicateHandleBlock(&copy), kErrBadHandle);  // now dead
  EXPECT_EQ(reg.DuplicateHandleBlock(nullptr), kErrBadHandle);
}

// Every handle routine must check the handle before reading its master
// pointer: after a dispose that pointer is freed memory.
TEST_F(MemoryRegistryTest, DeadOrForeignHandlesSetNotRegisteredAndTouchNothing) {
  struct Row {
    const char* routine;
    std::function<SInt32(MemoryRegistry&, Handle)> call;  // the result, when it has one
    SInt32 expected;
  };
  const char bytes[] = "abc";
  const std::vector<Row> rows = {
      {"DisposeHandleBlock", [](MemoryRegistry& r, Handle h) { r.DisposeHandleBlock(h); return -111; }, -111},
      {"GetHandleBlockSize", [](MemoryRegistry& r, Handle h) { return r.GetHandleBlockSize(h); }, -111},
      {"LockHandleBlock", [](MemoryRegistry& r, Handle h) { r.LockHandleBlock(h); return -111; }, -111},
      {"UnlockHandleBlock", [](MemoryRegistry& r, Handle h) { r.UnlockHandleBlock(h); return -111; }, -111},
      {"GetHandleBlockState", [](MemoryRegistry& r, Handle h) { return SInt32{r.GetHandleBlockState(h)}; }, -111},
      {"SetHandleBlockState",
       [](MemoryRegistry& r, Handle h) { r.SetHandleBlockState(h, -128); return -111; }, -111},
      {"SetHandleBlockSize", [](MemoryRegistry& r, Handle h) { r.SetHandleBlockSize(h, 64); return -111; }, -111},
      {"AppendToHandleBlock",
       [&bytes](MemoryRegistry& r, Handle h) { return SInt32{r.AppendToHandleBlock(bytes, h, 3)}; }, -111},
      {"DuplicateHandleBlock",
       [](MemoryRegistry& r, Handle h) { Handle copy = h; return SInt32{r.DuplicateHandleBlock(&copy)}; }, -111},
  };

  for (const Row& row : rows) {
    SCOPED_TRACE(row.routine);
    // A disposed handle.
    Handle dead = reg.NewHandleBlock(8);
    reg.DisposeHandleBlock(dead);
    reg.ClearMemoryError();
    EXPECT_EQ(row.call(reg, dead), row.expected);
    EXPECT_EQ(reg.GetMemoryError(), kErrBadHandle);

    // A plain pointer block whose first word happens to be a live handle's
    // data address: it must not be taken for that handle.
    Handle live = reg.NewHandleBlock(8);
    Ptr impostor = reg.NewPtrBlock(sizeof(Ptr));
    std::memcpy(impostor, live, sizeof(Ptr));
    EXPECT_EQ(row.call(reg, reinterpret_cast<Handle>(impostor)), row.expected);
    EXPECT_EQ(reg.GetMemoryError(), kErrBadHandle);
    EXPECT_EQ(reg.GetHandleBlockSize(live), 8) << "the live handle was changed";
    EXPECT_EQ(reg.GetHandleBlockState(live), 0);

    // Nil.
    EXPECT_EQ(row.call(reg, nullptr), row.expected);
    EXPECT_EQ(reg.GetMemoryError(), kErrBadHandle);

    reg.DisposePtrBlock(impostor);
    reg.DisposeHandleBlock(live);
  }
}

TEST_F(MemoryRegistryTest, DisposingADataBlockAloneKillsItsHandle) {
  Handle h = reg.NewHandleBlock(16);
  reg.DisposePtrBlock(*h);
  EXPECT_EQ(reg.GetMemoryError(), 0);
  EXPECT_EQ(reg.GetHandleBlockSize(h), kErrBadHandle);
  reg.DisposeHandleBlock(h);
  EXPECT_EQ(reg.GetMemoryError(), kErrBadHandle);
  reg.DisposePtrBlock(h);  // the master pointer is still a registered block
  EXPECT_EQ(reg.GetMemoryError(), 0);
}

TEST_F(MemoryRegistryTest, BlocksOfOneRegistryAreUnknownToAnother) {
  MemoryRegistry other;
  Ptr p = reg.NewPtrBlock(8);
  Handle h = reg.NewHandleBlock(8);
  other.DisposePtrBlock(p);
  EXPECT_EQ(other.GetMemoryError(), kErrBadHandle);
  other.DisposeHandleBlock(h);
  EXPECT_EQ(other.GetMemoryError(), kErrBadHandle);
  EXPECT_EQ(reg.GetMemoryError(), 0) << "each registry keeps its own last error";
  EXPECT_EQ(reg.GetPtrBlockSize(p), 8);
  EXPECT_EQ(reg.GetHandleBlockSize(h), 8);
  reg.DisposePtrBlock(p);
  reg.DisposeHandleBlock(h);
}

// The program's two registries, through their routine sets.
TEST(MemoryRoutinesTest, GeneralAndAudioRegistriesAreSeparate) {
  Ptr audio = NewPtrBlock_Audio(8);
  Ptr general = NewPtrBlock(8);
  DisposePtrBlock(audio);
  EXPECT_EQ(GetMemoryError(), kErrBadHandle);
  DisposePtrBlock_Audio(general);
  EXPECT_EQ(GetMemoryError_Audio(), kErrBadHandle);
  EXPECT_EQ(GetPtrBlockSize_Audio(audio), 8);
  EXPECT_EQ(GetPtrBlockSize(general), 8);
  DisposePtrBlock_Audio(audio);
  EXPECT_EQ(GetMemoryError_Audio(), 0);
  DisposePtrBlock(general);
  EXPECT_EQ(GetMemoryError(), 0);

  Handle h = NewHandleBlockClear_Audio(4);
  EXPECT_EQ(PreLockHandleBlock1_Audio(h), 4);
  EXPECT_EQ(PreLockHandleBlock2_Audio(h), 4);
  LockHandleBlock_Audio(h);
  EXPECT_EQ(GetHandleBlockState_Audio(h), -128);
  EXPECT_EQ(GetHandleBlockState(h), kErrBadHandle);
  UnlockHandleBlock_Audio(h);
  DisposeHandleBlock(h);
  EXPECT_EQ(GetMemoryError(), kErrBadHandle);
  DisposeHandleBlock_Audio(h);
  EXPECT_EQ(GetMemoryError_Audio(), 0);
}

// Operator new ---------------------------------------------------------------

TEST(OperatorNewTest, BlocksComeZeroFilled) {
  for (size_t size : {1u, 16u, 64u, 1000u, 100000u}) {
    SCOPED_TRACE(size);
    // Dirty memory of that size first, so a reused block would show.
    void* dirty = std::malloc(size);
    std::memset(dirty, 0xCD, size);
    std::free(dirty);
    char* block = new char[size];
    for (size_t i = 0; i < size; ++i) ASSERT_EQ(block[i], 0) << i;
    std::memset(block, 0xCD, size);
    delete[] block;
    auto* single = static_cast<unsigned char*>(::operator new(size));
    for (size_t i = 0; i < size; ++i) ASSERT_EQ(single[i], 0) << i;
    ::operator delete(single);
  }
}

TEST(OperatorNewTest, ZeroBytesStillGiveDistinctBlocks) {
  void* a = ::operator new(0);
  void* b = ::operator new[](0);
  void* c = ::operator new(0, std::nothrow);
  EXPECT_NE(a, nullptr);
  EXPECT_NE(b, nullptr);
  EXPECT_NE(c, nullptr);
  EXPECT_NE(a, b);
  ::operator delete(a);
  ::operator delete[](b);
  ::operator delete(c);
}

TEST(OperatorNewTest, OverAlignedBlocksAreAlignedAndZeroed) {
  struct alignas(128) Wide {
    unsigned char bytes[200];
  };
  Wide* w = new Wide[3];
  EXPECT_EQ(reinterpret_cast<uintptr_t>(w) % 128, 0u);
  for (int k = 0; k < 3; ++k) {
    for (unsigned char byte : w[k].bytes) ASSERT_EQ(byte, 0);
  }
  delete[] w;
}

TEST(OperatorNewTest, ExhaustedHeapIsFatalWithTheMemoryMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reports an impossible size itself";
#else
  testsupport::ChildResult child = testsupport::RunInChild([] {
    volatile size_t huge = SIZE_MAX / 2;
    void* block = ::operator new(huge, std::nothrow);
    std::printf("returned %p\n", block);
  });
  EXPECT_TRUE(child.exited);
  EXPECT_EQ(child.exitStatus, 1);
  EXPECT_EQ(child.stdoutText, "");
  EXPECT_EQ(child.stderrText,
            "Error: Sorry, a memory error has occured.  Please increase the application's \"Preferred size\" "
            "requirements, and try again.\n");
#endif
}

}  // namespace
