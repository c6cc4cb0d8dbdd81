// Stands in for the game until it exists: runs the engine's start-up and
// shut-down and says who and when it is.
#include <cstdio>

#include "Startup.h"

int main() {
  RegisterCoreStartup();
  RegisterAdditionsStartup();
  RunStartup();
  std::printf("Kestrova\n");
  RunShutdown();
  return 0;
}
