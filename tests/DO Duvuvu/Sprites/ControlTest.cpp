#include <string>
#include <vector>

#include "ScreensTestSupport.h"

namespace {

class TrackingTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    a.rect = Rect{10, 10, 30, 60};
    b.rect = Rect{10, 100, 30, 160};
  }
  // One step: both buttons with the same state; the clicked one's letter.
  char Step(MouseState state) {
    char result = '-';
    if (a.TrackMouse(&state, 4, 0) == &a) result = 'A';
    if (b.TrackMouse(&state, 4, 0) == &b) result = 'B';
    return result;
  }
  ButtonGL a, b;
};

struct TrackCase {
  const char* name;
  std::vector<MouseState> steps;
  const char* reported;  // per step
  const char* armedA;    // after each step
  const char* armedB;
  std::vector<SInt16> soundH;  // where each click sound played
};

TEST_F(TrackingTest, PressDragAndReleaseTable) {
  const TrackCase cases[] = {
      {"press A, drag to B, release",
       {Mouse(1, 1, 20, 20), Mouse(1, 0, 20, 120), Mouse(0, 0, 20, 120)},
       "---",
       "100",
       "000",
       {35}},
      {"press A, out and back, release",
       {Mouse(1, 1, 20, 20), Mouse(1, 0, 20, 80), Mouse(1, 0, 20, 30), Mouse(0, 0, 20, 30)},
       "---A",
       "1010",
       "0000",
       {35}},
      {"press outside, drag onto A",
       {Mouse(1, 1, 50, 80), Mouse(1, 0, 20, 20), Mouse(0, 0, 20, 20)},
       "---",
       "000",
       "000",
       {}},
      {"press on A's right edge", {Mouse(1, 1, 20, 60), Mouse(0, 0, 20, 60)}, "--", "00", "00", {}},
      {"press on A's bottom edge", {Mouse(1, 1, 30, 20), Mouse(0, 0, 30, 20)}, "--", "00", "00", {}},
      {"press on A's top-left corner", {Mouse(1, 1, 10, 10), Mouse(0, 0, 10, 10)}, "-A", "10", "00", {35}},
      {"click on B", {Mouse(1, 1, 20, 120), Mouse(0, 0, 20, 120)}, "-B", "00", "10", {130}},
      {"hold without a new press outside first", {Mouse(1, 0, 20, 20), Mouse(0, 0, 20, 20)}, "--", "00", "00", {}},
  };
  for (const TrackCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string reported, armedA, armedB;
    for (const MouseState& s : c.steps) {
      reported += Step(s);
      armedA += char('0' + a.armed);
      armedB += char('0' + b.armed);
    }
    EXPECT_EQ(reported, c.reported);
    EXPECT_EQ(armedA, c.armedA);
    EXPECT_EQ(armedB, c.armedB);
    ASSERT_EQ(sounds.size(), c.soundH.size());
    for (size_t i = 0; i < sounds.size(); ++i) {
      EXPECT_EQ(sounds[i].where.h, c.soundH[i]);
      EXPECT_EQ(sounds[i].where.v, 20);
      EXPECT_EQ(sounds[i].buffer, ALSound::GetBuffer(&mainGUI.buttonClickSound, 0));
    }
    EXPECT_EQ(captureControl, nullptr);
    EXPECT_FALSE(pressInProgress);
    sounds.clear();
  }
}

TEST_F(TrackingTest, CaptureKeepsThePressValueAndLatch) {
  MouseState s = Mouse(1, 1, 20, 20);
  a.TrackMouse(&s, 4, 0);
  EXPECT_EQ(captureControl, &a);
  EXPECT_EQ(pressControl, &a);
  EXPECT_EQ(a.pressValue, 4);
  EXPECT_EQ(a.latched, 0);

  ResetControlTrackingForTesting();
  a.armed = 0;
  s = Mouse(1, 1, 20, 20);
  a.TrackMouse(&s, 2, 1);
  EXPECT_EQ(a.latched, 1);
  s = Mouse(0, 0, 20, 20);
  EXPECT_EQ(a.TrackMouse(&s, 2, 1), nullptr);  // a latched capture outlives the release
  EXPECT_EQ(captureControl, &a);
  EXPECT_EQ(a.armed, 1);
}

TEST_F(TrackingTest, DisabledOrInvisibleControlsIgnoreTheMouse) {
  for (int hidden = 0; hidden < 2; ++hidden) {
    SCOPED_TRACE(hidden ? "invisible" : "disabled");
    ResetControlTrackingForTesting();
    a.enabled = hidden ? 1 : 0;
    a.visible = hidden ? 0 : 1;
    a.trackRect = Rect{0, 0, 0, 0};
    MouseState s = Mouse(1, 1, 20, 20);
    EXPECT_EQ(a.TrackMouse(&s, 4, 0), nullptr);
    EXPECT_EQ(a.armed, 0);
    EXPECT_EQ(captureControl, nullptr);
    EXPECT_EQ(pressControl, nullptr);
    EXPECT_EQ(a.trackRect.right, 0);  // nothing changed, not even trackRect
    s = Mouse(0, 0, 20, 20);
    EXPECT_EQ(a.TrackMouse(&s, 4, 0), nullptr);
    EXPECT_TRUE(sounds.empty());
  }
}

TEST_F(TrackingTest, PendingClickArmsThisStepAndReportsOnTheNext) {
  a.clickPending = 1;
  MouseState s = Mouse(0, 0, 200, 200);
  EXPECT_EQ(a.TrackMouse(&s, 4, 0), nullptr);
  EXPECT_EQ(a.armed, 1);
  EXPECT_EQ(a.clickPending, 0);
  // The state now reads as a press at A's centre for the controls after it.
  EXPECT_EQ(s.button, 1);
  EXPECT_EQ(s.where.v, 20);
  EXPECT_EQ(s.where.h, 35);
  EXPECT_EQ(b.TrackMouse(&s, 4, 0), nullptr);
  EXPECT_EQ(b.armed, 0);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(Step(Mouse(0, 0, 200, 200)), 'A');
  EXPECT_EQ(sounds.size(), 1u);
}

TEST_F(TrackingTest, EmptyTrackRectBecomesRect) {
  MouseState s = Mouse(0, 0, 0, 0);
  a.TrackMouse(&s, 0, 0);
  EXPECT_EQ(a.trackRect.left, 10);
  EXPECT_EQ(a.trackRect.right, 60);
  b.trackRect = Rect{0, 0, 5, 5};  // a set trackRect is kept and takes the mouse
  EXPECT_EQ(Step(Mouse(1, 1, 2, 2)), '-');
  EXPECT_EQ(b.armed, 1);
}

TEST_F(ControlTest, DefaultsAndSharedPointers) {
  ButtonGL button;
  EXPECT_EQ(button.kind, kControlButton);
  EXPECT_EQ(button.rect.top, 32);
  EXPECT_EQ(button.rect.left, 32);
  EXPECT_EQ(button.rect.bottom, 48);
  EXPECT_EQ(button.rect.right, 64);
  EXPECT_EQ(button.enabled, 1);
  EXPECT_EQ(button.visible, 1);
  EXPECT_EQ(button.maximum, 100);
  EXPECT_EQ(button.titleImage.filter, kGLLinear);
  EXPECT_EQ(button.titleImage.red, 1.0f);
  EXPECT_EQ(button.images, mainGUI.buttonImages);
  EXPECT_EQ(button.clickSound, &mainGUI.buttonClickSound);
  CheckboxGL box;
  RadioGL radio;
  SliderGL slider;
  EXPECT_EQ(box.kind, kControlCheckbox);
  EXPECT_EQ(box.images, mainGUI.checkboxImages);
  EXPECT_EQ(radio.kind, kControlRadio);
  EXPECT_EQ(radio.images, mainGUI.radioImages);
  EXPECT_EQ(slider.kind, kControlSlider);
  EXPECT_EQ(slider.images, mainGUI.sliderTrackImages);
  EXPECT_EQ(slider.thumbImage, &mainGUI.sliderThumbImage);
  EXPECT_EQ(slider.sound, &mainGUI.sliderSound);
  EXPECT_EQ(mainGUI.textScale, 1.0f);
  EXPECT_EQ(mainGUI.titleSize, 12.0f);
  EXPECT_EQ(mainGUI.labelGap, 8);
  EXPECT_EQ(mainGUI.highlightColor[0], 1.0f);
  EXPECT_EQ(mainGUI.highlightColor[1], 0.0f);
  EXPECT_EQ(mainGUI.imageBuff, nullptr);
  EXPECT_EQ(SliderGL::pressInProgress, true);
  button.ToggleValue();
  EXPECT_EQ(button.value, 1);
  button.value = 5;
  button.ToggleValue();
  EXPECT_EQ(button.value, 0);
}

TEST_F(ControlTest, ButtonWithoutClickSoundIsSilent) {
  ButtonGL button;
  button.clickSound = nullptr;
  MouseState s = Mouse(1, 1, 40, 40);
  button.TrackMouse(&s, 4, 0);
  EXPECT_EQ(button.armed, 1);
  EXPECT_TRUE(sounds.empty());
}

}  // namespace

namespace {

TEST(GUIStateTest, TearDownWithoutAGLContextIsHarmless) {
  InitGUIState();
  InitGUIState();                           // once only
  mainGUI.buttonImages[1].textureName = 7;  // a texture whose context is gone
  mainGUI.caretImage.textureName = 9;
  ExitGUIState();
  ExitGUIState();
  InitGUIState();
  EXPECT_EQ(mainGUI.buttonImages[1].textureName, 0u);
  EXPECT_EQ(mainGUI.fieldTextSize, 12.0f);
  ExitGUIState();
}

}  // namespace
