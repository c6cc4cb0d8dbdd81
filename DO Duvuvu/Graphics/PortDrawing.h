// The current port's pen and colours, single pixels as ColorRGB, HSV
// conversion, fill patterns, the cursor count, the C runtime's random number,
// the guarded pointer release and the displays-ready flag.
#pragma once

#include "GWorld.h"
#include "MacTypes.h"

struct HSVColor {
  UInt16 hue;  // 0..65535 round the circle: red 0, green 21845, blue 43690
  UInt16 saturation;
  UInt16 value;
};

// Pen and colours of the current port ------------------------------------------

void GetPenLocation(Point* out);
void SetPenSize(SInt16 width, SInt16 height);
void MovePenTo(SInt16 h, SInt16 v);
void MovePenBy(SInt16 dh, SInt16 dv);
void SetForeColorRGB(const ColorRGB* color);
void SetBackColorRGB(const ColorRGB* color);
ColorRGB* GetPortBackColorRGB(GWorldPtr world, ColorRGB* out);
void CopyPortRect(GWorldPtr world, Rect* out);

// One pixel of the current port's map at (h, v) from its base address, no
// bounds test: 16-bit keeps the top 5 bits of each component, 32-bit the high
// byte. Other depths neither write nor read.
void SetPixelRGB(SInt16 h, SInt16 v, const ColorRGB* color);
void GetPixelRGB(SInt16 h, SInt16 v, ColorRGB* out);

void HSVToRGB(const HSVColor* in, ColorRGB* out);
void RGBToHSV(const ColorRGB* in, HSVColor* out);

// A zero-filled 2064-byte colour table; nil when memory is short.
Handle NewCTableHandle();
void DisposeCTableHandle(Handle table);

// Patterns, cursor, random ---------------------------------------------------------

UInt8* FillPatternGray(UInt8* pattern);  // AA 55 AA 55 ...
UInt8* FillPatternZero(UInt8* pattern);
UInt8* FillPatternOnes(UInt8* pattern);  // eight bytes of 1
// The system's new display count (the cursor shows while it is >= 0).
SInt32 HideMouseCursor();
SInt32 ShowMouseCursor();
// A 68-byte record made on first use and kept.
Handle GetDefaultCursorHandle();
// 0..32767.
SInt16 RandomShort();

// Memory and start-up state ------------------------------------------------------------

// A nil argument is fatal; a nil variable does nothing; else the block is
// released and the variable cleared.
void DisposePtr_Safe(Ptr* block);
void ClearDisplaysReady();
UInt8 DisplaysReady();
// Graphics II's display start-up sets it.
void SetDisplaysReady();

// Routines with no service on this platform: no effect, results 0 --------------------

void* CreateRegion();
void DisposeRegion(void* region);
void SetRegionToRect(void* region, const Rect* rect);
UInt8 PointInRegion(Point point, void* region);
void CopyRegionBits(PixMapHandle source, PixMapHandle destination, const Rect* sourceRect, const Rect* destRect,
                    SInt16 mode, void* maskRegion);
void OpenRegionRecording();
void CloseRegionRecording(void* region);
void CombineRegions(void* a, void* b, void* out);
void* OpenPicture(const Rect* frame);
void ClosePicture();
Rect* GetPictureFrame(void* picture, Rect* out);
void DrawPicture(void* picture, const Rect* dest);
void SetCursorShape(const void* cursor);
void SetCursorByHandle(Handle cursor);
void InitCursorState();
void InitStandardDrawingProcs(void* procs);
void* GetPortDrawingProcs(GWorldPtr world);
void SetPortDrawingProcs(GWorldPtr world, void* procs);
SInt16 GetPortTextFont(GWorldPtr world);
SInt16 GetPortTextStyle(GWorldPtr world);
SInt16 GetPortTextMode(GWorldPtr world);
SInt16 GetPortTextSize(GWorldPtr world);
void BeginTextBox(const Rect* box);
void PrepareDrawing();
void ColorIndexToRGB(SInt32 index, ColorRGB* out);
SInt32 RGBToColorIndex(const ColorRGB* color);
void SetDeviceEntries(SInt16 start, SInt16 count, const void* entries);
SInt32 GetColorTableSeed();
void* GetCurrentDevice();
void SetCurrentDevice(void* device);
SInt32 QueryDeviceMode(void* device, SInt32 mode);
void SetDeviceDepth(void* device, SInt16 depth, SInt16 whichFlags, SInt16 flags);
void NoteMouseMoved();
