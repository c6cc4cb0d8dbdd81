#include "GamePrefs.h"

#include "MainPrefs.h"
#include "PlistTag.h"

UInt8 SparksOn = 1;
UInt8 FirstPlay = 1;
SInt8 AdScreen = 0;
Str31 LastPlayerName[2] = {{0}, {0}};
Str255 LastCommand = {0};

// Until the game's own keys exist, the engine's and the audio preferences
// still come and go through the file.
void LoadGamePrefs() {
  PlistTag prefs;
  gMainPrefs.Load(&prefs);
}

void SaveGamePrefs() {
  PlistTag prefs;
  gMainPrefs.Save(&prefs);
}
void LoadScoresFile() {}
void SaveScoresFile() {}
void WriteBlankScoresFile() {}
void RecordPlayerName(SInt8, const char*) {}
