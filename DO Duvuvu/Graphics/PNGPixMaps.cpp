// PNG files and pixel maps: placing an image into a map, saving a map, and
// moving alpha between 8- and 32-bit maps.
#include <algorithm>
#include <cstring>
#include <string>

#include "Bundle.h"
#include "Errors.h"
#include "FileClass.h"
#include "FileSpec.h"
#include "Geometry.h"
#include "PNGFiles.h"

namespace {

// A pixel map's row length in bytes, the bit that marks it cleared.
size_t RowBytesOf(const PixMap* map) { return map->rowBytes & kPixMapRowBytesMask; }

UInt8* PixelAddress(const PixMap* map, SInt32 column, SInt32 row, SInt32 bytesPerPixel) {
  return reinterpret_cast<UInt8*>(map->baseAddr) + static_cast<size_t>(row) * RowBytesOf(map) +
         static_cast<size_t>(column) * static_cast<size_t>(bytesPerPixel);
}

SInt32 MapWidth(const PixMap* map) { return map->bounds.right - map->bounds.left; }
SInt32 MapHeight(const PixMap* map) { return map->bounds.bottom - map->bounds.top; }

void StorePixel(PixMap* map, SInt32 column, SInt32 row, const UInt8* source) {
  switch (map->pixelDepth) {
    case 16: {
      const UInt16 pixel = static_cast<UInt16>(((source[0] >> 3) << 10) | ((source[1] >> 3) << 5) | (source[2] >> 3));
      std::memcpy(PixelAddress(map, column, row, 2), &pixel, 2);
      break;
    }
    case 32: {
      const UInt32 pixel = (UInt32{source[0]} << 16) | (UInt32{source[1]} << 8) | source[2];
      std::memcpy(PixelAddress(map, column, row, 4), &pixel, 4);
      break;
    }
    case 8:
      *PixelAddress(map, column, row, 1) = source[0];
      break;
    default:
      break;
  }
}

// The folder's path, or the default folder's when it has none that exists.
std::string FolderPath(FileClass* folder) {
  char path[kPathBufferSize];
  path[0] = 0;
  if (folder) GetFilePath(path, folder->spec());
  if (path[0] && IsFolderPath(path)) return path;
  SInt16 volume = 0;
  UInt32 directory = 0;
  GetDefaultDirectory(nullptr, &volume, &directory);
  const char* fallback = directory ? GetDirectoryPath(directory) : nullptr;
  if (fallback) return fallback;
  return GetFullPathName(".", path, sizeof path) ? path : ".";
}

// The palette of an 8-bit map's colour table: seed (4 bytes), flags (2),
// size (2: entries - 1), then entries of value (2) and red, green, blue (2
// each). Answers the entry count, 0 when there is no table.
SInt32 ColorTablePalette(Handle table, UInt8* palette) {
  if (!table || !*table) return 0;
  const UInt8* bytes = reinterpret_cast<const UInt8*>(*table);
  SInt16 size = 0;
  std::memcpy(&size, bytes + 6, 2);
  SInt32 count = std::min<SInt32>(size + 1, 256);
  for (SInt32 i = 0; i < count; ++i) {
    UInt16 rgb[3];
    std::memcpy(rgb, bytes + 8 + i * 8 + 2, 6);
    for (int c = 0; c < 3; ++c) palette[i * 3 + c] = static_cast<UInt8>(rgb[c] >> 8);
  }
  return std::max<SInt32>(count, 0);
}

// r (or the bounds) clipped to the bounds and made relative to them.
bool LocalRect(const PixMap* map, const Rect* r, Rect* out) {
  Rect wanted = r ? *r : map->bounds;
  if (!IntersectRects(&wanted, &map->bounds, out)) return false;
  OffsetRectBy(out, static_cast<SInt16>(-map->bounds.left), static_cast<SInt16>(-map->bounds.top));
  return true;
}

template <typename Change>
void ChangeAlphaBytes(PixMapHandle pixMap, const Rect* r, Change change) {
  if (!pixMap || !*pixMap) return;
  const PixMap* map = *pixMap;
  Rect area;
  if (!LocalRect(map, r, &area)) return;
  for (SInt32 row = area.top; row < area.bottom; ++row)
    for (SInt32 column = area.left; column < area.right; ++column) {
      UInt8* b = PixelAddress(map, column, row, 1);
      *b = change(*b);
    }
}

// Walks r's rows and columns, used as indexes into both maps, inside both.
template <typename Visit>
void WalkAlphaPairs(PixMapHandle alpha8, PixMapHandle pixMap32, const Rect* r, Visit visit) {
  if (!alpha8 || !*alpha8 || !pixMap32 || !*pixMap32) return;
  const PixMap* small = *alpha8;
  const PixMap* wide = *pixMap32;
  const Rect area = r ? *r : small->bounds;
  const SInt32 top = std::max<SInt32>(area.top, 0);
  const SInt32 left = std::max<SInt32>(area.left, 0);
  const SInt32 bottom = std::min({SInt32{area.bottom}, MapHeight(small), MapHeight(wide)});
  const SInt32 right = std::min({SInt32{area.right}, MapWidth(small), MapWidth(wide)});
  for (SInt32 row = top; row < bottom; ++row)
    for (SInt32 column = left; column < right; ++column)
      visit(PixelAddress(small, column, row, 1), PixelAddress(wide, column, row, 4));
}

}  // namespace

Rect PlacePNG_Point(const char* path, PixMapHandle pixMap, SInt16 h, SInt16 v, Rect* outRect) {
  if (!pixMap || !*pixMap) FatalError("The pixmap is nil.", "PlacePNG_Point()");
  PixMap* map = *pixMap;
  UInt8 palette[kPNGPaletteBytes];
  SInt32 paletteCount = 0;
  UInt32 width = 0, height = 0;
  const UInt8 eightBit = map->pixelDepth <= 8;
  UInt8* pixels = ReadPNGFile(path, &width, &height, eightBit, palette, &paletteCount);
  Rect covered = {0, 0, 0, 0};
  if (!pixels) return covered;
  const SInt32 pixelBytes = eightBit ? 1 : 4;
  // Image columns and rows that land inside the bounds.
  const SInt32 firstX = std::max<SInt32>(0, map->bounds.left - h);
  const SInt32 endX = std::min<SInt32>(static_cast<SInt32>(width), map->bounds.right - h);
  const SInt32 firstY = std::max<SInt32>(0, map->bounds.top - v);
  const SInt32 endY = std::min<SInt32>(static_cast<SInt32>(height), map->bounds.bottom - v);
  for (SInt32 y = firstY; y < endY; ++y)
    for (SInt32 x = firstX; x < endX; ++x)
      StorePixel(map, h + x - map->bounds.left, v + y - map->bounds.top,
                 pixels + (static_cast<size_t>(y) * width + static_cast<size_t>(x)) * pixelBytes);
  covered.top = v;
  covered.left = h;
  covered.bottom = static_cast<SInt16>(v + static_cast<SInt32>(height));
  covered.right = static_cast<SInt16>(h + static_cast<SInt32>(width));
  if (outRect) *outRect = covered;
  delete[] pixels;
  return covered;
}

UInt8 SavePixMapAsPNG(const char* name, PixMapHandle pixMap, const Rect* r, FileClass* folder, UInt8 eightBit,
                      UInt8 noPalette) {
  if (!name || !pixMap || !*pixMap) return 0;
  const PixMap* map = *pixMap;
  const SInt16 depth = map->pixelDepth;
  if (depth != 8 && depth != 16 && depth != 32) return 0;
  // Only what lies inside the map is read.
  Rect area;
  Rect wanted = r ? *r : map->bounds;
  IntersectRects(&wanted, &map->bounds, &area);
  const size_t w = static_cast<size_t>(std::max(area.right - area.left, 0));
  const size_t h = static_cast<size_t>(std::max(area.bottom - area.top, 0));
  const bool eightOut = eightBit && depth <= 8;
  const size_t pixelBytes = eightOut ? 1 : 4;

  std::string path = FolderPath(folder) + GetPathSeparatorString() + name;
  if (!std::strstr(name, ".png")) path += ".png";

  UInt8* block = new UInt8[std::max<size_t>(w * h * pixelBytes, 1)];
  UInt8 palette[kPNGPaletteBytes];
  SInt32 paletteCount = 0;
  if (eightOut && !noPalette) paletteCount = ColorTablePalette(map->colorTable, palette);
  UInt8* out = block;
  for (size_t y = 0; y < h; ++y) {
    const SInt32 row = area.top - map->bounds.top + static_cast<SInt32>(y);
    for (size_t x = 0; x < w; ++x) {
      const SInt32 column = area.left - map->bounds.left + static_cast<SInt32>(x);
      if (depth == 8) {
        const UInt8 b = *PixelAddress(map, column, row, 1);
        if (eightOut) {
          *out++ = b;
          continue;
        }
        out[0] = out[1] = out[2] = b;
      } else if (depth == 16) {
        UInt16 pixel;
        std::memcpy(&pixel, PixelAddress(map, column, row, 2), 2);
        const UInt8 fields[3] = {static_cast<UInt8>((pixel >> 10) & 31), static_cast<UInt8>((pixel >> 5) & 31),
                                 static_cast<UInt8>(pixel & 31)};
        for (int c = 0; c < 3; ++c) out[c] = static_cast<UInt8>((fields[c] << 3) | (fields[c] >> 2));
      } else {
        UInt32 pixel;
        std::memcpy(&pixel, PixelAddress(map, column, row, 4), 4);
        out[0] = static_cast<UInt8>(pixel >> 16);
        out[1] = static_cast<UInt8>(pixel >> 8);
        out[2] = static_cast<UInt8>(pixel);
      }
      out[3] = 255;
      out += 4;
    }
  }
  const UInt8 written = WritePNGFile(path.c_str(), block, static_cast<UInt32>(w), static_cast<UInt32>(h), eightOut,
                                     paletteCount > 0 ? palette : nullptr, paletteCount);
  delete[] block;
  return written;
}

void AlphaTo32Levels(PixMapHandle pixMap, const Rect* r) {
  ChangeAlphaBytes(pixMap, r, [](UInt8 b) { return static_cast<UInt8>(b * 32 / 255); });
}

void AlphaFrom32Levels(PixMapHandle pixMap, const Rect* r) {
  ChangeAlphaBytes(pixMap, r, [](UInt8 b) { return static_cast<UInt8>((b * 255) >> 5); });
}

void CopyAlphaToPixMap32(PixMapHandle alpha8, PixMapHandle pixMap32, const Rect* r) {
  WalkAlphaPairs(alpha8, pixMap32, r, [](UInt8* alpha, UInt8* pixel) {
    UInt32 value;
    std::memcpy(&value, pixel, 4);
    value = (value & 0x00FFFFFFu) | (UInt32{*alpha} << 24);
    std::memcpy(pixel, &value, 4);
  });
}

void CopyAlphaFromPixMap32(PixMapHandle pixMap32, PixMapHandle alpha8, const Rect* r) {
  WalkAlphaPairs(alpha8, pixMap32, r, [](UInt8* alpha, UInt8* pixel) {
    UInt32 value;
    std::memcpy(&value, pixel, 4);
    *alpha = static_cast<UInt8>(value >> 24);
  });
}
