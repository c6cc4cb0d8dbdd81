// Kestrova: brings the engine and the game up, shows the logo, runs the
// fixed-step loop until a quit, and shuts down.
#include "GameStartup.h"
#include "GraphicsStartup.h"
#include "MainLoop.h"
#include "Screens/QVLogoScreen.h"
#include "SpritesStartup.h"
#include "StartupPhases.h"
#include "Startup.h"
#include "Sys.h"

int main() {
  MarkStartupPhase("main");
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
  SetStartupObserver(MarkStartupPhase);
  RunStartup();
  SetStartupObserver(nullptr);

  StartKestrova();
  QVLogoScreen::Open(gQVLogoScreen.Pointer());
  MarkStartupPhase("logo screen");
  ResetFrameTimer();

  RunMainLoop();
  ShutDownKestrova();
}
