// The drawing kit's cheap paths (lettering and blurs kept to the part that can
// be inked, recycled pixel buffers, path rows scanning only their edges) give
// exactly what the whole-canvas ways give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Draw.h"
#include "ImageBuff.h"
#include "TextRender.h"

namespace {

using namespace art;

bool SameBits(const Mask& a, const Mask& b) {
  return a.width() == b.width() && a.height() == b.height() &&
         std::memcmp(a.values().data(), b.values().data(), a.values().size() * sizeof(float)) == 0;
}

bool SameBits(const Canvas& a, const Canvas& b) {
  return a.width() == b.width() && a.height() == b.height() &&
         std::memcmp(a.pixels().data(), b.pixels().data(), a.pixels().size() * sizeof(Color)) == 0;
}

// Lettering the plain way: the engine draws into a buffer of the whole map.
Mask WholeMapText(int width, int height, FT_Face face, const char* text, float size, float x, float y,
                  UInt8 alignment) {
  ImageBuff buffer{};
  AllocImageBuff(&buffer, static_cast<SInt16>(width), static_cast<SInt16>(height));
  buffer.red = buffer.green = buffer.blue = buffer.alpha = 1.0f;
  DrawTextToImage(&buffer, text, face, size, x, y, alignment);
  Mask mask(width, height);
  for (size_t i = 0; i < mask.values().size(); ++i)
    mask.values()[i] = static_cast<float>(buffer.pixels[i] >> 24) / 255.0f;
  FreeImageBuff(&buffer);
  return mask;
}

TEST(DrawKitText, PatchesMatchWholeMapLettering) {
  FT_Face face = LoadFace(DUVUVU_FONT_FIRST_FACE);
  constexpr int kWidth = 160, kHeight = 48;
  struct Case {
    const char* text;
    float size, x, y;
    Align align;
  };
  const Case cases[] = {
      {"Wg|y Q", 15.0f, 20.0f, 30.0f, Align::kLeft},
      {"RIGHT", 20.0f, 158.0f, 40.0f, Align::kRight},
      {"centre", 24.0f, 80.0f, 24.0f, Align::kCentre},
      {"cut left", 18.0f, -30.0f, 30.0f, Align::kLeft},  // partly off each edge
      {"cut right", 18.0f, 120.0f, 30.0f, Align::kLeft},
      {"Top", 30.0f, 10.0f, 8.0f, Align::kLeft},
      {"gyp", 30.0f, 10.0f, 52.0f, Align::kLeft},
      {"nowhere", 15.0f, 400.0f, 30.0f, Align::kLeft},  // wholly outside
      {"far up", 15.0f, 10.0f, -200.0f, Align::kLeft},
      {"half pixel", 15.0f, 10.5f, 30.25f, Align::kLeft},  // a fractional pen
      {"big", 90.0f, 5.0f, 44.0f, Align::kLeft},           // taller than the map
      {"", 15.0f, 10.0f, 30.0f, Align::kLeft},
  };
  for (const Case& c : cases) {
    const UInt8 alignment = c.align == Align::kLeft ? 0 : (c.align == Align::kRight ? 2 : 1);
    const Mask expected = WholeMapText(kWidth, kHeight, face, c.text, c.size, c.x, c.y, alignment);
    EXPECT_TRUE(SameBits(TextMask(kWidth, kHeight, face, c.text, c.size, c.x, c.y, c.align), expected)) << c.text;
    // Painting the patch where it sits is painting the whole map.
    const MaskPatch patch = TextPatch(kWidth, kHeight, face, c.text, c.size, c.x, c.y, c.align);
    EXPECT_GE(patch.left, 0) << c.text;
    EXPECT_GE(patch.top, 0) << c.text;
    EXPECT_LE(patch.left + patch.mask.width(), kWidth) << c.text;
    EXPECT_LE(patch.top + patch.mask.height(), kHeight) << c.text;
    Canvas byPatch(kWidth, kHeight), byMap(kWidth, kHeight);
    FillCanvas(byPatch, Rgb(0.2f, 0.3f, 0.4f, 0.5f));
    FillCanvas(byMap, Rgb(0.2f, 0.3f, 0.4f, 0.5f));
    PaintMask(byPatch, patch, Rgb(1.0f, 0.9f, 0.1f), 0.8f);
    PaintMask(byMap, expected, Rgb(1.0f, 0.9f, 0.1f), 0.8f);
    EXPECT_TRUE(SameBits(byPatch, byMap)) << c.text;
  }
}

// The separable blur over the whole map, as it was first written.
Mask WholeMapBlur(const Mask& a, float sigma) {
  const std::vector<float> kernel = BlurKernel(sigma);
  const int radius = static_cast<int>(kernel.size() / 2);
  const int width = a.width(), height = a.height();
  Mask across(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      float v = 0.0f;
      const int lo = std::max(-radius, -x), hi = std::min(radius, width - 1 - x);
      for (int i = lo; i <= hi; ++i) v += kernel[static_cast<size_t>(i + radius)] * a.at(x + i, y);
      across.at(x, y) = v;
    }
  Mask out(width, height);
  for (int y = 0; y < height; ++y) {
    const int lo = std::max(-radius, -y), hi = std::min(radius, height - 1 - y);
    for (int x = 0; x < width; ++x) {
      float v = 0.0f;
      for (int i = lo; i <= hi; ++i) v += kernel[static_cast<size_t>(i + radius)] * across.at(x, y + i);
      out.at(x, y) = std::min(1.0f, v);
    }
  }
  return out;
}

TEST(DrawKitBlur, MatchesTheWholeMapBlurAndGlow) {
  constexpr int kWidth = 70, kHeight = 50;
  std::vector<Mask> masks;
  Mask dot(kWidth, kHeight);
  dot.at(35, 25) = 1.0f;
  masks.push_back(dot);
  Mask corners(kWidth, kHeight);  // ink on every border
  corners.at(0, 0) = 0.7f;
  corners.at(kWidth - 1, kHeight - 1) = 1.0f;
  corners.at(kWidth - 1, 3) = 0.25f;
  masks.push_back(corners);
  masks.push_back(FillPath(kWidth, kHeight, Path().AddStar(30.3f, 20.7f, 14.0f, 6.0f, 5, 0.3f)));
  Mask signedZero(kWidth, kHeight, -0.0f);  // -0 is no ink
  signedZero.at(10, 40) = 0.5f;
  masks.push_back(signedZero);
  masks.push_back(Mask(kWidth, kHeight));
  for (size_t m = 0; m < masks.size(); ++m)
    for (float sigma : {0.4f, 2.0f, 5.5f, 30.0f}) {  // 30: the radius outgrows the map
      EXPECT_TRUE(SameBits(Blurred(masks[m], sigma), WholeMapBlur(masks[m], sigma))) << m << " " << sigma;
      for (float strength : {0.6f, 3.0f}) {
        Canvas glow(kWidth, kHeight), plain(kWidth, kHeight);
        FillCanvas(glow, Rgb(0.1f, 0.1f, 0.2f));
        FillCanvas(plain, Rgb(0.1f, 0.1f, 0.2f));
        Glow(glow, masks[m], Rgb(0.3f, 1.0f, 0.6f, 0.9f), sigma, strength);
        PaintMask(plain, Scaled(WholeMapBlur(masks[m], sigma), strength), Rgb(0.3f, 1.0f, 0.6f, 0.9f));
        EXPECT_TRUE(SameBits(glow, plain)) << m << " " << sigma << " " << strength;
      }
    }
}

TEST(DrawKitBuffers, RecycledMemoryStartsAsAFreshMapOrCanvas) {
  constexpr int kWidth = 300, kHeight = 200;  // past the size that gets recycled
  for (int round = 0; round < 3; ++round) {
    {
      Mask dirty(kWidth, kHeight, 0.75f);
      Canvas dirtyCanvas(kWidth, kHeight);
      FillCanvas(dirtyCanvas, Rgb(1.0f, 0.5f, 0.25f));
    }
    const Mask blank(kWidth, kHeight);
    EXPECT_TRUE(std::all_of(blank.values().begin(), blank.values().end(),
                            [](float v) { return v == 0.0f && !std::signbit(v); }));
    const Mask half(kWidth, kHeight, 0.5f);
    EXPECT_TRUE(std::all_of(half.values().begin(), half.values().end(), [](float v) { return v == 0.5f; }));
    const Canvas clear(kWidth, kHeight);
    EXPECT_TRUE(std::all_of(clear.pixels().begin(), clear.pixels().end(),
                            [](const Color& c) { return c.r == 0.0f && c.g == 0.0f && c.b == 0.0f && c.a == 0.0f; }));
  }
  // Copies and moves keep their pixels; the moved-to map drops its own.
  Mask source(kWidth, kHeight);
  source.at(7, 9) = 0.3f;
  const Mask copy = source;
  EXPECT_TRUE(SameBits(copy, source));
  Mask target(10, 10, 1.0f);
  target = std::move(source);
  EXPECT_EQ(target.width(), kWidth);
  EXPECT_EQ(target.at(7, 9), 0.3f);
  Canvas picture(kWidth, kHeight);
  picture.at(1, 2) = Color{0.1f, 0.2f, 0.3f, 0.4f};
  const Canvas pictureCopy = picture;
  EXPECT_TRUE(SameBits(pictureCopy, picture));
  Canvas moved;
  moved = std::move(picture);
  EXPECT_TRUE(SameBits(moved, pictureCopy));
}

TEST(DrawKitPaths, RectangleCoverageIsExactAndClipped) {
  // Sixteen sample rows a pixel: a half-pixel edge covers exactly half.
  const Mask rect = FillPath(6, 6, Path().AddRect(1.25f, 2.0f, 3.75f, 4.5f));
  const float expected[6][6] = {{0, 0, 0, 0, 0, 0},
                                {0, 0, 0, 0, 0, 0},
                                {0, 0.75f, 1, 0.75f, 0, 0},
                                {0, 0.75f, 1, 0.75f, 0, 0},
                                {0, 0.375f, 0.5f, 0.375f, 0, 0},
                                {0, 0, 0, 0, 0, 0}};
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(rect.at(x, y), expected[y][x]) << x << "," << y;
  // Shapes reaching past the map, or wholly above or below it.
  const Mask tall = FillPath(4, 4, Path().AddRect(-2.0f, -5.0f, 2.0f, 1.5f).AddRect(0, 9.0f, 4.0f, 12.0f));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(tall.at(x, y), x < 2 ? (y == 0 ? 1.0f : (y == 1 ? 0.5f : 0.0f)) : 0.0f) << x << "," << y;
}

}  // namespace
