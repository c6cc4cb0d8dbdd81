// The logo screen that opens the program.
#pragma once

#include "GameGlobals.h"
#include "ScreenList.h"

class QVLogoScreen : public ScreenGL {
 public:
  static void Open(QVLogoScreen* screen);
};

extern StartupObject<QVLogoScreen> gQVLogoScreen;
