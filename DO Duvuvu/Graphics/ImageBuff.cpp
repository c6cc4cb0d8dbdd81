// ImageBuff: allocation, fills and loading PNG files into the top-left corner.
#include "ImageBuff.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdlib>

#include "PNGFiles.h"
#include "ResultCodes.h"

namespace {

bool HasPixels(const ImageBuff* buffer) { return buffer && buffer->pixels; }

// Fills do not clip: a rect reaching outside the buffer is the caller's error.
[[maybe_unused]] bool EmptyOrInside(const ImageBuff* buffer, const Rect* r) {
  if (r->right <= r->left || r->bottom <= r->top) return true;
  return r->left >= 0 && r->top >= 0 && r->right <= buffer->width && r->bottom <= buffer->height;
}

void FillRow(ImageBuff* buffer, SInt32 row, SInt32 left, SInt32 right, UInt32 color) {
  UInt32* line = buffer->pixels + static_cast<size_t>(row) * static_cast<size_t>(buffer->width);
  std::fill(line + left, line + right, color);
}

SInt32 FillWhole(ImageBuff* buffer, UInt32 color) {
  if (!HasPixels(buffer)) return kErrFailed;
  std::fill_n(buffer->pixels, buffer->size / 4, color);
  return 0;
}

UInt32* Row(ImageBuff* buffer, SInt32 row) {
  return buffer->pixels + static_cast<size_t>(row) * static_cast<size_t>(buffer->width);
}

// R, G, B, A bytes to packed words; source may be the row itself, since each
// pixel is read before its word is written.
void ConvertRow(const UInt8* source, UInt32* line, SInt32 count, UInt8 premultiply) {
  for (SInt32 column = 0; column < count; ++column, source += 4) {
    UInt32 r = source[0], g = source[1], b = source[2], a = source[3];
    if (premultiply) {
      r = r * a / 255;
      g = g * a / 255;
      b = b * a / 255;
    } else {
      a = 255;
    }
    line[column] = r | (g << 8) | (b << 16) | (a << 24);
  }
}

// Zero outside the used corner; the corner itself was just written.
void ClearAround(ImageBuff* buffer) {
  for (SInt32 row = 0; row < buffer->usedHeight; ++row) FillRow(buffer, row, buffer->usedWidth, buffer->width, 0);
  const size_t done = static_cast<size_t>(buffer->usedHeight) * static_cast<size_t>(buffer->width);
  std::fill(buffer->pixels + done, buffer->pixels + buffer->size / 4, 0u);
}

// The image decoded into the corner becomes packed words where it lies.
void ConvertInPlace(ImageBuff* buffer, UInt32 width, UInt32 height, UInt8 premultiply) {
  buffer->usedWidth = static_cast<SInt16>(width);
  buffer->usedHeight = static_cast<SInt16>(height);
  for (SInt32 row = 0; row < buffer->usedHeight; ++row) {
    UInt32* line = Row(buffer, row);
    ConvertRow(reinterpret_cast<const UInt8*>(line), line, buffer->usedWidth, premultiply);
  }
}

struct NewBlock {
  ImageBuff* buffer;
};

UInt8* PlaceInNewBlock(void* context, UInt32 width, UInt32 height, size_t* stride) {
  ImageBuff* buffer = static_cast<NewBlock*>(context)->buffer;
  // The reader refuses sides above 16384, so these powers of two fit an i16.
  AllocImageBuff(buffer, static_cast<SInt16>(std::bit_ceil(width)), static_cast<SInt16>(std::bit_ceil(height)));
  if (!buffer->pixels) return nullptr;
  *stride = buffer->rowBytes;
  return reinterpret_cast<UInt8*>(buffer->pixels);
}

// A fresh block is already clear, so the file is decoded straight into it and
// converted in place; a failure gives the buffer back as it was.
SInt32 LoadIntoNewBlock(ImageBuff* buffer, const char* path, UInt8 premultiply) {
  const ImageBuff before = *buffer;
  NewBlock block{buffer};
  UInt32 width = 0, height = 0;
  if (!ReadPNGFileIntoRows(path, PlaceInNewBlock, &block, &width, &height)) {
    if (buffer->pixels) FreeImageBuff(buffer);
    *buffer = before;
    return kErrFailed;
  }
  ConvertInPlace(buffer, width, height, premultiply);
  return 0;
}

// The corner of a buffer with a block, when the image fits it.
struct Corner {
  ImageBuff* buffer;
  bool tooLarge;
};

UInt8* PlaceInCorner(void* context, UInt32 width, UInt32 height, size_t* stride) {
  Corner* corner = static_cast<Corner*>(context);
  ImageBuff* buffer = corner->buffer;
  if (width > static_cast<UInt32>(buffer->width) || height > static_cast<UInt32>(buffer->height)) {
    corner->tooLarge = true;
    return nullptr;
  }
  *stride = buffer->rowBytes;
  return reinterpret_cast<UInt8*>(buffer->pixels);
}

}  // namespace

UInt32 PackImageBuffColor(float red, float green, float blue, float alpha) {
  auto channel = [](float value) { return static_cast<UInt32>(static_cast<SInt32>(value * 255.0f)) & 0xFF; };
  return channel(red) | (channel(green) << 8) | (channel(blue) << 16) | (channel(alpha) << 24);
}

void AllocImageBuff(ImageBuff* buffer, SInt16 width, SInt16 height) {
  if (!buffer) return;
  FreeImageBuff(buffer);
  buffer->width = width;
  buffer->height = height;
  const bool sized = width > 0 && height > 0;
  buffer->size = sized ? static_cast<UInt32>(width) * static_cast<UInt32>(height) * 4 : 0;
  buffer->rowBytes = sized ? static_cast<UInt32>(width) * 4 : 0;
  // A failed allocation leaves pixels nil; every operation then answers -1.
  buffer->pixels = sized ? static_cast<UInt32*>(std::calloc(buffer->size / 4, 4)) : nullptr;
}

SInt32 FreeImageBuff(ImageBuff* buffer) {
  if (!HasPixels(buffer)) return kErrFailed;
  std::free(buffer->pixels);
  buffer->pixels = nullptr;
  return 0;
}

SInt32 ReadyImageBuff(ImageBuff* buffer) {
  if (!buffer) return kErrFailed;
  if (!buffer->pixels && buffer->width > 0 && buffer->height > 0)
    AllocImageBuff(buffer, buffer->width, buffer->height);
  return buffer->pixels ? 0 : kErrFailed;
}

SInt32 ClearImageBuff(ImageBuff* buffer) { return FillWhole(buffer, 0); }

SInt32 FillImageBuffBlack(ImageBuff* buffer) { return FillWhole(buffer, 0xFF000000u); }

SInt32 FillImageBuffWhite(ImageBuff* buffer) { return FillWhole(buffer, 0xFFFFFFFFu); }

SInt32 FillImageBuffRect(ImageBuff* buffer, const Rect* r) {
  if (!HasPixels(buffer)) return kErrFailed;
  assert(EmptyOrInside(buffer, r));
  const UInt32 color = PackImageBuffColor(buffer->red, buffer->green, buffer->blue, buffer->alpha);
  for (SInt32 row = r->top; row < r->bottom; ++row) FillRow(buffer, row, r->left, r->right, color);
  return 0;
}

SInt32 FrameImageBuffRect(ImageBuff* buffer, const Rect* r) {
  if (!HasPixels(buffer)) return kErrFailed;
  assert(EmptyOrInside(buffer, r));
  if (r->right <= r->left || r->bottom <= r->top) return 0;
  const UInt32 color = PackImageBuffColor(buffer->red, buffer->green, buffer->blue, buffer->alpha);
  FillRow(buffer, r->top, r->left, r->right, color);
  FillRow(buffer, r->bottom - 1, r->left, r->right, color);
  for (SInt32 row = r->top + 1; row < r->bottom - 1; ++row) {
    FillRow(buffer, row, r->left, r->left + 1, color);
    FillRow(buffer, row, r->right - 1, r->right, color);
  }
  return 0;
}

SInt32 LoadPNGIntoImageBuff(ImageBuff* buffer, const char* path, float, UInt8 premultiply) {
  if (!buffer) return kErrFailed;
  if (!buffer->pixels) return LoadIntoNewBlock(buffer, path, premultiply);
  UInt32 width = 0, height = 0;
  UInt8* image = ReadPNGFile(path, &width, &height, 0, nullptr, nullptr);
  if (!image) return kErrFailed;
  buffer->usedHeight = static_cast<SInt16>(std::min<UInt32>(height, static_cast<UInt32>(buffer->height)));
  buffer->usedWidth = static_cast<SInt16>(std::min<UInt32>(width, static_cast<UInt32>(buffer->width)));
  for (SInt32 row = 0; row < buffer->usedHeight; ++row)
    ConvertRow(image + static_cast<size_t>(row) * width * 4, Row(buffer, row), buffer->usedWidth, premultiply);
  delete[] image;
  ClearAround(buffer);
  return 0;
}

SInt32 LoadPNGIntoClearedImageBuff(ImageBuff* buffer, const char* path, UInt8 premultiply) {
  if (!buffer || !buffer->pixels) return LoadPNGIntoImageBuff(buffer, path, 1.0f, premultiply);
  Corner corner{buffer, false};
  UInt32 width = 0, height = 0;
  if (!ReadPNGFileIntoRows(path, PlaceInCorner, &corner, &width, &height)) {
    // Cut at the edges: the copying load does that.
    if (corner.tooLarge && LoadPNGIntoImageBuff(buffer, path, 1.0f, premultiply) == 0) return 0;
    ClearImageBuff(buffer);
    return kErrFailed;
  }
  ConvertInPlace(buffer, width, height, premultiply);
  ClearAround(buffer);
  return 0;
}
