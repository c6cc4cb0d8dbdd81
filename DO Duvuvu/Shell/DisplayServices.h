// What the shell takes from the display layer, which sits above it: the
// display layer registers one record at start-up. An empty member does
// nothing or answers 0/nil; tests register recording fakes.
#pragma once

#include "DisplayHooks.h"
#include "MacTypes.h"

struct DisplayServices {
  // The hook implementations the shell installs.
  void (*flushToScreen)(WindowRef window);  // slot 7
  UInt32 (*isFullScreen)();                 // slot 8
  void (*setFullScreen)(UInt32 on);         // slot 9
  void (*enterMenuMode)();                  // slot 10
  // The display start-up's steps.
  void (*setPortDepth)(UInt8 depth);
  void (*installPixMapHooks)();
  void (*buildDisplayList)();
  void (*buildBrightGammaTables)();
  void (*windowInitGL)(SInt16 width, SInt16 height);
  // The Window menu's size requests.
  void (*setWindowContentSize)(SInt16 width, SInt16 height);
  void (*disableAllMenus)();
  // A new 1 x 1, 32-bit world, and making a world the current port.
  GWorldPtr (*newWindowManagerWorld)();
  void (*setCurrentWorld)(GWorldPtr world);
  // The pixel size of a device's pixel map (nil = the main device) and its
  // device flags.
  SInt16 (*devicePixelDepth)(void* device, UInt16* outFlags);

  // What the dialogs draw and measure with.
  void (*pushPort)();
  void (*popPort)();
  void (*setPortToWindow)(WindowRef window);
  // Empty: the shell's conversion through the front window's content origin.
  void (*windowToScreenPoint)(Point* point);
  // Empty: display 0.
  void (*mainDeviceBounds)(Rect* outBounds);
  UInt8 (*fullScreenFlag)();
  // The text's width in the given style with the port's text parameters reset
  // (saved and restored around the measure).
  SInt16 (*measureText)(ConstStr255Param text, SInt16 style);
  OSStatus (*shutdownApplication)(UInt8 keepRunning);
  // Colours are three 16-bit components (red, green, blue).
  void (*paintRect)(const Rect* rect, const UInt16* rgb);
  void (*frameRect)(const Rect* rect, const UInt16* rgb);
  void (*eraseRect)(const Rect* rect);
  // Colour-table entry i of the main device; false without a table.
  bool (*mainDeviceColor)(SInt32 index, UInt16* outRgb);
  // The current port's foreground colour, pen, text style, and a text drawn
  // at the pen in that colour.
  void (*setForeColor)(const UInt16* rgb);
  void (*movePenTo)(SInt16 h, SInt16 v);
  void (*setTextStyle)(UInt8 style);
  void (*drawText)(ConstStr255Param text);
  // The current port's background colour.
  void (*backColor)(UInt16* outRgb);
  void (*setBackColor)(const UInt16* rgb);
  // A font of the font folder by name: its number, 0 when none opens.
  SInt16 (*openFontByName)(ConstStr255Param name);
  // The engine's standard foreground colour.
  void (*standardForeColor)(UInt16* outRgb);
  // Holds flushing to the screen off while set.
  void (*setFlushHold)(UInt8 hold);
};

// Copies the record; nil empties every member.
void RegisterDisplayServices(const DisplayServices* services);
const DisplayServices& GetDisplayServices();
