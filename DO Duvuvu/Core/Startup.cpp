#include "Startup.h"

#include <cstdio>
#include <cstdlib>

#include "Sys.h"

namespace {

constexpr int kMaxEntries = 64;
StartupEntry gEntries[kMaxEntries];
int gCount = 0;
int gStarted = 0;
bool gAtExitInstalled = false;
void (*gObserver)(const char*) = nullptr;

void ShutdownAtExit() { RunShutdown(); }

}  // namespace

void AddStartupEntry(const StartupEntry& entry) {
  if (gCount >= kMaxEntries) {
    // The error routines may themselves be in the list, so go straight to the box.
    ShowMessageBox("AddStartupEntry()", "Error: the start-up list is full");
    ExitProcess(1);
  }
  gEntries[gCount++] = entry;
}

void RunStartup() {
  if (!gAtExitInstalled) {
    gAtExitInstalled = true;
    std::atexit(ShutdownAtExit);
  }
  while (gStarted < gCount) {
    const StartupEntry& entry = gEntries[gStarted++];
    if (entry.init) entry.init();
    if (gObserver) gObserver(entry.name);
  }
}

void SetStartupObserver(void (*observer)(const char* name)) { gObserver = observer; }

void RunShutdown() {
  while (gStarted > 0) {
    const StartupEntry& entry = gEntries[--gStarted];
    if (entry.exit) entry.exit();
  }
}

void ResetStartupListForTesting() {
  gCount = 0;
  gStarted = 0;
}
