#include "EarlyChannels.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alut.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "Clocks.h"
#include "CommandQueue.h"
#include "Memory.h"
#include "ResultCodes.h"
#include "SourcePool.h"
#include "SoundData.h"
#include "System.h"

namespace {

UInt8 gEarlyStarted;
EarlySoundChannel* gEarlyList;
SInt32 gLastPumpTick = -1;
SInt16 gEarlyExpansion[1024];

constexpr ALsizei kEarlyBufferBytes = 2048;

void Unlink(EarlySoundChannel* chan) {
  for (EarlySoundChannel** link = &gEarlyList; *link; link = &(*link)->next) {
    if (*link == chan) {
      *link = chan->next;
      return;
    }
  }
}

UInt32 Read32(const UInt8* p) {
  UInt32 v;
  std::memcpy(&v, p, 4);
  return v;
}

UInt16 Read16(const UInt8* p) {
  UInt16 v;
  std::memcpy(&v, p, 2);
  return v;
}

// Copies the next piece of the buffer command into one buffer. Mono is
// widened so every buffer of the source stays STEREO16.
bool FillEarlyBuffer(EarlySoundChannel* chan, ALuint buffer) {
  EarlyChannelSource* cs = chan->source;
  const auto* header = reinterpret_cast<const UInt8*>(chan->current.param2);
  const UInt32 channels = Read32(header + 4);
  const UInt64 total =
      static_cast<UInt64>(Read32(header + kEarlyHeaderFrames)) * channels * (Read16(header + kEarlyHeaderSampleSize) / 8);
  const UInt8* data = header + kEarlySoundHeaderSize + cs->readPosition;
  const UInt64 remaining = total > cs->readPosition ? total - cs->readPosition : 0;
  UInt32 taken;
  if (channels == 1) {
    taken = static_cast<UInt32>(std::min<UInt64>(remaining, kEarlyBufferBytes / 2)) & ~1u;
    for (UInt32 i = 0; i < taken / 2; ++i) {
      SInt16 s;
      std::memcpy(&s, data + 2 * i, 2);
      gEarlyExpansion[2 * i] = s;
      gEarlyExpansion[2 * i + 1] = s;
    }
    alBufferData(buffer, AL_FORMAT_STEREO16, gEarlyExpansion, static_cast<ALsizei>(taken * 2), 44100);
  } else {
    taken = static_cast<UInt32>(std::min<UInt64>(remaining, kEarlyBufferBytes)) & ~3u;
    alBufferData(buffer, AL_FORMAT_STEREO16, data, static_cast<ALsizei>(taken), 44100);
  }
  alSourceQueueBuffers(cs->source, 1, &buffer);
  cs->readPosition += taken;
  if (cs->readPosition >= total || taken == 0) {
    cs->readPosition = 0;
    chan->current.code = 0;
    return true;
  }
  return false;
}

void PumpEarlyChannel(EarlySoundChannel* chan) {
  EarlyChannelSource* cs = chan->source;
  ALint state = 0;
  alGetSourcei(cs->source, AL_SOURCE_STATE, &state);
  if (state != AL_PLAYING) {
    // A stopped source has every buffer processed: take them all back, so
    // each can be refilled below.
    alSourceStop(cs->source);
    ALint queuedCount = 0;
    alGetSourcei(cs->source, AL_BUFFERS_QUEUED, &queuedCount);
    for (ALint i = 0; i < queuedCount; ++i) {
      ALuint b = 0;
      alSourceUnqueueBuffers(cs->source, 1, &b);
    }
    alSourceQueueBuffers(cs->source, kChannelStreamBuffers, cs->buffers);
    alSourcePlay(cs->source);
    alSourceStop(cs->source);
    alGetError();
  }
  ALint processed = 0;
  alGetSourcei(cs->source, AL_BUFFERS_PROCESSED, &processed);
  bool queued = false;
  for (ALint i = 0; i < processed; ++i) {
    if (chan->current.code == 0) {
      if (chan->head == -1) break;
      chan->current = chan->queue[chan->head];
      chan->head = static_cast<SInt16>((chan->head + 1) % chan->queueLength);
      if (chan->head == chan->tail) chan->head = -1;
    }
    switch (chan->current.code) {
      case kQuietCmd:
        cs->readPosition = 0;
        alSourceStop(cs->source);
        chan->current.code = 0;
        break;
      case kFlushCmd:
        chan->head = -1;
        chan->current.code = 0;
        break;
      case kCallBackCmd:
        if (chan->callback) chan->callback(chan, &chan->current);
        chan->current.code = 0;
        break;
      case kGetClockCmd:
        if (chan->current.param2) {
          const UInt32 zero = 0;
          std::memcpy(reinterpret_cast<void*>(chan->current.param2), &zero, 4);
        }
        chan->current.code = 0;
        break;
      case kBufferCmd: {
        // A queued buffer cannot take new data: unqueue it first.
        ALuint buffer = 0;
        alGetError();
        alSourceUnqueueBuffers(cs->source, 1, &buffer);
        if (alGetError() != AL_NO_ERROR) break;
        FillEarlyBuffer(chan, buffer);
        queued = true;
        break;
      }
      default:
        chan->current.code = 0;
        break;
    }
  }
  alGetSourcei(cs->source, AL_SOURCE_STATE, &state);
  if ((queued || chan->current.code == kBufferCmd) && state != AL_PLAYING) alSourcePlay(cs->source);
}

OSErr ReturnZero() { return 0; }

}  // namespace

const EarlySoundStub kEarlySoundStubs[kEarlySoundStubCount] = {
    ReturnZero, ReturnZero, ReturnZero, ReturnZero, ReturnZero, ReturnZero,
    ReturnZero, ReturnZero, ReturnZero, ReturnZero, ReturnZero, ReturnZero,
};

void StartEarlyOpenAL() {
  if (gEarlyStarted) return;
  // A second alutInit answers AL_FALSE and keeps the current context.
  alutInit(nullptr, nullptr);
  PlaceDefaultListener();
  gEarlyStarted = 1;
}

UInt8 IsEarlyOpenALStarted() { return gEarlyStarted; }

void ClearEarlyOpenALStarted() {
  gEarlyStarted = 0;
  gLastPumpTick = -1;
}

EarlySoundChannel* GetEarlyChannelList() { return gEarlyList; }

OSErr EarlyNewSoundChannel(EarlySoundChannel** chan, SInt16 synth, UInt32 /*init*/, EarlyChannelCallback callback) {
  if (!gEarlyStarted) StartEarlyOpenAL();
  *chan = nullptr;
  auto* c = new (std::nothrow) EarlySoundChannel{};
  if (!c) return kErrMemFull;
  if (synth != 5) {
    delete c;
    return kErrFailed;
  }
  auto* cs = new (std::nothrow) EarlyChannelSource{};
  if (!cs) {
    delete c;
    return kErrMemFull;
  }
  ALuint source = 0;
  alGetError();
  alGenSources(1, &source);
  if (alGetError() != AL_NO_ERROR) source = 0;
  if (source) {
    alGenBuffers(kChannelStreamBuffers, cs->buffers);
    if (alGetError() == AL_NO_ERROR) {
      static const UInt8 silence[kEarlyBufferBytes] = {};
      for (UInt32 b : cs->buffers) alBufferData(b, AL_FORMAT_STEREO16, silence, kEarlyBufferBytes, 44100);
      alSourceQueueBuffers(source, kChannelStreamBuffers, cs->buffers);
      alSourcePlay(source);
      alSourceStop(source);
      if (alGetError() == AL_NO_ERROR) {
        cs->source = source;
        cs->rate = 44100;
        cs->gain = 1.0f;
        c->source = cs;
        c->callback = callback;
        c->queueLength = kChannelQueueSize;
        c->head = -1;
        c->next = gEarlyList;
        gEarlyList = c;
        *chan = c;
        return 0;
      }
      alDeleteSources(1, &source);
      alDeleteBuffers(kChannelStreamBuffers, cs->buffers);
    } else {
      alDeleteSources(1, &source);
    }
    alGetError();
  }
  delete cs;
  delete c;
  return kErrNotEnoughHardware;
}

OSErr EarlyDisposeSoundChannel(EarlySoundChannel* chan) {
  if (!chan) return 0;
  Unlink(chan);
  if (EarlyChannelSource* cs = chan->source) {
    alSourceStop(cs->source);
    ALuint buffers[kChannelStreamBuffers];
    alSourceUnqueueBuffers(cs->source, kChannelStreamBuffers, buffers);
    alDeleteSources(1, &cs->source);
    alDeleteBuffers(kChannelStreamBuffers, cs->buffers);
    alGetError();
    delete cs;
  }
  delete chan;
  return 0;
}

void DisposeAllEarlyChannels() {
  while (gEarlyList) EarlyDisposeSoundChannel(gEarlyList);
}

OSErr EarlyQueueSoundCommand(EarlySoundChannel* chan, const SoundCommand* cmd, UInt8 noWait) {
  return QueueChannelCommand(chan, cmd, noWait, EarlyServiceSoundChannels);
}

OSErr EarlyDoSoundCommand(EarlySoundChannel* chan, const SoundCommand* cmd) {
  switch (cmd->code) {
    case kVolumeCmd:
      break;
    case kPauseCmd:
      chan->paused = 1;
      break;
    case kResumeCmd:
      chan->paused = 0;
      break;
    default:
      chan->current = *cmd;
      if (chan->source) chan->source->readPosition = 0;
      break;
  }
  return 0;
}

void EarlyServiceSoundChannels() {
  if (!gEarlyStarted) return;
  const SInt32 tick = GetTicks();
  if (tick == gLastPumpTick) return;
  gLastPumpTick = tick;
  for (EarlySoundChannel* chan = gEarlyList; chan;) {
    EarlySoundChannel* next = chan->next;
    if (!chan->paused && chan->source) PumpEarlyChannel(chan);
    chan = next;
  }
}

OSErr EarlyGetChannelStatus(EarlySoundChannel* chan, UInt32 size, SoundChannelStatus* status) {
  if (!chan || !chan->source || !status) return 0;
  ALint state = 0;
  alGetError();
  alGetSourcei(chan->source->source, AL_SOURCE_STATE, &state);
  if (alGetError() != AL_NO_ERROR) return 0;
  SoundChannelStatus answer{};
  answer.busy = state == AL_PLAYING || state == AL_PAUSED;
  answer.paused = state == AL_PAUSED;
  std::memcpy(status, &answer, std::min<UInt32>(size, sizeof answer));
  return 0;
}

OSErr EarlyGetChannelInfo(EarlySoundChannel* /*chan*/, OSType selector, void* out) {
  return GetChannelInfo(nullptr, selector, out);
}

OSErr EarlyGetSoundHeaderOffset(Handle resource, UInt32* out) { return GetSoundHeaderOffset(resource, out); }

OSErr EarlySetupSoundHeader(Handle resource, SInt16 channels, UInt32 rate, SInt16 sampleSize, UInt32 /*compression*/,
                            SInt16 baseNote, UInt32 bytes, UInt16* outDataOffset) {
  if (channels < 1 || (sampleSize != 8 && sampleSize != 16)) return kErrParam;
  UInt32 offset = 0;
  GetSoundHeaderOffset(resource, &offset);
  if (static_cast<SInt64>(offset) + kEarlySoundHeaderSize > GetHandleBlockSize_Audio(resource)) return kErrParam;
  UInt8* header = reinterpret_cast<UInt8*>(*resource) + offset;
  std::memset(header, 0, kEarlySoundHeaderSize);
  const UInt32 ch = static_cast<UInt32>(channels);
  const UInt32 frames = bytes / ch / static_cast<UInt32>(sampleSize / 8);
  const UInt16 size = static_cast<UInt16>(sampleSize);
  std::memcpy(header + 4, &ch, 4);
  std::memcpy(header + 8, &rate, 4);
  header[20] = kExtSoundHeader;
  header[21] = static_cast<UInt8>(baseNote);
  std::memcpy(header + kEarlyHeaderFrames, &frames, 4);
  std::memcpy(header + kEarlyHeaderSampleSize, &size, 2);
  if (outDataOffset) *outDataOffset = static_cast<UInt16>(offset + kEarlySoundHeaderSize);
  return 0;
}

void EarlySoundBeep() { SystemBeep(); }

UInt32 EarlySoundVersion() { return 0x03800000; }
