// The engine's array: elements in one zero-filled block, resized only on
// request, with a short name that its fatal messages carry. Callers index
// `data` directly with `count` as the bound. Growing past the block's room
// makes a block twice the size, so appends one at a time stay cheap.
#pragma once

#include <cstddef>
#include <cstring>
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
  NamedArray(NamedArray&& source) noexcept : count(source.count), data(source.data), capacity_(source.capacity_) {
    CopyName(source);
    source.count = 0;
    source.data = nullptr;
    source.capacity_ = 0;
  }
  NamedArray& operator=(NamedArray&& source) noexcept {
    if (this == &source) return *this;
    Dispose();
    count = source.count;
    data = source.data;
    capacity_ = source.capacity_;
    CopyName(source);
    source.count = 0;
    source.data = nullptr;
    source.capacity_ = 0;
    return *this;
  }

  void Create(UInt32 newCount) {
    Dispose();
    if (newCount == 0) return;
    data = MakeBlock(newCount, newCount);
    count = newCount;
    capacity_ = newCount;
  }

  void Dispose() {
    if (!data) return;
    FreeBlock(data, count);
    data = nullptr;
    count = 0;
    capacity_ = 0;
  }

  void Reinit(UInt32 newCount) {
    Dispose();
    Create(newCount);
  }

  SInt32 SetName(ConstStr255Param newName, SInt16 index) { return namedarray::SetName(name, newName, index); }

  // The first elements stay where they are, or with keepAtEnd the old ones
  // move to the end when growing and the last ones are kept when shrinking.
  // When the block has no room, a new one is built whole, the kept elements
  // move into it, and the old one goes.
  void Resize(UInt32 newCount, UInt8 keepAtEnd) {
    if (newCount == count) return;
    if (newCount == 0) {
      Dispose();
      return;
    }
    if (newCount < count) {
      if (keepAtEnd) {
        UInt32 from = count - newCount;
        for (UInt32 i = 0; i < newCount; ++i) data[i] = std::move(data[from + i]);
      }
      DestroyRange(data, newCount, count);
      count = newCount;
      return;
    }
    if (newCount <= capacity_ && !keepAtEnd) {
      BuildRange(data, count, newCount);
      count = newCount;
      return;
    }
    UInt32 room = GrownCapacity(newCount);
    T* block = MakeBlock(room, newCount);
    UInt32 to = keepAtEnd ? newCount - count : 0;
    for (UInt32 i = 0; i < count; ++i) block[to + i] = std::move(data[i]);
    if (data) FreeBlock(data, count);
    data = block;
    count = newCount;
    capacity_ = room;
  }

  // Takes out n entries from first on; a range outside the array is fatal.
  void RemoveEntries(SInt32 first, SInt32 n) {
    UInt32 last = static_cast<UInt32>(first) + static_cast<UInt32>(n) - 1u;
    // A negative first or n would pass the unsigned test and corrupt the count.
    if (first < 0 || n < 0 || last >= count) namedarray::CannotRemove(n, name, count);
    UInt32 start = static_cast<UInt32>(first);
    UInt32 newCount = count - static_cast<UInt32>(n);
    if (newCount == 0) {
      Dispose();
      return;
    }
    for (UInt32 i = start; i < newCount; ++i) data[i] = std::move(data[i + static_cast<UInt32>(n)]);
    DestroyRange(data, newCount, count);
    count = newCount;
  }

  // Elements the block holds room for without being rebuilt.
  UInt32 Capacity() const { return capacity_; }

  UInt32 count = 0;
  T* data = nullptr;
  Str255 name;

 private:
  static constexpr bool kOverAligned = alignof(T) > __STDCPP_DEFAULT_NEW_ALIGNMENT__;

  UInt32 capacity_ = 0;

  // Twice the present room, or what is asked when that is more; never past
  // what a UInt32 count can reach.
  UInt32 GrownCapacity(UInt32 wanted) const {
    UInt32 doubled = capacity_ > 0xFFFFFFFFu / 2 ? 0xFFFFFFFFu : capacity_ * 2;
    return doubled > wanted ? doubled : wanted;
  }

  void CopyName(const NamedArray& source) {
    for (int i = 0; i <= source.name[0]; ++i) name[i] = source.name[i];
  }

  // Room for `room` elements, of which the first n are built.
  T* MakeBlock(UInt32 room, UInt32 n) const {
    std::size_t bytes = sizeof(T) * static_cast<std::size_t>(room);
    void* raw;
    if constexpr (kOverAligned)
      raw = ::operator new[](bytes, std::align_val_t(alignof(T)), std::nothrow);
    else
      raw = ::operator new[](bytes, std::nothrow);
    if (!raw) namedarray::OutOfMemory(name);
    T* block = static_cast<T*>(raw);
    BuildRange(block, 0, n);
    return block;
  }

  // Plain elements are zero, classes are constructed on zero, first to last.
  // The room past the count holds whatever its last element left, so it is
  // cleared here.
  static void BuildRange(T* block, UInt32 from, UInt32 to) {
    if (to <= from) return;
    std::memset(static_cast<void*>(block + from), 0, sizeof(T) * static_cast<std::size_t>(to - from));
    if constexpr (!std::is_trivially_default_constructible_v<T>) {
      for (UInt32 i = from; i < to; ++i) ::new (static_cast<void*>(block + i)) T();
    }
  }

  // Destroyed last first.
  static void DestroyRange(T* block, UInt32 from, UInt32 to) {
    if constexpr (!std::is_trivially_destructible_v<T>) {
      for (UInt32 i = to; i-- > from;) block[i].~T();
    }
  }

  static void FreeBlock(T* block, UInt32 n) {
    DestroyRange(block, 0, n);
    if constexpr (kOverAligned)
      ::operator delete[](static_cast<void*>(block), std::align_val_t(alignof(T)));
    else
      ::operator delete[](static_cast<void*>(block));
  }
};
