#include "GraphicsStartup.h"

#include "DisplayServices.h"
#include "DisplayStartup.h"
#include "GWorld.h"
#include "MainWindow.h"
#include "Ports.h"
#include "WindowPoints.h"
#include "Startup.h"

namespace {

GWorldPtr NewWindowManagerWorld() {
  GWorldPtr world = nullptr;
  const Rect bounds = {0, 0, 1, 1};
  CreateGWorld(&world, 32, &bounds, nullptr, 0, 0);
  return world;
}

void SetCurrentWorld(GWorldPtr world) { SetCurrentPort(world); }

}  // namespace

void InstallGraphicsDisplayServices() {
  DisplayServices services = GetDisplayServices();
  services.newWindowManagerWorld = NewWindowManagerWorld;
  services.setCurrentWorld = SetCurrentWorld;
  // What the dialogs use.
  services.pushPort = PushPort;
  services.popPort = PopPort;
  services.windowToScreenPoint = WindowToScreenPoint;
  services.fullScreenFlag = [] { return FullScreenFlag; };
  services.shutdownApplication = ShutdownApplication;
  RegisterDisplayServices(&services);
}

void RegisterGraphicsStartup() {
  AddStartupEntry({"Graphics display services", InstallGraphicsDisplayServices, nullptr});
  RegisterDisplayStartup();
}
