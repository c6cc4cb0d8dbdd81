// The engine's fixed-capacity stack. It only makes, releases and searches its
// storage: owners push and pop by writing top and the slot themselves, each
// with its own "full" and "empty" fatal messages.
#pragma once

#include <new>

#include "Errors.h"
#include "MacTypes.h"

template <typename T>
class BoundedStack {
 public:
  explicit BoundedStack(SInt16 requested) { Create(requested); }
  ~BoundedStack() { Dispose(); }
  BoundedStack(const BoundedStack&) = delete;
  BoundedStack& operator=(const BoundedStack&) = delete;

  // A capacity outside 1..9999 becomes 10 (not the request clamped).
  void Create(SInt16 requested) {
    capacity = (requested >= 1 && requested <= 9999) ? requested : 10;
    top = -1;
    data = new (std::nothrow) T[capacity]();
    if (!data) FatalError("Out of memory, couldn't create stack", "", 0, 1);
  }

  void Dispose() {
    if (capacity == 0) return;
    capacity = 0;
    delete[] data;
    data = nullptr;
  }

  // 1 when an entry from the top down to the bottom equals the value.
  UInt8 Contains(const T* value) const {
    for (SInt32 i = top; i >= 0; --i) {
      if (data[i] == *value) return 1;
    }
    return 0;
  }

  SInt16 capacity = 0;
  SInt16 top = -1;  // -1 when empty
  T* data = nullptr;
};
