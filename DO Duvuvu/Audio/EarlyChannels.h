// The older sound-channel layer: the same command queue and codes as
// SoundChannels.h over OpenAL, with its own list, started flag and the
// packed 64-byte sound header. The game does not use it.
#pragma once

#include "MacTypes.h"
#include "SoundChannels.h"

struct EarlyChannelSource {
  UInt32 source;
  UInt32 rate;
  float gain;
  UInt32 readPosition;
  UInt32 buffers[kChannelStreamBuffers];
};
static_assert(sizeof(EarlyChannelSource) == 48);

struct EarlySoundChannel;
using EarlyChannelCallback = void (*)(EarlySoundChannel* chan, SoundCommand* cmd);

struct EarlySoundChannel {
  EarlySoundChannel* next;
  EarlyChannelSource* source;
  EarlyChannelCallback callback;
  UInt16 reserved[2];
  UInt8 paused;
  SoundCommand current;
  UInt16 inCommand;
  SInt16 queueLength;
  SInt16 head;
  SInt16 tail;
  SoundCommand queue[kChannelQueueSize];
};

// The packed header: frames at 22, sample size at 48, samples at 64.
constexpr SInt32 kEarlySoundHeaderSize = 64;
constexpr SInt32 kEarlyHeaderFrames = 22;
constexpr SInt32 kEarlyHeaderSampleSize = 48;

void StartEarlyOpenAL();
UInt8 IsEarlyOpenALStarted();
void ClearEarlyOpenALStarted();

// 0, -108 (no memory), -1 (synth other than 5) or -201 (OpenAL refused).
OSErr EarlyNewSoundChannel(EarlySoundChannel** chan, SInt16 synth, UInt32 init, EarlyChannelCallback callback);
OSErr EarlyDisposeSoundChannel(EarlySoundChannel* chan);
OSErr EarlyQueueSoundCommand(EarlySoundChannel* chan, const SoundCommand* cmd, UInt8 noWait);
OSErr EarlyDoSoundCommand(EarlySoundChannel* chan, const SoundCommand* cmd);
// Runs only when the tick count changed since the last run.
void EarlyServiceSoundChannels();
OSErr EarlyGetChannelStatus(EarlySoundChannel* chan, UInt32 size, SoundChannelStatus* status);
OSErr EarlyGetChannelInfo(EarlySoundChannel* chan, OSType selector, void* out);
OSErr EarlyGetSoundHeaderOffset(Handle resource, UInt32* out);
OSErr EarlySetupSoundHeader(Handle resource, SInt16 channels, UInt32 rate, SInt16 sampleSize, UInt32 compression,
                            SInt16 baseNote, UInt32 bytes, UInt16* outDataOffset);
void EarlySoundBeep();
UInt32 EarlySoundVersion();
EarlySoundChannel* GetEarlyChannelList();
// Disposes every channel of this layer (the test-only shutdown).
void DisposeAllEarlyChannels();

// The layer's twelve entry points that do nothing here.
using EarlySoundStub = OSErr (*)();
constexpr int kEarlySoundStubCount = 12;
extern const EarlySoundStub kEarlySoundStubs[kEarlySoundStubCount];
