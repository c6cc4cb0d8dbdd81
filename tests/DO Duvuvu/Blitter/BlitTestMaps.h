// Small helpers for the directed blitter tests, over the guard-banded maps of
// the blitter test support.
#pragma once

#include <memory>
#include <random>
#include <vector>

#include "BlitMaps.h"
#include "BlitTypes.h"

namespace blittest {

template <typename Pixel>
constexpr int kDepth = static_cast<int>(sizeof(Pixel) * 8);

// A map whose bounds start at (top 3, left 5), every pixel `fill`.
inline std::unique_ptr<blitref::TestMap> MakeMap(int depth, int width, int height, UInt32 fill) {
  std::mt19937 rng(1234);
  auto map = std::make_unique<blitref::TestMap>(depth, width, height, Point{3, 5}, rng);
  map->Fill(fill);
  return map;
}

// A rectangle relative to map's bounds, in the map's own coordinates.
inline Rect On(const blitref::TestMap& map, int left, int top, int right, int bottom) {
  const Rect& b = map.bounds();
  return Rect{static_cast<SInt16>(b.top + top), static_cast<SInt16>(b.left + left),
              static_cast<SInt16>(b.top + bottom), static_cast<SInt16>(b.left + right)};
}

// The pixels of a region, row by row.
inline std::vector<UInt32> Pixels(const blitref::TestMap& map, int left, int top, int right,
                                  int bottom) {
  std::vector<UInt32> out;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) out.push_back(map.Get(x, y));
  }
  return out;
}

}  // namespace blittest
