#include "Masks.h"

#include <algorithm>
#include <cmath>


namespace art {

Mask::Mask(int width, int height, float fill)
    : width_(width), height_(height), cover_(static_cast<size_t>(width) * height, fill) {}

float Mask::get(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0.0f;
  return at(x, y);
}

namespace {

template <typename F>
Mask Combine(const Mask& a, const Mask& b, F f) {
  Mask out(a.width(), a.height());
  const auto& av = a.values();
  const auto& bv = b.values();
  auto& ov = out.values();
  for (size_t i = 0; i < ov.size(); ++i) ov[i] = f(av[i], bv[i]);
  return out;
}

}  // namespace

Mask Union(const Mask& a, const Mask& b) {
  return Combine(a, b, [](float x, float y) { return std::max(x, y); });
}
Mask Intersect(const Mask& a, const Mask& b) {
  return Combine(a, b, [](float x, float y) { return x * y; });
}
Mask Subtract(const Mask& a, const Mask& b) {
  return Combine(a, b, [](float x, float y) { return x * (1.0f - y); });
}
Mask Invert(const Mask& a) {
  return Combine(a, a, [](float x, float) { return 1.0f - x; });
}
Mask Scaled(const Mask& a, float factor) {
  return Combine(a, a, [factor](float x, float) { return std::min(1.0f, x * factor); });
}

Mask Shifted(const Mask& a, int dx, int dy) {
  Mask out(a.width(), a.height());
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) out.at(x, y) = a.get(x - dx, y - dy);
  return out;
}

std::vector<float> BlurKernel(float sigma) {
  const int radius = static_cast<int>(std::ceil(sigma * 3.0f));
  std::vector<float> kernel(static_cast<size_t>(2 * radius + 1));
  float sum = 0.0f;
  for (int i = -radius; i <= radius; ++i) {
    const float w = std::exp(-0.5f * static_cast<float>(i * i) / (sigma * sigma));
    kernel[static_cast<size_t>(i + radius)] = w;
    sum += w;
  }
  for (float& w : kernel) w /= sum;
  return kernel;
}

MaskPatch BlurredPatch(const Mask& a, float sigma) {
  const int width = a.width(), height = a.height();
  // Rows and columns of a holding anything but zero.
  int left = width, top = height, right = 0, bottom = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (a.at(x, y) != 0.0f) {
        left = std::min(left, x);
        right = std::max(right, x + 1);
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
      }
  if (right == 0) return MaskPatch{};
  const std::vector<float> kernel = BlurKernel(sigma);
  const int radius = static_cast<int>(kernel.size() / 2);
  // Outside the ink grown by the radius every sum is of zeros alone.
  const int outLeft = std::max(0, left - radius), outRight = std::min(width, right + radius);
  const int outTop = std::max(0, top - radius), outBottom = std::min(height, bottom + radius);
  const int span = outRight - outLeft;
  // The horizontal pass over the inked rows only; the rest of it is 0.
  Mask across(span, bottom - top);
  for (int y = top; y < bottom; ++y)
    for (int x = outLeft; x < outRight; ++x) {
      float v = 0.0f;
      const int lo = std::max(-radius, -x), hi = std::min(radius, width - 1 - x);
      for (int i = lo; i <= hi; ++i) v += kernel[static_cast<size_t>(i + radius)] * a.at(x + i, y);
      across.at(x - outLeft, y - top) = v;
    }
  // The vertical pass, a row of sums at a time; each sum still adds its terms
  // in the same order.
  MaskPatch out{Mask(span, outBottom - outTop), outLeft, outTop};
  std::vector<float> row(static_cast<size_t>(span));
  for (int y = outTop; y < outBottom; ++y) {
    const int lo = std::max(-radius, -y), hi = std::min(radius, height - 1 - y);
    std::fill(row.begin(), row.end(), 0.0f);
    for (int i = lo; i <= hi; ++i) {
      const int from = y + i;
      if (from < top || from >= bottom) continue;  // adding +0 changes no sum
      const float k = kernel[static_cast<size_t>(i + radius)];
      for (int x = 0; x < span; ++x) row[static_cast<size_t>(x)] += k * across.at(x, from - top);
    }
    for (int x = 0; x < span; ++x) out.mask.at(x, y - outTop) = std::min(1.0f, row[static_cast<size_t>(x)]);
  }
  return out;
}

Mask Blurred(const Mask& a, float sigma) {
  if (sigma <= 0.0f) return a;
  const MaskPatch patch = BlurredPatch(a, sigma);
  Mask out(a.width(), a.height());
  for (int y = 0; y < patch.mask.height(); ++y)
    for (int x = 0; x < patch.mask.width(); ++x) out.at(patch.left + x, patch.top + y) = patch.mask.at(x, y);
  return out;
}

}  // namespace art
