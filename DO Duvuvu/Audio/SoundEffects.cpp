#include "SoundEffects.h"

#include <AL/al.h>

#include <cstring>
#include <vector>

#include "AudioPrefs.h"
#include "Lists.h"
#include "SoundData.h"

namespace {

// Sounds holding buffers, so the test-only shutdown can delete them.
PtrList<ALSound>* gLoadedSounds;

void NoteLoaded(ALSound* sound) {
  if (!gLoadedSounds) gLoadedSounds = new PtrList<ALSound>();
  if (!gLoadedSounds->FindValue(sound)) gLoadedSounds->AddValue(sound);
}

void NoteEmptied(ALSound* sound) {
  if (!gLoadedSounds || sound->buffer[0] || sound->buffer[1]) return;
  gLoadedSounds->RemoveValue(sound);
  if (gLoadedSounds->Count() == 0) {
    delete gLoadedSounds;
    gLoadedSounds = nullptr;
  }
}

SInt16 Read16(const UInt8* p) {
  SInt16 value;
  std::memcpy(&value, p, 2);
  return value;
}

}  // namespace

ALSound::~ALSound() { DeleteBuffer(this, -1); }

UInt32 ALSound::SetData(ALSound* sound, SInt32 format, const void* data, SInt32 bytes, SInt32 rate, UInt32 slot) {
  if (!sound || slot > 1) return 0;
  if (!sound->buffer[slot]) {
    ALuint name = 0;
    alGetError();
    alGenBuffers(1, &name);
    if (alGetError() != AL_NO_ERROR) {
      sound->buffer[slot] = 0;
      return 0;
    }
    sound->buffer[slot] = name;
    NoteLoaded(sound);
  }
  alGetError();
  alBufferData(sound->buffer[slot], format, data, bytes, rate);
  if (alGetError() == AL_NO_ERROR) return 1;
  alBufferData(sound->buffer[slot], format, data, 0, rate);
  alGetError();
  return 0;
}

UInt32 ALSound::GetBuffer(const ALSound* sound, SInt32 index) {
  return sound->buffer[index == 0 || index == 1 ? index : 0];
}

UInt8 ALSound::LoadSample(ALSound* sound, SoundSample* sample, SInt32 slot, UploadRoutine upload) {
  SoundHeader* header = sample ? sample->Header() : nullptr;
  if (!sound || !header) return 0;
  // The header's own form says where the data lie and how wide they are.
  const SInt32 channels = GetSoundHeaderChannels(header);
  const SInt32 sampleSize = GetSoundHeaderSampleSize(header);
  if ((channels != 1 && channels != 2) || (sampleSize != 8 && sampleSize != 16)) return 0;
  const UInt32 frames = GetSoundHeaderFrames(header);
  const SInt32 rate = static_cast<SInt32>(GetSoundHeaderRate(header) >> 16);
  const UInt8* data = GetSoundHeaderData(header);
  const SInt32 bytes = static_cast<SInt32>(frames * 2);

  std::vector<SInt16> mono;
  const void* upload16 = data;
  if (channels == 2 || sampleSize == 8) {
    mono.resize(frames);
    const size_t step = static_cast<size_t>(channels) * (sampleSize / 8);
    for (UInt32 f = 0; f < frames; ++f) {
      const UInt8* frame = data + f * step;
      SInt32 left, right;
      if (sampleSize == 16) {
        left = Read16(frame);
        right = channels == 2 ? Read16(frame + 2) : left;
      } else {
        left = static_cast<SInt8>(frame[0]) * 256;
        right = channels == 2 ? static_cast<SInt8>(frame[1]) * 256 : left;
      }
      mono[f] = static_cast<SInt16>(channels == 2 ? (left + right) >> 1 : left);
    }
    upload16 = mono.data();
  }
  if (upload) return static_cast<UInt8>(upload(sound, static_cast<UInt32>(slot), AL_FORMAT_MONO16, upload16, bytes, rate));
  return static_cast<UInt8>(SetData(sound, AL_FORMAT_MONO16, upload16, bytes, rate, static_cast<UInt32>(slot)));
}

void ALSound::DeleteBuffer(ALSound* sound, SInt32 slot) {
  if (!sound) return;
  if (slot < 0) {
    DeleteBuffer(sound, 0);
    DeleteBuffer(sound, 1);
    return;
  }
  if (slot > 1 || !sound->buffer[slot]) return;
  const UInt32 buffer = sound->buffer[slot];
  for (int i = 0; i < kMaxPoolSources; ++i) {
    if (gSourcePool.currentBuffer[i] != buffer) continue;
    alSourceStop(gSourcePool.sources[i]);
    alSourcei(gSourcePool.sources[i], AL_BUFFER, 0);
    gSourcePool.currentBuffer[i] = 0;
  }
  alDeleteBuffers(1, &sound->buffer[slot]);
  sound->buffer[slot] = 0;
  NoteEmptied(sound);
}

void ALSound::PlayInRect(ALSound* sound, UInt32 source, const Rect* rect, float gain, float pitch, UInt8 loop) {
  if (!sound) return;
  const Point centre{static_cast<SInt16>((rect->bottom - rect->top) / 2 + rect->top),
                     static_cast<SInt16>((rect->right - rect->left) / 2 + rect->left)};
  PlaySoundAtPoint(GetBuffer(sound, 0), source, &centre, gain, pitch, loop);
}

void PlayBufferOnSource(UInt32 buffer, UInt32 source, SInt32 h, SInt32 v, float gain, float pitch, UInt8 loop) {
  if (!gAudioPrefs.soundOn) return;
  gain = static_cast<float>(gain * gAudioPrefs.soundVolume / 255.0);
  if (gain < 0.0f || gain != gain) gain = 0.0f;
  if (source == 0) return;
  const Rect& field = gSourcePool.soundField;
  const SInt32 width = field.right - field.left;
  const SInt32 height = field.bottom - field.top;
  ALfloat position[3] = {0.0f, 0.0f, 0.0f};
  // Without a field (or a zero-wide one) effects play at the listener.
  if (width != 0) {
    const float halfWidth = static_cast<float>(width) * 0.5f;
    const SInt32 cx = static_cast<SInt32>(width * 0.5);
    const SInt32 cy = static_cast<SInt32>(height * 0.5);
    position[0] = static_cast<float>(h - cx) / halfWidth;
    position[1] = static_cast<float>(v - cy) / halfWidth;
  }
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
  for (int i = 0; i < kMaxPoolSources; ++i) {
    if (gSourcePool.sources[i] == source) gSourcePool.currentBuffer[i] = buffer;
  }
  const ALfloat zero[3] = {0.0f, 0.0f, 0.0f};
  alSourcef(source, AL_PITCH, pitch);
  alSourcef(source, AL_GAIN, gain);
  alSourcefv(source, AL_POSITION, position);
  alSourcefv(source, AL_VELOCITY, zero);
  alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
  alSourcePlay(source);
}

void PlaySoundAtPoint(UInt32 buffer, UInt32 source, const Point* pt, float gain, float pitch, UInt8 loop) {
  PlayBufferOnSource(buffer, source, pt->h, pt->v, gain, pitch, loop);
}

void PlaySoundInRect(UInt32 buffer, UInt32 source, const Rect* rect, float gain, float pitch, UInt8 loop) {
  const SInt32 h = rect->left + (static_cast<SInt32>(rect->right) - rect->left) / 2;
  const SInt32 v = rect->top + (static_cast<SInt32>(rect->bottom) - rect->top) / 2;
  PlayBufferOnSource(buffer, source, h, v, gain, pitch, loop);
}

void DeleteAllSoundBuffers() {
  while (gLoadedSounds && gLoadedSounds->First()) ALSound::DeleteBuffer(gLoadedSounds->First()->value, -1);
}
