// Small pieces every sheet drawing uses.
#include <algorithm>

#include "Sheets.h"

namespace sheets {

void LimitChannels(art::Canvas& canvas, float limit) {
  for (art::Color& p : canvas.pixels()) {
    const float cap = limit * p.a;
    p.r = std::min(p.r, cap);
    p.g = std::min(p.g, cap);
    p.b = std::min(p.b, cap);
  }
}

art::Mask Grown(const art::Mask& mask, float radius) {
  return art::Mapped(art::Blurred(mask, radius * 0.5f), [](float v, int, int) { return v * 2.5f; });
}

void PaintOutlined(art::Canvas& canvas, const art::Mask& shape, const art::Paint& paint, art::Color outline,
                   float width) {
  art::PaintMask(canvas, art::Union(Grown(shape, width), shape), outline);
  art::PaintMask(canvas, shape, paint);
}

}  // namespace sheets
