// The box shown over a paused game: Resume, the sound and music switches with
// their volume sliders, and Abort.
#pragma once

#include <array>

#include "GLImage.h"
#include "GameGlobals.h"
#include "KVButton.h"
#include "MacTypes.h"
#include "ScreenList.h"

class PauseScreen : public ScreenGL {
 public:
  PauseScreen() = default;
  ~PauseScreen() override;
  PauseScreen(const PauseScreen&) = delete;
  PauseScreen& operator=(const PauseScreen&) = delete;

  static void Open(PauseScreen* screen);
  void Process() override;
  void Draw() override;

  enum : int { kResume = 0, kSound = 1, kMusic = 2, kAbort = 3, kButtonCount = 4 };
  GLImage box;  // drawn in the screen's rect
  std::array<KVButton, kButtonCount> buttons;
  UInt8 loaded = 0;
  float scale = 1.0f;  // buttons, switch indicators and sliders against their images
};

extern StartupObject<PauseScreen> gPauseScreen;
