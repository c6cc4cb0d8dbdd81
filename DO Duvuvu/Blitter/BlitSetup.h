// Blit set-up shared by every dispatcher: orientation and proportional clip,
// the scale step table and its shared buffer.
#pragma once

#include "MacTypes.h"

// Walk codes and edge swaps for one orientation.
struct BlitOrientation {
  UInt32 startCorner;  // 0 top-left, 1 bottom-left, 2 bottom-right, 3 top-right
  UInt32 pixelStep;    // 0 right, 1 up a row, 2 left, 3 down a row
  UInt32 rowUndo;      // 0 -(w), 1 +(h) rows, 2 +(w), 3 -(h) rows
  UInt32 nextRow;      // 0 down a row, 1 right, 2 up a row, 3 left
  bool swapV;          // destination's top/bottom trim the source's far side
  bool swapH;          // likewise left/right
};




// The walk codes of ClipAndOrientBlit alone (rotation 0..3).
BlitOrientation OrientBlit(UInt8 flipH, UInt8 flipV, SInt8 rotation);

// Works out the walk codes and shrink flags, trims src by the share of dst that
// clipped removes and moves mask (when given) by the unscaled clip distance.
// All rectangles are relative to their maps' bounds.
void ClipAndOrientBlit(Rect* src, const Rect* dst, const Rect* clipped, Rect* mask, UInt8 flipH,
                       UInt8 flipV, SInt8 rotation, UInt32* startCorner, UInt32* pixelStep,
                       UInt32* rowUndo, UInt32* nextRow, UInt8* shrinkH, UInt8* shrinkV);

// Fills the horizontal step table for src (untrimmed) onto dst clipped to
// clipped (nil: unclipped) and gives the first vertical error. Needs the
// clipped width + 1 entries.
void BuildScaleSteps(const Rect* src, const Rect* dst, const Rect* clipped, SInt32 rotation,
                     SInt32 pixelStep, UInt32* table, SInt32* rowError);

// num / den and num % den for num >= 0, den > 0; small quotients (the usual
// scale ratios) by subtraction, which costs less than a division.
inline void DivideSmall(SInt32 num, SInt32 den, SInt32* whole, SInt32* rest) {
  if (num < 8 * den) {
    SInt32 q = 0;
    while (num >= den) {
      num -= den;
      ++q;
    }
    *whole = q;
    *rest = num;
  } else {
    *whole = num / den;
    *rest = num % den;
  }
}

// The one step table every scaled blit fills and reads; nil until made.
extern UInt32* ScaleStepBuffer;

// Remakes the buffer with 1024 zero-filled entries; nil when memory ran out.
UInt32* AllocScaleStepBuffer();
// Releases the buffer, when there is one, and forgets it.
void DisposeScaleStepBuffer();
// Makes sure the buffer holds at least `entries` entries, growing it (never
// shrinking) through the memory manager; nil when it cannot be made.
UInt32* EnsureScaleStepBuffer(UInt32 entries);
// Entries the present buffer holds (0 when there is none).
UInt32 ScaleStepBufferEntries();

// The bodies of OrientBlit, ClipAndOrientBlit and BuildScaleSteps, in a
// header so that each dispatcher's set-up step inlines them; the plain
// functions above call these.
namespace blitsetup {

// Entries the present buffer holds (kept by BlitSetup.cpp).
extern UInt32 gScaleStepEntries;

// EnsureScaleStepBuffer without the call when the buffer is big enough: the
// set-up of every small scaled sprite asks.
inline UInt32* EnsureScaleSteps(UInt32 entries) {
  if (ScaleStepBuffer && gScaleStepEntries >= entries) return ScaleStepBuffer;
  return EnsureScaleStepBuffer(entries);
}

inline BlitOrientation OrientBlit(UInt8 flipH, UInt8 flipV, SInt8 rotation) {
  UInt32 r = static_cast<UInt32>(rotation) & 3;
  // One mirror reverses the sense of the turn.
  if ((flipH != 0) != (flipV != 0) && (r & 1)) r ^= 2;
  BlitOrientation o{r, r, r, r, r > 1, r > 1};
  if (flipH) {
    o.startCorner = 3 - r;
    if (!(o.pixelStep & 1)) o.pixelStep ^= 2;
    if (!(o.rowUndo & 1)) o.rowUndo ^= 2;
    if (o.nextRow & 1) o.nextRow ^= 2;
    if (r & 1) o.swapV = !o.swapV; else o.swapH = !o.swapH;
  }
  if (flipV) {
    o.startCorner ^= 1;  // 0<->1, 2<->3
    if (o.pixelStep & 1) o.pixelStep ^= 2;
    if (o.rowUndo & 1) o.rowUndo ^= 2;
    if (!(o.nextRow & 1)) o.nextRow ^= 2;
    if (r & 1) o.swapH = !o.swapH; else o.swapV = !o.swapV;
  }
  return o;
}

enum Side { kTop, kLeft, kBottom, kRight };

inline void MoveSide(Rect* r, Side side, SInt32 amount) {
  switch (side) {
    case kTop: r->top = static_cast<SInt16>(r->top + amount); break;
    case kLeft: r->left = static_cast<SInt16>(r->left + amount); break;
    case kBottom: r->bottom = static_cast<SInt16>(r->bottom - amount); break;
    case kRight: r->right = static_cast<SInt16>(r->right - amount); break;
  }
}

[[gnu::always_inline]] inline void ClipAndOrientBlit(Rect* src, const Rect* dst,
                                                     const Rect* clipped, Rect* mask, UInt8 flipH,
                                                     UInt8 flipV, SInt8 rotation,
                                                     UInt32* startCorner, UInt32* pixelStep,
                                                     UInt32* rowUndo, UInt32* nextRow,
                                                     UInt8* shrinkH, UInt8* shrinkV) {
  const BlitOrientation o = OrientBlit(flipH, flipV, rotation);
  *startCorner = o.startCorner;
  *pixelStep = o.pixelStep;
  *rowUndo = o.rowUndo;
  *nextRow = o.nextRow;

  const bool odd = (static_cast<UInt32>(rotation) & 1) != 0;
  const SInt32 sw = src->right - src->left;
  const SInt32 sv0 = src->bottom - src->top;
  const SInt32 sh = odd ? sv0 : sw;
  const SInt32 sv = odd ? sw : sv0;
  const SInt32 w = dst->right - dst->left;
  const SInt32 h = dst->bottom - dst->top;
  *shrinkH = w < sh ? 1 : 0;
  *shrinkV = h < sv ? 1 : 0;

  // Source side each destination side trims: even turns keep the axis, odd
  // ones swap it; the swap flags pick the far side.
  const Side forLeft = odd ? (o.swapH ? kTop : kBottom) : (o.swapH ? kRight : kLeft);
  const Side forRight = odd ? (o.swapH ? kBottom : kTop) : (o.swapH ? kLeft : kRight);
  const Side forTop = odd ? (o.swapV ? kRight : kLeft) : (o.swapV ? kBottom : kTop);
  const Side forBottom = odd ? (o.swapV ? kLeft : kRight) : (o.swapV ? kTop : kBottom);

  if (clipped->left > dst->left) {
    const SInt32 d = clipped->left - dst->left;
    MoveSide(src, forLeft, d * sh / w);
    if (mask) MoveSide(mask, kLeft, d);
  }
  if (clipped->right < dst->right) {
    const SInt32 d = dst->right - clipped->right;
    MoveSide(src, forRight, d * sh / w);
    if (mask) MoveSide(mask, kRight, d);
  }
  if (clipped->top > dst->top) {
    const SInt32 d = clipped->top - dst->top;
    MoveSide(src, forTop, d * sv / h);
    if (mask) MoveSide(mask, kTop, d);
  }
  if (clipped->bottom < dst->bottom) {
    const SInt32 d = dst->bottom - clipped->bottom;
    MoveSide(src, forBottom, d * sv / h);
    if (mask) MoveSide(mask, kBottom, d);
  }
}

inline void BuildScaleSteps(const Rect* src, const Rect* dst, const Rect* clipped,
                            SInt32 rotation, SInt32 pixelStep, UInt32* table, SInt32* rowError) {
  if (!clipped) clipped = dst;
  SInt32 sh = src->right - src->left;
  SInt32 sv = src->bottom - src->top;
  if (rotation == 1 || rotation == 3) {
    const SInt32 t = sh;
    sh = sv;
    sv = t;
  }
  const SInt32 w = dst->right - dst->left;
  const SInt32 h = dst->bottom - dst->top;
  const SInt32 n = clipped->right - clipped->left;

  // (Unclipped edges, the common case, skip a division.)
  const SInt32 cutH = clipped->left - dst->left;
  SInt32 e = (cutH ? (cutH * sh) % w : 0) + sh / 2;
  table[0] = 0;
  if (w < sh) {
    // Once e is below w, each entry moves sh / w pixels plus one when the
    // remainder carries: the same as stepping e down by w one at a time.
    SInt32 whole, rest;
    DivideSmall(sh, w, &whole, &rest);
    SInt32 i = 0;
    for (; i < n; ++i) {
      // Whole ratios: once e is below w it stays there, so the rest of the
      // entries are all the same.
      if (rest == 0 && e >= 0 && e < w) break;
      SInt32 advance = 0;
      if (e >= 0 && e < w) {
        e += rest;
        advance = whole;
        if (e >= w) {
          e -= w;
          ++advance;
        }
      } else {
        e += sh;
        while (e >= w) {
          e -= w;
          ++advance;
        }
      }
      table[i] = static_cast<UInt32>(advance * pixelStep);
    }
    const UInt32 entry = static_cast<UInt32>(whole * pixelStep);
    for (; i < n; ++i) table[i] = entry;
  } else {
    // Counted in a register and stored once per entry, rather than added to
    // the entry in memory on every pixel.
    SInt32 k = 0;
    UInt32 count = 0;
    for (SInt32 i = 0; i < n; ++i) {
      e += sh;
      ++count;
      if (e >= w) {  // once per destination pixel: the documented lag
        table[k++] = count;
        count = 0;
        e -= w;
      }
    }
    table[k] = count;
  }
  const SInt32 cutV = clipped->top - dst->top;
  *rowError = (cutV ? (cutV * sv) % h : 0) + sv / 2;
}

}  // namespace blitsetup
