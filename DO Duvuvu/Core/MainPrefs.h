// The engine's main preferences: the display choices it needs at start-up,
// stored with the audio and the application's own keys in one plist file.
#pragma once

#include "MacTypes.h"

class PlistTag;

// A plain record: the one global instance starts all zero, file name empty.
class MainPrefs {
 public:
  UInt8 fullScreen;
  UInt8 graphicsMode;
  char fileName[256];  // base name without ".plist"
  UInt8 monitorMode;

  void SetFileName(const char* text);
  // 0, or -3 when the file cannot be saved (the old file then stays whole).
  OSErr Save(PlistTag* root);
  // 0, or -3 when the file cannot be opened (the three values become 1).
  OSErr Load(PlistTag* root);
  void SetDefaults(UInt8 fullScreenOn);
  PlistTag* GetOnlinePrefs(PlistTag* root);
  // "<preferences folder>/<file name>.plist".
  bool GetFilePath(char* path, UInt32 size) const;
};

extern MainPrefs gMainPrefs;
