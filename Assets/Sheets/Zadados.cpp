// The meteor: a lumpy, cratered rock, ray-cast in 36 frames of one tumble.
#include <algorithm>
#include <array>
#include <cmath>

#include "Sheets.h"

namespace sheets {

namespace {

struct Vec3 {
  float x, y, z;
};

Vec3 Add(Vec3 a, Vec3 b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Mul(Vec3 a, float k) { return Vec3{a.x * k, a.y * k, a.z * k}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) { return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalised(Vec3 a) { return Mul(a, 1.0f / Length(a)); }

// Rodrigues: v turned by angle about the unit axis.
Vec3 Turn(Vec3 v, Vec3 axis, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return Add(Add(Mul(v, c), Mul(Cross(axis, v), s)), Mul(axis, Dot(axis, v) * (1.0f - c)));
}

struct Feature {
  Vec3 dir;
  float width;   // angular radius, radians
  float height;  // relative to the radius; negative digs a crater
  bool crater;
  // Directions with a cosine below this are past a crater's rim by over four
  // widths: its terms there are exactly 0.
  float farCos;
};

constexpr int kFeatures = 18;
constexpr float kRadius = 18.5f;

std::array<Feature, kFeatures> MakeFeatures() {
  std::array<Feature, kFeatures> features{};
  art::Rng rng(0x5A0Du);
  for (int i = 0; i < kFeatures; ++i) {
    const float z = rng.Range(-1.0f, 1.0f), phi = rng.Range(0.0f, 2.0f * art::kPi);
    const float ring = std::sqrt(1.0f - z * z);
    Feature& f = features[static_cast<size_t>(i)];
    f.dir = Vec3{ring * std::cos(phi), ring * std::sin(phi), z};
    f.crater = i >= 8;
    if (f.crater) {
      f.width = rng.Range(0.22f, 0.42f);
      f.height = rng.Range(0.05f, 0.09f);
      f.farCos = static_cast<float>(std::cos(4.2 * static_cast<double>(f.width)));
    } else {
      f.width = rng.Range(0.45f, 0.9f);
      f.height = rng.Range(-0.16f, 0.2f);
    }
  }
  return features;
}

// Radius of the rock in the unit direction d (rock space).
float SurfaceRadius(const std::array<Feature, kFeatures>& features, Vec3 d) {
  float r = 1.0f;
  for (const Feature& f : features) {
    const float c = std::clamp(Dot(d, f.dir), -1.0f, 1.0f);
    // There rim * rim is over 104, so the exponential is 0 and r stays as it is.
    if (f.crater && c < f.farCos) continue;
    const float angle = std::acos(c);
    const float t = angle / f.width;
    if (f.crater) {
      if (t < 1.0f) r -= f.height * (1.0f - t * t);
      const float rim = (t - 1.0f) / 0.3f;
      // expf is 0 below -104; its slow path for that costs more than the rest.
      const float fall = rim * rim > 104.0f ? 0.0f : std::exp(-rim * rim);
      r += f.height * 0.45f * fall;
    } else {
      r += f.height * std::exp(-t * t);
    }
  }
  return r * kRadius;
}

float Noise3(Vec3 p, uint32_t seed) {
  // Two slices of 2-D noise blended by z: cheap and smooth enough for grain.
  const float fz = std::floor(p.z);
  const float t = p.z - fz;
  const uint32_t s0 = seed + static_cast<uint32_t>(static_cast<int32_t>(fz)) * 7919u;
  const float a = art::ValueNoise(p.x, p.y, s0), b = art::ValueNoise(p.x, p.y, s0 + 7919u);
  return a + (b - a) * (t * t * (3.0f - 2.0f * t));
}

art::Canvas DrawRock(const std::array<Feature, kFeatures>& features, float angle) {
  const Vec3 axis = Normalised(Vec3{std::sin(art::kPi / 6), -std::cos(art::kPi / 6), 0.0f});
  const Vec3 light = Normalised(Vec3{-0.65f, -0.7f, 0.35f});
  auto field = [&](Vec3 p) {
    const float len = Length(p);
    if (len < 1e-4f) return -kRadius;
    const Vec3 rock = Turn(Mul(p, 1.0f / len), axis, -angle);
    return len - SurfaceRadius(features, rock);
  };
  const float reach = kRadius * 1.2f;
  return art::RenderFunction(48, 48, 2, [&](float px, float py) {
    const float x = px - 24.0f, y = py - 24.0f;
    const float zz = reach * reach - x * x - y * y;
    if (zz <= 0.0f) return art::Color{0, 0, 0, 0};
    float z = std::sqrt(zz), zInside = 0.0f;
    bool hit = false;
    for (; z > -reach; z -= 0.75f) {
      if (field(Vec3{x, y, z}) < 0.0f) {
        hit = true;
        break;
      }
    }
    if (!hit) return art::Color{0, 0, 0, 0};
    float zOutside = z + 0.75f;
    zInside = z;
    for (int i = 0; i < 6; ++i) {
      const float mid = 0.5f * (zOutside + zInside);
      (field(Vec3{x, y, mid}) < 0.0f ? zInside : zOutside) = mid;
    }
    const Vec3 p{x, y, zInside};
    const float e = 0.35f;
    const Vec3 normal = Normalised(Vec3{field(Vec3{x + e, y, p.z}) - field(Vec3{x - e, y, p.z}),
                                        field(Vec3{x, y + e, p.z}) - field(Vec3{x, y - e, p.z}),
                                        field(Vec3{x, y, p.z + e}) - field(Vec3{x, y, p.z - e})});
    const Vec3 rock = Turn(p, axis, -angle);
    const float grain = Noise3(Mul(rock, 0.35f), 11u) * 0.6f + Noise3(Mul(rock, 0.9f), 23u) * 0.4f;
    const float diffuse = std::max(0.0f, Dot(normal, light));
    const float lit = std::clamp(0.05f + 0.95f * diffuse, 0.0f, 1.0f) * (0.7f + 0.3f * grain);
    const float v = 0.45f + 0.35f * lit;
    return art::Color{v * 1.02f, v, v * 0.96f, 1.0f};
  });
}

}  // namespace

FrameSet DrawZadados() {
  const auto features = MakeFeatures();
  FrameSet set{"zadadoFRAME", {}};
  for (int k = 0; k < 35; ++k) set.frames.push_back(DrawRock(features, 2.0f * art::kPi * static_cast<float>(k) / 35.0f));
  set.frames.push_back(set.frames[0]);
  for (art::Canvas& frame : set.frames) LimitChannels(frame, 0.8f);
  return set;
}

}  // namespace sheets
