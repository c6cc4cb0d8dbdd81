// Lettering through the engine's own text renderer, as coverage masks.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "Masks.h"

namespace art {

enum class Align { kLeft, kCentre, kRight };

// Opens a face (starting the renderer once); a failure ends the program.
FT_Face LoadFace(const char* path);
// Width in pixels as the engine measures it.
int TextWidth(FT_Face face, const char* text, float size);
// Text with its baseline at y, anchored at x by align, in a width x height map.
// ASCII only: the renderer reads bytes as signed.
Mask TextMask(int width, int height, FT_Face face, const char* text, float size, float x, float y,
              Align align = Align::kLeft);
// The same lettering as TextMask, kept only over the box the face's glyphs can
// ink (clipped to the map): labels on big pages cost their own size.
MaskPatch TextPatch(int width, int height, FT_Face face, const char* text, float size, float x, float y,
                    Align align = Align::kLeft);
// Rows [top, bottom) and columns [left, right) holding any coverage; all 0 when empty.
struct InkBox {
  int left = 0, top = 0, right = 0, bottom = 0;
};
InkBox InkBounds(const Mask& mask, float threshold = 0.02f);

}  // namespace art
