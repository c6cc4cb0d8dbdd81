#include "ControlInternals.h"

void SetImageColor(GLImage* image, float grey, float alpha) {
  image->red = image->green = image->blue = grey;
  image->alpha = alpha;
}

void DrawCapsAndTiles(GLImage* images, const Rect& r, SInt32 leftCapRight, SInt32 rightCapLeft, SInt32 step) {
  const Rect left = {r.top, r.left, r.bottom, static_cast<SInt16>(leftCapRight)};
  DrawGLImage(&images[0], &left);
  const Rect right = {r.top, static_cast<SInt16>(rightCapLeft), r.bottom, r.right};
  DrawGLImage(&images[2], &right);
  SInt32 x = leftCapRight;
  // A middle image too narrow to step by is drawn once across the gap.
  if (step > 0) {
    while (x + step < rightCapLeft) {
      const Rect tile = {r.top, static_cast<SInt16>(x), r.bottom, static_cast<SInt16>(x + step)};
      DrawGLImage(&images[1], &tile);
      x += step;
    }
  }
  if (rightCapLeft - x >= 1) {
    const Rect last = {r.top, static_cast<SInt16>(x), r.bottom, static_cast<SInt16>(rightCapLeft)};
    DrawGLImage(&images[1], &last);
  }
}
