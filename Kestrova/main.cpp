// Stands in for the game until it exists: runs the engine's start-up, reads
// and saves the preferences, and says who, which version and when it is.
#include <cstdio>

#include "AppGlobals.h"
#include "Bundle.h"
#include "Clocks.h"
#include "FileClass.h"
#include "FileSpec.h"
#include "GraphicsStartup.h"
#include "MainPrefs.h"
#include "PlistTag.h"
#include "SpritesStartup.h"
#include "Startup.h"
#include "Strings.h"

int main() {
  RegisterCoreStartup();
  RegisterShellStartup();
  RegisterBlitterStartup();
  RegisterGraphicsStartup();
  RegisterSpritesStartup();
  RegisterAudioStartup();
  RegisterAdditionsStartup();
  RunStartup();
  InitDefaultDirectory();
  InitPerformanceClock();
  CToPStr("Kestrova", ApplicationName);
  gMainPrefs.SetFileName("Kestrova Preferences");
  CalibrateClock();
  InitApplicationFolders();

  VersionNumber versionNumber;
  Str255 version;
  GetApplicationVersion(&versionNumber, version, 0);
  CStr versionText(version);

  PlistTag prefs;
  gMainPrefs.Load(&prefs);
  std::printf("Kestrova %s %s\n", versionText.GetPtr(), DateTimeText());
  gMainPrefs.Save(&prefs);
  RunShutdown();
  return 0;
}
