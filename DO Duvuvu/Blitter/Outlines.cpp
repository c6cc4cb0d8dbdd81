#include "Outlines.h"

#include <algorithm>
#include <cstddef>

#include "Geometry.h"

namespace {

// The outline rule at one colour pixel: `at` gives a neighbour's source value
// and paint(row, column offset) writes the edge colour there.
template <class Source, class Paint>
inline void Neighbours(bool eight, Source source, Paint paint) {
  static constexpr int kOffsets[8][2] = {{-1, 0}, {0, -1}, {0, 1}, {1, 0},
                                         {-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
  const int count = eight ? 8 : 4;
  for (int i = 0; i < count; ++i) {
    if (source(kOffsets[i][0], kOffsets[i][1])) paint(kOffsets[i][0], kOffsets[i][1]);
  }
}

template <typename Pixel>
void OutlineBuffer(const Pixel* src, Pixel* dst, SInt16 w, SInt16 h, Pixel color, Pixel edge,
                   SInt8 eight) {
  if (!src || !dst || w < 1 || h < 1) return;
  const ptrdiff_t width = w;
  const ptrdiff_t last = static_cast<ptrdiff_t>(h - 1) * width - 2;
  for (ptrdiff_t i = width + 1; i <= last; ++i) {
    if (src[i] != color) continue;
    Neighbours(
        eight != 0, [&](int dy, int dx) { return src[i + dy * width + dx] != color; },
        [&](int dy, int dx) { dst[i + dy * width + dx] = edge; });
  }
}

Rect Relative(const Rect& r, const Rect& bounds) {
  return Rect{static_cast<SInt16>(r.top - bounds.top), static_cast<SInt16>(r.left - bounds.left),
              static_cast<SInt16>(r.bottom - bounds.top),
              static_cast<SInt16>(r.right - bounds.left)};
}

struct Edges {
  SInt32 top, left, bottom, right;
  SInt32 Width() const { return right - left; }
  SInt32 Height() const { return bottom - top; }
};

Edges EdgesOf(const Rect& r) { return Edges{r.top, r.left, r.bottom, r.right}; }

}  // namespace

void OutlineColor8(const UInt8* src, UInt8* dst, SInt16 w, SInt16 h, UInt8 color, UInt8 edge,
                   SInt8 eight) {
  OutlineBuffer<UInt8>(src, dst, w, h, color, edge, eight);
}

void OutlineColor16(const UInt16* src, UInt16* dst, SInt16 w, SInt16 h, UInt16 color,
                    UInt16 edge, SInt8 eight) {
  OutlineBuffer<UInt16>(src, dst, w, h, color, edge, eight);
}

void OutlineColor16Array(const NamedArray<UInt16>& src, NamedArray<UInt16>& dst, SInt16 w,
                         SInt16 h, UInt16 color, UInt16 edge, SInt8 eight) {
  if (w < 1 || h < 1) return;
  const UInt32 pixels = static_cast<UInt32>(w) * static_cast<UInt32>(h);
  if (src.count < pixels || dst.count < pixels) return;
  OutlineBuffer<UInt16>(src.data, dst.data, w, h, color, edge, eight);
}

void OutlinePixMap8(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect,
                    const Rect* clipRect, UInt8 color, UInt8 edge, UInt8 eight) {
  if (!src || !*src || !dst || !*dst || !srcRect || !dstRect || !clipRect) return;
  const PixMap& from = **src;
  const PixMap& to = **dst;
  Edges s = EdgesOf(Relative(*srcRect, from.bounds));
  Edges d = EdgesOf(Relative(*dstRect, to.bounds));
  Rect cut;
  IntersectRects(clipRect, &to.bounds, &cut);
  const Edges clip = EdgesOf(Relative(cut, to.bounds));
  // Grown by one: the ring that may be painted.
  s = Edges{s.top - 1, s.left - 1, s.bottom + 1, s.right + 1};
  d = Edges{d.top - 1, d.left - 1, d.bottom + 1, d.right + 1};
  if (s.Width() != d.Width() || s.Height() != d.Height()) return;
  // Each edge of either rectangle that the clip, or the source's bounds, moves
  // inward moves the same edge of the other by the same amount.
  const auto moveIn = [&](SInt32 Edges::*edge, SInt32 limit, bool low, Edges& own, Edges& other) {
    const SInt32 by = low ? limit - own.*edge : own.*edge - limit;
    if (by <= 0) return;
    own.*edge = limit;
    other.*edge += low ? by : -by;
  };
  moveIn(&Edges::top, clip.top, true, d, s);
  moveIn(&Edges::left, clip.left, true, d, s);
  moveIn(&Edges::bottom, clip.bottom, false, d, s);
  moveIn(&Edges::right, clip.right, false, d, s);
  if (d.Width() <= 0 || d.Height() <= 0) return;
  const SInt32 srcRowBytes = from.rowBytes & kPixMapRowBytesMask;
  const SInt32 srcWidth = std::min<SInt32>(from.bounds.right - from.bounds.left, srcRowBytes);
  moveIn(&Edges::top, 0, true, s, d);
  moveIn(&Edges::left, 0, true, s, d);
  moveIn(&Edges::bottom, from.bounds.bottom - from.bounds.top, false, s, d);
  moveIn(&Edges::right, srcWidth, false, s, d);
  // Shrunk again: the pixels examined.
  s = Edges{s.top + 1, s.left + 1, s.bottom - 1, s.right - 1};
  d = Edges{d.top + 1, d.left + 1, d.bottom - 1, d.right - 1};
  if (s.Width() <= 0 || s.Height() <= 0) return;

  const auto* source = reinterpret_cast<const UInt8*>(from.baseAddr);
  auto* dest = reinterpret_cast<UInt8*>(to.baseAddr);
  const ptrdiff_t dstRowBytes = to.rowBytes & kPixMapRowBytesMask;
  for (SInt32 y = 0; y < s.Height(); ++y) {
    const UInt8* srow = source + static_cast<ptrdiff_t>(s.top + y) * srcRowBytes + s.left;
    UInt8* drow = dest + static_cast<ptrdiff_t>(d.top + y) * dstRowBytes + d.left;
    for (SInt32 x = 0; x < s.Width(); ++x) {
      if (srow[x] != color) continue;
      Neighbours(
          eight != 0,
          [&](int dy, int dx) { return srow[dy * static_cast<ptrdiff_t>(srcRowBytes) + x + dx] != color; },
          [&](int dy, int dx) { drow[dy * dstRowBytes + x + dx] = edge; });
    }
  }
}
