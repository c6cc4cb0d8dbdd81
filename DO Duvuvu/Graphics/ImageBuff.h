// ImageBuff: a plain block of 32-bit RGBA pixels in memory, where PNG images
// and text are drawn before they become textures.
#pragma once

#include "MacTypes.h"

// Pixels are u32, red in bits 0-7, green 8-15, blue 16-23, alpha 24-31 (bytes
// R, G, B, A in memory); rows are exactly width pixels long.
struct ImageBuff {
  UInt32 size;      // width x height x 4
  UInt32 rowBytes;  // width x 4
  SInt16 width;
  SInt16 height;
  UInt32* pixels;  // zero-filled when allocated; nil when there is no block
  SInt16 usedWidth;   // of the last image loaded
  SInt16 usedHeight;
  float red;  // the drawing colour, each 0.0 to 1.0
  float green;
  float blue;
  float alpha;
};

// Each channel times 255, truncated, red lowest and alpha highest.
UInt32 PackImageBuffColor(float red, float green, float blue, float alpha);

// Frees any old block, then makes a zero-filled one. When it cannot be made
// (or a side is not positive) pixels stay nil, and every operation answers -1.
void AllocImageBuff(ImageBuff* buffer, SInt16 width, SInt16 height);
// Size, row bytes, width and height keep their values. -1 when there was no block.
SInt32 FreeImageBuff(ImageBuff* buffer);
// For a buffer whose block is given back while it is idle: a zero-filled
// block of the size it kept when it has none (nothing when it has one). 0, or
// -1 when there is no size or no block can be had.
SInt32 ReadyImageBuff(ImageBuff* buffer);

// The fills answer -1 without a block, else 0. Rects are half-open buffer
// pixel coordinates, must lie inside the buffer, and are not clipped.
SInt32 ClearImageBuff(ImageBuff* buffer);
SInt32 FillImageBuffBlack(ImageBuff* buffer);
SInt32 FillImageBuffWhite(ImageBuff* buffer);
SInt32 FillImageBuffRect(ImageBuff* buffer, const Rect* r);
SInt32 FrameImageBuffRect(ImageBuff* buffer, const Rect* r);

// Loads a PNG file into the top-left corner (cut at the buffer's edges) and
// sets the used size; a buffer without a block gets one at the next powers of
// two of the image. premultiply: colour x alpha / 255; otherwise alpha 255.
// -1, with the buffer unchanged, when the file cannot be read as PNG.
SInt32 LoadPNGIntoImageBuff(ImageBuff* buffer, const char* path, float unused, UInt8 premultiply);
// The same with the file decoded straight into the block, for callers that
// would clear the buffer before a load anyway: a failed load leaves it clear
// (used size as it was) instead of unchanged.
SInt32 LoadPNGIntoClearedImageBuff(ImageBuff* buffer, const char* path, UInt8 premultiply);
