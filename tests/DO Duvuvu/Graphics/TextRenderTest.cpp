#include "TextRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ImageBuff.h"
#include "ResultCodes.h"

namespace {

constexpr int kSide = 1024;

// A cleared square buffer drawing in opaque white.
struct TextBuffer : ImageBuff {
  explicit TextBuffer(SInt16 side = kSide) : ImageBuff{} {
    AllocImageBuff(this, side, side);
    red = green = blue = alpha = 1.0f;
  }
  ~TextBuffer() { FreeImageBuff(this); }
  UInt32 At(int column, int row) const { return pixels[row * width + column]; }
  // Columns and rows holding any ink: {left, top, right, bottom} inclusive.
  std::vector<int> InkBox() const {
    std::vector<int> box = {width, height, -1, -1};
    for (int row = 0; row < height; ++row)
      for (int column = 0; column < width; ++column)
        if (At(column, row)) {
          box[0] = std::min(box[0], column);
          box[1] = std::min(box[1], row);
          box[2] = std::max(box[2], column);
          box[3] = std::max(box[3], row);
        }
    return box;
  }
};

class TextRender : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(InitTextRenderer(), 0);
    face_ = OpenFontFace(DUVUVU_DEJAVU_SANS);
  }
  static void TearDownTestSuite() {
    if (face_) FT_Done_Face(face_);
    face_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(face_, nullptr) << DUVUVU_DEJAVU_SANS; }
  static FT_Face face_;
};

FT_Face TextRender::face_ = nullptr;

TEST_F(TextRender, MeasureAndRefusals) {
  const SInt32 width = MeasureText("Hello", face_, 18.0f);
  EXPECT_GT(width, 20);
  EXPECT_LT(width, 80);
  EXPECT_EQ(MeasureText("", face_, 18.0f), 0);
  EXPECT_EQ(MeasureText("Hello", nullptr, 18.0f), kErrFailed);
  EXPECT_EQ(MeasureText("Hello", face_, 0.0f), kErrFailed);
  EXPECT_GT(MeasureText("Hello", face_, 36.0f), width);
  EXPECT_EQ(OpenFontFace("/nonexistent/font.ttf"), nullptr);

  TextBuffer buffer(8);
  ImageBuff empty{};
  EXPECT_EQ(DrawTextToImage(nullptr, "x", nullptr, 18.0f, 0, 0, 0), kErrFailed);
  EXPECT_EQ(DrawTextToImage(&empty, "x", nullptr, 18.0f, 0, 0, 0), kErrNoPixels);
  EXPECT_EQ(DrawTextToImage(&buffer, "x", nullptr, 18.0f, 0, 0, 0), kErrNoFontFace);
  EXPECT_EQ(DrawTextToImage(&buffer, "", face_, 18.0f, 0, 0, 1), 0);
  EXPECT_EQ(buffer.InkBox()[2], -1);
}

TEST_F(TextRender, WhiteTextIsPremultipliedAndWithinItsWidth) {
  TextBuffer buffer;
  const SInt32 width = MeasureText("Hello", face_, 18.0f);
  ASSERT_EQ(DrawTextToImage(&buffer, "Hello", face_, 18.0f, 100.0f, 50.0f, 0), 0);
  const std::vector<int> box = buffer.InkBox();
  ASSERT_GE(box[2], 0) << "nothing drawn";
  EXPECT_GE(box[0], 99);
  EXPECT_LE(box[2], 100 + width);
  EXPECT_LE(box[3], 50 + 5);  // "Hello" has no descender
  EXPECT_GE(box[1], 50 - 18);
  int opaque = 0;
  for (int i = 0; i < kSide * kSide; ++i) {
    const UInt32 p = buffer.pixels[i];
    const UInt32 r = p & 0xFF, g = (p >> 8) & 0xFF, b = (p >> 16) & 0xFF, a = p >> 24;
    ASSERT_TRUE(r == g && g == b && r <= a) << std::hex << p;
    opaque += a == 255;
  }
  EXPECT_GT(opaque, 0);
}

TEST_F(TextRender, AlignmentShiftsByTheMeasuredWidth) {
  const SInt32 width = MeasureText("Hello", face_, 18.0f);
  TextBuffer left, centred, right, other;
  DrawTextToImage(&left, "Hello", face_, 18.0f, 300.0f, 60.0f, 0);
  DrawTextToImage(&centred, "Hello", face_, 18.0f, 300.0f, 60.0f, 1);
  DrawTextToImage(&right, "Hello", face_, 18.0f, 300.0f, 60.0f, 2);
  DrawTextToImage(&other, "Hello", face_, 18.0f, 300.0f, 60.0f, 7);
  for (int row = 30; row < 70; ++row)
    for (int column = 200; column < 400; ++column) {
      ASSERT_EQ(centred.At(column - width / 2, row), left.At(column, row)) << column << "," << row;
      ASSERT_EQ(right.At(column - width, row), left.At(column, row)) << column << "," << row;
    }
  EXPECT_EQ(std::equal(other.pixels, other.pixels + kSide * kSide, centred.pixels), true);
}

TEST_F(TextRender, HalfAlphaCapsEveryChannel) {
  TextBuffer full, half;
  half.alpha = 0.5f;
  DrawTextToImage(&full, "HIll", face_, 18.0f, 10.0f, 40.0f, 0);
  DrawTextToImage(&half, "HIll", face_, 18.0f, 10.0f, 40.0f, 0);
  int covered = 0;
  for (int i = 0; i < kSide * kSide; ++i) {
    const UInt32 p = half.pixels[i];
    for (int shift = 0; shift < 32; shift += 8) ASSERT_LE((p >> shift) & 0xFF, 127u);
    if (full.pixels[i] >> 24 == 255) {
      ASSERT_EQ(p, 0x7F7F7F7Fu);
      ++covered;
    }
  }
  EXPECT_GT(covered, 0);
}

TEST_F(TextRender, BlendsOverWhatIsThere) {
  TextBuffer buffer(64);
  buffer.red = 0.0f;
  buffer.green = 0.0f;
  buffer.blue = 1.0f;
  FillImageBuffWhite(&buffer);
  DrawTextToImage(&buffer, "I", face_, 18.0f, 10.0f, 30.0f, 0);
  int solid = 0;
  for (int i = 0; i < 64 * 64; ++i) {
    const UInt32 p = buffer.pixels[i];
    ASSERT_EQ(p >> 24, 255u);            // opaque stays opaque
    ASSERT_EQ((p >> 16) & 0xFF, 255u);   // blue: 255 either way
    ASSERT_EQ(p & 0xFF, (p >> 8) & 0xFF);
    solid += (p & 0xFFFF) == 0;
  }
  EXPECT_GT(solid, 0);
}

TEST_F(TextRender, HighBytesDrawTheirLatin1Glyphs) {
  TextBuffer buffer(128);
  DrawTextToImage(&buffer, "\xE9", face_, 18.0f, 20.0f, 40.0f, 0);

  // U+00E9 through FreeType alone, with the same pen.
  const FT_UInt glyph = FT_Get_Char_Index(face_, 0xE9);
  ASSERT_NE(glyph, 0u) << "the test face has no e acute";
  TextBuffer expected(128);
  FT_Set_Char_Size(face_, 18 * 64, 0, 0, 0);
  FT_Matrix identity = {0x10000, 0, 0, 0x10000};
  FT_Vector pen = {20 * 64, (128 - 40) * 64};
  FT_Set_Transform(face_, &identity, &pen);
  ASSERT_EQ(FT_Load_Glyph(face_, glyph, FT_LOAD_NO_BITMAP), 0);
  ASSERT_EQ(FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL), 0);
  const FT_Bitmap& bitmap = face_->glyph->bitmap;
  ASSERT_GT(bitmap.rows, 0u);
  for (unsigned row = 0; row < bitmap.rows; ++row)
    for (unsigned column = 0; column < bitmap.width; ++column) {
      const UInt32 c = bitmap.buffer[row * bitmap.pitch + column];
      expected.pixels[(128 - face_->glyph->bitmap_top + int(row)) * 128 + face_->glyph->bitmap_left + int(column)] =
          c | (c << 8) | (c << 16) | (c << 24);
    }
  EXPECT_TRUE(std::equal(buffer.pixels, buffer.pixels + 128 * 128, expected.pixels));

  // Different high bytes are different characters, not one missing glyph.
  TextBuffer copyright(128);
  DrawTextToImage(&copyright, "\xA9", face_, 18.0f, 20.0f, 40.0f, 0);
  EXPECT_FALSE(std::equal(copyright.pixels, copyright.pixels + 128 * 128, expected.pixels));
}

TEST_F(TextRender, NothingIsWrittenOutsideTheBuffer) {
  constexpr int kSmall = 64, kGuardRows = 40;
  constexpr UInt32 kGuard = 0xDEADBEEF;
  std::vector<UInt32> block(size_t(kSmall) * (kSmall + 2 * kGuardRows), kGuard);
  ImageBuff buffer{};
  buffer.width = kSmall;
  buffer.height = kSmall;
  buffer.rowBytes = kSmall * 4;
  buffer.size = kSmall * kSmall * 4;
  buffer.pixels = block.data() + kSmall * kGuardRows;
  buffer.red = buffer.green = buffer.blue = buffer.alpha = 1.0f;
  ClearImageBuff(&buffer);

  const struct {
    float x, y;
  } placements[] = {{10, 70}, {10, 64 + 30}, {50, 30}, {-20, 30}, {10, 5}, {60, 70}, {-30, -10}};
  for (const auto& at : placements) DrawTextToImage(&buffer, "WgjQ|", face_, 24.0f, at.x, at.y, 0);
  for (int i = 0; i < kSmall * kGuardRows; ++i) {
    ASSERT_EQ(block[i], kGuard) << "above, word " << i;
    ASSERT_EQ(block[block.size() - 1 - i], kGuard) << "below, word " << i;
  }
  // Text past the right edge does not come back at the left of the next row.
  ClearImageBuff(&buffer);
  DrawTextToImage(&buffer, "WWWW", face_, 24.0f, 54.0f, 30.0f, 0);
  for (int row = 0; row < kSmall; ++row)
    for (int column = 0; column < 40; ++column) ASSERT_EQ(buffer.pixels[row * kSmall + column], 0u);
}

TEST(TextRenderBDF, BitmapGlyphIsPlacedByThePen) {
  ASSERT_EQ(InitTextRenderer(), 0);
  FT_Face face = OpenFontFace(DUVUVU_GRAPHICS_TEST_DATA "/TinyA.bdf");
  ASSERT_NE(face, nullptr);
  TextBuffer buffer(64);
  ASSERT_EQ(DrawTextToImage(&buffer, "A", face, 8.0f, 10.0f, 20.0f, 0), 0);
  const UInt8 pattern[8] = {0x18, 0x24, 0x42, 0x81, 0xFF, 0x81, 0x81, 0xC1};
  for (int row = 0; row < 64; ++row)
    for (int column = 0; column < 64; ++column) {
      bool set = false;
      if (row >= 13 && row <= 20 && column >= 10 && column <= 17)
        set = (pattern[row - 13] >> (7 - (column - 10))) & 1;
      ASSERT_EQ(buffer.At(column, row), set ? 0xFFFFFFFFu : 0u) << column << "," << row;
    }
  EXPECT_EQ(MeasureText("AA", face, 8.0f), 18);
  FT_Done_Face(face);
}

}  // namespace
