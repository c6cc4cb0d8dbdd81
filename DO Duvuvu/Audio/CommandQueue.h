// The ring of sound commands both channel layers keep: one body for the
// channel record of either layer.
#pragma once

#include "MacTypes.h"
#include "ResultCodes.h"
#include "SoundChannels.h"

// Appends a command, pumping the channels while the ring is full (unless
// noWait, or the channel is paused and would never drain); then pumps once.
// -205 for a damaged ring, -203 for a full one that may not wait.
template <typename Channel>
OSErr QueueChannelCommand(Channel* chan, const SoundCommand* cmd, UInt8 noWait, void (*service)()) {
  const SInt16 length = chan->queueLength;
  if (length < 1 || (chan->head != -1 && (chan->head < 0 || chan->head >= length)) || chan->tail < 0 ||
      chan->tail >= length)
    return kErrBadChannel;
  if (chan->head == chan->tail) {
    // A paused channel is never pumped, so waiting would never end.
    if (noWait || chan->paused) return kErrQueueFull;
    while (chan->head == chan->tail) service();
  }
  if (chan->head == -1) chan->head = chan->tail;
  chan->queue[chan->tail] = *cmd;
  chan->tail = static_cast<SInt16>((chan->tail + 1) % length);
  service();
  return 0;
}
