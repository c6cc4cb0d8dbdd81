// A headless game with no screen listed, so that one screen can be opened and
// driven alone: clicks at logical points, keys and typed characters.
#pragma once

#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "GameDriver.h"
#include "GameGlobals.h"
#include "MainLoop.h"
#include "ScreenList.h"

class ScreenTest : public ::testing::Test {
 protected:
  static constexpr UInt8 kReturnKey = 36;
  static constexpr UInt8 kEscapeKey = 53;

  void SetUp() override {
    driver_ = std::make_unique<gametest::GameDriver>(7);
    while (currentScreen) currentScreen->Hide();
  }
  void TearDown() override {
    QuitRequested = 0;
    // The focus and the mouse capture must not outlive the screens' controls.
    ResetControlTrackingForTesting();
    driver_.reset();
  }

  gametest::GameDriver& driver() { return *driver_; }
  // One step; its sounds are kept in heard.
  void Step(const gametest::StepInput& input = {}) {
    driver().step(input);
    for (const auto& sound : driver().sounds()) heard.push_back(sound);
  }
  // Down in one step, up in the next, where a control reports its click.
  void Click(const Rect& r) {
    gametest::StepInput input;
    input.clicks = {Point{static_cast<SInt16>((r.top + r.bottom) / 2), static_cast<SInt16>((r.left + r.right) / 2)}};
    Step(input);
    Step();
  }
  // A key-down event, then a step for a pending click to be reported.
  void Key(UInt8 keyCode) {
    gametest::StepInput input;
    input.keyDowns = {keyCode};
    Step(input);
    Step();
  }
  // Lower-case letters and digits, one key event per step.
  void Type(const std::string& text) {
    for (char c : text) {
      const SDL_Scancode scancode =
          (c >= 'a' && c <= 'z') ? static_cast<SDL_Scancode>(SDL_SCANCODE_A + (c - 'a'))
          : c == '0'             ? SDL_SCANCODE_0
                                 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (c - '1'));
      driver().backend().PressKey(scancode);
      driver().backend().ReleaseKey(scancode);
      Step();
      Step();
    }
  }
  int CountSounds(const char* name) const {
    int n = 0;
    for (const auto& sound : heard) n += sound.name == name;
    return n;
  }

  std::unique_ptr<gametest::GameDriver> driver_;
  std::vector<gametest::SoundRecord> heard;
};

inline void ExpectRectIs(const Rect& r, SInt16 top, SInt16 left, SInt16 bottom, SInt16 right) {
  EXPECT_EQ(r.top, top);
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.bottom, bottom);
  EXPECT_EQ(r.right, right);
}
