// Settings the application fills in before the engine starts its services.
#pragma once

#include "MacTypes.h"

constexpr int kEngineSettingsSize = 11;
extern UInt8 EngineSettings[kEngineSettingsSize];

// The bytes of EngineSettings that mean something; the others are unused.
constexpr int kSettingGameOwnsScreen = 0;    // the build world is made and drawn into
constexpr int kSettingCopyOnFlush = 1;       // a flush copies the build world into the window
constexpr int kSettingOnlinePrefs = 2;       // MainPrefs keeps an "Online Prefs" dict
constexpr int kSettingInterlace = 6;         // the depth converters draw interlaced rows
constexpr int kSettingDepth = 8;             // pixmaps, blitters and the build world
constexpr int kSettingSecondDepth = 9;
constexpr int kSettingThirdDepth = 10;

// The product name (the game keeps it within 31 characters).
extern Str255 ApplicationName;
// The creator code and its four-character text.
extern OSType ApplicationCreator;
extern Str15 ApplicationCreatorText;
