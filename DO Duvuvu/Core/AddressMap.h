// The memory manager's maps: block address -> record, in constant time.
// Storage comes straight from malloc so that operator new, which is ours too,
// never runs inside a map operation.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "MacTypes.h"

// Open addressing with linear probing; deletion shifts the run back, so there
// are no tombstones and lookups stay short however blocks come and go.
// Address 0 marks an empty slot and is never a key.
template <typename V>
class AddressMap {
 public:
  AddressMap() = default;
  ~AddressMap() { std::free(slots_); }
  AddressMap(const AddressMap&) = delete;
  AddressMap& operator=(const AddressMap&) = delete;

  V* Find(const void* address) {
    uintptr_t key = reinterpret_cast<uintptr_t>(address);
    if (key == 0 || count_ == 0) return nullptr;
    for (size_t i = Home(key);; i = (i + 1) & mask_) {
      if (slots_[i].key == key) return &slots_[i].value;
      if (slots_[i].key == 0) return nullptr;
    }
  }

  // Adds or replaces; false when the table could not grow.
  bool Insert(const void* address, const V& value) {
    uintptr_t key = reinterpret_cast<uintptr_t>(address);
    if (key == 0) return false;
    if ((count_ + 1) * 2 > capacity() && !Grow()) return false;
    size_t i = Home(key);
    while (slots_[i].key != 0 && slots_[i].key != key) i = (i + 1) & mask_;
    if (slots_[i].key == 0) ++count_;
    slots_[i].key = key;
    slots_[i].value = value;
    return true;
  }

  bool Erase(const void* address) {
    uintptr_t key = reinterpret_cast<uintptr_t>(address);
    if (key == 0 || count_ == 0) return false;
    size_t hole = Home(key);
    while (slots_[hole].key != key) {
      if (slots_[hole].key == 0) return false;
      hole = (hole + 1) & mask_;
    }
    // Pull back every later entry of the run that may not sit past the hole.
    for (size_t j = (hole + 1) & mask_; slots_[j].key != 0; j = (j + 1) & mask_) {
      size_t home = Home(slots_[j].key);
      bool homeInGap = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
      if (!homeInGap) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    slots_[hole].key = 0;
    --count_;
    return true;
  }

  UInt32 Count() const { return static_cast<UInt32>(count_); }

 private:
  struct Slot {
    uintptr_t key;
    V value;
  };

  size_t capacity() const { return slots_ ? mask_ + 1 : 0; }

  size_t Home(uintptr_t key) const {
    UInt64 h = static_cast<UInt64>(key) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(h ^ (h >> 29)) & mask_;
  }

  bool Grow() {
    size_t newCapacity = slots_ ? (mask_ + 1) * 2 : 16;
    Slot* newSlots = static_cast<Slot*>(std::calloc(newCapacity, sizeof(Slot)));
    if (!newSlots) return false;
    Slot* oldSlots = slots_;
    size_t oldCapacity = capacity();
    slots_ = newSlots;
    mask_ = newCapacity - 1;
    for (size_t i = 0; i < oldCapacity; ++i) {
      if (oldSlots[i].key == 0) continue;
      size_t j = Home(oldSlots[i].key);
      while (slots_[j].key != 0) j = (j + 1) & mask_;
      slots_[j] = oldSlots[i];
    }
    std::free(oldSlots);
    return true;
  }

  Slot* slots_ = nullptr;
  size_t mask_ = 0;
  size_t count_ = 0;
};
