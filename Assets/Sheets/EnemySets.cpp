// Sets 17 to 27 of the "Enemies" sheet: the enemy fighter, its spinning hulk
// and torn wings, banner words, pick-ups, digits, the boss flame and the glow.
#include <algorithm>
#include <cmath>
#include <string>

#include "Sheets.h"

namespace sheets {

namespace {

using art::Affine;
using art::Canvas;
using art::Color;
using art::Mask;
using art::Path;
using art::Rgb;
using art::Vec2;

// Right wing in local coordinates (x from the centre line, y down the cell).
const std::vector<Vec2> kWingRight = {{7, 18}, {27, 9}, {30, 15}, {23, 29}, {27, 44}, {20, 45}, {8, 36}};
const std::vector<Vec2> kHullRight = {{0, 3}, {5, 5}, {8, 15}, {8.5f, 36}, {5, 50}, {2, 57}, {0, 58}};

std::vector<Vec2> MirrorX(const std::vector<Vec2>& points) {
  std::vector<Vec2> out;
  for (const Vec2& p : points) out.push_back(Vec2{-p.x, p.y});
  return out;
}

std::vector<Vec2> Outline(const std::vector<Vec2>& right) {
  std::vector<Vec2> all = right;
  for (auto it = right.rbegin(); it != right.rend(); ++it) all.push_back(Vec2{-it->x, it->y});
  return all;
}

std::vector<Vec2> Moved(const std::vector<Vec2>& points, const Affine& m) {
  std::vector<Vec2> out;
  for (const Vec2& p : points) out.push_back(m.Apply(p));
  return out;
}

// The wing's panel colours and lights, drawn through its mask.
void PaintWing(Canvas& cell, const Mask& wing, const std::vector<Vec2>& points, const Affine& m, float light) {
  const int w = cell.width(), h = cell.height();
  art::PaintMask(cell, wing, art::LinearGradient(m.Apply({8, 14}), m.Apply({26, 44}),
                                                 {{0.0f, art::Shade(palette::kMagenta, light)},
                                                  {1.0f, art::Shade(palette::kPurple, light * 0.8f)}}));
  Path seam;
  seam.AddCapsule(m.Apply({10, 22}), m.Apply({24, 14}), 0.8f).AddCapsule(m.Apply({11, 33}), m.Apply({22, 30}), 0.8f);
  art::PaintMask(cell, art::Intersect(art::FillPath(w, h, seam), wing), Rgb(0.12f, 0.06f, 0.18f, 0.8f));
  Path lamp;
  const Vec2 tip = m.Apply(points[2].x > 0 ? Vec2{26.5f, 13} : Vec2{-26.5f, 13});
  lamp.AddCircle(tip.x, tip.y, 1.8f);
  const Mask lampMask = art::FillPath(w, h, lamp);
  art::Glow(cell, lampMask, palette::kLime, 1.6f, 1.2f);
  art::PaintMask(cell, lampMask, Rgb(0.9f, 1.0f, 0.6f));
}

// Sparks at a point: short bright streaks, placed by the seed.
void PaintSparks(Canvas& cell, Vec2 at, uint32_t seed, int count) {
  art::Rng rng(seed);
  Path sparks;
  for (int i = 0; i < count; ++i) {
    const float a = rng.Range(0.0f, 2.0f * art::kPi), r0 = rng.Range(0.5f, 3.0f), r1 = r0 + rng.Range(2.0f, 6.0f);
    sparks.AddCapsule({at.x + r0 * std::cos(a), at.y + r0 * std::sin(a)}, {at.x + r1 * std::cos(a), at.y + r1 * std::sin(a)},
                      0.55f);
  }
  const Mask m = art::FillPath(cell.width(), cell.height(), sparks);
  art::Glow(cell, m, palette::kOrange, 1.5f, 1.0f);
  art::PaintMask(cell, m, Rgb(1.0f, 0.95f, 0.6f));
}

// The fighter, nose down. bank -1 most left, 1 most right.
Canvas DrawEnemy(float bank, bool leftWing, bool rightWing, uint32_t sparkSeed) {
  Canvas cell(64, 64);
  const float angle = bank * 0.6f, c = std::cos(angle), s = std::sin(angle);
  const Affine flat{c, 0, 0, 1, 32, 0};
  const Affine raised{c, 0, 0, 1, 32 + 2.5f * s, 0};
  const Mask hull = art::FillPath(64, 64, Path().AddPolygon(Moved(Outline(kHullRight), raised)));
  const std::vector<Vec2> wingR = Moved(kWingRight, flat), wingL = Moved(MirrorX(kWingRight), flat);
  Mask wingRMask(64, 64), wingLMask(64, 64);
  if (rightWing) wingRMask = art::FillPath(64, 64, Path().AddPolygon(wingR));
  if (leftWing) wingLMask = art::FillPath(64, 64, Path().AddPolygon(wingL));
  Path gun;
  gun.AddCapsule(raised.Apply({0, 50}), raised.Apply({0, 60.5f}), 1.8f);
  const Mask gunMask = art::FillPath(64, 64, gun);
  Path exhaust;
  exhaust.AddRoundRect(raised.Apply({-4.5f, 2}).x, 2.0f, raised.Apply({4.5f, 2}).x, 9.0f, 2.0f);
  const Mask exhaustMask = art::FillPath(64, 64, exhaust);
  const Mask all = art::Union(art::Union(art::Union(hull, wingRMask), art::Union(wingLMask, gunMask)), exhaustMask);
  art::Glow(cell, all, palette::kMagenta, 2.0f, 0.35f);
  art::PaintMask(cell, Grown(all, 1.2f), Rgb(0.04f, 0.03f, 0.08f));
  art::PaintMask(cell, gunMask, Rgb(0.35f, 0.35f, 0.42f));
  if (leftWing) PaintWing(cell, wingLMask, MirrorX(kWingRight), flat, 1.0f - 0.25f * s);
  if (rightWing) PaintWing(cell, wingRMask, kWingRight, flat, 1.0f + 0.25f * s);
  art::PaintMask(cell, hull, art::LinearGradient({22, 6}, {42, 56}, {{0.0f, Rgb(0.5f, 0.48f, 0.58f)},
                                                                      {1.0f, Rgb(0.16f, 0.14f, 0.22f)}}));
  art::PaintMask(cell, exhaustMask, Rgb(0.12f, 0.1f, 0.16f));
  Path nozzle;
  nozzle.AddRoundRect(raised.Apply({-2.5f, 2}).x, 2.5f, raised.Apply({2.5f, 2}).x, 5.5f, 1.2f);
  art::AddLight(cell, art::Blurred(art::FillPath(64, 64, nozzle), 0.7f), palette::kOrange, 0.9f);
  Path cockpit;
  const Vec2 cp = raised.Apply({0, 40});
  cockpit.AddEllipse(cp.x, cp.y, 3.2f * c + 0.6f, 6.0f);
  const Mask cockpitMask = art::FillPath(64, 64, cockpit);
  art::PaintMask(cell, cockpitMask, Rgb(0.55f, 0.9f, 0.1f));
  art::AddLight(cell, art::Intersect(cockpitMask, art::Shifted(cockpitMask, 1, 2)), Rgb(0.2f, 0.25f, 0.0f), 0.5f);
  Path muzzle;
  const Vec2 mp = raised.Apply({0, 59.5f});
  muzzle.AddCircle(mp.x, mp.y, 1.4f);
  art::PaintMask(cell, art::FillPath(64, 64, muzzle), palette::kLime);
  if (!leftWing) PaintSparks(cell, flat.Apply({-7.5f, 27}), sparkSeed, 7);
  if (!rightWing) PaintSparks(cell, flat.Apply({7.5f, 27}), sparkSeed, 7);
  return cell;
}

// A torn wing alone, centred in a 48 x 48 cell, its torn root glowing.
Canvas DrawWing(bool left, uint32_t seed) {
  Canvas cell(48, 48);
  const Affine place = left ? Affine{-1, 0, 0, 1, 42, -3} : Affine{1, 0, 0, 1, 6, -3};
  std::vector<Vec2> torn = kWingRight;
  // A ragged root where it broke off the hull.
  art::Rng rng(0x77u);
  std::vector<Vec2> root;
  for (int i = 1; i < 5; ++i) root.push_back(Vec2{8.0f + rng.Range(-1.5f, 1.5f), 36.0f - 4.5f * static_cast<float>(i)});
  torn.insert(torn.end(), root.begin(), root.end());
  const std::vector<Vec2> points = Moved(torn, place);
  const Mask wing = art::FillPath(48, 48, Path().AddPolygon(points));
  art::PaintMask(cell, Grown(wing, 1.2f), Rgb(0.04f, 0.03f, 0.08f));
  PaintWing(cell, wing, left ? MirrorX(kWingRight) : kWingRight, place, 1.0f);
  Path edge;
  std::vector<Vec2> rootLine = {place.Apply({8, 36})};
  for (const Vec2& p : root) rootLine.push_back(place.Apply(p));
  rootLine.push_back(place.Apply({7, 18}));
  edge.AddStroke(rootLine, 1.0f, false);
  const float flicker = 0.55f + 0.45f * art::Hash01(static_cast<int32_t>(seed), 3, 91u);
  const Mask edgeMask = art::FillPath(48, 48, edge);
  art::Glow(cell, edgeMask, palette::kOrange, 2.0f, 1.2f * flicker);
  art::PaintMask(cell, edgeMask, art::Mix(palette::kOrange, Rgb(1, 1, 0.7f), flicker), 0.9f);
  return cell;
}

// Light grey lettering with a soft glow, every pixel grey.
Canvas DrawWord(FT_Face face, const char* word, int width, int height) {
  Canvas cell(width, height);
  float size = 21.0f;
  while (size > 8.0f && art::TextWidth(face, word, size) > width - 10) size -= 0.5f;
  const Mask text = art::TextMask(width, height, face, word, size, static_cast<float>(width) / 2.0f,
                                  static_cast<float>(height) / 2.0f + size * 0.35f, art::Align::kCentre);
  art::PaintMask(cell, Scaled(art::Blurred(text, 2.0f), 0.9f), Rgb(1, 1, 1, 0.45f));
  art::PaintMask(cell, text, Rgb(0.8f, 0.8f, 0.8f));
  return cell;
}

// A pick-up turned by angle about its upright axis: the face squeezed by its
// cosine, the rim showing beside it.
template <typename Emblem>
Canvas DrawTurningCapsule(float angle, Color body, float halfWidth, float halfHeight, Emblem emblem) {
  Canvas cell(40, 40);
  const float c = std::cos(angle), s = std::sin(angle);
  const float squeeze = std::max(std::abs(c), 0.12f);
  const float rimWidth = 4.0f * std::abs(s);
  const float shift = (s > 0 ? -1.0f : 1.0f) * rimWidth * 0.5f;
  const Affine face{squeeze, 0, 0, 1, 20.0f - 20.0f * squeeze + shift, 0};
  Path front;
  front.AddRoundRect(20 - halfWidth, 20 - halfHeight, 20 + halfWidth, 20 + halfHeight, std::min(halfWidth, halfHeight) * 0.8f);
  const Path shaped = front.Transformed(face);
  const Mask faceMask = art::FillPath(40, 40, shaped);
  const Mask rimMask = art::FillPath(40, 40, front.Transformed(Affine{squeeze, 0, 0, 1, 20.0f - 20.0f * squeeze - shift * 1.6f, 0}));
  const Mask all = art::Union(faceMask, rimMask);
  art::Glow(cell, all, body, 2.0f, 0.4f);
  art::PaintMask(cell, Grown(all, 1.0f), Rgb(0.05f, 0.06f, 0.1f));
  art::PaintMask(cell, rimMask, art::Shade(body, 0.55f));
  art::PaintMask(cell, faceMask, art::LinearGradient({10, 10}, {30, 30}, {{0.0f, art::Mix(body, Rgb(1, 1, 1), 0.45f)},
                                                                          {1.0f, art::Shade(body, 0.7f)}}));
  Path emblemPath;
  emblem(emblemPath);
  art::PaintMask(cell, art::Intersect(art::FillPath(40, 40, emblemPath.Transformed(face)), faceMask),
                 Rgb(0.12f, 0.16f, 0.2f, 0.85f));
  Path shine;
  shine.AddRoundRect(20 - halfWidth + 3, 20 - halfHeight + 2, 20 + halfWidth - 3, 20 - halfHeight + 5, 1.5f);
  art::AddLight(cell, art::Intersect(art::FillPath(40, 40, shine.Transformed(face)), faceMask), Rgb(1, 1, 1), 0.35f);
  LimitChannels(cell, 0.85f);
  return cell;
}

void TwinArrows(Path& p) {
  for (float x : {14.5f, 25.5f}) {
    p.AddPolygon({{x, 11}, {x + 4.5f, 17}, {x + 1.8f, 17}, {x + 1.8f, 28}, {x - 1.8f, 28}, {x - 1.8f, 17}, {x - 4.5f, 17}});
  }
}

void ShieldEmblem(Path& p) {
  p.MoveTo(20, 10).LineTo(28, 13).LineTo(27.5f, 20).QuadTo(26, 27, 20, 30).QuadTo(14, 27, 12.5f, 20).LineTo(12, 13).Close();
}

Canvas DrawPod(int frame) {
  Canvas cell(40, 40);
  const float angle = 2.0f * art::kPi * static_cast<float>(frame) / 8.0f;
  Path body;
  body.AddEllipse(20, 20, 11.0f, 12.5f);
  const Mask bodyMask = art::FillPath(40, 40, body);
  art::Glow(cell, bodyMask, palette::kLime, 2.0f, 0.4f);
  art::PaintMask(cell, Grown(bodyMask, 1.0f), Rgb(0.05f, 0.07f, 0.03f));
  art::PaintMask(cell, bodyMask, art::RadialGradient({16, 15}, 15.0f, {{0.0f, Rgb(0.85f, 0.95f, 0.5f)},
                                                                      {0.6f, palette::kLime},
                                                                      {1.0f, Rgb(0.35f, 0.5f, 0.0f)}}));
  // Bands that slide round as it turns.
  Path bands;
  for (int i = 0; i < 3; ++i) {
    const float a = angle + 2.0f * art::kPi * static_cast<float>(i) / 3.0f;
    if (std::cos(a) <= 0.05f) continue;
    const float x = 20.0f + 10.0f * std::sin(a);
    bands.AddRect(x - 0.9f * std::cos(a), 8, x + 0.9f * std::cos(a), 32);
  }
  art::PaintMask(cell, art::Intersect(art::FillPath(40, 40, bands), bodyMask), Rgb(0.2f, 0.3f, 0.0f, 0.7f));
  Path lamp;
  lamp.AddCircle(20, 20, 3.2f);
  const Mask lampMask = art::FillPath(40, 40, lamp);
  const bool lit = frame % 2 == 0;
  if (lit) art::Glow(cell, lampMask, Rgb(1, 1, 1), 1.5f, 1.0f);
  art::PaintMask(cell, lampMask, lit ? Rgb(1, 1, 0.9f) : Rgb(0.25f, 0.35f, 0.05f));
  LimitChannels(cell, 0.85f);
  return cell;
}

// Digits in the first face, grown for strokes of at least 5 px, ink from row 2 to row 29.
std::vector<Canvas> DrawDigits(FT_Face face) {
  const Mask probe = art::TextMask(64, 64, face, "0", 40.0f, 8.0f, 50.0f);
  const art::InkBox box = art::InkBounds(probe, 0.5f);
  const float size = 40.0f * 26.0f / static_cast<float>(box.bottom - box.top);
  std::vector<Canvas> digits;
  for (int d = 0; d < 10; ++d) {
    const std::string text(1, static_cast<char>('0' + d));
    Mask m = art::TextMask(32, 32, face, text.c_str(), size, 16.0f, 29.0f, art::Align::kCentre);
    const art::InkBox ink = art::InkBounds(m, 0.5f);
    m = art::Shifted(m, 0, 3 - ink.top);
    m = art::Union(art::Union(m, art::Union(art::Shifted(m, 1, 0), art::Shifted(m, -1, 0))),
                   art::Union(art::Shifted(m, 0, 1), art::Shifted(m, 0, -1)));
    Canvas cell(32, 32);
    art::PaintMask(cell, m, Rgb(0.88f, 0.88f, 0.88f));
    digits.push_back(std::move(cell));
  }
  return digits;
}

Canvas DrawBigFlame() {
  return art::RenderFunction(40, 64, 2, [](float x, float y) {
    const float t = std::clamp((y - 3.0f) / 58.0f, 0.0f, 1.0f);  // 0 tip, 1 base
    const float half = 2.0f + 16.0f * std::pow(t, 0.7f);
    const float dx = std::abs(x - 20.0f);
    const float lick = art::Fbm(x * 0.2f, y * 0.12f, 3, 5u);
    const float inside = std::clamp((half * (0.85f + 0.3f * lick) - dx) / 2.0f, 0.0f, 1.0f);
    const float base = std::clamp((61.0f - y) / 4.0f, 0.0f, 1.0f);
    const float heat = std::clamp((1.0f - dx / half) * (0.4f + 0.6f * t), 0.0f, 1.0f);
    Color c = art::StopColor({{0.0f, Rgb(1.0f, 0.4f, 0.05f)}, {0.5f, Rgb(1.0f, 0.7f, 0.2f)}, {1.0f, Rgb(1.0f, 0.97f, 0.85f)}},
                             heat);
    c.a = inside * base * std::clamp(0.35f + t, 0.0f, 1.0f);
    return c;
  });
}

Canvas DrawGlow() {
  return art::RenderFunction(32, 32, 2, [](float x, float y) {
    const float dx = x - 16.0f, dy = y - 16.0f;
    const float r2 = dx * dx + dy * dy;
    const float sigma = 5.0f, edge = std::exp(-225.0f / (2.0f * sigma * sigma));
    const float a = std::max(0.0f, (std::exp(-r2 / (2.0f * sigma * sigma)) - edge) / (1.0f - edge));
    return Color{1.0f, 1.0f, 1.0f, a};
  });
}

}  // namespace

std::vector<FrameSet> DrawEnemySets(FT_Face face) {
  std::vector<FrameSet> sets;
  FrameSet enemy{"enemyFRAME", {}};
  for (float bank : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) enemy.frames.push_back(DrawEnemy(bank, true, true, 0));
  sets.push_back(std::move(enemy));
  FrameSet spin{"enemySpinFRAME", {}};
  for (int f = 0; f < 8; ++f) spin.frames.push_back(DrawEnemy(0.0f, f >= 4, f < 4, 0x5100u + static_cast<uint32_t>(f)));
  sets.push_back(std::move(spin));
  FrameSet wings{"enemyWingFRAME", {}};
  for (int f = 0; f < 8; ++f) wings.frames.push_back(DrawWing(f < 4, static_cast<uint32_t>(f)));
  sets.push_back(std::move(wings));
  sets.push_back(FrameSet{"waveDisplayFRAME", {DrawWord(face, "WAVE", 96, 24)}});
  FrameSet doubles{"doublesPowFRAME", {}};
  for (int f = 0; f < 8; ++f)
    doubles.frames.push_back(DrawTurningCapsule(2.0f * art::kPi * static_cast<float>(f) / 8.0f, palette::kMint, 13.0f,
                                                12.0f, TwinArrows));
  sets.push_back(std::move(doubles));
  FrameSet shields{"shieldPowFRAME", {}};
  for (int f = 0; f < 16; ++f)
    shields.frames.push_back(DrawTurningCapsule(2.0f * art::kPi * static_cast<float>(f) / 16.0f, Rgb(1.0f, 0.9f, 0.0f),
                                                12.0f, 13.0f, ShieldEmblem));
  sets.push_back(std::move(shields));
  FrameSet pods{"podFRAME", {}};
  for (int f = 0; f < 8; ++f) pods.frames.push_back(DrawPod(f));
  sets.push_back(std::move(pods));
  sets.push_back(FrameSet{"numberFRAME", DrawDigits(face)});
  sets.push_back(FrameSet{"bossDisplayFRAME", {DrawWord(face, "BOSS", 88, 24)}});
  sets.push_back(FrameSet{"bigFlameFRAME", {DrawBigFlame()}});
  sets.push_back(FrameSet{"glowFRAME", {DrawGlow()}});
  return sets;
}

}  // namespace sheets
