// The blitter benchmark's buffers and data sets, shared by its sections:
// aligned pixel buffers wrapped as a PixMap, an SDL surface and a pixman
// image; seeded fills; the section hooks of the extended families.
#pragma once

#include <SDL.h>
#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "BlitReference.h"
#include "PixMap.h"

namespace blitbench {

// ---------------------------------------------------------------- buffers

// 32-byte aligned pixels (8-bit ones are an alpha plane: an a8 image), row bytes a multiple of 32, wrapped (untimed) as a
// PixMap, an SDL surface and a pixman image without copying.
class Buffer {
 public:
  Buffer(int width, int height, int depth) : width_(width), height_(height), depth_(depth) {
    rowBytes_ = (static_cast<size_t>(width) * static_cast<size_t>(depth / 8) + 31) & ~size_t{31};
    bytes_ = rowBytes_ * static_cast<size_t>(height);
    pixels_ = static_cast<uint8_t*>(std::aligned_alloc(32, bytes_));
    std::memset(pixels_, 0, bytes_);
    pixmap_.baseAddr = reinterpret_cast<Ptr>(pixels_);
    pixmap_.rowBytes = static_cast<UInt16>(rowBytes_ | kPixMapRowBytesFlag);
    pixmap_.bounds = Rect{0, 0, static_cast<SInt16>(height), static_cast<SInt16>(width)};
    pixmap_.version = 1;
    pixmap_.pixelDepth = static_cast<SInt16>(depth);
    pixmap_.cmpCount = 1;
    pixmap_.cmpSize = depth == 16 ? 5 : 8;
    pixmap_.pixelFormat = static_cast<UInt32>(depth);
    master_ = &pixmap_;
    surface_ = SDL_CreateRGBSurfaceWithFormatFrom(pixels_, width, height, depth, static_cast<int>(rowBytes_),
                                                  depth == 8    ? SDL_PIXELFORMAT_INDEX8
                                                  : depth == 16 ? SDL_PIXELFORMAT_RGB555
                                                                : SDL_PIXELFORMAT_RGB888);
    SDL_SetSurfaceBlendMode(surface_, SDL_BLENDMODE_NONE);
    SDL_SetSurfaceRLE(surface_, 0);
    image_ = pixman_image_create_bits(depth == 8 ? PIXMAN_a8 : depth == 16 ? PIXMAN_x1r5g5b5 : PIXMAN_x8r8g8b8, width, height,
                                      reinterpret_cast<uint32_t*>(pixels_), static_cast<int>(rowBytes_));
  }
  ~Buffer() {
    pixman_image_unref(image_);
    SDL_FreeSurface(surface_);
    std::free(pixels_);
  }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  int depth() const { return depth_; }
  size_t rowBytes() const { return rowBytes_; }
  uint8_t* pixels() { return pixels_; }
  uint8_t* row(int y) { return pixels_ + static_cast<size_t>(y) * rowBytes_; }
  PixMapHandle handle() { return &master_; }
  SDL_Surface* surface() { return surface_; }
  pixman_image_t* image() { return image_; }
  blitref::MapView view() { return blitref::MapView{pixels_, pixmap_.rowBytes, pixmap_.bounds}; }

  uint32_t Get(int x, int y) const {
    uint32_t v = 0;
    std::memcpy(&v, pixels_ + static_cast<size_t>(y) * rowBytes_ + static_cast<size_t>(x) * (depth_ / 8),
                static_cast<size_t>(depth_ / 8));
    return v;
  }
  void Set(int x, int y, uint32_t v) {
    std::memcpy(pixels_ + static_cast<size_t>(y) * rowBytes_ + static_cast<size_t>(x) * (depth_ / 8), &v,
                static_cast<size_t>(depth_ / 8));
  }
  void CopyFrom(const Buffer& other) { std::memcpy(pixels_, other.pixels_, bytes_); }

 private:
  int width_, height_, depth_;
  size_t rowBytes_ = 0, bytes_ = 0;
  uint8_t* pixels_ = nullptr;
  PixMap pixmap_{};
  PixMapPtr master_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  pixman_image_t* image_ = nullptr;
};

// Pixel data keeps the unused top bits clear (bit 15, or the top byte).
inline uint32_t RandomColour(int depth, std::mt19937& rng) {
  return depth == 16 ? static_cast<uint32_t>(rng() & 0x7FFF) : static_cast<uint32_t>(rng() & 0x00FFFFFF);
}

inline void FillRandom(Buffer& b, std::mt19937& rng) {
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) b.Set(x, y, RandomColour(b.depth(), rng));
}

// Round shapes of random colours on the key.
inline void FillShapes(Buffer& b, std::mt19937& rng) {
  const uint32_t key = blitref::KeyOf(b.depth());
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) b.Set(x, y, key);
  const int shapes = std::max(1, b.width() * b.height() / 300);
  for (int s = 0; s < shapes; ++s) {
    const int cx = static_cast<int>(rng() % static_cast<unsigned>(b.width()));
    const int cy = static_cast<int>(rng() % static_cast<unsigned>(b.height()));
    const int r = 2 + static_cast<int>(rng() % static_cast<unsigned>(std::max(3, std::min(b.width(), b.height()) / 4)));
    uint32_t colour = RandomColour(b.depth(), rng);
    if (colour == key) colour ^= 1;
    for (int y = std::max(0, cy - r); y < std::min(b.height(), cy + r); ++y)
      for (int x = std::max(0, cx - r); x < std::min(b.width(), cx + r); ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r) b.Set(x, y, colour);
  }
}

// About a quarter of the pixels the key, scattered.
inline void FillScattered(Buffer& b, std::mt19937& rng) {
  const uint32_t key = blitref::KeyOf(b.depth());
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) {
      uint32_t v = RandomColour(b.depth(), rng);
      if (v == key) v ^= 1;
      b.Set(x, y, rng() % 4 == 0 ? key : v);
    }
}

inline Rect MakeRect(int x, int y, int w, int h) {
  return Rect{static_cast<SInt16>(y), static_cast<SInt16>(x), static_cast<SInt16>(y + h), static_cast<SInt16>(x + w)};
}

// The extended families' section (BlitterBenchX.cpp): its benchmarks, and its
// rows of the closing table from the medians (seconds) and errors by
// scenario and implementation; false when a target is missed.
using ResultTable = std::map<std::string, std::map<std::string, double>>;
using NoteTable = std::map<std::string, std::map<std::string, std::string>>;
void AddScenariosX();
bool ReportX(std::FILE* out, ResultTable& seconds, NoteTable& errors, NoteTable& labels);

}  // namespace blitbench
