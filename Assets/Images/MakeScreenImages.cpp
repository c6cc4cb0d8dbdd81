// The screens' frames: logo, title, main menu, pause and help panels with
// their buttons, and the about box's shadow.
#include <algorithm>
#include <cmath>

#include "Draw.h"
#include "Widgets.h"

using namespace art;

namespace {

FT_Face gFace = nullptr;

// Soft clouds of violet, rose and teal, in 0..1 strength per colour.
Color NebulaColor(float x, float y, float scale, uint32_t seed) {
  const float violet = Fbm(x / scale, y / scale, 5, seed);
  const float rose = Fbm(x / scale + 3.7f, y / scale - 1.3f, 5, seed + 17u);
  const float teal = Fbm(x / scale - 5.1f, y / scale + 2.9f, 5, seed + 41u);
  auto shape = [](float v, float cut) { return std::pow(std::max(0.0f, v - cut) / (1.0f - cut), 1.6f); };
  const float v = shape(violet, 0.35f), r = shape(rose, 0.45f), t = shape(teal, 0.42f);
  return Color{0.45f * v + 0.55f * r + 0.02f * t, 0.12f * v + 0.15f * r + 0.45f * t, 0.70f * v + 0.35f * r + 0.48f * t,
               1.0f};
}

Canvas QVLogo() {
  const int w = 1024, h = 768;
  Canvas canvas(w, h);
  FillCanvas(canvas, Rgb(0, 0, 0));
  const float cx = 512, cy = 384;
  const Mask planet = FillPath(w, h, Path().AddCircle(cx, cy, 92));
  Glow(canvas, planet, Rgb(0.45f, 0.35f, 0.9f), 18.0f, 0.6f);
  PaintMask(canvas, planet, RadialGradient({cx - 36, cy - 40}, 150, {{0.0f, Rgb(0.32f, 0.26f, 0.62f)},
                                                                     {1.0f, Rgb(0.05f, 0.04f, 0.14f)}}));
  // Two tilted orbits, the front halves over the planet.
  for (float tilt : {-0.45f, 0.45f}) {
    const Mask outer = FillPath(w, h, Path().AddEllipse(cx, cy, 230, 70, tilt));
    const Mask inner = FillPath(w, h, Path().AddEllipse(cx, cy, 223, 64, tilt));
    const Mask orbit = Subtract(outer, inner);
    Glow(canvas, orbit, kMint, 5.0f, 0.8f);
    PaintMask(canvas, orbit, Mix(kMint, kWhite, 0.5f));
  }
  const Mask moon = FillPath(w, h, Path().AddCircle(cx + 205, cy - 95, 13));
  Glow(canvas, moon, kCyan, 8.0f, 1.0f);
  PaintMask(canvas, moon, Mix(kCyan, kWhite, 0.6f));
  const Mask letters = CentredTextMask(w, h, gFace, "QV", 120.0f, cx, cy);
  GlowText(canvas, letters, LinearGradient({0, cy - 45}, {0, cy + 45}, {{0.0f, kWhite}, {1.0f, kLavender}}),
           kLavender, 6.0f, 0.8f);
  for (Color& p : canvas.pixels()) p.a = 1.0f;
  return canvas;
}

Mask TitleWord(int w, int h, float size, float cx, float cy) {
  return CentredTextMask(w, h, gFace, "KESTROVA", size, cx, cy);
}

// Lavender metal: bright top edge, darker middle band, light base.
Paint LavenderMetal(float top, float bottom) {
  return LinearGradient({0, top}, {0, bottom},
                        {{0.0f, kWhite}, {0.45f, kLavender}, {0.55f, Shade(kLavender, 0.7f)}, {1.0f, Mix(kLavender, kWhite, 0.4f)}});
}

Canvas TitleImage() {
  const int w = 1024, h = 768;
  Canvas canvas(w, h);
  const Mask word = TitleWord(w, h, 150.0f, 512, 230);
  const InkBox ink = InkBounds(word);
  Glow(canvas, word, Rgb(0.6f, 0.45f, 1.0f), 14.0f, 0.9f);
  GlowText(canvas, word, LavenderMetal(static_cast<float>(ink.top), static_cast<float>(ink.bottom)), kLavender,
           3.0f, 0.6f);
  const Mask prompt = CentredTextMask(w, h, gFace, "press any key", 30.0f, 512, 700);
  GlowText(canvas, prompt, SolidPaint(kLavender), kLavender, 3.0f, 0.5f);
  return canvas;
}

Canvas TitleBackground() {
  Canvas canvas = RenderFunction(1024, 564, 1, [](float x, float y) {
    const Color n = NebulaColor(x, y, 230.0f, 7u);
    const Color base = Mix(kNavy, kIndigo, y / 564.0f * 0.7f);
    return Color{std::min(0.7f, base.r + n.r * 0.5f), std::min(0.7f, base.g + n.g * 0.5f),
                 std::min(0.7f, base.b + n.b * 0.5f), 1.0f};
  });
  return canvas;
}

Canvas MainImage() {
  const int w = 1024, h = 768;
  Canvas canvas(w, h);
  auto panel = [&](float l, float t, float r, float b) {
    GlassPanel(canvas, l * 1.6f, t * 1.6f, r * 1.6f, b * 1.6f, 20, 0.6f, 3.0f);
  };
  panel(36, 100, 340, 280);
  panel(16, 292, 336, 470);
  panel(366, 100, 632, 470);
  // Title inside x 40-330, y 20-80 (shown).
  const float size = FitTextSize(gFace, "KESTROVA", 90.0f, (330 - 40) * 1.6f - 16.0f);
  const Mask word = TitleWord(w, h, size, (40 + 330) * 0.8f, (20 + 80) * 0.8f);
  const InkBox ink = InkBounds(word);
  Glow(canvas, word, Rgb(0.6f, 0.45f, 1.0f), 8.0f, 0.8f);
  GlowText(canvas, word, LavenderMetal(static_cast<float>(ink.top), static_cast<float>(ink.bottom)), kLavender,
           2.0f, 0.5f);
  for (int p = 0; p < 2; ++p) {
    const float left = p == 0 ? 28.0f : 204.0f;
    const Color colour = p == 0 ? kMint : kCyan;
    const Mask label = CentredTextMask(w, h, gFace, p == 0 ? "PLAYER 1" : "PLAYER 2", 26.0f, (left + 58) * 1.6f,
                                       307 * 1.6f);
    GlowText(canvas, label, SolidPaint(Mix(colour, kWhite, 0.3f)), colour, 2.0f, 0.5f);
    const float fireLeft = (76.0f + 176.0f * static_cast<float>(p)) * 1.6f;
    const float fireWidth = static_cast<float>(TextWidth(gFace, "FIRE", 24.0f));
    const Mask placed = CentredTextMask(w, h, gFace, "FIRE", 24.0f, fireLeft + fireWidth / 2, 444 * 1.6f);
    PaintMask(canvas, placed, kLavender);
  }
  return canvas;
}

Canvas MainNebula() {
  return RenderFunction(512, 512, 1, [](float x, float y) {
    const float r = std::hypot(x - 256.0f, y - 256.0f);
    if (r >= 250.0f) return Rgb(0, 0, 0);
    const float fall = std::pow(std::max(0.0f, 1.0f - r / 245.0f), 1.3f);
    const Color n = NebulaColor(x, y, 110.0f, 23u);
    return Color{std::min(0.6f, n.r * fall * 2.0f), std::min(0.6f, n.g * fall * 2.0f),
                 std::min(0.6f, n.b * fall * 2.0f), 1.0f};
  });
}

Canvas PauseBox() {
  const int w = 320, h = 176;
  Canvas canvas(w, h);
  GlassPanel(canvas, 1, 1, w - 1, h - 1, 16, 0.85f, 3.0f);
  const float size = FitTextSize(gFace, "PAUSED", 34.0f, 118.0f);
  const Mask word = CentredTextMask(w, h, gFace, "PAUSED", size, 238, 28);
  GlowText(canvas, word, SolidPaint(Mix(kLavender, kWhite, 0.4f)), kLavender, 2.5f, 0.6f);
  return canvas;
}

Canvas HelpScreen() {
  const int w = 896, h = 672;
  Canvas canvas(w, h);
  GlassPanel(canvas, 2, 2, w - 2, h - 2, 28, 0.88f, 3.0f);
  const Mask word = CentredTextMask(w, h, gFace, "HOW TO PLAY", 44.0f, w / 2.0f, 28 * 1.6f);
  const InkBox ink = InkBounds(word);
  GlowText(canvas, word, LavenderMetal(static_cast<float>(ink.top), static_cast<float>(ink.bottom)), kLavender,
           3.0f, 0.6f);
  return canvas;
}

// A pill with an arrow (or an envelope) drawn beside the label.
enum class Mark { kNone, kNext, kPrev, kEnvelope };

Canvas MarkedPill(int width, const char* label, Mark mark) {
  const float shift = mark == Mark::kNone ? 0.0f : (mark == Mark::kPrev ? -10.0f : 10.0f);
  const float labelShift = mark == Mark::kEnvelope ? -14.0f : shift;
  Canvas canvas = PillButton(width, 40, gFace, label, 22.0f, labelShift);
  const float w = static_cast<float>(width);
  Path shape;
  if (mark == Mark::kNext) shape.AddPolygon({{w - 30, 13}, {w - 19, 20}, {w - 30, 27}});
  if (mark == Mark::kPrev) shape.AddPolygon({{30, 13}, {30, 27}, {19, 20}});
  if (mark == Mark::kEnvelope) {
    const Mask body = FillPath(width, 40, Path().AddRoundRect(20, 12, 44, 28, 2));
    PaintMask(canvas, body, Mix(kLavender, kWhite, 0.35f));
    PaintMask(canvas, FillPath(width, 40, Path().AddStroke({{21, 13.5f}, {32, 22}, {43, 13.5f}}, 1.2f, false)), kNavy);
    return canvas;
  }
  if (mark != Mark::kNone) PaintMask(canvas, FillPath(width, 40, shape), Mix(kLavender, kWhite, 0.35f));
  return canvas;
}

Canvas AboutShadow() {
  const int w = 768, h = 480;
  return RenderFunction(w, h, 1, [](float x, float y) {
    // Distance inside a rounded rectangle 24 px in from every edge.
    const float r = 24.0f;
    const float dx = std::max(std::max(24.0f + r - x, x - (768.0f - 24.0f - r)), 0.0f);
    const float dy = std::max(std::max(24.0f + r - y, y - (480.0f - 24.0f - r)), 0.0f);
    const float outside = std::hypot(dx, dy) - r;  // > 0 beyond the inner shape
    const float t = std::clamp(1.0f - outside / 24.0f, 0.0f, 1.0f);
    const float a = 0.7f * t * t * (3.0f - 2.0f * t);
    return Rgb(0, 0, 0, a);
  });
}

}  // namespace

int main(int argc, char** argv) {
  const GeneratorArgs args = ParseGeneratorArgs(argc, argv);
  gFace = LoadFace(args.firstFace.c_str());
  SavePNG(QVLogo(), args.Resource("MacPC/QVLogo.png"));
  SavePNG(AboutShadow(), args.Resource("MacPC/About-Shadow.png"));
  SavePNG(TitleImage(), args.Resource("Title/Title.png"));
  SavePNG(TitleBackground(), args.Resource("Title/Background.png"));
  SavePNG(MainImage(), args.Resource("Main/Main.png"));
  SavePNG(MainNebula(), args.Resource("Main/Nebula.png"));
  SavePNG(PauseBox(), args.Resource("Pause/PauseBox.png"));
  SavePNG(PillButton(160, 40, gFace, "RESUME", 24.0f), args.Resource("Pause/Resume.png"));
  SavePNG(PillButton(160, 40, gFace, "ABORT", 24.0f), args.Resource("Pause/Abort.png"));
  SavePNG(HelpScreen(), args.Resource("Help/Help Screen.png"));
  SavePNG(MarkedPill(128, "NEXT", Mark::kNext), args.Resource("Help/Next.png"));
  SavePNG(MarkedPill(128, "PREV", Mark::kPrev), args.Resource("Help/Prev.png"));
  SavePNG(MarkedPill(128, "DONE", Mark::kNone), args.Resource("Help/Done.png"));
  SavePNG(MarkedPill(160, "E-MAIL", Mark::kEnvelope), args.Resource("Help/Email.png"));
  return 0;
}
