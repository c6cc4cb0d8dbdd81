#include "Lettering.h"

#include <algorithm>
#include <cmath>
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

namespace {

UInt8 Alignment(Align align) { return align == Align::kLeft ? 0 : (align == Align::kRight ? 2 : 1); }

// The pixels of a width x height map that text drawn at (x, y) can ink: the
// face's box around every pen position, with room for hinting. The whole map
// when that cannot be known, or when a fractional pen could round differently
// once moved.
InkBox Reach(int width, int height, FT_Face face, const char* text, float size, float x, float y, Align align) {
  const InkBox whole{0, 0, width, height};
  if (!face || !FT_IS_SCALABLE(face) || face->units_per_EM == 0 || size <= 0.0f) return whole;
  if (x != std::floor(x) || y != std::floor(y) || std::fabs(x) > 1.0e6f || std::fabs(y) > 1.0e6f) return whole;
  const int measured = MeasureText(text, face, size);
  if (measured < 0) return whole;
  const int penLeft =
      static_cast<int>(x) - (align == Align::kLeft ? 0 : (align == Align::kRight ? measured : measured / 2));
  const float scale = size / static_cast<float>(face->units_per_EM);
  constexpr int kSlack = 3;
  const int left = penLeft + static_cast<int>(std::floor(static_cast<float>(face->bbox.xMin) * scale)) - kSlack;
  const int right =
      penLeft + measured + static_cast<int>(std::ceil(static_cast<float>(face->bbox.xMax) * scale)) + kSlack;
  const int top =
      static_cast<int>(y) - static_cast<int>(std::ceil(static_cast<float>(face->bbox.yMax) * scale)) - kSlack;
  const int bottom =
      static_cast<int>(y) - static_cast<int>(std::floor(static_cast<float>(face->bbox.yMin) * scale)) + kSlack;
  InkBox box{std::clamp(left, 0, width), std::clamp(top, 0, height), std::clamp(right, 0, width),
             std::clamp(bottom, 0, height)};
  if (box.right <= box.left || box.bottom <= box.top) return InkBox{};
  return box;
}

}  // namespace

MaskPatch TextPatch(int width, int height, FT_Face face, const char* text, float size, float x, float y, Align align) {
  const InkBox box = Reach(width, height, face, text, size, x, y, align);
  MaskPatch patch{Mask(box.right - box.left, box.bottom - box.top), box.left, box.top};
  if (patch.mask.width() == 0 || patch.mask.height() == 0) return patch;
  ImageBuff buffer{};
  AllocImageBuff(&buffer, static_cast<SInt16>(patch.mask.width()), static_cast<SInt16>(patch.mask.height()));
  if (!buffer.pixels) GeneratorFailure("no memory for lettering");
  buffer.red = buffer.green = buffer.blue = buffer.alpha = 1.0f;
  DrawTextToImage(&buffer, text, face, size, x - static_cast<float>(box.left), y - static_cast<float>(box.top),
                  Alignment(align));
  // White text: the premultiplied alpha byte is the coverage.
  for (size_t i = 0; i < patch.mask.values().size(); ++i)
    patch.mask.values()[i] = static_cast<float>(buffer.pixels[i] >> 24) / 255.0f;
  FreeImageBuff(&buffer);
  return patch;
}

Mask TextMask(int width, int height, FT_Face face, const char* text, float size, float x, float y, Align align) {
  const MaskPatch patch = TextPatch(width, height, face, text, size, x, y, align);
  Mask mask(width, height);
  for (int row = 0; row < patch.mask.height(); ++row)
    std::copy_n(patch.mask.values().begin() + static_cast<ptrdiff_t>(row) * patch.mask.width(), patch.mask.width(),
                &mask.at(patch.left, patch.top + row));
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
