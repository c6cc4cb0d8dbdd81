// Coverage maps: one float 0..1 a pixel, the stencil every shape, text and
// glow is painted through.
#pragma once

#include <cstddef>
#include <vector>

#include "Recycler.h"

namespace art {

class Mask {
 public:
  Mask() = default;
  Mask(int width, int height, float fill = 0.0f);

  int width() const { return width_; }
  int height() const { return height_; }
  float& at(int x, int y) { return cover_.get()[static_cast<size_t>(y) * width_ + x]; }
  float at(int x, int y) const { return cover_.get()[static_cast<size_t>(y) * width_ + x]; }
  // 0 outside the map.
  float get(int x, int y) const;
  std::vector<float>& values() { return cover_.get(); }
  const std::vector<float>& values() const { return cover_.get(); }

 private:
  int width_ = 0;
  int height_ = 0;
  RecycledVector<float> cover_;
};

// Part of a bigger map: the rest of it is 0. The patch's top-left sits at
// (left, top) of the bigger map.
struct MaskPatch {
  Mask mask;
  int left = 0, top = 0;
};

// All of these work on maps of the same size and return a new one.
Mask Union(const Mask& a, const Mask& b);        // max
Mask Intersect(const Mask& a, const Mask& b);    // product
Mask Subtract(const Mask& a, const Mask& b);     // a * (1 - b)
Mask Invert(const Mask& a);                      // 1 - a
Mask Scaled(const Mask& a, float factor);        // clamped to 1
// Moved by whole pixels; what comes in is 0.
Mask Shifted(const Mask& a, int dx, int dy);
// The normalised Gaussian weights of a blur, radius ceil(3 sigma) each way.
std::vector<float> BlurKernel(float sigma);
// Separable Gaussian of standard deviation sigma pixels (edges read as 0).
Mask Blurred(const Mask& a, float sigma);
// The same blur kept only over the part that can be other than 0 (sigma > 0).
MaskPatch BlurredPatch(const Mask& a, float sigma);
// Each pixel replaced by f(coverage, x, y), clamped to 0..1.
template <typename F>
Mask Mapped(const Mask& a, F f) {
  Mask out(a.width(), a.height());
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      float v = f(a.at(x, y), x, y);
      out.at(x, y) = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    }
  return out;
}

// A map from a function of the pixel area's sample points: f(x, y) gives
// coverage 0..1 at a point; ss x ss samples a pixel are averaged.
template <typename F>
Mask MaskFromFunction(int width, int height, int ss, F f) {
  Mask out(width, height);
  const float step = 1.0f / static_cast<float>(ss);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      float sum = 0.0f;
      for (int j = 0; j < ss; ++j)
        for (int i = 0; i < ss; ++i)
          sum += f(static_cast<float>(x) + (static_cast<float>(i) + 0.5f) * step,
                   static_cast<float>(y) + (static_cast<float>(j) + 0.5f) * step);
      out.at(x, y) = sum / static_cast<float>(ss * ss);
    }
  return out;
}

}  // namespace art
