// Big pixel buffers handed back when a map or canvas dies and taken again by
// the next one. The generators make hundreds of canvas-sized temporaries, and
// fresh memory costs a page fault every 4 KB, far more than filling it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace art {

template <typename T>
class Recycler {
 public:
  // n copies of value, in a kept buffer when one fits.
  static std::vector<T> Take(size_t n, const T& value) {
    std::vector<T> out;
    if (n >= kSmallest) {
      std::vector<std::vector<T>>& kept = Kept();
      // The smallest that fits.
      size_t best = kept.size();
      for (size_t i = 0; i < kept.size(); ++i)
        if (kept[i].capacity() >= n && (best == kept.size() || kept[i].capacity() < kept[best].capacity())) best = i;
      if (best < kept.size()) {
        out = std::move(kept[best]);
        kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(best));
      }
    }
    out.assign(n, value);
    return out;
  }

  // Keeps buffer for a later Take; small ones are left to the allocator.
  static void Give(std::vector<T>&& buffer) {
    if (buffer.capacity() < kSmallest) return;
    std::vector<std::vector<T>>& kept = Kept();
    if (kept.size() == kMostKept) kept.erase(kept.begin());  // the oldest goes
    kept.push_back(std::move(buffer));
  }

 private:
  static constexpr size_t kSmallest = 16384;
  static constexpr size_t kMostKept = 8;

  // Never destroyed, so a map or canvas ending after the static destructors
  // still has somewhere to go; but emptied at exit, so that the leak checker
  // does not scan megabytes of pixels for pointers.
  static std::vector<std::vector<T>>& Kept() {
    static auto* kept = new std::vector<std::vector<T>>();
    static const struct Drain {
      ~Drain() { kept->clear(); }
    } drain;
    return *kept;
  }
};

// A vector whose buffer comes from the Recycler and goes back to it when the
// vector dies or takes another's.
template <typename T>
class RecycledVector {
 public:
  RecycledVector() = default;
  RecycledVector(size_t n, const T& value) : values_(Recycler<T>::Take(n, value)) {}
  RecycledVector(const RecycledVector& other) : values_(Recycler<T>::Take(other.values_.size(), T{})) {
    std::copy(other.values_.begin(), other.values_.end(), values_.begin());
  }
  RecycledVector(RecycledVector&& other) noexcept = default;
  RecycledVector& operator=(const RecycledVector& other) = default;
  RecycledVector& operator=(RecycledVector&& other) noexcept {
    if (this == &other) return *this;
    Recycler<T>::Give(std::move(values_));
    values_ = std::move(other.values_);
    return *this;
  }
  ~RecycledVector() { Recycler<T>::Give(std::move(values_)); }

  std::vector<T>& get() { return values_; }
  const std::vector<T>& get() const { return values_; }

 private:
  std::vector<T> values_;
};

}  // namespace art
