// The shell drives the audio pumps: every event poll services the sound
// channels, and a 30-ms timer task run from the poll refills the music.
#include <gtest/gtest.h>

#include <AL/al.h>

#include "AudioPrefs.h"
#include "AudioStartup.h"
#include "AudioTestSupport.h"
#include "Music.h"
#include "ShellTestSupport.h"
#include "SoundChannels.h"
#include "SourcePool.h"
#include "TimerTasks.h"

namespace {

class ShellPump : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    // Channel set-up busy-waits on the tick clock: let each read move it.
    clock.stepPerRead = 1000000;
    InitAudioGlobals();
    SetDefaultAudioPrefs(&gAudioPrefs);
  }
  void TearDown() override {
    ShutdownAudioForTesting();
    ExitAudioGlobals();
    ShellTest::TearDown();
  }
  testsupport::TempDir dir;
};

int gAudioTimerRuns;

// What the game's audio timer task does.
SInt32 AudioTimer(TimerTask*) {
  ++gAudioTimerRuns;
  ServiceMusicPlayers();
  ServiceSoundChannels();
  return 0;
}

TEST_F(ShellPump, EveryPollServicesTheChannels) {
  SoundChannel* chan = nullptr;
  ASSERT_EQ(NewSoundChannel(&chan, 5, 0, nullptr), 0);
  // A command waiting in the queue, put there without a pump pass.
  chan->queue[0] = {kVolumeCmd, 0, 128u << 16};
  chan->head = 0;
  chan->tail = 1;
  PollEvents(0xFFFF, nullptr);
  EXPECT_EQ(chan->head, -1);
  float gain = -1;
  alGetSourcef(chan->source->source, AL_GAIN, &gain);
  EXPECT_FLOAT_EQ(gain, 0.25f);
  EXPECT_EQ(DisposeSoundChannel(chan), 0);
}

TEST_F(ShellPump, TimerTaskRefillsTheMusicFromThePoll) {
  const std::string path = dir / "music.ogg";
  audiotest::WriteOgg(path, 2, 44100, 44100 * 3);
  MusicPlayer player;
  ASSERT_EQ(MusicPlayer::Open(&player, path.c_str()), 0);
  MusicPlayer::Play(&player);
  StreamPlayer* sp = &player.streamPlayer;
  ASSERT_TRUE(StreamPlayer::IsPlaying(sp));
  clock.stepPerRead = 0;
  gAudioTimerRuns = 0;
  TimerTask task{};
  StartTimerTask(&task, AudioTimer, 30, 0);

  // Every queued buffer counts as processed once the source stops: the
  // polls' channel passes refill them from the full ring, but only the timer
  // decodes more.
  alSourceStop(sp->channel->source->source);
  const SInt32 before = player.stream.Tell();
  for (int i = 0; i < 3; ++i) {
    clock.AdvanceMilliseconds(5);
    PollEvents(0xFFFF, nullptr);
  }
  EXPECT_EQ(gAudioTimerRuns, 0);
  EXPECT_EQ(player.stream.Tell(), before);
  EXPECT_NE(sp->channel->head, sp->channel->tail);

  clock.AdvanceMilliseconds(20);
  PollEvents(0xFFFF, nullptr);
  EXPECT_EQ(gAudioTimerRuns, 1);
  EXPECT_GT(player.stream.Tell(), before);
  StopTimerTask(&task);
}

}  // namespace
