#include "InputScreen.h"

StartupObject<std::array<InputScreen, 2>> gInputScreens;

void InputScreen::Open(InputScreen*, SInt8, ConstStr255Param) {}
