// Text into image buffers through FreeType: glyph by glyph, no cache, blended
// source-over in the buffer's drawing colour.
#include "TextRender.h"

#include FT_GLYPH_H

#include "ImageBuff.h"
#include "ResultCodes.h"
#include "Sys.h"

namespace {

FT_Library gTextLibrary = nullptr;

constexpr FT_Matrix kIdentity = {0x10000, 0, 0, 0x10000};

// Text is Latin-1, whose codes are the first 256 of Unicode: a name typed
// with an accent, or the credits' copyright sign, draws its own glyph.
FT_UInt GlyphIndexOf(FT_Face face, char byte) {
  return FT_Get_Char_Index(face, static_cast<FT_ULong>(static_cast<unsigned char>(byte)));
}

// Loads and renders one character at the pen; errors leave the slot as it was.
bool LoadAndRender(FT_Face face, char byte, FT_Vector* pen) {
  FT_Matrix matrix = kIdentity;
  FT_Set_Transform(face, &matrix, pen);
  FT_Load_Glyph(face, GlyphIndexOf(face, byte), FT_LOAD_NO_BITMAP);
  const bool wasBitmap = face->glyph->format == FT_GLYPH_FORMAT_BITMAP;
  FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
  return wasBitmap;
}

UInt32 ColorByte(float value) { return static_cast<UInt32>(static_cast<SInt32>(value * 255.0f)) & 0xFF; }

UInt32 Coverage(const FT_Bitmap& bitmap, unsigned row, unsigned column) {
  const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
  if (bitmap.num_grays != 0 && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return line[column];
  return (line[column / 8] >> (7 - column % 8)) & 1 ? 255 : 0;
}

// Blends the bitmap with its top-left at (left, top); what falls outside the
// buffer is skipped.
void BlendBitmap(ImageBuff* buffer, const FT_Bitmap& bitmap, SInt32 left, SInt32 top) {
  if (!bitmap.buffer) return;
  const UInt32 red = ColorByte(buffer->red);
  const UInt32 green = ColorByte(buffer->green);
  const UInt32 blue = ColorByte(buffer->blue);
  const float alphaScale = buffer->alpha * 255.0f;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const SInt32 y = top + static_cast<SInt32>(row);
    if (y < 0 || y >= buffer->height) continue;
    UInt32* line = buffer->pixels + static_cast<size_t>(y) * static_cast<size_t>(buffer->width);
    for (unsigned column = 0; column < bitmap.width; ++column) {
      const SInt32 x = left + static_cast<SInt32>(column);
      if (x < 0 || x >= buffer->width) continue;
      const UInt32 c = Coverage(bitmap, row, column);
      const UInt32 a = static_cast<UInt32>(static_cast<SInt32>(static_cast<float>(c) * alphaScale / 255.0f));
      const UInt32 n = 255 - a;
      const UInt32 d = line[x];
      const UInt32 dr = d & 0xFF, dg = (d >> 8) & 0xFF, db = (d >> 16) & 0xFF, da = d >> 24;
      const UInt32 r = (red * a + dr * n) / 255;
      const UInt32 g = (green * a + dg * n) / 255;
      const UInt32 b = (blue * a + db * n) / 255;
      const UInt32 alpha = (255 - da) * a / 255 + da;
      line[x] = (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16) | ((alpha & 0xFF) << 24);
    }
  }
}

void SetSize(FT_Face face, float size) {
  FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(size * 64.0f), 0, 0, 0);
}

}  // namespace

SInt32 InitTextRenderer() {
  // One library for the whole run: a second call keeps the first.
  if (gTextLibrary) return 0;
  if (FT_Error error = FT_Init_FreeType(&gTextLibrary)) ExitProcess(error);
  return 0;
}

FT_Face OpenFontFace(const char* path) {
  if (!gTextLibrary && FT_Init_FreeType(&gTextLibrary) != 0) return nullptr;
  FT_Face face = nullptr;
  if (!path || FT_New_Face(gTextLibrary, path, 0, &face) != 0) return nullptr;
  if (face->charmaps && face->charmaps[0] && FT_Select_Charmap(face, face->charmaps[0]->encoding) != 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

SInt32 MeasureText(const char* text, FT_Face face, float size) {
  if (!face || size == 0.0f) return kErrFailed;
  SetSize(face, size);
  FT_Vector pen = {0, 0};
  for (const char* p = text; p && *p; ++p) {
    LoadAndRender(face, *p, &pen);
    pen.x += face->glyph->advance.x;
    pen.y += face->glyph->advance.y;
  }
  return static_cast<SInt32>((pen.x + 63) >> 6);
}

SInt32 DrawTextToImage(ImageBuff* buffer, const char* text, FT_Face face, float size, float x, float y,
                       UInt8 alignment) {
  if (!buffer) return kErrFailed;
  if (!buffer->pixels) return kErrNoPixels;
  if (!face) return kErrNoFontFace;
  if (alignment != 0) {
    const SInt32 width = MeasureText(text, face, size);
    x -= static_cast<float>(alignment == 2 ? width : width / 2);
  }
  SetSize(face, size);
  FT_Vector pen = {static_cast<FT_Pos>(x * 64.0f), static_cast<FT_Pos>((buffer->height - y) * 64.0f)};
  for (const char* p = text; p && *p; ++p) {
    FT_GlyphSlot slot = face->glyph;
    if (LoadAndRender(face, *p, &pen)) {
      // Bitmap-only faces ignore the pen in the transform: place by the pen.
      FT_Glyph copy = nullptr;
      if (FT_Get_Glyph(slot, &copy) == 0 && copy->format == FT_GLYPH_FORMAT_BITMAP) {
        const FT_Bitmap& bitmap = reinterpret_cast<FT_BitmapGlyph>(copy)->bitmap;
        const SInt32 left = static_cast<SInt32>(pen.x / 64);
        const SInt32 top = buffer->height - static_cast<SInt32>(pen.y / 64 + slot->bitmap_top);
        BlendBitmap(buffer, bitmap, left, top);
      }
      if (copy) FT_Done_Glyph(copy);
    } else {
      BlendBitmap(buffer, slot->bitmap, slot->bitmap_left, buffer->height - slot->bitmap_top);
    }
    pen.x += slot->advance.x;
    pen.y += slot->advance.y;
  }
  return 0;
}
