#include <gtest/gtest.h>

#include <string>

#include "GLFrame.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "MainLoop.h"
#include "PauseScreen.h"

namespace {

using gametest::GameDriver;
using gametest::StepInput;

constexpr UInt8 kReturnKey = 36;
constexpr UInt8 kEscapeKey = 53;
constexpr UInt8 kCapsLockKey = 138;

int CountSounds(const GameDriver& driver, const char* name) {
  int n = 0;
  for (const auto& sound : driver.sounds()) n += sound.name == name;
  return n;
}

class PauseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = std::make_unique<GameDriver>(21);
    driver_->startGame();
    driver_->steps(30);
    ASSERT_EQ(GetFadeBrightness(), 255);
    ASSERT_EQ(GameFlags.paused, 0);
  }
  GameDriver& driver() { return *driver_; }
  std::unique_ptr<GameDriver> driver_;
};

struct Trigger {
  const char* name;
  StepInput input;
};

Trigger KeyDown(const char* name, UInt8 key) {
  Trigger t{name, {}};
  t.input.keyDowns = {key};
  return t;
}

TEST_F(PauseTest, EachTriggerPausesWithABlip) {
  Trigger caps{"caps lock", {}};
  caps.input.held = {kCapsLockKey};
  Trigger click{"click", {}};
  click.input.clicks = {Point{240, 320}};
  const Trigger triggers[] = {KeyDown("escape", kEscapeKey), KeyDown("return", kReturnKey), caps, click};
  for (const Trigger& trigger : triggers) {
    SCOPED_TRACE(trigger.name);
    ASSERT_EQ(GameFlags.paused, 0);
    CursorWanted = 0;
    driver().step(trigger.input);
    EXPECT_EQ(GameFlags.paused, 1);
    EXPECT_EQ(CountSounds(driver(), "Blip"), 1);
    EXPECT_EQ(CursorWanted, 1);  // the pause screen wants the cursor
    // Nothing moves while paused.
    const float x = gPlayers[0].x;
    driver().step();
    EXPECT_EQ(GameFlags.paused, 1);
    EXPECT_EQ(gPlayers[0].x, x);
    // Resume behind the pause box's back: its own buttons are tested with it.
    gPauseScreen->Hide();
    GameFlags.paused = 0;
    driver().step();
  }
}

TEST_F(PauseTest, ATriggerHeldForFiveStepsTogglesOnce) {
  StepInput held;
  held.held = {kCapsLockKey};
  int blips = 0;
  for (int i = 0; i < 5; ++i) {
    driver().step(held);
    blips += CountSounds(driver(), "Blip");
  }
  EXPECT_EQ(GameFlags.paused, 1);
  EXPECT_EQ(blips, 1);
}

TEST_F(PauseTest, ATriggerHeldThroughAFadeDoesNotPauseWhenItEnds) {
  driver().startGame();  // dark again, the fade-in starts over
  StepInput held;
  held.held = {kCapsLockKey};
  for (int i = 0; i < 40; ++i) driver().step(held);
  EXPECT_EQ(GetFadeBrightness(), 255);
  EXPECT_EQ(GameFlags.paused, 0);
  // Let go and press again: now it pauses.
  driver().step();
  driver().step(held);
  EXPECT_EQ(GameFlags.paused, 1);
}

TEST_F(PauseTest, ThePauseKeysLastNoLongerThanTheirStep) {
  // Paused, the check does not run, yet the flags still go.
  driver().step(KeyDown("escape", kEscapeKey).input);
  ASSERT_EQ(GameFlags.paused, 1);
  for (UInt8 key : {kEscapeKey, kReturnKey}) {
    driver().step(KeyDown("key", key).input);
    EXPECT_EQ(EscapeKeyFlag, 0);
    EXPECT_EQ(ReturnKeyFlag, 0);
  }
  driver().step();
  EXPECT_EQ(EscapeKeyFlag, 0);
  EXPECT_EQ(ReturnKeyFlag, 0);
}

TEST_F(PauseTest, TheSystemCursorShowsOnlyOutsideTheScreen) {
  StepInput inside;
  inside.moveMouse = true;
  inside.mouse = Point{200, 300};
  StepInput outside = inside;
  outside.mouse = Point{-20, -20};
  driver().step(inside);
  EXPECT_EQ(SystemCursorShown, 0);
  driver().step(outside);
  EXPECT_EQ(SystemCursorShown, 1);
  EXPECT_EQ(CursorOutside, 1);
  driver().step(inside);
  EXPECT_EQ(SystemCursorShown, 0);
  EXPECT_EQ(CursorOutside, 0);
}

}  // namespace
