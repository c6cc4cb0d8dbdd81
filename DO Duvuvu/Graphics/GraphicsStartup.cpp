#include "GraphicsStartup.h"

#include "DisplayServices.h"
#include "DisplayStartup.h"
#include "GWorld.h"
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
  RegisterDisplayServices(&services);
}

void RegisterGraphicsStartup() {
  AddStartupEntry({"Graphics display services", InstallGraphicsDisplayServices, nullptr});
  RegisterDisplayStartup();
}
