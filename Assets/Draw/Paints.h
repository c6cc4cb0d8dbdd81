// Paints (gradients) and deterministic hash noise.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "Canvas.h"
#include "Paths.h"

namespace art {

using ColorStops = std::vector<std::pair<float, Color>>;

// Colour at t along sorted stops, clamped at both ends.
Color StopColor(const ColorStops& stops, float t);
Paint LinearGradient(Vec2 from, Vec2 to, ColorStops stops);
Paint RadialGradient(Vec2 centre, float radius, ColorStops stops);
Paint SolidPaint(Color color);

// Integer hash to 0..1 (exclusive), stable on every platform.
float Hash01(int32_t x, int32_t y, uint32_t seed);
uint32_t HashU32(uint32_t value);
// Smooth value noise in 0..1, unit cells.
float ValueNoise(float x, float y, uint32_t seed);
// Octaves of value noise (each half the size and weight), in 0..1.
float Fbm(float x, float y, int octaves, uint32_t seed);

// A small deterministic generator for scattering things.
class Rng {
 public:
  explicit Rng(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
  uint32_t Next();
  float Uniform();                      // 0..1
  float Range(float low, float high);

 private:
  uint32_t state_;
};

}  // namespace art
