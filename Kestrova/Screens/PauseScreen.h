// The pause screen shown over a paused game.
#pragma once

#include "GameGlobals.h"
#include "ScreenList.h"

class PauseScreen : public ScreenGL {
 public:
  static void Open(PauseScreen* screen);
};

extern StartupObject<PauseScreen> gPauseScreen;
