#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FileSpec.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "PortText.h"
#include "PortsTestSupport.h"
#include "Strings.h"
#include "TextLayout.h"

namespace {

using portstest::ExpectFatalBox;
using portstest::Pixel16;

std::string FontBytes() { return testsupport::ReadFile(DUVUVU_DEJAVU_SANS); }

struct PString {
  Str255 s;
  explicit PString(const char* text) { CToPStr(text, s); }
  operator ConstStr255Param() const { return s; }
};

class PortText : public portstest::PortsTest {
 protected:
  void SetUp() override {
    PortsTest::SetUp();
    ExitPortTextTables();
    InitFontLibrary();
    InitPortTextTables();
    ASSERT_TRUE(testsupport::WriteFile(dir_ / "DejaVuSans.ttf", FontBytes()));
    FileSpec folder;
    ASSERT_EQ(MakeFileSpecFromPath(dir_.path().c_str(), &folder), 0);
    ASSERT_EQ(SetFontFolder(&folder), 0);
    world_ = UseNewWorld(16, Rect{0, 0, 60, 120});
  }
  void TearDown() override {
    ExitPortTextTables();
    ClearFontFolder();
    PortsTest::TearDown();
    DestroyGWorld(world_);
  }
  testsupport::TempDir dir_;
  GWorldPtr world_ = nullptr;
};

TEST_F(PortText, FontFolderEndsWithASlash) {
  const std::string folder = GetFontFolder();
  EXPECT_EQ(folder, dir_.path() + "/");
}

TEST_F(PortText, FontNumbersAreStableAndNeverReused) {
  const SInt16 dejavu = OpenFontByName(PString("DejaVuSans"));
  EXPECT_EQ(dejavu, 1);
  std::remove((dir_ / "DejaVuSans.ttf").c_str());
  EXPECT_EQ(OpenFontByName(PString("DejaVuSans")), dejavu);  // not looked up on disk again
  EXPECT_EQ(OpenFontByName(PString("Missing")), 0);
  // The extension is tried as given (without regard to case), then ".bdf".
  ASSERT_TRUE(testsupport::WriteFile(dir_ / "Upper.TTF", FontBytes()));
  ASSERT_TRUE(testsupport::WriteFile(dir_ / "Other.TTF.bdf", FontBytes()));
  EXPECT_EQ(OpenFontByName(PString("Upper.TTF")), 2);
  UInt16 number = 0;
  EXPECT_EQ(GetFontNumber(PString("Other.TTF"), &number), 3);
  EXPECT_EQ(number, 3);
}

TEST_F(PortText, NothingIsMeasuredOrDrawnWithoutAFont) {
  SetCurrentTextSize(12);
  EXPECT_EQ(MeasurePString(PString("Hello")), 0);
  FontExtents extents{1, 1, 1, 1};
  GetFontExtents(&extents);
  EXPECT_EQ(extents.ascent + extents.descent + extents.widMax + extents.leading, 0);
  MovePenTo(10, 30);
  DrawPString(PString("H"));
  for (int v = 0; v < 60; ++v)
    for (int h = 0; h < 120; ++h) ASSERT_EQ(Pixel16(world_, h, v), 0);
}

TEST_F(PortText, ExtentsFollowTheSize) {
  SetCurrentTextFont(static_cast<UInt16>(OpenFontByName(PString("DejaVuSans"))));
  SetCurrentTextSize(12);
  FontExtents small;
  GetFontExtents(&small);
  EXPECT_GT(small.ascent, 0);
  EXPECT_GT(small.descent, 0);
  EXPECT_GE(small.leading, 0);
  SetCurrentTextSize(24);
  FontExtents large;
  GetFontExtents(&large);
  EXPECT_GT(large.ascent, small.ascent);
  EXPECT_GT(large.descent, small.descent);
  EXPECT_GT(MeasurePString(PString("HH")), MeasurePString(PString("H")));
}

TEST_F(PortText, GlyphsBlendIntoThePixels) {
  // An unopened number falls back to the lowest open font.
  OpenFontByName(PString("DejaVuSans"));
  SetCurrentTextFont(99);
  SetCurrentTextSize(24);
  const Rect all{0, 0, 60, 120};
  world_->foreColor = ColorRGB{0, 0, 65535};
  FillRectForeColor(&all);
  world_->foreColor = ColorRGB{65535, 0, 0};
  MovePenTo(10, 40);
  DrawPString(PString("H"));
  Point pen;
  GetPenLocation(&pen);
  EXPECT_EQ(pen.h, 10);

  // FreeType's own rendering of the glyph at that size.
  FT_Library library;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(library, DUVUVU_DEJAVU_SANS, 0, &face), 0);
  FT_Set_Char_Size(face, 24 * 64, 0, 72, 0);
  FT_Load_Char(face, 'H', FT_LOAD_NO_BITMAP | FT_LOAD_RENDER);
  int full = 0, touched = 0;
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  for (unsigned r = 0; r < bitmap.rows; ++r)
    for (unsigned c = 0; c < bitmap.width; ++c) {
      const int coverage = bitmap.buffer[r * bitmap.pitch + c];
      full += coverage == 255;
      touched += coverage > 0;
    }
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  int red = 0, changed = 0;
  for (int v = 0; v < 60; ++v)
    for (int h = 0; h < 120; ++h) {
      const UInt16 p = Pixel16(world_, h, v);
      red += p == 0x7C00;
      changed += p != 0x001F;
    }
  EXPECT_GT(full, 0);
  EXPECT_EQ(red, full);
  EXPECT_EQ(changed, touched);
}

// Text parameters --------------------------------------------------------------------

TEST_F(PortText, ParamsPushPopAndReset) {
  SetCurrentTextFont(3);
  SetCurrentTextSize(14);
  SetCurrentTextStyle(1);
  PushTextParams();
  SetCurrentTextFont(5);
  SetCurrentTextSize(20);
  PopTextParams();
  EXPECT_EQ(GetTextParamFont(), 3);
  EXPECT_EQ(GetTextParamSize(), 14);
  EXPECT_EQ(GetTextParamStyle(), 1);
  ResetTextParams();
  EXPECT_EQ(GetTextParamStyle(), 0);
  EXPECT_EQ(GetTextParamFont(), 0);
  EXPECT_EQ(GetTextParamMode(), 1);
  EXPECT_EQ(GetTextParamSize(), 0);
}

TEST_F(PortText, ParamsStackLimits) {
  ExpectFatalBox(
      [] {
        for (int i = 0; i < 32; ++i) PushTextParams();
        std::fputs("[32 pushed]\n", stderr);
        PushTextParams();
      },
      "PushTextParams()", "Error: Text params stack is full!");
  ExpectFatalBox([] { PopTextParams(); }, "PopTextParams()", "Error: Text params stack is empty!");
}

TEST_F(PortText, LabelsAlignOnTheirPoint) {
  SetCurrentTextFont(static_cast<UInt16>(OpenFontByName(PString("DejaVuSans"))));
  SetCurrentTextSize(12);
  const SInt16 w = MeasurePString(PString("Label"));
  ASSERT_GT(w, 0);
  FontExtents e;
  GetFontExtents(&e);
  const Rect right = DrawPStringAt(PString("Label"), 100, 50, 2, -1, -1, 2, -1);
  EXPECT_EQ(right.left, 100 - (w + 4));
  EXPECT_EQ(right.right, 100);
  EXPECT_EQ(right.top, 50);
  EXPECT_EQ(right.bottom, 50 + e.ascent + e.descent + 4);
  const Rect centred = DrawPStringAt(PString("Label"), 100, 50, 1, -1, -1, 2, -1);
  EXPECT_EQ(centred.left, 100 - (w + 4) / 2);
  Point pen;
  GetPenLocation(&pen);
  EXPECT_EQ(pen.h, 100 + 2 - (w + 4) / 2);
  EXPECT_EQ(pen.v, 50 + 2 + e.ascent);
}

TEST_F(PortText, NumbersDrawAsTheirText) {
  SetCurrentTextFont(static_cast<UInt16>(OpenFontByName(PString("DejaVuSans"))));
  SetCurrentTextSize(16);
  world_->foreColor = ColorRGB{65535, 65535, 0};
  DrawNumberAt(-5, 10, 10, 0, -1, -1, 0, -1);
  std::vector<UInt16> number;
  for (int v = 0; v < 60; ++v)
    for (int h = 0; h < 120; ++h) number.push_back(Pixel16(world_, h, v));
  const Rect all{0, 0, 60, 120};
  world_->foreColor = ColorRGB{0, 0, 0};
  FillRectForeColor(&all);
  world_->foreColor = ColorRGB{65535, 65535, 0};
  DrawPStringAt(PString("-5"), 10, 10, 0, -1, -1, 0, -1);
  std::vector<UInt16> text;
  for (int v = 0; v < 60; ++v)
    for (int h = 0; h < 120; ++h) text.push_back(Pixel16(world_, h, v));
  EXPECT_EQ(number, text);
  EXPECT_NE(std::count(text.begin(), text.end(), 0), static_cast<long>(text.size()));
}

TEST_F(PortText, EveryLineHoldsOneCharacter) {
  SetCurrentTextFont(static_cast<UInt16>(OpenFontByName(PString("DejaVuSans"))));
  SetCurrentTextSize(12);
  const Rect box{0, 0, 60, 120};
  EXPECT_EQ(DrawWrappedText("abc", 3, &box, -1, 0, 0, 0, 0, -1), 3);
  EXPECT_EQ(CountLinesBefore("abc", 3, 2, 100), 2);
  EXPECT_EQ(LineStartOfIndex("abc", 3, 2, 100), 2);
  EXPECT_EQ(ColumnInLine("abc", 3, 2, 100), 0);
}

}  // namespace
