#include "KVButton.h"

void KVButton::Draw() {
  if (!visible) return;
  GLImage* image = &titleImage;
  Rect dest = rect;
  const SInt8 depth = static_cast<SInt8>(pressValue);
  float shade = 1.0f;
  if (armed || depth != 0) {
    const SInt16 offset = static_cast<SInt16>(depth * pressFactor);
    dest.left = static_cast<SInt16>(dest.left + offset);
    dest.right = static_cast<SInt16>(dest.right + offset);
    dest.top = static_cast<SInt16>(dest.top + offset);
    dest.bottom = static_cast<SInt16>(dest.bottom + offset);
    shade = 1.0f - depth / 6.0f;
  }
  image->red = image->green = image->blue = shade;
  const float alpha = image->alpha;
  if (!enabled) image->alpha = alpha * 0.25f;
  DrawGLImage(image, &dest);
  image->alpha = alpha;
}
