#include "PauseScreen.h"

StartupObject<PauseScreen> gPauseScreen;

// Shows nothing yet: the next pause trigger resumes the game.
void PauseScreen::Open(PauseScreen*) {}
