#include "GammaFades.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "AppGlobals.h"
#include "ColorTableFades.h"
#include "DisplayHooks.h"
#include "DisplayList.h"
#include "Memory.h"
#include "ResultCodes.h"
#include "SystemUI.h"
#include "TickRecords.h"

GammaTableHandle CapturedGammaTable = nullptr;

namespace {

constexpr int kEntries = 256;
constexpr int kGammaFloats = 3 * kEntries;
constexpr int kSetTransferFunction = 13;
constexpr SInt16 kSetGammaControl = 4;
constexpr SInt16 kSetEntriesControl = 3;

struct GammaFadeState {
  UInt8 on = 0;
  GammaTableHandle reference = nullptr;
  GammaTableHandle current = nullptr;
  GammaTableHandle work = nullptr;
  GammaTableHandle target = nullptr;
  float cache[3][kEntries] = {};
  SInt32 cacheCount = 0;
};
GammaFadeState gGamma;
SInt16 gDepthOverride = 0;

float* Floats(GammaTableHandle table) { return &(*table)->red[0]; }

GammaTableHandle NewTableBlock() { return reinterpret_cast<GammaTableHandle>(NewHandleBlockClear(sizeof(GammaTable))); }

void ReleaseTable(GammaTableHandle& table) {
  if (table) DisposeHandleBlock(reinterpret_cast<Handle>(table));
  table = nullptr;
}

DeviceHandle DeviceOrMain(DeviceHandle device) { return device ? device : mainDEVICE; }

UInt8 DeviceIsEightBit(DeviceHandle device) {
  if (!device) return 0;
  PixMapHandle pixMap = (*device)->pixMap;
  return pixMap && (*pixMap)->pixelDepth == 8;
}

// Older systems hand the device an 8-bit gamma record, in full screen only.
SInt16 SetDeviceGamma(GammaTableHandle table, DeviceHandle device) {
  const DisplayManagerSeam& seam = GetDisplayManagerSeam();
  device = DeviceOrMain(device);
  if (!IsFullScreen() || !seam.deviceControl) return 0;
  struct {
    DeviceGammaRecord header;
    UInt8 data[kGammaFloats];
  } record = {{0, 0, 0, 3, kEntries, 8}, {}};
  const float* in = Floats(table);
  for (int i = 0; i < kGammaFloats; ++i)
    record.data[i] = static_cast<UInt8>(std::clamp(in[i], 0.0f, 1.0f) * 255.0f);
  const OSErr result = seam.deviceControl(device, kSetGammaControl, &record);
  if (result == 0 && DeviceIsEightBit(device)) {
    Handle colors = (*(*device)->pixMap)->colorTable;
    if (colors) seam.deviceControl(device, kSetEntriesControl, *colors);
  }
  return result;
}

// The device's gamma record resampled to 256 entries a channel. A record
// without channels or entries is refused rather than read.
SInt32 GetDeviceGamma(GammaTableHandle table, DeviceHandle device) {
  const DisplayManagerSeam& seam = GetDisplayManagerSeam();
  if (!seam.gammaStatus) return kErrFailed;
  const DeviceGammaRecord* record = nullptr;
  const OSErr status = seam.gammaStatus(DeviceOrMain(device), &record);
  if (status != 0) return status;
  if (!record || record->dataWidth != 8) return kErrFailed;
  const SInt32 count = record->dataCount;
  if (count <= 0 || record->channelCount <= 0) return kErrFailed;
  if (!table) return status;
  const UInt8* data = reinterpret_cast<const UInt8*>(record + 1) + std::max<SInt16>(record->formulaSize, 0);
  float* out = Floats(table);
  for (int channel = 0; channel < 3; ++channel) {
    const UInt8* d = data + (record->channelCount >= 3 ? channel * count : 0);
    for (int i = 0; i < kEntries; ++i) {
      const double x = static_cast<double>(i) * count / kEntries;
      const SInt32 low = static_cast<SInt32>(std::floor(x));
      const SInt32 high = std::min<SInt32>(static_cast<SInt32>(std::ceil(x)), count - 1);
      out[channel * kEntries + i] = static_cast<float>((d[low] + (d[high] - d[low]) * (x - low)) / 255.0);
    }
  }
  return status;
}

void FillIdentity(GammaTable* table) {
  for (int i = 0; i < kEntries; ++i) table->red[i] = table->green[i] = table->blue[i] = i / 255.0f;
}

}  // namespace

void InitScreenFades() {}

// Gamma side ----------------------------------------------------------------------

GammaTableHandle GetOrigGammaTable() { return gGamma.on ? gGamma.reference : nullptr; }

void NewGammaTable(GammaTableHandle* out) {
  if (!gGamma.on || !out) return;
  GammaTableHandle table = NewTableBlock();
  if (!table) return;
  if (gGamma.reference) **table = **gGamma.reference;
  *out = table;
}

void CopyGammaTable(GammaTableHandle source, GammaTableHandle destination) {
  if (!gGamma.on) return;
  if (!source) source = gGamma.reference;
  if (!source || !destination || source == destination) return;
  std::memcpy(*destination, *source, sizeof(GammaTable));
}

void GetCurrentGamma(GammaTableHandle table) {
  if (!gGamma.on || !table || !gGamma.current) return;
  **table = **gGamma.current;
}

SInt16 SetDisplayGammaTable(GammaTableHandle table, DeviceHandle device) {
  if (!gGamma.on) return kErrFailed;
  if (!table) return kErrFailed;
  std::memcpy(gGamma.cache, *table, sizeof gGamma.cache);
  gGamma.cacheCount = kEntries;
  if (!DisplaysOnModernSystem()) return SetDeviceGamma(table, device);
  if (IsFullScreen()) {
    if (!DisplayFunctionsBound()) return 0;
    auto transfer = reinterpret_cast<DisplayTransferByTableProc>(DisplayFunctions[kSetTransferFunction]);
    return static_cast<SInt16>(transfer(FindDisplayIDForDevice(DeviceOrMain(device)), kEntries, gGamma.cache[0],
                                        gGamma.cache[1], gGamma.cache[2]));
  }
  if (gGamma.current) **gGamma.current = **table;
  return 0;
}

SInt32 GetDisplayGammaTable(GammaTableHandle table, DeviceHandle device) {
  if (!gGamma.on) return kErrFailed;
  if (!DisplaysOnModernSystem()) return GetDeviceGamma(table, device);
  if (!table) return 0;
  GammaTable& out = **table;
  float* channels[3] = {out.red, out.green, out.blue};
  for (int c = 0; c < 3; ++c) {
    if (gGamma.cacheCount == kEntries)
      std::memcpy(channels[c], gGamma.cache[c], sizeof gGamma.cache[c]);
    else
      ResampleFloatTable(gGamma.cache[c], channels[c], gGamma.cacheCount, kEntries);
  }
  return 0;
}

void ResampleFloatTable(const float* source, float* destination, SInt32 n, SInt32 m) {
  if (source == destination || m < 1) return;
  if (n < 1) {
    std::fill(destination, destination + m, 0.0f);
    return;
  }
  if (n == m) {
    std::memmove(destination, source, sizeof(float) * m);
    return;
  }
  if (m == 1) {
    destination[0] = source[0];
    return;
  }
  for (SInt32 i = 0; i < m; ++i) {
    const float x = static_cast<float>(i) * static_cast<float>(n - 1) / static_cast<float>(m - 1);
    const SInt32 low = std::min<SInt32>(static_cast<SInt32>(std::floor(x)), n - 1);
    const SInt32 high = std::min<SInt32>(static_cast<SInt32>(std::ceil(x)), n - 1);
    destination[i] = source[low] + (source[high] - source[low]) * (x - static_cast<float>(low));
  }
}

void FadeGammaTable(GammaTableHandle target, SInt16 steps, DeviceHandle device) {
  if (!gGamma.on || !target) return;
  CopyGammaTable(target, gGamma.target);
  GetDisplayGammaTable(gGamma.work, device);
  if (steps >= 2) {
    float deltas[kGammaFloats];
    float* work = Floats(gGamma.work);
    const float* goal = Floats(gGamma.target);
    for (int i = 0; i < kGammaFloats; ++i)
      deltas[i] = static_cast<float>((static_cast<double>(goal[i]) - work[i]) / steps);
    for (int step = 1; step < steps; ++step) {
      RecordTickCount();
      for (int i = 0; i < kGammaFloats; ++i) work[i] += deltas[i];
      SetDisplayGammaTable(gGamma.work, device);
      DelaySinceTickRecord(1);
    }
  }
  if (steps != 0) SetDisplayGammaTable(gGamma.target, device);
  CopyGammaTable(gGamma.target, gGamma.current);
}

void ApplyGammaTable(GammaTableHandle table, DeviceHandle device) { FadeGammaTable(table, 1, device); }

void FadeToColor(const ColorRGB* color, SInt16 steps, DeviceHandle device) {
  if (!gGamma.on || !color || !gGamma.work) return;
  GammaTable& work = **gGamma.work;
  std::fill(std::begin(work.red), std::end(work.red), color->red / 65535.0f);
  std::fill(std::begin(work.green), std::end(work.green), color->green / 65535.0f);
  std::fill(std::begin(work.blue), std::end(work.blue), color->blue / 65535.0f);
  FadeGammaTable(gGamma.work, steps, device);
}

void FadeToColorNow(const ColorRGB* color, DeviceHandle device) { FadeToColor(color, 1, device); }

void BlendGammaTables(GammaTableHandle from, GammaTableHandle to, SInt16 step, SInt16 steps, DeviceHandle device) {
  if (!gGamma.on || !from || !to) return;
  if (steps != 0) {
    const float* a = Floats(from);
    const float* b = Floats(to);
    float* work = Floats(gGamma.work);
    for (int i = 0; i < kGammaFloats; ++i) work[i] = a[i] + (b[i] - a[i]) * step / steps;
    SetDisplayGammaTable(gGamma.work, device);
  }
  CopyGammaTable(gGamma.work, gGamma.current);
}

SInt32 BuildGammaFromColor(GammaTableHandle table, const ColorRGB* color, float brightness, float contrast) {
  if (!table) return kEntries;
  const ColorRGB white = {65535, 65535, 65535};
  if (!color) color = &white;
  const float b = std::clamp(brightness, 0.0f, 1.0f);
  const float c = std::clamp(contrast, 0.0f, 1.0f);
  const float k = c * b;
  const float o = (1.0f - c) * b * 0.5f;
  GammaTable& out = **table;
  const float red = color->red / 65535.0f * k;
  const float green = color->green / 65535.0f * k;
  const float blue = k * color->blue / 65535.0f;
  for (int i = 0; i < kEntries; ++i) {
    out.red[i] = i * red / 255.0f + o;
    out.green[i] = i * green / 255.0f + o;
    out.blue[i] = i * blue / 255.0f + o;
  }
  return kEntries;
}

// Both sides ----------------------------------------------------------------------

SInt16 MainDevicePixelDepth() {
  if (gDepthOverride) return gDepthOverride;
  return GetDevicePixelDepth(nullptr, nullptr, nullptr);
}

void DisposeScreenFades() {
  DisposeScreenFadeColorTables();
  if (gGamma.on) {
    if (EngineSettings[0]) ApplyGammaTable(gGamma.reference, nullptr);
    ReleaseTable(gGamma.current);
    ReleaseTable(gGamma.work);
    ReleaseTable(gGamma.target);
    ReleaseTable(gGamma.reference);
    gGamma.on = 0;
  }
  gDepthOverride = 0;
}

void SetScreenFadesForTesting(const ScreenFadeSwitch& fades) {
  gDepthOverride = fades.mainDepth;
  if (fades.gamma && !gGamma.on) {
    gGamma.reference = NewTableBlock();
    if (fades.curves)
      **gGamma.reference = *fades.curves;
    else
      FillIdentity(*gGamma.reference);
    for (GammaTableHandle* copy : {&gGamma.current, &gGamma.work, &gGamma.target}) {
      *copy = NewTableBlock();
      ***copy = **gGamma.reference;
    }
    gGamma.cacheCount = 0;
    gGamma.on = 1;
  }
  if (fades.colorTable) SetScreenFadeColorTablesForTesting();
}

ScreenFadeTables GetScreenFadeTablesForTesting() {
  ScreenFadeTables tables = {gGamma.reference, gGamma.current, gGamma.work, gGamma.target,
                             nullptr,          nullptr,        nullptr,     nullptr};
  GetScreenFadeColorTablesForTesting(&tables);
  return tables;
}
