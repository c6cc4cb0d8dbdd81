#include "Lettering.h"

#include <algorithm>
#include <string>

#include "Generator.h"
#include "ImageBuff.h"
#include "TextRender.h"

namespace art {

FT_Face LoadFace(const char* path) {
  InitTextRenderer();
  FT_Face face = OpenFontFace(path);
  if (!face) GeneratorFailure(std::string("cannot open font ") + path);
  return face;
}

int TextWidth(FT_Face face, const char* text, float size) { return MeasureText(text, face, size); }

Mask TextMask(int width, int height, FT_Face face, const char* text, float size, float x, float y, Align align) {
  ImageBuff buffer{};
  AllocImageBuff(&buffer, static_cast<SInt16>(width), static_cast<SInt16>(height));
  if (!buffer.pixels) GeneratorFailure("no memory for lettering");
  buffer.red = buffer.green = buffer.blue = buffer.alpha = 1.0f;
  const UInt8 alignment = align == Align::kLeft ? 0 : (align == Align::kRight ? 2 : 1);
  DrawTextToImage(&buffer, text, face, size, x, y, alignment);
  // White text: the premultiplied alpha byte is the coverage.
  Mask mask(width, height);
  for (size_t i = 0; i < mask.values().size(); ++i)
    mask.values()[i] = static_cast<float>(buffer.pixels[i] >> 24) / 255.0f;
  FreeImageBuff(&buffer);
  return mask;
}

InkBox InkBounds(const Mask& mask, float threshold) {
  InkBox box{mask.width(), mask.height(), 0, 0};
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x) {
      if (mask.at(x, y) <= threshold) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  if (box.right == 0) return InkBox{};
  return box;
}

}  // namespace art
