// Shell-internal facts about the last receive.
#pragma once

// True when the last ReceiveNextEvent handed out a device-motion event.
bool LastEventWasDeviceMotion();
// Back to the state at start (tests only).
void ResetEventPollForTesting();
