#include "AppGlobals.h"

UInt8 EngineSettings[kEngineSettingsSize];
Str255 ApplicationName;
OSType ApplicationCreator;
Str15 ApplicationCreatorText;
