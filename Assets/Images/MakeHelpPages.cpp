// Pictures made from the game's own sprites: the four help pages and the
// about box.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Draw.h"
#include "SheetFrames.h"
#include "Widgets.h"

using namespace art;

namespace {

FT_Face gFace = nullptr;

struct Sprites {
  Sheet zadados, sprites, enemies;
  Canvas blimp, boomerang, fullScreen;

  Canvas Frame(const std::string& name) const {
    for (const Sheet* sheet : {&zadados, &sprites, &enemies})
      for (const SheetFrame& frame : sheet->frames)
        if (frame.name == name) return sheet->Crop(frame);
    GeneratorFailure("no sprite frame " + name);
  }
};

// The sprite centred on (cx, cy) at the given height.
void Place(Canvas& page, const Canvas& sprite, float cx, float cy, float height) {
  const float k = height / static_cast<float>(sprite.height());
  const int w = std::max(1, static_cast<int>(std::lround(static_cast<float>(sprite.width()) * k)));
  const int h = std::max(1, static_cast<int>(std::lround(height)));
  DrawCanvas(page, Resized(sprite, w, h), static_cast<int>(std::lround(cx - w / 2.0f)),
             static_cast<int>(std::lround(cy - h / 2.0f)));
}

void Heading(Canvas& page, const char* text) {
  const Mask word = CentredTextMask(page.width(), page.height(), gFace, text, 38.0f, page.width() / 2.0f, 30.0f);
  GlowText(page, word, SolidPaint(Mix(kLavender, kWhite, 0.4f)), kLavender, 2.5f, 0.6f);
}

// A line of text, left-aligned at x with its baseline at y, shrunk to fit.
void Line(Canvas& page, const char* text, float x, float y, float size = 26.0f, Color colour = kLavender) {
  const float fitted = FitTextSize(gFace, text, size, static_cast<float>(page.width()) - x - 12.0f);
  PaintMask(page, TextMask(page.width(), page.height(), gFace, text, fitted, x, y), colour);
}

// A key cap with a label or an arrow turned by angle (radians, 0 = up).
void KeyCap(Canvas& page, float left, float top, float width, const char* label, float arrowAngle = -1.0f) {
  const int w = page.width(), h = page.height();
  const float size = 40.0f;
  PaintMask(page, FillPath(w, h, Path().AddRoundRect(left, top, left + width, top + size, 7)),
            WithAlpha(kIndigo, 0.9f));
  PaintMask(page, RoundRectRing(w, h, left, top, left + width, top + size, 7, 2.0f), kLavender);
  const float cx = left + width / 2, cy = top + size / 2;
  if (arrowAngle >= 0.0f) {
    Path arrow;
    arrow.AddPolygon({{cx, cy - 11}, {cx + 9, cy + 1}, {cx + 3.5f, cy + 1}, {cx + 3.5f, cy + 10}, {cx - 3.5f, cy + 10},
                      {cx - 3.5f, cy + 1}, {cx - 9, cy + 1}});
    PaintMask(page, FillPath(w, h, arrow.Transformed(Affine::RotateAbout(arrowAngle, cx, cy))), kWhite);
  } else {
    PaintMask(page, CentredTextMask(w, h, gFace, label, 20.0f, cx, cy), kWhite);
  }
}

Canvas HelpControls(const Sprites& art) {
  Canvas page(832, 480);
  Heading(page, "CONTROLS");
  Place(page, art.Frame("playerShipFRAME[2]"), 52, 112, 64);
  KeyCap(page, 100, 72, 40, "", 3 * kPi / 2);
  KeyCap(page, 144, 72, 40, "", 0.0f);
  KeyCap(page, 188, 72, 40, "", kPi);
  KeyCap(page, 232, 72, 40, "", kPi / 2);
  KeyCap(page, 276, 72, 110, "SPACE");
  Line(page, "Player 1: arrows steer, space fires", 100, 146);
  Place(page, art.Frame("playerShipFRAME[7]"), 52, 212, 64);
  const char* const pad[] = {"4", "6", "8", "5"};
  for (int i = 0; i < 4; ++i) KeyCap(page, 100.0f + 44.0f * static_cast<float>(i), 172, 40, pad[i]);
  KeyCap(page, 276, 172, 64, "0");
  Line(page, "Player 2: keypad 4 6 8 5 steer, 0 fires", 100, 246);
  Line(page, "Press fire during a game to join in.", 40, 300);
  Line(page, "Escape or Return pauses the game.", 40, 344);
  Place(page, art.fullScreen, 62, 408, 44);
  Line(page, "The corner button sizes the window.", 100, 418);
  return page;
}

Canvas HelpPickups(const Sprites& art) {
  Canvas page(832, 480);
  Heading(page, "PICK-UPS");
  Place(page, art.Frame("shieldPowFRAME[0]"), 70, 120, 60);
  Line(page, "Shield: adds 4 to your shield.", 130, 130);
  Place(page, art.Frame("doublesPowFRAME[0]"), 70, 220, 60);
  Line(page, "Doubles: 18 piercing twin shots.", 130, 230);
  Place(page, art.Frame("podFRAME[0]"), 70, 320, 60);
  Line(page, "Pods: collect 12 for 10,000 points,", 130, 318);
  Line(page, "a full shield and doubles.", 130, 352);
  return page;
}

Canvas HelpEnemies(const Sprites& art) {
  Canvas page(832, 480);
  Heading(page, "POINTS AND DANGERS");
  Place(page, art.Frame("zadadoFRAME[0]"), 60, 104, 56);
  Line(page, "Meteors: 1,500 / 1,000 / 500 by size.", 110, 114);
  Place(page, art.Frame("enemyFRAME[2]"), 60, 178, 56);
  Line(page, "Enemies: 150, spinning ones 250.", 110, 188);
  Place(page, art.Frame("enemyWingFRAME[0]"), 60, 250, 44);
  Line(page, "Torn wings: 350.", 110, 260);
  Place(page, art.Frame("enemyShieldFRAME[0]"), 60, 326, 60);
  Line(page, "Shields bounce normal shots;", 110, 318);
  Line(page, "piercing shots strip them.", 110, 350);
  Place(page, art.Frame("enemyShotFRAME[0]"), 44, 420, 36);
  Place(page, art.Frame("plasmaFRAME[0]"), 78, 420, 40);
  Line(page, "Lasers cost 1 shield, plasma 2 to 3.", 110, 430);
  return page;
}

Canvas HelpBosses(const Sprites& art) {
  Canvas page(832, 480);
  Heading(page, "BOSSES");
  Place(page, art.blimp, 70, 200, 216 * 0.9f);
  Line(page, "Blimp: levels 3, 8, 13 ...", 130, 130);
  Line(page, "core hit 250", 130, 166, 24.0f, Mix(kLavender, kMint, 0.5f));
  Place(page, art.boomerang, 300, 332, 128 * 0.9f);
  Line(page, "Boomerang: levels 5, 10, 15 ...", 400, 300);
  Line(page, "core hit 350", 400, 336, 24.0f, Mix(kLavender, kMint, 0.5f));
  Line(page, "Only hits on the glowing core,", 40, 430);
  Line(page, "on the centre line, count.", 420, 430);
  return page;
}

Canvas About(const Sprites& art) {
  const int w = 768, h = 480;
  Canvas page = RenderFunction(w, h, 1, [](float x, float y) { return Mix(kNavy, kIndigo, (x * 0.2f + y) / 640.0f); });
  Rng rng(977u);
  Path stars;
  for (int i = 0; i < 160; ++i) stars.AddCircle(rng.Range(2, w - 2), rng.Range(2, h - 2), rng.Range(0.5f, 1.4f));
  PaintMask(page, FillPath(w, h, stars), Rgb(0.85f, 0.85f, 0.95f), 0.8f);
  // A plain dark band for the credit lines (shown y 84-116).
  for (int y = 130; y < 190; ++y)
    for (int x = 0; x < w; ++x) page.at(x, y) = Mix(kNavy, Rgb(0, 0, 0), 0.3f);
  const float size = FitTextSize(gFace, "KESTROVA", 96.0f, 700.0f);
  const Mask word = CentredTextMask(w, h, gFace, "KESTROVA", size, w / 2.0f, 58);
  const InkBox ink = InkBounds(word);
  const float inkTop = static_cast<float>(ink.top), inkBottom = static_cast<float>(ink.bottom);
  GlowText(page, word,
           LinearGradient({0, inkTop}, {0, inkBottom}, {{0.0f, kWhite}, {0.5f, kLavender}, {1.0f, Shade(kLavender, 0.8f)}}),
           kLavender, 4.0f, 0.7f);
  Place(page, art.blimp, 384, 300, 180);
  Place(page, art.Frame("playerShipFRAME[2]"), 250, 420, 80);
  Place(page, art.Frame("playerShipFRAME[7]"), 518, 420, 80);
  for (Color& p : page.pixels()) p.a = 1.0f;
  return page;
}

}  // namespace

int main(int argc, char** argv) {
  const GeneratorArgs args = ParseGeneratorArgs(argc, argv);
  gFace = LoadFace(args.firstFace.c_str());
  auto resource = [&](const char* name) { return args.contents + "/Resources/" + name; };
  Sprites art{ReadSheet(resource("Graphics/Zadados.png"), resource("Layouts/Zadados")),
              ReadSheet(resource("Graphics/Sprites.png"), resource("Layouts/Sprites")),
              ReadSheet(resource("Graphics/Enemies.png"), resource("Layouts/Enemies")),
              ReadPNGCanvas(resource("Graphics/Blimp.png")), ReadPNGCanvas(resource("Graphics/Boomerang.png")),
              ReadPNGCanvas(resource("MacPC/FullScreen.png"))};
  SavePNG(HelpControls(art), args.Resource("Help/Help 1.png"));
  SavePNG(HelpPickups(art), args.Resource("Help/Help 2.png"));
  SavePNG(HelpEnemies(art), args.Resource("Help/Help 3.png"));
  SavePNG(HelpBosses(art), args.Resource("Help/Help 4.png"));
  SavePNG(About(art), args.Resource("MacPC/About.png"));
  return 0;
}
