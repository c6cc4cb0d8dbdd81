#include "Startup.h"

void RegisterAdditionsStartup() {
}
