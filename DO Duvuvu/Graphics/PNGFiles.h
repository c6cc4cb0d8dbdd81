// PNG files: reading into fresh pixel blocks, header and palette queries,
// writing (always through a safe save), placing into and saving pixel maps,
// and moving alpha between 8- and 32-bit pixel maps.
#pragma once

#include <cstddef>

#include "MacTypes.h"
#include "PixMap.h"

struct FileClass;

// Files larger than this many pixels are refused before anything is allocated.
constexpr size_t kPNGMaxPixels = size_t{1} << 26;
// Largest side libpng is allowed to accept.
constexpr UInt32 kPNGMaxSide = 16384;
// Bytes a palette buffer must hold: 256 entries of red, green, blue.
constexpr size_t kPNGPaletteBytes = 256 * 3;

// Decodes the file into a block (free it with delete[]): rows top to bottom,
// bytes R, G, B, A a pixel, or one grey level or palette index a pixel when
// eightBit is set. Width and height are 0 unless it succeeds. palette (when
// given) holds kPNGPaletteBytes and receives the PLTE entries, their count in
// *paletteCount. Nil for a missing, damaged, hostile or over-large file.
UInt8* ReadPNGFile(const char* path, UInt32* width, UInt32* height, UInt8 eightBit, UInt8* palette,
                   SInt32* paletteCount);
// Answers where a width x height RGBA image goes: its first row, with
// *stride (at least width x 4, preset to that) bytes from row to row; nil
// refuses the file.
using PNGRowPlacer = UInt8* (*)(void* context, UInt32 width, UInt32 height, size_t* stride);
// As ReadPNGFile with R, G, B, A bytes, but straight into the rows place
// answers once the size is known, with no block of its own. 1 done; 0 for the
// files ReadPNGFile refuses, and then the rows may hold part of the image.
int ReadPNGFileIntoRows(const char* path, PNGRowPlacer place, void* context, UInt32* width, UInt32* height);
// 0, -43 when the file cannot be opened, -1 for anything else.
OSErr GetPNGFileSize(const char* path, UInt32* width, UInt32* height);
// palette holds kPNGPaletteBytes. 0, -43 or -1.
OSErr GetPNGFilePalette(const char* path, UInt8* palette, SInt32* count);
// Writes RGBA pixels (or 8-bit ones, as palette indices when a palette is
// given, else grey). 1 written; 0 failed, with any old file left whole.
UInt8 WritePNGFile(const char* path, const void* pixels, UInt32 width, UInt32 height, UInt8 eightBit,
                   const UInt8* palette, SInt32 paletteCount);

// Copies the image at (h, v) into the pixel map without blending, clipped per
// pixel, and returns the unclipped rect it covers (written to *outRect too);
// the empty rect when the file cannot be read. A nil map is fatal.
Rect PlacePNG_Point(const char* path, PixMapHandle pixMap, SInt16 h, SInt16 v, Rect* outRect);
// Writes r (nil: the bounds; clipped to them) of the map as name (".png"
// added unless present) in folder (the default folder when it has no path).
UInt8 SavePixMapAsPNG(const char* name, PixMapHandle pixMap, const Rect* r, FileClass* folder, UInt8 eightBit,
                      UInt8 noPalette);

// Alpha between 8-bit levels 0..255 and 0..32, over r (nil: the bounds),
// clipped to the bounds and taken relative to them.
void AlphaTo32Levels(PixMapHandle pixMap, const Rect* r);
void AlphaFrom32Levels(PixMapHandle pixMap, const Rect* r);
// r's sides are row and column indexes into both maps, clipped to both sizes.
// The 8-bit map's bytes become (or receive) bits 24-31 of the 32-bit pixels.
void CopyAlphaToPixMap32(PixMapHandle alpha8, PixMapHandle pixMap32, const Rect* r);
void CopyAlphaFromPixMap32(PixMapHandle pixMap32, PixMapHandle alpha8, const Rect* r);
