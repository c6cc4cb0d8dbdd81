#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <vector>

#include "GLImage.h"
#include "GLTestSupport.h"
#include "ImageBuff.h"

namespace {

TEST(PowersOfTwo, Tables) {
  struct Case {
    SInt32 v, next, floor, below, ceil;
  } cases[] = {
      // Below 1 no shift by a negative count happens.
      {0, 0, static_cast<SInt32>(0x80000000u), 0, static_cast<SInt32>(0x80000000u)},
      {-5, 0, static_cast<SInt32>(0x80000000u), 0, static_cast<SInt32>(0x80000000u)},
      {1, 1, 0, 1, 0},
      {2, 2, 1, 2, 1},
      {3, 4, 1, 2, 2},
      {640, 1024, 9, 512, 10},
      {1024, 1024, 10, 1024, 10},
      {0x40000001, static_cast<SInt32>(0x80000000u), 30, 0x40000000, 31},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextPowerOfTwo(c.v), c.next) << c.v;
    EXPECT_EQ(Log2Floor(c.v), c.floor) << c.v;
    EXPECT_EQ(PowerOfTwoBelow(c.v), c.below) << c.v;
    EXPECT_EQ(Log2Ceil(c.v), c.ceil) << c.v;
  }
  EXPECT_EQ(PowerOfTwoGL(0), 1);
  EXPECT_EQ(PowerOfTwoGL(31), static_cast<SInt32>(0x80000000u));
  EXPECT_EQ(PowerOfTwoGL(32), -1);
  EXPECT_EQ(PowerOfTwoGL(-3), 0);
}

TEST(GLImageRecord, DefaultsAndPlacement) {
  GLImage image;
  EXPECT_EQ(image.textureName, 0u);
  EXPECT_EQ(image.filter, kGLLinear);
  const float coords[8] = {0, 0, 1, 0, 0, 1, 1, 1};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(image.texCoords[i], coords[i]);
  EXPECT_EQ(image.red, 1.0f);
  EXPECT_EQ(image.alpha, 1.0f);
  EXPECT_EQ(image.forceBlend, 0);

  image.imageWidth = 33;
  image.imageHeight = 21;
  ImagePlacement place = {&image, {}, {}, {}, 0, Point{10, 5}, 1.5f};
  const Point pt = {100, 200};  // v, h
  MoveImageToPoint(&place, &pt);
  EXPECT_EQ(place.point1.h, 200);
  EXPECT_EQ(place.point2.v, 100);
  EXPECT_EQ(place.dest.left, 192);  // trunc(200 - 7.5)
  EXPECT_EQ(place.dest.top, 85);
  EXPECT_EQ(place.dest.right, 192 + 49);  // trunc(49.5)
  EXPECT_EQ(place.dest.bottom, 85 + 31);
}

class GLImageTest : public GLTest {
 protected:
  void TearDown() override {
    for (GLImage& image : images_) DeleteGLImageTexture(&image);
    SetGLImageDrawRecorder(nullptr, nullptr);
    GLTest::TearDown();
  }
  // An RGBA image from a per-pixel function, nearest filtered.
  template <typename F>
  void Make(GLImage* image, int width, int height, F pixel) {
    std::vector<UInt32> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = pixel(x, y);
    const Rect r = {0, 0, static_cast<SInt16>(height), static_cast<SInt16>(width)};
    MakeGLImage(image, pixels.data(), static_cast<UInt32>(width) * 4, 32, &r);
    image->filter = kGLNearest;
  }
  // Images live in the fixture so TearDown can still reach them.
  GLImage& NewImage() { return images_.emplace_back(); }
  std::deque<GLImage> images_;
};

constexpr UInt32 kWhite = 0xFFFFFFFFu;
constexpr UInt32 kRed = 0xFF0000FFu;   // bytes R, G, B, A
constexpr UInt32 kBlue = 0xFFFF0000u;

void ExpectNear(const RGBA& got, const RGBA& want, int tolerance, const char* where) {
  EXPECT_NEAR(got.r, want.r, tolerance) << where;
  EXPECT_NEAR(got.g, want.g, tolerance) << where;
  EXPECT_NEAR(got.b, want.b, tolerance) << where;
}

TEST_F(GLImageTest, TintedRotatedQuad) {
  OpenWindow(640, 480);
  GLImage& image = NewImage();
  Make(&image, 64, 64, [](int x, int) { return x < 32 ? 0xFF808080u : kWhite; });
  image.red = 2.0f;
  image.green = 1.0f;
  image.blue = 0.5f;
  image.rotation = 90.0f;
  BeginFrameGL(screen_);
  const Rect dest = {100, 100, 164, 164};
  DrawGLImageTinted(&image, &dest);
  FrameImage f = ReadBack();
  // A quarter turn clockwise puts the left half on top.
  ExpectNear(f.At(132, 110), RGBA{255, 128, 64, 0}, 2, "top");
  ExpectNear(f.At(132, 154), RGBA{255, 255, 128, 0}, 2, "bottom");
  // The tint environment is reset and texturing left on.
  GLfloat env[4];
  glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, env);
  EXPECT_EQ(env[2], 1.0f);
  GLint mode = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_EQ(mode, GL_REPLACE);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(GLImageTest, RotationAndFlips) {
  OpenWindow(640, 480);
  GLImage& image = NewImage();
  Make(&image, 64, 64, [](int x, int) { return x < 32 ? kRed : kBlue; });
  const Rect dest = {100, 100, 164, 164};

  image.rotation = 90.0f;
  BeginFrameGL(screen_);
  DrawGLImage(&image, &dest);
  FrameImage turned = ReadBack();
  ExpectNear(turned.At(132, 110), RGBA{255, 0, 0, 0}, 0, "red on top");
  ExpectNear(turned.At(132, 154), RGBA{0, 0, 255, 0}, 0, "blue below");
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

  image.rotation = 0.0f;
  image.flipHorizontally = 1;
  BeginFrameGL(screen_);
  DrawGLImage(&image, &dest);
  FrameImage flipped = ReadBack();
  ExpectNear(flipped.At(110, 132), RGBA{0, 0, 255, 0}, 0, "blue left");
  ExpectNear(flipped.At(154, 132), RGBA{255, 0, 0, 0}, 0, "red right");

  image.flipHorizontally = 0;
  image.flipVertically = 1;
  image.rotation = 90.0f;  // the flip swaps top and bottom before the turn
  float destF[4] = {100, 100, 164, 164};
  BeginFrameGL(screen_);
  DrawGLImageInRectF(&image, destF);
  FrameImage both = ReadBack();
  ExpectNear(both.At(132, 110), RGBA{255, 0, 0, 0}, 0, "vertical flip keeps columns");
}

TEST_F(GLImageTest, BlendingFollowsAlphaTintAndForceBlend) {
  OpenWindow(640, 480);
  GLImage& white = NewImage();
  Make(&white, 16, 16, [](int, int) { return kWhite; });
  white.alpha = 0.5f;
  const Rect dest = {0, 0, 16, 16};
  BeginFrameGL(screen_);
  DrawGLImage(&white, &dest);
  EXPECT_NEAR(ReadBack().Red(8, 8), 128, 1);

  // A texel of alpha 0 shows only when the quad is not blended.
  GLImage& clear = NewImage();
  Make(&clear, 16, 16, [](int, int) { return 0x00000000u; });
  white.alpha = 1.0f;
  BeginFrameGL(screen_);
  DrawGLImage(&white, &dest);
  DrawGLImage(&clear, &dest);
  EXPECT_EQ(ReadBack().Red(8, 8), 0);
  clear.forceBlend = 1;
  BeginFrameGL(screen_);
  DrawGLImage(&white, &dest);
  DrawGLImage(&clear, &dest);
  EXPECT_EQ(ReadBack().Red(8, 8), 255);
  // Alpha 1 with red 0.5 blends with (0.5, 1, 1, 1).
  white.red = 0.5f;
  BeginFrameGL(screen_);
  DrawGLImage(&white, &dest);
  FrameImage f = ReadBack();
  EXPECT_NEAR(f.Red(8, 8), 128, 1);
  EXPECT_EQ(f.At(8, 8).g, 255);
  GLfloat color[4];
  glGetFloatv(GL_CURRENT_COLOR, color);
  EXPECT_EQ(color[0], 0.5f);
  EXPECT_EQ(color[1], 1.0f);
}

TEST_F(GLImageTest, RecorderSeesEachCallAsItIsMade) {
  OpenWindow(640, 480);
  struct Seen {
    std::vector<GLImageDrawRecord> records;
  } seen;
  SetGLImageDrawRecorder([](const GLImageDrawRecord& r, void* c) { static_cast<Seen*>(c)->records.push_back(r); },
                         &seen);
  GLImage& image = NewImage();
  Make(&image, 8, 8, [](int, int) { return kWhite; });
  image.red = 0.25f;
  image.alpha = 0.75f;
  image.rotation = 30.0f;
  image.flipVertically = 1;
  BeginFrameGL(screen_);
  const Rect a = {1, 2, 3, 4};
  DrawGLImage(&image, &a);
  image.red = 1.0f;
  image.rotation = 0.0f;
  const Rect b = {10, 20, 30, 40};
  DrawGLImage(&image, &b);
  GLImage& empty = NewImage();  // no texture: still a call
  DrawGLImage(&empty, &b);
  ASSERT_EQ(seen.records.size(), 3u);
  EXPECT_EQ(seen.records[0].image, &image);
  EXPECT_EQ(seen.records[0].dest.right, 4);
  EXPECT_EQ(seen.records[0].red, 0.25f);
  EXPECT_EQ(seen.records[0].alpha, 0.75f);
  EXPECT_EQ(seen.records[0].rotation, 30.0f);
  EXPECT_EQ(seen.records[0].flipVertically, 1);
  EXPECT_EQ(seen.records[1].red, 1.0f);
  EXPECT_EQ(seen.records[1].dest.top, 10);
  EXPECT_EQ(seen.records[2].image, &empty);
}

TEST_F(GLImageTest, TintEnvironment) {
  OpenWindow(640, 480);
  SetTintEnvColor(2.0f, 1.0f, 0.5f, 1.0f);
  GLfloat env[4];
  GLfloat color[4];
  glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, env);
  glGetFloatv(GL_CURRENT_COLOR, color);
  EXPECT_EQ(env[0], 1.0f);
  EXPECT_EQ(env[1], 1.0f);
  EXPECT_EQ(env[2], 0.5f);
  EXPECT_EQ(env[3], 1.0f);
  EXPECT_EQ(color[0], 1.0f);
  EXPECT_EQ(color[1], 0.0f);
  EXPECT_EQ(color[2], 0.0f);
  EXPECT_EQ(color[3], 1.0f);
  GLint mode = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_EQ(mode, GL_BLEND);
  const float rgba[4] = {0.5f, 3.0f, 1.0f, 0.25f};
  SetTintEnvColorRGBA(rgba);
  glGetFloatv(GL_CURRENT_COLOR, color);
  EXPECT_EQ(color[1], 2.0f);
  ResetTintEnv();
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_EQ(mode, GL_REPLACE);
}

TEST_F(GLImageTest, TexturesArePowerOfTwoWithAClearedMargin) {
  OpenWindow(640, 480);
  GLImage& image = NewImage();
  Make(&image, 640, 480, [](int, int) { return kWhite; });
  EXPECT_EQ(image.textureWidth, 1024);
  EXPECT_EQ(image.textureHeight, 512);
  EXPECT_EQ(image.imageWidth, 640);
  EXPECT_FLOAT_EQ(image.texCoords[2], 0.625f);
  EXPECT_FLOAT_EQ(image.texCoords[7], 0.9375f);
  glBindTexture(GL_TEXTURE_2D, image.textureName);
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 512);
  std::vector<UInt32> texels(1024 * 512);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  EXPECT_EQ(texels[0], kWhite);
  EXPECT_EQ(texels[479 * 1024 + 639], kWhite);
  for (int y = 0; y < 480; y += 7) EXPECT_EQ(texels[y * 1024 + 640], 0u) << y;
  for (int x = 0; x <= 640; x += 5) EXPECT_EQ(texels[480 * 1024 + x], 0u) << x;
  GLint rowLength = 0;
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
  EXPECT_EQ(rowLength, 640);  // stays set

  // A very wide image clears at most 4096 texels of its margin row.
  GLImage& wide = NewImage();
  Make(&wide, 5000, 3, [](int, int) { return kWhite; });
  EXPECT_EQ(wide.textureWidth, 8192);
  EXPECT_EQ(wide.textureHeight, 4);

  // No pixels: nothing uploaded.
  UInt32 name = 0;
  const Rect r = {0, 0, 4, 4};
  const Rect none = UploadGLImageTexture(&name, nullptr, 16, 32, &r);
  EXPECT_EQ(name, 0u);
  EXPECT_EQ(none.right, 0);
}

// A 32-bit pixel map over memory the test holds.
struct PixMap32 {
  PixMap32(int width, int height, Rect bounds) : pixels(static_cast<size_t>(width) * height) {
    map.baseAddr = reinterpret_cast<Ptr>(pixels.data());
    map.rowBytes = static_cast<UInt16>(0x8000 | (width * 4));
    map.bounds = bounds;
    map.pixelDepth = 32;
    map.pixelFormat = 32;
    pointer = &map;
  }
  PixMapHandle handle() { return &pointer; }
  std::vector<UInt32> pixels;
  PixMap map = {};
  PixMap* pointer;
};

TEST_F(GLImageTest, PixMapsAreXRGBAndTheWhiteKeyCutsOut) {
  OpenWindow(640, 480);
  PixMap32 map(16, 16, Rect{0, 0, 16, 16});
  std::fill(map.pixels.begin(), map.pixels.end(), 0x00FF0000u);  // red
  GLImage& image = NewImage();
  const Rect r = {0, 0, 16, 16};
  MakeGLImageFromPixMap(&image, map.handle(), &r, nullptr, 0);
  EXPECT_EQ(image.forceBlend, 0);
  image.filter = kGLNearest;
  BeginFrameGL(screen_);
  const Rect dest = {0, 0, 16, 16};
  DrawGLImage(&image, &dest);
  ExpectNear(ReadBack().At(8, 8), RGBA{255, 0, 0, 0}, 0, "red");

  map.pixels[0] = 0x00FFFFFFu;
  map.pixels[1] = 0x00FFFFFEu;
  map.pixels[2] = 0xFFFFFFFFu;
  RemakeGLImageFromPixMap(&image, map.handle(), &r, nullptr, 1);
  EXPECT_EQ(map.pixels[0], 0u);
  EXPECT_EQ(map.pixels[1], 0xFFFFFFFEu);
  EXPECT_EQ(map.pixels[2], 0u);
  EXPECT_EQ(map.pixels[3], 0xFFFF0000u);
  EXPECT_EQ(image.forceBlend, 1);
}

TEST_F(GLImageTest, PixMapMaskAndRectsInTheMapsCoordinates) {
  OpenWindow(640, 480);
  PixMap32 map(8, 8, Rect{100, 200, 108, 208});
  for (size_t i = 0; i < map.pixels.size(); ++i) map.pixels[i] = static_cast<UInt32>(i);
  std::vector<UInt8> maskPixels(8 * 8);
  for (size_t i = 0; i < maskPixels.size(); ++i) maskPixels[i] = static_cast<UInt8>(i * 3);
  PixMap mask = {};
  mask.baseAddr = reinterpret_cast<Ptr>(maskPixels.data());
  mask.rowBytes = 0x8000 | 8;
  mask.bounds = Rect{100, 200, 108, 208};
  mask.pixelDepth = 8;
  PixMap* maskPointer = &mask;

  GLImage& image = NewImage();
  // Reaches past the map's bounds on every side: clipped to them.
  const Rect r = {98, 204, 120, 230};
  MakeGLImageFromPixMap(&image, map.handle(), &r, &maskPointer, 0);
  EXPECT_EQ(image.imageWidth, 4);
  EXPECT_EQ(image.imageHeight, 8);
  EXPECT_EQ(image.forceBlend, 1);
  EXPECT_EQ(map.pixels[3 * 8 + 5], static_cast<UInt32>(3 * 8 + 5) | (static_cast<UInt32>((3 * 8 + 5) * 3) << 24));
  EXPECT_EQ(map.pixels[3 * 8 + 2], static_cast<UInt32>(3 * 8 + 2));  // left of r: untouched

  GLImage& none = NewImage();
  const Rect outside = {0, 0, 10, 10};
  MakeGLImageFromPixMap(&none, map.handle(), &outside, nullptr, 0);
  EXPECT_EQ(none.textureName, 0u);
  MakeGLImageFromPixMap(&none, nullptr, &outside, nullptr, 0);
  EXPECT_EQ(none.textureName, 0u);
}

TEST_F(GLImageTest, SixteenBitImagesAreOpaque) {
  OpenWindow(640, 480);
  std::vector<UInt16> pixels(4 * 4, 0x7C00);  // red, bit 15 clear
  GLImage& image = NewImage();
  const Rect r = {0, 0, 4, 4};
  MakeGLImage(&image, pixels.data(), 8, 16, &r);
  image.filter = kGLNearest;
  image.forceBlend = 1;  // an alpha format would make it vanish here
  BeginFrameGL(screen_);
  const Rect dest = {0, 0, 4, 4};
  DrawGLImage(&image, &dest);
  ExpectNear(ReadBack().At(2, 2), RGBA{255, 0, 0, 0}, 0, "opaque red");
}

TEST_F(GLImageTest, DeleteWithoutAContextOnlyForgetsTheName) {
  OpenWindow(640, 480);
  GLImage& image = NewImage();
  Make(&image, 4, 4, [](int, int) { return kWhite; });
  const UInt32 name = image.textureName;
  ASSERT_NE(name, 0u);
  SetCurrentGLContext(nullptr);
  DeleteGLImageTexture(&image);
  EXPECT_EQ(image.textureName, 0u);
  ASSERT_EQ(BuildGLForWindow(window_), 1);
  EXPECT_TRUE(glIsTexture(name));
  glDeleteTextures(1, &name);
  GLImage& again = NewImage();
  Make(&again, 4, 4, [](int, int) { return kWhite; });
  const UInt32 second = again.textureName;
  DeleteGLImageTexture(&again);
  EXPECT_EQ(again.textureName, 0u);
  EXPECT_FALSE(glIsTexture(second));
}

TEST_F(GLImageTest, ImagesFromBuffersAndAFailedLoad) {
  OpenWindow(640, 480);
  ImageBuff buffer = {};
  AllocImageBuff(&buffer, 32, 32);
  ASSERT_NE(buffer.pixels, nullptr);
  buffer.pixels[0] = kRed;
  GLImage& image = NewImage();
  const Rect r = {0, 0, 10, 20};
  MakeGLImageFromBuffer(&image, &buffer, &r);
  EXPECT_EQ(image.imageWidth, 20);
  EXPECT_EQ(image.textureWidth, 32);
  EXPECT_EQ(image.textureHeight, 16);
  const UInt32 name = image.textureName;
  EXPECT_NE(LoadGLImageFromPNG(&image, &buffer, "/nonexistent/missing.png", 1, 1.0f), 0);
  EXPECT_EQ(image.textureName, name);  // untouched
  EXPECT_EQ(image.imageWidth, 20);
  FreeImageBuff(&buffer);
}

}  // namespace
