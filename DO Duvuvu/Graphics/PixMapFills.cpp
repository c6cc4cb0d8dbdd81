// Fills and frames of the current port through the COPY dispatchers.
#include <algorithm>

#include "BlitDispatch.h"
#include "PixMapDrawing.h"

namespace {

GWorldPtr CurrentPort() {
  GWorldPtr port = nullptr;
  GetCurrentPort(&port, nullptr);
  return port;
}

void FillWithColor(const Rect* rect, const ColorRGB& color) {
  PixMapHandle pixMap = CurrentPort()->portPixMap;
  const PixMap* p = *pixMap;
  const UInt32 format = p->pixelFormat ? p->pixelFormat : static_cast<UInt32>(p->pixelDepth);
  const UInt32 packed = PackColorForPixMap(&color, format);
  switch (p->pixelDepth) {
    case 8:
      COPY8(pixMap, pixMap, nullptr, rect, rect, nullptr, 0, packed, nullptr, nullptr, 0, 0, 0, nullptr);
      break;
    case 16:
      COPY16(pixMap, pixMap, nullptr, rect, rect, nullptr, 0, packed, nullptr, nullptr, 0, 0, 0, nullptr);
      break;
    default:
      COPY32(pixMap, pixMap, nullptr, rect, rect, nullptr, 0, packed, nullptr, nullptr, 0, 0, 0, nullptr);
      break;
  }
}

// Leading zeros of the 12 rows of each corner mask, by diameter 0..32.
constexpr UInt8 kCornerZeros[33][12] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},      {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},      {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},      {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},      {2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},      {2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {3, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},      {3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {4, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},      {4, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
    {4, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0},      {5, 3, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0},
    {5, 3, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0},      {6, 4, 2, 2, 1, 1, 0, 0, 0, 0, 0, 0},
    {6, 4, 3, 2, 1, 1, 0, 0, 0, 0, 0, 0},      {6, 4, 3, 2, 1, 1, 0, 0, 0, 0, 0, 0},
    {7, 5, 3, 2, 2, 1, 1, 0, 0, 0, 0, 0},      {7, 5, 4, 3, 2, 1, 1, 0, 0, 0, 0, 0},
    {7, 5, 4, 3, 2, 1, 1, 0, 0, 0, 0, 0},      {8, 6, 4, 3, 2, 2, 1, 1, 0, 0, 0, 0},
    {9, 6, 5, 4, 3, 2, 1, 1, 1, 0, 0, 0},      {9, 7, 5, 4, 3, 2, 2, 1, 1, 0, 0, 0},
    {9, 7, 5, 4, 3, 2, 2, 1, 1, 0, 0, 0},      {10, 7, 6, 4, 3, 3, 2, 1, 1, 1, 0, 0},
    {10, 8, 6, 5, 4, 3, 2, 2, 1, 1, 0, 0},     {11, 8, 6, 5, 4, 3, 2, 2, 1, 1, 1, 0},
    {11, 8, 7, 5, 4, 3, 3, 2, 1, 1, 1, 0},     {12, 9, 7, 6, 5, 4, 3, 2, 2, 1, 1, 1},
    {12, 9, 7, 6, 5, 4, 3, 2, 2, 1, 1, 1},
};
constexpr int kCornerCells = 12;

bool CornerCell(int diameter, int y, int x) { return x >= kCornerZeros[diameter][y]; }

void FillPixelInside(const Rect& frame, SInt32 v, SInt32 h) {
  if (v < frame.top || v >= frame.bottom || h < frame.left || h >= frame.right) return;
  const Rect pixel = {static_cast<SInt16>(v), static_cast<SInt16>(h), static_cast<SInt16>(v + 1),
                      static_cast<SInt16>(h + 1)};
  FillRectForeColor(&pixel);
}

Rect MakeRect(SInt32 top, SInt32 left, SInt32 bottom, SInt32 right) {
  return Rect{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(bottom),
              static_cast<SInt16>(right)};
}

}  // namespace

UInt32 PackColorForPixMap(const ColorRGB* color, UInt32 pixelFormat) {
  if (pixelFormat == 16)
    return static_cast<UInt32>((color->red >> 1 & 0x7C00) | (color->green >> 6 & 0x03E0) | (color->blue >> 11));
  if (pixelFormat == 32)
    return static_cast<UInt32>((color->red >> 8) << 16 | (color->green >> 8) << 8 | (color->blue >> 8));
  return 0;
}

void FillRectForeColor(const Rect* rect) { FillWithColor(rect, CurrentPort()->foreColor); }

void FillRectBackColor(const Rect* rect) { FillWithColor(rect, CurrentPort()->backColor); }

void FrameRectWithPen(const Rect* r) {
  const GWorldPtr port = CurrentPort();
  const SInt32 ph = port->penSize.v;
  const SInt32 pw = port->penSize.h;
  const Rect top = MakeRect(r->top, r->left, std::min<SInt32>(r->top + ph, r->bottom), r->right);
  const SInt32 sideTop = top.bottom;
  const SInt32 sideBottom = std::max<SInt32>(sideTop, r->bottom - ph);
  const Rect left = MakeRect(sideTop, r->left, sideBottom, std::min<SInt32>(r->left + pw, r->right));
  const Rect right = MakeRect(sideTop, std::max<SInt32>(r->right - pw, left.right), sideBottom, r->right);
  const Rect bottom = MakeRect(left.bottom, r->left, r->bottom, r->right);
  FillRectForeColor(&top);
  FillRectForeColor(&left);
  FillRectForeColor(&right);
  FillRectForeColor(&bottom);
}

void FrameRoundRectWithPen(const Rect* r, SInt16 diameter) {
  const GWorldPtr port = CurrentPort();
  const SInt32 ph = port->penSize.v;
  const SInt32 pw = port->penSize.h;
  const int d = std::clamp<int>(diameter, 0, 32);
  const int inner = std::clamp<int>(d - 2 * pw, 0, 32);

  bool mask[kCornerCells][kCornerCells];
  for (int y = 0; y < kCornerCells; ++y)
    for (int x = 0; x < kCornerCells; ++x) {
      mask[y][x] = CornerCell(d, y, x);
      if (y - ph >= 0 && x - pw >= 0 && y - ph < kCornerCells && x - pw < kCornerCells &&
          CornerCell(inner, y - ph, x - pw))
        mask[y][x] = false;
    }

  // Corner 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
  auto drawCorner = [&](int corner) {
    for (int y = 0; y < kCornerCells; ++y)
      for (int x = 0; x < kCornerCells; ++x) {
        if (!mask[y][x]) continue;
        const SInt32 v = corner < 2 ? r->top + y : r->bottom - 1 - y;
        const SInt32 h = corner % 2 == 0 ? r->left + x : r->right - 1 - x;
        FillPixelInside(*r, v, h);
      }
  };
  drawCorner(0);
  const Rect top = MakeRect(r->top, r->left + kCornerCells, r->top + ph, r->right - kCornerCells);
  FillRectForeColor(&top);
  drawCorner(1);
  const Rect left = MakeRect(r->top + kCornerCells, r->left, r->bottom - kCornerCells, r->left + pw);
  const Rect right = MakeRect(r->top + kCornerCells, r->right - pw, r->bottom - kCornerCells, r->right);
  FillRectForeColor(&left);
  FillRectForeColor(&right);
  drawCorner(2);
  const Rect bottom = MakeRect(r->bottom - ph, r->left + kCornerCells, r->bottom, r->right - kCornerCells);
  FillRectForeColor(&bottom);
  drawCorner(3);
}
