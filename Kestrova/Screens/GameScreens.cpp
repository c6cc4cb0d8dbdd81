#include "GameScreens.h"

#include "InputScreen.h"
#include "MainScreen.h"
#include "PauseScreen.h"
#include "QVLogoScreen.h"

void InitGameScreens(UInt8 construct) {
  if (construct) {
    gQVLogoScreen.Construct();
    gMainScreen.Construct();
    gPauseScreen.Construct();
    gInputScreens.Construct();
  } else {
    gInputScreens.Destroy();
    gPauseScreen.Destroy();
    gMainScreen.Destroy();
    gQVLogoScreen.Destroy();
  }
}
