// The game's hooks into the engine's event dispatch.
#pragma once

void HandleAppEvent();
void HandleAboutCommand();
void ConfirmQuit();
