#include <freetype/freetype.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ImageBuff.h"
#include "ScreensTestSupport.h"
#include "TextField.h"
#include "TextRender.h"

namespace {

const char* DejaVuSans() {
#ifdef DUVUVU_DEJAVU_SANS
  return DUVUVU_DEJAVU_SANS;
#else
  return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
#endif
}

class TextFieldTest : public ControlDrawTest {
 protected:
  void SetUp() override {
    ControlDrawTest::SetUp();
    ASSERT_EQ(InitTextRenderer(), 0);
    font = OpenFontFace(DejaVuSans());
    ASSERT_NE(font, nullptr);
    mainGUI.fieldFont = font;
    AllocImageBuff(&buffer, 1024, 64);
    mainGUI.imageBuff = &buffer;
    typeSound.buffer[0] = 11;
    deleteSound.buffer[0] = 22;
    field.rect = Rect{100, 100, 124, 300};
    field.textRect = Rect{104, 104, 120, 296};
    field.typeSound = &typeSound;
    field.deleteSound = &deleteSound;
  }
  void TearDown() override {
    // Not real OpenAL buffers: nothing to delete.
    typeSound.buffer[0] = 0;
    deleteSound.buffer[0] = 0;
    mainGUI.imageBuff = nullptr;
    FreeImageBuff(&buffer);
    if (font) FT_Done_Face(font);
    ControlDrawTest::TearDown();
  }
  void Key(SInt8 character) {
    MouseState s = Mouse(0, 0, 0, 0);
    EXPECT_EQ(field.HandleInput(&s, character), &field);
  }
  void Type(const std::string& keys) {
    for (char k : keys) Key(static_cast<SInt8>(k));
  }
  size_t CaretDraws() const { return DrawsOf(&mainGUI.caretImage).size(); }

  FT_Face font = nullptr;
  ImageBuff buffer{};
  ALSound typeSound, deleteSound;
  TextFieldGL field;
};

TEST_F(TextFieldTest, TypingAndArrowsEditAtTheCaret) {
  field.Focus();
  Type("abc");
  Key(28);
  Key(28);
  Key('x');
  EXPECT_EQ(field.text, "axbc");
  EXPECT_EQ(field.caret, 2);
  EXPECT_EQ(sounds.size(), 4u);
  Key(30);
  EXPECT_EQ(field.caret, 0);
  Key(28);
  EXPECT_EQ(field.caret, 0);
  Key(31);
  EXPECT_EQ(field.caret, 4);
  Key(29);
  EXPECT_EQ(field.caret, 4);
  Key(8);
  EXPECT_EQ(field.text, "axb");
  Key(30);
  Key(127);
  EXPECT_EQ(field.text, "xb");
  EXPECT_EQ(field.caret, 0);
  ASSERT_EQ(sounds.size(), 6u);
  EXPECT_EQ(sounds[4].buffer, 22u);
  EXPECT_EQ(sounds[5].buffer, 22u);
  EXPECT_EQ(sounds[0].buffer, 11u);
  Key(static_cast<SInt8>(0xE9));  // 8-bit characters pass through
  EXPECT_EQ(field.text, std::string("\xE9xb"));
}

// The field's buffer may have given its block back between renders: the next
// render makes it again and draws the same text.
TEST_F(TextFieldTest, RenderRemakesAGivenBackBlock) {
  field.text = "abc";
  field.Render();
  const std::vector<UInt32> first(buffer.pixels, buffer.pixels + 1024 * 64);
  ASSERT_TRUE(std::any_of(first.begin(), first.end(), [](UInt32 p) { return p != 0; }));
  FreeImageBuff(&buffer);
  field.Render();
  ASSERT_NE(buffer.pixels, nullptr);
  EXPECT_EQ(buffer.width, 1024);
  EXPECT_EQ(buffer.height, 64);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), buffer.pixels));
  EXPECT_NE(field.textImage.textureName, 0u);
}

TEST_F(TextFieldTest, SoundsPlayAtTheCaretBeforeTheEdit) {
  field.Focus();
  const Rect before = field.CaretRect();
  Key('W');
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].where.h, before.left + (before.right - before.left) / 2);
  EXPECT_EQ(sounds[0].where.v, 112);
  const Rect after = field.CaretRect();
  EXPECT_GT(after.left, before.left);
  Key(8);
  EXPECT_EQ(sounds[1].where.h, after.left + (after.right - after.left) / 2);
}

TEST_F(TextFieldTest, EmptyFieldIgnoresDeletesAndIgnoredCodes) {
  field.Focus();
  for (SInt8 code : {8, 127, 1, 3, 4, 9, 11, 12, 13, 27}) {
    field.blink = 5;
    Key(code);
    EXPECT_EQ(field.text, "") << int(code);
    EXPECT_EQ(field.caret, 0) << int(code);
    EXPECT_EQ(field.blink, 0) << int(code);  // any key shows the caret at once
  }
  EXPECT_TRUE(sounds.empty());
}

TEST_F(TextFieldTest, PasteInsertsAtTheCaret) {
  field.text = "ab";
  field.Render();
  field.Focus();
  field.caret = 1;
  PasteIntoFocusedField("12");
  EXPECT_EQ(field.text, "a12b");
  EXPECT_EQ(field.caret, 3);
  focusedField = nullptr;
  PasteIntoFocusedField("zz");
  EXPECT_EQ(field.text, "a12b");
  ButtonGL button;
  focusedField = &button;  // not a field: nothing
  PasteIntoFocusedField("zz");
  EXPECT_EQ(field.text, "a12b");
}

TEST_F(TextFieldTest, LimitKeepsTypedAndPastedTextShort) {
  field.maxLength = 31;
  field.Focus();
  Type(std::string(40, 'n'));
  EXPECT_EQ(field.text.size(), 31u);
  EXPECT_EQ(field.caret, 31);
  EXPECT_EQ(sounds.size(), 31u);

  field.text = "0123456789";
  field.Focus();
  field.caret = 5;
  PasteIntoFocusedField(std::string(40, 'p').c_str());
  EXPECT_EQ(field.text, "01234" + std::string(21, 'p') + "56789");
  EXPECT_EQ(field.caret, 26);
}

TEST_F(TextFieldTest, CaretSetPastTheTextIsClamped) {
  field.text = "abc";
  field.Focus();
  field.text = "a";  // the owner shortens the text behind the caret
  Key('z');
  EXPECT_EQ(field.text, "az");
  EXPECT_EQ(field.caret, 2);
  field.caret = -4;
  Key(8);
  EXPECT_EQ(field.text, "az");
  EXPECT_EQ(field.caret, 0);
}

TEST_F(TextFieldTest, UnfocusedFieldTakesNoKeysButAPressFocusesIt) {
  Key('a');
  EXPECT_EQ(field.text, "");
  field.text = "hello";
  MouseState s = Mouse(1, 1, 110, 150);
  field.HandleInput(&s, 0);
  EXPECT_EQ(focusedField, &field);
  EXPECT_EQ(field.caret, 5);
  EXPECT_EQ(captureControl, &field);
  s = Mouse(0, 0, 110, 150);
  field.HandleInput(&s, 0);
  EXPECT_EQ(captureControl, nullptr);
  field.enabled = 0;
  EXPECT_EQ(field.HandleInput(&s, 'q'), nullptr);
  EXPECT_EQ(field.text, "hello");
}

TEST_F(TextFieldTest, CaretBlinksFourOnFiveOff) {
  field.text = "abc";
  field.Render();
  field.Focus();
  MakeImage(&mainGUI.caretImage, 1, 1);
  std::string shown;
  for (int tick = 0; tick < 10; ++tick) {
    const size_t before = CaretDraws();
    field.Draw();
    shown += CaretDraws() > before ? '1' : '0';
    field.BlinkCaret();
  }
  EXPECT_EQ(shown, "1111000001");
  focusedField = nullptr;
  field.blink = 0;
  const size_t before = CaretDraws();
  field.Draw();
  EXPECT_EQ(CaretDraws(), before);
}

TEST_F(TextFieldTest, FocusedLongTextScrollsToTheCaret) {
  field.text = std::string(60, 'W');
  field.Render();
  field.Focus();
  const Rect c = field.CaretRect();
  ASSERT_GT(c.right, field.textRect.right);
  field.Draw();
  const auto text = DrawsOf(&field.textImage);
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0].dest.left, field.textRect.left - (c.right - field.textRect.right));
  EXPECT_EQ(text[0].dest.right - text[0].dest.left, field.textImage.imageWidth);
  const auto caret = DrawsOf(&mainGUI.caretImage);
  ASSERT_EQ(caret.size(), 1u);
  EXPECT_EQ(caret[0].dest.right, field.textRect.right);

  focusedField = nullptr;
  draws.clear();
  field.Draw();
  EXPECT_EQ(DrawsOf(&field.textImage)[0].dest.left, field.textRect.left);
}

TEST_F(TextFieldTest, FrameWithoutTextureIsSkipped) {
  field.Focus();
  field.Draw();
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(DrawsOf(&mainGUI.fieldFrameImages[i]).empty());
    EXPECT_TRUE(DrawsOf(&mainGUI.fieldFocusImages[i]).empty());
  }
}

TEST_F(TextFieldTest, FrameScalesToTheRectHeight) {
  for (int i = 0; i < 3; ++i) {
    MakeImage(&mainGUI.fieldFrameImages[i], i == 1 ? 20 : 6, 12);
    MakeImage(&mainGUI.fieldFocusImages[i], i == 1 ? 20 : 6, 12);
  }
  field.highlight = 2;
  field.Focus();
  field.Draw();
  // k = 24 / 12: caps 12 wide, tiles of 40.
  const auto left = DrawsOf(&mainGUI.fieldFrameImages[0]);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_TRUE(RectIs(left[0].dest, 100, 100, 124, 112));
  const auto middle = DrawsOf(&mainGUI.fieldFrameImages[1]);
  ASSERT_EQ(middle.size(), 5u);
  EXPECT_TRUE(RectIs(middle[4].dest, 100, 272, 124, 288));
  const auto focus = DrawsOf(&mainGUI.fieldFocusImages[2]);
  ASSERT_EQ(focus.size(), 1u);
  EXPECT_TRUE(RectIs(focus[0].dest, 100, 288, 124, 300));
  EXPECT_EQ(focus[0].red, 1.0f);
  EXPECT_EQ(focus[0].green, 0.0f);  // highlighted
  field.BlinkCaret();
  field.BlinkCaret();
  EXPECT_EQ(field.highlight, 0);
}

TEST_F(TextFieldTest, RenderWithoutImageBufferIsFatal) {
  const auto result = testsupport::RunInChild([this] {
    mainGUI.imageBuff = nullptr;
    field.Render();
  });
  EXPECT_TRUE(result.exited);
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_NE(result.stderrText.find("Error: mainGUI.imageBuff is nil."), std::string::npos) << result.stderrText;
}

}  // namespace
