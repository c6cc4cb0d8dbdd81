#include "MainScreen.h"

#include "GLFrame.h"
#include "Levels.h"

StartupObject<MainScreen> gMainScreen;

// Until the menu exists a new game follows the last one.
void MainScreen::Open(MainScreen*) {
  SetFadeDark();
  StartGame();
}
