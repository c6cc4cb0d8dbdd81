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

Mask Blurred(const Mask& a, float sigma) {
  if (sigma <= 0.0f) return a;
  const int radius = static_cast<int>(std::ceil(sigma * 3.0f));
  std::vector<float> kernel(static_cast<size_t>(2 * radius + 1));
  float sum = 0.0f;
  for (int i = -radius; i <= radius; ++i) {
    const float w = std::exp(-0.5f * static_cast<float>(i * i) / (sigma * sigma));
    kernel[static_cast<size_t>(i + radius)] = w;
    sum += w;
  }
  for (float& w : kernel) w /= sum;
  const int width = a.width(), height = a.height();
  Mask across(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      float v = 0.0f;
      const int lo = std::max(-radius, -x), hi = std::min(radius, width - 1 - x);
      for (int i = lo; i <= hi; ++i) v += kernel[static_cast<size_t>(i + radius)] * a.at(x + i, y);
      across.at(x, y) = v;
    }
  Mask out(width, height);
  for (int y = 0; y < height; ++y) {
    const int lo = std::max(-radius, -y), hi = std::min(radius, height - 1 - y);
    for (int x = 0; x < width; ++x) {
      float v = 0.0f;
      for (int i = lo; i <= hi; ++i) v += kernel[static_cast<size_t>(i + radius)] * across.at(x, y + i);
      out.at(x, y) = std::min(1.0f, v);
    }
  }
  return out;
}

}  // namespace art
