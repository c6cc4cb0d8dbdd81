#include <gtest/gtest.h>

#include <AL/al.h>

#include <cstring>
#include <vector>

#include "AudioPrefs.h"
#include "AudioTestSupport.h"
#include "Memory.h"
#include "SoundData.h"
#include "SoundEffects.h"
#include "SourcePool.h"
#include "TestSupport.h"

namespace {

using audiotest::AudioTest;

class SoundEffectsTest : public AudioTest {
 protected:
  void SetUp() override {
    AudioTest::SetUp();
    StartOpenAL();
    ASSERT_EQ(CreateSourcePool(), 16u);
    const Rect field{0, 0, 480, 640};
    SetSoundFieldRect(&field);
  }
};

struct Upload {
  SInt32 format = 0;
  std::vector<SInt16> samples;
  SInt32 rate = 0;
};
Upload gUpload;

UInt32 RecordUpload(ALSound*, UInt32, SInt32 format, const void* data, SInt32 bytes, SInt32 rate) {
  gUpload.format = format;
  gUpload.rate = rate;
  gUpload.samples.assign(static_cast<const SInt16*>(data), static_cast<const SInt16*>(data) + bytes / 2);
  return 1;
}

// A converted sample made by hand: header form and samples as given.
void SetHeader(SoundSample* sample, UInt8 encode, UInt32 channels, UInt32 frames, UInt16 size,
               const std::vector<UInt8>& data) {
  const SInt32 headerSize = encode == kStdSoundHeader ? 22 : 68;
  Ptr block = NewPtrBlockClear_Audio(headerSize + static_cast<SInt32>(data.size()));
  auto* header = reinterpret_cast<SoundHeader*>(block);
  soundheader::Set32(header, soundheader::kRate, kRate22050);
  reinterpret_cast<UInt8*>(block)[soundheader::kEncode] = encode;
  if (encode == kStdSoundHeader) {
    soundheader::Set32(header, soundheader::kLength, frames);
  } else {
    soundheader::Set32(header, soundheader::kChannels, channels);
    soundheader::Set32(header, soundheader::kFrames, frames);
    soundheader::Set16(header, soundheader::kSampleSize, size);
  }
  std::memcpy(block + headerSize, data.data(), data.size());
  sample->command.param2 = reinterpret_cast<uintptr_t>(header);
  GetSoundSampleList()->AddValue(sample);
}

TEST_F(SoundEffectsTest, LoadSampleUploadsMono16) {
  {
    SoundSample sample;
    const std::vector<SInt16> frames = {-3, 0, 10, 20, -100, 50, 7, 8};
    std::vector<UInt8> bytes(16);
    std::memcpy(bytes.data(), frames.data(), 16);
    SetHeader(&sample, kExtSoundHeader, 2, 4, 16, bytes);
    ALSound sound;
    EXPECT_EQ(ALSound::LoadSample(&sound, &sample, 0, RecordUpload), 1);
    EXPECT_EQ(gUpload.format, AL_FORMAT_MONO16);
    EXPECT_EQ(gUpload.rate, 22050);
    EXPECT_EQ(gUpload.samples, (std::vector<SInt16>{-2, 15, -25, 7}));
  }
  for (UInt8 encode : {kStdSoundHeader, kExtSoundHeader}) {
    SoundSample sample;
    SetHeader(&sample, encode, 1, 3, 8, {0x01, 0xFF, 0x80});
    ALSound sound;
    EXPECT_EQ(ALSound::LoadSample(&sound, &sample, 0, RecordUpload), 1);
    EXPECT_EQ(gUpload.format, AL_FORMAT_MONO16);
    EXPECT_EQ(gUpload.samples, (std::vector<SInt16>{256, -256, -32768})) << int(encode);
  }
}

TEST_F(SoundEffectsTest, EightBitPrefsStillPlayFromAFullBuffer) {
  gAudioPrefs.sampleSize = 8;
  testsupport::TempDir dir;
  const std::string path = dir / "one.ogg";
  audiotest::WriteOgg(path, 1, 44100, 44100);
  SoundSample sample;
  ASSERT_EQ(LoadOggSound(&sample, path.c_str()), 0);
  ALSound sound;
  ASSERT_EQ(ALSound::LoadSample(&sound, &sample, 0, nullptr), 1);
  ALint size = 0;
  alGetBufferi(ALSound::GetBuffer(&sound, 0), AL_SIZE, &size);
  EXPECT_EQ(size, static_cast<ALint>(GetSoundHeaderFrames(sample.Header()) * 2));
  EXPECT_GT(size, 80000);
}

TEST_F(SoundEffectsTest, SetDataAndGetBufferSlots) {
  ALSound sound;
  const SInt16 data[4] = {1, 2, 3, 4};
  EXPECT_EQ(ALSound::SetData(&sound, AL_FORMAT_MONO16, data, 8, 22050, 2), 0u);
  EXPECT_EQ(ALSound::SetData(&sound, AL_FORMAT_MONO16, data, 8, 22050, 1), 1u);
  EXPECT_EQ(ALSound::SetData(&sound, AL_FORMAT_MONO16, data, 8, 22050, 0), 1u);
  EXPECT_NE(sound.buffer[0], sound.buffer[1]);
  EXPECT_EQ(ALSound::GetBuffer(&sound, 1), sound.buffer[1]);
  EXPECT_EQ(ALSound::GetBuffer(&sound, 2), sound.buffer[0]);
  EXPECT_EQ(ALSound::GetBuffer(&sound, -1), sound.buffer[0]);
  // An upload OpenAL refuses leaves the buffer empty but kept.
  EXPECT_EQ(ALSound::SetData(&sound, AL_FORMAT_MONO16, data, 3, 22050, 0), 0u);
  ALint size = -1;
  alGetBufferi(sound.buffer[0], AL_SIZE, &size);
  EXPECT_EQ(size, 0);
}

ALint SourceState(UInt32 source) {
  ALint state = 0;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state;
}

std::vector<float> Position(UInt32 source) {
  std::vector<float> p(3);
  alGetSourcefv(source, AL_POSITION, p.data());
  return p;
}

TEST_F(SoundEffectsTest, EffectStateThroughOpenAL) {
  ALSound sound;
  std::vector<SInt16> tone(22050, 1000);
  ASSERT_EQ(ALSound::SetData(&sound, AL_FORMAT_MONO16, tone.data(), 44100, 22050, 0), 1u);
  const UInt32 buffer = ALSound::GetBuffer(&sound, 0);
  const UInt32 source = PickSoundSource(1);
  ASSERT_NE(source, 0u);

  gAudioPrefs.soundOn = 0;
  const Rect screen{0, 0, 480, 640};
  PlaySoundInRect(buffer, source, &screen, 1.0f, 1.0f, 0);
  ALint attached = -1;
  alGetSourcei(source, AL_BUFFER, &attached);
  EXPECT_EQ(attached, 0);
  EXPECT_EQ(SourceState(source), AL_INITIAL);

  gAudioPrefs.soundOn = 1;
  gAudioPrefs.soundVolume = 0;
  const Point centre{240, 320};
  PlaySoundAtPoint(buffer, source, &centre, 1.0f, 1.0f, 0);
  EXPECT_EQ(SourceState(source), AL_PLAYING);
  float gain = -1;
  alGetSourcef(source, AL_GAIN, &gain);
  EXPECT_EQ(gain, 0.0f);
  EXPECT_EQ(Position(source), (std::vector<float>{0, 0, 0}));

  gAudioPrefs.soundVolume = 255;
  const Point left{240, 0};
  PlaySoundAtPoint(buffer, source, &left, 0.5f, 1.0f, 1);
  EXPECT_EQ(Position(source)[0], -1.0f);
  alGetSourcef(source, AL_GAIN, &gain);
  EXPECT_FLOAT_EQ(gain, 0.5f);
  ALint looping = 0;
  alGetSourcei(source, AL_LOOPING, &looping);
  EXPECT_EQ(looping, AL_TRUE);
  const Point top{0, 320};
  PlaySoundAtPoint(buffer, source, &top, 1.0f, 1.0f, 0);
  EXPECT_FLOAT_EQ(Position(source)[1], -0.75f);

  // A negative gain never reaches OpenAL.
  PlaySoundAtPoint(buffer, source, &top, -1.0f, 1.0f, 0);
  alGetSourcef(source, AL_GAIN, &gain);
  EXPECT_EQ(gain, 0.0f);

  const Rect none{0, 0, 0, 0};
  SetSoundFieldRect(&none);
  PlaySoundAtPoint(buffer, source, &top, 1.0f, 1.0f, 0);
  EXPECT_EQ(Position(source), (std::vector<float>{0, 0, 0}));
}

TEST_F(SoundEffectsTest, DeletingABufferDetachesItFromEverySource) {
  auto* sound = new ALSound;
  std::vector<SInt16> tone(22050, 1000);
  ASSERT_EQ(ALSound::SetData(sound, AL_FORMAT_MONO16, tone.data(), 44100, 22050, 0), 1u);
  const UInt32 buffer = sound->buffer[0];
  const Rect r{100, 100, 140, 200};
  ALSound::PlayInRect(sound, gSourcePool.sources[0], &r, 1.0f, 1.0f, 1);
  PlaySoundInRect(buffer, gSourcePool.sources[3], &r, 1.0f, 1.0f, 1);
  EXPECT_EQ(gSourcePool.currentBuffer[0], buffer);
  EXPECT_EQ(gSourcePool.currentBuffer[3], buffer);
  delete sound;
  for (int i : {0, 3}) {
    ALint attached = -1;
    alGetSourcei(gSourcePool.sources[i], AL_BUFFER, &attached);
    EXPECT_EQ(attached, 0);
    EXPECT_EQ(gSourcePool.currentBuffer[i], 0u);
    EXPECT_NE(SourceState(gSourcePool.sources[i]), AL_PLAYING);
  }
  EXPECT_FALSE(alIsBuffer(buffer));
  ALSound::PlayInRect(nullptr, gSourcePool.sources[0], &r, 1.0f, 1.0f, 0);
}

TEST_F(SoundEffectsTest, PoolHandsOutSources) {
  EXPECT_EQ(CreateSourcePool(), 16u);
  EXPECT_EQ(GetSourceCount(), 16u);
  const UInt32 first = gSourcePool.sources[0];
  EXPECT_EQ(CreateSourcePool(), 16u);
  EXPECT_EQ(gSourcePool.sources[0], first);

  SetSourceReserved(16, 1);
  EXPECT_EQ(IsSourceReserved(16), 0);
  SetSourceReserved(2, 1);
  EXPECT_EQ(IsSourceReserved(2), 1);
  SetSourceReserved(2, 0);

  // Every source playing: no idle one, and the cursor stays.
  ALSound sound;
  std::vector<SInt16> tone(22050, 1000);
  ALSound::SetData(&sound, AL_FORMAT_MONO16, tone.data(), 44100, 22050, 0);
  for (int i = 0; i < 16; ++i) {
    const Point p{0, 0};
    PlaySoundAtPoint(sound.buffer[0], gSourcePool.sources[i], &p, 1.0f, 1.0f, 1);
  }
  gSourcePool.lastPicked = 5;
  EXPECT_EQ(FindIdleSource(), 0u);
  EXPECT_EQ(gSourcePool.lastPicked, 5);
  EXPECT_EQ(PickSoundSource(1), gSourcePool.sources[6]);
  StopSource(gSourcePool.sources[9]);
  EXPECT_EQ(FindIdleSource(), gSourcePool.sources[9]);
  StopAllSources();
  EXPECT_EQ(FindIdleSource(), gSourcePool.sources[10]);
}

}  // namespace
