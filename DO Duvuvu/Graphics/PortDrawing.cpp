#include "PortDrawing.h"

#include <cassert>
#include <cstdlib>
#include <cstring>

#include "Backend.h"
#include "Errors.h"
#include "Memory.h"

namespace {

constexpr SInt32 kColorTableBytes = 2064;
constexpr SInt32 kCursorRecordBytes = 68;
constexpr double kSextant = 10922.667;

Handle gDefaultCursor = nullptr;
UInt8 gDisplaysReady = 0;

GWorldPtr CurrentPort() {
  GWorldPtr port = nullptr;
  GetCurrentPort(&port, nullptr);
  return port;
}

// The pixel at (h, v) of the current port's map and its depth.
UInt8* PixelAddress(SInt16 h, SInt16 v, SInt16* depth) {
  const PixMap* p = *PixMapOfPort(CurrentPort());
  *depth = p->pixelDepth;
  const SInt32 bytes = p->pixelDepth / 8;
  assert(h >= 0 && v >= 0 && h < p->bounds.right - p->bounds.left && v < p->bounds.bottom - p->bounds.top);
  return reinterpret_cast<UInt8*>(p->baseAddr) + static_cast<ptrdiff_t>(v) * (p->rowBytes & kPixMapRowBytesMask) +
         static_cast<ptrdiff_t>(h) * bytes;
}

// One bracket of HSVToRGB: (0xFFFF - product) >> 16 taken modulo 2^32 where
// the product exceeds 0xFFFF, and without the wrap below it.
UInt64 HSVBracket(UInt64 product) { return ((UInt64{1} << 32) + 0xFFFF - product) >> 16; }

}  // namespace

// Pen and colours -----------------------------------------------------------------

void GetPenLocation(Point* out) { *out = CurrentPort()->penLocation; }

void SetPenSize(SInt16 width, SInt16 height) { CurrentPort()->penSize = Point{height, width}; }

void MovePenTo(SInt16 h, SInt16 v) { CurrentPort()->penLocation = Point{v, h}; }

void MovePenBy(SInt16 dh, SInt16 dv) {
  GWorldPtr port = CurrentPort();
  port->penLocation.h = static_cast<SInt16>(port->penLocation.h + dh);
  port->penLocation.v = static_cast<SInt16>(port->penLocation.v + dv);
}

void SetForeColorRGB(const ColorRGB* color) { CurrentPort()->foreColor = *color; }

void SetBackColorRGB(const ColorRGB* color) { CurrentPort()->backColor = *color; }

ColorRGB* GetPortBackColorRGB(GWorldPtr world, ColorRGB* out) {
  *out = world->backColor;
  return out;
}

void CopyPortRect(GWorldPtr world, Rect* out) { *out = world->portRect; }

void SetPixelRGB(SInt16 h, SInt16 v, const ColorRGB* color) {
  SInt16 depth = 0;
  UInt8* pixel = PixelAddress(h, v, &depth);
  if (depth == 16) {
    const UInt16 value = static_cast<UInt16>(((color->red >> 1) & 0x7C00) | ((color->green >> 6) & 0x03E0) |
                                             (color->blue >> 11));
    std::memcpy(pixel, &value, 2);
  } else if (depth == 32) {
    const UInt32 value = (static_cast<UInt32>(color->red >> 8) << 16) | (static_cast<UInt32>(color->green >> 8) << 8) |
                         (color->blue >> 8);
    std::memcpy(pixel, &value, 4);
  }
}

void GetPixelRGB(SInt16 h, SInt16 v, ColorRGB* out) {
  SInt16 depth = 0;
  const UInt8* pixel = PixelAddress(h, v, &depth);
  auto widen5 = [](UInt32 c) { return static_cast<UInt16>((c << 11) | (c << 6) | (c << 1) | (c >> 4)); };
  auto widen8 = [](UInt32 b) { return static_cast<UInt16>((b << 8) | b); };
  if (depth == 16) {
    UInt16 value;
    std::memcpy(&value, pixel, 2);
    *out = ColorRGB{widen5((value >> 10) & 31), widen5((value >> 5) & 31), widen5(value & 31)};
  } else if (depth == 32) {
    UInt32 value;
    std::memcpy(&value, pixel, 4);
    *out = ColorRGB{widen8((value >> 16) & 255), widen8((value >> 8) & 255), widen8(value & 255)};
  }
}

void HSVToRGB(const HSVColor* in, ColorRGB* out) {
  const UInt32 v = in->value;
  const UInt32 s = in->saturation;
  if (s == 0) {
    *out = ColorRGB{in->value, in->value, in->value};
    return;
  }
  const auto x = static_cast<UInt32>(static_cast<double>(static_cast<UInt32>(in->hue) << 16) / kSextant);
  const UInt32 sextant = x >> 16;
  const UInt32 f = x & 0xFFFF;
  const auto p = static_cast<UInt16>(((65535 - s) * v) >> 16);
  const auto q = static_cast<UInt16>((HSVBracket(UInt64{s} * f) * v) >> 16);
  const auto t = static_cast<UInt16>((HSVBracket(UInt64{0xFFFF - f} * s) * v) >> 16);
  const auto vv = static_cast<UInt16>(v);
  switch (sextant) {
    case 0: *out = ColorRGB{vv, t, p}; break;
    case 1: *out = ColorRGB{q, vv, p}; break;
    case 2: *out = ColorRGB{p, vv, t}; break;
    case 3: *out = ColorRGB{p, q, vv}; break;
    case 4: *out = ColorRGB{t, p, vv}; break;
    default: *out = ColorRGB{vv, p, q}; break;
  }
}

void RGBToHSV(const ColorRGB* in, HSVColor* out) {
  const SInt32 r = in->red;
  const SInt32 g = in->green;
  const SInt32 b = in->blue;
  const SInt32 max = r > g ? (r > b ? r : b) : (g > b ? g : b);
  const SInt32 min = r < g ? (r < b ? r : b) : (g < b ? g : b);
  const SInt32 delta = max - min;
  out->value = static_cast<UInt16>(max);
  if (max == 0) {
    out->hue = 0;
    out->saturation = 0;
    return;
  }
  out->saturation = static_cast<UInt16>(static_cast<UInt32>(delta) * 65535u / static_cast<UInt32>(max));
  if (delta == 0) {
    out->hue = 0;
    return;
  }
  double hue;
  if (r == max)
    hue = (g - b) * kSextant / delta;
  else if (g == max)
    hue = (b - r) * kSextant / delta + 21845.0;
  else
    hue = (r - g) * kSextant / delta + 43690.0;
  auto whole = static_cast<SInt32>(hue);
  if (whole > 65535) whole -= 65536;
  if (whole < 0) whole += 65536;
  out->hue = static_cast<UInt16>(whole);
}

Handle NewCTableHandle() { return NewHandleBlockClear(kColorTableBytes); }

void DisposeCTableHandle(Handle table) { DisposeHandleBlock(table); }

// Patterns, cursor, random -----------------------------------------------------------

UInt8* FillPatternGray(UInt8* pattern) {
  for (int i = 0; i < 8; ++i) pattern[i] = (i & 1) ? 0x55 : 0xAA;
  return pattern;
}

UInt8* FillPatternZero(UInt8* pattern) {
  std::memset(pattern, 0, 8);
  return pattern;
}

UInt8* FillPatternOnes(UInt8* pattern) {
  std::memset(pattern, 1, 8);
  return pattern;
}

SInt32 HideMouseCursor() { return GetBackend().ShowCursor(false); }

SInt32 ShowMouseCursor() { return GetBackend().ShowCursor(true); }

Handle GetDefaultCursorHandle() {
  if (!gDefaultCursor) gDefaultCursor = NewHandleBlockClear(kCursorRecordBytes);
  return gDefaultCursor;
}

// glibc's rand is 31 bits; as an i16 it would go negative.
SInt16 RandomShort() { return static_cast<SInt16>(std::rand() & 0x7FFF); }

// Memory and start-up state ------------------------------------------------------------

void DisposePtr_Safe(Ptr* block) {
  if (!block) FatalError("Tried to pass nil to DisposePtr_Safe()!", "", 0, 0);
  if (!*block) return;
  DisposePtrBlock(*block);
  *block = nullptr;
}

void ClearDisplaysReady() { gDisplaysReady = 0; }
UInt8 DisplaysReady() { return gDisplaysReady; }
void SetDisplaysReady() { gDisplaysReady = 1; }

// Routines with no service on this platform ----------------------------------------------

void* CreateRegion() { return nullptr; }
void DisposeRegion(void*) {}
void SetRegionToRect(void*, const Rect*) {}
UInt8 PointInRegion(Point, void*) { return 0; }
void CopyRegionBits(PixMapHandle, PixMapHandle, const Rect*, const Rect*, SInt16, void*) {}
void OpenRegionRecording() {}
void CloseRegionRecording(void*) {}
void CombineRegions(void*, void*, void*) {}
void* OpenPicture(const Rect*) { return nullptr; }
void ClosePicture() {}
Rect* GetPictureFrame(void*, Rect*) { return nullptr; }
void DrawPicture(void*, const Rect*) {}
void SetCursorShape(const void*) {}
void SetCursorByHandle(Handle) {}
void InitCursorState() {}
void InitStandardDrawingProcs(void*) {}
void* GetPortDrawingProcs(GWorldPtr) { return nullptr; }
void SetPortDrawingProcs(GWorldPtr, void*) {}
SInt16 GetPortTextFont(GWorldPtr) { return 0; }
SInt16 GetPortTextStyle(GWorldPtr) { return 0; }
SInt16 GetPortTextMode(GWorldPtr) { return 0; }
SInt16 GetPortTextSize(GWorldPtr) { return 0; }
void BeginTextBox(const Rect*) {}
void PrepareDrawing() {}
void ColorIndexToRGB(SInt32, ColorRGB*) {}
SInt32 RGBToColorIndex(const ColorRGB*) { return 0; }
void SetDeviceEntries(SInt16, SInt16, const void*) {}
SInt32 GetColorTableSeed() { return 0; }
void* GetCurrentDevice() { return nullptr; }
void SetCurrentDevice(void*) {}
SInt32 QueryDeviceMode(void*, SInt32) { return 0; }
void SetDeviceDepth(void*, SInt16, SInt16, SInt16) {}
void NoteMouseMoved() {}
