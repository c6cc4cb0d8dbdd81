// The memory manager: pointer blocks and handles in the manner of the Toolbox
// Memory Manager, over the C heap, with sizes, lock counts and a last-error
// code kept beside the blocks. There are two registries with the same
// behaviour: the general one and the audio one (routines ending in _Audio).
#pragma once

#include "AddressMap.h"
#include "MacTypes.h"

// Codes left in the last error: 0 done, -108 out of memory or a refused
// resize, -111 block or handle not registered, -115 no handle holds the
// block, -116 negative size or count.

// One registry: its two maps and its last error. The program's two registries
// are made on first use and never destroyed; tests build their own.
class MemoryRegistry {
 public:
  MemoryRegistry() = default;
  // Releases the maps only; blocks still registered stay allocated.
  ~MemoryRegistry() = default;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;

  void ClearMemoryError() { lastError_ = 0; }
  // For callers that report their own failures through the last error.
  void SetMemoryError(OSErr code) { lastError_ = code; }
  OSErr GetMemoryError() const { return static_cast<OSErr>(lastError_); }

  Ptr NewPtrBlock(SInt32 size);
  Ptr NewPtrBlockClear(UInt32 size);
  void DisposePtrBlock(void* block);
  SInt32 GetPtrBlockSize(const void* block);
  // Only shrinks the recorded size; the block itself stays as it is.
  void SetPtrBlockSize(void* block, SInt32 size);

  Handle NewHandleBlock(SInt32 size);
  Handle NewHandleBlockClear(SInt32 size);
  void DisposeHandleBlock(Handle handle);
  SInt32 GetHandleBlockSize(Handle handle);
  void LockHandleBlock(Handle handle);
  void UnlockHandleBlock(Handle handle);
  // -128 when locked, else 0.
  SInt8 GetHandleBlockState(Handle handle);
  void SetHandleBlockState(Handle handle, SInt8 state);
  // May move the data block; only the master pointer changes.
  void SetHandleBlockSize(Handle handle, UInt32 size);
  OSErr AppendToHandleBlock(const void* source, Handle handle, SInt32 count);
  Handle FindHandleOfBlock(const void* block);
  // Stores a new handle holding a copy through the address given; the
  // original stays registered.
  OSErr DuplicateHandleBlock(Handle* handle);

  UInt32 PtrBlockCountForTesting() const { return ptrBlocks_.Count(); }
  UInt32 HandleCountForTesting() const { return handles_.Count(); }

 private:
  enum BlockKind : UInt8 { kPlainBlock, kMasterPointer, kHandleData };
  struct BlockInfo {
    SInt32 size;
    BlockKind kind;
  };
  struct HandleEntry {
    Handle handle;
    SInt32 lockCount;
  };

  Ptr Register(void* block, SInt32 size, BlockKind kind);
  Handle MakeHandle(SInt32 size, bool clear);
  // The entry of a live handle, or nil (and -111) without reading anything
  // that is not a registered master pointer.
  HandleEntry* LiveHandle(Handle handle);

  AddressMap<BlockInfo> ptrBlocks_;
  AddressMap<HandleEntry> handles_;
  SInt32 lastError_ = 0;
};

MemoryRegistry& GeneralMemoryRegistry();
MemoryRegistry& AudioMemoryRegistry();

// The general registry ---------------------------------------------------------

void ClearMemoryError();
OSErr GetMemoryError();
void SetMemoryError(OSErr code);
// Nothing to set up on this platform.
void InitMemoryZone();
Ptr NewPtrBlock(SInt32 size);
Ptr NewPtrBlockClear(UInt32 size);
void DisposePtrBlock(void* block);
SInt32 GetPtrBlockSize(const void* block);
void SetPtrBlockSize(void* block, SInt32 size);
Handle NewHandleBlock(SInt32 size);
Handle NewHandleBlockClear(SInt32 size);
void DisposeHandleBlock(Handle handle);
SInt32 GetHandleBlockSize(Handle handle);
// Callers that pin a handle call PreLock1, PreLock2, then Lock.
SInt32 PreLockHandleBlock1(Handle handle);
SInt32 PreLockHandleBlock2(Handle handle);
void LockHandleBlock(Handle handle);
void UnlockHandleBlock(Handle handle);
SInt8 GetHandleBlockState(Handle handle);
void SetHandleBlockState(Handle handle, SInt8 state);
void SetHandleBlockSize(Handle handle, UInt32 size);
OSErr AppendToHandleBlock(const void* source, Handle handle, SInt32 count);
Handle FindHandleOfBlock(const void* block);
OSErr DuplicateHandleBlock(Handle* handle);
// Phase 1 makes the registry; the registries are never torn down, so phase 0
// and ExitMemoryRegistries do nothing.
void InitMemoryRegistries(SInt32 phase, SInt32 priority);
void ExitMemoryRegistries();

// The audio registry -----------------------------------------------------------

void InitMemoryRegistries_Audio();
void ClearMemoryError_Audio();
OSErr GetMemoryError_Audio();
Ptr NewPtrBlock_Audio(SInt32 size);
Ptr NewPtrBlockClear_Audio(UInt32 size);
void DisposePtrBlock_Audio(void* block);
SInt32 GetPtrBlockSize_Audio(const void* block);
void SetPtrBlockSize_Audio(void* block, SInt32 size);
Handle NewHandleBlock_Audio(SInt32 size);
Handle NewHandleBlockClear_Audio(SInt32 size);
void DisposeHandleBlock_Audio(Handle handle);
SInt32 GetHandleBlockSize_Audio(Handle handle);
SInt32 PreLockHandleBlock1_Audio(Handle handle);
SInt32 PreLockHandleBlock2_Audio(Handle handle);
void LockHandleBlock_Audio(Handle handle);
void UnlockHandleBlock_Audio(Handle handle);
SInt8 GetHandleBlockState_Audio(Handle handle);
void SetHandleBlockState_Audio(Handle handle, SInt8 state);
void SetHandleBlockSize_Audio(Handle handle, UInt32 size);
OSErr AppendToHandleBlock_Audio(const void* source, Handle handle, SInt32 count);
Handle FindHandleOfBlock_Audio(const void* block);
OSErr DuplicateHandleBlock_Audio(Handle* handle);
