#include "DisplayFlush.h"

#include "DisplayHooks.h"
#include "Events.h"
#include "SoundChannels.h"
#include "Windows.h"

void FlushToScreen(WindowRef window) {
  PollSystemEvents();
  ServiceSoundChannels();
  if (!gDisplayHooks.flushToScreen) return;
  gDisplayHooks.flushToScreen(window ? window : gMainWindow);
}
