// The sprites library's start-up entries.
#pragma once

// mainGUI's construction; torn down in reverse at exit.
void RegisterSpritesStartup();
