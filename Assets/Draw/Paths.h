// Vector shapes: contours of straight segments (curves are flattened), affine
// transforms, and supersampled filling into coverage maps.
#pragma once

#include <vector>

#include "Masks.h"

namespace art {

constexpr float kPi = 3.14159265358979323846f;

struct Vec2 {
  float x = 0.0f;
  float y = 0.0f;
};

// x' = a x + c y + e, y' = b x + d y + f (y grows downward, angles turn
// clockwise on screen).
struct Affine {
  float a = 1.0f, b = 0.0f, c = 0.0f, d = 1.0f, e = 0.0f, f = 0.0f;

  static Affine Translate(float x, float y);
  static Affine Scale(float sx, float sy);
  static Affine Rotate(float radians);
  // Turned by radians about (cx, cy).
  static Affine RotateAbout(float radians, float cx, float cy);
  Vec2 Apply(Vec2 p) const;
};
// The transform doing first then second.
Affine Then(const Affine& first, const Affine& second);

enum class FillRule { kNonZero, kEvenOdd };

class Path {
 public:
  Path& MoveTo(float x, float y);
  Path& LineTo(float x, float y);
  Path& QuadTo(float cx, float cy, float x, float y);
  Path& CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y);
  Path& Close();

  // Closed contours, all turning the same way, so that under kNonZero
  // overlapping pieces add up to their union.
  Path& AddPolygon(const std::vector<Vec2>& points);
  Path& AddRect(float left, float top, float right, float bottom);
  Path& AddRoundRect(float left, float top, float right, float bottom, float radius);
  Path& AddCircle(float cx, float cy, float radius);
  Path& AddEllipse(float cx, float cy, float rx, float ry, float angle = 0.0f);
  // A segment of the given half-width with round ends.
  Path& AddCapsule(Vec2 from, Vec2 to, float radius);
  // Every segment of points (closed or not) as capsules: a stroke with round joins.
  Path& AddStroke(const std::vector<Vec2>& points, float halfWidth, bool closed);
  // Points of an n-pointed star, outer and inner radius, first point at angle.
  Path& AddStar(float cx, float cy, float outer, float inner, int points, float angle);
  Path& Append(const Path& other, const Affine& transform = Affine());

  Path Transformed(const Affine& transform) const;
  const std::vector<std::vector<Vec2>>& contours() const { return contours_; }

 private:
  std::vector<std::vector<Vec2>> contours_;
  bool open_ = false;
};

// Coverage of the path in a width x height map: 16 sample rows a pixel, exact
// horizontal coverage along each.
Mask FillPath(int width, int height, const Path& path, FillRule rule = FillRule::kNonZero);

}  // namespace art
