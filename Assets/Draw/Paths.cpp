#include "Paths.h"

#include <algorithm>
#include <cmath>

namespace art {

Affine Affine::Translate(float x, float y) { return Affine{1, 0, 0, 1, x, y}; }
Affine Affine::Scale(float sx, float sy) { return Affine{sx, 0, 0, sy, 0, 0}; }
Affine Affine::Rotate(float radians) {
  const float c = std::cos(radians), s = std::sin(radians);
  return Affine{c, s, -s, c, 0, 0};
}
Affine Affine::RotateAbout(float radians, float cx, float cy) {
  return Then(Then(Translate(-cx, -cy), Rotate(radians)), Translate(cx, cy));
}
Vec2 Affine::Apply(Vec2 p) const { return Vec2{a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }

Affine Then(const Affine& m, const Affine& n) {
  return Affine{n.a * m.a + n.c * m.b, n.b * m.a + n.d * m.b, n.a * m.c + n.c * m.d,
                n.b * m.c + n.d * m.d, n.a * m.e + n.c * m.f + n.e, n.b * m.e + n.d * m.f + n.f};
}

namespace {

constexpr int kCurveSteps = 16;

// Twice the signed area; positive turns clockwise on a y-down screen.
float SignedArea(const std::vector<Vec2>& points) {
  float area = 0.0f;
  for (size_t i = 0; i < points.size(); ++i) {
    const Vec2& p = points[i];
    const Vec2& q = points[(i + 1) % points.size()];
    area += p.x * q.y - q.x * p.y;
  }
  return area;
}

int CircleSteps(float radius) { return std::clamp(static_cast<int>(radius * 2.0f), 24, 256); }

}  // namespace

Path& Path::MoveTo(float x, float y) {
  contours_.push_back({Vec2{x, y}});
  open_ = true;
  return *this;
}

Path& Path::LineTo(float x, float y) {
  if (!open_) return MoveTo(x, y);
  contours_.back().push_back(Vec2{x, y});
  return *this;
}

Path& Path::QuadTo(float cx, float cy, float x, float y) {
  if (!open_) return MoveTo(x, y);
  const Vec2 p0 = contours_.back().back();
  for (int i = 1; i <= kCurveSteps; ++i) {
    const float t = static_cast<float>(i) / kCurveSteps, u = 1.0f - t;
    contours_.back().push_back(Vec2{u * u * p0.x + 2 * u * t * cx + t * t * x, u * u * p0.y + 2 * u * t * cy + t * t * y});
  }
  return *this;
}

Path& Path::CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) {
  if (!open_) return MoveTo(x, y);
  const Vec2 p0 = contours_.back().back();
  for (int i = 1; i <= kCurveSteps; ++i) {
    const float t = static_cast<float>(i) / kCurveSteps, u = 1.0f - t;
    const float w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
    contours_.back().push_back(
        Vec2{w0 * p0.x + w1 * c1x + w2 * c2x + w3 * x, w0 * p0.y + w1 * c1y + w2 * c2y + w3 * y});
  }
  return *this;
}

Path& Path::Close() {
  open_ = false;
  return *this;
}

Path& Path::AddPolygon(const std::vector<Vec2>& points) {
  if (points.size() < 3) return *this;
  std::vector<Vec2> contour = points;
  if (SignedArea(contour) < 0.0f) std::reverse(contour.begin(), contour.end());
  contours_.push_back(std::move(contour));
  open_ = false;
  return *this;
}

Path& Path::AddRect(float left, float top, float right, float bottom) {
  return AddPolygon({{left, top}, {right, top}, {right, bottom}, {left, bottom}});
}

Path& Path::AddRoundRect(float left, float top, float right, float bottom, float radius) {
  radius = std::min({radius, (right - left) / 2, (bottom - top) / 2});
  if (radius <= 0.0f) return AddRect(left, top, right, bottom);
  std::vector<Vec2> points;
  const int steps = std::max(6, CircleSteps(radius) / 4);
  const Vec2 centres[4] = {{right - radius, top + radius}, {right - radius, bottom - radius},
                           {left + radius, bottom - radius}, {left + radius, top + radius}};
  for (int corner = 0; corner < 4; ++corner) {
    const float start = -kPi / 2 + static_cast<float>(corner) * kPi / 2;
    for (int i = 0; i <= steps; ++i) {
      const float angle = start + (kPi / 2) * static_cast<float>(i) / static_cast<float>(steps);
      points.push_back(Vec2{centres[corner].x + radius * std::cos(angle), centres[corner].y + radius * std::sin(angle)});
    }
  }
  return AddPolygon(points);
}

Path& Path::AddCircle(float cx, float cy, float radius) { return AddEllipse(cx, cy, radius, radius, 0.0f); }

Path& Path::AddEllipse(float cx, float cy, float rx, float ry, float angle) {
  const int steps = CircleSteps(std::max(rx, ry));
  const float c = std::cos(angle), s = std::sin(angle);
  std::vector<Vec2> points;
  for (int i = 0; i < steps; ++i) {
    const float t = 2 * kPi * static_cast<float>(i) / static_cast<float>(steps);
    const float x = rx * std::cos(t), y = ry * std::sin(t);
    points.push_back(Vec2{cx + c * x - s * y, cy + s * x + c * y});
  }
  return AddPolygon(points);
}

Path& Path::AddCapsule(Vec2 from, Vec2 to, float radius) {
  const float dx = to.x - from.x, dy = to.y - from.y;
  const float length = std::sqrt(dx * dx + dy * dy);
  const float base = length > 0.0f ? std::atan2(dy, dx) : 0.0f;
  const int steps = std::max(8, CircleSteps(radius) / 2);
  std::vector<Vec2> points;
  for (int i = 0; i <= steps; ++i) {
    const float angle = base - kPi / 2 + kPi * static_cast<float>(i) / static_cast<float>(steps);
    points.push_back(Vec2{to.x + radius * std::cos(angle), to.y + radius * std::sin(angle)});
  }
  for (int i = 0; i <= steps; ++i) {
    const float angle = base + kPi / 2 + kPi * static_cast<float>(i) / static_cast<float>(steps);
    points.push_back(Vec2{from.x + radius * std::cos(angle), from.y + radius * std::sin(angle)});
  }
  return AddPolygon(points);
}

Path& Path::AddStroke(const std::vector<Vec2>& points, float halfWidth, bool closed) {
  for (size_t i = 0; i + 1 < points.size(); ++i) AddCapsule(points[i], points[i + 1], halfWidth);
  if (closed && points.size() > 2) AddCapsule(points.back(), points.front(), halfWidth);
  return *this;
}

Path& Path::AddStar(float cx, float cy, float outer, float inner, int count, float angle) {
  std::vector<Vec2> points;
  for (int i = 0; i < 2 * count; ++i) {
    const float r = (i % 2 == 0) ? outer : inner;
    const float t = angle + kPi * static_cast<float>(i) / static_cast<float>(count);
    points.push_back(Vec2{cx + r * std::cos(t), cy + r * std::sin(t)});
  }
  return AddPolygon(points);
}

Path& Path::Append(const Path& other, const Affine& transform) {
  for (const auto& contour : other.contours_) {
    std::vector<Vec2> moved;
    moved.reserve(contour.size());
    for (const Vec2& p : contour) moved.push_back(transform.Apply(p));
    contours_.push_back(std::move(moved));
  }
  open_ = false;
  return *this;
}

Path Path::Transformed(const Affine& transform) const {
  Path out;
  out.Append(*this, transform);
  return out;
}

Mask FillPath(int width, int height, const Path& path, FillRule rule) {
  constexpr int kRows = 16;
  Mask mask(width, height);
  struct Edge {
    float x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  for (const auto& contour : path.contours()) {
    for (size_t i = 0; i < contour.size(); ++i) {
      Vec2 p = contour[i], q = contour[(i + 1) % contour.size()];
      if (p.y == q.y) continue;
      int dir = 1;
      if (p.y > q.y) {
        std::swap(p, q);
        dir = -1;
      }
      edges.push_back(Edge{p.x, p.y, q.x, q.y, dir});
    }
  }
  struct Crossing {
    float x;
    int dir;
  };
  std::vector<Crossing> crossings;
  std::vector<float> row(static_cast<size_t>(width) + 1);
  // The edges a pixel row can meet, in their first order, so each sample row
  // scans a few edges instead of all of them.
  std::vector<Edge> live;
  for (int y = 0; y < height; ++y) {
    const float rowTop = static_cast<float>(y), rowBottom = static_cast<float>(y + 1);
    live.clear();
    for (const Edge& e : edges)
      if (e.y1 >= rowTop && e.y0 <= rowBottom) live.push_back(e);
    if (live.empty()) continue;
    std::fill(row.begin(), row.end(), 0.0f);
    bool any = false;
    for (int s = 0; s < kRows; ++s) {
      const float sy = static_cast<float>(y) + (static_cast<float>(s) + 0.5f) / kRows;
      crossings.clear();
      for (const Edge& e : live) {
        if (sy < e.y0 || sy >= e.y1) continue;
        crossings.push_back(Crossing{e.x0 + (sy - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
      }
      if (crossings.empty()) continue;
      std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
      int winding = 0;
      for (size_t i = 0; i + 1 < crossings.size(); ++i) {
        winding += crossings[i].dir;
        const bool inside = rule == FillRule::kNonZero ? winding != 0 : (i % 2) == 0;
        if (!inside) continue;
        // Span [a, b) adds exact fractional coverage to the pixels it meets.
        const float a = std::clamp(crossings[i].x, 0.0f, static_cast<float>(width));
        const float b = std::clamp(crossings[i + 1].x, 0.0f, static_cast<float>(width));
        if (b <= a) continue;
        any = true;
        const int ia = static_cast<int>(a), ib = static_cast<int>(b);
        if (ia == ib) {
          row[static_cast<size_t>(ia)] += b - a;
          continue;
        }
        row[static_cast<size_t>(ia)] += static_cast<float>(ia + 1) - a;
        for (int x = ia + 1; x < ib; ++x) row[static_cast<size_t>(x)] += 1.0f;
        if (ib < width) row[static_cast<size_t>(ib)] += b - static_cast<float>(ib);
      }
    }
    if (!any) continue;
    for (int x = 0; x < width; ++x) mask.at(x, y) = std::min(1.0f, row[static_cast<size_t>(x)] / kRows);
  }
  return mask;
}

}  // namespace art
