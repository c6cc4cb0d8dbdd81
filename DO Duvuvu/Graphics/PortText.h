// Fonts opened by name from the font folder through FreeType, and text runs
// measured and drawn into the current port's pixel map at its pen.
#pragma once

#include "FileSpec.h"
#include "MacTypes.h"

struct FontExtents {
  SInt16 ascent;
  SInt16 descent;
  SInt16 widMax;
  SInt16 leading;
};

constexpr SInt32 kFontFolderBytes = 4096;

// FreeType failing is a message box, then status 1.
void InitFontLibrary();
// Start-up entries: the font maps and the fallback glyph table; the exit
// closes the faces and the library.
void InitPortTextTables();
void ExitPortTextTables();

// Volume path + folder name, each ending in '/'; -43 when the volume has no
// path.
OSErr SetFontFolder(const FileSpec* folder);
OSErr ClearFontFolder();
const char* GetFontFolder();

// ".ttf", then ".bdf"; 0 when neither opens (the number is not consumed).
SInt16 OpenFontByName(ConstStr255Param name);
SInt16 GetFontNumber(ConstStr255Param name, UInt16* outNumber);

void SetCurrentTextFont(UInt16 font);
void SetCurrentTextStyle(UInt8 style);
void SetCurrentTextMode(UInt16 mode);
void SetCurrentTextSize(UInt16 size);

// All 0 without a font or when sizing fails.
void GetFontExtents(FontExtents* out);
SInt16 MeasureTextRun(const void* text, SInt16 offset, SInt16 length);
SInt16 MeasurePString(ConstStr255Param string);
// At the port's pen, in its foreground colour; the pen stays.
void DrawTextRun(const void* text, SInt16 offset, SInt16 length);
void DrawPString(ConstStr255Param string);

// Queries of the Toolbox text interface with fixed results.
SInt16 GetCurrentCharExtra();
// Writes no length; 0.
SInt16 FindLineBreak(const void* text, SInt32 length, SInt32 offset, SInt32 width, SInt32* ioLineLength);

// Resource files: none here.
SInt16 GetCurrentResourceFile();
void UseResourceFile(SInt16 file);
Handle GetResourceByTypeID(OSType type, SInt16 id);
void ReleaseResourceHandle(Handle resource);
