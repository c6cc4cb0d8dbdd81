// Copies between pixel maps: same-size and scaled copies through the blitter,
// the depth converters, and the 8-bit to one-bit copy.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "BlitDispatch.h"
#include "ColorTables.h"
#include "Errors.h"
#include "Memory.h"
#include "PixMapDrawing.h"
#include "Ports.h"

namespace {

constexpr SInt32 kDrewNothing = 1;

SInt32 Width(const Rect& r) { return r.right - r.left; }
SInt32 Height(const Rect& r) { return r.bottom - r.top; }

Rect Offset(const Rect& r, SInt32 dv, SInt32 dh) {
  return Rect{static_cast<SInt16>(r.top - dv), static_cast<SInt16>(r.left - dh), static_cast<SInt16>(r.bottom - dv),
              static_cast<SInt16>(r.right - dh)};
}

Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom), std::min(a.right, b.right)};
  if (r.bottom < r.top) r.bottom = r.top;
  if (r.right < r.left) r.right = r.left;
  return r;
}

template <typename Dispatcher>
void CallDispatcher(Dispatcher* dispatch, PixMapHandle src, PixMapHandle dst, const Rect* srcRect, const Rect* dstRect,
                    BlitMode mode) {
  dispatch(src, dst, nullptr, srcRect, dstRect, nullptr, mode, kBlitNoColor, nullptr, nullptr, 0, 0, 0, nullptr);
}

// Source and destination rects cut to the clip, both relative to their
// bounds; false when nothing is left or the sizes differ.
struct ConverterWalk {
  Rect src;
  Rect dst;
};

bool PrepareConverter(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                      const Rect* clip, ConverterWalk* walk) {
  if (!source || !destination || !sourceRect || !destRect || !clip) return false;
  const Rect& sb = (*source)->bounds;
  const Rect& db = (*destination)->bounds;
  Rect src = Offset(*sourceRect, sb.top, sb.left);
  Rect dst = Offset(*destRect, db.top, db.left);
  const Rect clipRel = Offset(Intersect(*clip, db), db.top, db.left);
  if (Width(src) != Width(dst) || Height(src) != Height(dst)) return false;
  const Rect cut = Intersect(dst, clipRel);
  if (Width(cut) <= 0 || Height(cut) <= 0) return false;
  src.top = static_cast<SInt16>(src.top + (cut.top - dst.top));
  src.left = static_cast<SInt16>(src.left + (cut.left - dst.left));
  src.bottom = static_cast<SInt16>(src.bottom - (dst.bottom - cut.bottom));
  src.right = static_cast<SInt16>(src.right - (dst.right - cut.right));
  // Reads stay inside the source as well.
  const Rect srcAll = {0, 0, static_cast<SInt16>(Height(sb)), static_cast<SInt16>(Width(sb))};
  const Rect srcCut = Intersect(src, srcAll);
  if (Width(srcCut) <= 0 || Height(srcCut) <= 0) return false;
  dst = Rect{static_cast<SInt16>(cut.top + (srcCut.top - src.top)), static_cast<SInt16>(cut.left + (srcCut.left - src.left)),
             static_cast<SInt16>(cut.bottom - (src.bottom - srcCut.bottom)),
             static_cast<SInt16>(cut.right - (src.right - srcCut.right))};
  walk->src = srcCut;
  walk->dst = dst;
  return true;
}

template <typename In, typename Out, typename Convert>
void WalkPixels(PixMapHandle source, PixMapHandle destination, const ConverterWalk& walk, Convert convert) {
  const PixMap* s = *source;
  const PixMap* d = *destination;
  const SInt32 srcRow = s->rowBytes & kPixMapRowBytesMask;
  const SInt32 dstRow = d->rowBytes & kPixMapRowBytesMask;
  const SInt32 width = Width(walk.dst);
  for (SInt32 y = 0; y < Height(walk.dst); ++y) {
    const auto* in = reinterpret_cast<const In*>(s->baseAddr + static_cast<ptrdiff_t>(walk.src.top + y) * srcRow) +
                     walk.src.left;
    auto* out = reinterpret_cast<Out*>(d->baseAddr + static_cast<ptrdiff_t>(walk.dst.top + y) * dstRow) +
                walk.dst.left;
    SInt32 x = 0;
    for (; x + 4 <= width; x += 4) {
      out[x] = convert(in[x]);
      out[x + 1] = convert(in[x + 1]);
      out[x + 2] = convert(in[x + 2]);
      out[x + 3] = convert(in[x + 3]);
    }
    for (; x < width; ++x) out[x] = convert(in[x]);
  }
}

// The colour of entry i of a table (black past its end), or nil table.
ColorSpecEntry TableColor(Handle table, int i) {
  auto ctab = reinterpret_cast<CTabHandle>(table);
  if (i >= CTableEntryCount(ctab)) return ColorSpecEntry{0, 0, 0, 0};
  return (*ctab)->table[i];
}

UInt32 TransferByte(const float* transfer, int channel, UInt16 component) {
  return static_cast<UInt32>(std::lround(transfer[channel * 256 + (component >> 8)] * 255.0f));
}

}  // namespace

SInt32 CopyPixMapBits(const PixMap* source, const PixMap* destination, const Rect* sourceRect, const Rect* destRect,
                      SInt16 mode, void*) {
  if (mode != kCopyModeCopy && mode != kCopyModeTransparent && mode != kCopyModeNothing) return kDrewNothing;
  const BlitMode blitMode = mode == kCopyModeTransparent ? 1 : static_cast<BlitMode>(mode);
  auto src = reinterpret_cast<PixMapHandle>(FindHandleOfBlock(source));
  auto dst = reinterpret_cast<PixMapHandle>(FindHandleOfBlock(destination));
  if (!src || !dst) return kDrewNothing;
  const SInt16 srcDepth = source->pixelDepth;
  const SInt16 dstDepth = destination->pixelDepth;

  if (Width(*sourceRect) == Width(*destRect) && Height(*sourceRect) == Height(*destRect)) {
    if (srcDepth == 8 && dstDepth == 32) {
      CopyBits8To32(src, dst, sourceRect, destRect, &destination->bounds, nullptr, nullptr);
      return 0;
    }
    if (srcDepth == 32 && dstDepth == 16) {
      CopyBits32To16(src, dst, sourceRect, destRect, &destination->bounds);
      return 0;
    }
    if (srcDepth != dstDepth || (srcDepth != 8 && srcDepth != 16 && srcDepth != 32)) return kDrewNothing;
    if (dstDepth == 8)
      CallDispatcher(COPY8, src, dst, sourceRect, destRect, blitMode);
    else if (dstDepth == 16)
      CallDispatcher(COPY16, src, dst, sourceRect, destRect, blitMode);
    else
      CallDispatcher(COPY32, src, dst, sourceRect, destRect, blitMode);
    return 0;
  }
  // A scaled copy reads the source at the destination's pixel size.
  if (srcDepth != dstDepth) return kDrewNothing;
  if (dstDepth == 8)
    CallDispatcher(SCALE8, src, dst, sourceRect, destRect, blitMode);
  else if (dstDepth == 16)
    CallDispatcher(SCALE16, src, dst, sourceRect, destRect, blitMode);
  else
    CallDispatcher(SCALE32, src, dst, sourceRect, destRect, blitMode);
  return 0;
}

void CopyBits8To8(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                  const Rect* clip) {
  ConverterWalk walk;
  if (!PrepareConverter(source, destination, sourceRect, destRect, clip, &walk)) return;
  WalkPixels<UInt8, UInt8>(source, destination, walk, [](UInt8 v) { return v; });
}

void CopyBits8To16(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                   const Rect* clip, Handle colorTable, const float* transfer) {
  ConverterWalk walk;
  if (!PrepareConverter(source, destination, sourceRect, destRect, clip, &walk)) return;
  if (!colorTable) colorTable = (*source)->colorTable;
  static UInt16 table[256];
  for (int i = 0; i < 256; ++i) {
    const ColorSpecEntry c = TableColor(colorTable, i);
    if (transfer)
      table[i] = static_cast<UInt16>(0x8000 | (TransferByte(transfer, 0, c.red) >> 3) << 10 |
                                     (TransferByte(transfer, 1, c.green) >> 3) << 5 |
                                     TransferByte(transfer, 2, c.blue) >> 3);
    else
      table[i] = static_cast<UInt16>((c.blue >> 11) | (c.green >> 11) << 5 | (c.red >> 11) << 10);
  }
  WalkPixels<UInt8, UInt16>(source, destination, walk, [](UInt8 v) { return table[v]; });
}

void CopyBits8To32(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                   const Rect* clip, Handle colorTable, const float* transfer) {
  ConverterWalk walk;
  if (!PrepareConverter(source, destination, sourceRect, destRect, clip, &walk)) return;
  if (!colorTable) colorTable = (*source)->colorTable;
  static UInt32 table[256];
  for (int i = 0; i < 256; ++i) {
    const ColorSpecEntry c = TableColor(colorTable, i);
    if (transfer)
      table[i] = 0xFF000000u | TransferByte(transfer, 0, c.red) << 16 | TransferByte(transfer, 1, c.green) << 8 |
                 TransferByte(transfer, 2, c.blue);
    else
      table[i] = static_cast<UInt32>((c.red >> 8) << 16 | (c.green >> 8) << 8 | (c.blue >> 8));
  }
  WalkPixels<UInt8, UInt32>(source, destination, walk, [](UInt8 v) { return table[v]; });
}

void CopyBits16To32(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                    const Rect* clip) {
  ConverterWalk walk;
  if (!PrepareConverter(source, destination, sourceRect, destRect, clip, &walk)) return;
  WalkPixels<UInt16, UInt32>(source, destination, walk, [](UInt16 v) {
    const UInt32 r = v >> 10 & 0x1F;
    const UInt32 g = v >> 5 & 0x1F;
    const UInt32 b = v & 0x1F;
    return 0xFF000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 3) | (g >> 2)) << 8 | ((b << 3) | (b >> 2));
  });
}

void CopyBits32To16(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                    const Rect* clip) {
  ConverterWalk walk;
  if (!PrepareConverter(source, destination, sourceRect, destRect, clip, &walk)) return;
  WalkPixels<UInt32, UInt16>(source, destination, walk, [](UInt32 x) {
    return static_cast<UInt16>((x >> 9 & 0x7C00) | (x >> 6 & 0x03E0) | (x >> 3 & 0x001F));
  });
}

void CopyBlack(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
               UInt8 mode) {
  if ((*destination)->pixelDepth != 1)
    FatalError("Destination must be a one bit PixMap (BitMap).", "CopyBlack()");
  if (Width(*sourceRect) != Width(*destRect) || Height(*sourceRect) != Height(*destRect))
    FatalError("Source & destination rects are not equal size.", "CopyBlack()");
  const PixMap* s = *source;
  const PixMap* d = *destination;
  // Clip to the destination, move the source start by what was cut, and keep
  // the reads inside the source.
  Rect dst = Intersect(*destRect, d->bounds);
  Rect src = Offset(dst, destRect->top - sourceRect->top, destRect->left - sourceRect->left);
  const Rect srcCut = Intersect(src, s->bounds);
  dst = Offset(srcCut, sourceRect->top - destRect->top, sourceRect->left - destRect->left);
  src = srcCut;
  if (Width(dst) <= 0 || Height(dst) <= 0 || mode > 1) return;
  const SInt32 srcRow = s->rowBytes & kPixMapRowBytesMask;
  const SInt32 dstRow = d->rowBytes & kPixMapRowBytesMask;
  const SInt32 width = Width(dst);
  for (SInt32 y = 0; y < Height(dst); ++y) {
    const UInt8* in = reinterpret_cast<const UInt8*>(s->baseAddr) +
                      static_cast<ptrdiff_t>(src.top - s->bounds.top + y) * srcRow + (src.left - s->bounds.left);
    UInt8* out = reinterpret_cast<UInt8*>(d->baseAddr) +
                 static_cast<ptrdiff_t>(dst.top - d->bounds.top + y) * dstRow + (dst.left - d->bounds.left) / 8;
    for (SInt32 group = 0; group < width; group += 32) {
      // Words in the BitMap's byte order: pixel 0 is the top bit of byte 0.
      const SInt32 n = std::min<SInt32>(32, width - group);
      const SInt32 bytes = (n + 7) / 8;
      UInt32 word = 0;
      if (mode == 1)
        for (SInt32 b = 0; b < bytes; ++b) word |= static_cast<UInt32>(out[b]) << (24 - 8 * b);
      for (SInt32 k = 0; k < n; ++k)
        if (in[group + k]) word |= 1u << (31 - k);
      for (SInt32 b = 0; b < bytes; ++b) out[b] = static_cast<UInt8>(word >> (24 - 8 * b));
      out += 4;
    }
  }
}
