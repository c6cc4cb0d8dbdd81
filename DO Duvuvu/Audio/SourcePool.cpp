#include "SourcePool.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alut.h>

#include "Clocks.h"
#include "EarlyChannels.h"
#include "Music.h"
#include "SoundChannels.h"
#include "SoundEffects.h"

SourcePool gSourcePool;

namespace {

UInt8 gOpenALStarted;
constexpr int kSourceAttempts = 10;

}  // namespace

void PlaceDefaultListener() {
  const ALfloat position[3] = {0.0f, 0.0f, 1.0f};
  const ALfloat velocity[3] = {0.0f, 0.0f, 0.0f};
  const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
  alListenerfv(AL_POSITION, position);
  alListenerfv(AL_VELOCITY, velocity);
  alListenerfv(AL_ORIENTATION, orientation);
}

void StartOpenAL() {
  if (gOpenALStarted) return;
  alutInit(nullptr, nullptr);
  PlaceDefaultListener();
  gOpenALStarted = 1;
}

UInt8 IsOpenALStarted() { return gOpenALStarted; }

UInt32 CreateSourcePool() {
  if (gSourcePool.count != 0) return static_cast<UInt32>(gSourcePool.count);
  gSourcePool.count = 0;
  // Without a context nothing can change between attempts, so none waits.
  const bool haveContext = alcGetCurrentContext() != nullptr;
  for (int index = 0; index < kMaxPoolSources; ++index) {
    ALuint source = 0;
    for (int attempt = 0; haveContext && attempt < kSourceAttempts; ++attempt) {
      source = 0;
      alGetError();
      alGenSources(1, &source);
      if (alGetError() == AL_NO_ERROR) break;
      source = 0;
      DelayTicks(1);
    }
    gSourcePool.sources[index] = source;
    gSourcePool.reserved[index] = 0;
    if (source == 0) break;
    gSourcePool.count = index + 1;
  }
  return static_cast<UInt32>(gSourcePool.count);
}

UInt32 GetSourceCount() { return static_cast<UInt32>(gSourcePool.count); }

void StopSource(UInt32 source) { alSourceStop(source); }

void StopAllSources() {
  for (SInt32 i = 0; i < gSourcePool.count; ++i) alSourceStop(gSourcePool.sources[i]);
}

void DeleteSourcePool() {
  for (SInt32 i = gSourcePool.count - 1; i >= 0; --i) {
    alSourceStop(gSourcePool.sources[i]);
    alDeleteSources(1, &gSourcePool.sources[i]);
  }
  gSourcePool.count = 0;
}

void SetSourceReserved(UInt32 index, UInt8 flag) {
  if (index < static_cast<UInt32>(gSourcePool.count)) gSourcePool.reserved[index] = flag;
}

UInt8 IsSourceReserved(UInt32 index) {
  return index < static_cast<UInt32>(gSourcePool.count) ? gSourcePool.reserved[index] : 0;
}

UInt32 FindIdleSource() {
  const SInt32 n = gSourcePool.count;
  if (n < 1) return 0;
  for (SInt32 i = 1; i <= n; ++i) {
    const SInt32 k = (gSourcePool.lastPicked + i) % n;
    if (gSourcePool.reserved[k]) continue;
    ALint state = 0;
    alGetSourcei(gSourcePool.sources[k], AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) {
      gSourcePool.lastPicked = k;
      return gSourcePool.sources[k];
    }
  }
  return 0;
}

UInt32 PickSoundSource(UInt8 preferFree) {
  if (preferFree) {
    const UInt32 idle = FindIdleSource();
    if (idle) return idle;
  }
  const SInt32 n = gSourcePool.count;
  if (n < 1) return 0;
  for (SInt32 i = 1; i <= n; ++i) {
    const SInt32 k = (gSourcePool.lastPicked + i) % n;
    if (gSourcePool.reserved[k]) continue;
    gSourcePool.lastPicked = k;
    return gSourcePool.sources[k];
  }
  return 0;
}

void SetSoundFieldRect(const Rect* rect) { gSourcePool.soundField = *rect; }

void CloseOpenAL() {
  if (!gOpenALStarted && !IsEarlyOpenALStarted()) return;
  alGetError();
  ALCcontext* context = alcGetCurrentContext();
  if (context) alcGetError(alcGetContextsDevice(context));
  alutExit();
  gOpenALStarted = 0;
  ClearEarlyOpenALStarted();
}

void ShutdownAudioForTesting() {
  DeleteSourcePool();
  for (int i = 0; i < kMaxPoolSources; ++i) {
    gSourcePool.sources[i] = 0;
    gSourcePool.currentBuffer[i] = 0;
    gSourcePool.reserved[i] = 0;
  }
  gSourcePool.lastPicked = 0;
  ReleaseStreamPlayersForTesting();
  // A failed dispose still unlinks, except when OpenAL never started.
  while (SoundChannel* chan = GetSoundChannelList()) {
    DisposeSoundChannel(chan);
    if (GetSoundChannelList() == chan) break;
  }
  DisposeAllEarlyChannels();
  DeleteAllSoundBuffers();
  CloseOpenAL();
}
