#include "AppEvents.h"

void HandleAppEvent() {}
void HandleAboutCommand() {}
void ConfirmQuit() {}
