// The logo and title screens under the headless driver: their fades, holds,
// skips and the hand-over to the main screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>

#include "GLFrame.h"
#include "GameDriver.h"
#include "MainLoop.h"
#include "MainScreen.h"
#include "QVLogoScreen.h"
#include "ScreenList.h"
#include "TitleScreen.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kSpaceKey = 49;

StepInput KeyDown(UInt8 key) {
  StepInput input;
  input.keyDowns = {key};
  return input;
}

StepInput Held(UInt8 key) {
  StepInput input;
  input.held = {key};
  return input;
}

class LogoTitleTest : public ::testing::Test {
 protected:
  void SetUp() override { driver_ = std::make_unique<GameDriver>(12345); }
  GameDriver& driver() { return *driver_; }

  // Opening a music player waits on the tick count: let the clock move.
  void OpenTitle() {
    driver().clock().stepPerRead = 100000;
    TitleScreen::Open(gTitleScreen.Pointer());
    driver().clock().stepPerRead = 0;
    ResetFrameTimer();
  }

  // Steps until the screen is current; the number of steps, or -1 past the limit.
  int StepsUntilCurrent(ScreenGL* screen, int limit, const StepInput& input = {}) {
    for (int n = 1; n <= limit; ++n) {
      driver().step(input);
      if (currentScreen == screen) return n;
    }
    return -1;
  }
  // Steps while the brightness keeps changing in one direction; the count.
  int StepsUntilBrightness(SInt16 target, int limit, const StepInput& input = {}) {
    for (int n = 1; n <= limit; ++n) {
      driver().step(input);
      if (GetFadeBrightness() == target) return n;
    }
    return -1;
  }

  std::unique_ptr<GameDriver> driver_;
};

TEST_F(LogoTitleTest, TheLogoFadesInHoldsFadesOutThenOpensTheTitle) {
  QVLogoScreen::Open(gQVLogoScreen.Pointer());
  EXPECT_EQ(currentScreen, gQVLogoScreen.Pointer());
  EXPECT_EQ(GetFadeBrightness(), 0);
  EXPECT_NE(InMenuMode(), 0);

  EXPECT_EQ(StepsUntilBrightness(255, 200), 128);
  int held = 0;
  while (GetFadeBrightness() == 255 && held < 400) {
    driver().step();
    ++held;
  }
  const int fadeIn = 128;
  // The hold counts its 100 ticks from Open, through the fade-in.
  EXPECT_GE(fadeIn + held, 298);
  EXPECT_LE(fadeIn + held, 301);
  EXPECT_EQ(gQVLogoScreen->skipped, 0);

  const int fadeOut = StepsUntilBrightness(0, 200) + 1;  // the step that saw the change
  EXPECT_EQ(fadeOut, 128);
  const int toTitle = StepsUntilCurrent(gTitleScreen.Pointer(), 3);
  ASSERT_GT(toTitle, 0);
  const int total = fadeIn + held + fadeOut - 1 + toTitle;
  EXPECT_GE(total, 426);
  EXPECT_LE(total, 429);
  EXPECT_EQ(gQVLogoScreen->active, 0);
  // Shown once per run: its texture goes with it.
  EXPECT_EQ(gQVLogoScreen->logo.textureName, 0u);
  EXPECT_NE(driver().trace().back().find("screen=TitleScreen"), std::string::npos) << driver().trace().back();
}

TEST_F(LogoTitleTest, AKeyDownLeavesWithAFastFade) {
  QVLogoScreen::Open(gQVLogoScreen.Pointer());
  driver().steps(149);
  ASSERT_EQ(GetFadeBrightness(), 255);
  driver().step(KeyDown(kSpaceKey));
  EXPECT_EQ(gQVLogoScreen->skipped, 1);
  EXPECT_EQ(GetFadeBrightness(), 250);
  EXPECT_EQ(StepsUntilBrightness(0, 100), 50);  // 51 steps with the key's own
  EXPECT_EQ(StepsUntilCurrent(gTitleScreen.Pointer(), 2), 1);
}

TEST_F(LogoTitleTest, AClickDuringTheFadeInTurnsItAtOnce) {
  QVLogoScreen::Open(gQVLogoScreen.Pointer());
  driver().steps(20);
  ASSERT_EQ(GetFadeBrightness(), 40);
  StepInput click;
  click.clicks = {Point{240, 320}};
  driver().step(click);
  EXPECT_EQ(GetFadeBrightness(), 35);
  driver().step();
  EXPECT_EQ(GetFadeBrightness(), 30);
}

TEST_F(LogoTitleTest, TheTitleFadesInAndAHeldKeyEndsItWithTheMusicFollowing) {
  OpenTitle();
  TitleScreen& title = *gTitleScreen;
  EXPECT_EQ(currentScreen, &title);
  EXPECT_EQ(StepsUntilBrightness(255, 100), 51);

  driver().step(Held(kSpaceKey));
  EXPECT_EQ(title.leaving, 1);
  EXPECT_EQ(title.fast, 1);
  EXPECT_EQ(GetFadeBrightness(), 250);
  EXPECT_EQ(title.music.streamPlayer.ownerVolume, 250);
  int steps = 1;
  while (GetFadeBrightness() > 0 && steps < 100) {
    driver().step();
    ++steps;
    EXPECT_EQ(title.music.streamPlayer.ownerVolume, GetFadeBrightness());
  }
  EXPECT_EQ(steps, 51);
  EXPECT_EQ(StepsUntilCurrent(gMainScreen.Pointer(), 2), 1);
  EXPECT_EQ(title.active, 0);
  EXPECT_EQ(title.title.textureName, 0u);
  EXPECT_EQ(title.background.textureName, 0u);
}

TEST_F(LogoTitleTest, TheTitleLeavesSlowlyAfterItsHold) {
  OpenTitle();
  TitleScreen& title = *gTitleScreen;
  const float left = title.backgroundRect[1];
  int steps = 0;
  while (!title.leaving && steps < 700) {
    driver().step();
    ++steps;
  }
  // 200 ticks of three steps, and the tick that finds the hold spent.
  EXPECT_GE(steps, 600);
  EXPECT_LE(steps, 603);
  EXPECT_EQ(title.fast, 0);
  EXPECT_EQ(GetFadeBrightness(), 253);
  EXPECT_NEAR(title.backgroundRect[1], left - 0.33f * steps, 0.05f);
  EXPECT_EQ(StepsUntilCurrent(gMainScreen.Pointer(), 200), 128);
}

TEST_F(LogoTitleTest, AKeyHeldFromTheLogoEndsTheTitleAtOnce) {
  QVLogoScreen::Open(gQVLogoScreen.Pointer());
  driver().steps(10);
  StepInput press = KeyDown(kSpaceKey);
  press.held = {kSpaceKey};
  driver().step(press);
  ASSERT_GT(StepsUntilCurrent(gTitleScreen.Pointer(), 80, Held(kSpaceKey)), 0);
  EXPECT_EQ(StepsUntilCurrent(gMainScreen.Pointer(), 2, Held(kSpaceKey)), 1);
}

// How many distinct colours the picture holds, up to a small limit.
int DistinctColours(const gametest::FramePicture& picture) {
  std::set<uint32_t> colours;
  for (size_t i = 0; i + 3 < picture.rgba.size() && colours.size() < 16; i += 4 * 97)
    colours.insert(picture.rgba[i] | picture.rgba[i + 1] << 8 | picture.rgba[i + 2] << 16);
  return static_cast<int>(colours.size());
}

TEST_F(LogoTitleTest, TheLogoAndTheTitleReachThePicture) {
  QVLogoScreen::Open(gQVLogoScreen.Pointer());
  driver().steps(130);
  const gametest::FramePicture logo = driver().frame();
  ASSERT_FALSE(logo.rgba.empty());
  EXPECT_GT(DistinctColours(logo), 2);

  gQVLogoScreen->Hide();
  OpenTitle();
  driver().steps(60);
  const gametest::FramePicture title = driver().frame();
  EXPECT_GT(DistinctColours(title), 2);
  EXPECT_NE(logo.rgba, title.rgba);
}

TEST_F(LogoTitleTest, StarsKeepTheirLayerAndReEnterOnTheRight) {
  OpenTitle();
  for (int i = 0; i < kTitleStarCount; ++i) {
    const TitleStar& star = TitleStars[i];
    ASSERT_FLOAT_EQ(star.speed, (i / 128 + 1) * 0.33334f) << i;
    ASSERT_GE(star.x, 0);
    ASSERT_LT(star.x, 640);
    ASSERT_GE(star.y, 0);
    ASSERT_LT(star.y, 480);
    ASSERT_GE(star.twinkle, 0);
    ASSERT_LE(star.twinkle, 7);
  }
  // Star 0 is about to leave, star 511 is not.
  TitleStars[0].x = 0.2f;
  TitleStars[511].x = 100.0f;
  driver().step();
  EXPECT_EQ(TitleStars[0].x, 640.0f);
  EXPECT_FLOAT_EQ(TitleStars[511].x, 100.0f - 1.33336f);
  EXPECT_FLOAT_EQ(TitleStars[0].speed, 0.33334f);

  // The twinkle walks between 0 and 7 and turns at the ends.
  for (int i = 0; i < 60; ++i) {
    driver().step();
    for (const TitleStar& star : TitleStars) {
      ASSERT_GE(star.twinkle, 0);
      ASSERT_LE(star.twinkle, 7);
    }
  }
}

TEST_F(LogoTitleTest, AScreenWithoutHeightPutsEveryStarOnRowZero) {
  const Rect saved = ScreenRect;
  ScreenRect.bottom = ScreenRect.top;
  OpenTitle();
  for (TitleStar& star : TitleStars) star.x = 0.1f;
  driver().step();
  ScreenRect = saved;
  for (const TitleStar& star : TitleStars) {
    ASSERT_EQ(star.y, 0.0f);
    ASSERT_EQ(star.x, 640.0f);
  }
}

}  // namespace
