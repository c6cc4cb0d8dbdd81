// The services behind palettes, colour indexes, colour tables, pictures and
// resources. None exists on this platform, so production answers with fixed
// results; tests bind fakes.
#pragma once

#include "FileSpec.h"
#include "GWorld.h"
#include "MacTypes.h"

typedef Handle PicHandle;

struct FixedResultServices {
  void* (*allocPalette)(SInt16 entries, void* colorTable, SInt16 usage, SInt16 flags);  // nil
  void (*colorIndexToRGB)(SInt32 index, ColorRGB* out);                                  // out unchanged
  SInt32 (*rgbToColorIndex)(const ColorRGB* color);                                      // 0
  Handle (*getColorTable)(SInt16 number);  // a zero 2064-byte table, whatever the number
  OSErr (*readPictureFile)(const FileSpec* file, PicHandle* outPicture);  // -1, no picture
  Rect* (*getPictureFrame)(PicHandle picture, Rect* out);                 // out unchanged
  void (*drawPicture)(PicHandle picture, const Rect* destination);        // nothing
  OSErr (*resourceError)();                                               // 0
  Handle (*getNamedResource)(OSType type, ConstStr255Param name);        // nil
};

const FixedResultServices& GetFixedResultServices();
// Copies the record; nil restores the production answers. A nil member keeps
// its production answer.
void SetFixedResultServices(const FixedResultServices* services);
