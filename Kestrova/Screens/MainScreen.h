// The main screen: the menu between games.
#pragma once

#include "GameGlobals.h"
#include "ScreenList.h"

class MainScreen : public ScreenGL {
 public:
  static void Open(MainScreen* screen);
};

extern StartupObject<MainScreen> gMainScreen;
