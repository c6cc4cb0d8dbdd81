#include <gtest/gtest.h>

#include <AL/al.h>
#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "AudioPrefs.h"
#include "AudioTestSupport.h"
#include "Memory.h"
#include "ResultCodes.h"
#include "SoundData.h"
#include "SoundEffects.h"
#include "SourcePool.h"
#include "TestSupport.h"

namespace {

using audiotest::AudioTest;
using audiotest::WriteOgg;

class SoundDataTest : public AudioTest {
 protected:
  testsupport::TempDir dir;
};

int OpenDescriptorCount() {
  int count = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++count;
    closedir(d);
  }
  return count;
}

TEST_F(SoundDataTest, DecodedLengths) {
  const std::string mono = dir / "mono.ogg";
  const std::string stereo = dir / "stereo.ogg";
  WriteOgg(mono, 1, 44100, 44100);
  WriteOgg(stereo, 2, 22050, 11025);

  OggStream stream;
  ASSERT_EQ(stream.Open(mono.c_str()), 1);
  EXPECT_EQ(stream.TotalBytes(), 88200);
  EXPECT_EQ(stream.Channels(), 1);
  EXPECT_EQ(stream.Rate(), 0xAC440000u);
  EXPECT_EQ(stream.ChunkSize(), 16384);
  std::vector<char> buffer(16384);
  const SInt32 n = stream.Read(buffer.data(), 16384);
  EXPECT_GT(n, 15360);
  EXPECT_LE(n, 16384);
  EXPECT_EQ(stream.Tell(), n);
  EXPECT_EQ(stream.Rewind(), 0);
  EXPECT_EQ(stream.Tell(), 0);

  ASSERT_EQ(stream.Open(stereo.c_str()), 1);
  EXPECT_EQ(stream.TotalBytes(), 44100);
  stream.Close();
  EXPECT_EQ(stream.GetState(), OggStream::kClosed);
  EXPECT_EQ(stream.TotalBytes(), 0);
  EXPECT_EQ(stream.ChunkSize(), 0);

  // The whole-file load: 44100 frames in, 34 frames fewer out.
  SoundSample sample;
  ASSERT_EQ(LoadOggSound(&sample, mono.c_str()), 0);
  EXPECT_EQ(GetSoundHeaderFrames(sample.Header()), 44066u);
  EXPECT_EQ(sample.command.code, kBufferCmd);
  EXPECT_EQ(sample.fileName, mono);
}

TEST_F(SoundDataTest, ResourceHeaderGivesTheFramesWritten) {
  const std::string mono = dir / "mono.ogg";
  WriteOgg(mono, 1, 44100, 44100);
  OggStream stream;
  ASSERT_EQ(stream.Open(mono.c_str()), 1);
  Handle resource = nullptr;
  ASSERT_EQ(NewSoundHandle(&resource, 1, stream.Rate(), 16, 60, nullptr, stream.TotalBytes()), 0);
  SoundHeader* header = GetSoundHeader(resource);
  EXPECT_EQ(GetSoundHeaderFrames(header), 44100u);
  EXPECT_EQ(GetSoundHeaderDataOffset(header), 68);
  EXPECT_EQ(reinterpret_cast<Ptr>(header), *resource + 6);
  EXPECT_EQ(GetHandleBlockSize_Audio(resource), 6 + 68 + 88200);
  DisposeHandleBlock_Audio(resource);
}

// A resource of 16-bit samples, built in memory.
Handle MakeResource(SInt16 channels, UInt32 rate, const std::vector<SInt16>& samples) {
  Handle resource = nullptr;
  EXPECT_EQ(NewSoundHandle(&resource, channels, rate, 16, 60, samples.data(),
                           static_cast<SInt32>(samples.size() * 2)),
            0);
  return resource;
}

std::vector<SInt16> Samples16(const SoundSample& sample) {
  SoundHeader* header = sample.Header();
  const size_t n = GetSoundHeaderFrames(header) * GetSoundHeaderChannels(header);
  std::vector<SInt16> out(n);
  std::memcpy(out.data(), GetSoundHeaderData(header), n * 2);
  return out;
}

TEST_F(SoundDataTest, ConversionKeepsHalvesOrMixes) {
  std::vector<SInt16> source(200);
  for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<SInt16>(i * 37 - 3000);

  {  // 22050 Hz at "Sample Rate" 44100: no change.
    Handle resource = MakeResource(1, kRate22050, source);
    SoundSample sample;
    EXPECT_EQ(ConvertSoundResource(&sample, resource, 0), 1);
    const std::vector<SInt16> out = Samples16(sample);
    ASSERT_EQ(out.size(), 200u - 34u);
    EXPECT_EQ(GetSoundHeaderRate(sample.Header()), kRate22050);
    for (size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i], source[i]) << i;
    DisposeHandleBlock_Audio(resource);
  }
  {  // 44100 Hz at 22050: the mean of each pair.
    gAudioPrefs.sampleRate = kRate22050;
    Handle resource = MakeResource(1, kRate44100, source);
    SoundSample sample;
    EXPECT_EQ(ConvertSoundResource(&sample, resource, 1), 1);
    EXPECT_EQ(sample.command.code, kPlaySampleCmd);
    const std::vector<SInt16> out = Samples16(sample);
    ASSERT_EQ(out.size(), (200u - 34u) / 2);
    for (size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i], (source[2 * i] + source[2 * i + 1]) / 2) << i;
    DisposeHandleBlock_Audio(resource);
    gAudioPrefs.sampleRate = kRate44100;
  }
  {  // Stereo to 16-bit mono: (l + r) >> 1, rounding down.
    gAudioPrefs.stereo = 0;
    std::vector<SInt16> stereo = {-3, 0, 5, 6, -7, -8, 100, -101};
    stereo.resize(200, 1);
    Handle resource = MakeResource(2, kRate44100, stereo);
    SoundSample sample;
    ConvertSoundResource(&sample, resource, 0);
    const std::vector<SInt16> out = Samples16(sample);
    ASSERT_EQ(GetSoundHeaderChannels(sample.Header()), 1);
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(out[0], -2);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(out[2], -8);
    EXPECT_EQ(out[3], -1);
    DisposeHandleBlock_Audio(resource);
  }
}

std::vector<SInt16> gUpload;

UInt32 RecordUpload(ALSound*, UInt32, SInt32, const void* data, SInt32 bytes, SInt32) {
  gUpload.assign(static_cast<const SInt16*>(data), static_cast<const SInt16*>(data) + bytes / 2);
  return 1;
}

// Whatever the output format, a loaded file holds what converting its whole
// decoded resource gives, header and samples, and the effect uploaded from it
// is the decoder's output mixed to mono.
TEST_F(SoundDataTest, LoadedFileMatchesItsConvertedDecoding) {
  StartOpenAL();
  struct Prefs {
    UInt32 rate;
    UInt8 size;
    UInt8 stereo;
  };
  const Prefs formats[] = {{kRate44100, 16, 1}, {kRate44100, 16, 0}, {kRate22050, 16, 1},
                           {kRate11025, 16, 0}, {kRate44100, 8, 1},  {kRate22050, 8, 0}};
  struct File {
    int channels;
    long rate;
  };
  const File files[] = {{1, 44100}, {2, 44100}, {2, 22050}, {1, 11025}};
  for (const File& file : files) {
    const std::string path = dir / ("noise" + std::to_string(file.channels) + "x" + std::to_string(file.rate) + ".ogg");
    UInt32 seed = 7;
    WriteOgg(path, file.channels, file.rate, 3000, [&](long, int) {
      seed = seed * 1103515245u + 12345u;
      return static_cast<float>((seed >> 8) & 0xFFFF) / 65536.0f - 0.5f;
    });
    OggStream stream;
    ASSERT_EQ(stream.Open(path.c_str()), 1);
    const SInt32 total = stream.TotalBytes();
    std::vector<SInt16> decoded(static_cast<size_t>(total / 2));
    SInt32 filled = 0;
    while (filled < total) {
      const SInt32 n = stream.Read(reinterpret_cast<char*>(decoded.data()) + filled, total - filled);
      if (n < 1) break;
      filled += n;
    }
    ASSERT_EQ(filled, total);

    for (const Prefs& prefs : formats) {
      SCOPED_TRACE(path + " at " + std::to_string(prefs.rate >> 16) + " Hz, " + std::to_string(prefs.size) +
                   " bits, stereo " + std::to_string(prefs.stereo));
      gAudioPrefs.sampleRate = prefs.rate;
      gAudioPrefs.sampleSize = prefs.size;
      gAudioPrefs.stereo = prefs.stereo;
      Handle resource = MakeResource(static_cast<SInt16>(file.channels), stream.Rate(), decoded);
      SoundSample converted;
      ConvertSoundResource(&converted, resource, 0);
      DisposeHandleBlock_Audio(resource);
      SoundSample loaded;
      ASSERT_EQ(LoadOggSound(&loaded, path.c_str()), 0);
      ASSERT_NE(loaded.Header(), nullptr);
      ASSERT_NE(converted.Header(), nullptr);
      const SInt32 headerSize = GetSoundHeaderDataOffset(converted.Header());
      const SInt64 dataBytes = GetSoundHeaderDataBytes(converted.Header());
      ASSERT_EQ(GetSoundHeaderDataOffset(loaded.Header()), headerSize);
      ASSERT_EQ(GetSoundHeaderDataBytes(loaded.Header()), dataBytes);
      EXPECT_EQ(std::memcmp(loaded.Header(), converted.Header(), static_cast<size_t>(headerSize + dataBytes)), 0);
      EXPECT_EQ(loaded.command.code, kBufferCmd);

      ALSound sound;
      ASSERT_EQ(ALSound::LoadSample(&sound, &loaded, 0, nullptr), 1);
      if (prefs.rate >> 16 < file.rate || prefs.size != 16) continue;
      // Unresampled 16-bit output: the buffer is the decoding itself, mixed
      // to mono, less the 68 bytes the converters never take.
      const size_t frames = (decoded.size() * 2 - 68) / (2 * file.channels);
      std::vector<SInt16> expected(frames);
      for (size_t f = 0; f < frames; ++f) {
        expected[f] = file.channels == 1 ? decoded[f]
                                         : static_cast<SInt16>((decoded[2 * f] + decoded[2 * f + 1]) >> 1);
      }
      ALint size = 0;
      alGetBufferi(ALSound::GetBuffer(&sound, 0), AL_SIZE, &size);
      EXPECT_EQ(size, static_cast<ALint>(frames * 2));
      ASSERT_EQ(ALSound::LoadSample(&sound, &loaded, 1, RecordUpload), 1);
      EXPECT_EQ(gUpload, expected);
    }
  }
}

TEST_F(SoundDataTest, EightBitOffsetBinarySilenceBecomesZero) {
  // A standard-form resource: 8-bit mono, 128 is silence.
  Handle resource = NewHandleBlockClear_Audio(6 + 22 + 100);
  UInt8* header = reinterpret_cast<UInt8*>(*resource) + 6;
  const UInt32 length = 100;
  const UInt32 rate = kRate22050;
  std::memcpy(header + 4, &length, 4);
  std::memcpy(header + 8, &rate, 4);
  header[20] = kStdSoundHeader;
  std::memset(header + 22, 128, 100);
  header[22] = 128 + 64;
  SoundSample sample;
  ConvertSoundResource(&sample, resource, 0);
  SoundHeader* out = sample.Header();
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(soundheader::Encode(out), kStdSoundHeader);
  ASSERT_EQ(GetSoundHeaderFrames(out), 100u - 22u);
  const auto* data = reinterpret_cast<const SInt8*>(GetSoundHeaderData(out));
  EXPECT_EQ(data[0], 64);
  for (UInt32 i = 1; i < 78; ++i) EXPECT_EQ(data[i], 0) << i;
  DisposeHandleBlock_Audio(resource);
}

TEST_F(SoundDataTest, ShortEffectsConvertToNothing) {
  StartOpenAL();
  for (long frames : {0L, 10L, 33L, 34L}) {
    const std::string path = dir / ("short" + std::to_string(frames) + ".ogg");
    WriteOgg(path, 1, 44100, frames);
    SoundSample sample;
    ASSERT_EQ(LoadOggSound(&sample, path.c_str()), 0) << frames;
    ASSERT_NE(sample.Header(), nullptr);
    EXPECT_EQ(GetSoundHeaderFrames(sample.Header()), 0u) << frames;
    ALSound sound;
    EXPECT_EQ(ALSound::LoadSample(&sound, &sample, 0, nullptr), 1) << frames;
    EXPECT_NE(ALSound::GetBuffer(&sound, 0), 0u);
  }
}

TEST_F(SoundDataTest, OpenCloseCyclesAndRefusals) {
  const std::string good = dir / "good.ogg";
  WriteOgg(good, 2, 44100, 2000);
  const int before = OpenDescriptorCount();
  OggStream stream;
  for (int i = 0; i < 200; ++i) ASSERT_EQ(stream.Open(good.c_str()), 1);
  stream.Close();
  for (int i = 0; i < 20; ++i) {
    SoundSample sample;
    ASSERT_EQ(LoadOggSound(&sample, good.c_str()), 0);
  }
  EXPECT_EQ(OpenDescriptorCount(), before);

  const std::string text = dir / "not.ogg";
  std::ofstream(text) << "this is not an ogg file at all, just some text that goes on for a while";
  SoundSample sample;
  EXPECT_EQ(LoadOggSound(&sample, text.c_str()), kErrFailed);
  EXPECT_EQ(LoadOggSound(&sample, (dir / "missing.ogg").c_str()), kErrFailed);
  EXPECT_EQ(OpenDescriptorCount(), before);

  const std::string fast = dir / "96k.ogg";
  const std::string wide = dir / "6ch.ogg";
  WriteOgg(fast, 1, 96000, 960);
  WriteOgg(wide, 6, 22050, 441);
  EXPECT_EQ(stream.Open(fast.c_str()), 0);
  EXPECT_EQ(stream.Open(wide.c_str()), 0);
  EXPECT_EQ(LoadOggSound(&sample, wide.c_str()), kErrFailed);
  EXPECT_EQ(OpenDescriptorCount(), before);
}

std::vector<char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes, size_t count) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(count));
}

TEST_F(SoundDataTest, OggCutInHalfLoadsWhatDecodes) {
  // Noise, so that the audio pages outweigh the headers and half the file
  // still holds whole pages.
  const std::string whole = dir / "whole.ogg";
  UInt32 seed = 1;
  WriteOgg(whole, 1, 44100, 88200, [&](long, int) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<float>((seed >> 8) & 0xFFFF) / 65536.0f - 0.5f;
  });
  SoundSample full;
  ASSERT_EQ(LoadOggSound(&full, whole.c_str()), 0);
  const std::vector<SInt16> wholeSamples = Samples16(full);
  ASSERT_EQ(wholeSamples.size(), 88166u);

  const std::vector<char> bytes = ReadBytes(whole);
  const std::string half = dir / "half.ogg";
  WriteBytes(half, bytes, bytes.size() / 2);
  const int before = OpenDescriptorCount();
  OggStream stream;
  ASSERT_EQ(stream.Open(half.c_str()), 1);
  const SInt64 halfBytes = stream.TotalBytes64();
  EXPECT_GT(halfBytes, 68);
  EXPECT_LT(halfBytes, 176400);
  stream.Close();

  SoundSample sample;
  ASSERT_EQ(LoadOggSound(&sample, half.c_str()), 0);
  const std::vector<SInt16> halfSamples = Samples16(sample);
  EXPECT_EQ(static_cast<SInt64>(halfSamples.size()), halfBytes / 2 - 34);
  ASSERT_LT(halfSamples.size(), 88166u);
  // What decodes is the start of the whole file, sample for sample.
  EXPECT_TRUE(std::equal(halfSamples.begin(), halfSamples.end(), wholeSamples.begin()));

  // Cut inside the headers nothing can decode.
  const std::string headless = dir / "headless.ogg";
  WriteBytes(headless, bytes, 200);
  EXPECT_EQ(LoadOggSound(&sample, headless.c_str()), kErrFailed);
  EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST_F(SoundDataTest, EmptyStreamDoesNotRewind) {
  const std::string path = dir / "empty.ogg";
  WriteOgg(path, 2, 44100, 0);
  OggStream stream;
  ASSERT_EQ(stream.Open(path.c_str()), 1);
  EXPECT_EQ(stream.TotalBytes(), 0);
  char buffer[1024];
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(stream.Rewind(), OV_EOF);
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(stream.Tell(), 0);
}

TEST_F(SoundDataTest, ShortResourceHeaderCopyStaysInside) {
  Handle tiny = NewHandleBlockClear_Audio(10);
  EXPECT_EQ(GetSoundHeader(tiny), nullptr);
  SoundSample sample;
  EXPECT_EQ(ConvertSoundResource(&sample, tiny, 0), 0);
  DisposeHandleBlock_Audio(tiny);
}

TEST_F(SoundDataTest, HeaderAccessorsByForm) {
  UInt8 bytes[100] = {};
  auto* header = reinterpret_cast<SoundHeader*>(bytes);
  bytes[20] = kCmpSoundHeader;
  EXPECT_EQ(GetSoundHeaderRate(header), 0u);
  EXPECT_EQ(GetSoundHeaderChannels(header), 0);
  EXPECT_EQ(GetSoundHeaderDataOffset(header), 0);
  EXPECT_EQ(GetSoundHeaderData(header), nullptr);
  EXPECT_EQ(GetSoundHeaderRate(nullptr), 0u);
  bytes[20] = kStdSoundHeader;
  EXPECT_EQ(GetSoundHeaderSampleSize(header), 8);
  EXPECT_EQ(GetSoundHeaderChannels(header), 1);
  EXPECT_EQ(GetSoundHeaderDataOffset(header), 22);
}

}  // namespace
