#include "GameSound.h"

#include <AL/al.h>

#include <cstdio>
#include <cstring>

#include "Bundle.h"
#include "SoundData.h"
#include "SourcePool.h"

namespace {

struct SinkSlot {
  GameSoundSink sink;
  void* context;
};
SinkSlot gSink;

// The game has 23 sound objects; room to spare for the tests' own.
constexpr int kNameSlots = 48;
struct SoundName {
  const ALSound* sound;
  char name[32];
};
SoundName gNames[kNameSlots];

void RememberName(const ALSound* sound, const char* name) {
  SoundName* freeSlot = nullptr;
  for (SoundName& entry : gNames) {
    if (entry.sound == sound) {
      freeSlot = &entry;
      break;
    }
    if (!entry.sound && !freeSlot) freeSlot = &entry;
  }
  if (!freeSlot) return;
  freeSlot->sound = sound;
  std::snprintf(freeSlot->name, sizeof freeSlot->name, "%s", name);
}

}  // namespace

void PlayGameSoundRequest(const GameSoundRequest& request) {
  PlaySoundAtPoint(ALSound::GetBuffer(request.sound, 0), request.source, &request.point, request.volume,
                   request.pitch, request.loop);
}

void SetGameSoundSink(GameSoundSink sink, void* context) {
  gSink.sink = sink;
  gSink.context = context;
}

GameSoundSink GetGameSoundSink(void** context) {
  if (context) *context = gSink.context;
  return gSink.sink;
}

void PlayGameSound(ALSound* sound, UInt32 source, const Rect* rect, float volume, float pitch, UInt8 loop) {
  const Rect& r = rect ? *rect : gSourcePool.soundField;
  GameSoundRequest request;
  request.sound = sound;
  request.source = source;
  request.point.v = static_cast<SInt16>(r.top + (r.bottom - r.top) / 2);
  request.point.h = static_cast<SInt16>(r.left + (r.right - r.left) / 2);
  request.volume = volume;
  request.pitch = pitch;
  request.loop = loop;
  if (gSink.sink) {
    gSink.sink(request, gSink.context);
  } else {
    PlayGameSoundRequest(request);
  }
}

UInt32 GetGameSource() { return PickSoundSource(1); }

UInt32 GetIdleSource() { return FindIdleSource(); }

SInt16 LoadSound(ALSound* sound, const char* name) {
  RememberName(sound, name);
  char resources[kPathBufferSize];
  GetBundleResourcesPath(resources, sizeof resources);
  const char* sep = GetPathSeparatorString();
  char path[kPathBufferSize + 64];
  std::snprintf(path, sizeof path, "%s%sAudio%s%s.ogg", resources, sep, sep, name);
  SoundSample sample;  // released on every path by its destructor
  const SInt32 status = LoadOggSound(&sample, path);
  if (status == 0) ALSound::LoadSample(sound, &sample, 0, nullptr);
  return static_cast<SInt16>(status);
}

void DeleteGameSound(ALSound* sound) {
  if (sound) ALSound::DeleteBuffer(sound, -1);
}

void StopGameSource(UInt32 source) { alSourceStop(source); }

void SetGameSourcePaused(UInt32 source, UInt8 command) {
  if (command == 0) {
    alSourcePlay(source);
  } else if (command == 1) {
    alSourcePause(source);
  }
}

void SetGameSourceVolume(UInt32 source, UInt8 volume) { alSourcef(source, AL_GAIN, volume / 255.0f); }

UInt8 GameSoundLoaded(const ALSound* sound) { return sound && (sound->buffer[0] || sound->buffer[1]) ? 1 : 0; }

UInt8 SourcePlaysGameSound(UInt32 source, const ALSound* sound) {
  if (!sound) return 0;
  ALint current = 0;
  alGetSourcei(source, AL_BUFFER, &current);
  const UInt32 buffer = static_cast<UInt32>(current);
  return buffer != 0 && (buffer == sound->buffer[0] || buffer == sound->buffer[1]) ? 1 : 0;
}

const char* GameSoundName(const ALSound* sound) {
  for (const SoundName& entry : gNames) {
    if (sound && entry.sound == sound) return entry.name;
  }
  return "";
}

void ClearGameSoundNames() { std::memset(gNames, 0, sizeof gNames); }
