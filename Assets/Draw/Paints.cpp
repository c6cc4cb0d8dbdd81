#include "Paints.h"

#include <algorithm>
#include <cmath>

namespace art {

Color StopColor(const ColorStops& stops, float t) {
  if (stops.empty()) return Color{0, 0, 0, 0};
  if (t <= stops.front().first) return stops.front().second;
  for (size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].first) {
      const float span = stops[i].first - stops[i - 1].first;
      const float u = span > 0.0f ? (t - stops[i - 1].first) / span : 1.0f;
      return Mix(stops[i - 1].second, stops[i].second, u);
    }
  }
  return stops.back().second;
}

Paint LinearGradient(Vec2 from, Vec2 to, ColorStops stops) {
  const float dx = to.x - from.x, dy = to.y - from.y;
  const float length2 = std::max(1e-6f, dx * dx + dy * dy);
  return [=](float x, float y) { return StopColor(stops, ((x - from.x) * dx + (y - from.y) * dy) / length2); };
}

Paint RadialGradient(Vec2 centre, float radius, ColorStops stops) {
  return [=](float x, float y) {
    const float dx = x - centre.x, dy = y - centre.y;
    return StopColor(stops, std::sqrt(dx * dx + dy * dy) / radius);
  };
}

Paint SolidPaint(Color color) {
  return [color](float, float) { return color; };
}

uint32_t HashU32(uint32_t v) {
  v ^= v >> 16;
  v *= 0x7FEB352Du;
  v ^= v >> 15;
  v *= 0x846CA68Bu;
  v ^= v >> 16;
  return v;
}

float Hash01(int32_t x, int32_t y, uint32_t seed) {
  const uint32_t h = HashU32(static_cast<uint32_t>(x) * 0x8DA6B343u ^ HashU32(static_cast<uint32_t>(y) * 0xD8163841u ^ seed));
  return static_cast<float>(h >> 8) / 16777216.0f;
}

float ValueNoise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int32_t ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3.0f - 2.0f * tx);
  ty = ty * ty * (3.0f - 2.0f * ty);
  const float a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
  const float c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
  const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float Fbm(float x, float y, int octaves, uint32_t seed) {
  float sum = 0.0f, weight = 0.5f, total = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 1013u);
    total += weight;
    x *= 2.0f;
    y *= 2.0f;
    weight *= 0.5f;
  }
  return total > 0.0f ? sum / total : 0.0f;
}

uint32_t Rng::Next() {
  state_ += 0x6D2B79F5u;
  return HashU32(state_);
}

float Rng::Uniform() { return static_cast<float>(Next() >> 8) / 16777216.0f; }
float Rng::Range(float low, float high) { return low + (high - low) * Uniform(); }

}  // namespace art
