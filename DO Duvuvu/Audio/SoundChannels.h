// Command-driven sound channels over OpenAL: each channel owns one source
// with 8 stream buffers, and a pump on the main thread turns queued commands
// into OpenAL calls. There is no audio thread.
#pragma once

#include <cstdint>

#include "MacTypes.h"

// Command codes.
enum : UInt16 {
  kQuietCmd = 3,
  kFlushCmd = 4,
  kPauseCmd = 11,
  kResumeCmd = 12,
  kCallBackCmd = 13,
  kVolumeCmd = 46,
  kClockCmd = 50,
  kGetClockCmd = 51,
  kPlaySampleCmd = 80,
  kBufferCmd = 81,
};

// param2 is pointer-sized: it carries sound headers and the clock word.
struct SoundCommand {
  UInt16 code;
  SInt16 param1;
  uintptr_t param2;
};

struct SoundChannel;
using SoundChannelCallback = void (*)(SoundChannel* chan, SoundCommand* cmd);

constexpr int kChannelStreamBuffers = 8;
constexpr int kChannelQueueSize = 128;

// The OpenAL side of a channel.
struct ChannelSource {
  UInt32 source;
  UInt32 rate;
  float gain;
  UInt32 readPosition;  // bytes of the current buffer command already queued
  UInt32 buffersUsed;   // stream buffers handed out since the last quiet
  UInt32 buffers[kChannelStreamBuffers];
};

struct SoundChannel {
  SoundChannel* next;
  ChannelSource* source;
  SoundChannelCallback callback;
  UInt16 reserved[2];
  UInt8 paused;
  SoundCommand current;
  UInt16 inCommand;
  SInt16 queueLength;
  SInt16 head;  // -1 = empty
  SInt16 tail;
  SoundCommand queue[kChannelQueueSize];
};

// Pumps every channel; nothing until OpenAL has been started. Called by the
// event poll, the flush-to-screen wait and the game's audio timer task.
void ServiceSoundChannels();
void ServiceSoundChannel(SoundChannel* chan);

// 0, -1 (synth other than 5) or -201 (OpenAL refused). init is not used.
OSErr NewSoundChannel(SoundChannel** chan, SInt16 synth, UInt32 init, SoundChannelCallback callback);
// 0, -1 (OpenAL not started) or -2..-4 (OpenAL errors while disposing).
OSErr DisposeSoundChannel(SoundChannel* chan);
// 0, -203 (full and noWait, or full and paused), -205 (corrupt indices).
OSErr QueueSoundCommand(SoundChannel* chan, const SoundCommand* cmd, UInt8 noWait);
// Runs one command at once, ahead of the queue; always 0.
OSErr DoSoundCommand(SoundChannel* chan, const SoundCommand* cmd);
// 1 when the current buffer command's data have been queued to the end.
UInt8 FillChannelBuffer(SoundChannel* chan, UInt32 alBuffer);
OSErr GetChannelInfo(SoundChannel* chan, OSType selector, void* out);

struct SoundChannelStatus {
  UInt32 times[3];
  UInt8 busy;
  UInt8 reserved1;
  UInt8 paused;
  UInt8 reserved2[9];
};
static_assert(sizeof(SoundChannelStatus) == 24);
OSErr GetChannelStatus(SoundChannel* chan, UInt32 size, SoundChannelStatus* status);

// Opens a channel briefly to learn the output format; its answers are fixed.
OSErr QueryOutputDevice(UInt16* channels, UInt16* sampleSize, UInt32* rate);

// Routine descriptors are plain routine addresses here.
SoundChannelCallback MakeChannelCallback(SoundChannelCallback routine);
SoundChannelCallback MakeChannelCallbackTwin(SoundChannelCallback routine);

// The head of the channel list (tests look at it).
SoundChannel* GetSoundChannelList();
