#include <gtest/gtest.h>

#include <AL/al.h>

#include <cstring>
#include <vector>

#include "AudioTestSupport.h"
#include "Memory.h"
#include "ResultCodes.h"
#include "SoundChannels.h"
#include "SoundData.h"
#include "SourcePool.h"

namespace {

using audiotest::AudioTest;

class SoundChannelsTest : public AudioTest {
 protected:
  void SetUp() override {
    AudioTest::SetUp();
    ASSERT_EQ(NewSoundChannel(&chan, 5, 0, nullptr), 0);
    ASSERT_NE(chan, nullptr);
  }
  SoundChannel* chan = nullptr;
};

// A silent 16-bit stereo sound long enough to fill every buffer of a source;
// the caller disposes the block.
Ptr LongStereoBuffer() {
  Ptr block = NewPtrBlockClear_Audio(68 + 600000);
  Handle resource = NewHandleBlockClear_Audio(6 + 68);
  SetupSoundHeader(resource, 2, kRate44100, 16, 0, 60, 600000, nullptr);
  std::memcpy(block, *resource + 6, 68);
  DisposeHandleBlock_Audio(resource);
  return block;
}

float Gain(SoundChannel* chan) {
  float gain = -1;
  alGetSourcef(chan->source->source, AL_GAIN, &gain);
  return gain;
}

TEST_F(SoundChannelsTest, NewChannelState) {
  EXPECT_EQ(GetSoundChannelList(), chan);
  EXPECT_EQ(chan->queueLength, 128);
  EXPECT_EQ(chan->head, -1);
  EXPECT_EQ(chan->tail, 0);
  EXPECT_EQ(chan->source->buffersUsed, 0u);
  for (UInt32 b : chan->source->buffers) {
    ALint size = 0;
    alGetBufferi(b, AL_SIZE, &size);
    EXPECT_EQ(size, 2048);
  }
  SoundChannel* other = nullptr;
  EXPECT_EQ(NewSoundChannel(&other, 4, 0, nullptr), kErrFailed);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(GetSoundChannelList(), chan);
}

TEST_F(SoundChannelsTest, QueueLimitsAndCorruption) {
  chan->queueLength = 14;
  chan->paused = 1;  // keeps the pump from taking commands
  const SoundCommand clock{kClockCmd, 1, 0};
  for (int i = 0; i < 14; ++i) ASSERT_EQ(QueueSoundCommand(chan, &clock, 1), 0) << i;
  EXPECT_EQ(QueueSoundCommand(chan, &clock, 1), kErrQueueFull);
  // Waiting on a paused channel would never end.
  EXPECT_EQ(QueueSoundCommand(chan, &clock, 0), kErrQueueFull);
  chan->head = 200;
  EXPECT_EQ(QueueSoundCommand(chan, &clock, 1), kErrBadChannel);
  chan->head = -1;
  chan->tail = 14;
  EXPECT_EQ(QueueSoundCommand(chan, &clock, 1), kErrBadChannel);
}

TEST_F(SoundChannelsTest, VolumeLevelsBecomeGain) {
  const SoundCommand full{kVolumeCmd, 0, 256u << 16 | 256u};
  DoSoundCommand(chan, &full);
  EXPECT_FLOAT_EQ(Gain(chan), 1.0f);
  const SoundCommand quarter{kVolumeCmd, 0, 128u << 16};
  DoSoundCommand(chan, &quarter);
  EXPECT_FLOAT_EQ(Gain(chan), 0.25f);
}

TEST_F(SoundChannelsTest, BufferCommandFillsInPieces) {
  // 40000 bytes of mono: 32768 taken (65536 uploaded), then 7232.
  Handle resource = NewHandleBlockClear_Audio(68 + 40000);
  SetupSoundHeader(resource, 1, kRate44100, 16, 0, 60, 40000, nullptr);
  // The resource's header sits at 6; use a header at the block start.
  Ptr block = NewPtrBlockClear_Audio(68 + 40000);
  std::memcpy(block, *resource + 6, 68);
  DisposeHandleBlock_Audio(resource);

  chan->paused = 0;
  const SoundCommand buffer{kBufferCmd, 0, reinterpret_cast<uintptr_t>(block)};
  chan->current = buffer;
  ChannelSource* cs = chan->source;
  EXPECT_EQ(FillChannelBuffer(chan, cs->buffers[0]), 0);
  EXPECT_EQ(cs->readPosition, 32768u);
  EXPECT_EQ(FillChannelBuffer(chan, cs->buffers[1]), 1);
  EXPECT_EQ(cs->readPosition, 0u);
  EXPECT_EQ(chan->current.code, 0);
  ALint size = 0;
  alGetBufferi(cs->buffers[0], AL_SIZE, &size);
  EXPECT_EQ(size, 65536);
  alGetBufferi(cs->buffers[1], AL_SIZE, &size);
  EXPECT_EQ(size, 14464);
  const SoundCommand quiet{kQuietCmd, 0, 0};
  DoSoundCommand(chan, &quiet);
  DisposePtrBlock_Audio(block);
}

TEST_F(SoundChannelsTest, VolumeDuringABufferCommandLeavesIt) {
  Ptr block = LongStereoBuffer();
  const SoundCommand buffer{kBufferCmd, 0, reinterpret_cast<uintptr_t>(block)};
  DoSoundCommand(chan, &buffer);
  EXPECT_EQ(chan->current.code, kBufferCmd);
  EXPECT_EQ(chan->source->buffersUsed, 8u);
  const UInt32 position = chan->source->readPosition;
  EXPECT_EQ(position, 8u * 65536u);
  ALint state = 0;
  alGetSourcei(chan->source->source, AL_SOURCE_STATE, &state);
  EXPECT_EQ(state, AL_PLAYING);

  const SoundCommand volume{kVolumeCmd, 0, 64u << 16 | 64u};
  DoSoundCommand(chan, &volume);
  EXPECT_EQ(chan->current.code, kBufferCmd);
  EXPECT_EQ(chan->current.param2, buffer.param2);
  EXPECT_EQ(chan->source->readPosition, position);
  EXPECT_FLOAT_EQ(Gain(chan), 0.25f);

  // Quiet drops it and hands every buffer back.
  const SoundCommand quiet{kQuietCmd, 0, 0};
  DoSoundCommand(chan, &quiet);
  EXPECT_EQ(chan->current.code, 0);
  EXPECT_EQ(chan->source->buffersUsed, 0u);
  EXPECT_EQ(chan->source->readPosition, 0u);
  DisposePtrBlock_Audio(block);
}

// Quiet before anything played stops a source OpenAL has never started: no
// AL error, the command is done, and every buffer is still free for the first
// sound, which then plays as on a fresh channel.
TEST_F(SoundChannelsTest, QuietOnANeverPlayedSource) {
  alGetError();
  const SoundCommand quiet{kQuietCmd, 0, 0};
  EXPECT_EQ(DoSoundCommand(chan, &quiet), 0);
  EXPECT_EQ(alGetError(), AL_NO_ERROR);
  EXPECT_EQ(chan->current.code, 0);
  EXPECT_EQ(chan->source->buffersUsed, 0u);
  ALint queued = -1;
  alGetSourcei(chan->source->source, AL_BUFFERS_QUEUED, &queued);
  EXPECT_EQ(queued, 0);

  Ptr block = LongStereoBuffer();
  const SoundCommand buffer{kBufferCmd, 0, reinterpret_cast<uintptr_t>(block)};
  DoSoundCommand(chan, &buffer);
  EXPECT_EQ(chan->current.code, kBufferCmd);
  EXPECT_EQ(chan->source->buffersUsed, 8u);
  ALint state = 0;
  alGetSourcei(chan->source->source, AL_SOURCE_STATE, &state);
  EXPECT_EQ(state, AL_PLAYING);
  DoSoundCommand(chan, &quiet);
  DisposePtrBlock_Audio(block);
}

TEST_F(SoundChannelsTest, ClockAndCallbackCommands) {
  UInt32 clockWord = 77;
  const SoundCommand get{kGetClockCmd, 0, reinterpret_cast<uintptr_t>(&clockWord)};
  DoSoundCommand(chan, &get);
  EXPECT_EQ(clockWord, 0u);
  static int calls;
  calls = 0;
  chan->callback = [](SoundChannel*, SoundCommand* cmd) { calls += cmd->param1; };
  const SoundCommand call{kCallBackCmd, 3, 0};
  ASSERT_EQ(QueueSoundCommand(chan, &call, 1), 0);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(chan->head, -1);
}

TEST_F(SoundChannelsTest, DisposeUnlinksFromAnywhere) {
  SoundChannel* second = nullptr;
  SoundChannel* third = nullptr;
  ASSERT_EQ(NewSoundChannel(&second, 5, 0, nullptr), 0);
  ASSERT_EQ(NewSoundChannel(&third, 5, 0, nullptr), 0);
  EXPECT_EQ(GetSoundChannelList(), third);
  EXPECT_EQ(DisposeSoundChannel(second), 0);
  EXPECT_EQ(GetSoundChannelList(), third);
  EXPECT_EQ(third->next, chan);
  EXPECT_EQ(chan->next, nullptr);
}

TEST_F(SoundChannelsTest, InfoAndStatus) {
  UInt16 channels = 0, size = 0;
  UInt32 rate = 0;
  GetChannelInfo(chan, FOUR_CHAR_CODE("chan"), &channels);
  GetChannelInfo(chan, FOUR_CHAR_CODE("ssiz"), &size);
  GetChannelInfo(chan, FOUR_CHAR_CODE("srat"), &rate);
  EXPECT_EQ(channels, 2);
  EXPECT_EQ(size, 16);
  EXPECT_EQ(rate, 0xAC440000u);
  SoundChannelStatus status;
  std::memset(&status, 0xFF, sizeof status);
  GetChannelStatus(chan, sizeof status, &status);
  EXPECT_EQ(status.busy, 0);
  EXPECT_EQ(status.paused, 0);
  UInt16 qc = 0, qs = 0;
  UInt32 qr = 0;
  EXPECT_EQ(QueryOutputDevice(&qc, &qs, &qr), 0);
  EXPECT_EQ(qc, 2);
  EXPECT_EQ(GetSoundChannelList(), chan);
}

}  // namespace
