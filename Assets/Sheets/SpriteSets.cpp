// Sets 4 to 15 of the "Sprites" sheet: the players' ships, shots and muzzle
// flashes, plasma, status cells, the enemy shield, explosion and engine flame.
#include <algorithm>
#include <cmath>

#include "Sheets.h"

namespace sheets {

namespace {

using art::Canvas;
using art::Color;
using art::Mask;
using art::Path;
using art::Rgb;
using art::Vec2;

struct ShipStyle {
  Color hullLight, hullDark, trim, canopy;
};

// Points of the right half mirrored into a whole outline.
std::vector<Vec2> Mirrored(const std::vector<Vec2>& right) {
  std::vector<Vec2> all = right;
  for (auto it = right.rbegin(); it != right.rend(); ++it) all.push_back(Vec2{-it->x, it->y});
  return all;
}

// Local x (centre 0) to the cell, squeezed by the roll; raised parts shift.
struct Roll {
  float c, s;
  Vec2 operator()(Vec2 p, float height = 0.0f) const { return Vec2{32.0f + p.x * c + height * s, p.y}; }
};

std::vector<Vec2> Project(const std::vector<Vec2>& points, const Roll& roll, float height = 0.0f) {
  std::vector<Vec2> out;
  for (const Vec2& p : points) out.push_back(roll(p, height));
  return out;
}

Canvas DrawPlayerShip(const ShipStyle& style, float bank) {
  const float angle = bank * 0.6f;
  const Roll roll{std::cos(angle), std::sin(angle)};
  Canvas cell(64, 64);
  const std::vector<Vec2> hull = Mirrored({{0, 6}, {3, 10}, {6, 20}, {7, 30}, {8, 50}, {6, 58}, {0, 60}});
  const std::vector<Vec2> wingRight = {{5, 24}, {19, 32}, {26, 42}, {27, 50}, {20, 52}, {7, 50}};
  std::vector<Vec2> wingLeft;
  for (const Vec2& p : wingRight) wingLeft.push_back(Vec2{-p.x, p.y});
  Path body;
  body.AddPolygon(Project(hull, roll, 2.0f));
  Path wings;
  wings.AddPolygon(Project(wingRight, roll)).AddPolygon(Project(wingLeft, roll));
  Path pods;
  for (float side : {-1.0f, 1.0f}) {
    pods.AddCapsule(roll(Vec2{side * 20.0f, 5.0f}, 1.0f), roll(Vec2{side * 20.0f, 44.0f}, 1.0f), 3.6f);
  }
  const Mask wingMask = art::FillPath(64, 64, wings);
  const Mask podMask = art::FillPath(64, 64, pods);
  const Mask bodyMask = art::FillPath(64, 64, body);
  const Mask all = art::Union(art::Union(wingMask, podMask), bodyMask);
  art::Glow(cell, all, style.trim, 2.0f, 0.35f);
  art::PaintMask(cell, Grown(all, 1.2f), Rgb(0.06f, 0.07f, 0.14f));
  // Lit from the upper left; the wing dipping away is darker.
  const float leftLight = 1.0f - 0.25f * std::sin(angle), rightLight = 1.0f + 0.25f * std::sin(angle);
  art::PaintMask(cell, wingMask, [&](float x, float y) {
    const float k = (x < 32.0f ? leftLight : rightLight) * (0.95f - 0.004f * y);
    return art::Mix(style.hullDark, style.hullLight, std::clamp(k * 0.8f, 0.0f, 1.0f));
  });
  // Trim along the wings' trailing edges.
  Path trim;
  for (float side : {-1.0f, 1.0f}) {
    trim.AddCapsule(roll(Vec2{side * 8.0f, 48.5f}), roll(Vec2{side * 25.0f, 48.5f}), 1.3f);
    trim.AddCapsule(roll(Vec2{side * 7.0f, 27.0f}), roll(Vec2{side * 18.0f, 33.0f}), 1.0f);
  }
  art::PaintMask(cell, art::Intersect(art::FillPath(64, 64, trim), wingMask), style.trim);
  art::PaintMask(cell, podMask, art::LinearGradient({16, 0}, {48, 0}, {{0.0f, style.hullLight}, {1.0f, style.hullDark}}));
  Path tips;
  for (float side : {-1.0f, 1.0f})
    tips.AddCapsule(roll(Vec2{side * 20.0f, 4.5f}, 1.0f), roll(Vec2{side * 20.0f, 9.0f}, 1.0f), 3.6f);
  art::PaintMask(cell, art::Intersect(art::FillPath(64, 64, tips), podMask), style.trim);
  art::PaintMask(cell, bodyMask, art::LinearGradient({24, 8}, {42, 56}, {{0.0f, style.hullLight}, {1.0f, style.hullDark}}));
  Path spine;
  spine.AddCapsule(roll(Vec2{0, 36}, 3.0f), roll(Vec2{0, 56}, 3.0f), 1.4f);
  art::PaintMask(cell, art::FillPath(64, 64, spine), style.trim);
  Path canopy;
  canopy.AddEllipse(roll(Vec2{0, 21}, 4.0f).x, 21.0f, 3.4f * roll.c + 0.6f, 7.0f);
  const Mask canopyMask = art::FillPath(64, 64, canopy);
  art::PaintMask(cell, canopyMask, style.canopy);
  Path shine;
  shine.AddEllipse(roll(Vec2{-1.2f, 18}, 4.0f).x, 18.0f, 1.1f, 2.6f);
  art::AddLight(cell, art::Intersect(art::FillPath(64, 64, shine), canopyMask), Rgb(1, 1, 1), 0.7f);
  return cell;
}

// A many-pointed star of light with a white centre.
Canvas DrawMuzzleStar(Color tint) {
  Canvas cell(16, 16);
  Path star;
  star.AddStar(8, 8, 6.8f, 2.0f, 4, -art::kPi / 2).AddStar(8, 8, 4.4f, 1.6f, 4, -art::kPi / 4);
  const Mask m = art::FillPath(16, 16, star);
  art::Glow(cell, m, tint, 1.5f, 0.9f);
  art::PaintMask(cell, m, tint);
  Path core;
  core.AddCircle(8, 8, 2.4f);
  art::PaintMask(cell, art::Blurred(art::FillPath(16, 16, core), 0.6f), Rgb(1, 1, 1));
  return cell;
}

Canvas DrawEnemyFire() {
  Canvas cell(32, 16);
  Path fan;
  fan.AddPolygon({{16, 2}, {26, 13}, {21, 14}, {16, 10}, {11, 14}, {6, 13}});
  const Mask m = art::FillPath(32, 16, fan);
  art::Glow(cell, m, palette::kLime, 1.5f, 0.9f);
  art::PaintMask(cell, m, art::LinearGradient({16, 2}, {16, 14}, {{0.0f, Rgb(1, 1, 0.85f)}, {1.0f, palette::kLime}}));
  Path core;
  core.AddCircle(16, 4.5f, 2.2f);
  art::PaintMask(cell, art::Blurred(art::FillPath(32, 16, core), 0.6f), Rgb(1, 1, 1));
  return cell;
}

// A bolt along the cell's height; head at the top when upward.
Canvas DrawBolt(int width, Color tint, bool upward) {
  Canvas cell(width, 48);
  const float cx = static_cast<float>(width) / 2.0f;
  const float head = upward ? 8.0f : 40.0f, tail = upward ? 44.0f : 4.0f;
  Path outer;
  outer.AddCapsule({cx, head}, {cx, tail}, 3.6f);
  const Mask outerMask = art::FillPath(width, 48, outer);
  const Mask fade = art::MaskFromFunction(width, 48, 1, [&](float, float y) {
    return std::clamp(1.0f - std::abs(y - head) / std::abs(tail - head) * 0.75f, 0.0f, 1.0f);
  });
  art::Glow(cell, outerMask, tint, 2.0f, 0.9f);
  art::PaintMask(cell, art::Intersect(outerMask, fade), tint);
  Path core;
  core.AddCapsule({cx, head}, {cx, (head + tail) / 2.0f}, 1.6f);
  art::PaintMask(cell, art::Intersect(art::FillPath(width, 48, core), fade), Rgb(1, 1, 1));
  Path bright;
  bright.AddCircle(cx, head, 4.0f);
  const Mask brightMask = art::Blurred(art::FillPath(width, 48, bright), 1.0f);
  art::AddLight(cell, brightMask, Rgb(1, 1, 1), 0.9f);
  return cell;
}

Canvas DrawPlasma(Color tint, int f, float size) {
  const float turn = 2.0f * art::kPi / 5.0f * static_cast<float>(f) / 5.0f;
  Canvas cell = art::RenderFunction(64, 64, 2, [&](float x, float y) {
    const float dx = x - 32.0f, dy = y - 32.0f;
    const float r = std::sqrt(dx * dx + dy * dy) / size;
    const float a = std::atan2(dy, dx);
    const float flicker = art::ValueNoise(a * 1.6f + 10.0f, static_cast<float>(f) * 1.3f, 77u);
    const float rays = 0.5f + 0.5f * std::cos(5.0f * (a - turn));
    const float corona = std::exp(-std::pow(r / (0.62f + 0.25f * rays + 0.15f * flicker), 2.0f) * 2.2f);
    const float ball = std::clamp((0.5f - r) * 10.0f, 0.0f, 1.0f);
    const float core = std::exp(-std::pow(r / 0.22f, 2.0f));
    const float alpha = std::clamp(std::max(corona * 0.9f, ball), 0.0f, 1.0f);
    Color c = art::Mix(tint, Rgb(1, 1, 1), std::clamp(core * 1.2f + ball * 0.25f, 0.0f, 1.0f));
    c.a = alpha * std::clamp((30.5f - std::sqrt(dx * dx + dy * dy)) / 4.0f, 0.0f, 1.0f);
    return c;
  });
  return cell;
}

// A small rounded status cell with a white highlight.
Canvas DrawCell(Color tint) {
  Canvas cell(16, 16);
  Path box;
  box.AddRoundRect(2, 2, 14, 14, 3.0f);
  const Mask m = art::FillPath(16, 16, box);
  art::PaintMask(cell, m, art::LinearGradient({2, 2}, {14, 14}, {{0.0f, art::Mix(tint, Rgb(1, 1, 1), 0.35f)},
                                                                   {1.0f, art::Shade(tint, 0.7f)}}));
  Path shine;
  shine.AddRoundRect(4, 3.5f, 9, 6, 1.2f);
  art::AddLight(cell, art::FillPath(16, 16, shine), Rgb(1, 1, 1), 0.6f);
  LimitChannels(cell, 0.85f);
  return cell;
}

Canvas DrawEnemyShield() {
  const float radius = 66.0f;
  const Color violet = Rgb(0.7f, 0.45f, 1.0f);
  return art::RenderFunction(144, 144, 2, [&](float x, float y) {
    const float dx = x - 72.0f, dy = y - 72.0f;
    const float r = std::sqrt(dx * dx + dy * dy) / radius;
    if (r > 1.08f) return Color{0, 0, 0, 0};
    // Hexagonal lattice: distance to the nearest cell edge.
    const float s = 9.0f;
    const float qx = dx / s, qy = dy / s;
    const float rowF = qy / 0.866f;
    const float row = std::round(rowF);
    const float col = std::round(qx - (static_cast<int>(row) % 2 != 0 ? 0.5f : 0.0f));
    const float cx = col + (static_cast<int>(row) % 2 != 0 ? 0.5f : 0.0f), cy = row * 0.866f;
    const float ex = std::abs(qx - cx), ey = std::abs(qy - cy);
    const float hexDist = std::max(ex * 0.866f + ey * 0.5f, ey);
    const float line = std::clamp((hexDist - 0.40f) * 12.0f, 0.0f, 1.0f);
    const float rim = std::exp(-std::pow((r - 0.97f) / 0.06f, 2.0f));
    const float inner = 0.06f + 0.12f * std::pow(std::min(r, 1.0f), 4.0f);
    const float edge = std::clamp((1.03f - r) * 25.0f, 0.0f, 1.0f);
    float alpha = inner + line * 0.06f * std::min(r * 1.3f, 1.0f) + rim * 0.8f;
    alpha = std::min(alpha, 1.0f);
    const float outerGlow = std::exp(-std::pow((r - 0.97f) / 0.05f, 2.0f)) * 0.6f;
    if (r > 1.0f) alpha = outerGlow;
    else alpha *= edge > 0.0f ? 1.0f : 0.0f;
    Color c = art::Mix(violet, Rgb(0.95f, 0.9f, 1.0f), rim * 0.5f);
    c.a = alpha;
    return c;
  });
}

Canvas DrawExplosion() {
  return art::RenderFunction(48, 48, 2, [](float x, float y) {
    const float dx = x - 23.0f, dy = y - 24.5f;
    const float a = std::atan2(dy, dx);
    const float rag = art::Fbm(std::cos(a) * 2.0f + 5.0f, std::sin(a) * 2.0f + 5.0f, 3, 31u);
    const float edge = 16.0f + 7.0f * rag + 2.0f * std::cos(a - 0.8f);
    const float d = std::sqrt(dx * dx + dy * dy);
    const float t = d / edge;
    if (t >= 1.0f) return Color{0, 0, 0, 0};
    const float puff = art::Fbm(x * 0.18f, y * 0.18f, 3, 47u);
    static const art::ColorStops stops = {{0.0f, Rgb(1.0f, 1.0f, 0.9f)}, {0.22f, Rgb(1.0f, 0.9f, 0.45f)},
                                          {0.5f, Rgb(1.0f, 0.55f, 0.1f)}, {0.78f, Rgb(0.75f, 0.2f, 0.05f)},
                                          {1.0f, Rgb(0.3f, 0.08f, 0.05f)}};
    Color c = art::StopColor(stops, std::clamp(t + (puff - 0.5f) * 0.3f, 0.0f, 1.0f));
    c.a = std::clamp((1.0f - t) * 5.0f, 0.0f, 1.0f) * (0.75f + 0.25f * puff);
    return c;
  });
}

Canvas DrawEngineFlame() {
  return art::RenderFunction(64, 64, 2, [](float x, float y) {
    const float dx = std::abs(x - 32.0f);
    const float t = std::clamp((y - 2.0f) / 60.0f, 0.0f, 1.0f);
    const float half = 28.0f * (1.0f - 0.75f * t);
    const float core = half / 3.0f;
    const float body = std::exp(-std::pow(dx / half, 2.0f) * 3.0f);
    const float fade = std::pow(1.0f - t, 1.3f);
    const float centre = std::exp(-std::pow(dx / core, 2.0f) * 2.0f);
    const float a = std::clamp((body * 0.65f + centre * 0.6f) * fade, 0.0f, 1.0f);
    const float v = std::clamp(0.75f + 0.25f * centre, 0.0f, 1.0f);
    return Color{v, v, v, a};
  });
}

}  // namespace

std::vector<FrameSet> DrawSpriteSets() {
  std::vector<FrameSet> sets;
  const ShipStyle one{Rgb(1.0f, 1.0f, 1.0f), Rgb(0.62f, 0.66f, 0.72f), palette::kMint, Rgb(1.0f, 0.7f, 0.15f)};
  const ShipStyle two{Rgb(0.62f, 0.74f, 0.9f), Rgb(0.28f, 0.36f, 0.52f), palette::kCyan, Rgb(0.65f, 0.4f, 1.0f)};
  FrameSet ships{"playerShipFRAME", {}};
  for (const ShipStyle* style : {&one, &two})
    for (float bank : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) ships.frames.push_back(DrawPlayerShip(*style, bank));
  sets.push_back(std::move(ships));
  sets.push_back(FrameSet{"playerFireFRAME", {DrawMuzzleStar(palette::kMint), DrawMuzzleStar(palette::kCyan)}});
  sets.push_back(FrameSet{"enemyFireFRAME", {DrawEnemyFire()}});
  sets.push_back(FrameSet{"playerShotFRAME", {DrawBolt(16, palette::kMint, true), DrawBolt(16, palette::kCyan, true)}});
  sets.push_back(FrameSet{"enemyShotFRAME", {DrawBolt(32, palette::kLime, false)}});
  FrameSet plasma{"plasmaFRAME", {}};
  const Color kinds[3] = {Rgb(1.0f, 0.0f, 0.78f), Rgb(1.0f, 0.0f, 0.0f), Rgb(0.0f, 0.0f, 1.0f)};
  for (int kind = 0; kind < 3; ++kind)
    for (int f = 0; f < 5; ++f) {
      const float size = (kind == 2 ? 21.0f : 17.0f) * (f == 0 ? 1.12f : 1.0f);
      plasma.frames.push_back(DrawPlasma(art::Mix(kinds[kind], Rgb(1, 1, 1), kind == 2 ? 0.25f : 0.1f), f, size));
    }
  sets.push_back(std::move(plasma));
  sets.push_back(FrameSet{"shieldStatusFRAME", {DrawCell(Rgb(0.6f, 0.9f, 1.0f))}});
  sets.push_back(FrameSet{"pelletFRAME", {DrawCell(palette::kMint), DrawCell(palette::kLime)}});
  sets.push_back(FrameSet{"bossStatusFRAME", {DrawCell(Rgb(1.0f, 0.35f, 0.12f))}});
  sets.push_back(FrameSet{"enemyShieldFRAME", {DrawEnemyShield()}});
  sets.push_back(FrameSet{"explosionFRAME", {DrawExplosion()}});
  sets.push_back(FrameSet{"engineFRAME", {DrawEngineFlame()}});
  return sets;
}

}  // namespace sheets
