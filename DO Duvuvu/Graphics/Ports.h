// The port stack, the system's one entry for new pixel maps, the main device,
// and the start-up and shut-down of the drawing environment.
#pragma once

#include "BoundedStack.h"
#include "GWorld.h"
#include "MacTypes.h"
#include "PixMap.h"

// The port stack ---------------------------------------------------------------

struct GWorldStackEntry {
  GWorldPtr port;
  void* device;  // always nil here
  bool operator==(const GWorldStackEntry& other) const = default;
};
constexpr SInt16 kGWorldStackCapacity = 128;

// Made by the start-up list; nil before.
extern BoundedStack<GWorldStackEntry>* GWorldStack;
void InitGWorldStack();
void ExitGWorldStack();

// The 129th push without a pop is fatal, and so is a pop of an empty stack.
void PushPort();
// Makes the popped world current; the device is not restored.
void PopPort();
// 1 with the top entry, or 0 with nothing written when the stack is empty.
UInt8 PeekPort(GWorldPtr* outPort, void** outDevice);

// No locking happens: the block is looked up in the registry and the memory
// error returned (0, or -111 for a block the registry does not know).
OSErr LockPixMapMemory(const void* worldOrPixMap);
OSErr UnlockPixMapMemory(const void* worldOrPixMap);

// Pixel maps -------------------------------------------------------------------

// The depth the display start-up copies from EngineSettings[kSettingDepth].
extern UInt8 PortDepth;
void SetPortDepth(UInt8 depth);

// Through the pixmap list once its hooks are installed; else a plain pixel map
// (depth below 16 -> 16, other than 16 -> 32) with bounds moved to (0, 0). A
// size that does not fit the allocator is the memory error -108.
OSErr MakePixMap(UInt8 depth, PixMapHandle* out, const Rect* bounds, UInt8 mustSucceed, UInt8 ownMemory,
                 UInt8 erase);

// Colour tables: seed, flags, size (entries - 1), then the entries.
struct ColorSpecEntry {
  SInt16 value;
  UInt16 red;
  UInt16 green;
  UInt16 blue;
};
struct CTable {
  SInt32 seed;
  SInt16 flags;
  SInt16 size;
  ColorSpecEntry table[1];
};
typedef CTable* CTabPtr;
typedef CTabPtr* CTabHandle;

// The screen's base colour table; nil until a screen table is loaded (never
// here).
extern CTabHandle GlobalColorTable;
// Sets bit 0 of the world's table flags and copies the global table's seed,
// for worlds of 8 bits or less; the palette steps have no effect here.
void SyncGWorldColorTable(GWorldPtr world);

// The main device --------------------------------------------------------------

struct DeviceRecord {
  SInt16 type;  // 2
  Rect bounds;  // the primary screen
  SInt16 flags;
  PixMapHandle pixMap;
  UInt32 reserved[8];
};
typedef DeviceRecord* DevicePtr;
typedef DevicePtr* DeviceHandle;

extern DeviceHandle mainDEVICE;
// Made on first use from the primary screen's size.
DeviceHandle GetMainDeviceHandle();

// Start-up and shut-down -------------------------------------------------------

// The engine's constant colours.
struct DefaultColorSet {
  ColorRGB white;
  ColorRGB grey;
  UInt16 extra[3];
};
extern DefaultColorSet DefaultColors;
extern const ColorRGB BlackColor;
void InitDefaultColors();

// Bytes 0, 32 .. 224, 31, 63 .. 255; the pixels follow the screen depth.
extern UInt8 GreyRampBytes[16];
extern UInt16 GreyRampPixels[16];

// What the drawing start-up records.
struct EngineGraphicsState {
  SInt32 tickRate;  // 60
  SInt32 word1;
  SInt32 word2;
  UInt8 flag1;
  UInt8 flag2;
  UInt8 menuFlag;   // bit 1 of the 'menu' attribute
  UInt8 powerFlag;  // never set here
  UInt8 quitting;
  UInt8 ranOnce;
  SInt16 genevaFont;
  SInt16 chicagoFont;
  SInt16 monacoFont;
};
extern EngineGraphicsState EngineGraphics;

// Once; a second call returns at once.
void InitEngineGraphics();
// Ends the process (status 0) unless keepRunning; else the drain's result.
OSStatus ShutdownApplication(UInt8 keepRunning);

// Tests only: forget the ran-once flag and the main device.
void ResetEngineGraphicsForTesting();
