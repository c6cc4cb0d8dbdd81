#include "Bosses.h"

#include "Paints.h"
#include "Paths.h"
#include "Widgets.h"

namespace art {

namespace {

const Color kGunmetalLight{0.58f, 0.60f, 0.68f, 1.0f};
const Color kGunmetalDark{0.16f, 0.17f, 0.22f, 1.0f};
const Color kMagenta{0.95f, 0.15f, 0.85f, 1.0f};
const Color kOrange{1.0f, 0.6f, 0.1f, 1.0f};

// Hull metal lit from the upper left, with a bright upper-left edge and a dark
// lower-right one.
void PaintHull(Canvas& canvas, const Mask& hull, float tint) {
  const float w = static_cast<float>(canvas.width()), h = static_cast<float>(canvas.height());
  PaintMask(canvas, hull,
            LinearGradient({0, 0}, {w, h},
                           {{0.0f, Mix(kGunmetalLight, kMagenta, tint)},
                            {0.6f, Mix(Mix(kGunmetalLight, kGunmetalDark, 0.6f), kMagenta, tint)},
                            {1.0f, kGunmetalDark}}));
  PaintMask(canvas, Subtract(hull, Shifted(hull, 2, 2)), Rgb(0.85f, 0.86f, 0.95f), 0.55f);
  PaintMask(canvas, Subtract(hull, Shifted(hull, -2, -2)), Rgb(0.03f, 0.03f, 0.06f), 0.6f);
}

void Light(Canvas& canvas, float x, float y, float radius, Color color) {
  const Mask dot = FillPath(canvas.width(), canvas.height(), Path().AddCircle(x, y, radius));
  Glow(canvas, dot, color, radius * 1.2f, 1.6f);
  PaintMask(canvas, dot, Mix(color, kWhite, 0.45f));
}

void PanelLines(Canvas& canvas, const Mask& hull, const std::vector<std::vector<Vec2>>& lines) {
  Path path;
  for (const std::vector<Vec2>& line : lines) path.AddStroke(line, 0.6f, false);
  PaintMask(canvas, Intersect(hull, FillPath(canvas.width(), canvas.height(), path)), Rgb(0.06f, 0.06f, 0.1f),
            0.7f);
}

}  // namespace

Canvas DrawBoomerang() {
  const int w = 192, h = 128;
  Canvas canvas(w, h);
  Path wings;
  wings.MoveTo(4, 14).CubicTo(20, 70, 52, 106, 96, 110).CubicTo(140, 106, 172, 70, 188, 14);
  wings.LineTo(176, 8).CubicTo(160, 40, 132, 60, 96, 62).CubicTo(60, 60, 32, 40, 16, 8).Close();
  Path body;
  body.AddRoundRect(54, 12, 138, 108, 22);
  body.AddCircle(68, 108, 10).AddCircle(124, 108, 10);
  const Mask hullMask = Union(FillPath(w, h, wings), FillPath(w, h, body));
  const Mask nacelles =
      FillPath(w, h, Path().AddCapsule({68, 10}, {68, 44}, 9).AddCapsule({124, 10}, {124, 44}, 9));
  const Mask barrels =
      FillPath(w, h, Path().AddCapsule({68, 108}, {68, 124}, 3).AddCapsule({124, 108}, {124, 124}, 3));
  Glow(canvas, Union(hullMask, nacelles), kMagenta, 2.0f, 0.35f);
  PaintHull(canvas, barrels, 0.0f);
  PaintHull(canvas, hullMask, 0.12f);
  PanelLines(canvas, hullMask,
             {{{20, 22}, {50, 70}, {96, 88}, {142, 70}, {172, 22}}, {{54, 40}, {84, 40}}, {{108, 40}, {138, 40}},
              {{60, 90}, {84, 96}}, {{108, 96}, {132, 90}}});
  PaintHull(canvas, nacelles, 0.0f);
  // Engine mouths on the top edge.
  for (float x : {68.0f, 124.0f}) {
    const Mask mouth = FillPath(w, h, Path().AddEllipse(x, 6, 6, 3));
    Glow(canvas, mouth, kOrange, 2.5f, 1.5f);
    PaintMask(canvas, mouth, Rgb(1.0f, 0.85f, 0.5f));
  }
  // Turret domes.
  for (float x : {68.0f, 124.0f}) {
    const Mask dome = FillPath(w, h, Path().AddCircle(x, 106, 6));
    PaintMask(canvas, dome, RadialGradient({x - 2, 103}, 7, {{0.0f, Rgb(0.7f, 0.7f, 0.8f)}, {1.0f, Rgb(0.2f, 0.2f, 0.28f)}}));
    Light(canvas, x, 106, 1.6f, kOrange);
  }
  // The core: a glowing slot on the centre line, x 84-108.
  const Mask coreSlot = FillPath(w, h, Path().AddRoundRect(84, 28, 108, 100, 11));
  PaintMask(canvas, coreSlot, Rgb(0.12f, 0.02f, 0.12f));
  const Mask core = FillPath(w, h, Path().AddRoundRect(87, 32, 105, 96, 8));
  Glow(canvas, core, kMagenta, 4.0f, 1.2f);
  PaintMask(canvas, core,
            RadialGradient({96, 64}, 34, {{0.0f, Rgb(1.0f, 0.92f, 1.0f)}, {0.5f, Rgb(1.0f, 0.45f, 0.95f)},
                                          {1.0f, kMagenta}}));
  // Running lights along the wings.
  Light(canvas, 22, 22, 2.0f, kMagenta);
  Light(canvas, 170, 22, 2.0f, kMagenta);
  Light(canvas, 40, 56, 1.6f, kOrange);
  Light(canvas, 152, 56, 1.6f, kOrange);
  return canvas;
}

Canvas DrawBlimp() {
  const int w = 88, h = 216;
  Canvas canvas(w, h);
  Path hull;
  hull.MoveTo(44, 206).CubicTo(70, 200, 80, 150, 80, 104).CubicTo(80, 56, 70, 22, 44, 16);
  hull.CubicTo(18, 22, 8, 56, 8, 104).CubicTo(8, 150, 18, 200, 44, 206).Close();
  const Mask hullMask = FillPath(w, h, hull);
  Path fins;
  fins.AddPolygon({{20, 34}, {2, 4}, {14, 4}, {32, 24}});
  fins.AddPolygon({{68, 34}, {56, 24}, {74, 4}, {86, 4}});
  fins.AddPolygon({{39, 22}, {40, 3}, {48, 3}, {49, 22}});
  const Mask finMask = FillPath(w, h, fins);
  const Mask cannon = FillPath(w, h, Path().AddCapsule({44, 196}, {44, 212}, 3.5f));
  Glow(canvas, Union(hullMask, finMask), kMagenta, 2.0f, 0.35f);
  PaintHull(canvas, finMask, 0.2f);
  PaintHull(canvas, cannon, 0.0f);
  PaintHull(canvas, hullMask, 0.08f);
  // Armour bands across the hull.
  std::vector<std::vector<Vec2>> bands;
  for (float y = 46; y < 190; y += 24) bands.push_back({{4, y}, {84, y}});
  bands.push_back({{26, 30}, {26, 190}});
  bands.push_back({{62, 30}, {62, 190}});
  PanelLines(canvas, hullMask, bands);
  // Exhaust at the top centre.
  const Mask nozzle = FillPath(w, h, Path().AddRoundRect(37, 8, 51, 20, 3));
  PaintHull(canvas, nozzle, 0.0f);
  const Mask flame = FillPath(w, h, Path().AddEllipse(44, 8, 5, 3));
  Glow(canvas, flame, kOrange, 2.5f, 1.5f);
  PaintMask(canvas, flame, Rgb(1.0f, 0.85f, 0.5f));
  // The core strip along the spine, x 32-56.
  const Mask slot = FillPath(w, h, Path().AddRoundRect(32, 40, 56, 180, 12));
  PaintMask(canvas, slot, Rgb(0.12f, 0.02f, 0.12f));
  const Mask core = FillPath(w, h, Path().AddRoundRect(35, 44, 53, 176, 9));
  Glow(canvas, core, kMagenta, 4.0f, 1.2f);
  PaintMask(canvas, core,
            LinearGradient({35, 0}, {53, 0}, {{0.0f, kMagenta}, {0.5f, Rgb(1.0f, 0.9f, 1.0f)}, {1.0f, kMagenta}}));
  for (float y : {60.0f, 110.0f, 160.0f}) {
    Light(canvas, 16, y, 1.8f, kOrange);
    Light(canvas, 72, y, 1.8f, kOrange);
  }
  Light(canvas, 44, 200, 2.0f, kMagenta);
  return canvas;
}

}  // namespace art
