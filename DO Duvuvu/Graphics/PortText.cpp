#include "PortText.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "GWorld.h"
#include "Strings.h"
#include "Sys.h"

namespace {

FT_Library gFontLibrary = nullptr;
char gFontFolder[kFontFolderBytes];
// Made by the start-up list (or on first use).
std::map<std::string, SInt16>* gFontNumbers = nullptr;
std::map<SInt16, FT_Face>* gFontFaces = nullptr;
SInt16 gNextFontNumber = 1;
UInt8 gFallbackGlyphs[256];

constexpr FT_Matrix kIdentity = {0x10000, 0, 0, 0x10000};

void EnsureTables() {
  if (!gFontNumbers) gFontNumbers = new std::map<std::string, SInt16>();
  if (!gFontFaces) gFontFaces = new std::map<SInt16, FT_Face>();
}

GWorldPtr CurrentPort() {
  GWorldPtr port = nullptr;
  GetCurrentPort(&port, nullptr);
  return port;
}

// Appends with the 4096-byte bound of every path here.
void AppendBounded(char* path, const char* text) {
  const size_t used = std::strlen(path);
  if (used + 1 >= kFontFolderBytes) return;
  std::snprintf(path + used, kFontFolderBytes - used, "%s", text);
}

void AppendSlashIfMissing(char* path) {
  const size_t used = std::strlen(path);
  if (used == 0 || path[used - 1] != '/') AppendBounded(path, "/");
}

bool EndsWithNoCase(const char* text, const char* ending) {
  const size_t n = std::strlen(text);
  const size_t m = std::strlen(ending);
  if (n < m) return false;
  for (size_t i = 0; i < m; ++i) {
    char a = text[n - m + i];
    char b = ending[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

// The port's font, the lowest open one when its number is not open, or nil.
FT_Face PortFace(const GWorld* port) {
  EnsureTables();
  if (gFontFaces->empty()) return nullptr;
  auto found = gFontFaces->find(port->textFont);
  if (found != gFontFaces->end() && found->second) return found->second;
  for (const auto& [number, face] : *gFontFaces)
    if (face) return face;
  return nullptr;
}

// Sized at the port's text size and the integer part of its resolution.
FT_Face SizedPortFace(const GWorld* port) {
  FT_Face face = PortFace(port);
  if (!face) return nullptr;
  const UInt32 res = (*port->portPixMap)->hRes;
  const FT_UInt dpi = res >= 0x10000 ? res >> 16 : res;
  if (FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(port->textSize) * 64, 0, dpi, 0) != 0) return nullptr;
  return face;
}

FT_UInt GlyphIndexOf(FT_Face face, UInt8 byte) {
  if (face->num_charmaps > 0 && face->charmaps[0]->encoding == FT_ENCODING_NONE) return gFallbackGlyphs[byte];
  return FT_Get_Char_Index(face, byte);
}

// Loads and renders one byte at the pen; true when the glyph was a bitmap.
bool LoadAndRender(FT_Face face, UInt8 byte, FT_Vector* pen) {
  FT_Matrix matrix = kIdentity;
  FT_Set_Transform(face, &matrix, pen);
  FT_Load_Glyph(face, GlyphIndexOf(face, byte), FT_LOAD_NO_BITMAP);
  const bool wasBitmap = face->glyph->format == FT_GLYPH_FORMAT_BITMAP;
  FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
  return wasBitmap;
}

UInt32 Coverage(const FT_Bitmap& bitmap, unsigned row, unsigned column) {
  const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return line[column];
  return (line[column / 8] >> (7 - column % 8)) & 1 ? 255 : 0;
}

UInt32 BlendField(UInt32 color, UInt32 old, UInt32 c) { return color * c / 255 + old * (255 - c) / 255; }

// The bitmap with its top-left at (left, top) of the pixel memory.
void BlendIntoPort(const GWorld* port, const FT_Bitmap& bitmap, SInt32 left, SInt32 top) {
  if (!bitmap.buffer) return;
  const PixMap* p = *port->portPixMap;
  const SInt32 width = p->bounds.right - p->bounds.left;
  const SInt32 height = p->bounds.bottom - p->bounds.top;
  const SInt32 rowBytes = p->rowBytes & kPixMapRowBytesMask;
  const ColorRGB& fore = port->foreColor;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const SInt32 y = top + static_cast<SInt32>(row);
    if (y < 0 || y >= height) continue;
    UInt8* line = reinterpret_cast<UInt8*>(p->baseAddr) + static_cast<ptrdiff_t>(y) * rowBytes;
    for (unsigned column = 0; column < bitmap.width; ++column) {
      const SInt32 x = left + static_cast<SInt32>(column);
      if (x < 0 || x >= width) continue;
      const UInt32 c = Coverage(bitmap, row, column);
      if (p->pixelDepth == 16) {
        UInt16* pixel = reinterpret_cast<UInt16*>(line) + x;
        const UInt32 old = *pixel;
        const UInt32 r = BlendField(fore.red >> 11, old >> 10 & 0x1F, c);
        const UInt32 g = BlendField(fore.green >> 11, old >> 5 & 0x1F, c);
        const UInt32 b = BlendField(fore.blue >> 11, old & 0x1F, c);
        *pixel = static_cast<UInt16>((old & 0x8000) | r << 10 | g << 5 | b);
      } else if (p->pixelDepth == 32) {
        UInt32* pixel = reinterpret_cast<UInt32*>(line) + x;
        const UInt32 old = *pixel;
        const UInt32 r = BlendField(fore.red >> 8, old >> 16 & 0xFF, c);
        const UInt32 g = BlendField(fore.green >> 8, old >> 8 & 0xFF, c);
        const UInt32 b = BlendField(fore.blue >> 8, old & 0xFF, c);
        *pixel = (old & 0xFF000000u) | r << 16 | g << 8 | b;
      }
    }
  }
}

SInt32 CeilDiv64(FT_Long value) { return static_cast<SInt32>((value + 63) >> 6); }

}  // namespace

void InitFontLibrary() {
  if (gFontLibrary) return;
  const FT_Error err = FT_Init_FreeType(&gFontLibrary);
  if (err == 0) return;
  char caption[64];
  std::snprintf(caption, sizeof caption, "Can't initialize fonts, error %d", err);
  ShowMessageBox(caption, "JoinCStrs( \"Can't initialize fonts, error \", CStrNum( err ) )");
  ExitProcess(1);
}

void InitPortTextTables() {
  EnsureTables();
  for (int i = 0; i < 256; ++i) {
    UInt8 glyph = 0;
    if (i >= '0' && i <= '9') glyph = static_cast<UInt8>(17 + i - '0');
    if (i >= 'A' && i <= 'Z') glyph = static_cast<UInt8>(34 + i - 'A');
    if (i >= 'a' && i <= 'z') glyph = static_cast<UInt8>(62 + i - 'a');
    gFallbackGlyphs[i] = glyph;
  }
}

void ExitPortTextTables() {
  if (gFontFaces)
    for (auto& [number, face] : *gFontFaces)
      if (face) FT_Done_Face(face);
  delete gFontFaces;
  delete gFontNumbers;
  gFontFaces = nullptr;
  gFontNumbers = nullptr;
  gNextFontNumber = 1;
  if (gFontLibrary) FT_Done_FreeType(gFontLibrary);
  gFontLibrary = nullptr;
}

OSErr SetFontFolder(const FileSpec* folder) {
  const char* volumePath = folder ? GetDirectoryPath(folder->parID) : nullptr;
  if (!volumePath) return kErrFileNotFound;
  char path[kFontFolderBytes] = {0};
  AppendBounded(path, volumePath);
  AppendSlashIfMissing(path);
  char name[256];
  PToCStr(folder->name, name);
  AppendBounded(path, name);
  AppendSlashIfMissing(path);
  std::memcpy(gFontFolder, path, sizeof gFontFolder);
  return 0;
}

OSErr ClearFontFolder() {
  gFontFolder[0] = 0;
  return 0;
}

const char* GetFontFolder() { return gFontFolder; }

SInt16 OpenFontByName(ConstStr255Param name) {
  EnsureTables();
  const std::string key(reinterpret_cast<const char*>(name + 1), name[0]);
  if (auto found = gFontNumbers->find(key); found != gFontNumbers->end()) return found->second;

  const SInt16 number = gNextFontNumber;
  (*gFontNumbers)[key] = number;
  (*gFontFaces)[number] = nullptr;

  char path[kFontFolderBytes] = {0};
  AppendBounded(path, gFontFolder);
  AppendBounded(path, key.c_str());
  for (const char* extension : {".ttf", ".bdf"}) {
    char candidate[kFontFolderBytes];
    std::memcpy(candidate, path, sizeof candidate);
    if (!EndsWithNoCase(candidate, extension)) AppendBounded(candidate, extension);
    FT_Face face = nullptr;
    if (!gFontLibrary || FT_New_Face(gFontLibrary, candidate, 0, &face) != 0) continue;
    (*gFontFaces)[number] = face;
    ++gNextFontNumber;
    if (face->num_charmaps > 0) FT_Select_Charmap(face, face->charmaps[0]->encoding);
    return number;
  }
  gFontNumbers->erase(key);
  gFontFaces->erase(number);
  return 0;
}

SInt16 GetFontNumber(ConstStr255Param name, UInt16* outNumber) {
  const SInt16 number = OpenFontByName(name);
  *outNumber = static_cast<UInt16>(number);
  return number;
}

void SetCurrentTextFont(UInt16 font) { CurrentPort()->textFont = static_cast<SInt16>(font); }
void SetCurrentTextStyle(UInt8 style) { CurrentPort()->textStyle = style; }
void SetCurrentTextMode(UInt16 mode) { CurrentPort()->textMode = static_cast<SInt16>(mode); }
void SetCurrentTextSize(UInt16 size) { CurrentPort()->textSize = static_cast<SInt16>(size); }

void GetFontExtents(FontExtents* out) {
  *out = FontExtents{0, 0, 0, 0};
  FT_Face face = SizedPortFace(CurrentPort());
  if (!face) return;
  const FT_Size_Metrics& m = face->size->metrics;
  out->ascent = static_cast<SInt16>(CeilDiv64(m.ascender));
  out->descent = static_cast<SInt16>(CeilDiv64(-m.descender));
  out->widMax = static_cast<SInt16>(CeilDiv64(m.max_advance));
  const SInt32 leading = CeilDiv64(m.height) - out->ascent - out->descent;
  out->leading = static_cast<SInt16>(leading > 0 ? leading : 0);
}

SInt16 MeasureTextRun(const void* text, SInt16 offset, SInt16 length) {
  FT_Face face = SizedPortFace(CurrentPort());
  if (!face || !text) return 0;
  const UInt8* bytes = static_cast<const UInt8*>(text) + offset;
  FT_Vector pen = {0, 0};
  for (SInt16 i = 0; i < length; ++i) {
    LoadAndRender(face, bytes[i], &pen);
    pen.x += face->glyph->advance.x;
    pen.y += face->glyph->advance.y;
  }
  return static_cast<SInt16>((pen.x + 63) >> 6);
}

SInt16 MeasurePString(ConstStr255Param string) { return MeasureTextRun(string + 1, 0, string[0]); }

void DrawTextRun(const void* text, SInt16 offset, SInt16 length) {
  const GWorldPtr port = CurrentPort();
  FT_Face face = SizedPortFace(port);
  if (!face || !text) return;
  const PixMap* p = *port->portPixMap;
  const SInt32 height = p->bounds.bottom - p->bounds.top;
  // 26.6, y up from the pixel map's bottom, in the map's own rows and columns.
  FT_Vector pen = {static_cast<FT_Pos>(port->penLocation.h - p->bounds.left) * 64,
                   static_cast<FT_Pos>(height - (port->penLocation.v - p->bounds.top)) * 64};
  const UInt8* bytes = static_cast<const UInt8*>(text) + offset;
  for (SInt16 i = 0; i < length; ++i) {
    FT_GlyphSlot slot = face->glyph;
    if (LoadAndRender(face, bytes[i], &pen)) {
      FT_Glyph copy = nullptr;
      if (FT_Get_Glyph(slot, &copy) == 0 && copy->format == FT_GLYPH_FORMAT_BITMAP) {
        const FT_Bitmap& bitmap = reinterpret_cast<FT_BitmapGlyph>(copy)->bitmap;
        BlendIntoPort(port, bitmap, static_cast<SInt32>(pen.x / 64),
                      height - static_cast<SInt32>(pen.y / 64 + slot->bitmap_top));
      }
      if (copy) FT_Done_Glyph(copy);
    } else {
      BlendIntoPort(port, slot->bitmap, slot->bitmap_left, height - slot->bitmap_top);
    }
    pen.x += slot->advance.x;
    pen.y += slot->advance.y;
  }
}

void DrawPString(ConstStr255Param string) { DrawTextRun(string + 1, 0, string[0]); }

SInt16 GetCurrentCharExtra() { return 0; }

SInt16 FindLineBreak(const void*, SInt32, SInt32, SInt32, SInt32*) { return 0; }

SInt16 GetCurrentResourceFile() { return 0; }
void UseResourceFile(SInt16) {}
Handle GetResourceByTypeID(OSType, SInt16) { return nullptr; }
void ReleaseResourceHandle(Handle) {}
