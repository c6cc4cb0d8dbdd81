#include "Memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "ResultCodes.h"

namespace {

// Sizes are recorded as i32.
constexpr UInt64 kLargestBlock = 0x7FFFFFFF;

}  // namespace

Ptr MemoryRegistry::Register(void* block, SInt32 size, BlockKind kind) {
  if (!block || !ptrBlocks_.Insert(block, BlockInfo{size, kind})) {
    std::free(block);
    lastError_ = kErrMemFull;
    return nullptr;
  }
  lastError_ = 0;
  return static_cast<Ptr>(block);
}

Ptr MemoryRegistry::NewPtrBlock(SInt32 size) {
  if (size < 0) {
    lastError_ = kErrMemFull;
    return nullptr;
  }
  return Register(std::malloc(static_cast<size_t>(size)), size, kPlainBlock);
}

Ptr MemoryRegistry::NewPtrBlockClear(UInt32 size) {
  if (size > kLargestBlock) {
    lastError_ = kErrMemFull;
    return nullptr;
  }
  return Register(std::calloc(size, 1), static_cast<SInt32>(size), kPlainBlock);
}

void MemoryRegistry::DisposePtrBlock(void* block) {
  BlockInfo* info = ptrBlocks_.Find(block);
  if (!info) {
    lastError_ = kErrBadHandle;
    return;
  }
  // A data block released on its own takes its handle entry along, so no
  // entry is ever keyed by freed memory.
  if (info->kind == kHandleData) handles_.Erase(block);
  ptrBlocks_.Erase(block);
  std::free(block);
  lastError_ = 0;
}

SInt32 MemoryRegistry::GetPtrBlockSize(const void* block) {
  BlockInfo* info = ptrBlocks_.Find(block);
  if (!info) {
    lastError_ = kErrBadHandle;
    return kErrBadHandle;
  }
  lastError_ = 0;
  return info->size;
}

void MemoryRegistry::SetPtrBlockSize(void* block, SInt32 size) {
  if (size < 0) {
    lastError_ = kErrNegativeSize;
    return;
  }
  BlockInfo* info = ptrBlocks_.Find(block);
  if (!info || size > info->size) {
    lastError_ = kErrBadHandle;
    return;
  }
  info->size = size;
  lastError_ = 0;
}

Handle MemoryRegistry::MakeHandle(SInt32 size, bool clear) {
  Ptr master = Register(std::malloc(sizeof(Ptr)), sizeof(Ptr), kMasterPointer);
  if (!master) return nullptr;
  Handle handle = reinterpret_cast<Handle>(master);
  void* data = nullptr;
  if (size >= 0) data = clear ? std::calloc(static_cast<size_t>(size), 1) : std::malloc(static_cast<size_t>(size));
  *handle = Register(data, size, kHandleData);
  if (!*handle || !handles_.Insert(*handle, HandleEntry{handle, 0})) {
    if (*handle) DisposePtrBlock(*handle);
    DisposePtrBlock(master);
    lastError_ = kErrMemFull;
    return nullptr;
  }
  lastError_ = 0;
  return handle;
}

Handle MemoryRegistry::NewHandleBlock(SInt32 size) { return MakeHandle(size, false); }

Handle MemoryRegistry::NewHandleBlockClear(SInt32 size) { return MakeHandle(size, true); }

MemoryRegistry::HandleEntry* MemoryRegistry::LiveHandle(Handle handle) {
  BlockInfo* master = ptrBlocks_.Find(handle);
  if (master && master->kind == kMasterPointer) {
    // Safe to read now: the address is a live master-pointer block.
    Ptr data = *handle;
    BlockInfo* info = ptrBlocks_.Find(data);
    HandleEntry* entry = handles_.Find(data);
    if (info && info->kind == kHandleData && entry && entry->handle == handle) return entry;
  }
  lastError_ = kErrBadHandle;
  return nullptr;
}

void MemoryRegistry::DisposeHandleBlock(Handle handle) {
  if (!LiveHandle(handle)) return;
  DisposePtrBlock(*handle);
  DisposePtrBlock(handle);
}

SInt32 MemoryRegistry::GetHandleBlockSize(Handle handle) {
  if (!LiveHandle(handle)) return kErrBadHandle;
  return GetPtrBlockSize(*handle);
}

void MemoryRegistry::LockHandleBlock(Handle handle) {
  HandleEntry* entry = LiveHandle(handle);
  if (!entry) return;
  ++entry->lockCount;
  lastError_ = 0;
}

void MemoryRegistry::UnlockHandleBlock(Handle handle) {
  HandleEntry* entry = LiveHandle(handle);
  if (!entry) return;
  if (entry->lockCount > 0) --entry->lockCount;
  lastError_ = 0;
}

SInt8 MemoryRegistry::GetHandleBlockState(Handle handle) {
  HandleEntry* entry = LiveHandle(handle);
  if (!entry) return kErrBadHandle;
  lastError_ = 0;
  return entry->lockCount != 0 ? -128 : 0;
}

void MemoryRegistry::SetHandleBlockState(Handle handle, SInt8 state) {
  HandleEntry* entry = LiveHandle(handle);
  if (!entry) return;
  if (static_cast<UInt8>(state) & 0x80) {
    if (entry->lockCount == 0) entry->lockCount = 1;
  } else {
    entry->lockCount = 0;
  }
  lastError_ = 0;
}

void MemoryRegistry::SetHandleBlockSize(Handle handle, UInt32 size) {
  HandleEntry* entry = LiveHandle(handle);
  if (!entry) return;
  if (entry->lockCount != 0 || size > kLargestBlock) {
    lastError_ = kErrMemFull;
    return;
  }
  Ptr oldBlock = *handle;
  // realloc to 0 would release the block, so size 0 takes a fresh one.
  void* newBlock = size == 0 ? std::malloc(0) : std::realloc(oldBlock, size);
  if (!newBlock) {
    lastError_ = kErrMemFull;
    return;
  }
  if (size == 0) std::free(oldBlock);
  HandleEntry kept = *entry;
  // Erasing first means the inserts reuse room already there and cannot fail.
  handles_.Erase(oldBlock);
  ptrBlocks_.Erase(oldBlock);
  handles_.Insert(newBlock, kept);
  ptrBlocks_.Insert(newBlock, BlockInfo{static_cast<SInt32>(size), kHandleData});
  *handle = static_cast<Ptr>(newBlock);
  lastError_ = 0;
}

OSErr MemoryRegistry::AppendToHandleBlock(const void* source, Handle handle, SInt32 count) {
  if (count < 0) {
    lastError_ = kErrNegativeSize;
    return kErrNegativeSize;
  }
  SInt32 oldSize = GetHandleBlockSize(handle);
  if (oldSize < 0) {
    lastError_ = kErrBadHandle;
    return kErrBadHandle;
  }
  UInt64 newSize = static_cast<UInt64>(oldSize) + static_cast<UInt64>(count);
  if (newSize <= kLargestBlock) SetHandleBlockSize(handle, static_cast<UInt32>(newSize));
  if (newSize > kLargestBlock || lastError_ != 0) {
    lastError_ = kErrMemFull;
    return kErrMemFull;
  }
  if (count > 0) std::memcpy(*handle + oldSize, source, static_cast<size_t>(count));
  lastError_ = 0;
  return 0;
}

Handle MemoryRegistry::FindHandleOfBlock(const void* block) {
  HandleEntry* entry = handles_.Find(block);
  if (!entry) {
    lastError_ = kErrNoHandleForBlock;
    return nullptr;
  }
  lastError_ = 0;
  return entry->handle;
}

OSErr MemoryRegistry::DuplicateHandleBlock(Handle* handle) {
  if (!handle || !LiveHandle(*handle)) {
    lastError_ = kErrBadHandle;
    return kErrBadHandle;
  }
  SInt32 size = GetHandleBlockSize(*handle);
  if (size == 0) {
    lastError_ = kErrBadHandle;
    return kErrBadHandle;
  }
  Handle copy = NewHandleBlock(size);
  if (!copy) {
    lastError_ = kErrMemFull;
    return kErrMemFull;
  }
  std::memcpy(*copy, **handle, static_cast<size_t>(size));
  *handle = copy;
  lastError_ = 0;
  return 0;
}

// The two registries live in static storage and are never destroyed, so no
// static constructor or destructor runs and no allocation is needed to make
// them.
MemoryRegistry& GeneralMemoryRegistry() {
  alignas(MemoryRegistry) static unsigned char storage[sizeof(MemoryRegistry)];
  static MemoryRegistry* registry = ::new (static_cast<void*>(storage)) MemoryRegistry();
  return *registry;
}

MemoryRegistry& AudioMemoryRegistry() {
  alignas(MemoryRegistry) static unsigned char storage[sizeof(MemoryRegistry)];
  static MemoryRegistry* registry = ::new (static_cast<void*>(storage)) MemoryRegistry();
  return *registry;
}

void InitMemoryZone() {}

void InitMemoryRegistries(SInt32 phase, SInt32 priority) {
  if (phase == 1 && priority == 65535) GeneralMemoryRegistry();
}

void ExitMemoryRegistries() {}

void InitMemoryRegistries_Audio() { AudioMemoryRegistry(); }

// Both registries' routines, one set of bodies.
#define DUVUVU_MEMORY_ROUTINES(SUFFIX, REGISTRY)                                                      \
  void ClearMemoryError##SUFFIX() { REGISTRY().ClearMemoryError(); }                                  \
  OSErr GetMemoryError##SUFFIX() { return REGISTRY().GetMemoryError(); }                              \
  Ptr NewPtrBlock##SUFFIX(SInt32 size) { return REGISTRY().NewPtrBlock(size); }                       \
  Ptr NewPtrBlockClear##SUFFIX(UInt32 size) { return REGISTRY().NewPtrBlockClear(size); }             \
  void DisposePtrBlock##SUFFIX(void* block) { REGISTRY().DisposePtrBlock(block); }                    \
  SInt32 GetPtrBlockSize##SUFFIX(const void* block) { return REGISTRY().GetPtrBlockSize(block); }     \
  void SetPtrBlockSize##SUFFIX(void* block, SInt32 size) { REGISTRY().SetPtrBlockSize(block, size); } \
  Handle NewHandleBlock##SUFFIX(SInt32 size) { return REGISTRY().NewHandleBlock(size); }              \
  Handle NewHandleBlockClear##SUFFIX(SInt32 size) { return REGISTRY().NewHandleBlockClear(size); }    \
  void DisposeHandleBlock##SUFFIX(Handle handle) { REGISTRY().DisposeHandleBlock(handle); }           \
  SInt32 GetHandleBlockSize##SUFFIX(Handle handle) { return REGISTRY().GetHandleBlockSize(handle); }  \
  SInt32 PreLockHandleBlock1##SUFFIX(Handle handle) { return REGISTRY().GetHandleBlockSize(handle); } \
  SInt32 PreLockHandleBlock2##SUFFIX(Handle handle) { return REGISTRY().GetHandleBlockSize(handle); } \
  void LockHandleBlock##SUFFIX(Handle handle) { REGISTRY().LockHandleBlock(handle); }                 \
  void UnlockHandleBlock##SUFFIX(Handle handle) { REGISTRY().UnlockHandleBlock(handle); }             \
  SInt8 GetHandleBlockState##SUFFIX(Handle handle) { return REGISTRY().GetHandleBlockState(handle); } \
  void SetHandleBlockState##SUFFIX(Handle handle, SInt8 state) {                                      \
    REGISTRY().SetHandleBlockState(handle, state);                                                    \
  }                                                                                                   \
  void SetHandleBlockSize##SUFFIX(Handle handle, UInt32 size) { REGISTRY().SetHandleBlockSize(handle, size); } \
  OSErr AppendToHandleBlock##SUFFIX(const void* source, Handle handle, SInt32 count) {                \
    return REGISTRY().AppendToHandleBlock(source, handle, count);                                     \
  }                                                                                                   \
  Handle FindHandleOfBlock##SUFFIX(const void* block) { return REGISTRY().FindHandleOfBlock(block); } \
  OSErr DuplicateHandleBlock##SUFFIX(Handle* handle) { return REGISTRY().DuplicateHandleBlock(handle); }

DUVUVU_MEMORY_ROUTINES(, GeneralMemoryRegistry)
DUVUVU_MEMORY_ROUTINES(_Audio, AudioMemoryRegistry)

#undef DUVUVU_MEMORY_ROUTINES

void SetMemoryError(OSErr code) { GeneralMemoryRegistry().SetMemoryError(code); }
