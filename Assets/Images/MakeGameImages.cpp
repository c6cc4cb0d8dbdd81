// The game field's single pictures: backdrop, cursor, the small tinted bits,
// the shockwave, both bosses and the loading screen.
#include <algorithm>
#include <cmath>

#include "Bosses.h"
#include "Draw.h"
#include "Widgets.h"

using namespace art;

namespace {

Canvas Background() {
  const int w = 1024, h = 768;
  Canvas canvas = RenderFunction(w, h, 1, [](float x, float y) {
    const float t = std::clamp((x * 0.3f + y) / (1024.0f * 0.3f + 768.0f), 0.0f, 1.0f);
    Color c = Mix(kNavy, Mix(kNavy, kIndigo, 0.8f), t);
    const float violet = std::pow(Fbm(x / 260.0f, y / 260.0f, 4, 11u), 3.0f);
    const float teal = std::pow(Fbm(x / 210.0f + 7.3f, y / 210.0f, 4, 29u), 3.0f);
    const float wisp = std::max(0.0f, violet - 0.08f) * 0.45f, tealWisp = std::max(0.0f, teal - 0.1f) * 0.35f;
    c.r += wisp * 0.35f;
    c.g += tealWisp * 0.30f;
    c.b += wisp * 0.45f + tealWisp * 0.28f;
    return c;
  });
  // A few tiny dim stars, fixed.
  Rng rng(4242u);
  Mask stars(w, h);
  Path dots;
  for (int i = 0; i < 140; ++i) {
    const float x = rng.Range(2, w - 2), y = rng.Range(2, h - 2), r = rng.Range(0.45f, 0.9f);
    dots.AddCircle(x, y, r);
  }
  PaintMask(canvas, FillPath(w, h, dots), Rgb(0.33f, 0.33f, 0.35f), 0.8f);
  for (Color& p : canvas.pixels()) {
    p.r = std::min(p.r, 0.34f);
    p.g = std::min(p.g, 0.34f);
    p.b = std::min(p.b, 0.34f);
    p.a = 1.0f;
  }
  return canvas;
}

Canvas Cursor() {
  const int w = 64, h = 64;
  Canvas canvas(w, h);
  const std::vector<Vec2> arrow{{4, 4}, {4, 50}, {16, 39}, {25, 58}, {34, 54}, {25, 36}, {41, 36}};
  const Mask body = FillPath(w, h, Path().AddPolygon(arrow));
  const Mask edge = FillPath(w, h, Path().AddStroke(arrow, 3.5f, true));
  PaintMask(canvas, Blurred(Union(body, edge), 1.5f), Rgb(0, 0, 0), 0.5f);
  PaintMask(canvas, Union(body, edge), Rgb(0.06f, 0.05f, 0.12f));
  PaintMask(canvas, body, LinearGradient({4, 4}, {30, 58}, {{0.0f, kWhite}, {1.0f, Rgb(0.9f, 0.88f, 0.96f)}}));
  PaintMask(canvas, Intersect(body, FillPath(w, h, Path().AddStroke(arrow, 3.0f, true))), kLavender);
  return canvas;
}

Canvas Pixel() {
  Canvas canvas(2, 2);
  FillCanvas(canvas, kWhite);
  return canvas;
}

Canvas Spark() {
  return RenderFunction(6, 6, 4, [](float x, float y) {
    const float dx = x - 3.0f, dy = y - 3.0f;
    const bool core = x >= 2.0f && x < 4.0f && y >= 2.0f && y < 4.0f;
    const float a = core ? 1.0f : std::exp(-(dx * dx + dy * dy) / (2.0f * 1.1f * 1.1f));
    return WithAlpha(kWhite, a);
  });
}

Canvas Shockwave() {
  return RenderFunction(128, 128, 3, [](float x, float y) {
    const float r = std::hypot(x - 64.0f, y - 64.0f);
    const float ringD = (r - 58.0f) / 2.2f;
    const float ring = std::exp(-ringD * ringD);
    const float inner = r < 58.0f ? 0.35f * std::exp(-(58.0f - r) / 9.0f) : 0.0f;
    const float a = std::min(1.0f, ring + inner);
    const Color c = Mix(Rgb(0.55f, 0.75f, 1.0f), kWhite, ring);
    return WithAlpha(c, a);
  });
}

Canvas Loading(const GeneratorArgs& args) {
  const int w = 1024, h = 768;
  Canvas canvas(w, h);
  FT_Face face = LoadFace(args.firstFace.c_str());
  const Mask text = CentredTextMask(w, h, face, "LOADING", 72.0f, w / 2.0f, h / 2.0f);
  GlowText(canvas, text, LinearGradient({0, 350}, {0, 420}, {{0.0f, kWhite}, {1.0f, kLavender}}), kLavender, 6.0f,
           0.8f);
  return canvas;
}

}  // namespace

int main(int argc, char** argv) {
  const GeneratorArgs args = ParseGeneratorArgs(argc, argv);
  SavePNG(Background(), args.Resource("Background.png"));
  SavePNG(Cursor(), args.Resource("Cursor.png"));
  SavePNG(Pixel(), args.Resource("Graphics/Pixel.png"));
  SavePNG(Spark(), args.Resource("Graphics/Spark.png"));
  SavePNG(Shockwave(), args.Resource("Graphics/Shockwave.png"));
  SavePNG(DrawBoomerang(), args.Resource("Graphics/Boomerang.png"));
  SavePNG(DrawBlimp(), args.Resource("Graphics/Blimp.png"));
  SavePNG(Loading(args), args.Resource("Graphics/Loading.png"));
  return 0;
}
