// The machine's displays with the screen modes each offers, read through a
// display-configuration service bound by name. No such service exists here:
// binding fails and the list stays empty. Also the window's zoom handler.
#pragma once

#include "Events.h"
#include "MacTypes.h"
#include "NamedArray.h"
#include "Ports.h"
#include "RefObjects.h"

struct DisplayMode {
  UInt32 mode;
  UInt32 refreshRate;  // 16.16 Hz; 0 for flat panels
  UInt32 width;
  UInt32 height;
  UInt32 depths;  // bits per pixel as read; in a record, the OR of the depths offered
  UInt16 flags;   // bit 0 IOFlags 0x800, bit 1 0x20, bit 2 0x40
  UInt8 safe;     // IOFlags 0x2: switched to without asking
  Str31 name;
};

// The engine's time-task record (no effect on this platform).
struct TimeTaskRecord {
  void* link;
  SInt16 kind;
  void (*routine)(TimeTaskRecord* task);
  SInt32 count;
  SInt32 wakeUp;
  SInt32 reserved;
};

// The VBL words follow the time task, which the task routine is handed.
struct VBLTaskState {
  TimeTaskRecord timeTask;
  void (*taskRoutine)(TimeTaskRecord* task);
  SInt32 stopWord;  // 0 running, -1 asked to stop
  SInt32 running;   // while a beam-timed loop serves the display
  void (*client)();
};

struct DisplayRecord {
  DisplayRecord();
  UInt32 displayID;
  DeviceHandle device;
  NamedArray<DisplayMode> modes;
  UInt32 modeChanged;
  const void* modeList;
  const void* initialMode;
  UInt8 vblFlags[4];
  UInt8 vblInstalled;
  VBLTaskState vbl;
};

// Made by the start-up list with no elements, with the six mode keys.
extern NamedArray<DisplayRecord>* DisplayList;
void InitDisplayList();
void ExitDisplayList();

// The display manager of older systems: a device's gamma record (the header,
// formulaSize bytes, then channelCount runs of dataCount entries of dataWidth
// bits), its mode record and what its mode enumeration hands a callback.
struct DeviceGammaRecord {
  SInt16 version;
  SInt16 type;
  SInt16 formulaSize;
  SInt16 channelCount;
  SInt16 dataCount;
  SInt16 dataWidth;
};
struct DisplayModeWords {
  UInt32 words[4];  // resolution identifier, depth mode, then two service words
};
struct DisplayDepthInfo {
  UInt32 depthMode;
  UInt32 words[4];
};
struct DisplayModeInfo {
  UInt32 resolutionID;
  UInt32 flags;
  UInt32 refreshRate;  // 16.16
  UInt32 width;
  UInt32 height;
  UInt32 depthCount;
  const DisplayDepthInfo* depths;
  Str31 name;
};
// What an enumeration callback fills: the wanted resolution or depth mode,
// whether it was found, and the words taken from the service.
struct DisplayModeMatch {
  UInt32 wanted;
  UInt8 matched;
  UInt32 depth;
  UInt32 words[4];
};
typedef void (*DisplayModeCallback)(DisplayModeMatch* match, UInt32 userWord, const DisplayModeInfo* info);

// The service behind the 28 display functions and the mode dictionaries:
// production binds nothing (the folder service answers -43); tests set a fake.
struct DisplayServiceSeam {
  ProcPtr (*lookup)(const char* name);
  SInt32 (*arrayCount)(const void* array);
  const void* (*arrayItem)(const void* array, SInt32 index);
  const void* (*dictionaryValue)(const void* dictionary, const void* key);
  Boolean (*numberValue)(const void* number, SInt32 numberType, void* outValue);
};
// Nil: the platform's own (which binds nothing).
void SetDisplayServiceSeam(const DisplayServiceSeam* seam);
const DisplayServiceSeam& GetDisplayServiceSeam();

// Beside it, the display manager of older systems: a fake can show an older
// system and answer its calls. Production has none.
struct DisplayManagerSeam {
  UInt8 olderSystem;
  OSErr (*gammaStatus)(DeviceHandle device, const DeviceGammaRecord** outRecord);
  // Code 4 sets the gamma record, 3 the device's colour entries.
  OSErr (*deviceControl)(DeviceHandle device, SInt16 code, const void* parameter);
  OSErr (*currentMode)(DeviceHandle device, DisplayModeWords* outMode);
  OSErr (*enumerateModes)(DeviceHandle device, UInt32 resolutionID, DisplayModeCallback callback,
                          DisplayModeMatch* match);
  OSErr (*setMode)(DeviceHandle device, UInt32 resolutionID, UInt32 depthMode);
  OSErr (*setModePreference)(UInt8 on);
};
// Nil: none.
void SetDisplayManagerSeam(const DisplayManagerSeam* seam);
const DisplayManagerSeam& GetDisplayManagerSeam();
// The system version test as these displays see it: always modern here.
UInt8 DisplaysOnModernSystem();

// The signatures of the display functions this layer calls.
struct DisplayBoundsRect {
  double x, y, width, height;
};
typedef SInt32 (*GetActiveDisplayListProc)(UInt32 maxDisplays, UInt32* displays, UInt32* count);
typedef const void* (*DisplayModeQueryProc)(UInt32 display);
typedef DisplayBoundsRect (*DisplayBoundsProc)(UInt32 display);
typedef SInt32 (*DisplayBeamPositionProc)(UInt32 display);
typedef SInt32 (*DisplayTransferByTableProc)(UInt32 display, UInt32 count, const float* red, const float* green,
                                             const float* blue);
typedef UInt8 (*DisplayIsCapturedProc)(UInt32 display);
typedef SInt32 (*DisplayCaptureProc)(UInt32 display);
typedef SInt32 (*DisplaySwitchToModeProc)(UInt32 display, const void* mode);

constexpr int kDisplayFunctionCount = 28;
// The bound entry points in lookup order (nil until bound).
extern ProcPtr DisplayFunctions[kDisplayFunctionCount];
extern const char* const kDisplayFunctionNames[kDisplayFunctionCount];

// 0 bound (or before), 2 not available.
UInt8 BindDisplayFunctions();
void UnbindDisplayFunctions();
UInt8 DisplayFunctionsBound();

// 0 built (or a list that has elements), 1, 2 no display functions, 5 a
// display without a mode list. A nil current mode mid-list answers 0 with the
// records so far.
UInt8 BuildDisplayList(NamedArray<DisplayRecord>* list);
// 0, or 3 when a present value cannot be read.
UInt8 ReadDisplayMode(const void* dictionary, DisplayMode* mode);
UInt32 FindDisplayIDForDevice(DeviceHandle device);
DeviceHandle FindDeviceForDisplayID(UInt32 display);
Rect GetDisplayBounds(const DisplayRecord* record);
void InitDisplayRecord(DisplayRecord* record);
SInt32 ResetDisplayRecord(DisplayRecord* record);
void DisposeDisplayList(NamedArray<DisplayRecord>* list);
// The display start-up's step (the status is not looked at there).
void BuildDisplayListAtStartup();

// 'wind' kind 76: 'wpar' 8 full screen, another readable value the window,
// unreadable nothing; always passed on.
OSStatus HandleWindowZoomEvent(EventHandlerCallRef call, EventRef event, void* userData);
