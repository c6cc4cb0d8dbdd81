#include "Ports.h"

#include <cstring>

#include "AppGlobals.h"
#include "Bundle.h"
#include "DisplayHooks.h"
#include "Errors.h"
#include "Events.h"
#include "FixedResults.h"
#include "Memory.h"
#include "Menus.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "PortText.h"
#include "Random.h"
#include "ResultCodes.h"
#include "System.h"
#include "SystemUI.h"
#include "WindowRecords.h"

BoundedStack<GWorldStackEntry>* GWorldStack = nullptr;
UInt8 PortDepth = 16;
CTabHandle GlobalColorTable = nullptr;
DeviceHandle mainDEVICE = nullptr;
DefaultColorSet DefaultColors;
const ColorRGB BlackColor = {0, 0, 0};
UInt8 GreyRampBytes[16];
UInt16 GreyRampPixels[16];
EngineGraphicsState EngineGraphics;

namespace {

constexpr UInt16 kEventMaskInput = 62;  // mouse down/up, key down/up, auto-key

// The registry's verdict on a world (a pointer block) or a pixel map handle.
OSErr LookUpBlock(const void* block) {
  ClearMemoryError();
  if (GetPtrBlockSize(block) >= 0) return 0;
  ClearMemoryError();
  if (GetHandleBlockSize(reinterpret_cast<Handle>(const_cast<void*>(block))) >= 0) return 0;
  return GetMemoryError();
}

}  // namespace

// The port stack ---------------------------------------------------------------

void InitGWorldStack() {
  if (!GWorldStack) GWorldStack = new BoundedStack<GWorldStackEntry>(kGWorldStackCapacity);
}

void ExitGWorldStack() {
  delete GWorldStack;
  GWorldStack = nullptr;
}

void PushPort() {
  InitGWorldStack();
  if (GWorldStack->top == GWorldStack->capacity - 1) FatalError("GWorld stack is full!", "");
  GWorldStackEntry entry{};
  GetCurrentPort(&entry.port, &entry.device);
  GWorldStack->data[++GWorldStack->top] = entry;
}

void PopPort() {
  if (!GWorldStack || GWorldStack->top < 0) FatalError("GWorld stack is empty!", "PopPort()");
  const GWorldStackEntry entry = GWorldStack->data[GWorldStack->top--];
  SetCurrentPort(entry.port);
}

UInt8 PeekPort(GWorldPtr* outPort, void** outDevice) {
  if (!GWorldStack || GWorldStack->top < 0) return 0;
  const GWorldStackEntry& entry = GWorldStack->data[GWorldStack->top];
  *outPort = entry.port;
  if (outDevice) *outDevice = entry.device;
  return 1;
}

OSErr LockPixMapMemory(const void* worldOrPixMap) { return LookUpBlock(worldOrPixMap); }

OSErr UnlockPixMapMemory(const void* worldOrPixMap) { return LookUpBlock(worldOrPixMap); }

// Pixel maps -------------------------------------------------------------------

void SetPortDepth(UInt8 depth) { PortDepth = depth; }

OSErr MakePixMap(UInt8 depth, PixMapHandle* out, const Rect* bounds, UInt8 mustSucceed, UInt8 ownMemory,
                 UInt8 erase) {
  if (gDisplayHooks.createPixMap)
    return gDisplayHooks.createPixMap(static_cast<SInt8>(depth), out, bounds, mustSucceed, ownMemory, erase);

  const SInt16 pixelDepth = depth < 16 ? 16 : (depth == 16 ? 16 : 32);
  const SInt32 width = bounds->right - bounds->left > 0 ? bounds->right - bounds->left : 0;
  const SInt32 height = bounds->bottom - bounds->top > 0 ? bounds->bottom - bounds->top : 0;
  const SInt64 rowBytes = static_cast<SInt64>(width) * pixelDepth / 8;
  const SInt64 size = rowBytes * height;
  // Row bytes keep 15 bits; the allocator takes an i32.
  if (rowBytes > kPixMapRowBytesMask || size > 0x7FFFFFFF) {
    *out = nullptr;
    SetMemoryError(kErrMemFull);
    return kErrMemFull;
  }
  *out = NewPixMapHandle();
  if (!*out) return GetMemoryError() ? GetMemoryError() : kErrMemFull;
  Ptr pixels = NewPtrBlock(static_cast<SInt32>(size));
  if (!pixels) {
    const OSErr err = GetMemoryError() ? GetMemoryError() : kErrMemFull;
    DisposePixMapHandle(*out);
    *out = nullptr;
    return err;
  }
  PixMap* p = **out;
  p->baseAddr = pixels;
  p->rowBytes = static_cast<UInt16>(rowBytes | kPixMapRowBytesFlag);
  p->bounds = Rect{0, 0, static_cast<SInt16>(height), static_cast<SInt16>(width)};
  p->hRes = 72;
  p->vRes = 72;
  p->pixelType = 0;
  p->pixelDepth = pixelDepth;
  p->cmpCount = 1;
  p->cmpSize = pixelDepth == 32 ? 8 : 5;
  p->pixelFormat = pixelDepth == 32 ? 32 : 16;
  p->colorTable = nullptr;
  p->extension = 0;

  if (erase) {
    GWorldPtr temporary = nullptr;
    const OSErr err = BuildGWorldOverMemory(&temporary, static_cast<SInt16>(p->pixelFormat), bounds,
                                            reinterpret_cast<Handle>(GlobalColorTable), 0, 0, pixels,
                                            static_cast<UInt16>(rowBytes));
    if (err) {
      ReleasePixMap(out);
      return err;
    }
    PushPort();
    SetCurrentPort(temporary);
    FillRectBackColor(bounds);
    PopPort();
    DestroyGWorld(temporary);
  }
  return 0;
}

void SyncGWorldColorTable(GWorldPtr world) {
  if (!world) return;
  const PixMap* p = *world->portPixMap;
  if (p->pixelDepth > 8) return;
  PushPort();
  SetCurrentPort(world);
  auto table = reinterpret_cast<CTabHandle>(p->colorTable);
  if (table && *table) {
    // The flags byte follows the 32-bit seed.
    reinterpret_cast<UInt8*>(*table)[sizeof(SInt32)] |= 1;
    if (GlobalColorTable && *GlobalColorTable) (*table)->seed = (*GlobalColorTable)->seed;
  }
  PopPort();
}

// The main device --------------------------------------------------------------

DeviceHandle GetMainDeviceHandle() {
  if (mainDEVICE) return mainDEVICE;
  auto device = reinterpret_cast<DeviceHandle>(NewHandleBlockClear(sizeof(DeviceRecord)));
  if (!device) return nullptr;
  (*device)->type = 2;
  GetMainScreenRect(&(*device)->bounds);
  mainDEVICE = device;
  return device;
}

// Start-up and shut-down -------------------------------------------------------

void InitDefaultColors() {
  DefaultColors.white = ColorRGB{65535, 65535, 65535};
  DefaultColors.grey = ColorRGB{32768, 32768, 32768};
  for (UInt16& word : DefaultColors.extra) word = 65535;
}

namespace {

void BuildGreyRamps(UInt8 screenDepth) {
  for (int i = 0; i < 16; ++i) GreyRampBytes[i] = static_cast<UInt8>(i < 8 ? 32 * i : 32 * (i - 8) + 31);
  if (screenDepth == 8) {
    for (int i = 0; i < 16; ++i) GreyRampPixels[i] = GreyRampBytes[i];
  } else if (screenDepth == 16) {
    for (int i = 0; i < 16; ++i) {
      const UInt16 five = static_cast<UInt16>((65535 - 4369 * i) >> 11);
      GreyRampPixels[i] = static_cast<UInt16>(five << 10 | five << 5 | five);
    }
  }
}

}  // namespace

void InitEngineGraphics() {
  if (EngineGraphics.ranOnce) return;
  InitMemoryZone();
  InitCursorState();
  InitDefaultColors();

  EngineGraphics.tickRate = 60;
  EngineGraphics.word1 = 0;
  EngineGraphics.word2 = 0;
  ProcessSerialNumber serial;
  GetCurrentProcessSerial(&serial);

  mainDEVICE = GetMainDeviceHandle();
  gCursorVisible = 1;
  EngineGraphics.flag1 = 1;
  EngineGraphics.flag2 = 1;

  SInt32 attribute = 0;
  if (GetSystemAttribute(FOUR_CHAR_CODE("menu"), &attribute) == 0) EngineGraphics.menuFlag = (attribute & 2) != 0;

  RecordStartupDate();
  SeedRandomFromClock();

  if (gUseBundle) ActivateBundleResources(nullptr);

  static const unsigned char kGeneva[] = "\006Geneva";
  static const unsigned char kChicago[] = "\007Chicago";
  static const unsigned char kMonaco[] = "\006Monaco";
  EngineGraphics.genevaFont = OpenFontByName(kGeneva);
  EngineGraphics.chicagoFont = OpenFontByName(kChicago);
  EngineGraphics.monacoFont = OpenFontByName(kMonaco);

  BuildGreyRamps(EngineSettings[kSettingDepth]);

  attribute = 0;
  if (GetSystemAttribute(FOUR_CHAR_CODE("powr"), &attribute) == 0 && (attribute & 0x10) &&
      GetPowerManagerSelectorCount() > 6)
    EngineGraphics.powerFlag = 1;

  DrainEvents(kEventMaskInput);
  EngineGraphics.ranOnce = 1;
}

OSStatus ShutdownApplication(UInt8 keepRunning) {
  EngineGraphics.quitting = 1;
  ShowMenuBarIfHidden();
  if (gUseBundle) ReleaseBundleResources();
  SetArrowCursor();
  ShowCursorOnce();
  const OSStatus result = DrainEvents(kEventMaskInput);
  if (!keepRunning) ExitProgram();
  return result;
}

void ResetEngineGraphicsForTesting() {
  EngineGraphics = EngineGraphicsState{};
  if (mainDEVICE) DisposeHandleBlock(reinterpret_cast<Handle>(mainDEVICE));
  mainDEVICE = nullptr;
}
