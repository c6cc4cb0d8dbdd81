#include "BlitMaps.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace blitref {
namespace {

uint32_t Uniform(std::mt19937& rng, uint32_t lo, uint32_t hi) {
  return std::uniform_int_distribution<uint32_t>(lo, hi)(rng);
}

uint32_t AwkwardPixel(int depth, std::mt19937& rng) {
  switch (depth) {
    case 8: {
      static constexpr uint32_t values[] = {0xFF, 0x80, 0x01, 0x7F};
      return values[Uniform(rng, 0, 3)];
    }
    case 16:
      switch (Uniform(rng, 0, 2)) {
        case 0: return 0xFFFF;
        case 1: return 0x8000 | Uniform(rng, 0, 0x7FFF);
        default: return 0x7FFE;
      }
    default:
      switch (Uniform(rng, 0, 3)) {
        case 0: return 0xFFFFFFFF;
        case 1: return 0x01FFFFFF;
        case 2: return 0x8000 | Uniform(rng, 0, 0x00FF7FFF);
        default: return 0xFF000000 | Uniform(rng, 0, 0xFFFFFF);
      }
  }
}

}  // namespace

uint32_t RandomPixel(int depth, std::mt19937& rng, const PixelMix& mix) {
  if (std::uniform_real_distribution<double>(0, 1)(rng) < mix.keyShare) return KeyOf(depth);
  if (mix.maxValue != 0) return Uniform(rng, 1, mix.maxValue);
  if (Uniform(rng, 0, 9) < 3) return AwkwardPixel(depth, rng);
  switch (depth) {
    case 8: return Uniform(rng, 0, 0xFF);
    case 16: return Uniform(rng, 0, 0x7FFF);
    default: return Uniform(rng, 0, 0x00FFFFFF);
  }
}

TestMap::TestMap(int depth, int width, int height, Point origin, std::mt19937& rng)
    : depth_(depth), width_(width), height_(height) {
  const int bytes = depth / 8;
  const int leftGuard = static_cast<int>(Uniform(rng, 1, 4));
  const int rightGuard = static_cast<int>(Uniform(rng, 1, 6));
  const int guardRows = static_cast<int>(Uniform(rng, 1, 3));
  const int rowBytes = (leftGuard + width + rightGuard) * bytes;
  if (rowBytes > kPixMapRowBytesMask) {
    std::fprintf(stderr, "TestMap: %d pixels is too wide for %d bits\n", width, depth);
    std::abort();
  }
  storage_.resize(static_cast<size_t>(rowBytes) * static_cast<size_t>(height + 2 * guardRows));
  for (auto& b : storage_) b = static_cast<uint8_t>(rng());
  firstPixel_ = static_cast<size_t>(guardRows) * static_cast<size_t>(rowBytes) +
                static_cast<size_t>(leftGuard * bytes);
  pixmap_.rowBytes = static_cast<UInt16>(rowBytes | kPixMapRowBytesFlag);
  pixmap_.bounds = Rect{origin.v, origin.h, static_cast<SInt16>(origin.v + height),
                        static_cast<SInt16>(origin.h + width)};
  pixmap_.version = 1;
  pixmap_.hRes = pixmap_.vRes = 72;
  pixmap_.pixelDepth = static_cast<SInt16>(depth);
  pixmap_.cmpCount = 1;
  pixmap_.cmpSize = depth == 32 ? 8 : 5;
  pixmap_.pixelFormat = static_cast<UInt32>(depth);
  Bind();
}

void TestMap::Bind() {
  pixmap_.baseAddr = reinterpret_cast<Ptr>(storage_.data() + firstPixel_);
  master_ = &pixmap_;
  view_ = MapView{storage_.data() + firstPixel_, pixmap_.rowBytes, pixmap_.bounds};
}

std::unique_ptr<TestMap> TestMap::Random(int depth, int width, int height, std::mt19937& rng,
                                         const PixelMix& mix) {
  auto coordinate = [&] {
    const int v = static_cast<int>(Uniform(rng, 1, 60));
    return static_cast<SInt16>(Uniform(rng, 0, 1) ? v : -v);
  };
  const Point origin{coordinate(), coordinate()};
  auto map = std::make_unique<TestMap>(depth, width, height, origin, rng);
  map->FillRandom(rng, mix);
  return map;
}

namespace {

// Fixed-size copies compile to plain loads and stores; a sized memcpy would go
// through the sanitizer's interceptor for every pixel and table entry.
uint32_t LoadPixel(const uint8_t* p, int depth) {
  switch (depth) {
    case 8:
      return *p;
    case 16: {
      uint16_t v;
      std::memcpy(&v, p, 2);
      return v;
    }
    default: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
  }
}

void StorePixel(uint8_t* p, int depth, uint32_t value) {
  switch (depth) {
    case 8:
      *p = static_cast<uint8_t>(value);
      break;
    case 16: {
      const uint16_t v = static_cast<uint16_t>(value);
      std::memcpy(p, &v, 2);
      break;
    }
    default:
      std::memcpy(p, &value, 4);
      break;
  }
}

}  // namespace

std::unique_ptr<TestMap> TestMap::Clone() const {
  std::unique_ptr<TestMap> copy(new TestMap());
  copy->depth_ = depth_;
  copy->width_ = width_;
  copy->height_ = height_;
  copy->firstPixel_ = firstPixel_;
  copy->storage_ = storage_;
  copy->pixmap_ = pixmap_;
  copy->Bind();
  return copy;
}

uint32_t TestMap::Get(int x, int y) const {
  const size_t stride = pixmap_.rowBytes & kPixMapRowBytesMask;
  const uint8_t* p = storage_.data() + firstPixel_ + static_cast<size_t>(y) * stride +
                     static_cast<size_t>(x) * static_cast<size_t>(depth_ / 8);
  return LoadPixel(p, depth_);
}

void TestMap::Set(int x, int y, uint32_t value) {
  const size_t stride = pixmap_.rowBytes & kPixMapRowBytesMask;
  uint8_t* p = storage_.data() + firstPixel_ + static_cast<size_t>(y) * stride +
               static_cast<size_t>(x) * static_cast<size_t>(depth_ / 8);
  StorePixel(p, depth_, value);
}

void TestMap::Fill(uint32_t value) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) Set(x, y, value);
}

void TestMap::FillRandom(std::mt19937& rng, const PixelMix& mix) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) Set(x, y, RandomPixel(depth_, rng, mix));
}

std::string TestMap::Diff(const TestMap& want) const {
  if (storage_.size() != want.storage_.size()) return "storage sizes differ";
  const size_t n = storage_.size();
  size_t i = 0;
  while (i < n && storage_[i] == want.storage_[i]) ++i;
  if (i == n) return "";
  size_t count = 0;
  for (size_t j = i; j < n; ++j) count += storage_[j] != want.storage_[j];
  const size_t stride = pixmap_.rowBytes & kPixMapRowBytesMask;
  const long rel = static_cast<long>(i) - static_cast<long>(firstPixel_);
  long row = rel >= 0 ? rel / static_cast<long>(stride) : -1 - (-rel - 1) / static_cast<long>(stride);
  long colBytes = rel - row * static_cast<long>(stride);
  const long col = colBytes / (depth_ / 8);
  const bool inside = row >= 0 && row < height_ && col >= 0 && col < width_;
  char text[256];
  std::snprintf(text, sizeof text,
                "%zu bytes differ; first at pixel (x %ld, y %ld) from the bounds' top-left%s: "
                "got 0x%X, want 0x%X",
                count, col, row, inside ? "" : " (guard band)",
                inside ? Get(static_cast<int>(col), static_cast<int>(row)) : storage_[i],
                inside ? want.Get(static_cast<int>(col), static_cast<int>(row)) : want.storage_[i]);
  return text;
}

namespace {

// Mapping and unmapping a table costs page faults and a TLB flush each time,
// and a differential run makes thousands of 16-bit tables: small freed ones
// are kept for the next, cleared, since a fresh table reads as zeros.
constexpr size_t kKeptTableBytes = 65536 * 2;
constexpr size_t kKeptTables = 8;
std::vector<void*>& KeptTables() {
  static std::vector<void*> kept;
  return kept;
}

}  // namespace

PixelTable::PixelTable(int depth, size_t entries) : depth_(depth), entries_(entries) {
  bytes_ = entries * static_cast<size_t>(depth / 8);
  if (bytes_ == kKeptTableBytes && !KeptTables().empty()) {
    data_ = KeptTables().back();
    KeptTables().pop_back();
    std::memset(data_, 0, bytes_);
    return;
  }
  data_ = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
               -1, 0);
  if (data_ == MAP_FAILED) {
    std::fprintf(stderr, "PixelTable: cannot map %zu bytes\n", bytes_);
    std::abort();
  }
}

PixelTable::~PixelTable() {
  if (bytes_ == kKeptTableBytes && KeptTables().size() < kKeptTables) {
    KeptTables().push_back(data_);
    return;
  }
  munmap(data_, bytes_);
}

uint32_t PixelTable::Get(size_t i) const {
  return LoadPixel(static_cast<const uint8_t*>(data_) + i * static_cast<size_t>(depth_ / 8), depth_);
}

void PixelTable::Set(size_t i, uint32_t value) {
  StorePixel(static_cast<uint8_t*>(data_) + i * static_cast<size_t>(depth_ / 8), depth_, value);
}

void PixelTable::FillRandom(size_t from, size_t to, std::mt19937& rng, const PixelMix& mix) {
  for (size_t i = from; i < to; ++i) Set(i, RandomPixel(depth_, rng, mix));
}

void PixelTable::FillHashed(size_t from, size_t to, uint32_t salt) {
  for (size_t i = from; i < to; ++i) {
    uint32_t h = static_cast<uint32_t>(i) * 0x9E3779B1u ^ salt;
    h ^= h >> 15;
    h *= 0x85EBCA77u;
    h ^= h >> 13;
    Set(i, h);
  }
}

std::unique_ptr<PixelTable> MakeLookup(int depth, std::mt19937& rng, const PixelMix& entries,
                                       uint32_t smallMax) {
  switch (depth) {
    case 8: {
      auto t = std::make_unique<PixelTable>(8, 256);
      t->FillRandom(0, 256, rng, entries);
      return t;
    }
    case 16: {
      // 65536 draws per table: a cheap generator keeps big runs quick.
      auto t = std::make_unique<PixelTable>(16, 65536);
      uint16_t* out = static_cast<uint16_t*>(t->writable());
      uint32_t x = static_cast<uint32_t>(rng()) | 1;
      const uint32_t keyBelow = static_cast<uint32_t>(entries.keyShare * 65536.0);
      for (size_t i = 0; i < 65536; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        uint32_t v = (x >> 16) < keyBelow ? KeyOf(16) : (x & 0xFFFF);
        if (entries.maxValue != 0 && v != KeyOf(16)) v = 1 + v % entries.maxValue;
        out[i] = static_cast<uint16_t>(v);
      }
      return t;
    }
    default: {
      const size_t key = KeyOf(32);
      auto t = std::make_unique<PixelTable>(32, key + 1);
      t->FillRandom(0, static_cast<size_t>(smallMax) + 1, rng, entries);
      t->FillRandom(key, key + 1, rng, entries);
      return t;
    }
  }
}

const PixelTable& SharedTrans(int depth) {
  static PixelTable* tables[3] = {};
  const int slot = depth == 8 ? 0 : depth == 16 ? 1 : 2;
  if (!tables[slot]) {
    switch (depth) {
      case 8:
        tables[0] = new PixelTable(8, 65536);
        tables[0]->FillHashed(0, 65536, 0x8);
        break;
      case 16: {
        const size_t n = (size_t{0xFFFF} << 8) + 0xFFFF + 1;
        tables[1] = new PixelTable(16, n);
        tables[1]->FillHashed(0, n, 0x16);
        break;
      }
      default: {
        const size_t key = KeyOf(32);
        const size_t n = (size_t{0xFF} << 8) + key + 1;
        tables[2] = new PixelTable(32, n);
        tables[2]->FillHashed(0, (size_t{0xFF} << 8) + 0x100, 0x32);
        tables[2]->FillHashed(key, n, 0x32);
        break;
      }
    }
  }
  return *tables[slot];
}

}  // namespace blitref
