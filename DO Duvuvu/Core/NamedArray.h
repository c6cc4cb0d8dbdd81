// The engine's array: a fixed number of elements in one zero-filled block,
// resized only on request, with a short name that its fatal messages carry.
// Callers index `data` directly with `count` as the bound.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

#include "MacTypes.h"

// The parts that do not depend on the element type.
namespace namedarray {
// Copies at most 31 characters into the buffer, then "[index]" step by step
// when index is 0 or more; each step is refused alone when it would not fit.
SInt32 SetName(StringPtr buffer, ConstStr255Param name, SInt16 index);
[[noreturn]] void OutOfMemory(ConstStr255Param name);
[[noreturn]] void CannotRemove(SInt32 n, ConstStr255Param name, UInt32 count);
}  // namespace namedarray

template <typename T>
class NamedArray {
 public:
  // Not explicit, so records holding arrays can still be brace-initialised.
  NamedArray() { name[0] = 0; }
  explicit NamedArray(UInt32 initialCount, ConstStr255Param initialName = nullptr) {
    name[0] = 0;
    SetName(initialName, -1);
    Create(initialCount);
  }
  ~NamedArray() { Dispose(); }

  // The copy has the source's elements and no name.
  NamedArray(const NamedArray& source) {
    name[0] = 0;
    *this = source;
  }
  // The name stays as it was.
  NamedArray& operator=(const NamedArray& source) {
    if (this == &source) return *this;
    Reinit(source.count);
    for (UInt32 i = 0; i < count; ++i) data[i] = source.data[i];
    return *this;
  }

  // Hands the block over, name and all, as a nested array travels with its
  // element when an outer array is resized.
  NamedArray(NamedArray&& source) noexcept : count(source.count), data(source.data) {
    CopyName(source);
    source.count = 0;
    source.data = nullptr;
  }
  NamedArray& operator=(NamedArray&& source) noexcept {
    if (this == &source) return *this;
    Dispose();
    count = source.count;
    data = source.data;
    CopyName(source);
    source.count = 0;
    source.data = nullptr;
    return *this;
  }

  void Create(UInt32 newCount) {
    Dispose();
    count = newCount;
    if (newCount != 0) data = MakeBlock(newCount);
  }

  void Dispose() {
    if (count == 0) return;
    FreeBlock(data, count);
    data = nullptr;
    count = 0;
  }

  void Reinit(UInt32 newCount) {
    Dispose();
    Create(newCount);
  }

  SInt32 SetName(ConstStr255Param newName, SInt16 index) { return namedarray::SetName(name, newName, index); }

  // Kept elements move into a freshly made block: the first ones to the
  // start, or with keepAtEnd the old ones to the end when growing and the last
  // ones when shrinking.
  void Resize(UInt32 newCount, UInt8 keepAtEnd) {
    if (newCount == count) return;
    UInt32 oldCount = count;
    T* oldData = data;
    count = newCount;
    data = nullptr;
    if (newCount != 0) {
      data = MakeBlock(newCount);
      UInt32 kept = oldCount < newCount ? oldCount : newCount;
      UInt32 from = 0;
      UInt32 to = 0;
      if (keepAtEnd) {
        if (newCount > oldCount)
          to = newCount - oldCount;
        else
          from = oldCount - newCount;
      }
      for (UInt32 i = 0; i < kept; ++i) data[to + i] = std::move(oldData[from + i]);
    }
    if (oldCount != 0) FreeBlock(oldData, oldCount);
  }

  // Takes out n entries from first on; a range outside the array is fatal.
  void RemoveEntries(SInt32 first, SInt32 n) {
    UInt32 last = static_cast<UInt32>(first) + static_cast<UInt32>(n) - 1u;
    // A negative first or n would pass the unsigned test and corrupt the count.
    if (first < 0 || n < 0 || last >= count) namedarray::CannotRemove(n, name, count);
    UInt32 oldCount = count;
    T* oldData = data;
    UInt32 start = static_cast<UInt32>(first);
    UInt32 end = start + static_cast<UInt32>(n);
    count = oldCount - static_cast<UInt32>(n);
    data = nullptr;
    if (count != 0) {
      data = MakeBlock(count);
      UInt32 to = 0;
      for (UInt32 i = 0; i < start; ++i) data[to++] = std::move(oldData[i]);
      for (UInt32 i = end; i < oldCount; ++i) data[to++] = std::move(oldData[i]);
    }
    FreeBlock(oldData, oldCount);
  }

  UInt32 count = 0;
  T* data = nullptr;
  Str255 name;

 private:
  static constexpr bool kOverAligned = alignof(T) > __STDCPP_DEFAULT_NEW_ALIGNMENT__;

  void CopyName(const NamedArray& source) {
    for (int i = 0; i <= source.name[0]; ++i) name[i] = source.name[i];
  }

  // Zero-filled by operator new[]; plain elements stay as that zero, classes
  // are constructed first to last.
  T* MakeBlock(UInt32 n) const {
    std::size_t bytes = sizeof(T) * static_cast<std::size_t>(n);
    void* raw;
    if constexpr (kOverAligned)
      raw = ::operator new[](bytes, std::align_val_t(alignof(T)), std::nothrow);
    else
      raw = ::operator new[](bytes, std::nothrow);
    if (!raw) namedarray::OutOfMemory(name);
    T* block = static_cast<T*>(raw);
    if constexpr (!std::is_trivially_default_constructible_v<T>) {
      for (UInt32 i = 0; i < n; ++i) ::new (static_cast<void*>(block + i)) T();
    }
    return block;
  }

  // Destroyed last first.
  static void FreeBlock(T* block, UInt32 n) {
    if constexpr (!std::is_trivially_destructible_v<T>) {
      for (UInt32 i = n; i-- > 0;) block[i].~T();
    }
    if constexpr (kOverAligned)
      ::operator delete[](static_cast<void*>(block), std::align_val_t(alignof(T)));
    else
      ::operator delete[](static_cast<void*>(block));
  }
};
