// The program's own operator new and delete: every block comes zero-filled
// and an exhausted heap ends the program, so no caller ever tests for nil.
// Blocks go straight to the C heap, not through the memory manager.
#include <cstdlib>
#include <cstring>
#include <new>

#include "Errors.h"

namespace {

[[noreturn]] void MemoryErrorFatal() {
  FatalError(
      "Sorry, a memory error has occured.  Please increase the application's \"Preferred size\" requirements, "
      "and try again.",
      "", 0, 1);
}

void* ZeroedBlock(std::size_t size) {
  // calloc(0) may answer nil; operator new(0) never does. calloc skips the
  // clearing of fresh pages, which large blocks always are.
  void* block = std::calloc(size != 0 ? size : 1, 1);
  if (!block) MemoryErrorFatal();
  return block;
}

void* ZeroedAlignedBlock(std::size_t size, std::align_val_t alignment) {
  std::size_t align = static_cast<std::size_t>(alignment);
  if (align < sizeof(void*)) align = sizeof(void*);
  void* block = nullptr;
  if (posix_memalign(&block, align, size != 0 ? size : 1) != 0 || !block) MemoryErrorFatal();
  std::memset(block, 0, size);
  return block;
}

}  // namespace

void* operator new(std::size_t size) { return ZeroedBlock(size); }
void* operator new[](std::size_t size) { return ZeroedBlock(size); }
// Exhaustion is fatal here too: the nothrow forms never answer nil.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return ZeroedBlock(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return ZeroedBlock(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return ZeroedAlignedBlock(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return ZeroedAlignedBlock(size, alignment); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return ZeroedAlignedBlock(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return ZeroedAlignedBlock(size, alignment);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
