// Settings the application fills in before the engine starts its services.
#pragma once

#include "MacTypes.h"

// Byte 0 the game owns the screen, 1 copy the build world on flush, 2 the
// "Online Prefs" switch, 6 interlaced drawing, 8-10 pixel depths.
constexpr int kEngineSettingsSize = 11;
extern UInt8 EngineSettings[kEngineSettingsSize];

// The product name (the game keeps it within 31 characters).
extern Str255 ApplicationName;
// The creator code and its four-character text.
extern OSType ApplicationCreator;
extern Str15 ApplicationCreatorText;
