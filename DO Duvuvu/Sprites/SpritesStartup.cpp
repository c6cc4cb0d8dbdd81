#include "SpritesStartup.h"

#include "GUIState.h"
#include "Startup.h"

void RegisterSpritesStartup() { AddStartupEntry(StartupEntry{"GUIState", &InitGUIState, &ExitGUIState}); }
