#include "GameScreens.h"

#include "ConfirmScreen.h"
#include "GameControls.h"
#include "HelpScreen.h"
#include "InputScreen.h"
#include "MainScreen.h"
#include "PauseScreen.h"
#include "QVLogoScreen.h"
#include "AboutScreen.h"
#include "TitleScreen.h"

void InitGameScreens(UInt8 construct) {
  if (construct) {
    gQVLogoScreen.Construct();
    gMainScreen.Construct();
    gPauseScreen.Construct();
    gInputScreens.Construct();
    InitGameControls(1);
    gConfirmScreen.Construct();
    gHelpScreen.Construct();
    gLoadScreen.Construct();
    gTitleScreen.Construct();
    gAboutScreen.Construct();
  } else {
    gAboutScreen.Destroy();
    gTitleScreen.Destroy();
    gLoadScreen.Destroy();
    gHelpScreen.Destroy();
    gConfirmScreen.Destroy();
    InitGameControls(0);
    gInputScreens.Destroy();
    gPauseScreen.Destroy();
    gMainScreen.Destroy();
    gQVLogoScreen.Destroy();
  }
}
