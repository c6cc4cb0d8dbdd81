#include "BlitSetup.h"

#include "Memory.h"

UInt32* ScaleStepBuffer = nullptr;

namespace {

UInt32 gScaleStepEntries = 0;
constexpr UInt32 kDefaultScaleStepEntries = 1024;

UInt32* MakeScaleStepBuffer(UInt32 entries) {
  DisposeScaleStepBuffer();
  ScaleStepBuffer = reinterpret_cast<UInt32*>(NewPtrBlockClear(entries * sizeof(UInt32)));
  gScaleStepEntries = ScaleStepBuffer ? entries : 0;
  return ScaleStepBuffer;
}

}  // namespace

UInt32* AllocScaleStepBuffer() { return MakeScaleStepBuffer(kDefaultScaleStepEntries); }

void DisposeScaleStepBuffer() {
  if (ScaleStepBuffer) {
    DisposePtrBlock(ScaleStepBuffer);
    ScaleStepBuffer = nullptr;
  }
  gScaleStepEntries = 0;
}

UInt32* EnsureScaleStepBuffer(UInt32 entries) {
  if (ScaleStepBuffer && gScaleStepEntries >= entries) return ScaleStepBuffer;
  if (entries < kDefaultScaleStepEntries) entries = kDefaultScaleStepEntries;
  // The old buffer stays until the new one exists.
  UInt32* grown = reinterpret_cast<UInt32*>(NewPtrBlockClear(entries * sizeof(UInt32)));
  if (!grown) return nullptr;
  DisposeScaleStepBuffer();
  ScaleStepBuffer = grown;
  gScaleStepEntries = entries;
  return grown;
}

UInt32 ScaleStepBufferEntries() { return ScaleStepBuffer ? gScaleStepEntries : 0; }

BlitOrientation OrientBlit(UInt8 flipH, UInt8 flipV, SInt8 rotation) {
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

namespace {

enum Side { kTop, kLeft, kBottom, kRight };

void MoveSide(Rect* r, Side side, SInt32 amount) {
  switch (side) {
    case kTop: r->top = static_cast<SInt16>(r->top + amount); break;
    case kLeft: r->left = static_cast<SInt16>(r->left + amount); break;
    case kBottom: r->bottom = static_cast<SInt16>(r->bottom - amount); break;
    case kRight: r->right = static_cast<SInt16>(r->right - amount); break;
  }
}

}  // namespace

void ClipAndOrientBlit(Rect* src, const Rect* dst, const Rect* clipped, Rect* mask, UInt8 flipH,
                       UInt8 flipV, SInt8 rotation, UInt32* startCorner, UInt32* pixelStep,
                       UInt32* rowUndo, UInt32* nextRow, UInt8* shrinkH, UInt8* shrinkV) {
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

void BuildScaleSteps(const Rect* src, const Rect* dst, const Rect* clipped, SInt32 rotation,
                     SInt32 pixelStep, UInt32* table, SInt32* rowError) {
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

  SInt32 e = ((clipped->left - dst->left) * sh) % w + sh / 2;
  table[0] = 0;
  if (w < sh) {
    for (SInt32 i = 0; i < n; ++i) {
      e += sh;
      SInt32 advance = 0;
      while (e >= w) {
        e -= w;
        advance += pixelStep;
      }
      table[i] = static_cast<UInt32>(advance);
    }
  } else {
    SInt32 k = 0;
    for (SInt32 i = 0; i < n; ++i) {
      e += sh;
      table[k] += 1;
      if (e >= w) {  // once per destination pixel: the documented lag
        ++k;
        e -= w;
        table[k] = 0;
      }
    }
  }
  *rowError = ((clipped->top - dst->top) * sv) % h + sv / 2;
}
