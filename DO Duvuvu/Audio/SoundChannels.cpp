#include "SoundChannels.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "Clocks.h"
#include "CommandQueue.h"
#include "ResultCodes.h"
#include "SoundData.h"
#include "SourcePool.h"

namespace {

SoundChannel* gChannelList;
// Mono chunks are widened to stereo here before upload.
SInt16 gStereoExpansion[32768];

constexpr SInt16 kOpenALSynth = 5;
constexpr int kChannelSourceAttempts = 10;
constexpr SInt32 kMaxFillBytes = 65536;
constexpr SInt32 kMaxMonoFillBytes = 32768;
constexpr ALsizei kSilenceBytes = 2048;

void LinkChannel(SoundChannel* chan) {
  chan->next = gChannelList;
  gChannelList = chan;
}

void UnlinkChannel(SoundChannel* chan) {
  for (SoundChannel** link = &gChannelList; *link; link = &(*link)->next) {
    if (*link == chan) {
      *link = chan->next;
      return;
    }
  }
}

ALuint MakeChannelSource() {
  if (!alcGetCurrentContext()) return 0;
  for (int attempt = 0; attempt < kChannelSourceAttempts; ++attempt) {
    ALuint source = 0;
    alGetError();
    alGenSources(1, &source);
    const ALenum error = alGetError();
    DelayTicks(2);
    if (error == AL_NO_ERROR) return source;
  }
  return 0;
}

float LevelsToGain(uintptr_t param2) {
  const UInt32 levels = static_cast<UInt32>(param2);
  const SInt32 left = static_cast<SInt16>(levels >> 16);
  const SInt32 right = static_cast<SInt32>(levels & 0xFFFF);
  const float gain = static_cast<float>(left + right) * 0.5f * (1.0f / 256.0f);
  return gain < 0.0f ? 0.0f : gain;
}

void UnqueueProcessed(ALuint source) {
  ALint processed = 0;
  alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
  for (ALint i = 0; i < processed; ++i) {
    ALuint buffer = 0;
    alSourceUnqueueBuffers(source, 1, &buffer);
    alGetError();
  }
}

// The buffer step of code 81. Answers whether the pass goes on.
bool BufferStep(SoundChannel* chan) {
  ChannelSource* cs = chan->source;
  bool ended = false;
  bool queued = false;
  while (cs->buffersUsed < kChannelStreamBuffers) {
    const ALuint buffer = cs->buffers[cs->buffersUsed++];
    queued = true;
    if (FillChannelBuffer(chan, buffer)) {
      ended = true;
      break;
    }
  }
  if (!ended) {
    ALint processed = 0;
    alGetSourcei(cs->source, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed; ++i) {
      ALuint buffer = 0;
      alGetError();
      alSourceUnqueueBuffers(cs->source, 1, &buffer);
      if (alGetError() != AL_NO_ERROR) break;
      queued = true;
      if (FillChannelBuffer(chan, buffer)) {
        ended = true;
        break;
      }
    }
  }
  if (queued) {
    ALint state = 0;
    alGetSourcei(cs->source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) alSourcePlay(cs->source);
  }
  return !ended && queued;
}

}  // namespace

SoundChannel* GetSoundChannelList() { return gChannelList; }

void ServiceSoundChannels() {
  if (!IsOpenALStarted()) return;
  SoundChannel* chan = gChannelList;
  while (chan) {
    SoundChannel* next = chan->next;
    ServiceSoundChannel(chan);
    chan = next;
  }
}

void ServiceSoundChannel(SoundChannel* chan) {
  if (!chan || chan->paused || !chan->source) return;
  ChannelSource* cs = chan->source;
  for (;;) {
    if (chan->current.code == 0) {
      if (chan->head == -1) return;
      chan->current = chan->queue[chan->head];
      chan->head = static_cast<SInt16>((chan->head + 1) % chan->queueLength);
      if (chan->head == chan->tail) chan->head = -1;
    }
    bool goOn = true;
    switch (chan->current.code) {
      case kQuietCmd:
        cs->readPosition = 0;
        alSourceStop(cs->source);
        UnqueueProcessed(cs->source);
        cs->buffersUsed = 0;
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
      case kVolumeCmd:
        cs->gain = LevelsToGain(chan->current.param2);
        alSourcef(cs->source, AL_GAIN, cs->gain);
        chan->current.code = 0;
        break;
      case kGetClockCmd:
        if (chan->current.param2) {
          const UInt32 zero = 0;
          std::memcpy(reinterpret_cast<void*>(chan->current.param2), &zero, sizeof zero);
        }
        chan->current.code = 0;
        break;
      case kBufferCmd:
        goOn = BufferStep(chan);
        break;
      default:  // clock and anything unknown
        chan->current.code = 0;
        break;
    }
    if (chan->inCommand || !goOn) return;
  }
}

OSErr NewSoundChannel(SoundChannel** chan, SInt16 synth, UInt32 /*init*/, SoundChannelCallback callback) {
  if (!IsOpenALStarted()) StartOpenAL();
  if (*chan) DisposeSoundChannel(*chan);
  *chan = nullptr;
  auto* c = new (std::nothrow) SoundChannel{};
  if (!c) return kErrMemFull;
  if (synth != kOpenALSynth) {
    delete c;
    return kErrFailed;
  }
  LinkChannel(c);
  c->callback = callback;
  c->queueLength = kChannelQueueSize;
  c->head = -1;
  c->tail = 0;

  auto* cs = new (std::nothrow) ChannelSource{};
  ALuint source = cs ? MakeChannelSource() : 0;
  if (source) {
    const ALfloat zero[3] = {0.0f, 0.0f, 0.0f};
    alSourcef(source, AL_PITCH, 1.0f);
    alSourcef(source, AL_GAIN, 1.0f);
    alSourcefv(source, AL_POSITION, zero);
    alSourcefv(source, AL_VELOCITY, zero);
    alSourcei(source, AL_LOOPING, AL_FALSE);
    cs->source = source;
    alGetError();
    alGenBuffers(kChannelStreamBuffers, cs->buffers);
    if (alGetError() == AL_NO_ERROR) {
      cs->rate = 44100;
      cs->gain = 1.0f;
      cs->readPosition = 0;
      static const UInt8 silence[kSilenceBytes] = {};
      bool ok = true;
      for (int i = 0; i < kChannelStreamBuffers && ok; ++i) {
        alBufferData(cs->buffers[i], AL_FORMAT_STEREO16, silence, kSilenceBytes, 44100);
        ok = alGetError() == AL_NO_ERROR;
      }
      if (ok) {
        cs->buffersUsed = 0;
        c->source = cs;
        *chan = c;
        return 0;
      }
      alDeleteBuffers(kChannelStreamBuffers, cs->buffers);
    }
    alDeleteSources(1, &source);
    alGetError();
  }
  delete cs;
  UnlinkChannel(c);
  delete c;
  return kErrNotEnoughHardware;
}

OSErr DisposeSoundChannel(SoundChannel* chan) {
  if (!IsOpenALStarted() || !chan) return kErrFailed;
  UnlinkChannel(chan);
  ChannelSource* cs = chan->source;
  if (cs) {
    alGetError();
    alSourceStop(cs->source);
    if (alGetError() != AL_NO_ERROR) return kErrFailed;
    ALint processed = 0;
    alGetSourcei(cs->source, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed; ++i) {
      ALuint buffer = 0;
      alSourceUnqueueBuffers(cs->source, 1, &buffer);
    }
    if (alGetError() != AL_NO_ERROR) return kErrUnqueueFailed;
    alDeleteSources(1, &cs->source);
    if (alGetError() != AL_NO_ERROR) return kErrSourceNotDeleted;
    alDeleteBuffers(kChannelStreamBuffers, cs->buffers);
    if (alGetError() != AL_NO_ERROR) return kErrBuffersNotDeleted;
  }
  delete cs;
  delete chan;
  return 0;
}

OSErr QueueSoundCommand(SoundChannel* chan, const SoundCommand* cmd, UInt8 noWait) {
  return QueueChannelCommand(chan, cmd, noWait, ServiceSoundChannels);
}

OSErr DoSoundCommand(SoundChannel* chan, const SoundCommand* cmd) {
  if (cmd->code == kPauseCmd) chan->paused = 1;
  if (cmd->code == kResumeCmd) chan->paused = 0;
  if (cmd->code == kBufferCmd && chan->source) chan->source->readPosition = 0;
  const SoundCommand saved = chan->current;
  chan->current = *cmd;
  chan->inCommand = 1;
  ServiceSoundChannel(chan);
  chan->inCommand = 0;
  if (cmd->code != kBufferCmd && cmd->code != kQuietCmd) chan->current = saved;
  return 0;
}

UInt8 FillChannelBuffer(SoundChannel* chan, UInt32 alBuffer) {
  ChannelSource* cs = chan->source;
  auto* header = reinterpret_cast<SoundHeader*>(chan->current.param2);
  const SInt32 channels = GetSoundHeaderChannels(header);
  const SInt64 total = static_cast<SInt64>(GetSoundHeaderFrames(header)) * channels * 2;
  const UInt8* data = reinterpret_cast<const UInt8*>(header) + kExtSoundHeaderSize;
  SInt64 remaining = std::min<SInt64>(total - cs->readPosition, kMaxFillBytes);
  if (remaining < 0) remaining = 0;
  SInt32 taken = 0;
  if (channels == 1) {
    taken = static_cast<SInt32>(std::min<SInt64>(remaining, kMaxMonoFillBytes)) & ~1;
    const UInt8* from = data + cs->readPosition;
    for (SInt32 i = 0; i < taken / 2; ++i) {
      SInt16 sample;
      std::memcpy(&sample, from + 2 * i, 2);
      gStereoExpansion[2 * i] = sample;
      gStereoExpansion[2 * i + 1] = sample;
    }
    alBufferData(alBuffer, AL_FORMAT_STEREO16, gStereoExpansion, taken * 2, 44100);
  } else {
    taken = static_cast<SInt32>(remaining);
    alBufferData(alBuffer, AL_FORMAT_STEREO16, data + cs->readPosition, taken, 44100);
  }
  alSourceQueueBuffers(cs->source, 1, &alBuffer);
  cs->readPosition += static_cast<UInt32>(taken);
  if (cs->readPosition < total && taken > 0) return 0;
  cs->readPosition = 0;
  chan->current.code = 0;
  return 1;
}

OSErr GetChannelInfo(SoundChannel* /*chan*/, OSType selector, void* out) {
  if (selector == FOUR_CHAR_CODE("chan")) {
    const UInt16 value = 2;
    std::memcpy(out, &value, sizeof value);
  } else if (selector == FOUR_CHAR_CODE("ssiz")) {
    const UInt16 value = 16;
    std::memcpy(out, &value, sizeof value);
  } else if (selector == FOUR_CHAR_CODE("srat")) {
    const UInt32 value = kRate44100;
    std::memcpy(out, &value, sizeof value);
  }
  return 0;
}

OSErr GetChannelStatus(SoundChannel* chan, UInt32 size, SoundChannelStatus* status) {
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

OSErr QueryOutputDevice(UInt16* channels, UInt16* sampleSize, UInt32* rate) {
  SoundChannel* chan = nullptr;
  OSErr err = NewSoundChannel(&chan, kOpenALSynth, 48, nullptr);
  if (err) return err;
  err = GetChannelInfo(chan, FOUR_CHAR_CODE("chan"), channels);
  if (!err) err = GetChannelInfo(chan, FOUR_CHAR_CODE("ssiz"), sampleSize);
  if (!err) err = GetChannelInfo(chan, FOUR_CHAR_CODE("srat"), rate);
  if (err) return err;
  return DisposeSoundChannel(chan);
}

SoundChannelCallback MakeChannelCallback(SoundChannelCallback routine) { return routine; }
SoundChannelCallback MakeChannelCallbackTwin(SoundChannelCallback routine) { return routine; }
