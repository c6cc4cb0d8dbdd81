#include "Sys.h"

#include <signal.h>

namespace {

// The signal that asked for the shut-down, 0 while none has.
volatile sig_atomic_t gShutdownSignal = 0;

// Only what is safe in a handler: the flag, and for a second signal the
// signal's own default action once this handler returns.
void OnShutdownSignal(int number) {
  if (gShutdownSignal != 0) {
    signal(number, SIG_DFL);
    raise(number);
    return;
  }
  gShutdownSignal = number;
}

}  // namespace

void CatchShutdownSignals() {
  struct sigaction action = {};
  action.sa_handler = OnShutdownSignal;
  sigemptyset(&action.sa_mask);
  // One handler at a time, whichever of the three comes.
  sigaddset(&action.sa_mask, SIGTERM);
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGHUP);
  action.sa_flags = SA_RESTART;
  for (int number : {SIGTERM, SIGINT, SIGHUP}) sigaction(number, &action, nullptr);
}

int ShutdownSignal() { return gShutdownSignal; }

void RequestShutdown() {
  if (gShutdownSignal == 0) gShutdownSignal = SIGTERM;
}
