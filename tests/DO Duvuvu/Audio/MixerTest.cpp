#include <gtest/gtest.h>

#include <AL/al.h>

#include <cstring>
#include <vector>

#include "AudioPrefs.h"
#include "AudioTestSupport.h"
#include "Clocks.h"
#include "EarlyChannels.h"
#include "Memory.h"
#include "Mixer.h"
#include "SoundData.h"

namespace {

using audiotest::AudioTest;

class MixerTest : public AudioTest {};

TEST_F(MixerTest, NoteToRateTable) {
  const std::vector<std::pair<SInt16, SInt32>> cases = {
      {60, 44100}, {48, 22050}, {36, 11025}, {61, 46723}, {59, 41625}, {73, 93447}, {72, 88200}};
  for (auto [note, rate] : cases) EXPECT_EQ(NoteToRate(note), rate) << note;
  gAudioPrefs.sampleRate = 0;
  EXPECT_EQ(NoteToRate(60), 0);
}

TEST_F(MixerTest, StoppedRoutinesDoNothing) {
  ASSERT_FALSE(IsMixerRunning());
  std::vector<UInt8> out(64, 0xAB);
  MixMono16(out.data());
  MixStereo8(out.data());
  EXPECT_EQ(out, std::vector<UInt8>(64, 0xAB));
  StopMixerSounds();
  SoundSample sample;
  EXPECT_EQ(GetMixerBuffer(&sample), nullptr);
  SoundInstance* instance = nullptr;
  ASSERT_EQ(NewSoundInstance(&instance), 0);
  PlaySampleAtVolume(instance, &sample, 256, 256);
  EXPECT_FALSE(IsInstanceActive(instance));
  EXPECT_EQ(DisposeSoundInstance(instance), 0);
  EXPECT_EQ(DisposeSoundInstance(nullptr), 1);
  SetMixerDelayLevels(10000, 50, 0, 0);
  const MixerDelays delays = GetMixerDelays();
  EXPECT_EQ(delays.delay[0], 10000u);
  EXPECT_EQ(delays.level[0], 50);
  EXPECT_EQ(delays.scaledDelay[0], 0u);
}

// A converted 16-bit mono sample of the given values.
void MakeSample(SoundSample* sample, const std::vector<SInt16>& values) {
  Ptr block = NewPtrBlockClear_Audio(68 + static_cast<SInt32>(values.size() * 2));
  auto* header = reinterpret_cast<SoundHeader*>(block);
  block[soundheader::kEncode] = static_cast<char>(kExtSoundHeader);
  soundheader::Set32(header, soundheader::kChannels, 1);
  soundheader::Set32(header, soundheader::kRate, kRate44100);
  soundheader::Set32(header, soundheader::kFrames, static_cast<UInt32>(values.size()));
  soundheader::Set16(header, soundheader::kSampleSize, 16);
  std::memcpy(block + 68, values.data(), values.size() * 2);
  sample->command.param2 = reinterpret_cast<uintptr_t>(header);
}

TEST_F(MixerTest, VoicesAndOneMixPass) {
  MixerStart();
  ASSERT_TRUE(IsMixerRunning());
  const UInt32 frames = GetMixerFramesPerBuffer();
  ASSERT_EQ(frames, 8192u);

  // Voice hand-out: the last idle voice, counting down.
  EXPECT_EQ(FindIdleVoice(), GetVoice(7));
  SoundSample sample;
  MakeSample(&sample, {1000, -2000, 3000, 4000});
  PlaySampleAtVolume(GetVoice(7), &sample, 256, 128);
  EXPECT_EQ(sample.useCount, 1);
  EXPECT_EQ(FindIdleVoice(), GetVoice(6));
  SetVoiceReserved(6, 1);
  EXPECT_EQ(FindVoice(), GetVoice(5));

  std::vector<SInt16> out(frames * 2, 99);
  MixStereo16(out.data());
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[1], 500);
  EXPECT_EQ(out[2], -2000);
  EXPECT_EQ(out[3], -1000);
  EXPECT_EQ(out[6], 4000);
  EXPECT_EQ(out[7], 2000);
  EXPECT_EQ(out[8], 0);  // ended
  EXPECT_FALSE(IsInstanceActive(GetVoice(7)));
  EXPECT_EQ(sample.useCount, 0);

  SetMixerDelayLevels(10000, 50, 0, 0);
  EXPECT_EQ(GetMixerDelays().scaledLevel[0], 128);
  MixerStop();
  EXPECT_FALSE(IsMixerRunning());
  SoundSample::Dispose(&sample);
}

TEST_F(MixerTest, NoteStepAndInstanceSettings) {
  SoundSample sample;
  MakeSample(&sample, std::vector<SInt16>(100, 5));
  SoundInstance* instance = nullptr;
  ASSERT_EQ(NewSoundInstance(&instance), 0);
  SoundInstance::Start(instance, &sample, kRate44100, 10, 20, 72);
  EXPECT_EQ(instance->baseStep, 0x10000u);
  EXPECT_EQ(instance->step, 0x20000u);
  SetInstanceVolume(instance, 900);
  EXPECT_EQ(instance->volume, 256);
  SetInstanceVolume(instance, -5);
  EXPECT_EQ(instance->volume, 0);
  EXPECT_EQ(GetInstanceSample(instance), &sample);
  DisposeSoundInstance(instance);
  EXPECT_EQ(sample.useCount, 0);
  SoundSample::Dispose(&sample);
}

class EarlyLayerTest : public AudioTest {};

TEST_F(EarlyLayerTest, VersionStubsAndCommands) {
  EXPECT_EQ(EarlySoundVersion(), 0x03800000u);
  for (EarlySoundStub stub : kEarlySoundStubs) EXPECT_EQ(stub(), 0);
  EarlySoundChannel* chan = nullptr;
  EXPECT_EQ(EarlyNewSoundChannel(&chan, 3, 0, nullptr), -1);
  ASSERT_EQ(EarlyNewSoundChannel(&chan, 5, 0, nullptr), 0);
  const SoundCommand volume{kVolumeCmd, 0, 0};
  EarlyDoSoundCommand(chan, &volume);
  EXPECT_EQ(chan->current.code, 0);

  // A second of sound or more, so it still plays after the four services
  // however slowly a loaded machine runs them.
  constexpr UInt32 kBytes = 4 * 44100;
  for (SInt16 channels : {1, 2}) {
    Handle resource = NewHandleBlockClear_Audio(6 + 64 + kBytes);
    UInt16 dataStart = 0;
    ASSERT_EQ(EarlySetupSoundHeader(resource, channels, kRate44100, 16, 0, 60, kBytes, &dataStart), 0);
    EXPECT_EQ(dataStart, 70);
    for (int i = 0; i < 4000; ++i) {
      const SInt16 v = static_cast<SInt16>(i * 8);
      std::memcpy(*resource + dataStart + 2 * i, &v, 2);
    }
    const SoundCommand play{kBufferCmd, 0, reinterpret_cast<uintptr_t>(*resource + 6)};
    EarlyDoSoundCommand(chan, &play);
    alGetError();
    for (int pass = 0; pass < 4; ++pass) {
      EarlyServiceSoundChannels();
      DelayTicks(1);
    }
    EXPECT_EQ(alGetError(), AL_NO_ERROR) << channels;
    ALint state = 0;
    alGetSourcei(chan->source->source, AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_PLAYING) << channels;
    const SoundCommand quiet{kQuietCmd, 0, 0};
    EarlyDoSoundCommand(chan, &quiet);
    EarlyServiceSoundChannels();
    DisposeHandleBlock_Audio(resource);
  }
  EXPECT_EQ(EarlyDisposeSoundChannel(chan), 0);
}

}  // namespace
