#include "Mixer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "AudioPrefs.h"
#include "Lists.h"
#include "Memory.h"
#include "ResultCodes.h"
#include "SoundData.h"

namespace {

struct MixerState {
  UInt8 running;
  SoundChannel* channel;
  UInt8 formatCode;
  void (*mix)(void* out);
  UInt8 divisor;  // 44100 / "Sample Rate"
  UInt32 frames;  // per output buffer
  SInt32* accumulation;
  UInt8* output[2];  // each a 68-byte header and its frames
  UInt8 ready[2];
  UInt8 playing;
  UInt8* silence;  // header and 8192 silent bytes
  UInt8 busy;
  UInt8 cycle;
  MixerDelays delays;
  SoundInstance* voices[kMaxVoices];
  UInt8 voiceReserved[kMaxVoices];
  UInt8 voiceCursor;
};

MixerState gMixer;
PtrList<SoundInstance>* gInstanceList;
PtrList<MixerBuffer>* gBufferList;

constexpr UInt32 kSilenceBytes = 8192;

PtrList<SoundInstance>* InstanceList() {
  if (!gInstanceList) gInstanceList = new PtrList<SoundInstance>();
  return gInstanceList;
}

PtrList<MixerBuffer>* BufferList() {
  if (!gBufferList) gBufferList = new PtrList<MixerBuffer>();
  return gBufferList;
}

UInt32 VoiceCount() { return std::clamp<UInt32>(gAudioPrefs.numChannels, 1, kMaxVoices); }

UInt32 MixerRate() { return gAudioPrefs.sampleRate >> 16; }

UInt32 FrameBytes(const SoundInstance* instance) {
  return (instance->stereo ? 2u : 1u) * (instance->sampleSize == 8 ? 1u : 2u);
}

// One channel's value of the instance's current frame, as 16-bit.
SInt32 InstanceSample(const SoundInstance* instance, int channel) {
  const UInt8* frame = instance->sampleStart + static_cast<size_t>(instance->readFrame) * FrameBytes(instance);
  const int c = instance->stereo ? channel : 0;
  if (instance->sampleSize == 8) return static_cast<SInt32>(static_cast<SInt8>(frame[c])) << 8;
  SInt16 value;
  std::memcpy(&value, frame + 2 * c, 2);
  return value;
}

// Steps the instance one output frame; false once it has ended.
bool AdvanceInstance(SoundInstance* instance) {
  const UInt32 position = instance->readFraction + instance->step;
  instance->readFrame += position >> 16;
  instance->readFraction = position & 0xFFFF;
  if (instance->loopEnd > instance->loopStart) {
    while (instance->readFrame >= instance->loopEnd)
      instance->readFrame -= instance->loopEnd - instance->loopStart;
    return true;
  }
  return instance->readFrame < instance->endFrame;
}

// Sums every voice not on hold into the accumulation block (left, right).
void Accumulate(bool stereoOut) {
  const UInt32 frames = gMixer.frames;
  std::memset(gMixer.accumulation, 0, sizeof(SInt32) * 2 * frames);
  gMixer.cycle = static_cast<UInt8>((gMixer.cycle + 1) % 5);
  const SInt32 rampLength = std::max<SInt32>(1, static_cast<SInt32>(MixerRate() * 16 / 44100));
  for (PtrNode<SoundInstance>* node = InstanceList()->First(); node; node = node->next) {
    SoundInstance* instance = node->value;
    if (instance->hold) continue;
    if (!instance->sample) {
      // A voice that ended ramps its last value down instead of clicking.
      if (gAudioPrefs.smoothing && instance->declick[2] > 0) {
        for (UInt32 f = 0; f < frames && instance->declick[2] > 0; ++f, --instance->declick[2]) {
          for (int c = 0; c < 2; ++c)
            gMixer.accumulation[2 * f + c] += instance->declick[c] * instance->declick[2] / instance->declick[3];
        }
      }
      continue;
    }
    const SInt32 left = instance->leftVolume * instance->volume >> 8;
    const SInt32 right = instance->rightVolume * instance->volume >> 8;
    const SInt32 both = (instance->leftVolume + instance->rightVolume) / 2 * instance->volume >> 8;
    for (UInt32 f = 0; f < frames; ++f) {
      const SInt32 l = InstanceSample(instance, 0);
      const SInt32 r = InstanceSample(instance, 1);
      if (stereoOut) {
        gMixer.accumulation[2 * f] += l * left >> 8;
        gMixer.accumulation[2 * f + 1] += r * right >> 8;
      } else {
        gMixer.accumulation[2 * f] += (l + r) / 2 * both >> 8;
      }
      instance->declick[0] = l * left >> 8;
      instance->declick[1] = r * right >> 8;
      if (!AdvanceInstance(instance)) {
        instance->declick[2] = instance->declick[3] = rampLength;
        ReleaseSoundInstance(instance);
        break;
      }
    }
  }
}

template <bool Stereo, int Bits>
void MixInto(void* out) {
  if (!gMixer.running || !out) return;
  Accumulate(Stereo);
  auto* bytes = static_cast<UInt8*>(out);
  const int channels = Stereo ? 2 : 1;
  for (UInt32 f = 0; f < gMixer.frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      const SInt32 value = std::clamp(gMixer.accumulation[2 * f + c], -32768, 32767);
      const size_t index = static_cast<size_t>(f) * channels + c;
      if constexpr (Bits == 8) {
        bytes[index] = static_cast<UInt8>((value >> 8) + 128);
      } else {
        const SInt16 v = static_cast<SInt16>(value);
        std::memcpy(bytes + 2 * index, &v, 2);
      }
    }
  }
}

UInt8* NewMixerHeaderBlock(UInt32 dataBytes, UInt8 channels, UInt8 sampleSize, UInt8 fill) {
  Ptr block = NewPtrBlockClear_Audio(kExtSoundHeaderSize + dataBytes);
  if (!block) return nullptr;
  auto* header = reinterpret_cast<SoundHeader*>(block);
  reinterpret_cast<UInt8*>(block)[soundheader::kEncode] = kExtSoundHeader;
  soundheader::Set32(header, soundheader::kChannels, channels);
  soundheader::Set32(header, soundheader::kRate, gAudioPrefs.sampleRate);
  soundheader::Set32(header, soundheader::kFrames, dataBytes / channels / (sampleSize / 8));
  soundheader::Set16(header, soundheader::kSampleSize, sampleSize);
  std::memset(block + kExtSoundHeaderSize, fill, dataBytes);
  return reinterpret_cast<UInt8*>(block);
}

void ReleaseMixerBlocks() {
  DisposePtrBlock_Audio(gMixer.accumulation);
  DisposePtrBlock_Audio(gMixer.output[0]);
  DisposePtrBlock_Audio(gMixer.output[1]);
  DisposePtrBlock_Audio(gMixer.silence);
  gMixer.accumulation = nullptr;
  gMixer.output[0] = gMixer.output[1] = gMixer.silence = nullptr;
}

}  // namespace

UInt8 IsMixerRunning() { return gMixer.running; }
UInt32 GetMixerFramesPerBuffer() { return gMixer.frames; }

void MixMono8(void* out) { MixInto<false, 8>(out); }
void MixStereo8(void* out) { MixInto<true, 8>(out); }
void MixMono16(void* out) { MixInto<false, 16>(out); }
void MixStereo16(void* out) { MixInto<true, 16>(out); }

void MixerStart() {
  MixerStop();
  if (!gAudioPrefs.soundOn || gMixer.running) return;
  CreateVoicePool();
  SoundChannel* chan = nullptr;
  if (NewSoundChannel(&chan, 5, 0, MixerDoubleBack) != 0) {
    DisposeVoicePool();
    return;
  }
  gMixer.channel = chan;
  const UInt8 channels = gAudioPrefs.stereo ? 2 : 1;
  const UInt8 size = gAudioPrefs.sampleSize == 8 ? 8 : 16;
  SetOutputFormatCode(&gAudioPrefs);
  gMixer.formatCode = gAudioPrefs.outputFormatCode;
  static void (*const routines[4])(void*) = {MixMono8, MixStereo8, MixMono16, MixStereo16};
  gMixer.mix = routines[gMixer.formatCode & 3];
  const UInt32 rate = std::max<UInt32>(1, MixerRate());
  gMixer.divisor = static_cast<UInt8>(std::clamp<UInt32>(44100 / rate, 1, 255));
  gMixer.frames = 8192 / gMixer.divisor / (channels == 1 ? 2 : 1);
  const UInt32 bytes = gMixer.frames * channels * (size / 8);
  gMixer.accumulation = reinterpret_cast<SInt32*>(NewPtrBlockClear_Audio(gMixer.frames * 64));
  gMixer.output[0] = NewMixerHeaderBlock(bytes, channels, size, 0);
  gMixer.output[1] = NewMixerHeaderBlock(bytes, channels, size, 0);
  gMixer.silence = NewMixerHeaderBlock(kSilenceBytes, channels, size, size == 8 ? 128 : 0);
  if (!gMixer.accumulation || !gMixer.output[0] || !gMixer.output[1] || !gMixer.silence) {
    ReleaseMixerBlocks();
    DisposeSoundChannel(chan);
    gMixer.channel = nullptr;
    DisposeVoicePool();
    return;
  }
  gMixer.running = 1;
  gMixer.ready[0] = gMixer.ready[1] = 0;
  gMixer.playing = 0;
  const SoundCommand play{kBufferCmd, 0, reinterpret_cast<uintptr_t>(gMixer.silence)};
  const SoundCommand callback{kCallBackCmd, 0, 0};
  QueueSoundCommand(chan, &play, 1);
  QueueSoundCommand(chan, &callback, 1);
  RescaleMixerDelays();
}

void MixerStop() {
  if (!gMixer.running) return;
  StopMixerSounds();
  DisposeVoicePool();
  const SoundCommand quiet{kQuietCmd, 0, 0};
  DoMixerChannelCommand(gMixer.channel, &quiet);
  DisposeSoundChannel(gMixer.channel);
  gMixer.channel = nullptr;
  ReleaseMixerBlocks();
  gMixer.running = 0;
}

void StopMixerSounds() {
  if (!gMixer.running) return;
  for (PtrNode<SoundInstance>* node = InstanceList()->First(); node; node = node->next)
    ReleaseSoundInstance(node->value);
}

void MixerDoubleBack(SoundChannel* chan, SoundCommand* /*cmd*/) {
  if (!gMixer.running || !chan) return;
  const UInt8 finished = gMixer.playing;
  const UInt8 other = static_cast<UInt8>(1 - finished);
  gMixer.ready[finished] = 0;
  const UInt8* next = gMixer.silence;
  if (gMixer.ready[other]) {
    next = gMixer.output[other];
    gMixer.playing = other;
  }
  // No other thread fills buffers, so the finished one is mixed at once.
  gMixer.mix(gMixer.output[finished] + kExtSoundHeaderSize);
  gMixer.ready[finished] = 1;
  const SoundCommand callback{kCallBackCmd, 0, 0};
  const SoundCommand play{kBufferCmd, 0, reinterpret_cast<uintptr_t>(next)};
  PushSoundCommandFront(chan, &callback);
  PushSoundCommandFront(chan, &play);
}

OSErr PushSoundCommandFront(SoundChannel* chan, const SoundCommand* cmd) {
  const SInt16 length = chan->queueLength;
  if (length < 1) return kErrBadChannel;
  if (chan->head == -1) {
    chan->head = chan->tail;
    chan->queue[chan->head] = *cmd;
    chan->tail = static_cast<SInt16>((chan->tail + 1) % length);
    return 0;
  }
  if (chan->head == chan->tail) return kErrQueueFull;
  chan->head = static_cast<SInt16>((chan->head - 1 + length) % length);
  chan->queue[chan->head] = *cmd;
  return 0;
}

OSErr DoMixerChannelCommand(SoundChannel* chan, const SoundCommand* cmd) {
  if (!chan) return kErrFailed;
  if ((cmd->code == kQuietCmd || cmd->code == kFlushCmd) && chan->callback == MixerDoubleBack) return 0;
  return DoSoundCommand(chan, cmd);
}

OSErr NewSoundInstance(SoundInstance** out) {
  auto* instance = new (std::nothrow) SoundInstance{};
  *out = instance;
  if (!instance) return kErrFailed;
  InstanceList()->AddValue(instance);
  return 0;
}

OSErr DisposeSoundInstance(SoundInstance* instance) {
  if (!instance) return 1;
  ReleaseSoundInstance(instance);
  InstanceList()->RemoveValue(instance);
  delete instance;
  return 0;
}

void CreateVoicePool() {
  if (gMixer.voices[0]) return;
  for (UInt32 i = 0; i < VoiceCount(); ++i) {
    NewSoundInstance(&gMixer.voices[i]);
    gMixer.voiceReserved[i] = 0;
  }
  gMixer.voiceCursor = 0;
}

void DisposeVoicePool() {
  for (SoundInstance*& voice : gMixer.voices) {
    DisposeSoundInstance(voice);
    voice = nullptr;
  }
}

SoundInstance* GetVoice(UInt32 index) { return index < kMaxVoices ? gMixer.voices[index] : nullptr; }

void SetVoiceReserved(UInt32 index, UInt8 flag) {
  if (index < kMaxVoices) gMixer.voiceReserved[index] = flag;
}

SoundInstance* FindIdleVoice() {
  for (SInt32 i = static_cast<SInt32>(VoiceCount()) - 1; i >= 0; --i) {
    SoundInstance* voice = gMixer.voices[i];
    if (voice && !gMixer.voiceReserved[i] && !voice->sample) return voice;
  }
  return nullptr;
}

SoundInstance* FindVoice() {
  if (SoundInstance* idle = FindIdleVoice()) return idle;
  const UInt32 count = VoiceCount();
  for (UInt32 i = 1; i <= count; ++i) {
    const UInt32 k = (gMixer.voiceCursor + i) % count;
    if (gMixer.voiceReserved[k] || !gMixer.voices[k]) continue;
    gMixer.voiceCursor = static_cast<UInt8>(k);
    return gMixer.voices[k];
  }
  return nullptr;
}

void ReleaseSoundInstance(SoundInstance* instance) {
  if (!instance || !instance->sample) return;
  if (instance->sample->useCount) --instance->sample->useCount;
  instance->sample = nullptr;
}

void SoundInstance::SetPointers(SoundInstance* instance, SoundHeader* header) {
  instance->sampleStart = GetSoundHeaderData(header);
  instance->sampleSize = static_cast<UInt8>(GetSoundHeaderSampleSize(header));
  instance->stereo = GetSoundHeaderChannels(header) == 2;
  instance->endFrame = GetSoundHeaderFrames(header);
  instance->readFrame = 0;
  instance->readFraction = 0;
  const UInt32 loopStart = header ? soundheader::Get32(header, soundheader::kLoopStart) : 0;
  const UInt32 loopEnd = header ? soundheader::Get32(header, soundheader::kLoopEnd) : 0;
  if (loopEnd > loopStart && loopEnd <= instance->endFrame) {
    instance->loopStart = loopStart;
    instance->loopEnd = loopEnd;
  } else {
    instance->loopStart = instance->loopEnd = instance->endFrame;
  }
}

void SoundInstance::Start(SoundInstance* instance, SoundSample* sample, UInt32 rate, UInt16 left, UInt16 right,
                          SInt16 note) {
  ReleaseSoundInstance(instance);
  if (!sample || !sample->Header() || !instance) return;
  ++sample->useCount;
  instance->sample = sample;
  SetPointers(instance, sample->Header());
  instance->leftVolume = left;
  instance->rightVolume = right;
  instance->volume = 256;
  instance->isNew = 1;
  const UInt64 headerRate = GetSoundHeaderRate(sample->Header());
  instance->baseStep = rate ? static_cast<UInt32>((headerRate << 16) / rate) : 0;
  instance->step = instance->baseStep;
  const UInt32 mixerRate = MixerRate();
  if (note != 60 && mixerRate)
    instance->step = static_cast<UInt32>(static_cast<UInt64>(instance->baseStep) * NoteToRate(note) / mixerRate);
}

void SoundInstance::SetSample(SoundInstance* instance, SoundSample* sample) { instance->sample = sample; }

void SoundInstance::ClearDeclick(SoundInstance* instance) {
  std::memset(instance->declick, 0, sizeof instance->declick);
}

void PlaySampleAtVolume(SoundInstance* instance, SoundSample* sample, UInt16 left, UInt16 right) {
  if (!gMixer.running) return;
  SoundInstance::Start(instance, sample, gAudioPrefs.sampleRate, left, right, 60);
}

void PlaySampleAtNote(SoundInstance* instance, SoundSample* sample, SInt16 note, UInt16 left, UInt16 right) {
  if (!gMixer.running) return;
  SoundInstance::Start(instance, sample, gAudioPrefs.sampleRate, left, right, note);
}

void PlaySampleAtOctave(SoundInstance* instance, SoundSample* sample, SInt16 octave, UInt16 left, UInt16 right) {
  PlaySampleAtNote(instance, sample, static_cast<SInt16>(72 - 12 * octave), left, right);
}

void SetInstancePan(SoundInstance* instance, UInt16 left, UInt16 right) {
  instance->leftVolume = left;
  instance->rightVolume = right;
}

void SetInstanceVolume(SoundInstance* instance, SInt32 volume) {
  instance->volume = static_cast<UInt16>(std::clamp(volume, 0, 256));
}

void SetInstanceHold(SoundInstance* instance, UInt8 hold) { instance->hold = hold; }
UInt8 IsInstanceActive(const SoundInstance* instance) { return instance && instance->sample; }
SoundSample* GetInstanceSample(const SoundInstance* instance) { return instance ? instance->sample : nullptr; }

void SetMixerDelayLevels(UInt32 delay, SInt8 level, UInt32 delay2, SInt8 level2) {
  gMixer.delays.delay[0] = delay;
  gMixer.delays.level[0] = level;
  gMixer.delays.delay[1] = delay2;
  gMixer.delays.level[1] = level2;
  RescaleMixerDelays();
}

void RescaleMixerDelays() {
  if (!gMixer.running) return;
  for (int i = 0; i < 2; ++i) {
    gMixer.delays.scaledDelay[i] = gMixer.delays.delay[i] / std::max<UInt8>(1, gMixer.divisor);
    gMixer.delays.scaledLevel[i] = gMixer.delays.level[i] * 256 / 100;
  }
}

MixerDelays GetMixerDelays() { return gMixer.delays; }

void RecycleMixerBuffer(SoundChannel* /*chan*/, SoundCommand* cmd) {
  if (!gMixer.running || !cmd) return;
  for (PtrNode<MixerBuffer>* node = BufferList()->First(); node; node = node->next) {
    if (node->value->command.param2 == cmd->param2) node->value->sample = nullptr;
  }
  gMixer.busy = 0;
}

MixerBuffer* GetMixerBuffer(SoundSample* sample) {
  if (!gMixer.running || !sample || !sample->Header()) return nullptr;
  for (PtrNode<MixerBuffer>* node = BufferList()->First(); node; node = node->next) {
    if (node->value->sample == sample) return node->value;
  }
  auto* buffer = new (std::nothrow) MixerBuffer{};
  if (!buffer) return nullptr;
  buffer->sample = sample;
  buffer->command = {kBufferCmd, 0, reinterpret_cast<uintptr_t>(sample->Header())};
  BufferList()->AddValue(buffer);
  return buffer;
}

SInt32 NoteToRate(SInt16 note) {
  static const double kBelow[12] = {0.5,    0.5297, 0.5612, 0.5946, 0.63,   0.6674,
                                    0.7071, 0.7491, 0.7937, 0.8409, 0.8909, 0.9439};
  static const double kAbove[12] = {1.0,    1.0595, 1.1224, 1.1892, 1.2599, 1.3348,
                                    1.4142, 1.4983, 1.5874, 1.6818, 1.7818, 1.8877};
  const double base = MixerRate();
  if (base == 0) return 0;
  SInt32 n = note;
  double octave = 1.0;
  while (n > 71) {
    n -= 12;
    octave *= 2.0;
  }
  while (n < 48) {
    n += 12;
    octave *= 2.0;
  }
  if (n < 60) return static_cast<SInt32>(base * kBelow[n - 48] / octave);
  return static_cast<SInt32>(base * kAbove[n - 60] * octave);
}

void ReleaseMixerInstancesOf(SoundSample* sample) {
  if (!gInstanceList) return;
  for (PtrNode<SoundInstance>* node = gInstanceList->First(); node; node = node->next) {
    if (node->value->sample == sample) ReleaseSoundInstance(node->value);
  }
}

void ReleaseMixerVoicesOf(SoundSample* sample) {
  for (SoundInstance* voice : gMixer.voices) {
    if (voice && voice->sample == sample) ReleaseSoundInstance(voice);
  }
}

void InitMixerLists() {
  InstanceList();
  BufferList();
}

void ExitMixerLists() {
  MixerStop();
  DisposeVoicePool();
  if (gBufferList) {
    while (PtrNode<MixerBuffer>* node = gBufferList->RemoveFirst()) {
      delete node->value;
      delete node;
    }
    delete gBufferList;
    gBufferList = nullptr;
  }
  if (gInstanceList) {
    while (PtrNode<SoundInstance>* node = gInstanceList->RemoveFirst()) {
      ReleaseSoundInstance(node->value);
      delete node->value;
      delete node;
    }
    delete gInstanceList;
    gInstanceList = nullptr;
  }
}
