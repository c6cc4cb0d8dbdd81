// Text drawn with FreeType into image buffers, anti-aliased and blended in the
// buffer's drawing colour (premultiplied result).
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "MacTypes.h"

struct ImageBuff;

// Makes the renderer's FreeType library; a failure ends the process with
// FreeType's error as its status. 0.
SInt32 InitTextRenderer();
// The face of a font file (TrueType or BDF), or nil.
FT_Face OpenFontFace(const char* path);
// Width in whole pixels (one point is one pixel); -1 for a nil face or size 0.
SInt32 MeasureText(const char* text, FT_Face face, float size);
// Draws with y the baseline from the buffer's top; alignment 0 left, 2 right,
// any other value centred on x. 0; -1 nil buffer, -2 no pixels, -3 nil face.
SInt32 DrawTextToImage(ImageBuff* buffer, const char* text, FT_Face face, float size, float x, float y,
                       UInt8 alignment);
