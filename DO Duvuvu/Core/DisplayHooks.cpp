#include "DisplayHooks.h"

DisplayHookTable gDisplayHooks = {};

void EnterMenuMode() {
  if (gDisplayHooks.enterMenuMode) gDisplayHooks.enterMenuMode();
}

void LeaveMenuMode() {
  if (gDisplayHooks.leaveMenuMode) gDisplayHooks.leaveMenuMode();
}

SInt32 InMenuMode() { return gDisplayHooks.inMenuMode ? gDisplayHooks.inMenuMode() : 0; }
