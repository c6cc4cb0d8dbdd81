#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "DisplayServices.h"
#include "FileSpec.h"
#include "GWorldPresent.h"
#include "GraphicsStartup.h"
#include "PixMapDrawing.h"
#include "PortDrawing.h"
#include "PortText.h"
#include "PortsTestSupport.h"
#include "Strings.h"
#include "SystemCalls.h"
#include "UrlAlert.h"

namespace {

using portstest::Pixel32;

// What the dialogs measure and draw with, on a 32-bit world of 120 x 60 with
// DejaVu Sans as the only open font.
class DialogServices : public portstest::PortsTest {
 protected:
  void SetUp() override {
    PortsTest::SetUp();
    ExitPortTextTables();
    InitFontLibrary();
    InitPortTextTables();
    ASSERT_TRUE(testsupport::WriteFile(dir_ / "DejaVuSans.ttf", testsupport::ReadFile(DUVUVU_DEJAVU_SANS)));
    FileSpec folder;
    ASSERT_EQ(MakeFileSpecFromPath(dir_.path().c_str(), &folder), 0);
    ASSERT_EQ(SetFontFolder(&folder), 0);
    font_ = OpenFontByName(PStr("DejaVuSans").GetPtr());
    ASSERT_GT(font_, 0);
    world_ = UseNewWorld(32, Rect{0, 0, 60, 120});
    RegisterDisplayServices(nullptr);
    InstallGraphicsDisplayServices();
  }
  void TearDown() override {
    RegisterDisplayServices(nullptr);
    ResetSystemCalls();
    ExitPortTextTables();
    ClearFontFolder();
    PortsTest::TearDown();
    DestroyGWorld(world_);
  }
  static TextParams PortParams(GWorldPtr w) { return TextParams{w->textStyle, w->textFont, w->textMode, w->textSize}; }
  static UInt32 Xrgb(UInt8 r, UInt8 g, UInt8 b) { return UInt32{r} << 16 | UInt32{g} << 8 | b; }
  UInt32 Pixel(int h, int v) const { return Pixel32(world_, h, v) & 0xFFFFFF; }

  testsupport::TempDir dir_;
  SInt16 font_ = 0;
  GWorldPtr world_ = nullptr;
};

TEST_F(DialogServices, MeasureUsesResetParamsAndGivesThePortsBack) {
  const auto measure = GetDisplayServices().measureText;
  ASSERT_NE(measure, nullptr);
  // A port far from the reset parameters.
  SetCurrentTextFont(static_cast<UInt16>(font_));
  SetCurrentTextSize(30);
  SetCurrentTextStyle(1);
  SetCurrentTextMode(3);
  const TextParams before = PortParams(world_);
  const SInt16 depth = textParamStack->top;

  const SInt16 shortText = measure(PStr("Hi").GetPtr(), 0);
  const SInt16 longText = measure(PStr("Hi there").GetPtr(), 0);
  EXPECT_GT(shortText, 0);
  EXPECT_GT(longText, shortText);
  EXPECT_EQ(measure(PStr("").GetPtr(), 0), 0);
  // The port's size and style do not leak into the measure: size 0 is the
  // system font's 12.
  SetCurrentTextSize(12);
  SetCurrentTextStyle(0);
  EXPECT_EQ(longText, MeasurePString(PStr("Hi there").GetPtr()));
  SetCurrentTextSize(30);
  SetCurrentTextStyle(1);

  struct Case {
    SInt16 style;
    SInt16 perCharacter;
  };
  for (const Case c : {Case{1, 1}, Case{2, 0}, Case{4, 0}, Case{16, 2}, Case{32, -1}, Case{64, 1}, Case{33, 0},
                       Case{36, -1}}) {
    EXPECT_EQ(measure(PStr("Hi there").GetPtr(), c.style), longText + 8 * c.perCharacter) << c.style;
  }
  EXPECT_EQ(PortParams(world_), before);
  EXPECT_EQ(textParamStack->top, depth);
}

TEST_F(DialogServices, RectsPaintFrameAndEraseLeavingTheForegroundColour) {
  const DisplayServices& s = GetDisplayServices();
  world_->backColor = ColorRGB{65535, 65535, 65535};
  world_->foreColor = ColorRGB{0, 65535, 0};
  const Rect all{0, 0, 60, 120};
  s.eraseRect(&all);
  EXPECT_EQ(Pixel(0, 0), Xrgb(255, 255, 255));

  const UInt16 red[3] = {65535, 0, 0}, blue[3] = {0, 0, 65535};
  const Rect cell{10, 20, 22, 32};
  s.paintRect(&cell, red);
  s.frameRect(&cell, blue);
  EXPECT_EQ(Pixel(20, 10), Xrgb(0, 0, 255));  // the frame's corners
  EXPECT_EQ(Pixel(31, 21), Xrgb(0, 0, 255));
  EXPECT_EQ(Pixel(21, 11), Xrgb(255, 0, 0));  // the fill inside it
  EXPECT_EQ(Pixel(32, 22), Xrgb(255, 255, 255));
  EXPECT_EQ(world_->foreColor.green, 65535);
  EXPECT_EQ(world_->foreColor.red, 0);

  s.eraseRect(&cell);
  EXPECT_EQ(Pixel(21, 11), Xrgb(255, 255, 255));
  EXPECT_EQ(Pixel(20, 10), Xrgb(255, 255, 255));
}

TEST_F(DialogServices, MainDeviceColoursComeFromTheGlobalTable) {
  const auto color = GetDisplayServices().mainDeviceColor;
  UInt16 rgb[3] = {7, 7, 7};
  ASSERT_EQ(GlobalColorTable, nullptr);
  EXPECT_FALSE(color(0, rgb));
  EXPECT_EQ(rgb[0], 7);

  // Two entries: size is entries - 1.
  std::vector<unsigned char> block(sizeof(CTable) + sizeof(ColorSpecEntry));
  auto* table = reinterpret_cast<CTable*>(block.data());
  table->size = 1;
  table->table[0] = ColorSpecEntry{0, 1, 2, 3};
  table->table[1] = ColorSpecEntry{1, 65535, 32768, 0};
  CTabPtr pointer = table;
  GlobalColorTable = &pointer;
  EXPECT_TRUE(color(1, rgb));
  EXPECT_EQ(rgb[0], 65535);
  EXPECT_EQ(rgb[1], 32768);
  EXPECT_EQ(rgb[2], 0);
  EXPECT_FALSE(color(2, rgb));
  EXPECT_FALSE(color(-1, rgb));
  EXPECT_EQ(rgb[0], 65535);
  GlobalColorTable = nullptr;

  UInt16 standard[3] = {9, 9, 9};
  GetDisplayServices().standardForeColor(standard);
  EXPECT_EQ(standard[0] | standard[1] | standard[2], 0);  // black
  GetDisplayServices().setFlushHold(1);
  EXPECT_EQ(FlushHoldFlag, 1);
  GetDisplayServices().setFlushHold(0);
  EXPECT_EQ(FlushHoldFlag, 0);
}

// What the styled-text editor takes: the port's background and fonts by name.
TEST_F(DialogServices, BackColourAndFontsByName) {
  const DisplayServices& s = GetDisplayServices();
  ASSERT_NE(s.backColor, nullptr);
  world_->backColor = ColorRGB{1, 2, 3};
  UInt16 rgb[3] = {};
  s.backColor(rgb);
  EXPECT_EQ(rgb[0] * 10000 + rgb[1] * 100 + rgb[2], 10203);
  const UInt16 white[3] = {65535, 65535, 65535};
  s.setBackColor(white);
  EXPECT_EQ(world_->backColor.red & world_->backColor.green & world_->backColor.blue, 65535);
  EXPECT_GT(s.openFontByName(PStr("DejaVuSans").GetPtr()), 0);
  EXPECT_EQ(s.openFontByName(PStr("NoSuchFont").GetPtr()), 0);
}

// The link control's draw, really drawn: blue glyphs on its erased
// bounds, nothing outside them, and black foreground afterwards.
TEST_F(DialogServices, TheLinkDrawsBlueTextInsideItsBounds) {
  SetCurrentTextSize(12);
  world_->backColor = ColorRGB{65535, 65535, 65535};
  const Rect all{0, 0, 60, 120};
  world_->foreColor = ColorRGB{65535, 0, 0};
  FillRectForeColor(&all);  // red everywhere first
  world_->foreColor = ColorRGB{0, 65535, 0};

  gSystemCalls.getControlBounds = [](ControlRef, Rect* out) {
    *out = Rect{10, 5, 34, 115};
    return out;
  };
  gSystemCalls.getControlTitle = [](ControlRef, StringPtr out) { CToPStr("HHHH", out); };
  int control = 0;
  DrawLinkControl(&control);

  int blue = 0, other = 0, redInside = 0, redOutside = 0;
  for (int v = 0; v < 60; ++v)
    for (int h = 0; h < 120; ++h) {
      const UInt32 p = Pixel(h, v);
      const bool inside = v >= 10 && v < 34 && h >= 5 && h < 115;
      if (p == Xrgb(255, 0, 0)) {
        (inside ? redInside : redOutside)++;
      } else if (p == Xrgb(0, 0, 255)) {
        ++blue;
        EXPECT_TRUE(inside && v < 26) << h << "," << v;  // above the baseline at top + 16
      } else if (p != Xrgb(255, 255, 255)) {
        ++other;  // anti-aliased edges: white blended towards blue
        EXPECT_EQ(p >> 8 & 0xFF, p >> 16 & 0xFF) << h << "," << v;
      }
    }
  EXPECT_GT(blue, 0);
  EXPECT_EQ(redInside, 0);
  EXPECT_EQ(redOutside, 120 * 60 - 110 * 24);
  EXPECT_EQ(world_->textStyle, 0);
  EXPECT_EQ(world_->foreColor.red | world_->foreColor.green | world_->foreColor.blue, 0);
}

}  // namespace
