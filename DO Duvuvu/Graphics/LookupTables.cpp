#include "LookupTables.h"
#include "ResultCodes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "AppGlobals.h"
#include "Errors.h"
#include "FixedResultServices.h"
#include "FixedResults.h"
#include "Memory.h"
#include "PNGFiles.h"
#include "Ports.h"

namespace {

constexpr const char* kMemoryError = "Sorry, a memory error has occured.";
constexpr SInt32 kColors15 = 32768;

struct HSLColor {
  UInt16 hue;
  UInt16 saturation;
  UInt16 lightness;
};

SInt32 DepthTableBytes() {
  switch (EngineSettings[8]) {
    case 8: return kLookupTable8Bytes;
    case 16: return kLookupTable16Bytes;
    default: return 0;
  }
}

bool Holds(const void* table, SInt32 bytes) { return table && GetPtrBlockSize(table) >= bytes; }

UInt16 Clamp16(SInt64 value) { return static_cast<UInt16>(std::clamp<SInt64>(value, 0, 65535)); }

UInt16 Scaled(UInt16 x, SInt32 scale) { return Clamp16(static_cast<SInt64>(x) * scale / 65536); }

void FillIdentity(Ptr table, SInt32 bytes) {
  if (bytes == kLookupTable8Bytes) {
    for (int i = 0; i < 256; ++i) table[i] = static_cast<char>(i);
  } else {
    auto* entries = reinterpret_cast<UInt16*>(table);
    for (SInt32 i = 0; i < kColors15; ++i) entries[i] = static_cast<UInt16>(i);
  }
}

Ptr NewIdentityTable(SInt32 bytes) {
  Ptr table = NewPtrBlockClear(static_cast<UInt32>(bytes));
  if (!table) FatalError(kMemoryError, "NewLookupTable()");
  FillIdentity(table, bytes);
  return table;
}

// The loaders always hand back a 16-bit table, whatever the depth setting.
void EnsureTable16(Ptr* table) {
  if (*table && GetPtrBlockSize(*table) == kLookupTable16Bytes) return;
  DisposeLookupTable(table);
  *table = NewIdentityTable(kLookupTable16Bytes);
}

// Entries 1..32766 through an HSV change; the ends are fixed.
template <typename Change>
void Build16(Ptr table, Change change) {
  if (!Holds(table, kLookupTable16Bytes)) return;
  auto* entries = reinterpret_cast<UInt16*>(table);
  auto widen = [](UInt32 c) { return static_cast<UInt16>(c * 2114 + (c >> 4)); };
  for (SInt32 i = 1; i < kColors15 - 1; ++i) {
    const ColorRGB rgb = {widen((i >> 10) & 31), widen((i >> 5) & 31), widen(i & 31)};
    HSVColor hsv;
    RGBToHSV(&rgb, &hsv);
    hsv = change(hsv);
    ColorRGB out;
    HSVToRGB(&hsv, &out);
    entries[i] = static_cast<UInt16>((out.red >> 11) << 10 | (out.green >> 11) << 5 | (out.blue >> 11));
  }
  entries[0] = 0;
  entries[kColors15 - 1] = kColors15 - 1;
}

// Entries 1..254 through the colour-index services.
template <typename Convert>
void Build8(Ptr table, bool setEnds, Convert convert) {
  if (!Holds(table, kLookupTable8Bytes)) return;
  const FixedResultServices& services = GetFixedResultServices();
  for (int i = 1; i < 255; ++i) {
    ColorRGB rgb = {0, 0, 0};
    services.colorIndexToRGB(i, &rgb);
    convert(&rgb);
    table[i] = static_cast<char>(services.rgbToColorIndex(&rgb));
  }
  if (setEnds) {
    table[0] = 0;
    table[255] = static_cast<char>(255);
  }
}

template <typename Change>
void Build8HSV(Ptr table, bool setEnds, Change change) {
  Build8(table, setEnds, [&](ColorRGB* rgb) {
    HSVColor hsv;
    RGBToHSV(rgb, &hsv);
    hsv = change(hsv);
    HSVToRGB(&hsv, rgb);
  });
}

}  // namespace

void NewLookupTable(Ptr* table) {
  DisposeLookupTable(table);
  const SInt32 bytes = DepthTableBytes();
  if (bytes) *table = NewIdentityTable(bytes);
}

void DisposeLookupTable(Ptr* table) {
  if (*table) DisposePtrBlock(*table);
  *table = nullptr;
}

void CopyLookupTable(Ptr source, Ptr destination) {
  const SInt32 bytes = DepthTableBytes();
  if (!bytes || !Holds(source, bytes) || !Holds(destination, bytes)) return;
  std::memcpy(destination, source, static_cast<size_t>(bytes));
}

void LoadLookupTable16(Ptr* table, ConstStr255Param name) {
  Handle resource = GetFixedResultServices().getNamedResource(FOUR_CHAR_CODE("tabl"), name);
  if (!resource || GetHandleBlockSize(resource) < kLookupTable16Bytes) {
    const unsigned char message[] = "\023LoadLookupTable16()";
    FatalErrorP(message, name);
  }
  EnsureTable16(table);
  LockHandleBlock(resource);
  const auto* bytes = reinterpret_cast<const UInt8*>(*resource);
  auto* entries = reinterpret_cast<UInt16*>(*table);
  for (SInt32 i = 0; i < kColors15; ++i) entries[i] = static_cast<UInt16>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
  UnlockHandleBlock(resource);
  DisposeHandleBlock(resource);
}

SInt32 LoadLookupTableFromImage(Ptr* table, const char* path) {
  PushPort();
  GWorldPtr world = nullptr;
  const Rect bounds = {0, 0, 128, 256};
  if (CreateGWorld(&world, 16, &bounds, reinterpret_cast<Handle>(GlobalColorTable), 0, 0) != 0 || !world) {
    PopPort();
    return kErrFailed;
  }
  const Rect placed = PlacePNG_Point(path, world->portPixMap, 0, 0, nullptr);
  if (placed.bottom <= placed.top || placed.right <= placed.left) {
    PopPort();
    DestroyGWorld(world);
    return kErrFailed;
  }
  SetCurrentPort(world);
  EnsureTable16(table);
  auto* entries = reinterpret_cast<UInt16*>(*table);
  for (SInt32 i = 0; i < kColors15; ++i) {
    ColorRGB c = {0, 0, 0};
    GetPixelRGB(static_cast<SInt16>(i % 256), static_cast<SInt16>(i / 256), &c);
    entries[i] = static_cast<UInt16>((c.red >> 11) << 10 | (c.green >> 11) << 5 | (c.blue >> 11));
  }
  PopPort();
  DestroyGWorld(world);
  return 0;
}

void BuildHSVScaleTable(Ptr table, UInt16 hue, SInt32 saturationScale, SInt32 valueScale) {
  auto change = [=](HSVColor c) {
    return HSVColor{hue, Scaled(c.saturation, saturationScale), Scaled(c.value, valueScale)};
  };
  if (EngineSettings[8] == 16)
    Build16(table, change);
  else if (EngineSettings[8] == 8)
    Build8HSV(table, true, change);
}

void BuildHueTable8(Ptr table, UInt16 hue) {
  Build8HSV(table, true, [=](HSVColor c) { return HSVColor{hue, c.saturation, c.value}; });
}

void BuildHSVBlendTable(Ptr table, UInt16 hue, UInt16 saturation, SInt32 valueScale, SInt8 percent) {
  if (EngineSettings[8] == 16) {
    Build16(table, [=](HSVColor c) {
      auto blend = [=](SInt64 x, SInt64 target) { return Clamp16(x + (target - x) * percent / 100); };
      return HSVColor{blend(c.hue, hue), blend(c.saturation, saturation), blend(c.value, Scaled(c.value, valueScale))};
    });
  } else if (EngineSettings[8] == 8) {
    Build8HSV(table, true, [=](HSVColor c) { return HSVColor{hue, saturation, Scaled(c.value, valueScale)}; });
  }
}

void BuildSaturationTable8(Ptr table, SInt32 saturationScale) {
  Build8HSV(table, true, [=](HSVColor c) { return HSVColor{c.hue, Scaled(c.saturation, saturationScale), c.value}; });
}

void BuildLightenTable8(Ptr table, UInt16 amount) {
  Build8(table, true, [=](ColorRGB* rgb) {
    HSLColor hsl = {0, 0, 0};
    RGBToHSLColor(rgb, &hsl);
    hsl.saturation = 65535;
    hsl.lightness = Clamp16(static_cast<SInt64>(hsl.lightness) + amount);
    HSLToRGBColor(&hsl, rgb);
  });
}

HSVColor ContrastChange(HSVColor color, float factor) {
  const double saturation = std::trunc(static_cast<double>(color.saturation) * factor);
  color.saturation = static_cast<UInt16>(saturation > 0 ? std::min(saturation, 65535.0) : 0.0);
  if (factor > 0) {
    const double value = std::trunc(color.value / static_cast<double>(factor));
    color.value = std::isfinite(value) ? static_cast<UInt16>(static_cast<SInt64>(std::fmod(value, 65536.0))) : 0;
  }
  return color;
}

void BuildContrastTable8(Ptr table, float factor) {
  Build8HSV(table, false, [=](HSVColor c) { return ContrastChange(c, factor); });
}
