// Kestrova: brings the engine and the game up, shows the logo, runs the
// fixed-step loop until a quit, and shuts down.
#include "GameStartup.h"
#include "GraphicsStartup.h"
#include "MainLoop.h"
#include "Screens/QVLogoScreen.h"
#include "SpritesStartup.h"
#include "Startup.h"
#include "Sys.h"

int main() {
  // Log-out, Ctrl+C and kill end through the normal shut-down, which saves
  // the preferences.
  CatchShutdownSignals();
  RegisterCoreStartup();
  RegisterShellStartup();
  RegisterBlitterStartup();
  RegisterGraphicsStartup();
  RegisterSpritesStartup();
  RegisterAudioStartup();
  RegisterAdditionsStartup();
  RegisterGameStartup();
  RunStartup();

  StartKestrova();
  QVLogoScreen::Open(gQVLogoScreen.Pointer());
  ResetFrameTimer();

  RunMainLoop();
  ShutDownKestrova();
}
