#include "PixelEffects.h"

#include <algorithm>
#include <utility>

#include "Clocks.h"
#include "ColorTables.h"
#include "DisplayHooks.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "Ports.h"

namespace {

SInt32 (*gSeedSource)() = GetTicks;

SInt32 Width(const Rect& r) { return r.right - r.left; }
SInt32 Height(const Rect& r) { return r.bottom - r.top; }

Rect Relative(const Rect& r, const Rect& bounds) {
  return Rect{static_cast<SInt16>(r.top - bounds.top), static_cast<SInt16>(r.left - bounds.left),
              static_cast<SInt16>(r.bottom - bounds.top), static_cast<SInt16>(r.right - bounds.left)};
}

Rect Intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
              std::min(a.right, b.right)};
}

bool IsEmpty(const Rect& r) { return r.bottom <= r.top || r.right <= r.left; }

// The rect cut to the map's bounds and made relative to them; cut first, so
// that far edges cannot wrap in 16 bits.
Rect InsideBounds(const Rect& r, const Rect& bounds) {
  const Rect cut = Intersect(r, bounds);
  if (IsEmpty(cut)) return Rect{0, 0, 0, 0};
  return Relative(cut, bounds);
}

UInt32 NextSeed(UInt32 seed) { return static_cast<UInt32>(seed * 331691u) % 199604759u + 65089u; }

void SetForeToGlobalEntry(int index) {
  const CTabHandle table = GlobalColorTable;
  if (index >= CTableEntryCount(table)) return;
  const ColorSpecEntry& entry = (*table)->table[index];
  const ColorRGB color = {entry.red, entry.green, entry.blue};
  SetForeColorRGB(&color);
}

}  // namespace

void SetDissolveSeedSource(SInt32 (*source)()) { gSeedSource = source ? source : GetTicks; }

void DissolveFill(PixMapHandle pixMap, const Rect* rect, const Rect* clip, UInt8 keep, const UInt8* lookup,
                  UInt8 density) {
  if (!pixMap || !rect) return;
  if (density == 0) {
    if (keep) return;
    GWorldPtr world = FindPixMapGWorld(pixMap);
    if (!world) return;
    PushPort();
    SetCurrentPort(world);
    SetForeToGlobalEntry(lookup ? lookup[255] : 255);
    FillRectForeColor(rect);
    SetForeToGlobalEntry(255);
    PopPort();
    return;
  }
  const PixMap& map = **pixMap;
  if (map.pixelDepth != 8 || !map.baseAddr) return;
  const Rect cut = Intersect(InsideBounds(*rect, map.bounds), InsideBounds(clip ? *clip : map.bounds, map.bounds));
  if (IsEmpty(cut)) return;
  const SInt32 rowBytes = map.rowBytes & kPixMapRowBytesMask;
  auto value = [lookup](UInt8 v) { return lookup ? lookup[v] : v; };
  UInt32 seed = static_cast<UInt32>(gSeedSource());
  for (SInt32 y = cut.top; y < cut.bottom; ++y) {
    auto* row = reinterpret_cast<UInt8*>(map.baseAddr) + static_cast<ptrdiff_t>(y) * rowBytes;
    for (SInt32 x = cut.left; x < cut.right; ++x) {
      seed = NextSeed(seed);
      if (density == 255) {
        row[x] = value(static_cast<UInt8>(seed));
      } else if ((seed & 0xFF) <= density) {
        seed = NextSeed(seed);
        row[x] = value(static_cast<UInt8>(seed));
      } else if (!keep) {
        row[x] = value(255);
      }
    }
  }
}

SInt32 CopyPixMapBitsRoundRect(const PixMap* source, const PixMap* destination, const Rect* sourceRect,
                               const Rect* destRect, SInt16 mode, SInt16, UInt8 withFrame) {
  // Recording has no effect here, so the frames meant for the region are not
  // painted: they would land in whatever port is current.
  void* region = CreateRegion();
  OpenRegionRecording();
  CloseRegionRecording(region);
  if (withFrame) {
    void* frame = CreateRegion();
    OpenRegionRecording();
    CloseRegionRecording(frame);
    CombineRegions(region, frame, region);
    DisposeRegion(frame);
  }
  const SInt32 result = CopyPixMapBits(source, destination, sourceRect, destRect, mode, region);
  DisposeRegion(region);
  return result;
}

void RotateRectQuarter(const Rect* in, Rect* out, SInt16 quarterTurns) {
  const Rect r = *in;
  if ((quarterTurns & 1) == 0) {
    *out = r;
    return;
  }
  const SInt32 width = Width(r);
  const SInt32 height = Height(r);
  const SInt32 left = r.left + width / 2 - height / 2;
  const SInt32 top = r.top + height / 2 - width / 2;
  *out = Rect{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(top + width),
              static_cast<SInt16>(left + height)};
}

void TransformSubRect(const Rect* bounds, const Rect* part, const Rect* target, Rect* out, UInt8 flipH, UInt8 flipV,
                      SInt8 rotation) {
  const SInt32 l = (part->left - bounds->left) - Width(*bounds) / 2;
  const SInt32 t = (part->top - bounds->top) - Height(*bounds) / 2;
  const SInt32 r = l + Width(*part);
  const SInt32 b = t + Height(*part);
  SInt32 top = t, left = l, bottom = b, right = r;
  bool h = flipH != 0;
  bool v = flipV != 0;
  switch (rotation) {
    case 1:
      top = -r, left = t, bottom = -l, right = b;
      std::swap(h, v);
      break;
    case 2:
      h = !h;
      v = !v;
      break;
    case 3:
      top = l, left = -b, bottom = r, right = -t;
      std::swap(h, v);
      break;
    default:
      break;
  }
  if (h) {
    const SInt32 oldLeft = left;
    left = -right;
    right = -oldLeft;
  }
  if (v) {
    const SInt32 oldTop = top;
    top = -bottom;
    bottom = -oldTop;
  }
  const SInt32 dh = target->left + Width(*target) / 2;
  const SInt32 dv = target->top + Height(*target) / 2;
  *out = Rect{static_cast<SInt16>(top + dv), static_cast<SInt16>(left + dh), static_cast<SInt16>(bottom + dv),
              static_cast<SInt16>(right + dh)};
}

void MirrorRect16(PixMapHandle pixMap, const Rect* rect) {
  if (!pixMap || !rect) return;
  const PixMap& map = **pixMap;
  if (map.pixelDepth != 16 || !map.baseAddr) return;
  const Rect cut = InsideBounds(*rect, map.bounds);
  if (IsEmpty(cut)) return;
  const SInt32 rowBytes = map.rowBytes & kPixMapRowBytesMask;
  for (SInt32 y = cut.top; y < cut.bottom; ++y) {
    auto* row = reinterpret_cast<UInt16*>(map.baseAddr + static_cast<ptrdiff_t>(y) * rowBytes) + cut.left;
    std::reverse(row, row + Width(cut));
  }
}
