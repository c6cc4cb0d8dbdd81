// Interface pieces: lamps, slider notch, icons, pill buttons, the status
// strip and panels, text fields and the small boxes of the dialogs.
#include <algorithm>
#include <cmath>
#include <string>

#include "Draw.h"
#include "Widgets.h"

using namespace art;

namespace {

FT_Face gFace = nullptr;

Canvas Lamp(bool lit) {
  const int s = 32;
  Canvas canvas(s, s);
  const Mask dome = FillPath(s, s, Path().AddCircle(16, 16, 11));
  if (lit) {
    Glow(canvas, dome, kMint, 2.5f, 0.9f);
    PaintMask(canvas, dome, RadialGradient({13, 13}, 13, {{0.0f, Rgb(0.85f, 1.0f, 0.95f)}, {0.45f, kMint},
                                                          {1.0f, Rgb(0.0f, 0.55f, 0.38f)}}));
  } else {
    PaintMask(canvas, Blurred(dome, 1.2f), Rgb(0, 0, 0), 0.5f);
    PaintMask(canvas, dome, RadialGradient({13, 13}, 13, {{0.0f, Rgb(0.36f, 0.32f, 0.44f)},
                                                          {1.0f, Rgb(0.10f, 0.08f, 0.16f)}}));
  }
  PaintMask(canvas, RoundRectRing(s, s, 5, 5, 27, 27, 11, 1.5f), Rgb(0.05f, 0.04f, 0.1f), 0.8f);
  const Mask shine = FillPath(s, s, Path().AddEllipse(12.5f, 11.0f, 4.5f, 2.8f, -0.6f));
  PaintMask(canvas, Blurred(shine, 0.6f), kWhite, lit ? 0.8f : 0.35f);
  return canvas;
}

Canvas VolumeNotch() {
  Canvas canvas(16, 24);
  const Mask bar = FillPath(16, 24, Path().AddRoundRect(3, 2, 13, 22, 4));
  PaintMask(canvas, bar, LinearGradient({3, 2}, {13, 22}, {{0.0f, Mix(kLavender, kWhite, 0.5f)}, {1.0f, kLavender}}));
  PaintMask(canvas, FillPath(16, 24, Path().AddRoundRect(5, 4, 8, 12, 1.5f)), kWhite, 0.5f);
  return canvas;
}

// A dark rounded square with a lavender rim, for the icon buttons.
Canvas IconSquare(int size) {
  Canvas canvas(size, size);
  const float inset = static_cast<float>(size) / 16.0f;
  GlassPanel(canvas, inset, inset, static_cast<float>(size) - inset, static_cast<float>(size) - inset,
             static_cast<float>(size) * 0.2f, 0.9f, std::max(2.0f, static_cast<float>(size) / 24.0f));
  return canvas;
}

void PaintIcon(Canvas& canvas, const Path& shape) {
  const Mask mask = FillPath(canvas.width(), canvas.height(), shape);
  GlowText(canvas, mask, SolidPaint(Mix(kLavender, kWhite, 0.4f)), kLavender, 1.5f, 0.5f);
}

Canvas PauseIcon() {
  Canvas canvas = IconSquare(64);
  PaintIcon(canvas, Path().AddRoundRect(21, 18, 28, 46, 2.5f).AddRoundRect(36, 18, 43, 46, 2.5f));
  return canvas;
}

Canvas ExitIcon() {
  Canvas canvas = IconSquare(64);
  PaintIcon(canvas, Path().AddCapsule({21, 21}, {43, 43}, 3.5f).AddCapsule({43, 21}, {21, 43}, 3.5f));
  return canvas;
}

Canvas FullScreenIcon() {
  Canvas canvas = IconSquare(56);
  Path arrows;
  // One arrow pointing to the top-left corner, turned for the other three.
  Path one;
  one.AddCapsule({22, 22}, {15, 15}, 2.0f);
  one.AddPolygon({{11, 11}, {22, 12}, {12, 22}});
  for (int k = 0; k < 4; ++k) arrows.Append(one, Affine::RotateAbout(static_cast<float>(k) * kPi / 2, 28, 28));
  PaintIcon(canvas, arrows);
  return canvas;
}

// Copies the middle column over q - 2 .. q + m + 1 so the three-slice middle
// tiles without a seam.
void EvenMiddle(Canvas& canvas) {
  const int q = canvas.width() / 4, m = canvas.width() / 2;
  const int source = canvas.width() / 2;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = q - 2; x <= q + m + 1; ++x) canvas.at(x, y) = canvas.at(source, y);
}

Canvas TextField() {
  const int w = 64, h = 52;
  Canvas canvas(w, h);
  const Mask body = FillPath(w, h, Path().AddRoundRect(1, 1, 63, 51, 12));
  PaintMask(canvas, body, LinearGradient({0, 1}, {0, 51}, {{0.0f, WithAlpha(kNavy, 0.9f)},
                                                           {1.0f, WithAlpha(Mix(kNavy, kIndigo, 0.5f), 0.85f)}}));
  PaintMask(canvas, RoundRectRing(w, h, 1, 1, 63, 51, 12, 3.0f), kLavender);
  EvenMiddle(canvas);
  return canvas;
}

Canvas FieldHilite() {
  const int w = 64, h = 52;
  Canvas canvas(w, h);
  const Mask ring = RoundRectRing(w, h, 2, 2, 62, 50, 11, 2.5f);
  const Mask inside = FillPath(w, h, Path().AddRoundRect(2, 2, 62, 50, 11));
  // Glow only outward and along the line: the inside stays clear.
  const Mask glow = Subtract(Blurred(ring, 1.8f), Subtract(inside, ring));
  PaintMask(canvas, Scaled(glow, 1.2f), kWhite);
  PaintMask(canvas, ring, kWhite);
  EvenMiddle(canvas);
  return canvas;
}

Canvas KeyBorder() {
  const int w = 16, h = 32;
  Canvas canvas(w, h);
  PaintMask(canvas, RoundRectRing(w, h, 0, 0, 16, 32, 2.0f, 2.0f), kWhite);
  EvenMiddle(canvas);
  return canvas;
}

Canvas Fade() {
  const int w = 1024, h = 52;
  Canvas canvas(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (y >= 8) BlendPixel(canvas, x, y, WithAlpha(kNavy, 0.9f), 1.0f);
      else if (y >= 5) BlendPixel(canvas, x, y, WithAlpha(kNavy, 0.9f * static_cast<float>(y - 4) / 4.0f), 1.0f);
      if (y == 6 || y == 7) BlendPixel(canvas, x, y, kLavender, 1.0f);
    }
  return canvas;
}

Canvas PressFire() {
  const int w = 256, h = 32;
  Canvas canvas(w, h);
  const Mask text = CentredTextMask(w, h, gFace, "PRESS FIRE", 24.0f, w / 2.0f, h / 2.0f);
  GlowText(canvas, text, SolidPaint(Mix(kLavender, kWhite, 0.5f)), kLavender, 2.5f, 0.8f);
  return canvas;
}

// Shown-pixel rectangles times 1.6.
struct Box {
  float left, top, right, bottom;
};
Box Scaled16(float left, float top, float right, float bottom) {
  return Box{left * 1.6f, top * 1.6f, right * 1.6f, bottom * 1.6f};
}

void Well(Canvas& canvas, Box b, Color rim) {
  const float r = (b.bottom - b.top) * 0.35f;
  const Mask body = FillPath(canvas.width(), canvas.height(), Path().AddRoundRect(b.left, b.top, b.right, b.bottom, r));
  PaintMask(canvas, body, Rgb(0.01f, 0.01f, 0.03f), 0.85f);
  PaintMask(canvas, RoundRectRing(canvas.width(), canvas.height(), b.left, b.top, b.right, b.bottom, r, 1.5f), rim,
            0.8f);
}

Canvas StatusBar(int player) {
  const int w = 410, h = 52;
  const Color colour = player == 1 ? kMint : kCyan;
  Canvas canvas(w, h);
  GlassPanel(canvas, 1, 1, w - 1, h - 1, 10, 0.8f, 2.5f, colour);
  const Box badge = Scaled16(6, 2.5f, 30, 17);
  const Mask badgeMask = FillPath(w, h, Path().AddRoundRect(badge.left, badge.top, badge.right, badge.bottom, 9));
  Glow(canvas, badgeMask, colour, 2.0f, 0.6f);
  PaintMask(canvas, badgeMask, LinearGradient({0, badge.top}, {0, badge.bottom}, {{0.0f, Mix(colour, kWhite, 0.3f)},
                                                                                  {1.0f, Shade(colour, 0.7f)}}));
  const Mask digit = CentredTextMask(w, h, gFace, player == 1 ? "1" : "2", 21.0f, (badge.left + badge.right) / 2,
                                     (badge.top + badge.bottom) / 2);
  PaintMask(canvas, digit, kNavy);
  Well(canvas, Scaled16(36, 5, 106, 18), colour);
  Well(canvas, Scaled16(150, 6, 250, 18), colour);
  Well(canvas, Scaled16(7, 19, 151, 30), colour);
  Well(canvas, Scaled16(153, 19, 250, 30), colour);
  return canvas;
}

Canvas InputScreen() {
  Canvas canvas(848, 176);
  GlassPanel(canvas, 2, 2, 846, 174, 24, 0.9f, 3.0f);
  return canvas;
}

Canvas HighScores() {
  const int w = 320, h = 48;
  Canvas canvas(w, h);
  const Mask text = CentredTextMask(w, h, gFace, "HIGH SCORES", 32.0f, w / 2.0f + 14.0f, h / 2.0f);
  const InkBox ink = InkBounds(text);
  const Color gold{1.0f, 0.82f, 0.35f, 1.0f};
  GlowText(canvas, text,
           LinearGradient({0, static_cast<float>(ink.top)}, {0, static_cast<float>(ink.bottom)},
                          {{0.0f, gold}, {1.0f, kLavender}}),
           gold, 2.5f, 0.6f);
  const Mask star = FillPath(w, h, Path().AddStar(static_cast<float>(ink.left) - 18.0f, h / 2.0f, 11, 4.5f, 5, -kPi / 2));
  GlowText(canvas, star, SolidPaint(gold), gold, 2.0f, 0.8f);
  return canvas;
}

void SavePill(const GeneratorArgs& args, const char* path, const char* label, int width) {
  SavePNG(PillButton(width, 40, gFace, label, 24.0f), args.Resource(path));
}

}  // namespace

int main(int argc, char** argv) {
  const GeneratorArgs args = ParseGeneratorArgs(argc, argv);
  gFace = LoadFace(args.firstFace.c_str());
  SavePNG(Lamp(false), args.Resource("Graphics/Interface/Radio Off.png"));
  SavePNG(Lamp(true), args.Resource("Graphics/Interface/Radio On.png"));
  SavePNG(VolumeNotch(), args.Resource("Graphics/Interface/Volume.png"));
  SavePNG(PauseIcon(), args.Resource("Graphics/Interface/Pause.png"));
  SavePNG(ExitIcon(), args.Resource("Graphics/Interface/Exit.png"));
  const char* const buttons[][2] = {{"Play", "PLAY"},   {"Help", "HELP"}, {"Sound", "SOUND"},
                                    {"Music", "MUSIC"}, {"Quit", "QUIT"}, {"Clear", "CLEAR"}};
  for (const auto& button : buttons)
    SavePill(args, (std::string("Graphics/Interface/Buttons/") + button[0] + ".png").c_str(), button[1], 160);
  SavePNG(FullScreenIcon(), args.Resource("MacPC/FullScreen.png"));
  SavePNG(Fade(), args.Resource("MacPC/Fade.png"));
  SavePNG(PressFire(), args.Resource("MacPC/PressFire.png"));
  SavePNG(StatusBar(1), args.Resource("MacPC/StatusBar 1.png"));
  SavePNG(StatusBar(2), args.Resource("MacPC/StatusBar 2.png"));
  SavePNG(TextField(), args.Resource("MacPC/Text Field.png"));
  SavePNG(FieldHilite(), args.Resource("MacPC/Field Hilite.png"));
  SavePNG(InputScreen(), args.Resource("MacPC/InputScreen.png"));
  SavePill(args, "MacPC/OK.png", "OK", 112);
  SavePill(args, "MacPC/Cancel.png", "CANCEL", 160);
  SavePNG(HighScores(), args.Resource("MacPC/HighScores.png"));
  SavePNG(KeyBorder(), args.Resource("MacPC/Key Border.png"));
  return 0;
}
