#include "RegionCopies.h"

#include <algorithm>
#include <cstddef>

#include "Clocks.h"
#include "Geometry.h"

namespace {

void LeaveColor(UInt8, ColorRGB*) {}

struct Area {
  const UInt8* pixels;  // top-left pixel
  ptrdiff_t rowBytes;
};

Rect Relative(const Rect& r, const Rect& bounds) {
  return Rect{static_cast<SInt16>(r.top - bounds.top), static_cast<SInt16>(r.left - bounds.left),
              static_cast<SInt16>(r.bottom - bounds.top),
              static_cast<SInt16>(r.right - bounds.left)};
}

// The pixels of a rectangle relative to the map's bounds, moved edge by edge
// as the destination moved; false when they leave the map.
bool Follow(const PixMap& map, const Rect& own, const Rect& dst, const Rect& kept, Area& area) {
  const SInt32 top = own.top + (kept.top - dst.top);
  const SInt32 left = own.left + (kept.left - dst.left);
  const SInt32 bottom = own.bottom + (kept.bottom - dst.bottom);
  const SInt32 right = own.right + (kept.right - dst.right);
  const SInt32 rowBytes = map.rowBytes & kPixMapRowBytesMask;
  const SInt32 width = std::min<SInt32>(map.bounds.right - map.bounds.left, rowBytes);
  if (top < 0 || left < 0 || bottom > map.bounds.bottom - map.bounds.top || right > width) {
    return false;
  }
  area = Area{reinterpret_cast<const UInt8*>(map.baseAddr) +
                  static_cast<ptrdiff_t>(top) * rowBytes + left,
              rowBytes};
  return true;
}

// The set-up the three copies share; draw(d, s, b, width) then runs once per
// row. background may be nil.
template <class Draw>
bool RegionCopy(PixMapHandle src, PixMapHandle dst, PixMapHandle background, const Rect* srcRect,
                const Rect* dstRect, const Rect* backgroundRect, const Rect* clipRect, Draw draw) {
  if (!src || !*src || !dst || !*dst || !srcRect || !dstRect || !clipRect) return false;
  if (background && (!*background || !backgroundRect)) return false;
  const PixMap& to = **dst;
  const Rect s = Relative(*srcRect, (**src).bounds);
  const Rect d = Relative(*dstRect, to.bounds);
  Rect clip;
  if (!IntersectRects(clipRect, &to.bounds, &clip)) return false;
  clip = Relative(clip, to.bounds);
  if (s.right - s.left != d.right - d.left || s.bottom - s.top != d.bottom - d.top) return false;
  Rect kept;
  if (!IntersectRects(&clip, &d, &kept)) return false;
  Area from, under{nullptr, 0};
  if (!Follow(**src, s, d, kept, from)) return false;
  if (background) {
    const Rect b = Relative(*backgroundRect, (**background).bounds);
    if (!Follow(**background, b, d, kept, under)) return false;
  }
  Area into;
  if (!Follow(to, d, d, kept, into)) return false;
  UInt8* out = const_cast<UInt8*>(into.pixels);
  const SInt32 width = kept.right - kept.left;
  for (SInt32 y = 0; y < kept.bottom - kept.top; ++y) {
    draw(out + y * into.rowBytes, from.pixels + y * from.rowBytes,
         under.pixels ? under.pixels + y * under.rowBytes : nullptr, width);
  }
  return true;
}

UInt32 NextSeed(UInt32 seed) { return (seed * 331691u) % 199604759u + 65089u; }

}  // namespace

ColorIndexConverter AverageColorConverter = &LeaveColor;

void CopyWithBackground8(PixMapHandle src, PixMapHandle dst, PixMapHandle background,
                         const Rect* srcRect, const Rect* dstRect, const Rect* backgroundRect,
                         const Rect* clip) {
  if (!background) return;
  RegionCopy(src, dst, background, srcRect, dstRect, backgroundRect, clip,
             [](UInt8* d, const UInt8* s, const UInt8* b, SInt32 n) {
               for (SInt32 x = 0; x < n; ++x) d[x] = s[x] ? s[x] : b[x];
             });
}

void CopyThroughTwoTables8(PixMapHandle src, PixMapHandle dst, const Rect* srcRect,
                           const Rect* dstRect, const Rect* clip, const UInt8* first,
                           const UInt8* second) {
  if (!first || !second) return;
  RegionCopy(src, dst, nullptr, srcRect, dstRect, nullptr, clip,
             [&](UInt8* d, const UInt8* s, const UInt8*, SInt32 n) {
               for (SInt32 x = 0; x < n; ++x) d[x] = second[first[s[x]]];
             });
}

void DissolveCopy8(PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect,
                   const Rect* clip, UInt8 mode, const UInt8* table, UInt8 level) {
  if (level == 0) return;
  if (mode > 2 || (mode == 2 && !table)) return;
  bool seeded = false;
  UInt32 seed = 0;
  RegionCopy(src, dst, nullptr, srcRect, dstRect, nullptr, clip,
             [&](UInt8* d, const UInt8* s, const UInt8*, SInt32 n) {
               // Taken once the clip has passed.
               if (!seeded) {
                 seed = static_cast<UInt32>(GetTicks());
                 seeded = true;
               }
               for (SInt32 x = 0; x < n; ++x) {
                 const UInt8 value = table ? table[s[x]] : s[x];
                 const bool candidate = mode == 0 || (mode == 1 ? s[x] != 0 : value != 0);
                 if (!candidate) continue;
                 if (level != 255) {
                   seed = NextSeed(seed);
                   if ((seed & 255) > level) continue;
                 }
                 d[x] = value;
               }
             });
}

void AverageColor8(PixMapHandle pixMap, const Rect* r, UInt16 out[3], UInt8 skipZero) {
  if (!out) return;
  out[0] = out[1] = out[2] = 0;
  if (!pixMap || !*pixMap || !r) return;
  const PixMap& map = **pixMap;
  // Cut before making it relative, so that far edges cannot wrap in 16 bits.
  Rect inside;
  if (!IntersectRects(r, &map.bounds, &inside)) return;
  const Rect rel = Relative(inside, map.bounds);
  const SInt32 rowBytes = map.rowBytes & kPixMapRowBytesMask;
  // Only the pixel memory is read.
  const SInt32 top = std::max<SInt32>(rel.top, 0);
  const SInt32 left = std::max<SInt32>(rel.left, 0);
  const SInt32 bottom = std::min<SInt32>(rel.bottom, map.bounds.bottom - map.bounds.top);
  const SInt32 right = std::min<SInt32>(
      rel.right, std::min<SInt32>(map.bounds.right - map.bounds.left, rowBytes));
  ColorRGB color{0, 0, 0};
  // 65,537 white pixels already pass 32 bits.
  UInt64 red = 0, green = 0, blue = 0, count = 0;
  for (SInt32 y = top; y < bottom; ++y) {
    const UInt8* row = reinterpret_cast<const UInt8*>(map.baseAddr) +
                       static_cast<ptrdiff_t>(y) * rowBytes;
    for (SInt32 x = left; x < right; ++x) {
      if (skipZero && row[x] == 0) continue;
      AverageColorConverter(row[x], &color);
      red += color.red;
      green += color.green;
      blue += color.blue;
      ++count;
    }
  }
  if (count == 0) return;
  out[0] = static_cast<UInt16>(red / count);
  out[1] = static_cast<UInt16>(green / count);
  out[2] = static_cast<UInt16>(blue / count);
}
