#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "Generator.h"
#include "PNGFiles.h"
#include "Recycler.h"

namespace art {

Color Hex(uint32_t rgb, float a) {
  return Color{static_cast<float>((rgb >> 16) & 0xFF) / 255.0f, static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
               static_cast<float>(rgb & 0xFF) / 255.0f, a};
}

Color Mix(Color from, Color to, float t) {
  return Color{from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
               from.a + (to.a - from.a) * t};
}

Color Shade(Color c, float k) { return Color{c.r * k, c.g * k, c.b * k, c.a}; }
Color WithAlpha(Color c, float a) { return Color{c.r, c.g, c.b, a}; }

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, Color{0, 0, 0, 0}) {}

void FillCanvas(Canvas& canvas, Color color) {
  const Color p{color.r * color.a, color.g * color.a, color.b * color.a, color.a};
  std::fill(canvas.pixels().begin(), canvas.pixels().end(), p);
}

void BlendPixel(Canvas& canvas, int x, int y, Color color, float coverage) {
  if (x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height()) return;
  const float a = std::clamp(color.a * coverage, 0.0f, 1.0f);
  if (a <= 0.0f) return;
  Color& d = canvas.at(x, y);
  const float keep = 1.0f - a;
  d.r = color.r * a + d.r * keep;
  d.g = color.g * a + d.g * keep;
  d.b = color.b * a + d.b * keep;
  d.a = a + d.a * keep;
}

void PaintMask(Canvas& canvas, const Mask& mask, Color color, float opacity) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      const float m = mask.at(x, y);
      if (m > 0.0f) BlendPixel(canvas, x, y, color, m * opacity);
    }
}

void PaintMask(Canvas& canvas, const MaskPatch& patch, Color color, float opacity) {
  for (int y = 0; y < patch.mask.height(); ++y)
    for (int x = 0; x < patch.mask.width(); ++x) {
      const float m = patch.mask.at(x, y);
      if (m > 0.0f) BlendPixel(canvas, patch.left + x, patch.top + y, color, m * opacity);
    }
}

void PaintMask(Canvas& canvas, const Mask& mask, const Paint& paint, float opacity) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      const float m = mask.at(x, y);
      if (m > 0.0f)
        BlendPixel(canvas, x, y, paint(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f), m * opacity);
    }
}

void AddLight(Canvas& canvas, const Mask& mask, Color color, float opacity) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      const float a = std::clamp(mask.at(x, y) * opacity * color.a, 0.0f, 1.0f);
      if (a <= 0.0f) continue;
      Color& d = canvas.at(x, y);
      d.a = a + d.a * (1.0f - a);
      d.r = std::min(d.a, d.r + color.r * a);
      d.g = std::min(d.a, d.g + color.g * a);
      d.b = std::min(d.a, d.b + color.b * a);
    }
}

void Glow(Canvas& canvas, const Mask& shape, Color color, float sigma, float strength) {
  // Only a finite strength keeps the unblurred area at 0.
  if (sigma <= 0.0f || !std::isfinite(strength)) {
    PaintMask(canvas, Scaled(Blurred(shape, sigma), strength), color);
    return;
  }
  MaskPatch glow = BlurredPatch(shape, sigma);
  for (float& m : glow.mask.values()) m = std::min(1.0f, m * strength);
  PaintMask(canvas, glow, color);
}

void DrawCanvas(Canvas& dst, const Canvas& src, int ox, int oy, float opacity) {
  for (int y = 0; y < src.height(); ++y) {
    const int ty = y + oy;
    if (ty < 0 || ty >= dst.height()) continue;
    for (int x = 0; x < src.width(); ++x) {
      const int tx = x + ox;
      if (tx < 0 || tx >= dst.width()) continue;
      const Color s = src.at(x, y);
      const float a = s.a * opacity;
      if (a <= 0.0f) continue;
      Color& d = dst.at(tx, ty);
      const float keep = 1.0f - a;
      d.r = s.r * opacity + d.r * keep;
      d.g = s.g * opacity + d.g * keep;
      d.b = s.b * opacity + d.b * keep;
      d.a = a + d.a * keep;
    }
  }
}

Mask AlphaMask(const Canvas& canvas) {
  Mask mask(canvas.width(), canvas.height());
  for (size_t i = 0; i < canvas.pixels().size(); ++i) mask.values()[i] = canvas.pixels()[i].a;
  return mask;
}

void ClipToMask(Canvas& canvas, const Mask& mask) {
  for (size_t i = 0; i < canvas.pixels().size(); ++i) {
    Color& p = canvas.pixels()[i];
    const float m = mask.values()[i];
    p = Color{p.r * m, p.g * m, p.b * m, p.a * m};
  }
}

Canvas Rotated(const Canvas& canvas, float radians) {
  const int w = canvas.width(), h = canvas.height();
  Canvas out(w, h);
  const float cx = static_cast<float>(w) / 2, cy = static_cast<float>(h) / 2;
  const float c = std::cos(radians), s = std::sin(radians);
  auto sample = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= w || y >= h) return Color{0, 0, 0, 0};
    return canvas.at(x, y);
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float px = static_cast<float>(x) + 0.5f - cx, py = static_cast<float>(y) + 0.5f - cy;
      // Inverse turn finds the source point.
      const float sx = c * px + s * py + cx - 0.5f, sy = -s * px + c * py + cy - 0.5f;
      const int x0 = static_cast<int>(std::floor(sx)), y0 = static_cast<int>(std::floor(sy));
      const float fx = sx - static_cast<float>(x0), fy = sy - static_cast<float>(y0);
      const Color a = sample(x0, y0), b = sample(x0 + 1, y0), d = sample(x0, y0 + 1), e = sample(x0 + 1, y0 + 1);
      out.at(x, y) = Mix(Mix(a, b, fx), Mix(d, e, fx), fy);
    }
  return out;
}

Canvas Downsampled(const Canvas& canvas, int factor) {
  Canvas out(canvas.width() / factor, canvas.height() / factor);
  const float n = static_cast<float>(factor * factor);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      Color sum{0, 0, 0, 0};
      for (int j = 0; j < factor; ++j)
        for (int i = 0; i < factor; ++i) {
          const Color& p = canvas.at(x * factor + i, y * factor + j);
          sum = Color{sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
        }
      out.at(x, y) = Color{sum.r / n, sum.g / n, sum.b / n, sum.a / n};
    }
  return out;
}

Canvas RenderFunction(int width, int height, int ss, const std::function<Color(float x, float y)>& f) {
  Canvas out(width, height);
  const float step = 1.0f / static_cast<float>(ss);
  const float n = static_cast<float>(ss * ss);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Color sum{0, 0, 0, 0};
      for (int j = 0; j < ss; ++j)
        for (int i = 0; i < ss; ++i) {
          const Color c = f(static_cast<float>(x) + (static_cast<float>(i) + 0.5f) * step,
                            static_cast<float>(y) + (static_cast<float>(j) + 0.5f) * step);
          const float a = std::clamp(c.a, 0.0f, 1.0f);
          sum = Color{sum.r + c.r * a, sum.g + c.g * a, sum.b + c.b * a, sum.a + a};
        }
      out.at(x, y) = Color{sum.r / n, sum.g / n, sum.b / n, sum.a / n};
    }
  return out;
}

namespace {

uint8_t ToByte(float v) {
  const float c = std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f;
  return static_cast<uint8_t>(static_cast<int>(c));
}

}  // namespace

std::vector<uint8_t> ToRGBA8(const Canvas& canvas) {
  std::vector<uint8_t> out = Recycler<uint8_t>::Take(canvas.pixels().size() * 4, 0);
  for (size_t i = 0; i < canvas.pixels().size(); ++i) {
    const Color& p = canvas.pixels()[i];
    const uint8_t alpha = ToByte(p.a);
    if (alpha == 0) continue;  // zeroed by construction
    const float a = p.a;
    out[i * 4 + 0] = ToByte(p.r / a);
    out[i * 4 + 1] = ToByte(p.g / a);
    out[i * 4 + 2] = ToByte(p.b / a);
    out[i * 4 + 3] = alpha;
  }
  return out;
}

void MakeParentFolders(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (parent.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(parent, error);
  if (error) GeneratorFailure("cannot make folder " + parent.string() + ": " + error.message());
}

void SavePNG(const Canvas& canvas, const std::string& path) {
  MakeParentFolders(path);
  std::vector<uint8_t> rgba = ToRGBA8(canvas);
  if (!WritePNGFile(path.c_str(), rgba.data(), static_cast<UInt32>(canvas.width()),
                    static_cast<UInt32>(canvas.height()), 0, nullptr, 0))
    GeneratorFailure("cannot write " + path);
  Recycler<uint8_t>::Give(std::move(rgba));
}

}  // namespace art
