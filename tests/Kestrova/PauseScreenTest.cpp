// The pause box over a running game: its layout, Resume and Escape, the sound
// and music switches, the sliders' start values and Abort.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "AudioPrefs.h"
#include "GLFrame.h"
#include "GLImage.h"
#include "GameAssets.h"
#include "GameControls.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "MainLoop.h"
#include "MainScreen.h"
#include "Music.h"
#include "PauseScreen.h"
#include "ScreenList.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kEscapeKey = 53;

Point Centre(const Rect& r) {
  return Point{static_cast<SInt16>((r.top + r.bottom) / 2), static_cast<SInt16>((r.left + r.right) / 2)};
}

class PauseScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = std::make_unique<GameDriver>(33);
    driver_->startGame();
    driver_->steps(30);
    ASSERT_EQ(GetFadeBrightness(), 255);
    StepInput escape;
    escape.keyDowns = {kEscapeKey};
    driver_->step(escape);
    ASSERT_EQ(GameFlags.paused, 1);
    ASSERT_EQ(currentScreen, gPauseScreen.Pointer());
    driver_->step();
  }
  GameDriver& driver() { return *driver_; }
  PauseScreen& box() { return *gPauseScreen; }
  KVButton& button(int i) { return box().buttons[i]; }

  // A click on the button, then steps enough for its release; the sounds heard.
  std::vector<gametest::SoundRecord> Click(int i) {
    StepInput click;
    click.clicks = {Centre(button(i).rect)};
    std::vector<gametest::SoundRecord> heard;
    driver().step(click);
    heard = driver().sounds();
    for (int n = 0; n < 2; ++n) {
      driver().step();
      heard.insert(heard.end(), driver().sounds().begin(), driver().sounds().end());
    }
    return heard;
  }

  std::unique_ptr<GameDriver> driver_;
};

TEST_F(PauseScreenTest, TheBoxIsCentredWithItsButtonsDownTheLeft) {
  const Rect& r = box().rect;
  EXPECT_EQ(r.right - r.left, box().box.imageWidth);
  EXPECT_EQ(r.bottom - r.top, box().box.imageHeight);
  EXPECT_EQ(r.left + r.right, 640);
  EXPECT_EQ(r.top + r.bottom, 480);
  for (int i = 0; i < PauseScreen::kButtonCount; ++i) {
    SCOPED_TRACE(i);
    const KVButton& b = button(i);
    const bool isSwitch = i == PauseScreen::kSound || i == PauseScreen::kMusic;
    EXPECT_EQ(b.rect.top, r.top + 18 + 36 * i);
    EXPECT_EQ(b.rect.left, r.left + 40 + (isSwitch ? 32 : 0));
    EXPECT_EQ(b.rect.right - b.rect.left, static_cast<SInt16>(b.titleImage.imageWidth * 0.75f));
    EXPECT_EQ(b.rect.bottom - b.rect.top, static_cast<SInt16>(b.titleImage.imageHeight * 0.75f));
    // The switches' tracking rects also cover their lamps.
    EXPECT_EQ(b.trackRect.left, r.left + 40);
    EXPECT_EQ(b.trackRect.right, b.rect.right);
  }
  // The bundle's 320 x 176 box and 160 x 40 buttons: Abort is centred at (293, 260).
  const Point abort = Centre(button(PauseScreen::kAbort).rect);
  EXPECT_EQ(abort.v, 293);
  EXPECT_EQ(abort.h, 260);
  EXPECT_EQ(button(PauseScreen::kSound).clickSound, nullptr);
  EXPECT_NE(button(PauseScreen::kResume).clickSound, nullptr);
}

TEST_F(PauseScreenTest, EscapeResumesExactlyAsTheResumeButton) {
  struct Way {
    const char* name;
    bool escape;
  };
  for (const Way way : {Way{"resume button", false}, Way{"escape", true}}) {
    SCOPED_TRACE(way.name);
    if (!GameFlags.paused) {
      StepInput escape;
      escape.keyDowns = {kEscapeKey};
      driver().step(escape);
      driver().step();
      ASSERT_EQ(currentScreen, gPauseScreen.Pointer());
    }
    CursorWanted = 1;
    if (way.escape) {
      StepInput escape;
      escape.keyDowns = {kEscapeKey};
      driver().step(escape);
      driver().step();
    } else {
      Click(PauseScreen::kResume);
    }
    EXPECT_EQ(GameFlags.paused, 0);
    EXPECT_EQ(box().active, 0);
    EXPECT_EQ(CursorWanted, 0);
    EXPECT_EQ(GameFlags.gameOver, 0);
    // Resuming does not pause again on the same key or click.
    driver().steps(3);
    EXPECT_EQ(GameFlags.paused, 0);
  }
}

TEST_F(PauseScreenTest, TheSoundSwitchIsHeardOnlyWhenTurnedOn) {
  gAudioPrefs.soundOn = 1;
  std::vector<gametest::SoundRecord> heard = Click(PauseScreen::kSound);
  EXPECT_EQ(gAudioPrefs.soundOn, 0);
  EXPECT_TRUE(heard.empty());

  heard = Click(PauseScreen::kSound);
  EXPECT_EQ(gAudioPrefs.soundOn, 1);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].name, "Blip");
  const Point centre = Centre(button(PauseScreen::kSound).rect);
  EXPECT_EQ(heard[0].point.v, centre.v);
  EXPECT_EQ(heard[0].point.h, centre.h);
  EXPECT_EQ(GameFlags.paused, 1);
}

TEST_F(PauseScreenTest, TheMusicSwitchStartsAndStopsTheGameMusic) {
  gAudioPrefs.musicOn = 1;
  Click(PauseScreen::kMusic);
  EXPECT_EQ(gAudioPrefs.musicOn, 0);
  EXPECT_TRUE(StreamPlayer::IsStopped(&gGameMusic->streamPlayer));

  Click(PauseScreen::kMusic);
  EXPECT_EQ(gAudioPrefs.musicOn, 1);
  EXPECT_EQ(gGameMusic->wantsToPlay, 1);
  EXPECT_FALSE(StreamPlayer::IsStopped(&gGameMusic->streamPlayer));
  EXPECT_EQ(GameFlags.paused, 1);
}

TEST_F(PauseScreenTest, TheSlidersStartFromTheVolumes) {
  Click(PauseScreen::kResume);
  gAudioPrefs.soundVolume = 255;
  gAudioPrefs.musicVolume = 0;
  StepInput escape;
  escape.keyDowns = {kEscapeKey};
  driver().step(escape);
  ASSERT_EQ(currentScreen, gPauseScreen.Pointer());
  EXPECT_EQ((*gAudioSliders)[kSoundSlider].value, 8);
  EXPECT_EQ((*gAudioSliders)[kMusicSlider].value, 0);
  EXPECT_EQ((*gAudioSliders)[kSoundSlider].rect.left, button(PauseScreen::kSound).rect.right + 8);
}

TEST_F(PauseScreenTest, APressedSwitchSinksItsLampAndRecovers) {
  struct Draw {
    const GLImage* image;
    Rect dest;
    float red;
  };
  std::vector<Draw> draws;
  SetGLImageDrawRecorder(
      [](const GLImageDrawRecord& r, void* context) {
        static_cast<std::vector<Draw>*>(context)->push_back({r.image, r.dest, r.red});
      },
      &draws);
  auto lampOf = [&](const KVButton& b) -> const Draw* {
    for (const Draw& d : draws)
      if ((d.image == &gImages->radioOn || d.image == &gImages->radioOff) && d.dest.left >= b.trackRect.left &&
          d.dest.left < b.rect.left && d.dest.top < b.rect.bottom && d.dest.bottom > b.rect.top)
        return &d;
    return nullptr;
  };

  gAudioPrefs.musicOn = 1;
  driver().frame();
  const KVButton& music = button(PauseScreen::kMusic);
  const Draw* lamp = lampOf(music);
  ASSERT_NE(lamp, nullptr);
  EXPECT_EQ(lamp->image, &gImages->radioOn);
  EXPECT_EQ(lamp->dest.left, music.trackRect.left);
  const SInt16 side = static_cast<SInt16>(gImages->radioOff.imageWidth * 0.75f);
  EXPECT_EQ(lamp->dest.right - lamp->dest.left, side);
  EXPECT_EQ(lamp->dest.top, (music.rect.top + music.rect.bottom) / 2 - 1 - side / 2);
  EXPECT_EQ(lamp->red, 1.0f);
  const Rect rest = lamp->dest;

  // The press and its release, then the depth as it stands.
  Click(PauseScreen::kMusic);
  const SInt8 depth = static_cast<SInt8>(music.pressValue);
  ASSERT_GT(depth, 0);
  draws.clear();
  driver().frame();
  lamp = lampOf(music);
  ASSERT_NE(lamp, nullptr);
  EXPECT_EQ(lamp->image, &gImages->radioOff);
  EXPECT_EQ(lamp->dest.left, rest.left + depth);
  EXPECT_EQ(lamp->dest.top, rest.top + depth);
  EXPECT_FLOAT_EQ(lamp->red, 1.0f - depth / 6.0f);

  driver().steps(6);
  EXPECT_EQ(music.pressValue, 0);
  SetGLImageDrawRecorder(nullptr, nullptr);
}

TEST_F(PauseScreenTest, AbortEndsTheGameAndTheMainScreenFollows) {
  Click(PauseScreen::kAbort);
  EXPECT_EQ(GameFlags.paused, 0);
  EXPECT_EQ(box().active, 0);
  EXPECT_EQ(GameFlags.gameOver, 1);
  EXPECT_EQ(CursorWanted, 0);
  int steps = 0;
  while (currentScreen != gMainScreen.Pointer() && steps < 400) {
    driver().step();
    ++steps;
  }
  // Click ran one step after the release that aborted.
  EXPECT_EQ(steps + 1, 128);
}

}  // namespace
