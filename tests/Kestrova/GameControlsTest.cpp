#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AudioPrefs.h"
#include "GLImage.h"
#include "GUIState.h"
#include "GameAssets.h"
#include "GameControls.h"
#include "GameSound.h"
#include "GameplayFixture.h"
#include "KVButton.h"

namespace {

// The notch image is 32 x 20 (shown at 0.75: 24 x 15); images have no
// texture, so the draw recorder sees what would reach GL.
class GameControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitGUIState();
    InitGameImages();
    InitGameSounds();
    InitGameControls(1);
    ResetControlTrackingForTesting();
    gImages->volume.imageWidth = 32;
    gImages->volume.imageHeight = 20;
    savedPrefs_ = gAudioPrefs;
    SetGLImageDrawRecorder(
        [](const GLImageDrawRecord& record, void* self) {
          static_cast<GameControlsTest*>(self)->draws.push_back(record);
        },
        this);
    SetGameSoundSink(
        [](const GameSoundRequest& request, void* self) {
          static_cast<GameControlsTest*>(self)->sounds.push_back(request);
        },
        this);
    soundButton.rect = Rect{174, 52, 198, 172};
    musicButton.rect = Rect{206, 52, 230, 172};
  }
  void TearDown() override {
    SetGameSoundSink(nullptr, nullptr);
    SetGLImageDrawRecorder(nullptr, nullptr);
    gAudioPrefs = savedPrefs_;
    InitGameControls(0);
    ExitGameSounds();
    ExitGameImages();
    ResetControlTrackingForTesting();
  }

  AudioSlider& Slider(int i) { return gAudioSliders[i]; }
  // One tracking pass with the button at h (or released), on the slider's row.
  void Mouse(int slider, UInt8 button, SInt16 h) {
    MouseState state{button, button, Point{static_cast<SInt16>(Slider(slider).rect.top + 2), h}};
    UpdateVolumeSliders(&state);
  }

  KVButton soundButton;
  KVButton musicButton;
  std::vector<GLImageDrawRecord> draws;
  std::vector<GameSoundRequest> sounds;
  AudioPrefs savedPrefs_{};
};

TEST_F(GameControlsTest, VolumesAndSliderValuesConvertBothWays) {
  const struct {
    SInt16 volume;
    SInt16 value;
  } toValue[] = {{255, 8}, {192, 6}, {0, 0}, {30, 0}, {31, 1}, {224, 7}};
  for (const auto& c : toValue) EXPECT_EQ(VolumeToSliderValue(c.volume), c.value) << c.volume;
  const struct {
    SInt16 value;
    SInt16 volume;
  } toVolume[] = {{8, 255}, {7, 224}, {6, 192}, {1, 32}, {0, 0}};
  for (const auto& c : toVolume) EXPECT_EQ(SliderValueToVolume(c.value), c.volume) << c.value;
}

TEST_F(GameControlsTest, SetupPlacesTheSlidersBesideTheButtonsAndReadsTheVolumes) {
  gAudioPrefs.soundVolume = 255;
  gAudioPrefs.musicVolume = 192;
  SetupVolumeSliders(&soundButton, &musicButton, 0.75f);
  // 8 notches of 24 x 15 at the right of the sound button, centred on each
  // button's row, one pixel up; the tracking rect one notch to the left.
  ExpectRect(Slider(0).rect, 186 - 7 - 1, 180, 186 - 7 - 1 + 15, 180 + 192);
  ExpectRect(Slider(1).rect, 218 - 7 - 1, 180, 218 - 7 - 1 + 15, 180 + 192);
  ExpectRect(Slider(0).trackRect, 178, 156, 193, 348);
  ExpectRect(Slider(1).trackRect, 210, 156, 225, 348);
  EXPECT_EQ(Slider(0).value, 8);
  EXPECT_EQ(Slider(1).value, 6);
  EXPECT_EQ(Slider(0).minimum, 0);
  EXPECT_EQ(Slider(0).maximum, 8);
}

TEST_F(GameControlsTest, DraggingTheSoundSliderStoresTheVolumeAndDinksOnlyOnAChange) {
  gAudioPrefs.soundVolume = 192;
  gAudioPrefs.musicVolume = 0;
  SetupVolumeSliders(&soundButton, &musicButton, 0.75f);
  AudioSlider& slider = Slider(0);
  // value = (h - 156) x 8 / 192: h 312 is value 6, the current one.
  Mouse(0, 1, 312);
  Mouse(0, 0, 312);
  EXPECT_EQ(slider.value, 6);
  EXPECT_EQ(gAudioPrefs.soundVolume, 192);
  EXPECT_TRUE(sounds.empty());

  // To the last notch: 8 stores 255, with one "Dink" at the slider.
  Mouse(0, 1, 360);
  EXPECT_EQ(slider.value, 8);
  EXPECT_EQ(gAudioPrefs.soundVolume, 255);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].sound, &gSounds->dink);
  EXPECT_EQ(sounds[0].point.h, (slider.rect.left + slider.rect.right) / 2);
  EXPECT_FLOAT_EQ(sounds[0].volume, 1.0f);
  // Held there and released: no more sounds.
  Mouse(0, 1, 360);
  Mouse(0, 0, 360);
  EXPECT_EQ(sounds.size(), 1u);
  EXPECT_EQ(gAudioPrefs.musicVolume, 0);
}

TEST_F(GameControlsTest, TheMusicSliderChangesTheMusicVolumeSilently) {
  gAudioPrefs.soundVolume = 100;
  gAudioPrefs.musicVolume = 255;
  SetupVolumeSliders(&soundButton, &musicButton, 0.75f);
  Mouse(1, 1, 180);  // the first notch: (180 - 156) x 8 / 192 = 1
  Mouse(1, 0, 180);
  EXPECT_EQ(Slider(1).value, 1);
  EXPECT_EQ(gAudioPrefs.musicVolume, 32);
  EXPECT_EQ(gAudioPrefs.soundVolume, 100);
  EXPECT_TRUE(sounds.empty());
}

TEST_F(GameControlsTest, ASliderDrawsEightNotchesLitBelowItsValue) {
  gAudioPrefs.soundVolume = 192;
  SetupVolumeSliders(&soundButton, &musicButton, 0.75f);
  AudioSlider& slider = Slider(0);
  mainGUI.sliderThumbImage.imageWidth = 10;
  mainGUI.sliderThumbImage.imageHeight = 6;
  DrawAudioSlider(&slider, 0.75f);
  ASSERT_EQ(draws.size(), 8u);
  for (int k = 0; k < 8; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(draws[k].image, &gImages->volume);
    ExpectRect(draws[k].dest, 178, static_cast<SInt16>(180 + 24 * k), 193, static_cast<SInt16>(204 + 24 * k));
    EXPECT_FLOAT_EQ(draws[k].red, k < 6 ? 1.0f : 0.25f);
    EXPECT_FLOAT_EQ(draws[k].blue, k < 6 ? 1.0f : 0.25f);
  }
  // The thumb is only hit-tested: centred at 6/8 of the tracking rect.
  ExpectRect(slider.thumbRect, 185 - 3, 156 + 144 - 5, 185 + 3, 156 + 144 + 5);

  // An empty tracking rect becomes the slider's.
  slider.trackRect = Rect{0, 0, 0, 0};
  DrawAudioSlider(&slider, 0.75f);
  ExpectRect(slider.trackRect, slider.rect.top, slider.rect.left, slider.rect.bottom, slider.rect.right);
  mainGUI.sliderThumbImage.imageWidth = mainGUI.sliderThumbImage.imageHeight = 0;
}

TEST_F(GameControlsTest, ShadowedImageDrawsBlackOffsetThenWhiteInPlace) {
  GLImage image;
  image.red = 0.3f;
  image.alpha = 0.2f;
  const Rect rect = {10, 20, 30, 60};
  DrawShadowedImage(&image, &rect, 2, 3, 0.6f);
  ASSERT_EQ(draws.size(), 2u);
  ExpectRect(draws[0].dest, 13, 22, 33, 62);
  EXPECT_FLOAT_EQ(draws[0].red, 0.0f);
  EXPECT_FLOAT_EQ(draws[0].green, 0.0f);
  EXPECT_FLOAT_EQ(draws[0].alpha, 0.6f);
  ExpectRect(draws[1].dest, 10, 20, 30, 60);
  EXPECT_FLOAT_EQ(draws[1].red, 1.0f);
  EXPECT_FLOAT_EQ(draws[1].alpha, 1.0f);
  EXPECT_FLOAT_EQ(image.red, 1.0f);
  EXPECT_FLOAT_EQ(image.alpha, 1.0f);
}

class RoundButtonTest : public GameControlsTest {
 protected:
  void SetUp() override {
    GameControlsTest::SetUp();
    button.rect = Rect{100, 200, 140, 240};
  }
  RoundButton button;
};

TEST_F(RoundButtonTest, TheShadowGoesFirstThenTheFaceSunkByThePress) {
  const struct {
    UInt8 armed;
    UInt8 depth;
    float factor;
    SInt16 offset;
    float shade;
  } cases[] = {
      {0, 0, 1.0f, 0, 1.0f}, {1, 0, 1.0f, 0, 1.0f}, {1, 4, 1.0f, 4, 0.6f}, {0, 3, 0.75f, 2, 0.7f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "armed " << int(c.armed) << " depth " << int(c.depth));
    draws.clear();
    button.armed = c.armed;
    button.pressValue = c.depth;
    button.pressFactor = c.factor;
    button.Draw();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].image, &button.shadow);
    ExpectRect(draws[0].dest, 108, 208, 148, 248);
    EXPECT_EQ(draws[1].image, &button.face);
    ExpectRect(draws[1].dest, static_cast<SInt16>(100 + c.offset), static_cast<SInt16>(200 + c.offset),
               static_cast<SInt16>(140 + c.offset), static_cast<SInt16>(240 + c.offset));
    EXPECT_FLOAT_EQ(draws[1].red, c.shade);
    EXPECT_FLOAT_EQ(draws[1].alpha, 1.0f);
  }
}

TEST_F(RoundButtonTest, AnAlternativeImageReplacesTheFaceAndDisabledIsAQuarterAlpha) {
  GLImage alternative;
  button.labelImage = &alternative;
  button.enabled = 0;
  button.Draw();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].image, &button.shadow);
  EXPECT_EQ(draws[1].image, &alternative);
  EXPECT_FLOAT_EQ(draws[1].alpha, 0.25f);
  ExpectRect(draws[1].dest, 100, 200, 140, 240);

  draws.clear();
  button.visible = 0;
  button.Draw();
  EXPECT_TRUE(draws.empty());
}

}  // namespace
