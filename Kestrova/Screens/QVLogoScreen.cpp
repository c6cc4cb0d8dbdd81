#include "QVLogoScreen.h"

#include "GLFrame.h"
#include "Levels.h"

StartupObject<QVLogoScreen> gQVLogoScreen;

// Until the logo exists the program goes straight into a game.
void QVLogoScreen::Open(QVLogoScreen*) {
  SetFadeDark();
  StartGame();
}
