// Pixel maps and tables for blitter tests: guard-banded maps whose whole
// storage can be compared, random pixel mixes and large lazily zeroed tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BlitReference.h"
#include "PixMap.h"

namespace blitref {

// Which pixel values a random map holds.
struct PixelMix {
  double keyShare = 0.3;  // share of key pixels
  // 0: the whole range, with a share of the awkward values (0xFFFF,
  // 0xFFFFFFFF, 0x01FFFFFF, bit-15 pixels); else values 1..maxValue.
  uint32_t maxValue = 0;
};

uint32_t RandomPixel(int depth, std::mt19937& rng, const PixelMix& mix);

// A pixel map over its own storage: guard rows above and below, guard pixels
// left and right of every row (so rows are longer than the width), bit 15 set
// in the row bytes and a non-zero bounds origin. Every byte outside the
// pixels is a random sentinel, so comparing the whole storage finds any
// stray write. Not copyable: the handle points into the object.
class TestMap {
 public:
  // origin: the bounds' top-left; guards and sentinels drawn from rng.
  TestMap(int depth, int width, int height, Point origin, std::mt19937& rng);
  TestMap(const TestMap&) = delete;
  TestMap& operator=(const TestMap&) = delete;

  // A map with random guards, a random non-zero origin and random pixels.
  static std::unique_ptr<TestMap> Random(int depth, int width, int height, std::mt19937& rng,
                                         const PixelMix& mix);
  std::unique_ptr<TestMap> Clone() const;

  int depth() const { return depth_; }
  int width() const { return width_; }
  int height() const { return height_; }
  const Rect& bounds() const { return pixmap_.bounds; }
  PixMapHandle handle() { return &master_; }
  PixMap& pixmap() { return pixmap_; }
  const PixMap& pixmap() const { return pixmap_; }
  MapView& view() { return view_; }
  const MapView& view() const { return view_; }

  // Pixels by position relative to the bounds' top-left.
  uint32_t Get(int x, int y) const;
  void Set(int x, int y, uint32_t value);
  void Fill(uint32_t value);
  void FillRandom(std::mt19937& rng, const PixelMix& mix);

  const std::vector<uint8_t>& storage() const { return storage_; }
  // "" when the storages are equal, else where and how they first differ.
  std::string Diff(const TestMap& want) const;

 private:
  TestMap() = default;
  void Bind();

  int depth_ = 0;
  int width_ = 0;
  int height_ = 0;
  size_t firstPixel_ = 0;  // byte offset of the bounds' top-left pixel
  std::vector<uint8_t> storage_;
  PixMap pixmap_{};
  PixMapPtr master_ = nullptr;
  MapView view_{};
};

// A table of pixel-width entries on lazily zeroed pages, so a table that
// spans millions of entries costs only the pages written or read.
class PixelTable {
 public:
  PixelTable(int depth, size_t entries);
  ~PixelTable();
  PixelTable(const PixelTable&) = delete;
  PixelTable& operator=(const PixelTable&) = delete;

  template <typename Pixel>
  const Pixel* as() const {
    return static_cast<const Pixel*>(data_);
  }
  const void* data() const { return data_; }
  void* writable() { return data_; }
  size_t entries() const { return entries_; }
  uint32_t Get(size_t i) const;
  void Set(size_t i, uint32_t value);
  // Entries [from, to) from rng and mix.
  void FillRandom(size_t from, size_t to, std::mt19937& rng, const PixelMix& mix);
  // Entries [from, to) from a cheap hash of the index (for huge tables).
  void FillHashed(size_t from, size_t to, uint32_t salt);

 private:
  int depth_;
  size_t entries_;
  size_t bytes_;
  void* data_;
};

// Lookup tables that cover every source value the matching PixelMix makes:
// 256 entries at 8 bits, 65536 at 16, and at 32 bits every index up to the
// key (0x00FFFFFF), with entries filled for 0..smallMax and the key.
std::unique_ptr<PixelTable> MakeLookup(int depth, std::mt19937& rng, const PixelMix& entries,
                                       uint32_t smallMax = 0xFF);

// Translucency tables indexed by (value << 8) + destination:
//   8 bits: 65536 random entries;
//   16 bits: every index a 16-bit value and destination can make;
//   32 bits: values up to 0xFF over destinations up to 0xFF or the key.
// Built once per depth and kept for the process (they are large).
const PixelTable& SharedTrans(int depth);

}  // namespace blitref
