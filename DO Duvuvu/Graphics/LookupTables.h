// Colour lookup tables: 256 bytes at pixel depth 8, 32768 16-bit entries at
// depth 16 (15-bit colours), by the depth setting (EngineSettings byte 8);
// loading them and building hue, saturation and lightness tables.
#pragma once

#include "MacTypes.h"
#include "PortDrawing.h"

constexpr SInt32 kLookupTable8Bytes = 256;
constexpr SInt32 kLookupTable16Bytes = 65536;

// A new identity table by the depth setting; other depths make none.
void NewLookupTable(Ptr* table);
void DisposeLookupTable(Ptr* table);
// Nothing when either block is smaller than the depth's table.
void CopyLookupTable(Ptr source, Ptr destination);
// The 'tabl' resource of that name (big-endian entries) into a 16-bit table;
// fatal when there is none or it is short.
void LoadLookupTable16(Ptr* table, ConstStr255Param name);
// A 16-bit table from a 256 x 128 PNG (pixel i at (i mod 256, i div 256));
// 0, or -1 when the file cannot be placed.
SInt32 LoadLookupTableFromImage(Ptr* table, const char* path);

// Scales are 16.16. The builders leave a table smaller than the depth's
// unchanged.
void BuildHSVScaleTable(Ptr table, UInt16 hue, SInt32 saturationScale, SInt32 valueScale);
void BuildHueTable8(Ptr table, UInt16 hue);
void BuildHSVBlendTable(Ptr table, UInt16 hue, UInt16 saturation, SInt32 valueScale, SInt8 percent);
void BuildSaturationTable8(Ptr table, SInt32 saturationScale);
void BuildLightenTable8(Ptr table, UInt16 amount);
void BuildContrastTable8(Ptr table, float factor);

// The contrast builder's change of one colour: saturation x factor (at most
// 65535), value / factor keeping its low 16 bits when the factor is above 0.
HSVColor ContrastChange(HSVColor color, float factor);
