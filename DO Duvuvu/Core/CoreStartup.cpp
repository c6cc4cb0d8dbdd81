#include "Startup.h"

void RegisterCoreStartup() {
}
