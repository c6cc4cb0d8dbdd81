#include "Widgets.h"

#include <algorithm>
#include <cmath>

#include "Paints.h"
#include "Paths.h"

namespace art {

Mask RoundRectRing(int width, int height, float left, float top, float right, float bottom, float radius,
                   float rim) {
  const Mask outer = FillPath(width, height, Path().AddRoundRect(left, top, right, bottom, radius));
  const Mask inner = FillPath(
      width, height,
      Path().AddRoundRect(left + rim, top + rim, right - rim, bottom - rim, std::max(0.0f, radius - rim)));
  return Subtract(outer, inner);
}

void GlassPanel(Canvas& canvas, float left, float top, float right, float bottom, float radius, float alpha,
                float rim, Color rimColor) {
  const int w = canvas.width(), h = canvas.height();
  const Mask body = FillPath(w, h, Path().AddRoundRect(left, top, right, bottom, radius));
  PaintMask(canvas, body,
            LinearGradient({0, top}, {0, bottom},
                           {{0.0f, WithAlpha(Mix(kNavy, kIndigo, 0.55f), alpha)},
                            {1.0f, WithAlpha(kNavy, alpha)}}));
  // Light from the upper left: a faint sheen over the top third.
  const float sheenBottom = top + (bottom - top) * 0.4f;
  const Mask sheen = Intersect(body, FillPath(w, h, Path().AddRoundRect(left + rim, top + rim, right - rim,
                                                                        sheenBottom, std::max(0.0f, radius - rim))));
  PaintMask(canvas, sheen,
            LinearGradient({left, top}, {left + (right - left) * 0.3f, sheenBottom},
                           {{0.0f, WithAlpha(kLavender, 0.10f)}, {1.0f, WithAlpha(kLavender, 0.0f)}}));
  if (rim > 0.0f) PaintMask(canvas, RoundRectRing(w, h, left, top, right, bottom, radius, rim), rimColor);
}

Mask CentredTextMask(int width, int height, FT_Face face, const char* text, float size, float cx, float cy) {
  const float baseline = std::floor(cy + size * 0.35f);
  const Mask mask = TextMask(width, height, face, text, size, std::floor(cx), baseline, Align::kCentre);
  const InkBox ink = InkBounds(mask);
  if (ink.right <= ink.left) return mask;
  const int dx = static_cast<int>(std::lround(cx - static_cast<float>(ink.left + ink.right) * 0.5f));
  const int dy = static_cast<int>(std::lround(cy - static_cast<float>(ink.top + ink.bottom) * 0.5f));
  return Shifted(mask, dx, dy);
}

void GlowText(Canvas& canvas, const Mask& text, const Paint& paint, Color glowColor, float sigma, float strength) {
  if (strength > 0.0f) Glow(canvas, text, glowColor, sigma, strength);
  PaintMask(canvas, text, paint);
}

Canvas PillButton(int width, int height, FT_Face face, const char* label, float size, float labelShift) {
  Canvas canvas(width, height);
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const float radius = h * 0.5f - 1.0f;
  GlassPanel(canvas, 1.0f, 1.0f, w - 1.0f, h - 1.0f, radius, 0.85f, 3.0f);
  const float textSize = FitTextSize(face, label, size, w - h - std::fabs(labelShift) * 2.0f);
  const Mask text = CentredTextMask(width, height, face, label, textSize, w * 0.5f - labelShift, h * 0.5f);
  GlowText(canvas, text, SolidPaint(Mix(kLavender, kWhite, 0.35f)), kLavender, 2.0f, 0.5f);
  return canvas;
}

float FitTextSize(FT_Face face, const char* text, float maxSize, float width) {
  float size = maxSize;
  while (size > 6.0f && static_cast<float>(TextWidth(face, text, size)) > width) size -= 0.5f;
  return size;
}

}  // namespace art
