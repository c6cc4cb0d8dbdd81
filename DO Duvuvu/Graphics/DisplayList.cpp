#include "DisplayList.h"

#include <cstdio>
#include <cstring>

#include "DisplayHooks.h"
#include "FileManager.h"
#include "FixedResults.h"
#include "RefObjects.h"
#include "TextConversion.h"

NamedArray<DisplayRecord>* DisplayList = nullptr;
ProcPtr DisplayFunctions[kDisplayFunctionCount];

const char* const kDisplayFunctionNames[kDisplayFunctionCount] = {
    "CGGetDisplaysWithRect",
    "CGDisplayAvailableModes",
    "CGDisplayCurrentMode",
    "CGDisplaySwitchToMode",
    "CGDisplayIsCaptured",
    "CGDisplayCapture",
    "CGDisplayRelease",
    "CGDisplayBounds",
    "CGDisplayBytesPerRow",
    "CGDisplayBitsPerPixel",
    "CGDisplayBaseAddress",
    "CGGetActiveDisplayList",
    "CreateNewPortForCGDisplayID",
    "CGSetDisplayTransferByTable",
    "CGGetDisplayTransferByTable",
    "CGDisplayRestoreColorSyncSettings",
    "CGDisplayCanSetPalette",
    "CGDisplaySetPalette",
    "CGPaletteCreateDefaultColorPalette",
    "CGPaletteCreateWithDisplay",
    "CGPaletteCreateWithSamples",
    "CGPaletteCreateWithByteSamples",
    "CGPaletteRelease",
    "CGPaletteGetColorAtIndex",
    "CGPaletteSetColorAtIndex",
    "CGPaletteCreateCopy",
    "CGPaletteIsEqualToPalette",
    "CGDisplayBeamPosition",
};

namespace {

enum DisplayFunctionIndex {
  kAvailableModes = 1,
  kCurrentMode = 2,
  kBounds = 7,
  kActiveDisplayList = 11,
};

constexpr UInt8 kStatusBuilt = 0;
constexpr UInt8 kStatusNoFunctions = 2;
constexpr UInt8 kStatusUnreadable = 3;
constexpr UInt8 kStatusNoModeList = 5;
constexpr UInt32 kMaxDisplays = 256;
constexpr SInt16 kSystemDomain = -32766;
constexpr SInt32 kNumberSInt32 = 3;
constexpr SInt32 kNumberFloat = 5;
const unsigned char kUnnamedArray[] = "\011(unnamed)";

UInt8 gBound = 0;
DisplayServiceSeam gSeam = {};

enum ModeKey { kKeyWidth, kKeyHeight, kKeyMode, kKeyBitsPerPixel, kKeyRefreshRate, kKeyIOFlags, kKeyCount };
const char* const kModeKeyNames[kKeyCount] = {"Width", "Height", "Mode", "BitsPerPixel", "RefreshRate", "IOFlags"};
StringObject* gModeKeys[kKeyCount] = {};

template <typename T>
T Bound(int index) {
  return reinterpret_cast<T>(DisplayFunctions[index]);
}

const void* DictionaryValue(const void* dictionary, const void* key) {
  return gSeam.dictionaryValue ? gSeam.dictionaryValue(dictionary, key) : GetDictionaryValue(dictionary, key);
}

Boolean NumberValue(const void* number, SInt32 type, void* out) {
  return gSeam.numberValue ? gSeam.numberValue(number, type, out) : GetNumberValue(number, type, out);
}

SInt32 ArrayCount(const void* array) { return gSeam.arrayCount ? gSeam.arrayCount(array) : GetObjectArrayCount(array); }

const void* ArrayItem(const void* array, SInt32 index) {
  return gSeam.arrayItem ? gSeam.arrayItem(array, index) : GetObjectArrayItem(array, index);
}

ProcPtr LookUp(const char* name) {
  if (gSeam.lookup) return gSeam.lookup(name);
  StringObject* text = CreateString(nullptr, name, kDefaultTextEncoding);
  const ProcPtr routine = LookupFunctionByName(nullptr, text);
  ReleaseObject(text);
  return routine;
}

void NameMode(DisplayMode* mode) {
  char text[64];
  if (mode->refreshRate != 0)
    std::snprintf(text, sizeof text, "%i x %i, %1.1f Hz", static_cast<int>(mode->width),
                  static_cast<int>(mode->height), mode->refreshRate / 65536.0);
  else
    std::snprintf(text, sizeof text, "%i x %i", static_cast<int>(mode->width), static_cast<int>(mode->height));
  const size_t n = std::min<size_t>(std::strlen(text), 31);
  mode->name[0] = static_cast<unsigned char>(n);
  std::memcpy(mode->name + 1, text, n);
}

bool EqualRects(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

}  // namespace

DisplayRecord::DisplayRecord() { InitDisplayRecord(this); }

void InitDisplayRecord(DisplayRecord* record) {
  record->displayID = 0;
  record->device = nullptr;
  record->modes.Dispose();
  record->modes.SetName(kUnnamedArray, -1);
  record->modeChanged = 0;
  record->modeList = nullptr;
  record->initialMode = nullptr;
  std::memset(record->vblFlags, 0, sizeof record->vblFlags);
  record->vblInstalled = 0;
  record->vbl = VBLTaskState{};
}

SInt32 ResetDisplayRecord(DisplayRecord* record) {
  InitDisplayRecord(record);
  return 0;
}

void InitDisplayList() {
  if (!DisplayList) {
    DisplayList = new NamedArray<DisplayRecord>();
    DisplayList->SetName(kUnnamedArray, -1);
  }
  for (int i = 0; i < kKeyCount; ++i)
    if (!gModeKeys[i]) gModeKeys[i] = CreateString(nullptr, kModeKeyNames[i], kDefaultTextEncoding);
}

void ExitDisplayList() {
  delete DisplayList;
  DisplayList = nullptr;
  for (StringObject*& key : gModeKeys) {
    ReleaseObject(key);
    key = nullptr;
  }
  UnbindDisplayFunctions();
}

void SetDisplayServiceSeam(const DisplayServiceSeam* seam) {
  gSeam = seam ? *seam : DisplayServiceSeam{};
  UnbindDisplayFunctions();
}

const DisplayServiceSeam& GetDisplayServiceSeam() { return gSeam; }

namespace {
DisplayManagerSeam gManager = {};
}  // namespace

void SetDisplayManagerSeam(const DisplayManagerSeam* seam) { gManager = seam ? *seam : DisplayManagerSeam{}; }

const DisplayManagerSeam& GetDisplayManagerSeam() { return gManager; }

UInt8 DisplaysOnModernSystem() { return gManager.olderSystem ? 0 : IsOSXOrLater(); }

UInt8 BindDisplayFunctions() {
  if (gBound) return 0;
  if (!gSeam.lookup) {
    // The frameworks folder that would hold the service's bundle.
    FSRef folder;
    if (FindFolderRef(kSystemDomain, FOUR_CHAR_CODE("fram"), 0, &folder) != 0) return kStatusNoFunctions;
  }
  for (int i = 0; i < kDisplayFunctionCount; ++i) {
    DisplayFunctions[i] = LookUp(kDisplayFunctionNames[i]);
    if (!DisplayFunctions[i]) return kStatusNoFunctions;
  }
  gBound = 1;
  return 0;
}

void UnbindDisplayFunctions() {
  for (ProcPtr& slot : DisplayFunctions) slot = nullptr;
  gBound = 0;
}

UInt8 DisplayFunctionsBound() { return gBound; }

UInt8 ReadDisplayMode(const void* dictionary, DisplayMode* mode) {
  *mode = DisplayMode{};
  InitDisplayList();
  UInt32* integers[] = {&mode->width, &mode->height, &mode->mode, &mode->depths};
  for (int key = kKeyWidth; key <= kKeyBitsPerPixel; ++key) {
    const void* value = DictionaryValue(dictionary, gModeKeys[key]);
    if (!value) continue;
    SInt32 number = 0;
    if (!NumberValue(value, kNumberSInt32, &number)) return kStatusUnreadable;
    *integers[key] = static_cast<UInt32>(number);
  }
  if (const void* value = DictionaryValue(dictionary, gModeKeys[kKeyRefreshRate])) {
    float rate = 0;
    if (!NumberValue(value, kNumberFloat, &rate)) return kStatusUnreadable;
    mode->refreshRate = static_cast<UInt32>(rate * 65536.0);
  }
  if (const void* value = DictionaryValue(dictionary, gModeKeys[kKeyIOFlags])) {
    SInt32 flags = 0;
    if (!NumberValue(value, kNumberSInt32, &flags)) return kStatusUnreadable;
    mode->flags = static_cast<UInt16>(((flags & 0x800) ? 1 : 0) | ((flags & 0x20) ? 2 : 0) | ((flags & 0x40) ? 4 : 0));
    mode->safe = (flags & 0x2) ? 1 : 0;
  }
  NameMode(mode);
  return 0;
}

UInt8 BuildDisplayList(NamedArray<DisplayRecord>* list) {
  if (list->count != 0) return kStatusBuilt;
  if (const UInt8 status = BindDisplayFunctions()) return status;
  UInt32 displays[kMaxDisplays];
  UInt32 count = 0;
  if (Bound<GetActiveDisplayListProc>(kActiveDisplayList)(kMaxDisplays, displays, &count) != 0)
    return kStatusNoFunctions;
  if (count > kMaxDisplays) count = kMaxDisplays;
  list->Resize(count, 0);
  for (UInt32 i = 0; i < count; ++i) {
    DisplayRecord& record = list->data[i];
    record.displayID = displays[i];
    const Rect bounds = GetDisplayBounds(&record);
    for (void* device = GetFirstDisplayDevice(1); device; device = GetNextDisplayDevice(device, 1)) {
      auto handle = static_cast<DeviceHandle>(device);
      if (EqualRects((*handle)->bounds, bounds)) {
        record.device = handle;
        break;
      }
    }
    record.initialMode = Bound<DisplayModeQueryProc>(kCurrentMode)(record.displayID);
    if (!record.initialMode) return kStatusBuilt;
    record.modeList = Bound<DisplayModeQueryProc>(kAvailableModes)(record.displayID);
    if (!record.modeList) return kStatusNoModeList;
    const SInt32 available = ArrayCount(record.modeList);
    record.modes.Reinit(available > 0 ? static_cast<UInt32>(available) : 0);
    UInt32 stored = 0;
    for (SInt32 j = 0; j < available; ++j) {
      DisplayMode mode;
      if (ReadDisplayMode(ArrayItem(record.modeList, j), &mode) != 0) continue;
      bool merged = false;
      for (UInt32 k = 0; k < stored; ++k) {
        DisplayMode& earlier = record.modes.data[k];
        if (earlier.width == mode.width && earlier.height == mode.height &&
            earlier.refreshRate == mode.refreshRate) {
          earlier.depths |= mode.depths;
          merged = true;
          break;
        }
      }
      if (!merged) record.modes.data[stored++] = mode;
    }
    record.modes.Resize(stored, 0);
  }
  return kStatusBuilt;
}

UInt32 FindDisplayIDForDevice(DeviceHandle device) {
  if (!DisplayList) return 0;
  for (UInt32 i = DisplayList->count; i-- > 0;)
    if (DisplayList->data[i].device == device) return DisplayList->data[i].displayID;
  return 0;
}

DeviceHandle FindDeviceForDisplayID(UInt32 display) {
  if (!DisplayList) return nullptr;
  for (UInt32 i = DisplayList->count; i-- > 0;)
    if (DisplayList->data[i].displayID == display) return DisplayList->data[i].device;
  return nullptr;
}

Rect GetDisplayBounds(const DisplayRecord* record) {
  if (gBound) {
    const DisplayBoundsRect b = Bound<DisplayBoundsProc>(kBounds)(record->displayID);
    return Rect{static_cast<SInt16>(b.y), static_cast<SInt16>(b.x), static_cast<SInt16>(b.y + b.height),
                static_cast<SInt16>(b.x + b.width)};
  }
  if (record->device) return (*record->device)->bounds;
  return Rect{0, 0, 0, 0};
}

void DisposeDisplayList(NamedArray<DisplayRecord>* list) {
  if (list && list->data) list->Resize(0, 0);
}

void BuildDisplayListAtStartup() {
  InitDisplayList();
  BuildDisplayList(DisplayList);
}

OSStatus HandleWindowZoomEvent(EventHandlerCallRef call, EventRef event, void*) {
  if (GetEventRecordClass(event) == kEventClassWindow && GetEventRecordKind(event) == kEventWindowZoom) {
    SInt16 value = 0;
    if (GetEventParameter(event, FOUR_CHAR_CODE("wpar"), FOUR_CHAR_CODE("wpar"), nullptr, sizeof value, nullptr,
                          &value) == 0)
      SetFullScreen(value == kWindowParamFullScreen ? 1 : 0);
  }
  return PassEventToNextHandler(call, event);
}
