// Stands in for the game until it exists: runs the engine's start-up and
// shut-down and says who and when it is.
#include <cstdio>

#include "Clocks.h"
#include "Startup.h"

int main() {
  RegisterCoreStartup();
  RegisterAdditionsStartup();
  RunStartup();
  InitPerformanceClock();
  CalibrateClock();
  std::printf("Kestrova %s\n", DateTimeText());
  RunShutdown();
  return 0;
}
