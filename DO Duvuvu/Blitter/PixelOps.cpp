#include "PixelOps.h"

#include "BlitTypes.h"
#include "Errors.h"

constinit std::array<UInt32, 1024> RotateMaskTable = MakeRotateMaskTable();

void BuildRotateMaskTable() { RotateMaskTable = MakeRotateMaskTable(); }

namespace {

// The body number in the nil-map messages: 1, 2 or 4 bytes per pixel. A nil
// map has no depth, so it falls to the 32-bit body.
int BodyNumber(PixMapHandle pixMap) {
  if (!pixMap || !*pixMap) return 4;
  switch ((*pixMap)->pixelDepth) {
    case 8: return 1;
    case 16: return 2;
    default: return 4;
  }
}

template <typename Pixel>
const Pixel* RowStart(const PixMap& map, SInt32 row) {
  const UInt32 stride = static_cast<UInt32>(map.rowBytes & kPixMapRowBytesMask) / sizeof(Pixel);
  return reinterpret_cast<const Pixel*>(map.baseAddr) + static_cast<ptrdiff_t>(row) * stride;
}

// Calls visit(pixel widened to 32 bits) for every pixel, row by row.
template <typename Pixel, typename Visit>
void ForEachPixel(const PixMap& map, const Rect* r, Visit visit) {
  for (SInt32 row = r->top; row < r->bottom; ++row) {
    const Pixel* p = RowStart<Pixel>(map, row) + r->left;
    const Pixel* const end = RowStart<Pixel>(map, row) + r->right;
    for (; p < end; ++p) visit(static_cast<UInt32>(*p));
  }
}

template <typename Pixel>
SInt8 HasColor(const PixMap& map, const Rect* r, UInt32 color) {
  UInt32 count = 0;
  ForEachPixel<Pixel>(map, r, [&](UInt32 pixel) { count += pixel == color ? 1 : 0; });
  const SInt32 width = r->right - r->left;
  const SInt32 height = r->bottom - r->top;
  if (static_cast<SInt64>(count) == static_cast<SInt64>(width) * height) return 2;
  return count > 0 ? 1 : 0;
}

template <typename Pixel>
UInt32 ContainsColors(const PixMap& map, const Rect* r, UInt32 low, UInt32 high, UInt8* keyFree,
                      const UInt16* shadow) {
  UInt32 found = 0;
  UInt8 noKey = 1;
  ForEachPixel<Pixel>(map, r, [&](UInt32 pixel) {
    const bool qualifies =
        shadow ? (shadow[pixel] & 0x8000) != 0 : (low <= pixel && pixel <= high);
    if (qualifies) found = 1;
    if (pixel == kBlitKey<Pixel>) noKey = 0;
  });
  if (keyFree) *keyFree = noKey;
  return found;
}

}  // namespace

SInt8 RectHasColorName(PixMapHandle pixMap, const Rect* r, UInt32 color) {
  // The handle is tested before its depth is read.
  if (!pixMap || !*pixMap) FatalError("Tried to pass a nil pixmap to RectHasColorName4", "");
  const PixMap& map = **pixMap;
  switch (BodyNumber(pixMap)) {
    case 1: return HasColor<UInt8>(map, r, color);
    case 2: return HasColor<UInt16>(map, r, color);
    default: return HasColor<UInt32>(map, r, color);
  }
}

UInt32 RectContainsColorsName(PixMapHandle pixMap, const Rect* r, UInt32 low, UInt32 high,
                              UInt8* keyFree, const UInt16* shadow) {
  if (!pixMap || !*pixMap) FatalError("Tried to pass a nil pixmap to RectContainsColorsName4", "");
  const PixMap& map = **pixMap;
  switch (BodyNumber(pixMap)) {
    case 1: return ContainsColors<UInt8>(map, r, low, high, keyFree, nullptr);
    case 2: return ContainsColors<UInt16>(map, r, low, high, keyFree, shadow);
    default: return ContainsColors<UInt32>(map, r, low, high, keyFree, nullptr);
  }
}

namespace {

// Green moves to bits 21-25 so that every field has room below the next.
UInt32 Spread(UInt32 pixel) {
  const UInt32 green = RotateMask(6, 10);
  const UInt32 rotated = (pixel << 16) | (pixel >> 16);
  return (rotated & green) | (pixel & ~green & 0xFFFFFC1Fu);
}

UInt16 Unspread(UInt32 spread) {
  const UInt32 green = RotateMask(22, 26);
  const UInt32 rotated = (spread << 16) | (spread >> 16);
  return static_cast<UInt16>((spread & ~green & 0x7FFFu) | (rotated & green));
}

}  // namespace

void SetPixelTinted16(PixMapHandle pixMap, UInt32 column, SInt32 row, BlitTint tint) {
  const PixMap& map = **pixMap;
  const UInt32 rowPixels = static_cast<UInt32>(map.rowBytes & kPixMapRowBytesMask) / 2;
  UInt16* pixel = reinterpret_cast<UInt16*>(map.baseAddr) + column +
                  static_cast<ptrdiff_t>(row) * rowPixels;
  const UInt32 c = static_cast<UInt32>(tint.red) * 1024 + static_cast<UInt32>(tint.green) * 32 +
                   tint.blue;
  const SInt32 level = tint.level;
  if (level == 32) {
    *pixel = static_cast<UInt16>(c);
    return;
  }
  // Bit 15 is no colour field; spread it would carry into red.
  const UInt32 d = Spread(*pixel & 0x7FFFu);
  const UInt32 blended =
      ((((Spread(c) - d) * static_cast<UInt32>(level)) >> 5) + d) & 0x03E07C1Fu;
  *pixel = Unspread(blended);
}
