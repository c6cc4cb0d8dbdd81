#include <gtest/gtest.h>

#include <AL/al.h>

#include <vector>

#include "AudioPrefs.h"
#include "AudioTestSupport.h"
#include "Music.h"
#include "ResultCodes.h"
#include "SoundChannels.h"
#include "SourcePool.h"
#include "TestSupport.h"

namespace {

using audiotest::AudioTest;

SInt32 gFakeTicks;
SInt32 FakeTicks() { return gFakeTicks; }

class MusicTest : public AudioTest {
 protected:
  void TearDown() override {
    SetAudioTickSourceForTesting(nullptr);
    AudioTest::TearDown();
  }
  testsupport::TempDir dir;
};

float ChannelGain(StreamPlayer* p) {
  float gain = -1;
  alGetSourcef(p->channel->source->source, AL_GAIN, &gain);
  return gain;
}

TEST_F(MusicTest, FadeFollowsTheInjectedClock) {
  const std::string path = dir / "tone.ogg";
  audiotest::WriteOgg(path, 2, 44100, 44100);
  MusicPlayer player;
  ASSERT_EQ(MusicPlayer::Open(&player, path.c_str()), 0);
  StreamPlayer* sp = &player.streamPlayer;
  ASSERT_NE(sp->channel, nullptr);
  EXPECT_EQ(sp->channel->queueLength, 14);
  EXPECT_FLOAT_EQ(ChannelGain(sp), 0.75f);  // level 192 after Open

  SetAudioTickSourceForTesting(FakeTicks);
  gFakeTicks = 6000;
  StreamPlayer::SetVolume(sp, 256, 0.0f);
  StreamPlayer::SetVolume(sp, 0, 2.0f);
  gFakeTicks += 60;
  StreamPlayer::UpdateFade(sp);
  EXPECT_EQ(StreamPlayer::GetVolume(sp), 128);
  EXPECT_FLOAT_EQ(ChannelGain(sp), 0.375f);
  gFakeTicks += 60;
  ServiceMusicPlayers();
  EXPECT_EQ(StreamPlayer::GetVolume(sp), 0);
  EXPECT_EQ(ChannelGain(sp), 0.0f);
  EXPECT_EQ(sp->fadeEnd, 0.0);
}

TEST_F(MusicTest, VolumeThroughThePlayerCountsMusicVolumeTwice) {
  const std::string path = dir / "tone.ogg";
  audiotest::WriteOgg(path, 2, 44100, 4410);
  MusicPlayer player;
  ASSERT_EQ(MusicPlayer::Open(&player, path.c_str()), 0);
  MusicPlayer::SetVolume(&player, 255);
  EXPECT_FLOAT_EQ(ChannelGain(&player.streamPlayer), 144.0f / 256.0f);
  gAudioPrefs.musicVolume = 255;
  ApplyMusicVolumes();
  EXPECT_FLOAT_EQ(ChannelGain(&player.streamPlayer), 254.0f / 256.0f);
  MusicPlayer::SetVolume(&player, 0);
  EXPECT_EQ(ChannelGain(&player.streamPlayer), 0.0f);
}

TEST_F(MusicTest, ShortPieceQueuesOneBufferAndStops) {
  const std::string path = dir / "short.ogg";
  audiotest::WriteOgg(path, 2, 44100, 2000);
  MusicPlayer player;
  ASSERT_EQ(MusicPlayer::Open(&player, path.c_str()), 0);
  MusicPlayer::Play(&player);
  StreamPlayer* sp = &player.streamPlayer;
  EXPECT_EQ(StreamPlayer::GetState(sp), StreamPlayer::kStopped);
  EXPECT_EQ(sp->bufferIndex, 1u);
  EXPECT_EQ(sp->channel->source->buffersUsed, 1u);
  EXPECT_EQ(player.stream.Tell(), 0);
  ALint queued = 0;
  alGetSourcei(sp->channel->source->source, AL_BUFFERS_QUEUED, &queued);
  EXPECT_EQ(queued, 1);
}

TEST_F(MusicTest, EmptyLoopingPieceReturnsStopped) {
  const std::string path = dir / "empty.ogg";
  audiotest::WriteOgg(path, 2, 44100, 0);
  MusicPlayer player;
  ASSERT_EQ(MusicPlayer::Open(&player, path.c_str()), 0);
  player.loop = 1;
  MusicPlayer::Play(&player);
  ServiceMusicPlayers();
  EXPECT_EQ(StreamPlayer::GetState(&player.streamPlayer), StreamPlayer::kStopped);
  EXPECT_EQ(player.wantsToPlay, 1);
}

TEST_F(MusicTest, PlayTwiceRestartsAndPauseResume) {
  const std::string path = dir / "long.ogg";
  audiotest::WriteOgg(path, 2, 44100, 44100 * 3);
  MusicPlayer player;
  ASSERT_EQ(MusicPlayer::Open(&player, path.c_str()), 0);
  player.loop = 1;
  MusicPlayer::Play(&player);
  StreamPlayer* sp = &player.streamPlayer;
  EXPECT_EQ(StreamPlayer::GetState(sp), StreamPlayer::kPlaying);
  const SInt32 firstTell = player.stream.Tell();
  EXPECT_GT(firstTell, 0);
  // Move the stream on; a second Play starts from the beginning again.
  std::vector<char> skip(16384);
  for (int i = 0; i < 8; ++i) player.stream.Read(skip.data(), 16384);
  ASSERT_GT(player.stream.Tell(), firstTell + 6 * 16384);
  MusicPlayer::Play(&player);
  EXPECT_GT(player.stream.Tell(), 0);
  EXPECT_LE(player.stream.Tell(), firstTell + 2 * 16384);

  MusicPlayer::Pause(&player);
  EXPECT_EQ(StreamPlayer::GetState(sp), StreamPlayer::kPaused);
  EXPECT_EQ(sp->channel->paused, 1);
  StreamPlayer::Resume(sp);
  EXPECT_EQ(StreamPlayer::GetState(sp), StreamPlayer::kPlaying);
  EXPECT_EQ(sp->channel->paused, 0);

  PauseAllMusic();
  EXPECT_EQ(StreamPlayer::GetState(sp), StreamPlayer::kStopped);
  ResumeAllMusic();
  EXPECT_EQ(StreamPlayer::GetState(sp), StreamPlayer::kPlaying);
  FreeMusicPauseFlags();

  gAudioPrefs.musicOn = 0;
  MusicPlayer::Stop(&player);
  MusicPlayer::Play(&player);
  EXPECT_EQ(StreamPlayer::GetState(sp), StreamPlayer::kStopped);
  StreamPlayer::SetLatency(sp, 100000.0f);
  EXPECT_EQ(StreamPlayer::GetLatency(sp), 1486.0f);
}

TEST_F(MusicTest, OpenFailureKeepsTheName) {
  MusicPlayer player;
  EXPECT_EQ(MusicPlayer::Open(&player, (dir / "missing.ogg").c_str()), kErrFailed);
  EXPECT_EQ(player.fileName, "");
  MusicPlayer::Play(&player);
  EXPECT_EQ(StreamPlayer::GetState(&player.streamPlayer), StreamPlayer::kStopped);
}

}  // namespace
