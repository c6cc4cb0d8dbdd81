// Float RGBA pictures (premultiplied inside), source-over compositing through
// masks, and straight-alpha 8-bit PNG output.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Masks.h"

namespace art {

// Straight colour everywhere in the API; canvases keep premultiplied pixels.
struct Color {
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

constexpr Color Rgb(float r, float g, float b, float a = 1.0f) { return Color{r, g, b, a}; }
// 0xRRGGBB.
Color Hex(uint32_t rgb, float a = 1.0f);
Color Mix(Color from, Color to, float t);
// Every channel times k (alpha kept).
Color Shade(Color c, float k);
Color WithAlpha(Color c, float a);

// Straight colour at a point of the canvas.
using Paint = std::function<Color(float x, float y)>;

class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  // Premultiplied.
  Color& at(int x, int y) { return pixels_.get()[static_cast<size_t>(y) * width_ + x]; }
  const Color& at(int x, int y) const { return pixels_.get()[static_cast<size_t>(y) * width_ + x]; }
  std::vector<Color>& pixels() { return pixels_.get(); }
  const std::vector<Color>& pixels() const { return pixels_.get(); }

 private:
  int width_ = 0;
  int height_ = 0;
  RecycledVector<Color> pixels_;
};

void FillCanvas(Canvas& canvas, Color color);
// Source-over of one straight colour at a pixel, weighted by coverage.
void BlendPixel(Canvas& canvas, int x, int y, Color color, float coverage);
// Source-over through a mask of the canvas's size.
void PaintMask(Canvas& canvas, const Mask& mask, Color color, float opacity = 1.0f);
void PaintMask(Canvas& canvas, const Mask& mask, const Paint& paint, float opacity = 1.0f);
// The same through a patch of a map of the canvas's size.
void PaintMask(Canvas& canvas, const MaskPatch& patch, Color color, float opacity = 1.0f);
// Adds light: colour x coverage x alpha added to the colour channels, alpha
// grows as with source-over. For cores and highlights.
void AddLight(Canvas& canvas, const Mask& mask, Color color, float opacity = 1.0f);
// The mask blurred by sigma and painted in colour with the given strength,
// under what follows: call before painting the shape itself.
void Glow(Canvas& canvas, const Mask& shape, Color color, float sigma, float strength);
// src drawn over dst with its top-left at (x, y), clipped.
void DrawCanvas(Canvas& dst, const Canvas& src, int x, int y, float opacity = 1.0f);
// The canvas's alpha as a mask.
Mask AlphaMask(const Canvas& canvas);
// Multiplies every pixel (alpha included) by the mask: cuts a shape out.
void ClipToMask(Canvas& canvas, const Mask& mask);
// Turned by radians about the centre, bilinear, same size.
Canvas Rotated(const Canvas& canvas, float radians);
// Box-filtered down by a whole factor (sides must divide).
Canvas Downsampled(const Canvas& canvas, int factor);

// A picture from a function of straight colour at sample points, ss x ss
// samples a pixel, averaged premultiplied.
Canvas RenderFunction(int width, int height, int ss, const std::function<Color(float x, float y)>& f);

// Straight 8-bit RGBA rows: channels rounded and clamped; alpha 0 gives 0, 0, 0, 0.
std::vector<uint8_t> ToRGBA8(const Canvas& canvas);
// Writes the canvas as an RGBA PNG through the engine's writer, making the
// folders on the way; a failure ends the program with a message.
void SavePNG(const Canvas& canvas, const std::string& path);
// Makes every folder of path's parent.
void MakeParentFolders(const std::string& path);

}  // namespace art
