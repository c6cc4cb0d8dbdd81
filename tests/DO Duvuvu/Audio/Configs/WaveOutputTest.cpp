// Runs with the wave backend writing a file of its own: what was heard.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AudioPrefs.h"
#include "AudioTestSupport.h"
#include "Music.h"
#include "SoundChannels.h"
#include "SoundData.h"
#include "SoundEffects.h"
#include "SourcePool.h"
#include "TestSupport.h"

namespace {

using audiotest::AudioTest;

// One config per process: OpenAL Soft reads it once.
const std::string& WavePath() {
  static const std::string path = [] {
    const std::string wav = "/tmp/duvuvu-wave-" + std::to_string(getpid()) + ".wav";
    audiotest::WriteOpenALConfig("[general]\nsample-type = int16\nchannels = stereo\nfrequency = 44100\n"
                                 "hrtf = false\ndither = false\n[wave]\nfile = " + wav + "\n");
    return wav;
  }();
  return path;
}

class Heard : public AudioTest {
 protected:
  void SetUp() override {
    WavePath();
    AudioTest::SetUp();
    StartOpenAL();
    ASSERT_GT(CreateSourcePool(), 0u);
    const Rect field{0, 0, 480, 640};
    SetSoundFieldRect(&field);
    const std::string ogg = dir / "tone.ogg";
    audiotest::WriteOgg(ogg, 1, 44100, 8820);
    SoundSample sample;
    ASSERT_EQ(LoadOggSound(&sample, ogg.c_str()), 0);
    ASSERT_EQ(ALSound::LoadSample(&sound, &sample, 0, nullptr), 1);
  }

  std::vector<int16_t> PlayAndRecord(SInt16 h) {
    const Point pt{240, h};
    PlaySoundAtPoint(ALSound::GetBuffer(&sound, 0), PickSoundSource(1), &pt, 1.0f, 1.0f, 0);
    usleep(400000);
    ALSound::DeleteBuffer(&sound, -1);
    ShutdownAudioForTesting();
    std::vector<int16_t> data = audiotest::ReadWaveData(WavePath());
    std::remove(WavePath().c_str());
    return data;
  }

  testsupport::TempDir dir;
  ALSound sound;
};

TEST_F(Heard, LeftEdgeIsHeardOnTheLeft) {
  const std::vector<int16_t> data = PlayAndRecord(0);
  ASSERT_FALSE(data.empty());
  const double left = audiotest::Rms(data, 0), right = audiotest::Rms(data, 1);
  EXPECT_GT(left, 100.0);
  EXPECT_GE(left, 4 * right);
}

TEST_F(Heard, CentreIsHeardOnBothSides) {
  const std::vector<int16_t> data = PlayAndRecord(320);
  const double left = audiotest::Rms(data, 0), right = audiotest::Rms(data, 1);
  EXPECT_GT(left, 100.0);
  EXPECT_NEAR(left, right, 0.05 * std::max(left, right));
}

TEST_F(Heard, SoundOffIsSilent) {
  gAudioPrefs.soundOn = 0;
  const std::vector<int16_t> data = PlayAndRecord(320);
  ASSERT_FALSE(data.empty());
  EXPECT_TRUE(std::all_of(data.begin(), data.end(), [](int16_t s) { return s == 0; }));
}

class MusicHeard : public AudioTest {
 protected:
  void SetUp() override {
    WavePath();
    AudioTest::SetUp();
  }
  testsupport::TempDir dir;
};

TEST_F(MusicHeard, LoopingPiecePlaysWithoutGaps) {
  const std::string ogg = dir / "loop.ogg";
  audiotest::WriteOgg(ogg, 2, 44100, 13230);
  {
    MusicPlayer player;
    ASSERT_EQ(MusicPlayer::Open(&player, ogg.c_str()), 0);
    player.loop = 1;
    MusicPlayer::Play(&player);
    for (int i = 0; i < 67; ++i) {  // 2 s in 30-ms steps
      usleep(30000);
      ServiceMusicPlayers();
      ServiceSoundChannels();
    }
    EXPECT_EQ(StreamPlayer::GetState(&player.streamPlayer), StreamPlayer::kPlaying);
    MusicPlayer::Stop(&player);
  }
  ShutdownAudioForTesting();
  const std::vector<int16_t> data = audiotest::ReadWaveData(WavePath());
  std::remove(WavePath().c_str());
  const size_t frames = data.size() / 2;
  auto nonZero = [&](size_t f) { return data[2 * f] != 0 || data[2 * f + 1] != 0; };
  size_t first = 0;
  while (first < frames && !nonZero(first)) ++first;
  size_t last = frames;
  while (last > first && !nonZero(last - 1)) --last;
  ASSERT_GT(last - first, 44100u * 3 / 2);
  size_t run = 0, longest = 0;
  for (size_t f = first + 4410; f < last; ++f) {
    run = nonZero(f) ? 0 : run + 1;
    longest = std::max(longest, run);
  }
  EXPECT_LE(longest, 441u);
}

}  // namespace
