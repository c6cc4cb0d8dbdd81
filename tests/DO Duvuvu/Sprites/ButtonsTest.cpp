#include <algorithm>
#include <vector>

#include "ImageBuff.h"
#include "ScreensTestSupport.h"
#include "TextRender.h"

namespace {

// Sliders and checkboxes: tracking ---------------------------------------------------

class SliderTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    slider.rect = Rect{10, 100, 30, 200};
    slider.trackRect = slider.rect;
    slider.minimum = 0;
    slider.maximum = 8;
  }
  SliderGL slider;
};

TEST_F(SliderTest, DragFollowsTheMousePinnedAtTheEnds) {
  struct Step {
    MouseState state;
    SInt16 value;
    bool returned;
    size_t soundsSoFar;
  };
  const Step steps[] = {
      {Mouse(1, 1, 20, 150), 4, true, 1}, {Mouse(1, 0, 20, 90), 0, true, 2},  {Mouse(1, 0, 60, 250), 8, true, 3},
      {Mouse(1, 0, 20, 260), 8, true, 3}, {Mouse(0, 0, 20, 260), 8, true, 3}, {Mouse(0, 0, 20, 150), 8, false, 3},
  };
  for (const Step& s : steps) {
    MouseState state = s.state;
    SliderGL* result = slider.TrackThumb(&state);
    EXPECT_EQ(slider.value, s.value) << state.where.h;
    EXPECT_EQ(result == &slider, s.returned) << state.where.h;
    EXPECT_EQ(sounds.size(), s.soundsSoFar) << state.where.h;
  }
  for (const auto& sound : sounds) {
    EXPECT_EQ(sound.where.v, 20);
    EXPECT_EQ(sound.where.h, 150);
  }
  EXPECT_EQ(captureControl, nullptr);
  EXPECT_EQ(slider.armed, 0);
}

TEST_F(SliderTest, PressesThatDoNotBeginOnTheSliderTakeNothing) {
  // Begun outside and held outside for a step: dragging in takes nothing.
  for (MouseState s : {Mouse(1, 1, 50, 150), Mouse(1, 0, 50, 150), Mouse(1, 0, 20, 150)}) {
    EXPECT_EQ(slider.TrackThumb(&s), nullptr);
  }
  EXPECT_EQ(slider.value, 0);
  MouseState up = Mouse(0, 0, 20, 150);
  slider.TrackThumb(&up);

  // A button holding the capture keeps the slider out.
  ButtonGL button;
  button.rect = Rect{100, 100, 120, 200};
  MouseState s = Mouse(1, 1, 110, 150);
  button.TrackMouse(&s, 4, 0);
  EXPECT_EQ(slider.TrackThumb(&s), nullptr);
  s = Mouse(1, 0, 20, 150);
  EXPECT_EQ(slider.TrackThumb(&s), nullptr);
  EXPECT_EQ(slider.value, 0);

  slider.enabled = 0;
  s = Mouse(1, 1, 20, 150);
  EXPECT_EQ(slider.TrackThumb(&s), nullptr);
  EXPECT_TRUE(sounds.size() == 1u);  // the button's click only
}

TEST_F(SliderTest, HitTestUsesRectAndValueUsesTrackRect) {
  slider.trackRect = Rect{10, 120, 30, 200};
  MouseState s = Mouse(1, 1, 20, 105);  // in rect, left of trackRect
  EXPECT_EQ(slider.TrackThumb(&s), &slider);
  EXPECT_EQ(slider.value, 0);
  s = Mouse(1, 0, 20, 160);
  slider.TrackThumb(&s);
  EXPECT_EQ(slider.value, 4);
}

TEST_F(SliderTest, EmptyRectsDoNotDivideByZero) {
  slider.rect = Rect{10, 100, 30, 100};
  slider.trackRect = Rect{0, 0, 0, 0};
  slider.value = 3;
  MouseState s = Mouse(1, 1, 20, 100);
  slider.TrackThumb(&s);  // outside: an empty rect holds no point
  EXPECT_EQ(slider.value, 3);
}

TEST_F(ControlTest, CheckboxPlaysOnceAPressAndLeavesItsValue) {
  CheckboxGL box;
  box.rect = Rect{10, 10, 26, 80};
  for (MouseState s : {Mouse(1, 1, 15, 15), Mouse(1, 0, 50, 15), Mouse(1, 0, 15, 20)}) {
    EXPECT_EQ(box.TrackMouse(&s, 4, 0), nullptr);
  }
  MouseState up = Mouse(0, 0, 15, 20);
  EXPECT_EQ(box.TrackMouse(&up, 4, 0), &box);
  EXPECT_EQ(box.value, 0);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].buffer, ALSound::GetBuffer(&mainGUI.checkClickSound, 0));
  EXPECT_EQ(sounds[0].where.v, 18);
  EXPECT_EQ(sounds[0].where.h, 45);
  RadioGL radio;
  radio.rect = box.rect;
  MouseState down = Mouse(1, 1, 15, 15);
  radio.TrackMouse(&down, 4, 0);
  radio.TrackMouse(&up, 4, 0);
  EXPECT_EQ(sounds.size(), 2u);
  EXPECT_EQ(radio.value, 0);
}

// Drawing ----------------------------------------------------------------------------

class ButtonDrawTest : public ControlDrawTest {
 protected:
  void SetUp() override {
    ControlDrawTest::SetUp();
    MakeImage(&mainGUI.buttonImages[0], 10, 20);
    MakeImage(&mainGUI.buttonImages[1], 30, 20);
    MakeImage(&mainGUI.buttonImages[2], 10, 20);
    MakeImage(&label, 20, 8);
    button.rect = Rect{0, 0, 20, 100};
    button.labelImage = &label;
  }
  // The face images' draws of one pass, left to right.
  static std::vector<GLImageDrawRecord> ByLeft(std::vector<GLImageDrawRecord> pass) {
    std::stable_sort(pass.begin(), pass.end(),
                     [](const GLImageDrawRecord& x, const GLImageDrawRecord& y) { return x.dest.left < y.dest.left; });
    return pass;
  }
  ButtonGL button;
  GLImage label;
};

TEST_F(ButtonDrawTest, ShadowThenFaceWithCapsAndTiles) {
  button.Draw();
  ASSERT_EQ(draws.size(), 11u);  // 5 shadow quads, 5 face quads, the label
  const std::vector<GLImageDrawRecord> shadow = ByLeft({draws.begin(), draws.begin() + 5});
  const std::vector<GLImageDrawRecord> face = ByLeft({draws.begin() + 5, draws.begin() + 10});
  const SInt16 edges[] = {0, 10, 40, 70, 90, 100};
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(RectIs(face[i].dest, 0, edges[i], 20, edges[i + 1])) << i;
    EXPECT_TRUE(RectIs(shadow[i].dest, 3, edges[i] + 3, 23, edges[i + 1] + 3)) << i;
    EXPECT_EQ(shadow[i].alpha, 1.0f - 0.85f);
    EXPECT_EQ(shadow[i].red, 0.0f);
    EXPECT_EQ(face[i].alpha, 1.0f);
    EXPECT_EQ(face[i].red, 1.0f);
  }
  EXPECT_EQ(face[0].image, &mainGUI.buttonImages[0]);
  EXPECT_EQ(face[4].image, &mainGUI.buttonImages[2]);
  EXPECT_EQ(draws[10].image, &label);
  // Centred, one pixel high: 50 - 10, 10 - 4 - 1.
  EXPECT_TRUE(RectIs(draws[10].dest, 5, 40, 13, 60));
}

TEST_F(ButtonDrawTest, ArmedFaceAndLabelShiftOnePixelInGrey) {
  button.armed = 1;
  button.Draw();
  ASSERT_EQ(draws.size(), 11u);
  const std::vector<GLImageDrawRecord> face = ByLeft({draws.begin() + 5, draws.begin() + 10});
  EXPECT_TRUE(RectIs(face[0].dest, 1, 1, 21, 11));
  EXPECT_EQ(face[2].red, 0.75f);
  EXPECT_EQ(face[2].green, 0.75f);
  EXPECT_TRUE(RectIs(draws[10].dest, 6, 41, 14, 61));
}

TEST_F(ButtonDrawTest, DisabledDrawsOneFadedPassWithoutShadow) {
  button.enabled = 0;
  button.Draw();
  ASSERT_EQ(draws.size(), 6u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(draws[i].alpha, 0.25f);
    EXPECT_EQ(draws[i].red, 1.0f);
    EXPECT_GE(draws[i].dest.top, 0);
    EXPECT_EQ(draws[i].dest.top, 0);
  }
  EXPECT_EQ(draws[5].alpha, 0.25f);
}

TEST_F(ButtonDrawTest, WithoutTexturesOnlyTheLabelUnmoved) {
  DeleteGLImageTexture(&mainGUI.buttonImages[1]);
  button.armed = 1;
  button.Draw();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].image, &label);
  EXPECT_TRUE(RectIs(draws[0].dest, 5, 40, 13, 60));
  button.visible = 0;
  draws.clear();
  button.Draw();
  EXPECT_TRUE(draws.empty());
}

TEST_F(ButtonDrawTest, TitleImageStandsInForAMissingLabel) {
  button.labelImage = nullptr;
  button.Draw();
  EXPECT_EQ(draws.back().image, &button.titleImage);
}

TEST_F(ControlDrawTest, CheckboxFitsItsWidthAndDrawsBoxAndLabel) {
  MakeImage(&mainGUI.checkboxImages[0], 16, 16);
  MakeImage(&mainGUI.checkboxImages[1], 16, 16);
  CheckboxGL box;
  box.rect = Rect{20, 10, 36, 10};
  MakeImage(&box.titleImage, 50, 10);
  EXPECT_EQ(box.FitWidth(), 84);
  EXPECT_EQ(box.rect.right, 84);

  box.value = 1;
  box.Draw();
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[0].image, &mainGUI.checkboxImages[1]);
  EXPECT_TRUE(RectIs(draws[0].dest, 20, 10, 36, 26));
  // y0 = 20 + 8 - 5, x0 = 10 + 16.
  EXPECT_TRUE(RectIs(draws[1].dest, 25, 32, 35, 82));
  EXPECT_EQ(draws[1].alpha, 1.0f - 0.85f);
  EXPECT_EQ(draws[1].red, 0.0f);
  EXPECT_TRUE(RectIs(draws[2].dest, 23, 30, 33, 80));
  EXPECT_EQ(draws[2].red, 1.0f);
  EXPECT_EQ(draws[2].alpha, 1.0f);

  draws.clear();
  box.value = 0;
  box.armed = 1;
  box.Draw();
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[0].image, &mainGUI.checkboxImages[0]);
  EXPECT_EQ(draws[0].red, 0.75f);
  EXPECT_TRUE(RectIs(draws[2].dest, 24, 31, 34, 81));
  EXPECT_EQ(draws[2].red, 0.75f);
}

TEST_F(ControlDrawTest, SliderTrackOverlapsAndThumbSitsOnTheValue) {
  MakeImage(&mainGUI.sliderTrackImages[0], 10, 20);
  MakeImage(&mainGUI.sliderTrackImages[1], 32, 20);
  MakeImage(&mainGUI.sliderTrackImages[2], 10, 20);
  MakeImage(&mainGUI.sliderThumbImage, 12, 16);
  SliderGL slider;
  slider.rect = Rect{10, 100, 30, 200};
  slider.maximum = 8;
  slider.value = 4;
  slider.Draw();
  // Caps 100..108 and 192..200; tiles 108..138, 138..168, 168..192; shadow; thumb.
  ASSERT_EQ(draws.size(), 7u);
  EXPECT_TRUE(RectIs(draws[0].dest, 10, 100, 30, 108));
  EXPECT_TRUE(RectIs(draws[1].dest, 10, 192, 30, 200));
  EXPECT_TRUE(RectIs(draws[2].dest, 10, 108, 30, 138));
  EXPECT_TRUE(RectIs(draws[4].dest, 10, 168, 30, 192));
  EXPECT_TRUE(RectIs(slider.thumbRect, 12, 144, 28, 156));
  EXPECT_TRUE(RectIs(draws[5].dest, 14, 146, 30, 158));
  EXPECT_EQ(draws[5].alpha, 1.0f - 0.85f);
  EXPECT_TRUE(RectIs(draws[6].dest, 12, 144, 28, 156));
  EXPECT_EQ(draws[6].red, 1.0f);

  draws.clear();
  slider.enabled = 0;
  slider.Draw();
  ASSERT_EQ(draws.size(), 6u);  // no shadow
  EXPECT_EQ(draws[0].alpha, 0.33f);
  EXPECT_EQ(draws[5].alpha, 0.33f);
}

TEST_F(ControlDrawTest, SliderWithNoRangeOrNarrowMiddleStillDraws) {
  MakeImage(&mainGUI.sliderTrackImages[1], 2, 20);  // a step of 0 must not loop
  SliderGL slider;
  slider.rect = Rect{10, 100, 30, 200};
  slider.maximum = 0;
  slider.Draw();
  EXPECT_EQ(draws.size(), 5u);
}

TEST_F(ControlDrawTest, CheckboxRenderMakesTheTitleImageAndFits) {
  ASSERT_EQ(InitTextRenderer(), 0);
  FT_Face face = OpenFontFace("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  ASSERT_NE(face, nullptr);
  mainGUI.titleFont = face;
  CheckboxGL box;
  box.rect = Rect{20, 10, 40, 10};
  const char title[] = "Sound";
  box.title[0] = sizeof title - 1;
  std::copy(title, title + sizeof title - 1, box.title + 1);
  box.Render();  // no image buffer: nothing rendered
  EXPECT_EQ(box.titleImage.textureName, 0u);

  ImageBuff buffer{};
  AllocImageBuff(&buffer, 256, 64);
  mainGUI.imageBuff = &buffer;
  box.Render();
  const SInt32 width = MeasureText(title, face, 12.0f);
  EXPECT_NE(box.titleImage.textureName, 0u);
  EXPECT_EQ(box.titleImage.imageWidth, width + 3);  // pad 1 for size 12
  EXPECT_EQ(box.titleImage.imageHeight, 20);
  EXPECT_EQ(box.titleImage.forceBlend, 1);
  EXPECT_EQ(box.rect.right, 10 + 0 + 8 + width + 3);  // no box image
  // Black text: some pixel of the buffer is opaque and dark.
  bool inked = false;
  for (int i = 0; i < 256 * 20; ++i) inked = inked || (buffer.pixels[i] >> 24) > 128;
  EXPECT_TRUE(inked);
  // A block given back between renders is made again for the next one.
  const std::vector<UInt32> first(buffer.pixels, buffer.pixels + 256 * 64);
  FreeImageBuff(&buffer);
  box.Render();
  ASSERT_NE(buffer.pixels, nullptr);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), buffer.pixels));
  mainGUI.imageBuff = nullptr;
  FreeImageBuff(&buffer);
  FT_Done_Face(face);
}

}  // namespace
