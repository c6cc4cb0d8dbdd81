#include "LineOps.h"

#include <algorithm>
#include <cstring>

namespace {

template <typename Pixel>
void ReplaceColor(PixMapHandle pixMap, const Rect* r, Pixel oldColor, Pixel newColor) {
  if (!pixMap || !*pixMap) return;
  const PixMap& map = **pixMap;
  const SInt32 rowBytes = map.rowBytes & kPixMapRowBytesMask;
  const SInt32 rowPixels = rowBytes / static_cast<SInt32>(sizeof(Pixel));
  const SInt32 height = map.bounds.bottom - map.bounds.top;
  SInt32 top = 0, left = 0, bottom = height, right = map.bounds.right - map.bounds.left;
  if (r) {
    top = r->top;
    left = r->left;
    bottom = r->bottom;
    right = r->right;
  }
  // Only the pixel memory is scanned.
  top = std::max(top, 0);
  left = std::max(left, 0);
  bottom = std::min(bottom, height);
  right = std::min(right, rowPixels);
  if (top >= bottom || left >= right) return;
  for (SInt32 y = top; y < bottom; ++y) {
    UInt8* row = reinterpret_cast<UInt8*>(map.baseAddr) + static_cast<ptrdiff_t>(y) * rowBytes;
    for (SInt32 x = left; x < right; ++x) {
      UInt8* at = row + static_cast<ptrdiff_t>(x) * static_cast<ptrdiff_t>(sizeof(Pixel));
      Pixel p;
      std::memcpy(&p, at, sizeof p);
      if (p == oldColor) std::memcpy(at, &newColor, sizeof newColor);
    }
  }
}

// An 8-bit map's pixel at (x, y) of its own coordinates.
struct Plane {
  UInt8* base;
  SInt32 rowBytes;
  SInt32 top, left;
  UInt8* At(SInt32 x, SInt32 y) const {
    return base + static_cast<ptrdiff_t>(y - top) * rowBytes + (x - left);
  }
};

Plane PlaneOf(const PixMap& map) {
  return Plane{reinterpret_cast<UInt8*>(map.baseAddr), map.rowBytes & kPixMapRowBytesMask,
               map.bounds.top, map.bounds.left};
}

struct Box {
  SInt32 top, left, bottom, right;
};

// Cuts the box to the map's bounds and pixel memory.
void Cut(Box& box, const PixMap& map) {
  const SInt32 width = std::min<SInt32>(map.bounds.right - map.bounds.left,
                                        map.rowBytes & kPixMapRowBytesMask);
  box.top = std::max<SInt32>(box.top, map.bounds.top);
  box.left = std::max<SInt32>(box.left, map.bounds.left);
  box.bottom = std::min<SInt32>(box.bottom, map.bounds.bottom);
  box.right = std::min<SInt32>(box.right, map.bounds.left + width);
}

// Walks the thick line's points and calls put(x, y) for each inside the
// clip where the mask allows.
template <bool kMask, class Put>
void WalkThickLine(SInt32 x1, SInt32 y1, SInt32 x2, SInt32 y2, const Box& clip,
                   const Plane& mask, SInt32 thickness, Put put) {
  const SInt32 dx = x2 - x1, dy = y2 - y1;
  const SInt32 sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
  const SInt32 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  // Any first error in 0 .. max(adx, ady) - 1 reaches the far end; this
  // one mirrors the up-and-left lines for the down-and-left ones.
  const SInt32 e0 = dy == 0 ? 0 : dx >= 0 ? (adx + ady) / 2 : (ady > adx ? ady - adx : adx - ady) / 2;
  const bool leftward = x2 < x1, upward = y2 < y1;
  const SInt32 t1 = thickness - 1;
  // The pen's edges facing away from the direction of travel.
  const SInt32 baseX = leftward ? x1 + t1 : x1, baseY = upward ? y1 + t1 : y1;
  const SInt32 alongX = leftward ? -1 : 1, alongY = upward ? -1 : 1;
  const SInt32 stopX = leftward ? x2 - 1 : x2 + thickness;
  const SInt32 stopY = upward ? y2 - 1 : y2 + thickness;

  const auto line = [&](SInt32 x, SInt32 y) {
    SInt32 e = e0;
    while (x != stopX && y != stopY) {
      if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
        if (!kMask || *mask.At(x, y) == 0) put(x, y);
      }
      if (ady < adx) {
        x += sx;
        e += ady;
        if (e >= adx) {
          y += sy;
          e -= adx;
        }
      } else {
        y += sy;
        e += adx;
        if (e >= ady) {
          x += sx;
          e -= ady;
        }
      }
    }
  };
  for (SInt32 t = 0; t < thickness; ++t) line(baseX + alongX * t, baseY);
  for (SInt32 t = 1; t < thickness; ++t) line(baseX, baseY + alongY * t);
}

// The checks and the clip both line operations share; false: nothing to do.
bool LineClip(const PixMap& dst, const PixMap* src, PixMapHandle mask, const Rect* clip,
              Box& box) {
  if (!clip || (mask && !*mask)) return false;
  box = Box{clip->top, clip->left, clip->bottom, clip->right};
  Cut(box, dst);
  if (src) Cut(box, *src);
  if (mask) Cut(box, **mask);
  return box.top < box.bottom && box.left < box.right;
}

template <class Put>
void ThickLine(PixMapHandle mask, SInt16 x1, SInt16 y1, SInt16 x2, SInt16 y2, const Box& box,
               SInt8 thickness, Put put) {
  if (thickness <= 0 || (x1 == x2 && y1 == y2)) return;
  if (mask) {
    WalkThickLine<true>(x1, y1, x2, y2, box, PlaneOf(**mask), thickness, put);
  } else {
    WalkThickLine<false>(x1, y1, x2, y2, box, Plane{}, thickness, put);
  }
}

}  // namespace

void ReplaceColor8(PixMapHandle pixMap, const Rect* r, UInt8 oldColor, UInt8 newColor) {
  ReplaceColor<UInt8>(pixMap, r, oldColor, newColor);
}

void ReplaceColor16(PixMapHandle pixMap, const Rect* r, UInt16 oldColor, UInt16 newColor) {
  ReplaceColor<UInt16>(pixMap, r, oldColor, newColor);
}

void DrawThickLine8(PixMapHandle dst, PixMapHandle mask, SInt16 x1, SInt16 y1, SInt16 x2,
                    SInt16 y2, const Rect* clip, UInt8 color, SInt8 thickness) {
  if (!dst || !*dst) return;
  Box box;
  if (!LineClip(**dst, nullptr, mask, clip, box)) return;
  const Plane to = PlaneOf(**dst);
  ThickLine(mask, x1, y1, x2, y2, box, thickness,
            [&](SInt32 x, SInt32 y) { *to.At(x, y) = color; });
}

void CopyThickLine8(PixMapHandle src, PixMapHandle dst, PixMapHandle mask, SInt16 x1, SInt16 y1,
                    SInt16 x2, SInt16 y2, const Rect* clip, SInt8 thickness) {
  if (!src || !*src || !dst || !*dst) return;
  Box box;
  if (!LineClip(**dst, *src, mask, clip, box)) return;
  const Plane from = PlaneOf(**src), to = PlaneOf(**dst);
  ThickLine(mask, x1, y1, x2, y2, box, thickness,
            [&](SInt32 x, SInt32 y) { *to.At(x, y) = *from.At(x, y); });
}
