// The software mixer: voices (SoundInstances) playing converted samples at a
// pitch and volume, mixed into two buffers that a sound channel plays. The
// game never starts it, so its entry points find it stopped.
#pragma once

#include "MacTypes.h"
#include "SoundChannels.h"

struct SoundSample;
struct SoundHeader;

struct SoundInstance {
  SoundSample* sample;  // nil = idle
  const UInt8* sampleStart;
  UInt32 readFrame;
  UInt32 readFraction;  // low 16 bits of the 16.16 read position
  UInt32 endFrame;
  UInt32 loopStart;
  UInt32 loopEnd;  // loopEnd > loopStart = looping
  UInt32 step;      // 16.16 frames per output frame
  UInt32 baseStep;
  UInt16 leftVolume;
  UInt16 rightVolume;
  UInt16 volume;  // 0..256
  UInt8 stereo;
  UInt8 sampleSize;
  UInt8 isNew;
  UInt8 hold;
  UInt16 fadeOut;
  SInt32 declick[4];  // last left, last right, ramp left, ramp total

  static void Start(SoundInstance* instance, SoundSample* sample, UInt32 rate, UInt16 left, UInt16 right,
                    SInt16 note);
  static void SetPointers(SoundInstance* instance, SoundHeader* header);
  static void SetSample(SoundInstance* instance, SoundSample* sample);
  static void ClearDeclick(SoundInstance* instance);
};

struct MixerBuffer {
  SoundCommand command;  // 81 with the buffer's header
  SoundSample* sample;
  UInt8* block;
};

constexpr int kMaxVoices = 8;

void MixerStart();
void MixerStop();
UInt8 IsMixerRunning();
void StopMixerSounds();
void MixerDoubleBack(SoundChannel* chan, SoundCommand* cmd);
OSErr PushSoundCommandFront(SoundChannel* chan, const SoundCommand* cmd);
OSErr DoMixerChannelCommand(SoundChannel* chan, const SoundCommand* cmd);

// Each mixes one buffer of frames (GetMixerFramesPerBuffer) into out.
void MixMono8(void* out);
void MixStereo8(void* out);
void MixMono16(void* out);
void MixStereo16(void* out);
UInt32 GetMixerFramesPerBuffer();

OSErr NewSoundInstance(SoundInstance** out);
OSErr DisposeSoundInstance(SoundInstance* instance);
void CreateVoicePool();
void DisposeVoicePool();
SoundInstance* GetVoice(UInt32 index);
void SetVoiceReserved(UInt32 index, UInt8 flag);

void PlaySampleAtVolume(SoundInstance* instance, SoundSample* sample, UInt16 left, UInt16 right);
void PlaySampleAtNote(SoundInstance* instance, SoundSample* sample, SInt16 note, UInt16 left, UInt16 right);
void PlaySampleAtOctave(SoundInstance* instance, SoundSample* sample, SInt16 octave, UInt16 left, UInt16 right);
void ReleaseSoundInstance(SoundInstance* instance);
SoundInstance* FindVoice();
SoundInstance* FindIdleVoice();

void SetInstancePan(SoundInstance* instance, UInt16 left, UInt16 right);
void SetInstanceVolume(SoundInstance* instance, SInt32 volume);
void SetInstanceHold(SoundInstance* instance, UInt8 hold);
UInt8 IsInstanceActive(const SoundInstance* instance);
SoundSample* GetInstanceSample(const SoundInstance* instance);

void SetMixerDelayLevels(UInt32 delay, SInt8 level, UInt32 delay2, SInt8 level2);
void RescaleMixerDelays();
// The stored and rescaled echo pairs, for tests.
struct MixerDelays {
  UInt32 delay[2];
  SInt8 level[2];
  UInt32 scaledDelay[2];
  SInt32 scaledLevel[2];
};
MixerDelays GetMixerDelays();

void RecycleMixerBuffer(SoundChannel* chan, SoundCommand* cmd);
MixerBuffer* GetMixerBuffer(SoundSample* sample);

// Folds the note into 48..71 against the mixer rate.
SInt32 NoteToRate(SInt16 note);

// Used by SoundSample: every instance of the list, or the voice slots, that
// plays the sample lets go of it.
void ReleaseMixerInstancesOf(SoundSample* sample);
void ReleaseMixerVoicesOf(SoundSample* sample);
// The mixer's lists (InitAudioGlobals and its exit).
void InitMixerLists();
void ExitMixerLists();
