// The name-entry screen of a new high score, one per player.
#pragma once

#include <array>

#include "GameGlobals.h"
#include "MacTypes.h"
#include "ScreenList.h"

class InputScreen : public ScreenGL {
 public:
  static void Open(InputScreen* screen, SInt8 player, ConstStr255Param name);
};

extern StartupObject<std::array<InputScreen, 2>> gInputScreens;
